#pragma once

// The office's own libraries are not linked into the program: the UNO
// implementation is a module of its own, loaded when a print first needs the
// office. Without LibreOffice installed the module does not load, the program
// still starts and works, and every print says the office cannot be reached.

#include "Spreadsheet.h"

#include <QString>

#include <memory>

namespace automation {

// The module's file name, beside the program.
QString OfficeModuleFileName();

// The program's office made by the module at `path`; nothing when it cannot
// be loaded (the office's libraries missing among the causes), with the
// loader's text in `error`.
std::unique_ptr<Office> LoadOfficeModule(const QString& path, QString* error = nullptr);

} // namespace automation
