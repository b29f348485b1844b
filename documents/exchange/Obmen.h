#pragma once

#include "Context.h"
#include "Dbf.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <memory>

namespace db {
class Query;
}

// The accounting exchange table obmen.dbf: a dBase III table in CP866 that the
// accounting program reads, one record per printed movement line. The program
// creates it from a fixed 258-byte image; a report run then fills a new table
// beside it and puts it in place only when the run is complete, so a run that
// fails (a full disk, a number too wide) leaves the earlier file as it was.
namespace exchange::obmen {

// TYPE C1, KOD C11, KOD1S C50, KOLVO F20.7, CENA F19.7, DATE D8, DOC C50.
const QVector<dbf::FieldDef>& Fields();

// The decimals of KOLVO and CENA: a record carries its figures on their
// decimal to these places.
constexpr int kPlaces = 7;

// The empty table as created: last update 4 February 2009, no records,
// header 257 bytes, records 160 bytes, language driver 0x26, end marker.
QByteArray EmptyImage();

// Creates the table at `path`, replacing any file of that name. Throws
// std::runtime_error naming the cause (no space left on the disk, ...) when
// the file cannot be written; the earlier file then stays as it was.
void CreateTable(const QString& path);

// One record of the table.
struct Record {
    bool incoming = false;  // TYPE "+", else "-"
    QString kod;            // point-of-sale code as decimal text
    QString kod1s;          // accounting code
    double kolvo = 0;
    double cena = 0;
    QDate date;             // an invalid date leaves the field blank
    QString doc;            // cut to 50 characters
};

// A table being filled: the records of the table at `path` and those appended
// since, kept until commit() writes the whole table to a temporary file beside
// `path` and renames it over the file. Until then, and when the object goes
// without a commit, the file at `path` stays as it was.
class Table {
public:
    // Reads a table CreateTable wrote (or one committed since). Throws
    // std::runtime_error when the file cannot be read, is not such a table or
    // is shorter than the records its header counts.
    explicit Table(const QString& path);
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Appends one record; `today` becomes the last-update date. Throws
    // std::runtime_error when a number does not fit its field.
    void append(const Record& r, const QDate& today);
    int count() const { return count_; }
    bool isOpen() const { return open_; }
    // Puts the table in place. Throws std::runtime_error naming the cause when
    // it cannot be written; the earlier file then stays. Later calls do nothing.
    void commit();

private:
    QString path_;
    QByteArray image_;  // header and records, without the end marker
    int count_ = 0;
    bool open_ = true;
};

// One printed line as the exchange rule takes it.
struct Line {
    qint64 product = 0;     // KOD_ING
    qint64 department = 0;  // KOD_OTDEL of the line
    int typeMoves = 0;      // 1 into stock, otherwise out of stock
    double kolvo = 0;
    double cena = 0;
    QDate docDate;
    QString docName;
    QString productName;    // listed when the product has no accounting code
};

// The exchange of one report run: opens the table, appends one record per
// printed line with the product's codes in the line's department, and
// collects the products without an accounting code for the warning window.
class Export {
public:
    Export(const Context& ctx, const QString& path);
    ~Export();
    // Reads KOD_KASSA and KOD_1S of the product in the department and
    // appends the line's record (also when the product has no row there:
    // both codes empty). The date of last update is the clock's today.
    void add(const Line& line);
    // Puts the finished table in place (Table::commit). An export destroyed
    // without it, as when the report fails, leaves the earlier file.
    void close();
    int count() const { return table_.count(); }

    // True when some line's product had no accounting code.
    bool missingCodes() const { return !warning_.isEmpty(); }
    // The warning window's text: the heading line, an empty line, then one
    // product name per line that lacked the code.
    QString warningText() const { return warning_.join(QLatin1Char('\n')); }

private:
    Table table_;
    std::unique_ptr<db::Query> codes_;  // prepared once, opened per line
    QStringList warning_;
};

// The heading line of the warning about products without an accounting code.
QString MissingCodesHeading();

} // namespace exchange::obmen
