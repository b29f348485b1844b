#include "Prt_Invent.h"

#include "ReportGauge.h"
#include "reports/Invent.h"

namespace printing {

void Prt_Invent(qint64 doc) { RunProgramReport(reports::invent::Build(engine::ProgramContext(), {doc})); }

} // namespace printing
