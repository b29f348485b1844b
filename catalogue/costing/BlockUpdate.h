#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace db {
class Database;
class Transaction;
} // namespace db

namespace costing {

// Many "UPDATE table SET columns WHERE KOD = key" with floating values, sent
// to the server a block of rows at a time (one prepared statement executed
// per block) instead of one statement per row. Rows are sent in the order
// they were added; flush() sends what is left and must run before anything
// reads the rows back.
class BlockUpdate {
public:
    BlockUpdate(db::Database* database, db::Transaction* transaction, const QString& table, const QStringList& columns);
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
    std::vector<qint64> keys_;
    std::vector<double> values_;
    std::unique_ptr<Statement> block_;
    std::unique_ptr<Statement> single_;
    int sent_ = 0;
};

} // namespace costing
