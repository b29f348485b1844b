#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The spreadsheet session of the printing subsystem as the core windows use
// it. The printing subsystem fills the slots when it is created; an empty
// slot means that no spreadsheet program can be reached.
struct TOfficeSession {
    // OpenOffice/LibreOffice Calc: the service manager (true when reached).
    std::function<bool()> OfficeConnect;
    // A new hidden spreadsheet document whose first sheet becomes the current sheet.
    std::function<bool()> OfficeNewCalc;
    // Text into a cell of the current sheet (column and row from 0).
    std::function<void(int column, int row, const QString& text)> SetCellString;
    // Makes the current document's window visible.
    std::function<void()> ShowDocument;
    std::function<void()> OfficeDisconnect;
    // Excel: starts the application with its alerts off, adds a workbook,
    // writes the lines into column 1 from row 1 of its first sheet and shows it.
    std::function<void(const QStringList& lines)> ExcelWriteColumn;
};

extern TOfficeSession OfficeSession;
