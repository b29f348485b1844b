#pragma once

// What the benchmarks printing into a real headless LibreOffice share: a new
// database in a folder of the run's own, one reading transaction over it once
// the data is in, and one office for the whole run.

#include "../tests/support/KeepingOffice.h"
#include "CallTimes.h"

#include "automation/uno/UnoOffice.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "engine/Context.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

// As TimePrints; with TARELIA_BENCH_CALLS=1 the office calls of a print
// are counted and timed by name, and their table printed after the runs.
template <class Print>
void TimePrintsAndCalls(benchmark::State& state, automation::Office& office, Print print)
{
    if (!qEnvironmentVariableIsSet("TARELIA_BENCH_CALLS")) {
        TimePrints(state, office, print);
        return;
    }
    CallTimes calls;
    TimingOffice timing(office, calls);
    TimePrints(state, timing, print);
    calls.print(static_cast<int>(state.iterations()));
}

// The floor a print is measured against: its finished workbook stored once
// as an OpenDocument file (`print` makes it into the office it is given),
// then opened by the office and shown, as a print hands it over, once per
// iteration. The document is closed outside the timing.
template <class Print>
QString StoreFinished(automation::Office& office, const QString& path, Print print)
{
    KeepingOffice keeping(office);
    print(keeping);
    keeping.documents.back()->storeToFile(path, QStringLiteral("calc8"));
    CloseAll(keeping);
    return path;
}

inline void TimeOpening(benchmark::State& state, automation::Office& office, const QString& path)
{
    for (auto _ : state) {
        std::unique_ptr<automation::Document> d = office.loadDocument(path);
        d->show();
        state.PauseTiming();
        d->close();
        state.ResumeTiming();
    }
}

// A print timed beside its floor, in pairs: each repetition times the
// print, then its floor (its finished workbook, stored once, opened by the
// office and shown) or the other way round, the order changing every time,
// and then `read`, what the print costs without the office; so the machine's
// speed, which drifts while others work beside it, is the same for each
// pair. The time is the print's; the counters are this repetition's floor,
// its reading and the print over their sum ("ratio").
template <class Print, class Read>
void TimeAgainstFloor(benchmark::State& state, automation::Office& office, const QString& path, Print print, Read read)
{
    const QString finished = StoreFinished(office, path, print);
    static int pairs = 0;
    const auto seconds = [](const QElapsedTimer& t) { return t.nsecsElapsed() / 1e9; };
    double run = 0, floor = 0, query = 0;
    for (auto _ : state) {
        const auto timeRun = [&] {
            KeepingOffice keeping(office);
            QElapsedTimer t;
            t.start();
            print(keeping);
            run = seconds(t);
            CloseAll(keeping);
        };
        const auto timeFloor = [&] {
            QElapsedTimer t;
            t.start();
            std::unique_ptr<automation::Document> d = office.loadDocument(finished);
            d->show();
            floor = seconds(t);
            d->close();
        };
        if (pairs++ % 2 == 0) {
            timeRun();
            timeFloor();
        } else {
            timeFloor();
            timeRun();
        }
        QElapsedTimer t;
        t.start();
        read();
        query = seconds(t);
        state.SetIterationTime(run);
    }
    state.counters["floor_ms"] = floor * 1000;
    state.counters["query_ms"] = query * 1000;
    state.counters["ratio"] = run / (floor + query);
}

// An office whose documents take every call and keep nothing: a print into
// it costs its reading and its own work, none of the office's.
class NoOffice : public automation::Office {
public:
    bool connect() override { return true; }
    void disconnect() override {}
    bool connected() const override { return true; }
    std::unique_ptr<automation::Document> newCalc() override { return std::make_unique<Nothing>(); }
    std::unique_ptr<automation::Document> loadDocument(const QString&) override { return std::make_unique<Nothing>(); }
    std::unique_ptr<automation::Document> editDocument(const QString&) override { return std::make_unique<Nothing>(); }

private:
    struct Nothing : automation::Document {
        int sheetCount() override { return 2; }
        void insertSheet(int, const QString&) override {}
        QString sheetName(int) override { return {}; }
        void setString(const automation::CellAddress&, const QString&) override {}
        void setValue(const automation::CellAddress&, double) override {}
        void setFormula(const automation::CellAddress&, const QString&) override {}
        void setBlockValues(const automation::CellAddress&, const QList<QVariantList>&) override {}
        void moveRange(const automation::CellAddress&, const automation::RangeAddress&) override {}
        void copyRange(const automation::CellAddress&, const automation::RangeAddress&) override {}
        void removeRows(int, int, int) override {}
        void merge(const automation::RangeAddress&) override {}
        void setWrapped(const automation::RangeAddress&, bool) override {}
        void setHoriJustify(const automation::RangeAddress&, int) override {}
        void setFont(const automation::RangeAddress&, const automation::Font&) override {}
        void setTableBorder(const automation::RangeAddress&, const automation::TableBorder&) override {}
        void setTableBorders(const QList<automation::RangeAddress>&, const automation::TableBorder&) override {}
        void setColumnWidth(int, int, int) override {}
        void lockControllers() override {}
        void unlockControllers() override {}
        void addActionLock() override {}
        void removeActionLock() override {}
        void show() override {}
        void close() override {}
        void setSheetName(int, const QString&) override {}
        void removeSheet(int) override {}
        void setBlockFormulas(const automation::CellAddress&, const QList<QStringList>&) override {}
        void setCharColor(const QList<automation::RangeAddress>&, int) override {}
        void setVertJustify(const automation::RangeAddress&, int) override {}
        void setNumberFormat(const automation::RangeAddress&, const QString&) override {}
        void setPageMargins(int, const automation::PageMargins&) override {}
        automation::PageMargins pageMargins(int) override { return {}; }
        void setLandscape(int) override {}
        void storeToFile(const QString&, const QString&) override {}
        automation::CellState cellState(const automation::CellAddress&) override { return {}; }
    };
};

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
