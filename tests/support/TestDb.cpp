#include "TestDb.h"

#include "shipped/ShippedDatabase.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The shipped database is built once per test program and copied for each test.
const QString& templateDatabase(TestDb::Samples samples)
{
    static QTemporaryDir dir;
    static QString paths[2];
    QString& path = paths[samples];
    if (path.isEmpty()) {
        path = dir.path() + (samples == TestDb::WithSamples ? QStringLiteral("/samples.fdb") : QStringLiteral("/template.fdb"));
        CreateShippedDatabase(path, {}, samples == TestDb::WithSamples ? ShippedSamples::Installed : ShippedSamples::Left);
    }
    return path;
}

} // namespace

TestDb::TestDb(Samples samples)
{
    folder_ = dir_.path() + QLatin1Char('/');
    path_ = folder_ + QStringLiteral("basecalc.fdb");
    if (!QFile::copy(templateDatabase(samples), path_))
        throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    oldHome_ = qgetenv("TARELIA_HOME");
    qputenv("TARELIA_HOME", folder_.toLocal8Bit());
    reconnect();
}

TestDb::~TestDb()
{
    disconnect();
    if (oldHome_.isEmpty())
        qunsetenv("TARELIA_HOME");
    else
        qputenv("TARELIA_HOME", oldHome_);
}

void TestDb::reconnect()
{
    if (db_ && db_->connected())
        return;
    reconnect(path_, {});
}

void TestDb::reconnect(const QString& connection, const db::ConnectParams& params)
{
    disconnect();
    db_ = std::make_unique<db::Database>();
    db_->setDatabaseName(connection);
    db_->setParams(params);
    db_->open();
    read_ = std::make_unique<db::Transaction>(db_.get(), db::Transaction::readParams());
    write_ = std::make_unique<db::Transaction>(db_.get(), db::Transaction::writeParams());
    read_->start();
}

void TestDb::disconnect()
{
    write_.reset();
    read_.reset();
    if (db_)
        db_->close();
    db_.reset();
}

void TestDb::exec(const QString& sql)
{
    if (write_->active())
        write_->rollback();
    write_->start();
    db::Query q(db_.get(), write_.get());
    q.setSql(sql);
    q.execSql();
    write_->commit();
}

QVariant TestDb::scalar(const QString& sql)
{
    auto q = select(sql);
    if (q->isEmpty())
        return {};
    return q->field(0).value();
}

std::unique_ptr<db::Query> TestDb::select(const QString& sql)
{
    auto q = std::make_unique<db::Query>(db_.get(), read_.get());
    q->setSql(sql);
    q->open();
    return q;
}
