#pragma once

#include <QtGlobal>

namespace printing {

// The menus tab's print button: the menu's sections and dishes.
void Btn_Print_MenuClick(qint64 menu);

} // namespace printing
