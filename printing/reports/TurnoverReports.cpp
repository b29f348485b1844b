#include "TurnoverReports.h"

#include "engine/Clock.h"
#include "engine/Kopecks.h"
#include "exchange/Obmen.h"

#include <memory>

namespace reports {

namespace {

enum Level { FirmaLevel, OtdelLevel, GroupLevelNo };

// The levels in use, outermost first, with the statement row's code and name.
struct Levels {
    QVector<Level> used;
    QVector<GroupLevel> levels;
};

Levels levelsOf(const TurnoverOptions& o)
{
    Levels l;
    auto add = [&](Level which, const char* heading, const char* p, const char* r, const char* end) {
        l.used << which;
        l.levels << GroupLevel{QString::fromLatin1(heading), {QString::fromLatin1(p), QString::fromLatin1(r)},
                               QString::fromLatin1(end)};
    };
    if (o.allFirma)
        add(FirmaLevel, "firma2", "sum_p_f", "sum_r_f", "n_f");
    if (o.allOtdel)
        add(OtdelLevel, "otdel2", "sum_p_o", "sum_r_o", "n_o");
    add(GroupLevelNo, "group2", "sum_p_g", "sum_r_g", "n_g");
    return l;
}

QString codeOf(const TurnoverRow& t, Level l)
{
    switch (l) {
    case FirmaLevel:
        return t.firmaFromKod;
    case OtdelLevel:
        return t.otdelKod;
    default:
        return t.groupKod;
    }
}

QString nameOf(const TurnoverRow& t, Level l)
{
    switch (l) {
    case FirmaLevel:
        return t.firmaFrom;
    case OtdelLevel:
        return t.nameOtdel;
    default:
        return t.nameGroup;
    }
}

void turnoverHeader(TemplateRun& run, const TurnoverOptions& o)
{
    run.putText(QStringLiteral("name_d"), TurnoverTitle(o));
    run.putDate(QStringLiteral("date"), Clock::today());
    run.putText(QStringLiteral("firma"), o.allFirma ? QStringLiteral("Все предприятия") : o.firmaName);
    run.putText(QStringLiteral("otdel"), o.allOtdel ? QStringLiteral("Все подразделения") : o.otdelName);
}

void turnoverEnd(TemplateRun& run, const QVector<qint64>& totals)
{
    run.putKopecks(QStringLiteral("sum_all_p"), totals.value(0));
    run.putKopecks(QStringLiteral("sum_all_r"), totals.value(1));
}

StandardReport byOperationsReport(const TurnoverOptions& o, QVector<TurnoverRow> rows, const turnover::RowSink& exportRow)
{
    auto data = std::make_shared<const QVector<TurnoverRow>>(std::move(rows));
    const Levels l = levelsOf(o);
    StandardReport r;
    r.listNo = 3;
    r.levels = l.levels;
    r.rowCount = static_cast<int>(data->size());
    r.header = [o](TemplateRun& run) { turnoverHeader(run, o); };
    r.groupCode = [data, used = l.used](int row, int level) { return codeOf((*data)[row], used[level]); };
    r.groupName = [data, used = l.used](int row, int level) { return nameOf((*data)[row], used[level]); };
    // A row's sum is the ledger's: the sum of its lines' amounts.
    r.amounts = [data](int row) {
        const TurnoverRow& t = (*data)[row];
        const qint64 a = t.sum.kopecks();
        return t.typeMoves == 1 ? QVector<qint64>{a, 0} : QVector<qint64>{0, a};
    };
    r.rowVariables = [data, exportRow](TemplateRun& run, int row) {
        const TurnoverRow& t = (*data)[row];
        if (exportRow)
            exportRow(t);
        if (t.typeMoves == 1) {
            run.putQuantity(QStringLiteral("kolvo_p"), t.sum.printedQuantity());
            run.putAmount(QStringLiteral("summa_p"), 0);
        } else {
            run.putQuantity(QStringLiteral("kolvo_r"), t.sum.printedQuantity());
            run.putAmount(QStringLiteral("summa_r"), 1);
        }
        run.putText(QStringLiteral("name"), t.nameIng);
        run.putText(QStringLiteral("ed_izm"), t.shortName);
        run.putText(QStringLiteral("date_op"), t.dateDoc.toString(QStringLiteral("dd.MM.yyyy")));
        run.putPrice(QStringLiteral("cena"), t.cena);
        run.putText(QStringLiteral("n_doc"), t.nameDoc);
        run.putText(QStringLiteral("contra"), t.firmaTo);
    };
    r.end = turnoverEnd;
    return r;
}

} // namespace

namespace {

engine::DecimalSum stockAfter(const TurnoverRow& t)
{
    return engine::DecimalSum(t.actualKolvo).subtract(t.addKolvo).add(t.delKolvo);
}

} // namespace

double TurnoverProduct::ostEnd() const
{
    return last ? stockAfter(*last).printed() : 0.0;
}

double TurnoverProduct::ostStart() const
{
    return last ? stockAfter(*last).subtract(last->postedIn).add(last->postedOut).printed() : 0.0;
}

QVector<TurnoverProduct> SumTurnoverProducts(const QVector<TurnoverRow>& rows)
{
    QVector<TurnoverProduct> products;
    for (const TurnoverRow& t : rows) {
        const TurnoverRow* prev = products.isEmpty() ? nullptr : products.back().last;
        if (!prev || prev->ing != t.ing || prev->otdelKod != t.otdelKod || prev->groupKod != t.groupKod ||
            prev->firmaFromKod != t.firmaFromKod)
            products.push_back({});
        TurnoverProduct& p = products.back();
        (t.typeMoves == 1 ? p.in : p.out).add(t.sum);
        p.last = &t;
    }
    return products;
}

namespace {

StandardReport byProductsReport(const TurnoverOptions& o, QVector<TurnoverRow> rows)
{
    struct Data {
        QVector<TurnoverRow> rows;
        QVector<TurnoverProduct> products;
    };
    auto data = std::make_shared<Data>();
    data->rows = std::move(rows);
    data->products = SumTurnoverProducts(data->rows);
    const Levels l = levelsOf(o);
    StandardReport r;
    r.listNo = 4;
    r.levels = l.levels;
    r.rowCount = static_cast<int>(data->products.size());
    r.header = [o](TemplateRun& run) { turnoverHeader(run, o); };
    r.groupCode = [data, used = l.used](int row, int level) {
        return codeOf(*data->products[row].last, used[level]);
    };
    r.groupName = [data, used = l.used](int row, int level) {
        return nameOf(*data->products[row].last, used[level]);
    };
    r.amounts = [data](int row) {
        const TurnoverProduct& p = data->products[row];
        return QVector<qint64>{p.in.kopecks(), p.out.kopecks()};
    };
    const bool balances = o.balances;
    r.rowVariables = [data, balances](TemplateRun& run, int row) {
        const TurnoverProduct& p = data->products[row];
        run.putAmount(QStringLiteral("summa_p"), 0);
        run.putAmount(QStringLiteral("summa_r"), 1);
        run.putQuantity(QStringLiteral("kolvo_p"), p.in.printedQuantity());
        run.putQuantity(QStringLiteral("kolvo_r"), p.out.printedQuantity());
        if (balances) {
            run.putQuantity(QStringLiteral("ost_start"), p.ostStart());
            run.putQuantity(QStringLiteral("ost_end"), p.ostEnd());
        }
        run.putText(QStringLiteral("name"), p.last->nameIng);
        run.putText(QStringLiteral("ed_izm"), p.last->shortName, templates::RowNext);
    };
    r.spareVariables.clear();  // the unit ends the product row
    r.end = turnoverEnd;
    return r;
}

} // namespace

} // namespace reports

namespace reports::turnover {

StandardReport Report(const Options& o, QVector<TurnoverRow> rows, const RowSink& exportRow)
{
    if (o.shortForm)
        return byProductsReport(o, std::move(rows));
    Options byOperations = o;
    byOperations.balances = false;
    return byOperationsReport(byOperations, std::move(rows), exportRow);
}

StandardReport Build(const engine::Context& ctx, const Options& o, exchange::obmen::Export* exchange)
{
    Options read = o;
    if (!read.shortForm)
        read.balances = false;
    RowSink sink;
    if (exchange && !read.shortForm)
        sink = [exchange](const TurnoverRow& t) {
            exchange::obmen::Line l;
            l.product = t.ing;
            l.department = t.otdel;
            l.typeMoves = t.typeMoves;
            l.kolvo = t.sum.quantity().value(exchange::obmen::kPlaces);
            l.cena = t.cena;
            l.docDate = t.dateDoc;
            l.docName = t.nameDoc;
            l.productName = OneLine(t.nameIng);
            exchange->add(l);
        };
    return Report(read, ReadTurnoverRows(ctx, read), sink);
}

} // namespace reports::turnover
