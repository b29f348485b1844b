#pragma once

#include <QtGlobal>

// What other subsystems ask of the menus tab: keys in, keys out.
namespace catalogue {

// The menu under the cursor of the menus tab; 0 without one.
qint64 MenusTabMenu();

// Stands the menus tab's section list on the given section, or on its first
// section (0, or a section it does not show); its dishes follow by the tab's
// own timer. Nothing happens while the list shows no section.
void StandMenusTabOnSection(qint64 section = 0);

} // namespace catalogue
