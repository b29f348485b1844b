#include "Turnover.h"

#include "engine/Kopecks.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "Figures.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace reports {

std::optional<TurnoverRefusal> CheckTurnoverOptions(const TurnoverOptions& o)
{
    if (!o.allFirma && o.firma == 0)
        return TurnoverRefusal{QStringLiteral("Не выбрано предприятие !"), TurnoverFocus::Firma};
    if (!o.allFirma && !o.allOtdel && o.otdel == 0)
        return TurnoverRefusal{QStringLiteral("Не выбрано подразделение(отдел) !"), TurnoverFocus::Otdel};
    if (!o.allIng && o.ing == 0)
        return TurnoverRefusal{QStringLiteral("Не выбрана детализация выборки по продуктам !"), TurnoverFocus::Ing};
    if (o.end < o.start)
        return TurnoverRefusal{QStringLiteral("Дата начала периода не может быть больше дата конца периода !"),
                               TurnoverFocus::DateStart};
    if (o.selectedPartners && o.partners.isEmpty())
        return TurnoverRefusal{QStringLiteral("Выбрана опция обработки документов выбранных партнёров, однако ни "
                                              "один партнёр не выбран !"),
                               TurnoverFocus::Partners};
    return std::nullopt;
}

QString PartnerCondition(qint64 partner, bool exclude)
{
    return (exclude ? QStringLiteral(" imp.KOD <> ") : QStringLiteral(" imp.KOD = ")) + Key(partner);
}

namespace {

QString departmentLine(const TurnoverOptions& o) { return QStringLiteral("AND MOVES.KOD_OTDEL + 0 = ") + Key(o.otdel); }

// The document joins of the statement by operations, its lines named MOVES.
QStringList fromLines()
{
    return {QStringLiteral(" FROM DOCS"),
            QStringLiteral(" LEFT OUTER JOIN FIRMA exp  ON DOCS.KOD_PARTNER_EXPORT = exp.KOD"),
            QStringLiteral(" LEFT OUTER JOIN FIRMA imp  ON DOCS.KOD_PARTNER_IMPORT = imp.KOD"),
            QStringLiteral(" LEFT OUTER JOIN MOVES      ON MOVES.KOD_DOC = DOCS.KOD"),
            QStringLiteral(" LEFT OUTER JOIN OTDEL      ON OTDEL.KOD = MOVES.KOD_OTDEL"),
            QStringLiteral(" LEFT OUTER JOIN ING        ON ING.KOD = MOVES.KOD_ING"),
            QStringLiteral(" LEFT OUTER JOIN GROUP_ING  ON GROUP_ING.KOD = ING.KOD_GROUP"),
            QStringLiteral(" LEFT OUTER JOIN ED_IZM     ON ED_IZM.KOD = ING.ED_IZM")};
}

// The statement's filters after its period, each line beginning "AND";
// the department's with `department`.
QStringList filterLines(const TurnoverOptions& o, bool department)
{
    QStringList l;
    if (!o.allIng)
        l << (o.ingIsGroup ? QStringLiteral("AND ING.KOD_GROUP = ") : QStringLiteral("AND ING.KOD = ")) + Key(o.ing);
    if (!o.allFirma)
        l << QStringLiteral("AND exp.KOD = ") + Key(o.firma);
    // "+ 0": the department's index would be looked through once per document.
    if (department && !o.allOtdel)
        l << departmentLine(o);
    if (o.provodka == 0)
        l << QStringLiteral("AND DOCS.PROVODKA > 10");
    else if (o.provodka == 1)
        l << QStringLiteral("AND DOCS.PROVODKA < 10");
    if (o.docType == 8)
        l << QStringLiteral("AND ((DOCS.DOC_TYPE = 5) or (DOCS.DOC_TYPE = 6) or (DOCS.DOC_TYPE = 7))");
    else if (o.docType >= 1 && o.docType <= 7)
        l << QStringLiteral("AND DOCS.DOC_TYPE = ") + QString::number(o.docType);
    if (o.selectedPartners) {
        l << QStringLiteral("AND ");
        if (!o.excludePartners)
            l << QStringLiteral("(");
        for (int i = 0; i < o.partners.size(); ++i) {
            const QString c = PartnerCondition(o.partners[i], o.excludePartners);
            if (i == 0)
                l << c;
            else
                l << (o.excludePartners ? QStringLiteral("AND ") : QStringLiteral("OR ")) + c;
        }
        if (!o.excludePartners)
            l << QStringLiteral(")");
    }
    return l;
}

QStringList whereLines(const TurnoverOptions& o)
{
    return QStringList{QStringLiteral(" WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE")} + filterLines(o, true);
}

// The joins the statement by products' filters ask for.
QStringList productFilterJoins(const TurnoverOptions& o)
{
    QStringList l;
    if (!o.allFirma)
        l << QStringLiteral(" LEFT OUTER JOIN FIRMA exp ON DOCS.KOD_PARTNER_EXPORT = exp.KOD");
    if (o.selectedPartners)
        l << QStringLiteral(" LEFT OUTER JOIN FIRMA imp ON DOCS.KOD_PARTNER_IMPORT = imp.KOD");
    if (!o.allIng)
        l << QStringLiteral(" LEFT OUTER JOIN ING ON ING.KOD = MOVES.KOD_ING");
    return l;
}

QString productColumns()
{
    return QStringLiteral("SELECT DOCS.KOD_PARTNER_EXPORT AS F_FROM_KOD, MOVES.KOD_OTDEL, MOVES.KOD_ING, MOVES.CENA,\n   ") +
           LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) + QStringLiteral(" AS TYPE_MOVES, MOVES.KOLVO");
}

} // namespace

QStringList TurnoverStatementLines(const TurnoverOptions& o)
{
    QStringList l;
    l << QStringLiteral("SELECT DOCS.DATE_DOC,") << QStringLiteral("   DOCS.NAME AS NAME_D,")
      << QStringLiteral("   exp.NAME AS F_From,") << QStringLiteral("   exp.KOD AS F_From_Kod,")
      << QStringLiteral("   imp.NAME AS F_To,") << QStringLiteral("   MOVES.KOD_ING,")
      << QStringLiteral("   MOVES.KOD_OTDEL,")
      << QStringLiteral("   ") + LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
             QStringLiteral(" AS TYPE_MOVES,")
      << QStringLiteral("   MOVES.KOLVO,") << QStringLiteral("   MOVES.SUMMA,")
      << QStringLiteral("   MOVES.CENA,") << QStringLiteral("   OTDEL.NAME AS NAME_O,")
      << QStringLiteral("   ING.KOD_GROUP,") << QStringLiteral("   ING.NAME AS NAME_ING,")
      << QStringLiteral("   GROUP_ING.NAME AS NAME_G,") << QStringLiteral("   ED_IZM.SHORT_NAME");
    // Not grouped on the server: a row's quantities are summed by the reader
    // in decimal, never on the binary residue of a sum of doubles.
    l << fromLines() << whereLines(o);
    // The rows of one product at one price in date order, whatever their
    // direction, counterparty and document.
    l << QStringLiteral(" ORDER BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 1, 8, 5, 2");
    return l;
}

QStringList TurnoverProductLines(const TurnoverOptions& o)
{
    // The statement's lines with their keys (the document's exporter,
    // department, product, price, direction) and their quantity. The reader
    // sums them by their keys, names the sums and orders them itself:
    // grouping and sorting tens of thousands of lines, or looking up each
    // line's product, costs the server several times what reading the lines
    // does. Only the joins a filter asks for come in.
    QStringList l;
    l << productColumns() << QStringLiteral(" FROM DOCS") << QStringLiteral(" JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD");
    l << productFilterJoins(o) << whereLines(o) << QStringLiteral(" AND MOVES.KOD_ING IS NOT NULL");
    return l;
}

QStringList TurnoverProductBalanceLines(const TurnoverOptions& o)
{
    // One pass over the lines from the period's first day on, by the lines'
    // own department (a sale's or a production's document names none). It
    // drives from the documents dated from the period on ("DOCS.KOD + 0"
    // keeps the server from reading every line ever written and looking up
    // its document), and the department is tested on the lines found ("+ 0"
    // again). The statement's other filters only mark the lines it lists.
    QStringList l;
    l << productColumns() + QLatin1Char(',')
      << QStringLiteral("   IIF(DOCS.DATE_DOC > :DE, 1, 0) AS LATER, IIF(DOCS.PROVODKA > 10, 1, 0) AS POSTED,")
      << QStringLiteral("   IIF(DOCS.DATE_DOC <= :DE") << filterLines(o, false) << QStringLiteral(", 1, 0) AS LISTED")
      << QStringLiteral(" FROM DOCS JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD + 0") << productFilterJoins(o)
      << QStringLiteral(" WHERE DOCS.DATE_DOC >= :DS AND MOVES.KOD_ING IS NOT NULL");
    if (!o.allOtdel)
        l << departmentLine(o);
    return l;
}

namespace {

QString keyText(const QVariant& v) { return v.isNull() ? QString() : QString::number(v.toLongLong()); }

// The statement by operations' rows: its lines, those of one row together,
// each row's quantities summed in decimal and its amount the sum of its
// lines' amounts, each rounded once as its waybill prints it.
QVector<TurnoverRow> readOperations(db::Query& q)
{
    // The columns that make a row (all but the quantity and the amount).
    static const int keys[] = {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15};
    QVector<TurnoverRow> rows;
    rows.reserve(q.recordCount());
    int first = -1;  // the first line of the last row
    for (int r = 0; r < q.recordCount(); ++r) {
        if (q.rawAt(r, 5).isNull())
            continue;  // a document without movement lines
        const bool same = first >= 0 && std::all_of(std::begin(keys), std::end(keys), [&](int c) {
            return q.rawAt(r, c) == q.rawAt(first, c);
        });
        if (!same) {
            first = r;
            TurnoverRow t;
            t.dateDoc = q.valueAt(r, 0).toDate();
            t.nameDoc = q.valueAt(r, 1).toString();
            t.firmaFrom = q.valueAt(r, 2).toString();
            t.firmaFromKod = keyText(q.rawAt(r, 3));
            t.firmaTo = q.valueAt(r, 4).toString();
            t.ing = q.rawAt(r, 5).toLongLong();
            t.otdel = q.rawAt(r, 6).toLongLong();
            t.otdelKod = keyText(q.rawAt(r, 6));
            t.typeMoves = q.rawAt(r, 7).toInt();
            t.cena = q.rawAt(r, 10).toDouble();
            t.nameOtdel = q.valueAt(r, 11).toString();
            t.groupKod = keyText(q.rawAt(r, 12));
            t.nameIng = q.valueAt(r, 13).toString();
            t.nameGroup = q.valueAt(r, 14).toString();
            t.shortName = q.valueAt(r, 15).toString();
            rows.push_back(t);
        }
        TurnoverRow& t = rows.back();
        t.sum.add(q.rawAt(r, 8).toDouble(), {t.cena});
    }
    return rows;
}

// KOD -> name of a small table, read whole.
QHash<qint64, QString> namesOf(const engine::Context& ctx, const char* sql)
{
    QHash<qint64, QString> names;
    auto q = engine::Reader(ctx, QLatin1String(sql));
    q->stream([&names](const db::RowView& r) { names.insert(r.asInt64(0), r.asString(1)); });
    return names;
}

// A key that may be null, ordered as the server orders it (nulls first).
struct NullableKey {
    bool null = true;
    qint64 value = 0;
    bool operator<(const NullableKey& o) const { return null != o.null ? null : !null && value < o.value; }
    bool operator==(const NullableKey& o) const { return null == o.null && (null || value == o.value); }
};

NullableKey keyOf(const db::RowView& r, int column)
{
    return r.isNull(column) ? NullableKey{} : NullableKey{false, r.asInt64(column)};
}

QString keyText(const NullableKey& k) { return k.null ? QString() : QString::number(k.value); }

struct Balance {
    engine::DecimalSum actual, in, out, add, del;
};
using Balances = QHash<QPair<qint64, qint64>, Balance>;

// The statement by products' sums per (exporting enterprise, department,
// product, price, direction), named and in the statement's order: by
// enterprise, department, group, product, price and direction, nulls first.
// With `balances`, the same pass sums the posted lines from the period's
// first day on per product and department, within the period and after it.
QVector<TurnoverRow> readProducts(const engine::Context& ctx, const TurnoverOptions& o, Balances* balances)
{
    const auto firms = namesOf(ctx, "SELECT KOD, NAME FROM FIRMA");
    const auto otdels = namesOf(ctx, "SELECT KOD, NAME FROM OTDEL");
    const auto groups = namesOf(ctx, "SELECT KOD, NAME FROM GROUP_ING");
    const auto units = namesOf(ctx, "SELECT KOD, SHORT_NAME FROM ED_IZM");

    struct Key {
        NullableKey firma, otdel;
        qint64 ing = 0;
        bool cenaNull = true, typeNull = true;
        double cena = 0;
        int type = 0;
        bool operator==(const Key& k) const
        {
            return firma == k.firma && otdel == k.otdel && ing == k.ing && cenaNull == k.cenaNull &&
                   typeNull == k.typeNull && (cenaNull || cena == k.cena) && (typeNull || type == k.type);
        }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            return qHashMulti(0, k.firma.null, k.firma.value, k.otdel.null, k.otdel.value, k.ing, k.cenaNull,
                              k.cena, k.typeNull, k.type);
        }
    };
    struct Product {
        NullableKey group;
        QString groupKod, name, groupName, unit;
    };
    struct Sum {
        Key key;
        NullableKey firma, group;  // as ordered and printed: a gone enterprise is none
        const Product* product = nullptr;
        engine::SummedRow sum;
    };
    std::unordered_map<Key, size_t, KeyHash> index;
    std::vector<Sum> sums;

    auto q = engine::Reader(ctx);
    q->setSql(balances ? TurnoverProductBalanceLines(o) : TurnoverProductLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->stream([&](const db::RowView& r) {
        const double kolvo = r.asDouble(5);
        if (balances && r.asInt(7) == 1) {
            Balance& b = (*balances)[{r.asInt64(2), r.asInt64(1)}];
            const bool later = r.asInt(6) == 1;
            const int direction = r.asInt(4);
            if (direction == 1)
                (later ? b.add : b.in).add(kolvo);
            else if (direction == 2)
                (later ? b.del : b.out).add(kolvo);
        }
        if (balances && r.asInt(8) != 1)
            return;  // not a line of the statement
        Key k;
        k.firma = keyOf(r, 0);
        k.otdel = keyOf(r, 1);
        k.ing = r.asInt64(2);
        k.cenaNull = r.isNull(3);
        k.cena = r.asDouble(3) + 0.0;  // -0 is 0; null reads 0
        k.typeNull = r.isNull(4);
        k.type = r.asInt(4);
        auto [at, added] = index.try_emplace(k, sums.size());
        if (added) {
            Sum s;
            s.key = k;
            s.firma = k.firma.null || firms.contains(k.firma.value) ? k.firma : NullableKey{};
            sums.push_back(s);
        }
        sums[at->second].sum.add(kolvo, {k.cena});
    });

    // The products named, each once (a product that is gone has no name,
    // group or unit), a hundred keys a statement: a long list of values costs
    // the server a comparison with each for every row it finds.
    constexpr int kChunk = 100;
    std::unordered_map<qint64, Product> products;
    for (const Sum& s : sums)
        products.try_emplace(s.key.ing);
    QStringList in;
    for (int i = 0; i < kChunk; ++i)
        in << QStringLiteral(":K%1").arg(i);
    auto names = engine::Reader(ctx, QStringLiteral("SELECT KOD, KOD_GROUP, NAME, ED_IZM FROM ING WHERE KOD IN (") +
                                         in.join(QLatin1Char(',')) + QLatin1Char(')'));
    auto p = products.cbegin();
    while (p != products.cend()) {
        const qint64 first = p->first;
        for (int i = 0; i < kChunk; ++i) {
            names->param(in[i].mid(1)).setInt64(p != products.cend() ? p->first : first);
            if (p != products.cend())
                ++p;
        }
        names->stream([&](const db::RowView& r) {
            Product& n = products[r.asInt64(0)];
            n.group = keyOf(r, 1);
            n.groupKod = keyText(n.group);
            n.name = r.asString(2);
            n.groupName = n.group.null ? QString() : groups.value(n.group.value);
            if (!r.isNull(3))
                n.unit = units.value(r.asInt64(3));
        });
    }
    for (Sum& s : sums) {
        s.product = &products[s.key.ing];
        s.group = s.product->group;
    }

    auto nullsFirst = [](bool aNull, bool bNull) { return aNull != bNull ? aNull : false; };
    std::stable_sort(sums.begin(), sums.end(), [&](const Sum& a, const Sum& b) {
        if (!(a.firma == b.firma))
            return a.firma < b.firma;
        if (!(a.key.otdel == b.key.otdel))
            return a.key.otdel < b.key.otdel;
        if (!(a.group == b.group))
            return a.group < b.group;
        if (a.key.ing != b.key.ing)
            return a.key.ing < b.key.ing;
        if (a.key.cenaNull != b.key.cenaNull)
            return nullsFirst(a.key.cenaNull, b.key.cenaNull);
        if (!a.key.cenaNull && a.key.cena != b.key.cena)
            return a.key.cena < b.key.cena;
        if (a.key.typeNull != b.key.typeNull)
            return nullsFirst(a.key.typeNull, b.key.typeNull);
        return !a.key.typeNull && a.key.type < b.key.type;
    });
    QVector<TurnoverRow> rows;
    rows.reserve(static_cast<int>(sums.size()));
    for (const Sum& s : sums) {
        TurnoverRow t;
        t.firmaFrom = s.firma.null ? QString() : firms.value(s.firma.value);
        t.firmaFromKod = keyText(s.firma);
        t.ing = s.key.ing;
        t.otdel = s.key.otdel.value;
        t.otdelKod = keyText(s.key.otdel);
        t.typeMoves = s.key.type;
        t.cena = s.key.cena;
        t.sum = s.sum;
        t.nameOtdel = s.key.otdel.null ? QString() : otdels.value(s.key.otdel.value);
        t.groupKod = s.product->groupKod;
        t.nameIng = s.product->name;
        t.nameGroup = s.product->groupName;
        t.shortName = s.product->unit;
        rows.push_back(t);
    }
    return rows;
}

// The stock now per product and department.
void readStock(const engine::Context& ctx, const TurnoverOptions& o, Balances& balances)
{
    auto q = engine::Reader(ctx);
    // A product may have a row in several warehouses of a department.
    q->setSql(QStringLiteral("SELECT KOD_ING, KOD_OTDEL, KOLVO FROM ING_SKLAD") +
              (o.allOtdel ? QString() : QStringLiteral(" WHERE KOD_OTDEL = ") + Key(o.otdel)));
    q->stream([&balances](const db::RowView& r) { balances[{r.asInt64(0), r.asInt64(1)}].actual.add(r.asDouble(2)); });
}

} // namespace

QVector<TurnoverRow> ReadTurnoverRows(const engine::Context& ctx, const TurnoverOptions& o)
{
    if (!o.shortForm) {
        auto q = engine::Reader(ctx);
        q->setSql(TurnoverStatementLines(o));
        q->param(QStringLiteral("DS")).setDate(o.start);
        q->param(QStringLiteral("DE")).setDate(o.end);
        q->open();
        return readOperations(*q);
    }
    Balances balances;
    QVector<TurnoverRow> rows = readProducts(ctx, o, o.balances ? &balances : nullptr);
    if (o.balances && !rows.isEmpty()) {
        readStock(ctx, o, balances);
        for (TurnoverRow& t : rows) {
            const Balance b = balances.value({t.ing, t.otdel});
            t.actualKolvo = b.actual;
            t.postedIn = b.in;
            t.postedOut = b.out;
            t.addKolvo = b.add;
            t.delKolvo = b.del;
        }
    }
    return rows;
}

QString TurnoverTitle(const TurnoverOptions& o)
{
    QStringList parts{o.start.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" / ") +
                      o.end.toString(QStringLiteral("dd.MM.yyyy"))};
    if (!o.allIng && !o.ingCaption.isEmpty())
        parts << o.ingCaption;
    if (o.selectedPartners) {
        QStringList names;  // a counterparty chosen twice is named once
        for (const QString& n : o.partnerNames)
            if (!names.contains(n))
                names << n;
        parts << (o.excludePartners ? QStringLiteral("Кроме контрагентов: ") : QStringLiteral("Контрагенты: ")) +
                     names.join(QStringLiteral(", "));
    }
    return parts.join(QStringLiteral("; "));
}

} // namespace reports
