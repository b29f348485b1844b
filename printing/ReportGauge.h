#pragma once

// What a template report of the program runs on: the data module's database,
// the template cache of the connected database, the program's office and the
// progress window.

#include "reports/TemplateReport.h"

#include <functional>

namespace printing {

QString ProgramTemplateCache();
// The progress window "Ход выполнения" as reports and other long runs
// (price recomputation, price copy) drive it, through reports::ProgressShown.
reports::Progress GaugeProgress();
// Writes a workbook the program lays out itself with `write`, the progress
// window hidden however it ends; a workbook not made means the office could
// not be reached, and the user is told so. Failures reach the caller's guard.
void WriteWorkbook(const std::function<bool(const reports::Progress& gauge)>& write);
// Runs a report of the standard sequence; failures reach the caller's guard.
void RunProgramReport(const reports::StandardReport& report);

} // namespace printing
