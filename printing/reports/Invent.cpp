#include "Invent.h"
#include "Figures.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <memory>
#include <stdexcept>

namespace reports {

namespace {

// The difference as the posting writes it: the counted quantity less the
// book quantity (INVENT_PROVODKA's line holds it, the book less the counted
// for a shortage: the same figure, negated).
double difference(const InventLine& l) { return l.myKolvo - l.kolvo; }

} // namespace

QVector<qint64> InventTerms(const InventLine& l)
{
    // A difference's sum is the posted line's amount: the difference times
    // the price, rounded once, so the sheet and the statements print the
    // same kopecks for it (281,75 booked and 280 counted at 3,333333 give
    // a shortage of 5,83, not 939,17 − 933,33).
    const double d = difference(l);
    return {engine::LineKopecks(d, l.myCena), engine::LineKopecks(l.myKolvo, l.myCena),
            engine::LineKopecks(l.myKolvo, l.cenaP), engine::LineKopecks(d, l.cenaP)};
}

StandardReport InventReport(const InventHeader& h, QVector<InventLine> lines, const words::MoneyNames& names)
{
    auto data = std::make_shared<const QVector<InventLine>>(std::move(lines));
    StandardReport r;
    r.listNo = 5;
    // Group headings only: the groups have no subtotals.
    r.levels = {GroupLevel{QStringLiteral("group"), {}, QString()}};
    r.rowCount = static_cast<int>(data->size());
    r.header = [h](TemplateRun& run) {
        run.putNone(QStringLiteral("name_d"));
        run.putText(QStringLiteral("firma"), h.firma);
        run.putText(QStringLiteral("otdel"), h.otdel);
        run.putText(QStringLiteral("sklad"), h.sklad);
        run.putText(QStringLiteral("date"), h.date.toString(QStringLiteral("dd.MM.yyyy")));
    };
    r.groupCode = [data](int row, int) { return (*data)[row].groupKod; };
    r.groupName = [data](int row, int) { return (*data)[row].nameGroup; };
    r.amounts = [data](int row) { return InventTerms((*data)[row]); };
    // Every sum is a stored quantity times a stored price rounded once; the
    // totals are the sums of the printed columns.
    r.rowVariables = [data](TemplateRun& run, int row) {
        const InventLine& l = (*data)[row];
        const double d = engine::Printed(difference(l));
        run.putText(QStringLiteral("name"), l.name);
        run.putText(QStringLiteral("ed_izm"), l.shortName);
        run.putPrice(QStringLiteral("cena"), l.cena);
        run.putQuantity(QStringLiteral("kolvo"), l.kolvo);
        run.putKopecks(QStringLiteral("summa"), engine::LineKopecks(l.kolvo, l.cena));
        run.putQuantity(QStringLiteral("kolvo2"), l.myKolvo);
        run.putPrice(QStringLiteral("cena2"), l.myCena);
        // A surplus, or a shortage: 0 there on a line without a difference,
        // the surplus left empty, on every line alike.
        if (d > 0)
            run.putQuantity(QStringLiteral("izl"), d);
        else
            run.putQuantity(QStringLiteral("nedost"), -d);
        run.putAmount(QStringLiteral("summa2"), 0);
        run.putAmount(QStringLiteral("summa2_p"), 3);
        run.putPrice(QStringLiteral("cena_p"), l.cenaP);
        run.putKopecks(QStringLiteral("summa_p"), engine::LineKopecks(l.kolvo, l.cenaP));
        run.putAmount(QStringLiteral("summa_s_r"), 1);
        run.putAmount(QStringLiteral("summa_p_r"), 2);
    };
    r.end = [names](TemplateRun& run, const QVector<qint64>& totals) {
        static const char* const figures[] = {"itog", "itog_p1", "itog_p2", "itog2_p"};
        static const char* const inWords[] = {"itog_s", "itog_p1s", "itog_p2s", "itog2_p_s"};
        for (int i = 0; i < 4; ++i) {
            run.putKopecks(QString::fromLatin1(figures[i]), totals.value(i));
            run.putText(QString::fromLatin1(inWords[i]), words::AmountInWords(Roubles(totals.value(i)), names));
        }
    };
    return r;
}

} // namespace reports

namespace reports::invent {

StandardReport Build(const engine::Context& ctx, const Options& options)
{
    const qint64 doc = options.document;
    auto head = engine::Reader(ctx);
    head->setSql(QStringList{
        QStringLiteral("SELECT DOCS.INT_PARAM2, DOCS.DATE_DOC, FIRMA.NAME AS NAME_F, OTDEL.NAME AS NAME_O, "
                       "SKLAD.NAME AS NAME_S FROM DOCS"),
        QStringLiteral("JOIN FIRMA ON FIRMA.KOD = DOCS.KOD_PARTNER_EXPORT"),
        QStringLiteral("JOIN OTDEL ON OTDEL.KOD = DOCS.INT_PARAM1"),
        QStringLiteral("LEFT OUTER JOIN SKLAD ON SKLAD.KOD =  DOCS.INT_PARAM2"),
        QStringLiteral("WHERE DOCS.KOD = ") + Key(doc)});
    head->open();
    InventHeader h;
    if (!head->isEmpty()) {
        h.firma = head->field(QStringLiteral("NAME_F")).asString();
        h.otdel = head->field(QStringLiteral("NAME_O")).asString();
        // An inventory of every warehouse of the department names none.
        const db::Field sklad = head->field(QStringLiteral("INT_PARAM2"));
        h.sklad = sklad.isNull() || sklad.asInt64() == 0 ? QStringLiteral("Все склады")
                                                          : head->field(QStringLiteral("NAME_S")).asString();
        h.date = head->field(QStringLiteral("DATE_DOC")).asDate();
    }
    head->close();

    auto q = engine::Reader(ctx);
    q->setSql(QStringList{
        QStringLiteral("SELECT ING.NAME, ING.KOD_GROUP, ED_IZM.SHORT_NAME, INVENT.KOLVO, INVENT.MY_KOLVO, "
                       "INVENT.CENA, INVENT.MY_CENA, INVENT.KOD, INVENT.KOD_ING, INVENT.CENA_P, GROUP_ING.NAME AS "
                       "NAME_G FROM INVENT"),
        QStringLiteral("JOIN ING ON INVENT.KOD_ING = ING.KOD"),
        QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
        QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP"),
        QStringLiteral("WHERE INVENT.KOD_DOC = ") + Key(doc), QStringLiteral("ORDER BY ING.KOD_GROUP, ING.NAME")});
    q->open();
    QVector<InventLine> lines;
    lines.reserve(q->recordCount());
    for (int r = 0; r < q->recordCount(); ++r) {
        InventLine l;
        l.name = q->valueAt(r, 0).toString();
        l.groupKod = q->rawAt(r, 1).isNull() ? QString() : QString::number(q->rawAt(r, 1).toLongLong());
        l.shortName = q->valueAt(r, 2).toString();
        l.kolvo = q->rawAt(r, 3).toDouble();
        l.myKolvo = q->rawAt(r, 4).toDouble();
        l.cena = q->rawAt(r, 5).toDouble();
        l.myCena = q->rawAt(r, 6).toDouble();
        l.cenaP = q->rawAt(r, 9).toDouble();
        l.nameGroup = q->valueAt(r, 10).toString();
        lines.push_back(l);
    }
    q->close();
    return InventReport(h, std::move(lines), MoneyNamesOf(ctx));
}

} // namespace reports::invent

