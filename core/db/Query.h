#pragma once

#include "Database.h"
#include "Error.h"
#include "Transaction.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace db {

class Database;
class Transaction;
class Query;

enum class FieldKind { Text, Integer, Float, Date, Time, Timestamp, TextBlob, BinaryBlob, Boolean, Null };

struct FieldInfo {
    QString name;      // the column's alias as the statement names it
    QString relation;  // table of the column, empty for expressions
    FieldKind kind = FieldKind::Null;
    int length = 0;    // declared bytes of a text column
    int scale = 0;
    bool binary = false;      // OCTETS text or a binary blob: bytes, never decoded
    bool calculated = false;  // filled by the query's calculated-fields handler
};

// A column of the current row. Text travels as Windows-1251 bytes: asString
// decodes, asBytes gives the stored bytes unchanged.
class Field {
public:
    Field(const Query* q, int index) : q_(q), index_(index) {}
    const QString& name() const;
    const FieldInfo& info() const;
    bool isNull() const;
    QVariant value() const;  // QString, qint64, double, QDate, QTime, QDateTime, bool or null
    QString asString() const;
    QByteArray asBytes() const;
    qint64 asInt64() const;
    int asInt() const { return static_cast<int>(asInt64()); }
    double asDouble() const;
    QDate asDate() const;
    QTime asTime() const;
    QDateTime asDateTime() const;

private:
    const QVariant& raw() const;
    const Query* q_;
    int index_;
};

// A named parameter. Unbound parameters go to the server as NULL.
class Param {
public:
    void setString(const QString& v) { value_ = v; }
    void setBytes(const QByteArray& v) { value_ = v; }
    void setInt64(qint64 v) { value_ = v; }
    void setInt(int v) { value_ = static_cast<qint64>(v); }
    void setDouble(double v) { value_ = v; }
    void setDate(const QDate& v) { value_ = v; }
    void setTime(const QTime& v) { value_ = v; }
    void setDateTime(const QDateTime& v) { value_ = v; }
    void setNull() { value_ = QVariant(); }
    void setValue(const QVariant& v) { value_ = v; }
    const QVariant& value() const { return value_; }
    bool isNull() const { return !value_.isValid() || value_.isNull(); }

private:
    QVariant value_;
};

// One fetched row of Query::stream(), read where the server left it. Columns
// count from 0; a null reads as 0 or an empty text.
class RowView {
public:
    bool isNull(int column) const;
    qint64 asInt64(int column) const;  // a scaled or floating value rounds to the nearest
    int asInt(int column) const { return static_cast<int>(asInt64(column)); }
    double asDouble(int column) const;
    QString asString(int column) const;  // text columns only

    struct Column {
        unsigned offset = 0, nullOffset = 0, type = 0, length = 0;
        int scale = 0;
    };

private:
    friend class Query;
    const unsigned char* buf_ = nullptr;
    const Column* columns_ = nullptr;
    int count_ = 0;
    const Column& at(int column) const;
};

// A statement with its result rows: SELECTs fetch every row at open and keep
// a cursor over them; other statements run through execSql. Parameters are
// written ":NAME" in the text (a name may repeat) and bound by name.
class Query : public QObject {
    Q_OBJECT
public:
    Query(Database* db, Transaction* tr, QObject* parent = nullptr);
    ~Query() override;

    Database* database() const { return db_; }
    Transaction* transaction() const { return tr_; }

    // SQL text, kept as lines. Changing it closes the query and forgets parameter values.
    void setSql(const QString& text);
    void setSql(const QStringList& lines) { setSql(lines.join(QLatin1Char('\n'))); }
    void clearSql() { setSql(QString()); }
    void addSql(const QString& line);
    QString sql() const { return lines_.join(QLatin1Char('\n')); }
    const QStringList& sqlLines() const { return lines_; }

    Param& param(const QString& name);
    bool hasParam(const QString& name) const;
    QStringList paramNames() const;

    void prepare();
    void unprepare();
    // The server's detailed plan of the statement (prepared if it is not):
    // each table it reads as Table "NAME".
    QString plan();
    bool prepared() const { return stmt_ != nullptr; }

    void open();
    void close();
    // Reads the rows again, as close() and open() do and with their signals,
    // but fetches them first: a read that fails leaves the query as it stood
    // (its rows, its cursor) and throws. A closed query is opened.
    void refresh();
    // Runs the SELECT and hands each row to `each` as it is fetched, typed
    // straight from the server's message: nothing is kept, no signal fires and
    // the query stays closed. For large reads into structures of their own.
    void stream(const std::function<void(const RowView&)>& each);
    bool active() const { return active_; }
    void fetchAll() {}  // every row is fetched at open
    void execSql();
    int rowsAffected() const { return rowsAffected_; }

    // Cursor, as data-aware lists expect it.
    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    int recNo() const { return cur_; }  // 0-based; -1 when empty
    void setRecNo(int row);
    void first();
    void next();
    void prior();
    void last();
    bool locate(const QString& field, const QVariant& value, bool caseInsensitive = false, bool partial = false);

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const FieldInfo& fieldInfo(int i) const { return fields_[i]; }
    int fieldIndex(const QString& name) const;
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    Field field(const QString& name) const;
    Field field(int index) const { return Field(this, index); }
    Field operator[](const QString& name) const { return field(name); }
    // A value of any row, for grids.
    QVariant valueAt(int row, int column) const;
    const QVariant& rawAt(int row, int column) const { return rows_[row][column]; }

    // Puts the rows of `fresh` (this list's statement narrowed to some of its
    // keys: the same columns in the same order, whatever their names, without
    // the calculated ones)
    // in place of the rows holding the same value of `keyField`, drops the
    // rows of the `asked` keys that `fresh` no longer returns, and computes
    // the calculated fields of the rows put in. The cursor stays on its row.
    // Nothing changes and false is returned where the rows cannot be merged
    // in place: a row of `fresh` that is not listed, columns that differ, a
    // changed value of one of `orderFields` (the row would move), or the
    // current row dropped. The caller then reads the list again.
    bool mergeRows(const QString& keyField, const Query& fresh, const QSet<qint64>& asked, const QStringList& orderFields);

    // Calculated fields: declared before open, filled for each fetched row by onCalcFields.
    void addCalcField(const QString& name, FieldKind kind = FieldKind::Text);
    void setCalc(const QString& name, const QVariant& value);

    std::function<void(Query&)> onCalcFields;

    // Called after a statement run by execSql changed rows of a table that
    // its transaction has not noted (by the attachment's own counts of the
    // rows it wrote): no list would hear of that change. The tests fail such
    // a statement; without a handler nothing is counted.
    using UnnotedWrites = std::function<void(const QString& statement, const QStringList& tables)>;
    static void setUnnotedWritesHandler(UnnotedWrites handler);

signals:
    // The cursor's events, for the windows that own a list: each connects its
    // own handlers (direct connections, run before the call that moved the
    // cursor returns). Order on open: opened, afterOpen, currentChanged,
    // afterScroll; on close: beforeClose, closed, afterClose.
    void opened();
    void closed();
    void currentChanged(int row);
    // Before the cursor leaves the current row (first, last, next, prior, setRecNo, locate).
    void beforeScroll();
    // The cursor stands on its new row (also after open).
    void afterScroll();
    void afterOpen();
    void beforeClose();
    void afterClose();
    // mergeRows read a row again in place (the cursor did not move).
    void rowRefreshed(int row);
    // mergeRows drops a row that is not the current one.
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);

private:
    friend class Field;
    struct Bound;
    void ensurePrepared();
    void prepareText();
    void scrollTo(int row, bool fireBefore = true);
    void fireAfterScroll();
    // The rows just read become the open list, standing on the first.
    void showRowsRead();
    void releaseStatement();
    // Notes on the transaction the tables a statement just changed.
    void noteChangedTable();
    void fetchInto(void* stmt, std::unique_ptr<Bound>& in);
    // Describes the statement's output and builds the fields from it, once
    // while it stays prepared and its calculated fields stay the same.
    struct OutputShape;
    const OutputShape& outputShape(void* stmt);
    void readRow(const unsigned char* buf, const std::vector<RowView::Column>& layout, QVector<QVariant>& row);
    void computeCalcFields(int row);
    std::unique_ptr<Bound> bindParams();
    struct InputShape;
    void buildInputShape(const QVector<QVariant>& values, const QVector<QByteArray>& texts);
    void forgetInputShape();

    QPointer<Database> db_;
    QPointer<Transaction> tr_;
    QStringList lines_;
    QString serverSql_;
    QStringList paramOrder_;  // name of each '?' in order
    QHash<QString, Param> params_;  // by upper-case name
    void* stmt_ = nullptr;  // Firebird::IStatement
    unsigned stmtType_ = 0;
    std::unique_ptr<InputShape> inputShape_;  // the input message built for the statement's parameters
    std::unique_ptr<OutputShape> outputShape_;  // its output message as described
    QStringList changedTables_;  // the tables the prepared statement changes, upper case

    QVector<FieldInfo> fields_;
    QHash<QString, int> fieldIndex_;  // upper-case name -> column
    QVector<QString> calcNames_;
    QVector<FieldKind> calcKinds_;
    QVector<QVector<QVariant>> rows_;
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool active_ = false;
    int rowsAffected_ = 0;
    int calcRow_ = -1;
    QHash<qint64, int> keyRows_;  // mergeRows' index of the rows by the key column
    int keyRowsColumn_ = -1;      // that column; -1: no index
};

// Decimal text of a double as the program shows it: up to 15 significant digits, decimal comma.
QString formatFloat(double v);

} // namespace db
