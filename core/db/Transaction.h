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

    // read, read_committed, rec_version, nowait: the long-lived reading
    // transaction; the server refuses any change made through it.
    static std::vector<unsigned char> readParams();
    // write, consistency: the transaction every change runs in.
    static std::vector<unsigned char> writeParams();
    // The write parameters with the tables reserved for protected writing at
    // the start, in the order given: a transaction that will change them
    // waits at its start until no other holds them, and never holds one of
    // them while waiting for another.
    static std::vector<unsigned char> reservingParams(const std::vector<const char*>& tables);

    void start();
    // Starts with other parameters than the transaction's own, this once.
    void start(const std::vector<unsigned char>& tpbTags);
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
    void startWith(const std::vector<unsigned char>& fullTpb);

    QPointer<Database> db_;
    std::vector<unsigned char> tpb_;
    Firebird::ITransaction* handle_ = nullptr;
};

} // namespace db
