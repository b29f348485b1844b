#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// dBase III tables of the point-of-sale exchange: the two empty tables the
// menu export starts from, a writer that appends records to such an image and
// a strict reader for the totals table that comes back. Texts are CP866.
namespace exchange::dbf {

struct FieldDef {
    QByteArray name;  // up to 10 characters
    char type = 'C';  // C text, N number, D date
    int length = 0;
    int decimals = 0;
};

// The empty table: version 0x03, last-update date 106-09-07, no records,
// language driver 0x26 (CP866), the field descriptors, 0x0D and 0x1A.
QByteArray EmptyImage(const QVector<FieldDef>& fields);

// The field lists of the menu tables and their empty images (322 and 130 bytes).
const QVector<FieldDef>& ProductsFields();
const QVector<FieldDef>& NamesFields();

// One value to append; an unset value leaves the field blank.
struct Value {
    enum class Kind { Blank, Text, Number } kind = Kind::Blank;
    QString text;
    double number = 0;
    static Value blank() { return {}; }
    static Value of(const QString& s) { return {Kind::Text, s, 0}; }
    static Value of(double d) { return {Kind::Number, {}, d}; }
};

// One record's bytes (the deletion flag, then each field). Texts longer than
// their field are cut; a number that does not fit its field, or is not a
// number, gives nullopt.
std::optional<QByteArray> EncodeRecord(const QVector<FieldDef>& fields, const QVector<Value>& record);

// Appends records to a table image. Texts longer than their field are cut
// (the field width is the peers' contract); a number that does not fit its
// field is refused with a false result and the image stays as it was.
class Writer {
public:
    explicit Writer(QVector<FieldDef> fields);
    bool append(const QVector<Value>& record);
    int recordCount() const { return records_; }
    // The finished table; the last-update date becomes `today` once a record was appended.
    QByteArray image(const QDate& today) const;

private:
    QVector<FieldDef> fields_;
    QByteArray body_;
    int records_ = 0;
};

// A table read back: the header checked against the file, every record
// loaded. Deleted records are left out.
struct Table {
    QVector<FieldDef> fields;
    QVector<QVector<QByteArray>> records;  // raw field bytes, in field order
    QVector<int> numbers;                  // each record's number in the file, from 1
    int fieldIndex(const QByteArray& name) const;
};

// Reads a whole table from its bytes. Fails (with a reason for the log, never
// shown to the user) when the header does not describe the file: a header
// length that does not end at the descriptors' terminator, a record length that
// is not the sum of the fields, a file shorter than its records, a record that
// does not start with a deletion flag.
std::optional<Table> Read(const QByteArray& bytes, QString* reason = nullptr);

// Field readers: the text right-trimmed (CP866 decoded), a number (a blank
// field is nullopt, an unreadable one sets *ok false), a date (YYYYMMDD).
QString TextOf(const QByteArray& raw);
std::optional<double> NumberOf(const QByteArray& raw, bool* ok);
QDate DateOf(const QByteArray& raw);

} // namespace exchange::dbf
