// The protocol print into a real headless LibreOffice: 20,000 protocol rows
// read from the database with the protocol tab's filter and written into a
// new workbook in row blocks, then closed. The whole print is timed.

#include "OfficeRun.h"

#include "Printing.h"
#include "reports/ProtocolPrint.h"
#include "engine/ProtocolFilter.h"

#include "db/Query.h"

namespace {

using Setup = bench::OfficeRun;

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        db::Query q(&s->database, &write);
        q.setSql(QStringLiteral("INSERT INTO LOG_TABLE (MY_DATE, MY_TIME, P_LOGIN, P_FIO, ARM, WHAT_ACTION, K_LOGIN) "
                                "VALUES (:D, :T, 'ivanova', 'Иванова Мария Петровна', 'Продукты и блюда', :W, 7)"));
        for (int i = 0; i < 20000; ++i) {
            q.param(QStringLiteral("D")).setDate(QDate(2026, 3, 1).addDays(i % 28));
            q.param(QStringLiteral("T")).setTime(QTime(8, 0).addSecs(i));
            q.param(QStringLiteral("W")).setString(QStringLiteral("Изменена цена продукта «Борщ украинский №%1» с 12,50 на 13,00").arg(i));
            q.execSql();
        }
        write.commit();
        s->startReading(false);
        return s;
    }();
    return *s;
}

void BM_ProtocolPrint(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx = s.context();
    const protocol::Statement all = protocol::Select({});
    KeepingOffice office(*s.office);
    for (auto _ : state) {
        db::Query list(ctx.database, ctx.read);
        list.setSql(all.sql);
        list.open();
        const QList<reports::ProtocolPrint::Line> lines = reports::ProtocolPrint::LinesOf(list);
        if (lines.size() != 20000 || !reports::ProtocolPrint::Print(office, {lines}))
            state.SkipWithError("the print did not run");
        state.PauseTiming();
        bench::CloseAll(office);
        state.ResumeTiming();
    }
    state.counters["rows"] = 20000;
}
BENCHMARK(BM_ProtocolPrint)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] { setup().finish(); });
}
