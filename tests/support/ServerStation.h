#pragma once

// A workstation of its own on the test server (TARELIA_TEST_SERVER, with its
// password in TARELIA_TEST_SERVER_PASSWORD): one attachment over the network
// to a test's database file, with the program's read and write transactions.
// The test drops its embedded connection to the file first: the server
// refuses a file an embedded attachment holds.

#include "db/Database.h"
#include "db/Transaction.h"
#include "engine/Context.h"

#include <QString>

#include <memory>

inline bool HaveTestServer() { return !qgetenv("TARELIA_TEST_SERVER").isEmpty(); }

inline QString ServerConnection(const QString& path)
{
    return QString::fromLocal8Bit(qgetenv("TARELIA_TEST_SERVER")) + QLatin1Char(':') + path;
}

inline db::ConnectParams ServerParams()
{
    db::ConnectParams p;
    p.password = qgetenv("TARELIA_TEST_SERVER_PASSWORD");
    return p;
}

class ServerStation {
public:
    explicit ServerStation(const QString& path)
    {
        db_.setDatabaseName(ServerConnection(path));
        db_.setParams(ServerParams());
        db_.open();
        read_ = std::make_unique<db::Transaction>(&db_, db::Transaction::readParams());
        write_ = std::make_unique<db::Transaction>(&db_, db::Transaction::writeParams());
        read_->start();
    }
    ~ServerStation()
    {
        try {
            if (write_->active())
                write_->rollback();
            if (read_->active())
                read_->commit();
            db_.close();
        } catch (...) {
        }
    }

    engine::Context ctx() { return engine::Context{&db_, read_.get(), write_.get()}; }
    db::Database& db() { return db_; }
    db::Transaction& read() { return *read_; }
    db::Transaction& write() { return *write_; }
    // A fresh look at what others committed.
    void refresh()
    {
        read_->commit();
        read_->start();
    }

private:
    db::Database db_;
    std::unique_ptr<db::Transaction> read_;
    std::unique_ptr<db::Transaction> write_;
};
