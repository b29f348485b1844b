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
    WriteWorkbook([&](const reports::Progress& gauge) {
        return workbooks::usage::Print(engine::ProgramContext(), {ing, name}, ProgramOffice(), gauge);
    });
}

} // namespace printing
