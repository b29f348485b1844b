#include "BlockUpdate.h"

#include "db/Database.h"
#include "db/FbStatus.h"
#include "db/Transaction.h"

#include <firebird/Interface.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace costing {

namespace {

// Rows a block updates. The server's time for a block grows faster than its
// rows beyond a few dozen: blocks of 32 cost about as much a row as its own
// loop updating by key, blocks of 128 a fifth more.
constexpr int kBlockRows = 32;

} // namespace

// ---- BlockWriter ----

struct BlockWriter::State {
    std::mutex m;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool busy = false;
    bool stop = false;
    std::exception_ptr failed;
    std::thread thread;

    void run()
    {
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            changed.wait(lock, [this] { return stop || !jobs.empty(); });
            if (stop)
                return;
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            lock.unlock();
            std::exception_ptr error;
            try {
                job();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            busy = false;
            if (error) {
                failed = error;
                jobs.clear();
            }
            changed.notify_all();
        }
    }
};

BlockWriter::BlockWriter() : state_(std::make_unique<State>())
{
    state_->thread = std::thread([s = state_.get()] { s->run(); });
}

BlockWriter::~BlockWriter()
{
    {
        std::lock_guard<std::mutex> lock(state_->m);
        state_->stop = true;
        state_->jobs.clear();
    }
    state_->changed.notify_all();
    state_->thread.join();
}

void BlockWriter::post(std::function<void()> job)
{
    std::lock_guard<std::mutex> lock(state_->m);
    if (state_->failed)
        std::rethrow_exception(state_->failed);
    state_->jobs.push_back(std::move(job));
    state_->changed.notify_all();
}

void BlockWriter::drain()
{
    std::unique_lock<std::mutex> lock(state_->m);
    state_->changed.wait(lock, [this] { return state_->failed || (state_->jobs.empty() && !state_->busy); });
    if (state_->failed)
        std::rethrow_exception(state_->failed);
}

// ---- BlockUpdate ----

// A prepared statement for a number of rows, with its input message.
struct BlockUpdate::Statement {
    Firebird::IStatement* stmt = nullptr;
    Firebird::IMessageMetadata* meta = nullptr;
    std::vector<unsigned char> buffer;
    std::vector<unsigned> offsets;  // per parameter, in order: key, then the values, row by row
    int rows = 0;

    ~Statement()
    {
        db::FbStatus st;
        if (meta)
            meta->release();
        if (stmt)
            stmt->free(&st);
    }
};

BlockUpdate::BlockUpdate(db::Database* database, db::Transaction* transaction, const QString& table,
                         const QStringList& columns, BlockWriter* writer)
    : db_(database), tr_(transaction), table_(table), columns_(columns), writer_(writer)
{
}

BlockUpdate::~BlockUpdate() = default;

void BlockUpdate::add(qint64 kod, const double* values)
{
    keys_.push_back(kod);
    values_.insert(values_.end(), values, values + columns_.size());
    if (static_cast<int>(keys_.size()) == kBlockRows) {
        send(0, kBlockRows);
        keys_.clear();
        values_.clear();
    }
}

void BlockUpdate::flush()
{
    // What is left goes one row at a time, through a statement for one row.
    for (size_t i = 0; i < keys_.size(); ++i)
        send(static_cast<int>(i), 1);
    keys_.clear();
    values_.clear();
}

void BlockUpdate::send(int first, int rows)
{
    std::unique_ptr<Statement>& s = rows == 1 ? single_ : block_;
    const int cols = static_cast<int>(columns_.size());
    db::FbStatus st;
    Firebird::ITransaction* tr = tr_->handle();
    if (!s) {
        s = std::make_unique<Statement>();
        s->rows = rows;
        QString sql;
        if (rows == 1) {
            QStringList set;
            for (const QString& c : columns_)
                set << c + QStringLiteral(" = ?");
            sql = QStringLiteral("UPDATE ") + table_ + QStringLiteral(" SET ") + set.join(QStringLiteral(", ")) +
                  QStringLiteral(" WHERE KOD = ?");
        } else {
            QStringList params;
            QString body;
            for (int r = 0; r < rows; ++r) {
                QStringList set;
                for (int c = 0; c < cols; ++c) {
                    params << QStringLiteral("V%1_%2 DOUBLE PRECISION = ?").arg(r).arg(c);
                    set << columns_[c] + QStringLiteral(" = :V%1_%2").arg(r).arg(c);
                }
                params << QStringLiteral("K%1 BIGINT = ?").arg(r);
                body += QStringLiteral("UPDATE ") + table_ + QStringLiteral(" SET ") + set.join(QStringLiteral(", ")) +
                        QStringLiteral(" WHERE KOD = :K%1;\n").arg(r);
            }
            sql = QStringLiteral("EXECUTE BLOCK (") + params.join(QStringLiteral(", ")) + QStringLiteral(") AS BEGIN\n") +
                  body + QStringLiteral("END");
        }
        const QByteArray text = sql.toLatin1();
        s->stmt = db_->attachment()->prepare(&st, tr, static_cast<unsigned>(text.size()), text.constData(), 3, 0);
        st.check();
        s->meta = s->stmt->getInputMetadata(&st);
        st.check();
        const unsigned n = s->meta->getCount(&st);
        s->buffer.assign(s->meta->getMessageLength(&st), 0);
        for (unsigned i = 0; i < n; ++i) {
            s->offsets.push_back(s->meta->getOffset(&st, i));
            // Every value is present: clear its null flag once.
            std::memset(s->buffer.data() + s->meta->getNullOffset(&st, i), 0, sizeof(short));
        }
        st.check();
    }
    std::vector<unsigned char> message = s->buffer;  // the null flags cleared once
    unsigned char* buf = message.data();
    size_t p = 0;
    for (int r = first; r < first + rows; ++r) {
        for (int c = 0; c < cols; ++c)
            std::memcpy(buf + s->offsets[p++], &values_[static_cast<size_t>(r * cols + c)], sizeof(double));
        std::memcpy(buf + s->offsets[p++], &keys_[static_cast<size_t>(r)], sizeof(qint64));
    }
    sent_ += rows;
    // The statements bypass db::Query, which notes what a road changes: noted here.
    tr_->noteChange(table_);
    auto execute = [stmt = s->stmt, meta = s->meta, tr, message = std::move(message)]() mutable {
        db::FbStatus st;
        stmt->execute(&st, tr, meta, message.data(), nullptr, nullptr);
        st.check();
    };
    if (writer_)
        writer_->post(std::move(execute));
    else
        execute();
}

} // namespace costing
