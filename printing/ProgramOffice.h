#pragma once

// The spreadsheet program of the running program and the document that the
// workbooks laid out by the program write into (the Calc context). Every
// print reaches the office through here; tests install the in-memory office.
// It lives with the program's printing: the engines, reports and workbooks
// are handed the office they write into and cannot link against this one.

#include "automation/Spreadsheet.h"

#include <memory>

namespace automation {

// The office prints go to. Until one is installed, an office that cannot be
// reached (every print then says so).
Office& ProgramOffice();
void SetProgramOffice(std::unique_ptr<Office> office);
// Whether an office was installed (an empty one counts as none).
bool ProgramOfficeInstalled();

// The document of the workbooks laid out by the program.
struct OfficeVariantsT {
    std::unique_ptr<Document> OfficeDocument;
};
OfficeVariantsT& OfficeVariants();

// True when the office can be reached.
bool OfficeConnect();
// A new hidden workbook with two sheets becomes the context's document; true when made.
bool OfficeNewCalc();
// An untitled hidden copy of the file becomes the context's document; true when opened.
bool OfficeLoadDocument(const QString& path);
// Ends the use of the office; the document stays open for the user.
void OfficeDisconnect();

} // namespace automation
