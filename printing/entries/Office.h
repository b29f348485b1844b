#pragma once

#include "automation/Spreadsheet.h"

#include <QString>
#include <QStringList>

// The spreadsheet program of the printing subsystem and the Calc context the
// workbooks laid out by the program write into. Both settings of the
// spreadsheet choice reach LibreOffice Calc.
namespace printing {

// The office prints go to: LibreOffice, started on demand, unless another
// (the in-memory office of the tests) was installed.
automation::Office& ProgramOffice();

// True when the spreadsheet program could be reached.
bool OfficeConnect();
// A new hidden workbook with two sheets; its first sheet becomes the current sheet.
bool OfficeNewCalc();
void OfficeDisconnect();
// The current document of the session, as far as callers use it.
struct OfficeVariantsT {
    bool connected = false;
    // Writes a text into the current sheet.
    void SetString(int column, int row, const QString& text);
    // Shows the current document's window.
    void ShowDocument();
};
OfficeVariantsT& OfficeVariants();

// Lines into column A of a new workbook, shown: the warning window's print.
void WriteLinesToNewCalc(const QStringList& lines);

} // namespace printing
