#pragma once

#include "automation/uno/UnoOffice.h"

#include <QString>

#include <memory>

// The one headless office of the binary and its scratch folder.
automation::UnoOffice& TestOffice();
QString TestOfficeFolder();

// Stores the document in the scratch folder as `fileName` (the format by its
// ending: .xls or .ods), closes it and loads the stored file back in the
// binary's office. When the environment variable `lookVariable` names a
// folder, a PDF of the document is kept there first, to be looked at.
std::unique_ptr<automation::Document> StoreAndReload(automation::Document& d, const QString& fileName,
                                                     const char* lookVariable = nullptr);

// Every number in the first rows x columns cells of the first sheet has a
// number format: none prints in the office's standard form (13.92857).
void ExpectNumbersFormatted(automation::Document& d, int rows, int columns);
