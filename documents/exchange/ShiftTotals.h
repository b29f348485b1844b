#pragma once

#include "engine/WriteRoad.h"
#include "Context.h"
#include "engine/LineBounds.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Scrambler;

// Shift totals of the point-of-sale programs turned into one sales document:
// the companion program's scrambled totals file and the TorgService totals
// table. Every item of a file is read and checked before anything is written.
namespace exchange {

// The reservation of the road that takes shift totals in (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

// ---- companion program ----

enum class TotalsStatus {
    Ok,
    Damaged,     // not a totals file, or damaged
    OldVersion,  // the end marker is right but the deferred-payments block is missing
    OutOfRange,  // a price or quantity beyond what a kitchen sells, or a date beyond
                 // the shifts' window (refusal names its line)
};

// What one line of totals may carry, either sign (engine/LineBounds.h).
constexpr double kMaxTotalsQuantity = engine::kMaxLineQuantity;
constexpr double kMaxTotalsPrice = engine::kMaxLinePrice;
// A shift's date lies from 01.01.2000 to the end of next year (by the one
// clock); any other is a wrong clock or a damaged file, and its document would
// fall outside every report period.
constexpr int kFirstShiftYear = 2000;

struct TotalsItem {
    QString codeText;             // the code line as it stands
    std::optional<qint64> code;   // nullopt: not a number (an unknown dish)
    double price = 0;
    double quantity = 0;
};

struct ShiftTotals {
    TotalsStatus status = TotalsStatus::Damaged;
    QDate date;
    QString name;
    QVector<TotalsItem> items;  // in file order
    QString refusal;            // OutOfRange: the line, the value and the bound, for the user
};

// Reads a totals file: container, markers, date, name and every item.
ShiftTotals ParseShiftTotals(const QByteArray& fileBytes, Scrambler& scrambler);

// A price or quantity: every character other than a digit or '-' stands for
// the decimal separator ("12.50" and "12,50" are the same number).
std::optional<double> ParseTotalsNumber(const QString& text);

// ---- the document ----

struct SalesLine {
    qint64 kodIng = 0;
    qint64 kodOtdel = 0;
    double cena = 0;
    double kolvo = 0;
    std::optional<double> cenaSklad;
};

struct SalesDocument {
    QString name;
    QDate date;
    qint64 firma = 0;
    QVector<SalesLine> lines;
};

// The companion totals matched against the database: the document to write,
// the codes no department row has (as they stand in the file, in order) and
// whether any code was known.
struct TotalsPlan {
    SalesDocument document;
    QStringList unknownCodes;
    bool anyKnown = false;
};
TotalsPlan PlanShiftTotals(const Context& ctx, const ShiftTotals& totals);

// ---- TorgService ----

enum class TorgStatus {
    Ok,
    Damaged,      // not a dBase table, a header that does not fit the file, an unreadable number or date
    UnknownCode,  // a code (of the first record or of a line) that the database lacks, or not a number
    NoCodes,      // no record with a quantity has a code
    OutOfRange,   // a quantity or price beyond the bounds above, a date beyond the shifts'
                  // window (refusal names its record), or a line of merged records beyond
                  // the quantity bound (refusal names its dish)
};

struct TorgPlan {
    TorgStatus status = TorgStatus::Damaged;
    SalesDocument document;
    QString refusal;  // OutOfRange: the record, the value and the bound, for the user
};
// Records with KOL 0 are not read; codes of five characters or fewer make no
// line; equal dish, department and price are merged, later records first, and
// the merged quantity keeps to the bound of one record.
TorgPlan PlanTorgServiceTotals(const Context& ctx, const QByteArray& fileBytes, CodeKind kind);

// Inserts the sales document (DOC_TYPE 3, time 00:00) and its lines on
// ctx.write, which must be active; commits nothing. Returns the new key.
qint64 WriteSalesDocument(const Context& ctx, const SalesDocument& doc);

} // namespace exchange
