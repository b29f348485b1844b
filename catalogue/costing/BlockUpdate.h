#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

namespace db {
class Database;
class Transaction;
} // namespace db

namespace costing {

// A thread of its own that executes the blocks of one or more BlockUpdates in
// the order they were handed over, while the caller goes on computing. Only
// for a caller that makes no other use of the attachment meanwhile that
// depends on the blocks (the attachment serializes the calls themselves).
// A failed block stops the rest: the error comes back from the next hand-over
// or from drain(). Destroying the writer drops what was not sent yet.
class BlockWriter {
public:
    BlockWriter();
    ~BlockWriter();
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    void post(std::function<void()> job);
    // Waits until every block handed over is executed; rethrows a failure.
    void drain();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Many "UPDATE table SET columns WHERE KOD = key" with floating values, sent
// to the server a block of rows at a time (one prepared statement executed
// per block) instead of one statement per row. Rows are sent in the order
// they were added; flush() sends what is left and must run before anything
// reads the rows back.
class BlockUpdate {
public:
    // With a writer, full blocks are executed on its thread; flush() then
    // hands over the rest, and the writer's drain() is what waits for them.
    BlockUpdate(db::Database* database, db::Transaction* transaction, const QString& table, const QStringList& columns,
                BlockWriter* writer = nullptr);
    ~BlockUpdate();
    BlockUpdate(const BlockUpdate&) = delete;
    BlockUpdate& operator=(const BlockUpdate&) = delete;

    // One row: a value for each column, in the columns' order.
    void add(qint64 kod, const double* values);
    void flush();
    int rowsSent() const { return sent_; }

private:
    struct Statement;
    void send(int first, int rows);

    db::Database* db_;
    db::Transaction* tr_;
    QString table_;
    QStringList columns_;
    BlockWriter* writer_;
    std::vector<qint64> keys_;
    std::vector<double> values_;
    std::unique_ptr<Statement> block_;
    std::unique_ptr<Statement> single_;
    int sent_ = 0;
};

} // namespace costing
