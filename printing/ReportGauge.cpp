#include "ReportGauge.h"

#include "entries/Office.h"
#include "base/Unit_Base.h"
#include "ui/Unit_Gauge.h"
#include "util/TemplateCacheFiles.h"

#include <QCoreApplication>

namespace printing {

QString ProgramTemplateCache() { return TemplateCacheFolder(Form_Base->MyDB->databaseName()); }

reports::Progress GaugeProgress()
{
    reports::Progress p;
    p.start = [](int maximum) {
        if (!Form_Gauge)
            return;
        Form_Gauge->Gauge1->setMaximum(std::max(maximum, 1));
        Form_Gauge->Gauge1->setValue(0);
        Form_Gauge->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    p.step = [](int position) {
        if (!Form_Gauge)
            return;
        Form_Gauge->Gauge1->setValue(std::min(position, Form_Gauge->Gauge1->maximum()));
    };
    p.close = [] {
        if (!Form_Gauge)
            return;
        Form_Gauge->Gauge1->setValue(0);
        Form_Gauge->hide();
    };
    return p;
}

void RunProgramReport(const reports::StandardReport& report)
{
    reports::RunStandardReport(engine::ProgramContext(), ProgramOffice(), ProgramTemplateCache(), report,
                               GaugeProgress());
}

} // namespace printing
