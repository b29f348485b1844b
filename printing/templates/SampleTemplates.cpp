#include "SampleTemplates.h"

#include "db/Codec.h"
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
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
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
        throw std::runtime_error("the cache number of a sample template does not fit UNICNAME");
    const qint32 unicname = static_cast<qint32>(cacheNumber);
    db::Query q(&database, &write);
    for (const QString& statement : db::splitScript(script)) {
        q.setSql(statement);
        if (q.hasParam(QStringLiteral("FORM")))
            q.param(QStringLiteral("FORM")).setInt64(form);
        if (q.hasParam(QStringLiteral("UNICNAME")))
            q.param(QStringLiteral("UNICNAME")).setInt(unicname);
        if (q.hasParam(QStringLiteral("SHABLON")))
            q.param(QStringLiteral("SHABLON")).setBytes(bytes);
        q.execSql();
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
