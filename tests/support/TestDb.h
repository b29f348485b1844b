#pragma once

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QTemporaryDir>

#include <memory>

// A fresh shipped database in a folder of its own, which is also the
// program's folder (TARELIA_HOME) for the test's lifetime. Without the
// program's sample templates unless asked for, so that a test's own
// templates are the only ones of their lists.
class TestDb {
public:
    enum Samples { NoSamples, WithSamples };
    explicit TestDb(Samples samples = NoSamples);
    ~TestDb();

    const QString& folder() const { return folder_; }
    const QString& path() const { return path_; }

    // A connection of the test's own with a read and a write transaction.
    db::Database& db() { return *db_; }
    db::Transaction& read() { return *read_; }
    db::Transaction& write() { return *write_; }

    // Runs a statement in its own committed write transaction.
    void exec(const QString& sql);
    // First column of the first row of a SELECT, read in a fresh read transaction.
    QVariant scalar(const QString& sql);
    // Opens a query on a fresh snapshot of the read transaction.
    std::unique_ptr<db::Query> select(const QString& sql);

    // Drops the test's connection, e.g. before the program's own opens the file.
    void disconnect();
    void reconnect();
    // Connects again through a server ("host/port:path") instead of the embedded engine.
    void reconnect(const QString& connection, const db::ConnectParams& params);

private:
    QTemporaryDir dir_;
    QString folder_;
    QString path_;
    QByteArray oldHome_;
    std::unique_ptr<db::Database> db_;
    std::unique_ptr<db::Transaction> read_;
    std::unique_ptr<db::Transaction> write_;
};
