// Time to write a new shipped database from the schema sources.

#include "db/Database.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static void BM_CreateShippedDatabase(benchmark::State& state)
{
    QTemporaryDir dir;
    int n = 0;
    for (auto _ : state) {
        const QString path = dir.path() + QStringLiteral("/b%1.fdb").arg(n++);
        schema::createDatabase(path, db::ConnectParams{});
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateShippedDatabase)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
