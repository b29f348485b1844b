#pragma once

// The codes sheet of a menu: a header row, a heading row for every department
// and section that starts, and one line per dish with its running number, name,
// product, till and accounting codes, bar code and the bar code drawn in the
// bar-code font; the table framed to column F, texts wrapped in their columns,
// printed across the page; shown to the user unsaved.

#include "automation/Spreadsheet.h"
#include "engine/Progress.h"

#include <QList>
#include <QString>

#include <functional>

namespace workbooks {

// The font that draws Code 39 bars; built with the program (fonts/).
QString BarCodeFontName();
// Told after the codes sheet when the office that shows it has not the font
// (it was running before the font was installed).
QString BarCodeFontMissingText();
// Its size in points in the codes sheet.
constexpr double kBarCodeFontHeight = 12;

// One dish of the codes sheet, every value as its text (empty for a null).
struct MenuCodeLine {
    QString kodOtdel;    // department key: a new department heading when it changes
    QString kodRazdel;   // section key: a new section heading when it changes
    QString nameRazdel;
    QString nameOtdel;
    QString name;
    QString kodIng;      // the dish's ING_SKLAD key
    QString kodKassa;
    QString kod1s;
    QString sKod;
};

} // namespace workbooks

namespace workbooks::menucodes {

struct Options {
    QList<MenuCodeLine> lines;  // the menu's active dishes, in their order
};

// Writes the lines into a new workbook of the office and shows it; the
// progress is started at the number of lines and steps to the number written
// so far. The lines are copied, never queried. Returns false, with nothing
// made, when the office cannot be reached or gives no workbook.
bool Print(automation::Office& office, const Options& options, const engine::Progress& progress = {});

} // namespace workbooks::menucodes
