// Consumption statistics and the supplier order into a real headless
// LibreOffice: 5,000 products with their department rows in two departments
// and 100,000 issue lines over a year, read for the year in every department
// with the statistics window's other defaults and laid out in the two-sheet
// workbook. The reading alone, the whole build (reading included) and its
// floor, the office opening the finished workbook stored once and showing
// it, are timed, five runs each for min and median; the workbook is closed
// outside the timing.

#include "OfficeRun.h"

#include "workbooks/StatWorkbook.h"

#include "db/Query.h"

namespace {

constexpr int kProducts = 5000;
constexpr int kLines = 100000;
constexpr int kDocs = 700;

using Setup = bench::OfficeRun;

void exec(db::Database& d, db::Transaction& t, const QString& sql)
{
    db::Query q(&d, &t);
    q.setSql(sql);
    q.execSql();
}

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        exec(s->database, write, QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (1, 'килограмм', 'кг')"));
        exec(s->database, write, QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (10, 'Столовая', 1)"));
        exec(s->database, write, QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (20, 10, 'Кухня')"));
        exec(s->database, write, QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (21, 10, 'Буфет')"));
        db::Query ing(&s->database, &write);
        ing.setSql(QStringLiteral("INSERT INTO ING (KOD, NAME, ED_IZM, MY_LEVEL) VALUES (:K, :N, 1, 0)"));
        db::Query row(&s->database, &write);
        row.setSql(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, CENA) VALUES (:K, 10, :O, :Q, :C)"));
        for (int i = 1; i <= kProducts; ++i) {
            ing.param(QStringLiteral("K")).setInt64(i);
            ing.param(QStringLiteral("N")).setString(QStringLiteral("Продукт №%1").arg(i, 5, 10, QLatin1Char('0')));
            ing.execSql();
            for (int otdel : {20, 21}) {
                row.param(QStringLiteral("K")).setInt64(i);
                row.param(QStringLiteral("O")).setInt64(otdel);
                row.param(QStringLiteral("Q")).setDouble(i % 17 == 0 ? -2.0 : (i % 40));
                row.param(QStringLiteral("C")).setDouble(10 + i % 90);
                row.execSql();
            }
        }
        db::Query doc(&s->database, &write);
        doc.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE) VALUES (:K, 'Расход', :D, :T)"));
        for (int d = 1; d <= kDocs; ++d) {
            doc.param(QStringLiteral("K")).setInt64(100000 + d);
            doc.param(QStringLiteral("D")).setDate(QDate(2024, 1, 1).addDays(d % 366));
            doc.param(QStringLiteral("T")).setInt(d % 10 == 0 ? 4 : 2);
            doc.execSql();
        }
        db::Query line(&s->database, &write);
        line.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, TYPE_MOVES) VALUES (:D, :I, :O, :Q, 2)"));
        for (int n = 0; n < kLines; ++n) {
            line.param(QStringLiteral("D")).setInt64(100001 + n % kDocs);
            line.param(QStringLiteral("I")).setInt64(1 + (n * 7919) % kProducts);
            line.param(QStringLiteral("O")).setInt64(n % 3 ? 20 : 21);
            line.param(QStringLiteral("Q")).setDouble(0.25 + n % 5);
            line.execSql();
        }
        write.commit();
        s->startReading(false);
        return s;
    }();
    return *s;
}

workbooks::StatOptions options()
{
    workbooks::StatOptions o;
    o.start = QDate(2024, 1, 1);
    o.end = QDate(2024, 12, 31);
    return o;
}

void BM_StatisticsQuery(benchmark::State& state)
{
    const engine::Context ctx = setup().context();
    for (auto _ : state) {
        const workbooks::StatData d = workbooks::ReadStatData(ctx, options());
        if (d.stock.size() != kProducts)
            state.SkipWithError("unexpected rows");
    }
}
BENCHMARK(BM_StatisticsQuery)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond);

// TARELIA_BENCH_CALLS=1 prints the office calls of one workbook, counted and timed.
void BM_StatisticsWorkbook(benchmark::State& state)
{
    const engine::Context ctx = setup().context();
    bench::TimePrintsAndCalls(state, *setup().office, [&](automation::Office& office) {
        if (!workbooks::stat::Print(ctx, options(), office))
            state.SkipWithError("the workbook was not made");
    });
    state.counters["products"] = kProducts;
    state.counters["lines"] = kLines;
}
BENCHMARK(BM_StatisticsWorkbook)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_StatisticsFloor(benchmark::State& state)
{
    const engine::Context ctx = setup().context();
    const QString path = bench::StoreFinished(*setup().office, setup().dir.path() + QStringLiteral("/statistics.ods"),
                                              [&](automation::Office& office) { workbooks::stat::Print(ctx, options(), office); });
    bench::TimeOpening(state, *setup().office, path);
}
BENCHMARK(BM_StatisticsFloor)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] { setup().finish(); });
}
