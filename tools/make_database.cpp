// make_database PATH [SAMPLES] (--help: the usage): writes a new shipped database with every
// sample template built into the program; with a folder of converted sample
// templates, loads the folder's samples in their place.

#include "shipped/ShippedDatabase.h"
#include "templates/SampleTemplates.h"
#include "templates/WorkbookFile.h"

#include "engine/FileCause.h"

#include "db/Database.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const char* const kUsage =
    "Использование: make_database ФАЙЛ [ПАПКА]\n"
    "Записывает в ФАЙЛ новую пустую базу данных программы со встроенными образцами шаблонов печати;\n"
    "с ПАПКОЙ преобразованных образцов шаблонов загружает образцы из неё.\n";

// Why the database cannot be written at `typed`, in words; nothing when it can be tried.
std::optional<QString> fileRefusal(const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return QStringLiteral("Не указано имя файла базы данных.");
    const QFileInfo file(typed);
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    if (file.exists())
        return QStringLiteral("Файл < %1 > уже существует: новая база данных записывается только в новый файл.").arg(path);
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && !folder.isDir())
        return QStringLiteral("< %1 > — это файл, а не папка: база данных не записана.").arg(QDir::toNativeSeparators(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("Папки < %1 > нет: база данных не записана.").arg(QDir::toNativeSeparators(folder.filePath()));
    if (QFile::encodeName(file.fileName()).size() > NAME_MAX || QFile::encodeName(file.absoluteFilePath()).size() >= PATH_MAX)
        return QStringLiteral("Имя файла < %1 > слишком длинное: база данных не записана.").arg(path);
    // The folder takes a new file: tried with an empty one, removed at once.
    QFile probe(file.absoluteFilePath());
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("Файл < %1 > не создан: %2. База данных не записана.")
            .arg(path, engine::WriteFailureCause(file.absoluteFilePath(), probe.errorString()));
    probe.remove();
    return std::nullopt;
}

// The whole file, or nothing with the cause in words.
std::optional<QByteArray> readWhole(const QString& path, QString* refusal)
{
    QFile f(path);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    if (f.isOpen() && f.error() == QFileDevice::NoError)
        return bytes;
    *refusal = QStringLiteral("Файл образца < %1 > не читается: %2. База данных не записана.")
                   .arg(QDir::toNativeSeparators(path), engine::ReadFailureCause(path));
    return std::nullopt;
}

// Why the folder gives no sample templates, in words; nothing when every sample is complete.
std::optional<QString> samplesRefusal(const QString& typed)
{
    const QDir dir(typed);
    const QString shown = QDir::toNativeSeparators(dir.absolutePath());
    if (typed.isEmpty() || !QFileInfo(dir.absolutePath()).isDir())
        return QStringLiteral("Папки образцов шаблонов < %1 > нет: база данных не записана.").arg(shown);
    const QStringList manifests = dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    if (manifests.isEmpty())
        return QStringLiteral("В папке < %1 > нет ни одного образца шаблона (файлов .sql): база данных не записана.").arg(shown);
    for (const QString& manifest : manifests) {
        const QString sheet = QFileInfo(manifest).completeBaseName() + QStringLiteral(".xls");
        if (!QFileInfo(dir.filePath(sheet)).isFile())
            return QStringLiteral("У образца < %1 > в папке < %2 > нет его таблицы < %3 >: база данных не записана.")
                .arg(manifest, shown, sheet);
        // A template the office cannot open would never print: both files are read, the table as a workbook.
        QString refusal;
        if (!readWhole(dir.absoluteFilePath(manifest), &refusal))
            return refusal;
        const std::optional<QByteArray> table = readWhole(dir.absoluteFilePath(sheet), &refusal);
        if (!table)
            return refusal;
        if (!templates::IsWorkbook(*table))
            return QStringLiteral("Таблица образца < %1 > повреждена: это не книга .xls, .xlsx или .ods, и шаблон не "
                                  "напечатается. База данных не записана.")
                .arg(QDir::toNativeSeparators(dir.absoluteFilePath(sheet)));
    }
    return std::nullopt;
}

int refuse(const QString& text)
{
    std::fprintf(stderr, "make_database: %s\n", text.toUtf8().constData());
    return 1;
}

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
    const QString typed = QString::fromLocal8Bit(argv[1]);
    const QString samples = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    // Everything is checked before the file is made: a refused run leaves no file behind.
    if (const auto refusal = fileRefusal(typed))
        return refuse(*refusal);
    if (argc == 3)
        if (const auto refusal = samplesRefusal(samples))
            return refuse(*refusal);
    const QString path = QFileInfo(typed).absoluteFilePath();
    try {
        CreateShippedDatabase(path, {}, argc == 3 ? ShippedSamples::Left : ShippedSamples::Installed);
        if (argc == 3) {
            db::Database database;
            database.setDatabaseName(path);
            database.open();
            db::Transaction write(&database, db::Transaction::writeParams());
            write.start();
            const int n = templates::InstallSampleTemplates(database, write, samples);
            write.commit();
            database.close();
            std::printf("%d sample templates\n", n);
        }
    } catch (const std::exception& e) {
        // The file did not exist before (checked above): a database that failed half-way is not left.
        QFile::remove(path);
        return refuse(QStringLiteral("База данных < %1 > не записана: %2")
                          .arg(QDir::toNativeSeparators(path), QString::fromUtf8(e.what())));
    }
    return 0;
}
