#include "SampleTemplates.h"

#include "TemplateForm.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "db/Script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

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
    const qint32 unicname = UnicnameFromKey(newKey(database, write));
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

} // namespace templates
