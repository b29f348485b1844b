#include "SampleTemplates.h"

#include "db/Codec.h"
#include "db/Error.h"
#include "db/Query.h"
#include "db/Script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>
#include <stdexcept>

// The resource of the converted samples, compiled into this library.
static void initShippedSamples() { Q_INIT_RESOURCE(samples); }

namespace templates {

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    if (!f.isOpen() || f.error() != QFileDevice::NoError)
        throw std::runtime_error(
            QStringLiteral("Файл образца шаблона < %1 > не удалось прочитать.").arg(QDir::toNativeSeparators(path)).toStdString());
    return bytes;
}

// A statement as the user finds it in the manifest: its first words.
QString opening(const QString& statement)
{
    const QString line = statement.simplified();
    return line.size() > 60 ? line.left(60) + QStringLiteral("…") : line;
}

qint64 newKey(db::Database& database, db::Transaction& write)
{
    db::Query q(&database, &write);
    q.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    q.open();
    return q.field(0).asInt64();
}

} // namespace

qint64 InstallSampleTemplate(db::Database& database, db::Transaction& write, const QString& manifest,
                             const QString& spreadsheet)
{
    const QString script = QString::fromUtf8(readFile(manifest));
    const QByteArray bytes = readFile(spreadsheet);
    const qint64 form = newKey(database, write);
    const qint64 cacheNumber = newKey(database, write);
    if (cacheNumber > std::numeric_limits<qint32>::max())
        throw std::runtime_error("Номер файла образца шаблона не помещается в поле UNICNAME: база данных не записана.");
    const qint32 unicname = static_cast<qint32>(cacheNumber);
    db::Query q(&database, &write);
    int number = 0;
    for (const QString& statement : db::splitScript(script)) {
        ++number;
        try {
            q.setSql(statement);
            if (q.hasParam(QStringLiteral("FORM")))
                q.param(QStringLiteral("FORM")).setInt64(form);
            if (q.hasParam(QStringLiteral("UNICNAME")))
                q.param(QStringLiteral("UNICNAME")).setInt(unicname);
            if (q.hasParam(QStringLiteral("SHABLON")))
                q.param(QStringLiteral("SHABLON")).setBytes(bytes);
            q.execSql();
        } catch (const db::DbError&) {
            // The server's own text is English; the user is told where to look.
            throw std::runtime_error(QStringLiteral("Образец шаблона < %1 > не загружен: база данных не приняла его "
                                                    "оператор № %2 (\"%3\"). Проверьте этот оператор.")
                                         .arg(QDir::toNativeSeparators(manifest))
                                         .arg(number)
                                         .arg(opening(statement))
                                         .toStdString());
        }
    }
    return form;
}

int InstallSampleTemplates(db::Database& database, db::Transaction& write, const QString& folder)
{
    const QDir dir(folder);
    int installed = 0;
    for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        const QString base = QFileInfo(name).completeBaseName();
        InstallSampleTemplate(database, write, dir.filePath(name), dir.filePath(base + QStringLiteral(".xls")));
        ++installed;
    }
    return installed;
}

QString ShippedSamplesFolder()
{
    initShippedSamples();
    return QStringLiteral(":/samples");
}

int InstallShippedSamples(db::Database& database, db::Transaction& write)
{
    return InstallSampleTemplates(database, write, ShippedSamplesFolder());
}

} // namespace templates
