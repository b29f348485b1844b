#include "ShiftTotals.h"

#include "engine/Clock.h"

#include "Dbf.h"
#include "MenuExport.h"

#include "db/Codec.h"
#include "db/Query.h"
#include "engine/EngineDb.h"

#include <QHash>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <limits>

namespace exchange {

namespace {

const char* const kTotalsHead = "<<<< ИТОГОВЫЙ ФАЙЛ ПОДАВАЛЬНИ >>>>";
const char* const kDeferredPayments = "<<<< ОТЛОЖЕННЫЕ ПЛАТЕЖИ И СКИДКИ >>>>";
const char* const kTotalsEnd = "<<<< КОНЕЦ ИТОГОВОГО ФАЙЛА ПОДАВАЛЬНИ >>>>";

// Lines 1-6 come before the items.
constexpr int kFirstItemLine = 6;
// DOCS.NAME
constexpr int kMaxDocumentName = 200;

QByteArray cp1251(const char* utf8) { return db::toCp1251(QString::fromUtf8(utf8)); }

// CR LF ends a line; a last line without its end counts as a line.
QList<QByteArray> splitLines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

std::optional<qint64> parseInteger(const QString& text)
{
    static const QRegularExpression integer(QStringLiteral("^[+-]?\\d+$"));
    const QString t = text.trimmed();
    if (!integer.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

// The refusal of a value beyond its bound, or nothing when it is within:
// `where` names the line or record, `what` the value.
QString outOfRange(double value, double bound, const QString& where, const QString& what, const QString& text)
{
    if (std::abs(value) <= bound)
        return {};
    return where + QStringLiteral(": ") + what + QStringLiteral(" ") + text.trimmed() +
           QStringLiteral(" вне допустимых пределов (по модулю не больше ") + QString::number(bound, 'f', 0) +
           QStringLiteral(").");
}

// The refusal of a shift's date outside the shifts' window, or nothing.
QString dateRefusal(const QDate& date, const QString& where, const QString& what)
{
    const QDate first(kFirstShiftYear, 1, 1);
    const QDate last(Clock::today().year() + 1, 12, 31);
    if (date >= first && date <= last)
        return {};
    const QString format = QStringLiteral("dd.MM.yyyy");
    return where + QStringLiteral(": ") + what + QLatin1Char(' ') + date.toString(format) +
           QStringLiteral(" вне допустимых пределов (с ") + first.toString(format) + QStringLiteral(" по ") +
           last.toString(format) + QStringLiteral(").");
}

// The database row a code names, with the key binding the code.
struct CodeRow {
    qint64 kodIng = 0;
    qint64 kodOtdel = 0;
    qint64 firma = 0;
    double cena = 0;
    QString name;  // the dish's
};

class CodeLookup {
public:
    CodeLookup(const Context& ctx, CodeKind kind) : q_(ctx.database, ctx.read), kind_(kind)
    {
        q_.setSql(QStringList{
            QStringLiteral("SELECT ING_SKLAD.CENA, OTDEL.KOD AS KOD_OTDEL, ING.KOD AS KOD_ING, ING.NAME AS NAME_ING, "
                           "FIRMA.KOD AS KOD_FIRMA FROM ING_SKLAD"),
            QStringLiteral("INNER JOIN OTDEL ON OTDEL.KOD = ING_SKLAD.KOD_OTDEL"),
            QStringLiteral("INNER JOIN ING ON ING.KOD = ING_SKLAD.KOD_ING"),
            QStringLiteral("LEFT OUTER JOIN FIRMA ON FIRMA.KOD = ING_SKLAD.KOD_FIRMA"),
            kind == CodeKind::Till ? QStringLiteral("WHERE ING_SKLAD.KOD_KASSA = :CODE") : QStringLiteral("WHERE ING_SKLAD.KOD = :CODE"),
            QStringLiteral("ORDER BY ING_SKLAD.KOD")});
    }

    std::optional<CodeRow> find(qint64 code)
    {
        if (auto it = cache_.constFind(code); it != cache_.constEnd())
            return *it;
        std::optional<CodeRow> row;
        // Till codes are whole numbers above 0 of 32 bits; 0 marks a row without one.
        const bool possible = kind_ == CodeKind::Unique || (code > 0 && code <= std::numeric_limits<qint32>::max());
        if (possible) {
            q_.close();
            q_.param(QStringLiteral("CODE")).setInt64(code);
            q_.open();
            if (!q_.isEmpty())
                row = CodeRow{q_.field(QStringLiteral("KOD_ING")).asInt64(), q_.field(QStringLiteral("KOD_OTDEL")).asInt64(),
                              q_.field(QStringLiteral("KOD_FIRMA")).asInt64(), q_.field(QStringLiteral("CENA")).asDouble(),
                              q_.field(QStringLiteral("NAME_ING")).asString()};
            q_.close();
        }
        cache_.insert(code, row);
        return row;
    }

private:
    db::Query q_;
    CodeKind kind_;
    QHash<qint64, std::optional<CodeRow>> cache_;
};

} // namespace

// ---- companion program ----

std::optional<double> ParseTotalsNumber(const QString& text)
{
    QString t = text.trimmed();
    for (QChar& c : t)
        if (!c.isDigit() && c != QLatin1Char('-'))
            c = QLatin1Char('.');
    static const QRegularExpression number(QStringLiteral("^-?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!number.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

ShiftTotals ParseShiftTotals(const QByteArray& fileBytes, Scrambler& scrambler)
{
    ShiftTotals t;  // Damaged until everything is read
    const std::optional<QByteArray> plain = UnpackContainer(fileBytes, scrambler);
    if (!plain)
        return t;
    const QList<QByteArray> lines = splitLines(*plain);
    if (lines.isEmpty() || lines.first() != cp1251(kTotalsHead))
        return t;

    const QByteArray deferred = cp1251(kDeferredPayments);
    int marker = -1;
    for (int i = 1; i + 1 < lines.size(); ++i)
        if (lines[i] == deferred) {
            marker = i;
            break;
        }
    const bool endRight = lines.size() > 1 && lines.last() == cp1251(kTotalsEnd);
    if (marker < 0) {
        if (endRight)
            t.status = TotalsStatus::OldVersion;
        return t;
    }
    if (!endRight || marker < kFirstItemLine || (marker - kFirstItemLine) % 3 != 0)
        return t;

    const auto day = parseInteger(db::fromCp1251(lines[1]));
    const auto month = parseInteger(db::fromCp1251(lines[2]));
    const QString yearText = db::fromCp1251(lines[3]).trimmed();
    auto year = parseInteger(yearText);
    // A year of one or two digits is read as the short date format reads it: within
    // the hundred years from fifty years before today ("26" in 2026 is 2026, "76" is 1976).
    if (year && *year >= 0 && yearText.size() <= 2) {
        const int base = Clock::today().year() - 50;
        qint64 full = *year + base / 100 * 100;
        if (full < base)
            full += 100;
        year = full;
    }
    if (!day || !month || !year || *year < 100 || *year > 9999 || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        return t;
    const QDate date(static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day));
    if (!date.isValid())
        return t;
    // The date is named by its year's line: only the year can put it out of the window.
    if (const QString refusal = dateRefusal(date, QStringLiteral("Строка 4"), QStringLiteral("дата смены"));
        !refusal.isEmpty()) {
        t.status = TotalsStatus::OutOfRange;
        t.refusal = refusal;
        return t;
    }
    const QString name = db::fromCp1251(lines[4]);
    if (name.size() > kMaxDocumentName)
        return t;

    QVector<TotalsItem> items;
    for (int i = kFirstItemLine; i < marker; i += 3) {
        TotalsItem item;
        item.codeText = db::fromCp1251(lines[i]);
        item.code = parseInteger(item.codeText);
        const QString priceText = db::fromCp1251(lines[i + 1]);
        const QString quantityText = db::fromCp1251(lines[i + 2]);
        const auto price = ParseTotalsNumber(priceText);
        const auto quantity = ParseTotalsNumber(quantityText);
        if (!price || !quantity)
            return t;
        // Lines are counted from 1: the price stands on line i + 2, the quantity on i + 3.
        QString refusal = outOfRange(*price, kMaxTotalsPrice, QStringLiteral("Строка %1").arg(i + 2),
                                     QStringLiteral("цена"), priceText);
        if (refusal.isEmpty())
            refusal = outOfRange(*quantity, kMaxTotalsQuantity, QStringLiteral("Строка %1").arg(i + 3),
                                 QStringLiteral("количество"), quantityText);
        if (!refusal.isEmpty()) {
            t.status = TotalsStatus::OutOfRange;
            t.refusal = refusal;
            return t;
        }
        item.price = *price;
        item.quantity = *quantity;
        items.append(item);
    }
    t.status = TotalsStatus::Ok;
    t.date = date;
    t.name = name;
    t.items = items;
    return t;
}

TotalsPlan PlanShiftTotals(const Context& ctx, const ShiftTotals& totals)
{
    TotalsPlan plan;
    plan.document.name = totals.name;
    plan.document.date = totals.date;
    CodeLookup lookup(ctx, CodeKind::Unique);
    for (const TotalsItem& item : totals.items) {
        const std::optional<CodeRow> row = item.code ? lookup.find(*item.code) : std::nullopt;
        if (!row) {
            plan.unknownCodes << item.codeText;
            continue;
        }
        plan.anyKnown = true;
        plan.document.firma = row->firma;  // the enterprise of the last known dish
        plan.document.lines.append({row->kodIng, row->kodOtdel, item.price, item.quantity, row->cena});
    }
    return plan;
}

// ---- TorgService ----

namespace {

// The text a field shows: numbers in the program's form, dates dd.mm.yyyy.
QString fieldText(const dbf::FieldDef& f, const QByteArray& raw)
{
    if (f.type == 'N' || f.type == 'F') {
        bool ok = true;
        const auto v = dbf::NumberOf(raw, &ok);
        if (!ok || !v)
            return dbf::TextOf(raw).trimmed();
        return db::formatFloat(*v);
    }
    if (f.type == 'D') {
        const QDate d = dbf::DateOf(raw);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    return dbf::TextOf(raw);
}

// The code without its leading zeros; nullopt when it is not a whole number.
std::optional<qint64> tillCode(const QString& code)
{
    QString t = code;
    while (t.startsWith(QLatin1Char('0')))
        t.remove(0, 1);
    static const QRegularExpression digits(QStringLiteral("^\\d+$"));
    if (!digits.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

} // namespace

TorgPlan PlanTorgServiceTotals(const Context& ctx, const QByteArray& fileBytes, CodeKind kind)
{
    TorgPlan plan;  // Damaged until read
    const std::optional<dbf::Table> table = dbf::Read(fileBytes);
    if (!table)
        return plan;
    const int fCode = table->fieldIndex("CODE"), fSection = table->fieldIndex("SECTION"), fKassa = table->fieldIndex("KASSA"),
              fKassir = table->fieldIndex("KASSIR"), fDate = table->fieldIndex("DATEO"), fKol = table->fieldIndex("KOL"),
              fPrice = table->fieldIndex("PRICE");
    if (fCode < 0 || fSection < 0 || fKassa < 0 || fKassir < 0 || fDate < 0 || fKol < 0 || fPrice < 0)
        return plan;

    struct Sold {
        QString code;
        double kol;
        double price;
        const QVector<QByteArray>* record;
        int number;  // in the file, deleted records counted
    };
    QVector<Sold> sold;  // the records with a quantity, in file order
    for (int r = 0; r < table->records.size(); ++r) {
        const QVector<QByteArray>& rec = table->records[r];
        bool ok = true;
        const auto kol = dbf::NumberOf(rec[fKol], &ok);
        if (!ok)
            return plan;
        const auto price = dbf::NumberOf(rec[fPrice], &ok);
        if (!ok)
            return plan;
        if (!kol || *kol == 0)
            continue;
        const QString where = QStringLiteral("Запись %1").arg(table->numbers[r]);
        QString refusal = outOfRange(*kol, kMaxTotalsQuantity, where, QStringLiteral("количество KOL"),
                                     QString::fromLatin1(rec[fKol]));
        if (refusal.isEmpty() && price)
            refusal = outOfRange(*price, kMaxTotalsPrice, where, QStringLiteral("цена PRICE"),
                                 QString::fromLatin1(rec[fPrice]));
        if (!refusal.isEmpty()) {
            plan.status = TorgStatus::OutOfRange;
            plan.refusal = refusal;
            return plan;
        }
        sold.append({dbf::TextOf(rec[fCode]).trimmed(), *kol, price.value_or(0), &rec, table->numbers[r]});
    }

    const auto first = std::find_if(sold.cbegin(), sold.cend(), [](const Sold& s) { return !s.code.isEmpty(); });
    if (first == sold.cend()) {
        plan.status = TorgStatus::NoCodes;
        return plan;
    }
    const QVector<QByteArray>& head = *first->record;
    SalesDocument doc;
    doc.date = dbf::DateOf(head[fDate]);
    doc.name = fieldText(table->fields[fSection], head[fSection]) + QLatin1Char(' ') +
               fieldText(table->fields[fKassa], head[fKassa]) + QLatin1Char(' ') +
               fieldText(table->fields[fKassir], head[fKassir]);
    if (!doc.date.isValid() || doc.name.size() > kMaxDocumentName)
        return plan;
    if (const QString refusal = dateRefusal(doc.date, QStringLiteral("Запись %1").arg(first->number),
                                            QStringLiteral("дата DATEO"));
        !refusal.isEmpty()) {
        plan.status = TorgStatus::OutOfRange;
        plan.refusal = refusal;
        return plan;
    }

    CodeLookup lookup(ctx, kind);
    auto find = [&lookup](const QString& code) -> std::optional<CodeRow> {
        const auto c = tillCode(code);
        return c ? lookup.find(*c) : std::nullopt;
    };
    const auto firma = find(first->code);
    if (!firma) {
        plan.status = TorgStatus::UnknownCode;
        return plan;
    }
    doc.firma = firma->firma;

    // Later records come first; equal dish, department and price make one line.
    QVector<QString> dishes;  // the name of each line's dish
    for (auto it = sold.crbegin(); it != sold.crend(); ++it) {
        if (it->code.size() <= 5)
            continue;
        const auto row = find(it->code);
        if (!row) {
            plan.status = TorgStatus::UnknownCode;
            return plan;
        }
        auto same = std::find_if(doc.lines.begin(), doc.lines.end(), [&](const SalesLine& l) {
            return l.kodIng == row->kodIng && l.kodOtdel == row->kodOtdel && l.cena == it->price;
        });
        if (same != doc.lines.end()) {
            same->kolvo += it->kol;
        } else {
            doc.lines.append({row->kodIng, row->kodOtdel, it->price, it->kol, row->cena});
            dishes.append(row->name);
        }
    }
    for (int i = 0; i < doc.lines.size(); ++i) {
        const SalesLine& l = doc.lines[i];
        const QString refusal = outOfRange(
            l.kolvo, kMaxTotalsQuantity,
            QStringLiteral("Блюдо \"%1\" по цене %2").arg(dishes[i], db::formatFloat(l.cena)),
            QStringLiteral("общее количество KOL"), db::formatFloat(l.kolvo));
        if (!refusal.isEmpty()) {
            plan.status = TorgStatus::OutOfRange;
            plan.refusal = refusal;
            return plan;
        }
    }
    plan.status = TorgStatus::Ok;
    plan.document = doc;
    return plan;
}

// ---- writing ----

qint64 WriteSalesDocument(const Context& ctx, const SalesDocument& doc)
{
    R_Record d(QStringLiteral("DOCS"));
    d.addString(QStringLiteral("NAME"), doc.name)
        .addDate(QStringLiteral("DATE_DOC"), doc.date)
        .addInt(QStringLiteral("DOC_TYPE"), 3)
        .addInt(QStringLiteral("KOD_PARTNER_EXPORT"), doc.firma)
        .addInt(QStringLiteral("KOD_PARTNER_IMPORT"), doc.firma)
        .addInt(QStringLiteral("INT_PARAM2"), 0)
        .addTime(QStringLiteral("TIME_DOC"), QTime(0, 0));
    const qint64 kod = engine::InsertRecord(ctx, d);
    for (const SalesLine& l : doc.lines) {
        R_Record r(QStringLiteral("REAL_BLUDO"));
        r.addInt(QStringLiteral("KOD_DOC"), kod)
            .addInt(QStringLiteral("KOD_OTDEL"), l.kodOtdel)
            .addInt(QStringLiteral("KOD_ING"), l.kodIng)
            .addFloat(QStringLiteral("CENA"), l.cena)
            .addFloat(QStringLiteral("KOLVO"), l.kolvo);
        if (l.cenaSklad)
            r.addFloat(QStringLiteral("CENA_SKLAD"), *l.cenaSklad);
        engine::InsertRecord(ctx, r);
    }
    return kod;
}

} // namespace exchange
