#include "ReportGauge.h"

#include "entries/Office.h"
#include "base/Unit_Base.h"
#include "ui/Unit_Gauge.h"
#include "util/Messages.h"
#include "util/TemplateCacheFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace printing {

namespace {

// The gauge is repainted at most this often: the run holds the event loop,
// and each repaint is the run's time (a hundred of them cost a print of the
// technological cards about a tenth of a second).
constexpr qint64 kRepaintMs = 50;

QElapsedTimer& lastRepaint()
{
    static QElapsedTimer t;
    return t;
}

} // namespace

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
        lastRepaint().start();
    };
    p.step = [](int position) {
        if (!Form_Gauge)
            return;
        TGauge* g = Form_Gauge->Gauge1;
        const int before = g->value();
        g->setValue(std::min(position, g->maximum()));
        // Repainted when a hundredth of the way is passed, at most every kRepaintMs.
        const qint64 m = std::max(1, g->maximum());
        if (qint64(g->value()) * 100 / m != qint64(before) * 100 / m &&
            (!lastRepaint().isValid() || lastRepaint().elapsed() >= kRepaintMs)) {
            g->repaint();
            lastRepaint().start();
        }
    };
    p.close = [] {
        if (!Form_Gauge)
            return;
        Form_Gauge->Gauge1->setValue(0);
        Form_Gauge->hide();
    };
    return p;
}

void WriteWorkbook(const std::function<bool(const reports::Progress& gauge)>& write)
{
    const reports::Progress gauge = GaugeProgress();
    bool made = false;
    try {
        made = write(gauge);
    } catch (...) {
        gauge.close();
        throw;
    }
    gauge.close();
    if (!made)
        Msg::notice(automation::OfficeUnreachableText());
}

void RunProgramReport(const reports::StandardReport& report)
{
    reports::RunStandardReport(engine::ProgramContext(), ProgramOffice(), ProgramTemplateCache(), report,
                               GaugeProgress());
}

} // namespace printing
