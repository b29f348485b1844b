#pragma once

// What a template report of the program runs on: the data module's database,
// the template cache of the connected database, the program's office and the
// progress window.

#include "reports/TemplateReport.h"

namespace printing {

QString ProgramTemplateCache();
// The progress window "Ход выполнения" as reports and other long runs
// (price recomputation, price copy) drive it, through reports::ProgressShown.
reports::Progress GaugeProgress();
// Runs a report of the standard sequence; failures reach the caller's guard.
void RunProgramReport(const reports::StandardReport& report);

} // namespace printing
