#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace db {
class Query;
}

// One column value of the generic row writer.
struct R_Field {
    QString Name;
    int Typ = 0;       // 0 NULL, 1 text, 2 integer, 3 float, 4 date, 5 time, 6 and above the literal NULL
    QString S;
    qint64 I = 0;      // 64-bit, so keys travel whole
    double F = 0;
    QDateTime D;
    QDateTime T;
};

// A row for InsertRecord and UpdateRecord: table, key and up to 60 columns in SQL order.
struct R_Record {
    static constexpr int kMaxFields = 60;

    QString Table;
    qint64 KOD = 0;
    int Count = 0;
    std::array<R_Field, kMaxFields> Array_Field;

    // Appending helpers; a 61st field is a programming error (std::logic_error).
    R_Record& addString(const QString& name, const QString& value);
    R_Record& addInt(const QString& name, qint64 value);
    R_Record& addFloat(const QString& name, double value);
    R_Record& addDate(const QString& name, const QDate& value);
    R_Record& addTime(const QString& name, const QTime& value);
    R_Record& addNull(const QString& name);       // type 0: bound as NULL
    R_Record& addLiteralNull(const QString& name); // type 6: the word NULL in the text

    R_Record() = default;
    explicit R_Record(const QString& table, qint64 kod = 0) : Table(table), KOD(kod) {}

private:
    R_Field& append(const QString& name, int typ);
};

// The SQL texts the writer builds, as lines (for the row writer and its tests).
QStringList InsertRecordSql(const R_Record& r);
QStringList UpdateRecordSql(const R_Record& r);
// Binds the record's values to the :P<name> parameters of those statements.
void BindRecordFields(db::Query* q, const R_Record& r);
