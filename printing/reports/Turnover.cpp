#include "Turnover.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "Figures.h"

#include <QHash>

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
    if (!o.allOtdel)
        l << QStringLiteral("AND MOVES.KOD_OTDEL = ") + Key(o.otdel);
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
    // The lines are summed by their keys alone (the document's exporter,
    // department, product, price, direction); the names are joined to the
    // few sums afterwards. Only the joins a filter asks for come inside.
    QStringList inner;
    inner << QStringLiteral(" FROM (SELECT DOCS.KOD_PARTNER_EXPORT AS F_FROM_KOD, MOVES.KOD_OTDEL, MOVES.KOD_ING,")
          << QStringLiteral("   MOVES.CENA, ") + LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
                 QStringLiteral(" AS TYPE_MOVES, SUM(MOVES.KOLVO) AS KOLVO")
          << QStringLiteral("  FROM DOCS") << QStringLiteral("  JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD");
    if (!o.allFirma)
        inner << QStringLiteral("  LEFT OUTER JOIN FIRMA exp ON DOCS.KOD_PARTNER_EXPORT = exp.KOD");
    if (o.selectedPartners)
        inner << QStringLiteral("  LEFT OUTER JOIN FIRMA imp ON DOCS.KOD_PARTNER_IMPORT = imp.KOD");
    if (!o.allIng)
        inner << QStringLiteral("  LEFT OUTER JOIN ING ON ING.KOD = MOVES.KOD_ING");
    inner << whereLines(o) << QStringLiteral("  AND MOVES.KOD_ING IS NOT NULL")
          << QStringLiteral("  GROUP BY 1, 2, 3, 4, 5) G");
    QStringList l;
    l << QStringLiteral("SELECT exp.NAME AS F_FROM, exp.KOD AS F_FROM_KOD, G.KOD_ING, G.KOD_OTDEL, G.TYPE_MOVES,")
      << QStringLiteral("   G.KOLVO, G.CENA, OTDEL.NAME AS NAME_O, ING.KOD_GROUP, ING.NAME AS NAME_ING,")
      << QStringLiteral("   GROUP_ING.NAME AS NAME_G, ED_IZM.SHORT_NAME")
      << inner
      << QStringLiteral(" LEFT OUTER JOIN FIRMA exp  ON exp.KOD = G.F_FROM_KOD")
      << QStringLiteral(" LEFT OUTER JOIN OTDEL      ON OTDEL.KOD = G.KOD_OTDEL")
      << QStringLiteral(" LEFT OUTER JOIN ING        ON ING.KOD = G.KOD_ING")
      << QStringLiteral(" LEFT OUTER JOIN GROUP_ING  ON GROUP_ING.KOD = ING.KOD_GROUP")
      << QStringLiteral(" LEFT OUTER JOIN ED_IZM     ON ED_IZM.KOD = ING.ED_IZM")
      << QStringLiteral(" ORDER BY exp.KOD, G.KOD_OTDEL, ING.KOD_GROUP, G.KOD_ING, G.CENA, G.TYPE_MOVES");
    return l;
}

QStringList TurnoverBalanceLines(const TurnoverOptions& o)
{
    // One pass over the posted lines from the period's first day on, by the
    // lines' own department (a sale's or a production's document names none):
    // per product and department, whether after the period (1) or within it
    // (0), and direction, the quantity.
    QStringList l;
    l << QStringLiteral("SELECT MOVES.KOD_ING, MOVES.KOD_OTDEL, IIF(DOCS.DATE_DOC > :DE, 1, 0) AS LATER,")
      << QStringLiteral("   ") + LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
             QStringLiteral(" AS TYPE_MOVES, SUM(MOVES.KOLVO) AS KOLVO")
      << QStringLiteral(" FROM DOCS JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD")
      << QStringLiteral(" WHERE DOCS.DATE_DOC >= :DS AND DOCS.PROVODKA > 10");
    if (!o.allOtdel)
        l << QStringLiteral(" AND MOVES.KOD_OTDEL = ") + Key(o.otdel);
    l << QStringLiteral(" GROUP BY 1, 2, 3, 4");
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
        t.nameOtdel = q.valueAt(r, 11).toString();
        t.groupKod = keyText(q.rawAt(r, 12));
        t.nameIng = q.valueAt(r, 13).toString();
        t.nameGroup = q.valueAt(r, 14).toString();
        t.shortName = q.valueAt(r, 15).toString();
        rows.push_back(t);
    }
    return rows;
}

QVector<TurnoverRow> readProducts(db::Query& q)
{
    QVector<TurnoverRow> rows;
    rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r) {
        TurnoverRow t;
        t.firmaFrom = q.valueAt(r, 0).toString();
        t.firmaFromKod = keyText(q.rawAt(r, 1));
        t.ing = q.rawAt(r, 2).toLongLong();
        t.otdel = q.rawAt(r, 3).toLongLong();
        t.otdelKod = keyText(q.rawAt(r, 3));
        t.typeMoves = q.rawAt(r, 4).toInt();
        t.kolvo = q.rawAt(r, 5).toDouble();
        t.cena = q.rawAt(r, 6).toDouble();
        t.nameOtdel = q.valueAt(r, 7).toString();
        t.groupKod = keyText(q.rawAt(r, 8));
        t.nameIng = q.valueAt(r, 9).toString();
        t.nameGroup = q.valueAt(r, 10).toString();
        t.shortName = q.valueAt(r, 11).toString();
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
    q->setSql(QStringLiteral("SELECT KOD_ING, KOD_OTDEL, SUM(KOLVO) FROM ING_SKLAD") +
              (o.allOtdel ? QString() : QStringLiteral(" WHERE KOD_OTDEL = ") + Key(o.otdel)) +
              QStringLiteral(" GROUP BY 1, 2"));
    q->open();
    for (int r = 0; r < q->recordCount(); ++r)
        balances[{q->rawAt(r, 0).toLongLong(), q->rawAt(r, 1).toLongLong()}].actual = q->rawAt(r, 2).toDouble();
    q->close();
    q->setSql(TurnoverBalanceLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->open();
    for (int r = 0; r < q->recordCount(); ++r) {
        Balance& b = balances[{q->rawAt(r, 0).toLongLong(), q->rawAt(r, 1).toLongLong()}];
        const bool later = q->rawAt(r, 2).toInt() == 1;
        const int direction = q->rawAt(r, 3).toInt();
        const double kolvo = q->rawAt(r, 4).toDouble();
        if (direction == 1)
            (later ? b.add : b.in) += kolvo;
        else if (direction == 2)
            (later ? b.del : b.out) += kolvo;
    }
    q->close();
    return balances;
}

} // namespace

QVector<TurnoverRow> ReadTurnoverRows(const engine::Context& ctx, const TurnoverOptions& o)
{
    auto q = engine::Reader(ctx);
    q->setSql(o.shortForm ? TurnoverProductLines(o) : TurnoverStatementLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->open();
    QVector<TurnoverRow> rows = o.shortForm ? readProducts(*q) : readOperations(*q);
    q->close();
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
