#pragma once

// What the posting benchmarks share: an embedded database of their own with
// its reading and write transactions started, and the loop that times one
// step on rows written afresh and then rolled back, so every iteration works
// on the same stock.

#include "engine/Context.h"

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "schema/Schema.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace posting_bench {

struct Database {
    QTemporaryDir dir;
    db::Database database;
    std::unique_ptr<db::Transaction> read, write;

    // A new database file of the given name; both transactions are started.
    explicit Database(const QString& fileName)
    {
        const QString path = dir.path() + QLatin1Char('/') + fileName;
        schema::createDatabase(path, db::ConnectParams{});
        database.setDatabaseName(path);
        database.open();
        read = std::make_unique<db::Transaction>(&database, db::Transaction::readParams());
        write = std::make_unique<db::Transaction>(&database, db::Transaction::writeParams());
        read->start();
        write->start();
    }

    // A fresh key from MY_GEN, drawn on the write transaction.
    qint64 newKey()
    {
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        q.open();
        return q.field(0).asInt64();
    }

    engine::Context context() { return engine::Context{&database, read.get(), write.get()}; }
};

// Each iteration starts the write transaction and runs prepare untimed, then
// times step on what prepare returned, and rolls everything back untimed.
template <class Prepare, class Step>
void TimeRolledBack(benchmark::State& state, db::Transaction& write, Prepare prepare, Step step)
{
    for (auto _ : state) {
        state.PauseTiming();
        write.start();
        const auto prepared = prepare();
        state.ResumeTiming();
        step(prepared);
        state.PauseTiming();
        write.rollback();
        state.ResumeTiming();
    }
}

} // namespace posting_bench
