#include "Print_IngUsage.h"

#include "Office.h"

#include "ReportGauge.h"
#include "engine/EngineDb.h"
#include "util/Messages.h"
#include "workbooks/IngUsageWorkbook.h"

namespace printing {

void Print_IngUsage(qint64 ing, const QString& name)
{
    if (ing == 0)
        return;
    const std::vector<workbooks::UsageLine> lines = workbooks::ReadUsageLines(engine::ProgramContext(), ing);
    const reports::Progress gauge = GaugeProgress();
    gauge.start(static_cast<int>(lines.size()) + workbooks::kUsageLayoutSteps);
    bool made = false;
    try {
        made = workbooks::WriteIngUsageWorkbook(ProgramOffice(), name, lines, {gauge.start, gauge.step, gauge.close});
    } catch (...) {
        gauge.close();
        throw;
    }
    gauge.close();
    if (!made)
        Msg::notice(automation::OfficeUnreachableText());
}

} // namespace printing
