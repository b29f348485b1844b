#include "Turnover.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

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

// The movement lines' name in the statement: MOV beside the balance columns.
QString movesOf(const TurnoverOptions& o) { return o.balances ? QStringLiteral("MOV") : QStringLiteral("MOVES"); }

QStringList fromLines(const TurnoverOptions& o)
{
    const QString m = movesOf(o);
    QStringList l;
    l << QStringLiteral(" FROM DOCS")
      << QStringLiteral(" LEFT OUTER JOIN FIRMA exp  ON DOCS.KOD_PARTNER_EXPORT = exp.KOD")
      << QStringLiteral(" LEFT OUTER JOIN FIRMA imp  ON DOCS.KOD_PARTNER_IMPORT = imp.KOD")
      << (o.balances ? QStringLiteral(" LEFT OUTER JOIN MOVES MOV  ON MOV.KOD_DOC = DOCS.KOD")
                     : QStringLiteral(" LEFT OUTER JOIN MOVES      ON MOVES.KOD_DOC = DOCS.KOD"))
      << QStringLiteral(" LEFT OUTER JOIN OTDEL      ON OTDEL.KOD = %1.KOD_OTDEL").arg(m)
      << QStringLiteral(" LEFT OUTER JOIN ING        ON ING.KOD = %1.KOD_ING").arg(m)
      << QStringLiteral(" LEFT OUTER JOIN GROUP_ING  ON GROUP_ING.KOD = ING.KOD_GROUP")
      << QStringLiteral(" LEFT OUTER JOIN ED_IZM     ON ED_IZM.KOD = ING.ED_IZM");
    return l;
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
        l << QStringLiteral("AND %1.KOD_OTDEL = ").arg(movesOf(o)) + Key(o.otdel);
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
    const QString m = movesOf(o);
    QStringList l;
    l << QStringLiteral("SELECT DOCS.DATE_DOC,") << QStringLiteral("   DOCS.NAME AS NAME_D,")
      << QStringLiteral("   exp.NAME AS F_From,") << QStringLiteral("   exp.KOD AS F_From_Kod,")
      << QStringLiteral("   imp.NAME AS F_To,") << QStringLiteral("   %1.KOD_ING,").arg(m)
      << QStringLiteral("   %1.KOD_OTDEL,").arg(m) << QStringLiteral("   %1.TYPE_MOVES,").arg(m)
      << QStringLiteral("   SUM(%1.KOLVO) AS KOLVO,").arg(m) << QStringLiteral("   SUM(%1.SUMMA) AS SUMMA,").arg(m)
      << QStringLiteral("   %1.CENA,").arg(m) << QStringLiteral("   OTDEL.NAME AS NAME_O,")
      << QStringLiteral("   ING.KOD_GROUP,") << QStringLiteral("   ING.NAME AS NAME_ING,")
      << QStringLiteral("   GROUP_ING.NAME AS NAME_G,") << QStringLiteral("   ED_IZM.SHORT_NAME");
    l << fromLines(o) << whereLines(o);
    l << QStringLiteral(" GROUP BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 8, 5, 2, 1")
      << QStringLiteral(" ORDER BY 4, 3, 7, 12, 13, 15, 6, 14, 16, 11, 8, 5, 2, 1");
    return l;
}

QStringList TurnoverBalanceLines(const TurnoverOptions& o)
{
    QStringList l;
    l << QStringLiteral("SELECT P.KOD_ING, P.KOD_OTDEL,")
      << QStringLiteral("   (SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = P.KOD_ING AND KOD_OTDEL = P.KOD_OTDEL) AS "
                        "ACTUAL_KOLVO,")
      << QStringLiteral("   (SELECT SUM(MOVES.KOLVO) FROM DOCS JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD WHERE "
                        "DOCS.DATE_DOC > :DE AND DOCS.PROVODKA > 10 AND DOCS.INT_PARAM1 = P.KOD_OTDEL AND "
                        "MOVES.KOD_ING = P.KOD_ING AND MOVES.TYPE_MOVES = 1) AS ADD_KOLVO,")
      << QStringLiteral("   (SELECT SUM(MOVES.KOLVO) FROM DOCS JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD WHERE "
                        "DOCS.DATE_DOC > :DE AND DOCS.PROVODKA > 10 AND DOCS.INT_PARAM1 = P.KOD_OTDEL AND "
                        "MOVES.KOD_ING = P.KOD_ING AND MOVES.TYPE_MOVES = 2) AS DEL_KOLVO")
      << QStringLiteral(" FROM (SELECT DISTINCT MOV.KOD_ING, MOV.KOD_OTDEL");
    TurnoverOptions withMov = o;
    withMov.balances = true;
    l << fromLines(withMov) << whereLines(withMov);
    l << QStringLiteral("AND MOV.KOD_ING IS NOT NULL) P");
    return l;
}

namespace {

QString keyText(const QVariant& v) { return v.isNull() ? QString() : QString::number(v.toLongLong()); }

} // namespace

QVector<TurnoverRow> ReadTurnoverRows(const engine::Context& ctx, const TurnoverOptions& o)
{
    auto q = engine::Reader(ctx);
    q->setSql(TurnoverStatementLines(o));
    q->param(QStringLiteral("DS")).setDate(o.start);
    q->param(QStringLiteral("DE")).setDate(o.end);
    q->open();
    QVector<TurnoverRow> rows;
    rows.reserve(q->recordCount());
    for (int r = 0; r < q->recordCount(); ++r) {
        if (q->rawAt(r, 5).isNull())
            continue;  // a document without movement lines
        TurnoverRow t;
        t.dateDoc = q->valueAt(r, 0).toDate();
        t.nameDoc = q->valueAt(r, 1).toString();
        t.firmaFrom = q->valueAt(r, 2).toString();
        t.firmaFromKod = keyText(q->rawAt(r, 3));
        t.firmaTo = q->valueAt(r, 4).toString();
        t.ing = q->rawAt(r, 5).toLongLong();
        t.otdel = q->rawAt(r, 6).toLongLong();
        t.otdelKod = keyText(q->rawAt(r, 6));
        t.typeMoves = q->rawAt(r, 7).toInt();
        t.kolvo = q->rawAt(r, 8).toDouble();
        t.cena = q->rawAt(r, 10).toDouble();
        t.nameOtdel = q->valueAt(r, 11).toString();
        t.groupKod = keyText(q->rawAt(r, 12));
        t.nameIng = q->valueAt(r, 13).toString();
        t.nameGroup = q->valueAt(r, 14).toString();
        t.shortName = q->valueAt(r, 15).toString();
        rows.push_back(t);
    }
    q->close();
    if (o.balances && !rows.isEmpty()) {
        struct Balance {
            double actual = 0, add = 0, del = 0;
        };
        QHash<QPair<qint64, qint64>, Balance> balances;
        q->setSql(TurnoverBalanceLines(o));
        q->param(QStringLiteral("DS")).setDate(o.start);
        q->param(QStringLiteral("DE")).setDate(o.end);
        q->open();
        for (int r = 0; r < q->recordCount(); ++r)
            balances.insert({q->rawAt(r, 0).toLongLong(), q->rawAt(r, 1).toLongLong()},
                            {q->rawAt(r, 2).toDouble(), q->rawAt(r, 3).toDouble(), q->rawAt(r, 4).toDouble()});
        q->close();
        for (TurnoverRow& t : rows) {
            const Balance b = balances.value({t.ing, t.otdel});
            t.actualKolvo = b.actual;
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
