#pragma once

// What the benchmarks printing into a real headless LibreOffice share: a new
// database in a folder of the run's own, one reading transaction over it once
// the data is in, and one office for the whole run.

#include "../tests/support/KeepingOffice.h"

#include "automation/uno/UnoOffice.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "engine/Context.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace bench {

struct OfficeRun {
    QTemporaryDir dir;
    db::Database database;
    std::unique_ptr<db::Transaction> read;
    std::unique_ptr<automation::UnoOffice> office;

    // Opens the database at `path` (basecalc.fdb in the run's folder when
    // empty), creating it first unless told it is there already.
    void openDatabase(QString path = {}, bool create = true)
    {
        if (path.isEmpty())
            path = dir.path() + QStringLiteral("/basecalc.fdb");
        if (create)
            schema::createDatabase(path, db::ConnectParams{});
        database.setDatabaseName(path);
        database.open();
    }

    // The data is in: the run's reading transaction and its office, connected
    // at once when asked (otherwise on first use).
    void startReading(bool connectOffice)
    {
        read = std::make_unique<db::Transaction>(&database, db::Transaction::readParams());
        read->start();
        office = std::make_unique<automation::UnoOffice>(automation::HeadlessUnoOptions(dir.path()));
        if (connectOffice)
            office->connect();
    }

    engine::Context context() { return engine::Context{&database, read.get()}; }

    // Ends the run: the office, the reading, the database and its folder.
    void finish()
    {
        office->terminate();
        read->commit();
        database.close();
        dir.remove();
    }
};

// The repetitions' fastest time, for ComputeStatistics("min", ...).
inline double Minimum(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Closes every document the office kept and forgets them.
inline void CloseAll(KeepingOffice& keeping)
{
    for (auto& d : keeping.documents)
        d->close();
    keeping.documents.clear();
}

// Times `print` (given the office to print into) once per iteration; the
// documents it leaves open are closed outside the timing.
template <class Print>
void TimePrints(benchmark::State& state, automation::Office& office, Print print)
{
    for (auto _ : state) {
        KeepingOffice keeping(office);
        print(keeping);
        state.PauseTiming();
        CloseAll(keeping);
        state.ResumeTiming();
    }
}

// The benchmarks' main: runs those asked for, then `afterwards` (a report of
// the run, the run's end) while the application still stands.
template <class Afterwards>
int RunBenchmarks(int argc, char** argv, Afterwards afterwards)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    afterwards();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
