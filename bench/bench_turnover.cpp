// The turnover statements into a real headless LibreOffice on the shipped
// samples. A year of one enterprise: 21,000 posted documents spread over its
// three departments, 3 lines each, over 1,000 products in 10 groups kept in
// every department, at prices that vary from line to line (about 46,000
// sums by product, department, direction and price).
// "ByOperations": the statement by operations of December, about 5,000 table
// rows of 14 variables placed each, and of the year (the second argument 1),
// about 57,000.
// "ByProducts": the statement by products with the balances over the year.
// Timed: the query and the fill up to the shown document; the *Floor
// benchmarks time the office opening the finished statement (stored once)
// and showing it; the *Query
// benchmarks time the query alone (ByProductsQuery: the statement by
// products with its balances, as the program reads it, in one pass over the
// lines from the period's start; WideGrouping, for comparison, the lines
// summed by the statement by operations' keys).
// The argument 0 takes every department, 1 the second department alone:
// choosing a department must cost about what all of them do.

#include "OfficeRun.h"

#include "automation/RecordingOffice.h"
#include "reports/TurnoverReports.h"
#include "templates/SampleTemplates.h"

#include "db/Query.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kDocs = 21000;
constexpr int kProducts = 1000;
constexpr int kOtdels = 3;

using Setup = bench::OfficeRun;

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        // TARELIA_BENCH_DB keeps the generated database at that path and
        // reuses it on the next run.
        const QString kept = qEnvironmentVariable("TARELIA_BENCH_DB");
        const bool reuse = !kept.isEmpty() && QFile::exists(kept);
        s->openDatabase(kept, !reuse);
        if (reuse) {
            s->startReading(true);
            return s;
        }
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        templates::InstallSampleTemplates(s->database, write, QStringLiteral(TARELIA_SHIPPED_SAMPLES));
        db::Query q(&s->database, &write);
        auto exec = [&](const QString& sql) {
            q.setSql(sql);
            q.execSql();
        };
        exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (1, 'Столовая', 1)"));
        exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (2, 'Поставщик', 0)"));
        exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (11, 1, 'Горячий цех')"));
        exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (12, 1, 'Бар')"));
        exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (13, 1, 'Кондитерский цех')"));
        exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (31, 'килограмм', 'кг')"));
        for (int g = 0; g < 10; ++g)
            exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (%1, 'Группа продуктов %2')").arg(100 + g).arg(g + 1));
        q.setSql(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (:K, :G, :N, 31)"));
        for (int i = 0; i < kProducts; ++i) {
            q.param(QStringLiteral("K")).setInt64(1000 + i);
            q.param(QStringLiteral("G")).setInt64(100 + i % 10);
            q.param(QStringLiteral("N")).setString(QStringLiteral("Продукт номер %1").arg(i + 1));
            q.execSql();
        }
        q.setSql(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO) VALUES (:K, 1, :O, :Q)"));
        for (int o = 0; o < kOtdels; ++o)
            for (int i = 0; i < kProducts; ++i) {
                q.param(QStringLiteral("K")).setInt64(1000 + i);
                q.param(QStringLiteral("O")).setInt64(11 + o);
                q.param(QStringLiteral("Q")).setDouble(50 + i % 30);
                q.execSql();
            }
        // Documents through 2025 (21,000) and some after it (the balances' later moves).
        db::Query docs(&s->database, &write);
        docs.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                   "KOD_PARTNER_IMPORT, INT_PARAM1, PROVODKA) VALUES (:K, :N, :D, :T, :E, :I, :O, 11)"));
        db::Query moves(&s->database, &write);
        moves.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES "
                                    "(:D, :I, :O, :Q, :C, :T)"));
        for (int d = 0; d < kDocs + 500; ++d) {
            const bool receipt = d % 2 == 0;
            const qint64 otdel = 11 + (d / 2) % kOtdels;
            const QDate date = d < kDocs ? QDate(2025, 1, 1).addDays(d * 365 / kDocs) : QDate(2026, 1, 2);
            docs.param(QStringLiteral("K")).setInt64(100000 + d);
            docs.param(QStringLiteral("N")).setString(QStringLiteral("%1-%2").arg(receipt ? "П" : "Р").arg(d + 1));
            docs.param(QStringLiteral("D")).setDate(date);
            docs.param(QStringLiteral("T")).setInt(receipt ? 5 : 6);
            docs.param(QStringLiteral("E")).setInt64(receipt ? 2 : 1);
            docs.param(QStringLiteral("I")).setInt64(receipt ? 1 : 2);
            docs.param(QStringLiteral("O")).setInt64(otdel);
            docs.execSql();
            for (int l = 0; l < 3; ++l) {
                moves.param(QStringLiteral("D")).setInt64(100000 + d);
                moves.param(QStringLiteral("I")).setInt64(1000 + (d * 7 + l * 31) % kProducts);
                moves.param(QStringLiteral("O")).setInt64(otdel);
                moves.param(QStringLiteral("Q")).setDouble(1 + (d + l) % 9 * 0.5);
                moves.param(QStringLiteral("C")).setDouble(20 + ((d / 20 + l) % 11) * 1.37);
                moves.param(QStringLiteral("T")).setInt(receipt ? 1 : 2);
                moves.execSql();
            }
        }
        write.commit();
        // The indexes' statistics stay as the program's database has them,
        // made on the empty tables; TARELIA_BENCH_STATISTICS=1 computes them
        // as a restore does.
        if (qEnvironmentVariableIntValue("TARELIA_BENCH_STATISTICS") == 1) {
            write.start();
            for (const char* index : {"IX_DOCS_DATE", "IX_MOVES_DOC", "IX_MOVES_ING", "IX_MOVES_OTDEL",
                                      "IX_ING_SKLAD_ING_OTDEL", "IX_ING_SKLAD_OTDEL"})
                exec(QStringLiteral("SET STATISTICS INDEX ") + QLatin1String(index));
            write.commit();
        }
        s->startReading(true);
        return s;
    }();
    return *s;
}

// One enterprise's departments; with `department` 1 the second alone.
void chooseDepartment(reports::TurnoverOptions& o, int department)
{
    if (department == 0)
        return;
    o.allFirma = o.allOtdel = false;
    o.firma = 1;
    o.firmaName = QStringLiteral("Столовая");
    o.otdel = 12;
    o.otdelName = QStringLiteral("Бар");
}

// December 2025: about 5,000 lines in all departments; with `year` the whole of 2025.
reports::TurnoverOptions byOperations(int department = 0, bool year = false)
{
    reports::TurnoverOptions o;
    o.start = year ? QDate(2025, 1, 1) : QDate(2025, 12, 1);
    o.end = QDate(2025, 12, 31);
    chooseDepartment(o, department);
    return o;
}

reports::TurnoverOptions byProducts(int department = 0)
{
    reports::TurnoverOptions o;
    o.start = QDate(2025, 1, 1);
    o.end = QDate(2025, 12, 31);
    o.shortForm = o.balances = true;
    chooseDepartment(o, department);
    return o;
}

// Builds the statement with `build` and fills it up to the shown document;
// the document is closed outside the timing.
template <class Build>
void fill(benchmark::State& state, Build build)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    int rows = 0;
    bench::TimePrintsAndCalls(state, *s.office, [&](automation::Office& office) {
        const reports::StandardReport report = build(ctx);
        rows = report.rowCount;
        reports::RunStandardReport(ctx, office, s.dir.path() + QStringLiteral("/cache/"), report);
    });
    state.counters["rows"] = rows;
}

// The statement `build` makes, stored once as it is shown, opened by the office and shown.
template <class Build>
void floor(benchmark::State& state, const QString& name, Build build)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    const QString path = bench::StoreFinished(*s.office, s.dir.path() + QLatin1Char('/') + name + QStringLiteral(".ods"),
                                              [&](automation::Office& office) {
                                                  reports::RunStandardReport(ctx, office, s.dir.path() + QStringLiteral("/cache/"),
                                                                             build(ctx));
                                              });
    bench::TimeOpening(state, *s.office, path);
}

int department(const benchmark::State& state) { return static_cast<int>(state.range(0)); }
bool year(const benchmark::State& state) { return state.range(1) != 0; }

void BM_ByOperations(benchmark::State& state)
{
    const int d = department(state);
    const bool y = year(state);
    fill(state, [d, y](const engine::Context& ctx) { return reports::turnover::Build(ctx, byOperations(d, y)); });
}

void BM_ByOperationsQuery(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    for (auto _ : state)
        benchmark::DoNotOptimize(reports::ReadTurnoverRows(ctx, byOperations(department(state), year(state))).size());
}

void BM_ByOperationsFloor(benchmark::State& state)
{
    const int d = department(state);
    const bool y = year(state);
    floor(state, QStringLiteral("operations%1%2").arg(d).arg(y),
          [d, y](const engine::Context& ctx) { return reports::turnover::Build(ctx, byOperations(d, y)); });
}

void BM_ByProducts(benchmark::State& state)
{
    const int d = department(state);
    fill(state, [d](const engine::Context& ctx) { return reports::turnover::Build(ctx, byProducts(d)); });
}

void BM_ByProductsFloor(benchmark::State& state)
{
    const int d = department(state);
    floor(state, QStringLiteral("products%1").arg(d),
          [d](const engine::Context& ctx) { return reports::turnover::Build(ctx, byProducts(d)); });
}

void BM_ByProductsQuery(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    for (auto _ : state)
        benchmark::DoNotOptimize(reports::ReadTurnoverRows(ctx, byProducts(department(state))).size());
}

// The lines grouped by the fourteen keys of the statement by operations,
// without balances, over the same year.
void BM_ByProductsQueryWideGrouping(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx{&s.database, s.read.get()};
    reports::TurnoverOptions o = byProducts();
    o.shortForm = o.balances = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(reports::ReadTurnoverRows(ctx, o).size());
}

constexpr auto minimum = bench::Minimum;

// (department, year): December in all departments and in the second alone, the year in all.
BENCHMARK(BM_ByOperationsQuery)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ComputeStatistics("min", minimum);
BENCHMARK(BM_ByOperations)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Iterations(1)->Repetitions(5)
    ->ComputeStatistics("min", minimum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByOperationsFloor)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Iterations(1)->Repetitions(5)
    ->ComputeStatistics("min", minimum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByProductsQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ComputeStatistics("min", minimum);
BENCHMARK(BM_ByProductsQueryWideGrouping)->Iterations(1)->Repetitions(3)->ComputeStatistics("min", minimum)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ByProducts)->Arg(0)->Arg(1)->Iterations(1)->Repetitions(5)->ComputeStatistics("min", minimum)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByProductsFloor)->Arg(0)->Arg(1)->Iterations(1)->Repetitions(5)->ComputeStatistics("min", minimum)
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] {
        Setup& s = setup();
        // What one run of each sends to the office, counted on the in-memory office.
        const engine::Context ctx{&s.database, s.read.get()};
        for (int form = 0; form < 2; ++form) {
            automation::RecordingOffice recording;
            recording.prototype.sheets.resize(2);
            const reports::StandardReport r = reports::turnover::Build(ctx, form == 0 ? byOperations() : byProducts());
            reports::RunStandardReport(ctx, recording, s.dir.path() + QStringLiteral("/cache/"), r);
            const automation::RecordedBook& b = recording.last();
            std::printf("%s: %d table rows; office calls %d cell, %d block, %d format\n",
                        form == 0 ? "by operations" : "by products", r.rowCount, b.cellCalls, b.rowCalls,
                        b.formatCalls);
        }
        // The statement by products against the same year's lines summed
        // from the statement by operations: the same products and quantities;
        // the amounts differ by what rounding apart gives (a row by
        // operations rounds its document's lines at one price, a row by
        // products the period's).
        reports::TurnoverOptions wide = byProducts();
        wide.shortForm = wide.balances = false;
        const QVector<reports::TurnoverRow> wideRows = reports::ReadTurnoverRows(ctx, wide);
        const QVector<reports::TurnoverRow> productRows = reports::ReadTurnoverRows(ctx, byProducts());
        const auto a = reports::SumTurnoverProducts(wideRows);
        const auto b = reports::SumTurnoverProducts(productRows);
        int differing = a.size() == b.size() ? 0 : 1;
        long long kopecks = 0;
        for (int i = 0; !differing && i < a.size(); ++i) {
            if (a[i].last->ing != b[i].last->ing || a[i].last->otdel != b[i].last->otdel ||
                a[i].in.quantity().units(9) != b[i].in.quantity().units(9) ||
                a[i].out.quantity().units(9) != b[i].out.quantity().units(9))
                ++differing;
            kopecks = std::max<long long>({kopecks, std::llabs(a[i].in.kopecks() - b[i].in.kopecks()),
                                           std::llabs(a[i].out.kopecks() - b[i].out.kopecks())});
        }
        std::printf("by products: %d products, %s the products and quantities of the statement by operations, "
                    "amounts at most %lld kopecks apart\n",
                    static_cast<int>(b.size()), differing ? "NOT" : "equal to", kopecks);
        s.finish();
    });
}
