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

QStringList whereLines(const TurnoverOptions& o)
{
    QStringList l;
    l << QStringLiteral(" WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE");
    if (!o.allIng)
        l << (o.ingIsGroup ? QStringLiteral("AND ING.KOD_GROUP = ") : QStringLiteral("AND ING.KOD = ")) + Key(o.ing);
    if (!o.allFirma)
        l << QStringLiteral("AND exp.KOD = ") + Key(o.firma);
    // "+ 0": the department's index would be looked through once per document.
    if (!o.allOtdel)
        l << QStringLiteral("AND MOVES.KOD_OTDEL + 0 = ") + Key(o.otdel);
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
      << QStringLiteral("   SUM(MOVES.KOLVO) AS KOLVO,") << QStringLiteral("   SUM(MOVES.SUMMA) AS SUMMA,")
      << QStringLiteral("   MOVES.CENA,") << QStringLiteral("   OTDEL.NAME AS NAME_O,")
      << QStringLiteral("   ING.KOD_GROUP,") << QStringLiteral("   ING.NAME AS NAME_ING,")
      << QStringLiteral("   GROUP_ING.NAME AS NAME_G,") << QStringLiteral("   ED_IZM.SHORT_NAME");
    l << fromLines() << whereLines(o);
    l << QStringLiteral(" GROUP BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 8, 5, 2, 1")
      << QStringLiteral(" ORDER BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 8, 5, 2, 1");
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
    l << QStringLiteral("SELECT DOCS.KOD_PARTNER_EXPORT AS F_FROM_KOD, MOVES.KOD_OTDEL, MOVES.KOD_ING, MOVES.CENA,")
      << QStringLiteral("   ") + LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
             QStringLiteral(" AS TYPE_MOVES, MOVES.KOLVO")
      << QStringLiteral(" FROM DOCS") << QStringLiteral(" JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD");
    if (!o.allFirma)
        l << QStringLiteral(" LEFT OUTER JOIN FIRMA exp ON DOCS.KOD_PARTNER_EXPORT = exp.KOD");
    if (o.selectedPartners)
        l << QStringLiteral(" LEFT OUTER JOIN FIRMA imp ON DOCS.KOD_PARTNER_IMPORT = imp.KOD");
    if (!o.allIng)
        l << QStringLiteral(" LEFT OUTER JOIN ING ON ING.KOD = MOVES.KOD_ING");
    l << whereLines(o) << QStringLiteral(" AND MOVES.KOD_ING IS NOT NULL");
    return l;
}

QStringList TurnoverBalanceLines(const TurnoverOptions& o)
{
    // One pass over the posted lines from the period's first day on, by the
    // lines' own department (a sale's or a production's document names none):
    // each line's product and department, whether it lies after the period
    // (1) or within it (0), its direction and quantity; the reader sums them
    // (a sort on the server costs several times the reading). The pass drives
    // from the documents dated from the period on ("DOCS.KOD + 0" keeps the
    // server from reading every line ever written and looking up its
    // document), and the department is tested on the lines found ("+ 0"
    // again).
    QStringList l;
    l << QStringLiteral("SELECT MOVES.KOD_ING, MOVES.KOD_OTDEL, IIF(DOCS.DATE_DOC > :DE, 1, 0) AS LATER,")
      << QStringLiteral("   ") + LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
             QStringLiteral(" AS TYPE_MOVES, MOVES.KOLVO")
      << QStringLiteral(" FROM DOCS JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD + 0")
      << QStringLiteral(" WHERE DOCS.DATE_DOC >= :DS AND DOCS.PROVODKA > 10");
    if (!o.allOtdel)
        l << QStringLiteral(" AND MOVES.KOD_OTDEL + 0 = ") + Key(o.otdel);
    return l;
}

namespace {

QString keyText(const QVariant& v) { return v.isNull() ? QString() : QString::number(v.toLongLong()); }

QVector<TurnoverRow> readOperations(db::Query& q)
{
    QVector<TurnoverRow> rows;
    rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r) {
        if (q.rawAt(r, 5).isNull())
            continue;  // a document without movement lines
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
        t.kolvo = q.rawAt(r, 8).toDouble();
        t.cena = q.rawAt(r, 10).toDouble();
        t.kopecks = engine::LineKopecks(t.kolvo, t.cena);
        t.nameOtdel = q.valueAt(r, 11).toString();
        t.groupKod = keyText(q.rawAt(r, 12));
        t.nameIng = q.valueAt(r, 13).toString();
        t.nameGroup = q.valueAt(r, 14).toString();
        t.shortName = q.valueAt(r, 15).toString();
        rows.push_back(t);
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

// The statement by products' sums per (exporting enterprise, department,
// product, price, direction), named and in the statement's order: by
// enterprise, department, group, product, price and direction, nulls first.
QVector<TurnoverRow> readProducts(const engine::Context& ctx, const TurnoverOptions& o)
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
        double kolvo = 0;
        qint64 kopecks = 0;
    };
    std::unordered_map<Key, size_t, KeyHash> index;
    std::vector<Sum> sums;

    auto q = engine::Reader(ctx);
    q->setSql(TurnoverProductLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->stream([&](const db::RowView& r) {
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
        // Each line's amount as its document's waybill prints it, then
        // added up: the statement's sums agree with the documents'.
        Sum& sum = sums[at->second];
        sum.kolvo += r.asDouble(5);
        sum.kopecks += engine::LineKopecks(r.asDouble(5), k.cena);
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
        t.kolvo = s.kolvo;
        t.cena = s.key.cena;
        t.kopecks = s.kopecks;
        t.nameOtdel = s.key.otdel.null ? QString() : otdels.value(s.key.otdel.value);
        t.groupKod = s.product->groupKod;
        t.nameIng = s.product->name;
        t.nameGroup = s.product->groupName;
        t.shortName = s.product->unit;
        rows.push_back(t);
    }
    return rows;
}

struct Balance {
    double actual = 0, in = 0, out = 0, add = 0, del = 0;
};

// The stock now and the posted lines from the period on, per product and
// department.
QHash<QPair<qint64, qint64>, Balance> readBalances(const engine::Context& ctx, const TurnoverOptions& o)
{
    QHash<QPair<qint64, qint64>, Balance> balances;
    auto q = engine::Reader(ctx);
    // A product may have a row in several warehouses of a department.
    q->setSql(QStringLiteral("SELECT KOD_ING, KOD_OTDEL, KOLVO FROM ING_SKLAD") +
              (o.allOtdel ? QString() : QStringLiteral(" WHERE KOD_OTDEL = ") + Key(o.otdel)));
    q->stream([&balances](const db::RowView& r) {
        balances[{r.asInt64(0), r.asInt64(1)}].actual += r.asDouble(2);
    });
    q->setSql(TurnoverBalanceLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->stream([&balances](const db::RowView& r) {
        Balance& b = balances[{r.asInt64(0), r.asInt64(1)}];
        const bool later = r.asInt(2) == 1;
        const int direction = r.asInt(3);
        const double kolvo = r.asDouble(4);
        if (direction == 1)
            (later ? b.add : b.in) += kolvo;
        else if (direction == 2)
            (later ? b.del : b.out) += kolvo;
    });
    return balances;
}

} // namespace

QVector<TurnoverRow> ReadTurnoverRows(const engine::Context& ctx, const TurnoverOptions& o)
{
    QVector<TurnoverRow> rows;
    if (o.shortForm) {
        rows = readProducts(ctx, o);
    } else {
        auto q = engine::Reader(ctx);
        q->setSql(TurnoverStatementLines(o));
        q->param(QStringLiteral("DS")).setDate(o.start);
        q->param(QStringLiteral("DE")).setDate(o.end);
        q->open();
        rows = readOperations(*q);
        q->close();
    }
    if (o.shortForm && o.balances && !rows.isEmpty()) {
        const auto balances = readBalances(ctx, o);
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
    return o.start.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" / ") +
           o.end.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace reports
