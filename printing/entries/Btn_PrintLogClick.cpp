#include "Btn_PrintLogClick.h"

#include "Office.h"

#include "ReportGauge.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "engine/EngineDb.h"
#include "ui/ProtocolFilter.h"
#include "util/Messages.h"
#include "workbooks/ProtocolWorkbook.h"

namespace printing {

QList<workbooks::ProtocolLine> ReadProtocolLines(const engine::Context& ctx, const ProtokolFilter& filter)
{
    protocol::Filter f;
    f.dateFrom = filter.dateFrom;
    f.dateTo = filter.dateTo;
    f.timeFrom = filter.timeFrom;
    f.timeTo = filter.timeTo;
    f.user = filter.user > 0 ? filter.user : -1;
    f.textOn = filter.textOn;
    f.text = filter.text;
    f.order = filter.order;
    const protocol::Statement st = protocol::Select(f);
    auto q = engine::Reader(ctx, st.sql.join(QLatin1Char('\n')));
    for (auto it = st.params.begin(); it != st.params.end(); ++it)
        q->param(it.key()).setValue(it.value());
    q->open();
    QList<workbooks::ProtocolLine> lines;
    lines.reserve(q->recordCount());
    const int date = q->fieldIndex(QStringLiteral("MY_DATE"));
    const int time = q->fieldIndex(QStringLiteral("MY_TIME"));
    const int fio = q->fieldIndex(QStringLiteral("P_FIO"));
    const int arm = q->fieldIndex(QStringLiteral("ARM"));
    const int action = q->fieldIndex(QStringLiteral("WHAT_ACTION"));
    // The texts as the tab's grids show them.
    for (q->first(); !q->eof(); q->next()) {
        workbooks::ProtocolLine l;
        const QDate d = q->field(date).asDate();
        const QTime t = q->field(time).asTime();
        l.date = d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
        l.time = t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : QString();
        l.fio = q->field(fio).asString();
        l.arm = q->field(arm).asString();
        l.action = q->field(action).asString();
        lines.append(l);
    }
    return lines;
}

void Btn_PrintLogClick(const ProtokolFilter& filter)
{
    const QList<workbooks::ProtocolLine> lines = ReadProtocolLines(engine::ProgramContext(), filter);
    const reports::Progress gauge = GaugeProgress();
    gauge.start(static_cast<int>(lines.size()));
    bool made = false;
    try {
        made = workbooks::WriteProtocolWorkbook(ProgramOffice(), lines, gauge.step);
    } catch (...) {
        gauge.close();
        throw;
    }
    gauge.close();
    if (!made)
        Msg::notice(automation::OfficeUnreachableText());
    // The tab's grids stand on the first row again, as after a walk through the list.
    if (Form_Base && Form_Base->Q_Protokol->active() && !Form_Base->Q_Protokol->isEmpty())
        Form_Base->Q_Protokol->first();
}

} // namespace printing
