// The stock balance of an enterprise into a real headless LibreOffice on the
// shipped sample template: 5,000 department rows in 2 departments and 4
// warehouses, 40 product groups, with headings and subtotals of department,
// warehouse and group. Timed: the query and the fill up to the shown document,
// and its floor, the office opening the finished balance stored once and
// showing it.

#include "OfficeRun.h"

#include "automation/RecordingOffice.h"
#include "reports/Ostatki.h"
#include "templates/SampleTemplates.h"

#include "db/Query.h"

#include <cstdio>

namespace {

using Setup = bench::OfficeRun;

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        templates::InstallShippedSamples(s->database, write);
        db::Query q(&s->database, &write);
        auto exec = [&](const QString& sql) {
            q.setSql(sql);
            q.execSql();
        };
        exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME) VALUES (1, 'Столовая')"));
        exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (11, 1, 'Горячий цех')"));
        exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (12, 1, 'Бар')"));
        for (int w = 0; w < 4; ++w)
            exec(QStringLiteral("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (%1, %2, 'Склад %3')")
                     .arg(21 + w).arg(11 + w / 2).arg(w + 1));
        exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (31, 'килограмм', 'кг')"));
        for (int g = 0; g < 40; ++g)
            exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (%1, 'Группа продуктов %2')").arg(100 + g).arg(g + 1));
        q.setSql(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (:K, :G, :N, 31)"));
        for (int i = 0; i < 1250; ++i) {
            q.param(QStringLiteral("K")).setInt64(1000 + i);
            q.param(QStringLiteral("G")).setInt64(100 + i % 40);
            q.param(QStringLiteral("N")).setString(QStringLiteral("Продукт номер %1").arg(i + 1));
            q.execSql();
        }
        // Every product in each of the four warehouses: 5,000 rows.
        q.setSql(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOD_GROUP, KOLVO, CENA, "
                                "MY_CENA) VALUES (:K, 1, :O, :S, :G, :Q, :C, :M)"));
        for (int w = 0; w < 4; ++w)
            for (int i = 0; i < 1250; ++i) {
                q.param(QStringLiteral("K")).setInt64(1000 + i);
                q.param(QStringLiteral("O")).setInt64(11 + w / 2);
                q.param(QStringLiteral("S")).setInt64(21 + w);
                q.param(QStringLiteral("G")).setInt64(100 + i % 40);
                q.param(QStringLiteral("Q")).setDouble(1 + (i * 7 + w) % 90 * 0.25);
                q.param(QStringLiteral("C")).setDouble(10 + i % 50);
                q.param(QStringLiteral("M")).setDouble(15 + i % 50);
                q.execSql();
            }
        write.commit();
        s->startReading(true);
        return s;
    }();
    return *s;
}

// The whole enterprise, every department and warehouse.
reports::ostatki::Options enterprise()
{
    reports::ostatki::Options o;
    o.scope = reports::ostatki::Enterprise;
    o.firma = 1;
    return o;
}

void BM_StockBalance(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    const reports::ostatki::Options o = enterprise();
    int rows = 0;
    bench::TimePrintsAndCalls(state, *s.office, [&](automation::Office& office) {
        const reports::StandardReport report = reports::ostatki::Build(ctx, o);
        rows = report.rowCount;
        reports::RunStandardReport(ctx, office, s.dir.path() + QStringLiteral("/cache/"), report);
    });
    state.counters["rows"] = rows;
}

// The query alone, for comparison.
void BM_StockBalanceQuery(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    const reports::ostatki::Options o = enterprise();
    for (auto _ : state)
        benchmark::DoNotOptimize(reports::ostatki::Build(ctx, o).rowCount);
}
void BM_StockBalanceFloor(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    const reports::ostatki::Options o = enterprise();
    const QString path = bench::StoreFinished(*s.office, s.dir.path() + QStringLiteral("/balance.ods"),
                                              [&](automation::Office& office) {
                                                  reports::RunStandardReport(ctx, office, s.dir.path() + QStringLiteral("/cache/"),
                                                                             reports::ostatki::Build(ctx, o));
                                              });
    bench::TimeOpening(state, *s.office, path);
}

BENCHMARK(BM_StockBalanceQuery)->Repetitions(5)->ComputeStatistics("min", bench::Minimum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StockBalanceFloor)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_StockBalance)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] {
        Setup& s = setup();
        // The office calls one run makes, counted on the in-memory office.
        automation::RecordingOffice recording;
        recording.prototype.sheets.resize(2);
        const reports::ostatki::Options o = enterprise();
        const engine::Context ctx{&s.database, s.read.get()};
        reports::RunStandardReport(ctx, recording, s.dir.path() + QStringLiteral("/cache/"), reports::ostatki::Build(ctx, o));
        const automation::RecordedBook& b = recording.last();
        std::printf("office calls per run: %d cell, %d block, %d format\n", b.cellCalls, b.rowCalls, b.formatCalls);
        s.finish();
    });
}
