#include "ReportPickers.h"

namespace printing {

namespace {
ReportPickers* registered = nullptr;
}

void SetReportPickers(ReportPickers* pickers) { registered = pickers; }

ReportPickers* RegisteredReportPickers() { return registered; }

} // namespace printing
