#include "Print_IngUsage.h"

#include "Office.h"

#include "ReportGauge.h"
#include "engine/EngineDb.h"
#include "workbooks/IngUsageWorkbook.h"

namespace printing {

void Print_IngUsage(qint64 ing, const QString& name)
{
    if (ing == 0)
        return;
    const std::vector<workbooks::UsageLine> lines = workbooks::ReadUsageLines(engine::ProgramContext(), ing);
    WriteWorkbook([&](const reports::Progress& gauge) {
        gauge.start(static_cast<int>(lines.size()) + workbooks::kUsageLayoutSteps);
        return workbooks::WriteIngUsageWorkbook(ProgramOffice(), name, lines, gauge);
    });
}

} // namespace printing
