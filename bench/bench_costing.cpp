// The price recomputation on generated catalogues: products of which a fifth
// are composite, cards four levels deep sharing their semi-finished products,
// five departments. Each timed run is rolled back, so every iteration is a
// first recomputation that rewrites every price; "Rerun" times a second run
// over prices that are already right.

#include "CostingCatalogue.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"
#include "costing/LiteralRoad.h"
#include "costing/Recompute.h"
#include "engine/Kopecks.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A generated catalogue kept closed in a file of its own, one per size.
struct Template {
    QString path;
    costing_catalogue::Catalogue catalogue;
};

const Template& catalogueFile(int products)
{
    static std::map<int, Template> made;
    Template& t = made[products];
    if (!t.path.isEmpty())
        return t;
    t.path = folder().path() + QStringLiteral("/catalogue%1.fdb").arg(products);
    schema::createDatabase(t.path, db::ConnectParams{});
    db::Database database;
    database.setDatabaseName(t.path);
    database.open();
    db::Transaction write(&database, db::Transaction::writeParams());

    costing_catalogue::Options o;
    o.products = products;
    o.composites = products / 5;
    o.levels = 4;
    o.firms = 1;
    o.departments = 5;
    o.groups = 50;
    o.seed = 42;
    o.stockShare = 0.1;
    o.hiddenShare = 0.05;
    o.manualShare = 0.05;
    QElapsedTimer timer;
    timer.start();
    write.start();
    costing_catalogue::Builder b(&database, &write);
    t.catalogue = costing_catalogue::generate(b, o);
    write.commit();
    database.close();
    std::fprintf(stderr, "catalogue of %d products written in %.1f s (%lld MB)\n", products, timer.elapsed() / 1000.0,
                 static_cast<long long>(QFileInfo(t.path).size() >> 20));
    return t;
}

// A fresh copy of the catalogue, connected.
struct Copy {
    QString path;
    std::unique_ptr<db::Database> db;
    std::unique_ptr<db::Transaction> read;
    std::unique_ptr<db::Transaction> write;

    explicit Copy(const Template& t)
    {
        static int n = 0;
        path = folder().path() + QStringLiteral("/run%1.fdb").arg(n++);
        QFile::copy(t.path, path);
        db = std::make_unique<db::Database>();
        db->setDatabaseName(path);
        db->open();
        read = std::make_unique<db::Transaction>(db.get(), db::Transaction::readParams());
        write = std::make_unique<db::Transaction>(db.get(), db::Transaction::writeParams());
        read->start();
    }
    ~Copy()
    {
        write.reset();
        read.reset();
        db->close();
        db.reset();
        QFile::remove(path);
    }
    costing::Context context() { return {db.get(), read.get(), write.get()}; }
};

// The repetitions' fastest time, for ComputeStatistics("min", ...).
double minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Five single runs each, for their fastest and median times; the CPU column
// is the whole process's, the helpers' threads and the engine's own included.
void fiveRuns(benchmark::internal::Benchmark* b)
{
    b->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ComputeStatistics("min", minimum)->MeasureProcessCPUTime();
}

// The tables a run reads, fetched row by row with nothing done with the rows.
long readTables(db::Database& database, db::Transaction& transaction)
{
    db::Query q(&database, &transaction);
    long rows = 0;
    for (const char* sql :
         {"SELECT KOD, MY_LEVEL, KVO_PORC, KALORIES, NAME, PERCENT_PLUS, CENA_COMPUTE, KOD_GROUP FROM ING",
          "SELECT KOD, KOD_ING, KOD_OTDEL, KOLVO, CENA, MY_CENA, NO_ING, KOD_FIRMA, PERCENT, METOD_CENA, OPEN_CLOSE "
          "FROM ING_SKLAD",
          "SELECT KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT FROM KARTA WHERE IS_ACTIVE > 0",
          "SELECT KOD, NAME FROM OTDEL"}) {
        q.setSql(QString::fromLatin1(sql));
        q.stream([&rows](const db::RowView&) { ++rows; });
    }
    return rows;
}

// The whole catalogue, as the recomputation window runs it: read on the
// run's own connection. "helpers" 0: on the run's own thread alone, as on a
// machine with no core to spare; 2: a thread of its own sends the writes,
// whatever the machine's load.
costing::RecomputeScope everything(int helpers)
{
    costing::RecomputeScope s;
    s.where = 2;  // every enterprise
    s.what = 2;   // every product
    s.keepStockPrice = false;
    s.skipHidden = false;
    s.helpers = helpers;
    return s;
}

// A first recomputation of a freshly written catalogue: every price changes.
void BM_FullRecomputation(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    const costing::RecomputeScope scope = everything(static_cast<int>(state.range(1)));
    costing::RecomputeResult r;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<Copy>(t);
        copy->write->start();
        state.ResumeTiming();
        r = costing::RecomputePrices(copy->context(), scope);
        copy->write->commit();
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = r.rowsPriced;
}
BENCHMARK(BM_FullRecomputation)
    ->ArgNames({"products", "helpers"})
    ->ArgsProduct({{10000, 50000}, {0, 2}})
    ->Apply(fiveRuns);

// What a full recomputation writes, done by the server alone: every
// department row's two prices and the composites' calories. "byKey" false
// with set-based statements, a floor no client that computes the prices can
// reach; true with the server's own loop updating each row by its key, as the
// run must, with no client in between.
void writeAsTheRunDoes(db::Database& database, db::Transaction& transaction, bool byKey)
{
    const char* setBased[] = {
        "UPDATE ING_SKLAD SET CENA = COALESCE(CENA, 0) + 1, MY_CENA = COALESCE(MY_CENA, 0) + 1",
        "UPDATE ING SET KALORIES = COALESCE(KALORIES, 0) + 1 WHERE MY_LEVEL > 0"};
    const char* keyByKey[] = {
        "EXECUTE BLOCK AS DECLARE K BIGINT; DECLARE C DOUBLE PRECISION; DECLARE M DOUBLE PRECISION; BEGIN "
        "FOR SELECT KOD, CENA, MY_CENA FROM ING_SKLAD INTO :K, :C, :M DO "
        "UPDATE ING_SKLAD SET CENA = COALESCE(:C, 0) + 1, MY_CENA = COALESCE(:M, 0) + 1 WHERE KOD = :K; END",
        "EXECUTE BLOCK AS DECLARE K BIGINT; DECLARE C DOUBLE PRECISION; BEGIN "
        "FOR SELECT KOD, KALORIES FROM ING WHERE MY_LEVEL > 0 INTO :K, :C DO "
        "UPDATE ING SET KALORIES = COALESCE(:C, 0) + 1 WHERE KOD = :K; END"};
    db::Query q(&database, &transaction);
    for (const char* sql : byKey ? keyByKey : setBased) {
        q.setSql(QString::fromLatin1(sql));
        q.execSql();
    }
}

// The database's own floors for a full recomputation, in the same run for the
// ratio: the tables the run reads fetched row by row, then what the run
// writes, then the commit.
void BM_FullRecomputationFloor(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    const bool byKey = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<Copy>(t);
        copy->write->start();
        state.ResumeTiming();
        benchmark::DoNotOptimize(readTables(*copy->db, *copy->write));
        writeAsTheRunDoes(*copy->db, *copy->write, byKey);
        copy->write->commit();
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FullRecomputationFloor)
    ->ArgNames({"products", "byKey"})
    ->ArgsProduct({{10000, 50000}, {0, 1}})
    ->Apply(fiveRuns);

// A second run over prices the first one set: nothing to write.
void BM_Rerun(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    const costing::RecomputeScope scope = everything(static_cast<int>(state.range(1)));
    Copy copy(t);
    copy.write->start();
    costing::RecomputePrices(copy.context(), scope);
    copy.write->commit();
    for (auto _ : state) {
        copy.write->start();
        costing::RecomputePrices(copy.context(), scope);
        copy.write->commit();
    }
}
BENCHMARK(BM_Rerun)
    ->ArgNames({"products", "helpers"})
    ->ArgsProduct({{10000, 50000}, {0, 2}})
    ->Apply(fiveRuns);

// The rerun's own floor: the same tables fetched row by row on the state a
// rerun finds, right after a full run's commit, on a transaction started
// after it as the rerun's is: the rows' old versions are still there, and
// such a transaction collects them as it reads. In the same run for the ratio.
void BM_RerunReadFloor(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    const costing::RecomputeScope scope = everything(0);
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<Copy>(t);
        copy->write->start();
        costing::RecomputePrices(copy->context(), scope);
        copy->write->commit();
        copy->write->start();
        state.ResumeTiming();
        benchmark::DoNotOptimize(readTables(*copy->db, *copy->write));
        copy->write->commit();
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RerunReadFloor)->Arg(10000)->Arg(50000)->Apply(fiveRuns);

// A run on its own thread and connection beside its floor, the two timed one
// right after the other, each on a copy of its own in the same state, the
// pair's order changing every time: while the machine's speed drifts (others
// building and testing beside it) the ratio of a pair holds where the times
// of two benchmarks apart drift. The time column is the run's; "floor" the
// floor's wall time, "ratio" the run's over it, "cpu_ratio" the same of the
// process's CPU time. "rerun" 0: a first run against its floor by key (the
// tables read, every row updated by its key by the server, the commit);
// 1: a rerun against its read floor, each right after its copy's first run;
// 2: the same once the old versions that run left are cleaned (the tables read
// once after it), so that neither arm meets the server's cleaning, whose share
// of a read right after the run varies from pair to pair several times over.
void BM_AgainstFloor(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    const bool rerun = state.range(1) != 0;
    const bool settled = state.range(1) == 2;
    const costing::RecomputeScope scope = everything(0);
    static int pairs = 0;
    struct Times {
        double wall = 0, cpu = 0;
    };
    auto timed = [](const std::function<void()>& f) {
        timespec c0, c1;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
        QElapsedTimer wall;
        wall.start();
        f();
        const double w = wall.nsecsElapsed() / 1e9;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
        return Times{w, (c1.tv_sec - c0.tv_sec) + (c1.tv_nsec - c0.tv_nsec) / 1e9};
    };
    // A rerun's copy gets its first run just before it is timed, so each arm
    // meets the old versions its first run left as soon after that run as the
    // other arm does.
    auto firstRun = [&](Copy& c) {
        if (!rerun)
            return;
        c.write->start();
        costing::RecomputePrices(c.context(), scope);
        c.write->commit();
        if (settled) {
            c.write->start();
            benchmark::DoNotOptimize(readTables(*c.db, *c.write));
            c.write->commit();
        }
    };
    Times run, floor;
    for (auto _ : state) {
        Copy a(t);  // the floor's
        Copy b(t);  // the run's
        auto timeFloor = [&] {
            firstRun(a);
            floor = timed([&] {
                a.write->start();
                benchmark::DoNotOptimize(readTables(*a.db, *a.write));
                if (!rerun)
                    writeAsTheRunDoes(*a.db, *a.write, true);
                a.write->commit();
            });
        };
        auto timeRun = [&] {
            firstRun(b);
            run = timed([&] {
                b.write->start();
                costing::RecomputePrices(b.context(), scope);
                b.write->commit();
            });
        };
        if (pairs++ % 2 == 0) {
            timeFloor();
            timeRun();
        } else {
            timeRun();
            timeFloor();
        }
        state.SetIterationTime(run.wall);
    }
    state.counters["floor"] = floor.wall * 1000;
    state.counters["ratio"] = run.wall / floor.wall;
    state.counters["cpu_ratio"] = run.cpu / floor.cpu;
}
BENCHMARK(BM_AgainstFloor)
    ->ArgNames({"products", "rerun"})
    ->ArgsProduct({{10000, 50000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->UseManualTime()
    ->ComputeStatistics("min", minimum);

// Money to whole kopecks, the one rule, over a run's worth of amounts;
// "Reference" rounds them with the library's rounding to nearest, which keeps
// the floating-point environment unchanged around every call.
std::vector<long double> amounts()
{
    std::vector<long double> v;
    for (int i = 0; i < 50000; ++i)
        v.push_back(static_cast<long double>((i * 7919 % 100000) / 8.0 + 0.125 * (i % 3)));
    return v;
}

void BM_RoundHalfEven(benchmark::State& state)
{
    const std::vector<long double> v = amounts();
    for (auto _ : state) {
        long double sum = 0;
        for (long double a : v)
            sum += engine::RoundHalfEven(a);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RoundHalfEven)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ComputeStatistics("min", minimum);

void BM_RoundHalfEvenReference(benchmark::State& state)
{
    const std::vector<long double> v = amounts();
    for (auto _ : state) {
        long double sum = 0;
        for (long double a : v)
            sum += std::nearbyintl(a);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_RoundHalfEvenReference)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ComputeStatistics("min", minimum);

// Reading what a run needs into memory.
void BM_ReadCatalogue(benchmark::State& state)
{
    Copy copy(catalogueFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        costing::CatalogueSnapshot s(copy.db.get(), copy.read.get());
        benchmark::DoNotOptimize(s.cardRowCount());
    }
}
BENCHMARK(BM_ReadCatalogue)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The database's own floor for that read: the same tables fetched row by row
// with nothing done with the rows, in the same run for the ratio.
void BM_ReadCatalogueFloor(benchmark::State& state)
{
    Copy copy(catalogueFile(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(readTables(*copy.db, *copy.read));
}
BENCHMARK(BM_ReadCatalogueFloor)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(5);

// One product recomputed, as a card save, a dish copy or the department
// dialog's OK does it: a dish of the top level, its card tree four levels deep.
// Its cost follows the dish's tree, not the catalogue's size. The transaction's
// start and end are left out of the time.
void BM_RecomputeOneProduct(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    Copy copy(t);
    const auto& dishes = t.catalogue.byLevel.back();
    size_t i = 0;
    costing::RecomputeResult r;
    for (auto _ : state) {
        costing::RecomputeScope s;
        s.product = dishes[i++ % dishes.size()];
        state.PauseTiming();
        copy.write->start();
        state.ResumeTiming();
        r = costing::RecomputePrices(copy.context(), s);
        state.PauseTiming();
        copy.write->rollback();
        state.ResumeTiming();
    }
    state.counters["rows"] = r.rowsPriced;
}
BENCHMARK(BM_RecomputeOneProduct)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(20);

// Reading one dish's card tree and department rows.
void BM_ReadProductTree(benchmark::State& state)
{
    const Template& t = catalogueFile(static_cast<int>(state.range(0)));
    Copy copy(t);
    const auto& dishes = t.catalogue.byLevel.back();
    size_t i = 0;
    for (auto _ : state) {
        auto s = costing::CatalogueSnapshot::ProductTree(copy.db.get(), copy.read.get(), dishes[i++ % dishes.size()]);
        benchmark::DoNotOptimize(s.cardRowCount());
    }
}
BENCHMARK(BM_ReadProductTree)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(20);

// The top-level dishes of one department expanded for one portion: the road
// that asks the database at every node against the in-memory one (reading included).
void BM_ExpandDishes(benchmark::State& state)
{
    const Template& t = catalogueFile(10000);
    Copy copy(t);
    const bool literal = state.range(0) != 0;
    const auto& dishes = t.catalogue.byLevel.back();
    const qint64 otdel = t.catalogue.departments.front().second;
    const int count = static_cast<int>(state.range(1));
    long nodes = 0;
    for (auto _ : state) {
        if (literal) {
            costing::LiteralRoad road(copy.db.get(), copy.read.get());
            for (int i = 0; i < count; ++i)
                nodes += road.ExpandToRaw(dishes[static_cast<size_t>(i)], otdel, 1, 0, 0, false).size();
        } else {
            costing::CatalogueSnapshot s(copy.db.get(), copy.read.get(), {otdel});
            costing::Expander e(s);
            for (int i = 0; i < count; ++i)
                nodes += e.ExpandToRaw(dishes[static_cast<size_t>(i)], otdel, 1, 0, 0, false).size();
        }
    }
    state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ExpandDishes)
    ->ArgNames({"literal", "dishes"})
    ->Args({1, 10})
    ->Args({0, 10})
    ->Args({0, 400})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
