// make_database PATH [SAMPLES] (--help: the usage): writes a new shipped database with every
// sample template built into the program; with a folder of converted sample
// templates, loads the folder's samples in their place.

#include "shipped/ShippedDatabase.h"
#include "templates/SampleTemplates.h"

#include "db/Database.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "Использование: make_database ФАЙЛ [ПАПКА]\n"
    "Записывает в ФАЙЛ новую пустую базу данных программы со встроенными образцами шаблонов печати;\n"
    "с ПАПКОЙ преобразованных образцов шаблонов загружает образцы из неё.\n";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto asked = [&](const char* option) { return argc == 2 && std::strcmp(argv[1], option) == 0; };
    if (asked("--help") || asked("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // An option is never taken for a file name.
    if ((argc != 2 && argc != 3) || argv[1][0] == '-' || (argc == 3 && argv[2][0] == '-')) {
        std::fputs(kUsage, stderr);
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
