#pragma once

// The protocol print: the rows the protocol tab shows, in its order, copied
// into a new workbook (date, time, full name, area, action; a header row,
// the action column wrapped, the table framed) and shown to the user unsaved.
// The rows are copied, never queried again, so the print holds exactly the
// tab's lines.

#include "Progress.h"

#include "automation/Spreadsheet.h"

#include <QList>
#include <QString>

namespace db {
class Query;
}

namespace reports::ProtocolPrint {

// One sheet line: the texts of a protocol row as the tab's grids show them.
struct Line {
    QString date;
    QString time;
    QString fio;
    QString arm;
    QString action;
};

struct Options {
    QList<Line> lines;  // the tab's rows, in its order
};

// Rows sent to the office in one call.
constexpr int kBlockRows = 500;

// The lines of every row of the tab's list (fields MY_DATE, MY_TIME, P_FIO,
// ARM, WHAT_ACTION), in its order; the list's cursor does not move. The
// login is not printed.
QList<Line> LinesOf(const db::Query& shown);

// Writes the workbook and shows it; the progress counts the lines written.
// Returns false, with nothing made, when the office cannot be reached or
// gives no workbook.
bool Print(automation::Office& office, const Options& options, const Progress& progress = {});

} // namespace reports::ProtocolPrint
