// Start-up as a whole process on a kitchen-sized database. Timed from
// outside (for instance with /usr/bin/time, several runs, min and median):
//
//     bench_startup_process make DIR [PRODUCTS]   writes DIR/basecalc.fdb and DIR/Net.txt
//     bench_startup_process run DIR               starts as the program does, ends once the start page is on the screen
//     bench_startup_process ready DIR             the same, ends once every window is made and the database connected
//
// Each prints the time from entering main to its end; the outside timer adds
// loading the libraries and leaving the process. With DISPLAY set it shows on
// that X display (an Xvfb for instance), as the program does; without, on the
// offscreen platform. The floor of `run` is bench_start_window, timed beside
// it on the same display.

#include "CostingCatalogue.h"

#include "automation/ProgramFonts.h"
#include "Program.h"
#include "ShowOnScreen.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "shipped/ShippedDatabase.h"
#include "ui/Unit_Main.h"
#include "util/ProgramFiles.h"

#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Make(const QString& dir, int products)
{
    QDir().mkpath(dir);
    const QString path = QDir(dir).absoluteFilePath(QStringLiteral("basecalc.fdb"));
    QFile::remove(path);
    CreateShippedDatabase(path);
    db::Database database;
    database.setDatabaseName(path);
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
    write.start();
    costing_catalogue::Builder b(&database, &write);
    costing_catalogue::generate(b, o);
    write.commit();
    database.close();
    qputenv("TARELIA_HOME", (QDir(dir).absolutePath() + QLatin1Char('/')).toLocal8Bit());
    writeNetTxt(NetSettings{QStringLiteral("Local"), QStringLiteral("localhost:") + path});
    std::printf("%s: %d products\n", qPrintable(path), products);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    const bool make = argc >= 3 && std::strcmp(argv[1], "make") == 0;
    const bool ready = argc >= 3 && std::strcmp(argv[1], "ready") == 0;
    if (argc < 3 || !(make || ready || std::strcmp(argv[1], "run") == 0)) {
        std::fprintf(stderr, "usage: %s make DIR [PRODUCTS] | run DIR | ready DIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[2]);
    qputenv("TARELIA_HOME", (QDir(dir).absolutePath() + QLatin1Char('/')).toLocal8Bit());
    if (make || (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    if (make)
        return Make(dir, argc > 3 ? std::atoi(argv[3]) : 10000);
    // As ProgramMain, up to its message loop.
    automation::InstallFonts(automation::ProgramFontFiles(), automation::UserFontFolder());
    CreateMainWindow();
    ShowOnScreen(Form_Main);
    std::printf("start page on the screen after %lld ms\n", static_cast<long long>(clock.elapsed()));
    if (ready) {
        if (!CreateOtherWindows())
            return 1;
        std::printf("ready after %lld ms\n", static_cast<long long>(clock.elapsed()));
    }
    // The process ends here, as the minimal window's does: its end is not the start's.
    std::fflush(stdout);
    std::_Exit(0);
}
