#pragma once

#include <QString>

// The spreadsheet session of the printing subsystem.
namespace printing {

// True when the spreadsheet program could be reached (structure templates prepared too).
bool OfficeConnect();
// A new hidden spreadsheet document whose first sheet becomes the current sheet.
bool OfficeNewCalc();
void OfficeDisconnect();
// The current sheet and document of the session, as far as callers use them.
struct OfficeVariantsT {
    bool connected = false;
    // Writes a text into the current sheet.
    void SetString(int column, int row, const QString& text);
    // Shows the current document's window.
    void ShowDocument();
};
OfficeVariantsT& OfficeVariants();

} // namespace printing
