#pragma once

// The protocol of user actions as a workbook: a header row, one line per
// protocol row (date, time, full name, area, action), the action column
// wrapped, the whole table framed; shown to the user unsaved.

#include "automation/Spreadsheet.h"

#include <QList>
#include <QString>

#include <functional>

namespace workbooks {

struct ProtocolLine {
    QString date;
    QString time;
    QString fio;
    QString arm;
    QString action;
};

// Rows sent to the office in one call.
constexpr int kProtocolBlockRows = 500;

// Writes the lines into a new workbook of the office and shows it; progress
// gets the number of lines written so far after each block. Returns false,
// with nothing made, when the office cannot be reached or gives no workbook.
bool WriteProtocolWorkbook(automation::Office& office, const QList<ProtocolLine>& lines,
                           const std::function<void(int)>& progress = {});

} // namespace workbooks
