#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace printing {

// The menus tab's print button for the menu: the choice of the menu from
// its template, the codes sheet, or the CSV file. Returns true when the
// tab's sections list should stand on its first section again (after the
// menu or the CSV file, which go through every section).
bool Btn_Print_MenuClick(qint64 menu);

// The menu on the printer when the print-variant window says so, otherwise
// from the default template of list 6.
void Prt_Menu(qint64 menu);
void Prt_MenuExcel(qint64 menu);

// The save dialog of the CSV file, given the path it proposes (the menu's
// name in the folder chosen last time); an empty result is a cancel. Tests
// replace it.
extern std::function<QString(const QString& proposed)> PickMenuCsvPath;

} // namespace printing
