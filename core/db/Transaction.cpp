#include "Transaction.h"

#include "Database.h"
#include "FbStatus.h"

#include <firebird/Interface.h>

#include <cstring>

using namespace Firebird;

namespace db {

Transaction::Transaction(Database* db, std::vector<unsigned char> tpbTags, QObject* parent)
    : QObject(parent), db_(db), tpb_(std::move(tpbTags))
{
    tpb_.insert(tpb_.begin(), static_cast<unsigned char>(isc_tpb_version3));
    db_->registerTransaction(this);
}

Transaction::~Transaction()
{
    if (handle_) {
        FbStatus st;
        handle_->rollback(&st);
        if (st.failed())
            handle_->release();
        handle_ = nullptr;
    }
    if (db_)
        db_->unregisterTransaction(this);
}

std::vector<unsigned char> Transaction::readParams()
{
    // Read-only: the server need not keep record versions for it, so old
    // versions are collected while the program runs; keys are still drawn here.
    return {isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_nowait};
}

std::vector<unsigned char> Transaction::writeParams() { return {isc_tpb_write, isc_tpb_consistency}; }

std::vector<unsigned char> Transaction::reservingParams(const std::vector<const char*>& writes,
                                                       const std::vector<const char*>& reads, int waitSeconds)
{
    std::vector<unsigned char> tpb = writeParams();
    if (waitSeconds > 0) {
        tpb.push_back(isc_tpb_wait);
        tpb.push_back(isc_tpb_lock_timeout);
        tpb.push_back(4);
        for (int i = 0; i < 4; ++i)
            tpb.push_back(static_cast<unsigned char>((static_cast<quint32>(waitSeconds) >> (8 * i)) & 0xFF));
    }
    auto reserve = [&tpb](unsigned char how, const char* table) {
        const size_t n = std::strlen(table);
        tpb.push_back(how);
        tpb.push_back(static_cast<unsigned char>(n));
        tpb.insert(tpb.end(), table, table + n);
        tpb.push_back(isc_tpb_protected);
    };
    for (const char* t : writes)
        reserve(isc_tpb_lock_write, t);
    for (const char* t : reads)
        reserve(isc_tpb_lock_read, t);
    return tpb;
}

ITransaction* Transaction::handle() const
{
    if (!handle_)
        throw DbError(QStringLiteral("Транзакция не активна"));
    return handle_;
}

void Transaction::start() { startWith(tpb_); }

void Transaction::start(const std::vector<unsigned char>& tpbTags)
{
    std::vector<unsigned char> tpb = tpbTags;
    tpb.insert(tpb.begin(), static_cast<unsigned char>(isc_tpb_version3));
    startWith(tpb);
}

void Transaction::startWith(const std::vector<unsigned char>& tpbTags)
{
    ++starts_;
    if (handle_)
        throw DbError(QStringLiteral("Транзакция уже активна"));
    if (!db_->connected())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    FbStatus st;
    ITransaction* t = db_->attachment()->startTransaction(&st, static_cast<unsigned>(tpbTags.size()), tpbTags.data());
    st.check();
    handle_ = t;
    keys_.clear();
    whole_.clear();
    pending_.clear();
    emit started();
}

void Transaction::noteChange(const QString& table, qint64 key)
{
    const QString t = table.toUpper();
    QSet<qint64>& keys = keys_[t];
    if (key == 0) {
        whole_.insert(t);
        return;
    }
    keys.insert(key);
    // The key is the row the last statement changed in this table.
    pending_.remove(t);
}

void Transaction::noteStatement(const QStringList& tables)
{
    if (tables.isEmpty())
        return;
    // The former statement's tables whose keys nobody noted changed whole.
    whole_.unite(pending_);
    pending_.clear();
    for (const QString& t : tables) {
        keys_[t];
        pending_.insert(t);
    }
}

QHash<QString, QSet<qint64>> Transaction::changes() const
{
    QHash<QString, QSet<qint64>> out = keys_;
    for (auto it = out.begin(); it != out.end(); ++it)
        if (whole_.contains(it.key()) || pending_.contains(it.key()))
            it->clear();
    return out;
}

void Transaction::commit()
{
    ITransaction* t = handle();
    FbStatus st;
    t->commit(&st);
    if (st.failed()) {
        try {
            throwStatus(&st);
        } catch (const DbError& e) {
            if (!IsConnectionLost(e.gdsCode()))
                throw;
            // The request may have reached the server, which then committed,
            // or not: the outcome is unknown here. Nothing is left to roll back
            // on this side.
            t->release();
            handle_ = nullptr;
            emit ended();
            if (keys_.isEmpty())
                throw;  // nothing was written: nothing can have been saved
            throw CommitUncertain(e.message(), e.gdsCode());
        }
    }
    handle_ = nullptr;
    ++commits_;
    emit ended();
}

void Transaction::rollback()
{
    ITransaction* t = handle();
    FbStatus st;
    t->rollback(&st);
    const bool failed = st.failed();
    // A failed rollback (the server is gone) still ends the transaction on this side.
    if (failed)
        t->release();
    handle_ = nullptr;
    emit ended();
    if (failed)
        throwStatus(&st);
}

void Transaction::dropOnClose()
{
    if (!handle_)
        return;
    try {
        rollback();
    } catch (const DbError&) {
    }
}

} // namespace db
