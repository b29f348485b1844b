// Start-up to the shown start page on an embedded database: window creation,
// connection, settings, administrator check, first lists, template clean-up.

#include "Program.h"
#include "shipped/ShippedDatabase.h"
#include "ui/Unit_Main.h"
#include "util/ProgramFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

static void BM_StartupToStartPage(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    qputenv("TARELIA_HOME", folder.toLocal8Bit());
    CreateShippedDatabase(folder + QStringLiteral("basecalc.fdb"));
    writeNetTxt(NetSettings{QStringLiteral("Local"), QStringLiteral("localhost:") + folder + QStringLiteral("basecalc.fdb")});
    for (auto _ : state) {
        CreateWindows(true);
        Form_Main->show();
        QApplication::processEvents();
        state.PauseTiming();
        Form_Main->hide();
        DestroyWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToStartPage)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
