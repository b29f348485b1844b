#include "Statements.h"

#include "Figures.h"
#include "ProductNames.h"
#include "Requisites.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"

#include "db/Query.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <cmath>
#include <map>
#include <tuple>

namespace reports {

using templates::RowNext;
using templates::RowStay;

namespace {

QString typeLine(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral("AND DOCS.DOC_TYPE = 3");
    case 1:
        return QStringLiteral("AND DOCS.DOC_TYPE = 7");
    default:
        return QStringLiteral("AND (DOCS.DOC_TYPE = 3 OR DOCS.DOC_TYPE = 7)");
    }
}

void bindPeriod(db::Query& q, const statements::Options& o)
{
    q.param(QStringLiteral("DS")).setDate(o.start);
    q.param(QStringLiteral("DE")).setDate(o.finish);
}

Party readFirma(const engine::Context& ctx, qint64 firma)
{
    auto q = engine::Reader(ctx, QStringLiteral("SELECT * FROM FIRMA WHERE KOD = ") + Key(firma));
    q->open();
    if (q->isEmpty())
        return PartyOf({}, {}, {}, {}, {}, {}, {});
    auto s = [&q](const char* f) { return q->field(QString::fromLatin1(f)).asString(); };
    return PartyOf(s("NAME"), s("INN"), s("KPP"), s("ADDR_JUR"), s("RS"), s("BANK"), s("BIK"));
}

// The header of both statements: the current document with its enterprise,
// or for a period only the period's text in name_dr.
void putHeader(const engine::Context& ctx, TemplateRun& run, const statements::Options& o, bool nameByType)
{
    if (o.what != 0) {
        run.putText(QStringLiteral("name_dr"), PeriodText(o.start, o.finish));
        return;
    }
    const DocumentHead d = ReadDocumentHead(ctx, o.document);
    const bool sales = !nameByType || d.docType == 3;
    run.putText(sales ? QStringLiteral("name_dr") : QStringLiteral("name_dp"), d.name);
    run.putDate(QStringLiteral("date_d"), d.date);
    PutParty(run, QStringLiteral("pok"), readFirma(ctx, d.firma));
}

void putSpares(TemplateRun& run)
{
    run.put(QStringLiteral("s1"));
    run.put(QStringLiteral("s2"));
    run.put(QStringLiteral("s3"));
    run.put(QStringLiteral("s4"));
    run.put(QStringLiteral("s5"), RowNext);
}

} // namespace

QString PeriodText(const QDate& start, const QDate& finish)
{
    return start.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" / ") +
           finish.toString(QStringLiteral("dd.MM.yyyy"));
}

DocumentHead ReadDocumentHead(const engine::Context& ctx, qint64 document)
{
    DocumentHead d;
    auto q = engine::Reader(ctx, QStringLiteral("SELECT NAME, DATE_DOC, DOC_TYPE, PROVODKA, P, KOD_PARTNER_EXPORT "
                                                "FROM DOCS WHERE KOD = ") +
                                     Key(document));
    q->open();
    if (q->isEmpty())
        return d;
    d.found = true;
    d.name = q->field(0).asString();
    d.date = q->field(1).asDate();
    d.docType = q->field(2).asInt();
    d.provodka = q->field(3).asInt();
    d.p = q->field(4).asInt();
    d.firma = q->field(5).asInt64();
    return d;
}

QVector<ProductLine> ProductsOfPeriod(const engine::Context& ctx, const statements::Options& o)
{
    // The lines one by one, those of a product at one price and one stock
    // price one after another: a row's quantity is theirs summed in decimal,
    // its sums the sums of theirs, as the documents' own statements print them.
    QStringList sql{
        QStringLiteral("SELECT REAL_BLUDO.KOD_ING, REAL_BLUDO.CENA, REAL_BLUDO.CENA_SKLAD, REAL_BLUDO.KOLVO,"),
        QStringLiteral("ING.NAME, GROUP_ING.NAME AS GROUP_NAME, GROUP_ING.KOD AS GROUP_KOD, ED_IZM.SHORT_NAME FROM DOCS"),
        QStringLiteral("JOIN REAL_BLUDO ON REAL_BLUDO.KOD_DOC = DOCS.KOD"),
        QStringLiteral("LEFT OUTER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING"),
        QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP"),
        QStringLiteral("LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
        QStringLiteral("WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE")};
    if (o.provodka == 0)
        sql << QStringLiteral("AND DOCS.PROVODKA > 10");
    else if (o.provodka == 1)
        sql << QStringLiteral("AND DOCS.PROVODKA = 0");
    sql << typeLine(o.type)
        << QStringLiteral("ORDER BY GROUP_ING.NAME, GROUP_ING.KOD, ING.NAME, REAL_BLUDO.KOD_ING, REAL_BLUDO.CENA, "
                          "REAL_BLUDO.CENA_SKLAD");
    auto q = engine::Reader(ctx, sql.join(QLatin1Char('\n')));
    bindPeriod(*q, o);
    // The columns in the order selected.
    enum { Ing, Cena, Sklad, Kolvo, Name, GroupName, Group, Unit };
    // A line's key: the product and both prices, a missing price apart from 0.
    using LineKey = std::tuple<bool, qint64, bool, double, bool, double>;
    QVector<ProductLine> lines;
    LineKey last;
    q->stream([&](const db::RowView& r) {
        const LineKey key{r.isNull(Ing), r.asInt64(Ing), r.isNull(Cena), r.asDouble(Cena), r.isNull(Sklad),
                          r.asDouble(Sklad)};
        if (lines.isEmpty() || key != last) {
            last = key;
            ProductLine l;
            l.name = r.asString(Name);
            l.shortName = r.asString(Unit);
            l.cena = r.asDouble(Cena);
            l.cenaSklad = r.asDouble(Sklad);
            l.groupKod = r.asInt64(Group);
            l.groupName = r.asString(GroupName);
            l.sums = engine::SummedRow();
            lines.append(l);
        }
        ProductLine& l = lines.back();
        l.sums->add(r.asDouble(Kolvo), {l.cena, l.cenaSklad});
    });
    for (ProductLine& l : lines)
        l.kolvo = l.sums->printedQuantity();
    return lines;
}

namespace {

void printProducts(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                   const statements::Options& o, const QVector<ProductLine>& lines, const Progress& progress)
{
    TemplateRun run(ctx, office, cacheFolder, 8, progress);
    run.startProgress(static_cast<int>(lines.size()));
    run.open();
    run.header([&] { putHeader(ctx, run, o, true); });

    // Kopecks: every sum is the line's quantity times its price rounded
    // once (a period's row the sum of its lines'), every subtotal and total
    // the sum of the printed sums above it.
    qint64 total = 0, totalSklad = 0, group = 0, groupSklad = 0;
    qint64 key = -999;
    auto subtotal = [&] {
        run.putKopecks(QStringLiteral("sum_all"), group, RowStay);
        run.putKopecks(QStringLiteral("sum_skl_doc"), groupSklad, RowNext);
    };
    for (int i = 0; i < lines.size(); ++i) {
        const ProductLine& l = lines[i];
        if (o.byGroup && (i == 0 || l.groupKod != key)) {
            if (i > 0)
                subtotal();
            group = groupSklad = 0;
            key = l.groupKod;
            run.putText(QStringLiteral("name"), l.groupName, RowNext);
        }
        const qint64 summa = l.sums ? l.sums->kopecks(0) : engine::LineKopecks(l.kolvo, l.cena);
        const qint64 summaSklad = l.sums ? l.sums->kopecks(1) : engine::LineKopecks(l.kolvo, l.cenaSklad);
        total += summa;
        group += summa;
        totalSklad += summaSklad;
        groupSklad += summaSklad;
        run.putInt(QStringLiteral("nstr"), run.stepProgress());
        run.putText(QStringLiteral("name"), l.name);
        run.putText(QStringLiteral("ed_izm"), l.shortName);
        run.putQuantity(QStringLiteral("kolvo"), l.kolvo);
        run.putPrice(QStringLiteral("cena"), l.cena);
        run.putKopecks(QStringLiteral("summa"), summa);
        run.putPrice(QStringLiteral("cena_skl"), l.cenaSklad);
        run.putKopecks(QStringLiteral("sum_skl"), summaSklad);
        putSpares(run);
    }
    if (o.byGroup)
        subtotal();

    run.endBlock();
    run.putKopecks(QStringLiteral("sum_all"), total);
    run.putKopecks(QStringLiteral("sum_skl_doc"), totalSklad);
    run.putText(QStringLiteral("sum_txt"), words::AmountInWords(Roubles(total), MoneyNamesOf(ctx)));
    run.finish();
}

} // namespace

namespace {

// The write-off lines of one product, department and price folded into the
// first of them in list order (as the costing's merge folds them), their
// quantities summed in decimal and their sums added.
QVector<IngredientLine> mergedLines(const costing::AmountList& lines)
{
    QVector<IngredientLine> merged;
    std::map<std::tuple<qint64, qint64, int, double>, qsizetype> first;
    for (const costing::RIng& n : lines) {
        qsizetype at = merged.size();
        if (!std::isnan(n.PRICE))  // a price that equals nothing is never merged
            at = first.try_emplace({n.KOD_ING, n.KOD_OTDEL, n.MY_LEVEL, n.PRICE == 0 ? 0.0 : n.PRICE}, at).first->second;
        if (at == merged.size())
            merged.append({n, engine::SummedRow()});
        else
            merged[at].node.DEPTH = std::max(merged[at].node.DEPTH, n.DEPTH);
        merged[at].merged->add(n.BRUTTO, {n.CENA});
    }
    return merged;
}

} // namespace

QVector<IngredientLine> IngredientsOf(const engine::Context& ctx, const statements::Options& o)
{
    if (o.what != 0) {
        auto q = engine::Reader(ctx, QStringList{QStringLiteral("SELECT MOVES.* FROM DOCS"),
                                                 QStringLiteral("JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD"),
                                                 QStringLiteral("WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE"),
                                                 typeLine(o.type), QStringLiteral("AND DOCS.PROVODKA > 10")}
                                         .join(QLatin1Char('\n')));
        bindPeriod(*q, o);
        q->open();
        return mergedLines(costing::AmountListFromDataset(*q));
    }
    const DocumentHead d = ReadDocumentHead(ctx, o.document);
    if (d.provodka > 0) {
        auto q = engine::Reader(ctx, QStringLiteral("SELECT * FROM MOVES WHERE KOD_DOC = ") + Key(o.document));
        q->open();
        return mergedLines(costing::AmountListFromDataset(*q));
    }
    auto rows = engine::Reader(
        ctx, QStringList{QStringLiteral("SELECT REAL_BLUDO.*, ING.KVO_PORC, ING.CENA_COMPUTE, ING.MY_LEVEL FROM REAL_BLUDO"),
                         QStringLiteral("INNER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING"),
                         QStringLiteral("WHERE KOD_DOC = ") + Key(o.document) + QStringLiteral(" AND KOLVO > 0"),
                         QStringLiteral("ORDER BY ING.MY_LEVEL DESCENDING")}
                 .join(QLatin1Char('\n')));
    rows->open();
    costing::SqlCardSource source(ctx.database, ctx.read);
    costing::Expander expander(source);
    QVector<IngredientLine> lines;
    for (const costing::RIng& n : expander.ExpandDocumentRows(d.p, d.docType == 7, *rows))
        lines.append({n, std::nullopt});
    return lines;
}

namespace {

void printIngredients(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                      const statements::Options& o, const QVector<IngredientLine>& lines, const Progress& progress)
{
    ProductNames names(ctx);
    TemplateRun run(ctx, office, cacheFolder, 9, progress);
    run.startProgress(static_cast<int>(lines.size()));
    run.open();
    run.header([&] { putHeader(ctx, run, o, false); });

    qint64 total = 0;
    int counter = 0;
    for (const IngredientLine& l : lines) {
        const costing::RIng& n = l.node;
        run.stepProgress();
        if (n.MY_LEVEL != 0)
            continue;
        run.putInt(QStringLiteral("nstr"), ++counter);
        // A product whose unit row is missing prints without name and unit.
        const ProductNames::Entry& e = names.of(n.KOD_ING);
        run.putText(QStringLiteral("name"), e.hasUnit ? e.name : QString());
        run.putText(QStringLiteral("ed_izm"), e.hasUnit ? e.unit : QString());
        const qint64 summa = l.merged ? l.merged->kopecks() : engine::LineKopecks(n.BRUTTO, n.CENA);
        total += summa;
        run.putQuantity(QStringLiteral("kolvo"), l.merged ? l.merged->printedQuantity() : n.BRUTTO);
        run.putPrice(QStringLiteral("cena"), n.CENA);
        run.putKopecks(QStringLiteral("summa"), summa);
        putSpares(run);
    }

    run.endBlock();
    run.putKopecks(QStringLiteral("sum_all"), total);
    run.putText(QStringLiteral("sum_txt"), words::AmountInWords(Roubles(total), MoneyNamesOf(ctx)));
    run.finish();
}

} // namespace

void statements::Print(const engine::Context& ctx, const Options& options, automation::Office& office,
                       const QString& cacheFolder, const Progress& progress)
{
    if (options.ingredients)
        printIngredients(ctx, office, cacheFolder, options, IngredientsOf(ctx, options), progress);
    else
        printProducts(ctx, office, cacheFolder, options,
                      options.what == 0 ? options.lines : ProductsOfPeriod(ctx, options), progress);
}

} // namespace reports
