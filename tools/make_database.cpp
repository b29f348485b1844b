// make_database PATH [SAMPLES]: writes a new shipped database with every
// sample template built into the program; with a folder of converted sample
// templates, loads the folder's samples in their place.

#include "shipped/ShippedDatabase.h"
#include "templates/SampleTemplates.h"

#include "db/Database.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_database PATH [SAMPLES]\n");
        return 2;
    }
    const QString path = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    try {
        CreateShippedDatabase(path, {}, argc == 3 ? ShippedSamples::Left : ShippedSamples::Installed);
        if (argc == 3) {
            db::Database database;
            database.setDatabaseName(path);
            database.open();
            db::Transaction write(&database, db::Transaction::writeParams());
            write.start();
            const int n = templates::InstallSampleTemplates(database, write, QString::fromLocal8Bit(argv[2]));
            write.commit();
            std::printf("%d sample templates\n", n);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_database: %s\n", e.what());
        return 1;
    }
    return 0;
}
