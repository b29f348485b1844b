// Start-up as a whole process on a kitchen-sized database. Timed from
// outside (for instance with /usr/bin/time, several runs, min and median):
//
//     bench_startup_process make DIR [PRODUCTS]   writes DIR/basecalc.fdb and DIR/Net.txt
//     bench_startup_process run DIR               starts as the program does, ends once the start page is shown
//
// `run` prints the time from entering main to the shown start page; the
// outside timer adds loading the libraries and leaving the process.

#include "CostingCatalogue.h"
#include "Program.h"
#include "db/Database.h"
#include "db/Transaction.h"
#include "shipped/ShippedDatabase.h"
#include "ui/Unit_Main.h"
#include "util/ProgramFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
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
    if (argc < 3 || (std::strcmp(argv[1], "make") != 0 && std::strcmp(argv[1], "run") != 0)) {
        std::fprintf(stderr, "usage: %s make DIR [PRODUCTS] | run DIR\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[2]);
    qputenv("TARELIA_HOME", (QDir(dir).absolutePath() + QLatin1Char('/')).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    if (std::strcmp(argv[1], "make") == 0)
        return Make(dir, argc > 3 ? std::atoi(argv[3]) : 10000);
    if (!CreateWindows() || !Form_Main)
        return 1;
    Form_Main->show();
    QTimer::singleShot(0, &app, [&] {
        std::printf("start page shown after %lld ms\n", static_cast<long long>(clock.elapsed()));
        app.quit();
    });
    return app.exec();
}
