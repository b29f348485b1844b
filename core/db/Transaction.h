#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

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
    // The write parameters with tables reserved at the start: `writes` for
    // protected writing, `reads` for protected reading. The server takes the
    // reservations before the transaction's snapshot, always in the same
    // order whatever the order given: a transaction waits at its start until
    // no other holds what it needs, then sees what the other committed.
    // With waitSeconds above 0 the transaction waits that long at most for
    // another's reservation or row and then fails as a lock conflict.
    static std::vector<unsigned char> reservingParams(const std::vector<const char*>& writes,
                                                      const std::vector<const char*>& reads = {}, int waitSeconds = 0);

    void start();
    // Starts with other parameters than the transaction's own, this once.
    void start(const std::vector<unsigned char>& tpbTags);
    // A connection lost while the commit request is under way ends the
    // transaction on this side; when it had written, CommitUncertain is
    // thrown (db/Error.h): the server may have committed or not.
    void commit();
    void rollback();
    bool active() const { return handle_ != nullptr; }
    // How many times the transaction has committed since it was made: a
    // caller compares it before and after a step to know whether that step's
    // change reached the database.
    quint64 commits() const { return commits_; }
    // How many times a start was asked for, whether or not it succeeded: a
    // caller compares it before and after a step to know whether that step
    // set out to write at all.
    quint64 starts() const { return starts_; }

    Database* database() const { return db_; }
    Firebird::ITransaction* handle() const;

    // What changed since the transaction started: each table an INSERT,
    // UPDATE, DELETE or MERGE on it names (upper case), with the keys of its
    // changed rows where every change to it was noted with its keys; an empty
    // set: keys unknown, the table may have changed anywhere. A statement's
    // tables count as changed whole unless the writer notes the keys of the
    // rows it changed (noteChange with a key) before the next statement that
    // changes something. A writer notes too what statements do not name: the
    // tables of a procedure or of a trigger. The write road announces it
    // after its commit.
    void noteChange(const QString& table, qint64 key = 0);
    // The tables a statement has just changed (the client layer calls it).
    void noteStatement(const QStringList& tables);
    QHash<QString, QSet<qint64>> changes() const;

signals:
    // The transaction has started (its reservations, if any, are held).
    void started();
    void ended();

private:
    friend class Database;
    void dropOnClose();
    void startWith(const std::vector<unsigned char>& fullTpb);

    QPointer<Database> db_;
    std::vector<unsigned char> tpb_;
    Firebird::ITransaction* handle_ = nullptr;
    quint64 commits_ = 0;
    quint64 starts_ = 0;
    QHash<QString, QSet<qint64>> keys_;  // the keys noted per table
    QSet<QString> whole_;                // tables changed beyond any noted key
    QSet<QString> pending_;              // the last statement's tables, not yet given keys
};

} // namespace db
