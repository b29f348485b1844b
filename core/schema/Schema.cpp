#include "Schema.h"

#include "db/Database.h"
#include "db/Script.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFile>

static void initSchemaResource() { Q_INIT_RESOURCE(schema); }

namespace schema {

QStringList files()
{
    initSchemaResource();
    QStringList names = QDir(QStringLiteral(":/schema")).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    return names;
}

QString fileText(const QString& name)
{
    initSchemaResource();
    QFile f(QStringLiteral(":/schema/") + name);
    if (!f.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Не найден файл схемы %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

void apply(db::Database& db)
{
    db::Transaction tr(&db, db::Transaction::writeParams());
    for (const QString& name : files()) {
        tr.start();
        try {
            db::runScript(db, tr, fileText(name));
            tr.commit();
        } catch (const db::DbError& e) {
            if (tr.active())
                tr.rollback();
            throw db::DbError(name + QStringLiteral(": ") + e.message(), e.gdsCode());
        }
    }
}

void createDatabase(const QString& path, const db::ConnectParams& params)
{
    if (QFile::exists(path))
        throw db::DbError(QStringLiteral("Файл %1 уже существует").arg(path));
    db::Database::create(path, params);
    db::Database db;
    db.setDatabaseName(path);
    db.setParams(params);
    db.open();
    try {
        apply(db);
    } catch (...) {
        db.close();
        QFile::remove(path);
        throw;
    }
    db.close();
}

} // namespace schema
