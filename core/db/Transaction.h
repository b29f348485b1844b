#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

namespace Firebird {
class ITransaction;
}

namespace db {

class Database;

// One transaction of the attachment with its own parameter block (isc_tpb_* tags).
class Transaction : public QObject {
    Q_OBJECT
public:
    Transaction(Database* db, std::vector<unsigned char> tpbTags, QObject* parent = nullptr);
    ~Transaction() override;

    // read_committed, rec_version, nowait: the long-lived reading transaction.
    static std::vector<unsigned char> readParams();
    // write, consistency: the transaction every change runs in.
    static std::vector<unsigned char> writeParams();

    void start();
    void commit();
    void rollback();
    bool active() const { return handle_ != nullptr; }

    Database* database() const { return db_; }
    Firebird::ITransaction* handle() const;

signals:
    void ended();

private:
    friend class Database;
    void dropOnClose();

    QPointer<Database> db_;
    std::vector<unsigned char> tpb_;
    Firebird::ITransaction* handle_ = nullptr;
};

} // namespace db
