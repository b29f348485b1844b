#include "Waybill.h"

#include "Figures.h"

#include "exchange/Obmen.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <memory>
#include <stdexcept>

namespace reports::waybill {

bool IsReceipt(int docType, const QVector<Line>& lines)
{
    if (docType == 5 || docType == 2)
        return true;
    return docType == 4 && !lines.isEmpty() && lines.last().typeMoves == 1;
}

namespace {

Party LoadParty(const engine::Context& ctx, qint64 firma)
{
    auto q = engine::Reader(ctx, QStringLiteral("SELECT * FROM FIRMA WHERE KOD = ") + Key(firma));
    q->open();
    if (q->isEmpty())
        return PartyOf({}, {}, {}, {}, {}, {}, {});
    auto s = [&q](const char* f) { return q->field(QString::fromLatin1(f)).asString(); };
    return PartyOf(s("NAME"), s("INN"), s("KPP"), s("ADDR_JUR"), s("RS"), s("BANK"), s("BIK"));
}

} // namespace

Data Load(const engine::Context& ctx, const Options& options)
{
    Data d;
    auto doc = engine::Reader(ctx, QStringLiteral("SELECT NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT "
                                                  "FROM DOCS WHERE KOD = ") +
                                       Key(options.document));
    doc->open();
    if (doc->isEmpty())
        return d;
    d.found = true;
    d.name = doc->field(QStringLiteral("NAME")).asString();
    d.date = doc->field(QStringLiteral("DATE_DOC")).asDate();
    d.docType = doc->field(QStringLiteral("DOC_TYPE")).asInt();
    const qint64 exportFirma = doc->field(QStringLiteral("KOD_PARTNER_EXPORT")).asInt64();
    const qint64 importFirma = doc->field(QStringLiteral("KOD_PARTNER_IMPORT")).asInt64();
    doc->close();

    // The lines as the movement tab lists them, each with its direction
    // (a line not posted yet with the one its posting will give it).
    auto q = engine::Reader(ctx, QStringList{QStringLiteral("SELECT MOVES.*, ") +
                                                 LineDirectionSql(QStringLiteral("MOVES"), QStringLiteral("DOCS")) +
                                                 QStringLiteral(" AS DIRECTION, ING.NAME, ED_IZM.SHORT_NAME AS ED_IZM FROM MOVES"),
                                             QStringLiteral("JOIN DOCS ON DOCS.KOD = MOVES.KOD_DOC"),
                                             QStringLiteral("LEFT OUTER JOIN ING ON ING.KOD = MOVES.KOD_ING"),
                                             QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                                             QStringLiteral("WHERE MOVES.KOD_DOC = ") + Key(options.document),
                                             QStringLiteral("ORDER BY MOVES.KOD")}
                                     .join(QLatin1Char('\n')));
    q->open();
    for (q->first(); !q->eof(); q->next()) {
        Line l;
        l.kodIng = q->field(QStringLiteral("KOD_ING")).asInt64();
        l.kodOtdel = q->field(QStringLiteral("KOD_OTDEL")).asInt64();
        l.typeMoves = q->field(QStringLiteral("DIRECTION")).asInt();
        l.kolvo = q->field(QStringLiteral("KOLVO")).asDouble();
        l.cena = q->field(QStringLiteral("CENA")).asDouble();
        l.name = q->field(QStringLiteral("NAME")).asString();
        l.edIzm = q->field(QStringLiteral("ED_IZM")).asString();
        d.lines.append(l);
    }

    d.receipt = IsReceipt(d.docType, d.lines);
    const QString number = QStringLiteral(" № ") + d.name + QStringLiteral(" от ") + d.date.toString(QStringLiteral("dd.MM.yyyy"));
    const Party own = LoadParty(ctx, exportFirma);
    const Party partner = LoadParty(ctx, importFirma);
    if (d.receipt) {
        d.title = QStringLiteral("Приходная накладная") + number;
        d.buyer = own;
        d.supplier = partner;
    } else {
        d.title = QStringLiteral("Расходная накладная") + number;
        d.buyer = partner;
        d.supplier = own;
    }
    return d;
}

StandardReport Build(const engine::Context& ctx, const Options& options, exchange::obmen::Export* exchange)
{
    auto d = std::make_shared<const Data>(Load(ctx, options));
    // The list may still show a document another workstation has deleted.
    if (!d->found)
        throw std::runtime_error(QStringLiteral("Документ движения не найден !").toStdString());
    const words::MoneyNames money = MoneyNamesOf(ctx);

    StandardReport r;
    r.listNo = 1;
    r.rowCount = static_cast<int>(d->lines.size());
    r.header = [d](TemplateRun& run) {
        run.putText(QStringLiteral("name_d"), d->title);
        run.putDate(QStringLiteral("date_d"), d->date);
        PutParty(run, QStringLiteral("pok"), d->buyer);
        PutParty(run, QStringLiteral("prod"), d->supplier);
    };
    // A line's sum is the ledger's: its stored quantity times its stored
    // price, rounded to kopecks once; the total is the sum of the lines' sums.
    r.amounts = [d](int row) { return QVector<qint64>{engine::LineKopecks(d->lines[row].kolvo, d->lines[row].cena)}; };
    r.rowVariables = [d, exchange](TemplateRun& run, int row) {
        const Line& l = d->lines[row];
        if (exchange) {
            exchange::obmen::Line x;
            x.product = l.kodIng;
            x.department = l.kodOtdel;
            x.typeMoves = l.typeMoves;
            x.kolvo = l.kolvo;
            x.cena = l.cena;
            x.docDate = d->date;
            x.docName = d->name;
            x.productName = OneLine(l.name);
            exchange->add(x);
        }
        run.putText(QStringLiteral("name"), l.name);
        run.putText(QStringLiteral("ed_izm"), l.edIzm);
        run.putQuantity(QStringLiteral("kolvo"), l.kolvo);
        run.putPrice(QStringLiteral("cena"), l.cena);
        run.putAmount(QStringLiteral("summa"), 0);
    };
    r.end = [money](TemplateRun& run, const QVector<qint64>& totals) {
        const qint64 total = totals.value(0);
        run.putKopecks(QStringLiteral("sum_all"), total);
        run.putText(QStringLiteral("sum_txt"), words::AmountInWords(Roubles(total), money));
        run.putInt(QStringLiteral("kolvo_str"), run.position());
    };
    return r;
}

} // namespace reports::waybill
