#include "Ostatki.h"
#include "Figures.h"

#include "db/Query.h"
#include "engine/Clock.h"
#include "engine/EngineDb.h"
#include "engine/Kopecks.h"

#include <memory>

namespace reports::ostatki {

namespace {

QStringList joins()
{
    return {QStringLiteral("LEFT OUTER JOIN ING       ON ING.KOD       = ING_SKLAD.KOD_ING"),
            QStringLiteral("LEFT OUTER JOIN FIRMA     ON FIRMA.KOD     = ING_SKLAD.KOD_FIRMA"),
            QStringLiteral("LEFT OUTER JOIN OTDEL     ON OTDEL.KOD     = ING_SKLAD.KOD_OTDEL"),
            QStringLiteral("LEFT OUTER JOIN SKLAD     ON SKLAD.KOD     = ING_SKLAD.KOD_SKLAD"),
            QStringLiteral("LEFT OUTER JOIN ED_IZM    ON ED_IZM.KOD    = ING.ED_IZM"),
            QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP")};
}

// The scope line, then each filter; the first condition after "WHERE", the
// later ones after "AND".
QStringList conditions(const Options& o, bool withHidden)
{
    QStringList lines;
    bool first = true;
    switch (o.scope) {
    case Warehouse: lines << QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = ") + Key(o.sklad); first = false; break;
    case Department: lines << QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = ") + Key(o.otdel); first = false; break;
    case Enterprise: lines << QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = ") + Key(o.firma); first = false; break;
    default: break;
    }
    // A quantity within a millionth of zero counts as zero (Settled).
    auto add = [&](bool on, const char* condition) {
        if (!on)
            return;
        lines << (first ? QStringLiteral("WHERE") : QStringLiteral("AND")) << QString::fromLatin1(condition);
        first = false;
    };
    add(o.noMinus, "ING_SKLAD.KOLVO > -0.000001");
    add(o.noPlus, "ING_SKLAD.KOLVO < 0.000001");
    add(o.noZero, "ABS(ING_SKLAD.KOLVO) >= 0.000001");
    add(withHidden && o.noHidden, "ING_SKLAD.OPEN_CLOSE = 0");
    return lines;
}

QString nameOf(const engine::Context& ctx, const char* table, qint64 kod)
{
    auto q = engine::Reader(ctx, QStringLiteral("SELECT NAME FROM ") + QString::fromLatin1(table) +
                                     QStringLiteral(" WHERE KOD = ") + Key(kod));
    q->open();
    return q->isEmpty() ? QString() : q->field(0).asString();
}

struct Row {
    QString codes[4];  // enterprise, department, warehouse, group, as text
    QString names[4];
    QString name;
    QString edIzm;
    double kolvo = 0;
    double cena = 0;
    double myCena = 0;
};

QString codeText(const db::Query& q, const char* field)
{
    const db::Field f = q.field(QString::fromLatin1(field));
    return f.isNull() ? QString() : QString::number(f.asInt64());
}

void headerVariables(TemplateRun& run, const QStringList& names)
{
    run.putNone(QStringLiteral("name_d"));
    run.putDate(QStringLiteral("date"), Clock::today());
    run.putText(QStringLiteral("firma"), names.value(0));
    run.putText(QStringLiteral("otdel"), names.value(1));
    run.putText(QStringLiteral("sklad"), names.value(2));
}

} // namespace

QStringList QueryLines(const Options& o)
{
    QStringList lines{
        QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.KVO_PORC,"),
        QStringLiteral("ING.CENA_COMPUTE, ING.MY_LEVEL, GROUP_ING.NAME AS NAME_G, FIRMA.NAME AS NAME_F, FIRMA.KOD AS KOD_F,"),
        QStringLiteral("OTDEL.NAME AS NAME_O, OTDEL.KOD AS KOD_O, SKLAD.NAME AS NAME_S, ED_IZM.SHORT_NAME from ING_SKLAD")};
    lines << joins() << conditions(o, true)
          << QStringLiteral("ORDER BY ING_SKLAD.KOD_FIRMA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.KOD_SKLAD, ING.KOD_GROUP, ING.NAME");
    return lines;
}

QStringList SvodQueryLines(const Options& o)
{
    // The rows themselves, each product's together: the report sums them,
    // so a product's amount is the sum of its rows' amounts as the detailed
    // balance prints them.
    QStringList lines{QStringLiteral("SELECT ING_SKLAD.KOD_ING, ING_SKLAD.KOLVO, ING_SKLAD.CENA, ING_SKLAD.MY_CENA,"),
                      QStringLiteral("ING.KOD_GROUP, ING.NAME, ED_IZM.SHORT_NAME,"),
                      QStringLiteral("GROUP_ING.NAME AS NAME_G from ING_SKLAD")};
    // Products are told apart by their key as well: two products of one name,
    // group and unit stay two lines.
    lines << joins() << conditions(o, false) << QStringLiteral("ORDER BY ING.KOD_GROUP, ING.NAME, ING_SKLAD.KOD_ING");
    return lines;
}

QStringList HeaderNames(const engine::Context& ctx, const Options& o)
{
    const QString allFirms = QStringLiteral("Все предприятия");
    const QString allOtdels = QStringLiteral("Все подразделения");
    const QString allSklads = QStringLiteral("Все склады");
    switch (o.scope) {
    case Warehouse: return {nameOf(ctx, "FIRMA", o.firma), nameOf(ctx, "OTDEL", o.otdel), nameOf(ctx, "SKLAD", o.sklad)};
    case Department: return {nameOf(ctx, "FIRMA", o.firma), nameOf(ctx, "OTDEL", o.otdel), allSklads};
    case Enterprise: return {nameOf(ctx, "FIRMA", o.firma), allOtdels, allSklads};
    default: return {allFirms, allOtdels, allSklads};
    }
}

namespace {

// One line per product summed over the scope, headed by its group; no
// subtotals. Its quantity is the sum of its rows' quantities, its amounts
// the sums of its rows' amounts (each row's stored quantity times its stored
// price, rounded once, as the detailed balance prints it), so both forms
// have the same totals; its prices are the averages of its rows' stored
// prices weighted by their quantities, to six decimals: a product at one
// price prints that price, whatever rows of other departments with nothing
// in stock hold.
StandardReport buildSvod(const engine::Context& ctx, const Options& o)
{
    struct SvodRow {
        qint64 ing = 0;
        QString groupCode;
        QString groupName;
        QString name;
        QString edIzm;
        engine::SummedRow sum;  // at the stock price and at the selling price
        // A line with no quantity to print shows no price.
        bool priced() const { return sum.printedQuantity() != 0; }
    };
    auto rows = std::make_shared<QVector<SvodRow>>();
    {
        auto q = engine::Reader(ctx, SvodQueryLines(o).join(QLatin1Char('\n')));
        q->stream([&rows](const db::RowView& r) {
            const qint64 ing = r.asInt64(0);
            if (rows->isEmpty() || rows->back().ing != ing) {
                SvodRow x;
                x.ing = ing;
                x.groupCode = r.isNull(4) ? QString() : QString::number(r.asInt64(4));
                x.name = r.asString(5);
                x.edIzm = r.asString(6);
                x.groupName = r.asString(7);
                rows->append(x);
            }
            rows->back().sum.add(r.asDouble(1), {r.asDouble(2), r.asDouble(3)});
        });
    }
    const QStringList names = HeaderNames(ctx, o);

    StandardReport r;
    r.listNo = 2;
    r.levels = {{QStringLiteral("group2"), {}, QString()}};  // headings only
    r.rowCount = static_cast<int>(rows->size());
    r.header = [names](TemplateRun& run) { headerVariables(run, names); };
    r.groupCode = [rows](int row, int) { return (*rows)[row].groupCode; };
    r.groupName = [rows](int row, int) { return (*rows)[row].groupName; };
    r.amounts = [rows](int row) {
        const SvodRow& x = (*rows)[row];
        return QVector<qint64>{x.sum.kopecks(0), x.sum.kopecks(1)};
    };
    r.rowVariables = [rows](TemplateRun& run, int row) {
        const SvodRow& x = (*rows)[row];
        run.putText(QStringLiteral("name"), x.name);
        run.putText(QStringLiteral("ed_izm"), x.edIzm);
        run.putQuantity(QStringLiteral("kolvo"), x.sum.printedQuantity());
        if (x.priced()) {
            run.putPrice(QStringLiteral("cena1"), x.sum.averagePrice(0));
            run.putPrice(QStringLiteral("cena2"), x.sum.averagePrice(1));
        }
        run.putAmount(QStringLiteral("summa1"), 0);
        run.putAmount(QStringLiteral("summa2"), 1);
    };
    // The totals under "ИТОГО:", where the template places them.
    r.end = [](TemplateRun& run, const QVector<qint64>& totals) {
        run.putKopecks(QStringLiteral("sum_all1"), totals.value(0));
        run.putKopecks(QStringLiteral("sum_all2"), totals.value(1));
    };
    return r;
}

} // namespace

StandardReport Build(const engine::Context& ctx, const Options& o)
{
    if (o.svod)
        return buildSvod(ctx, o);
    auto rows = std::make_shared<QVector<Row>>();
    {
        auto q = engine::Reader(ctx, QueryLines(o).join(QLatin1Char('\n')));
        q->open();
        rows->reserve(q->recordCount());
        // ING_SKLAD.* brings a KOD_GROUP of its own first; the groups follow
        // the product's, as the order and the group's name do.
        int groupColumn = -1;
        for (int i = 0; i < q->fieldCount(); ++i)
            if (q->fieldInfo(i).name.compare(QLatin1String("KOD_GROUP"), Qt::CaseInsensitive) == 0)
                groupColumn = i;
        for (q->first(); !q->eof(); q->next()) {
            Row r;
            r.codes[0] = codeText(*q, "KOD_F");
            r.codes[1] = codeText(*q, "KOD_O");
            r.codes[2] = codeText(*q, "KOD_SKLAD");
            r.codes[3] = q->field(groupColumn).isNull() ? QString() : QString::number(q->field(groupColumn).asInt64());
            r.names[0] = q->field(QStringLiteral("NAME_F")).asString();
            r.names[1] = q->field(QStringLiteral("NAME_O")).asString();
            r.names[2] = q->field(QStringLiteral("NAME_S")).asString();
            r.names[3] = q->field(QStringLiteral("NAME_G")).asString();
            r.name = q->field(QStringLiteral("NAME")).asString();
            if (q->field(QStringLiteral("OPEN_CLOSE")).asInt() > 0)
                r.name = QStringLiteral("< Close > ") + r.name;
            r.edIzm = q->field(QStringLiteral("SHORT_NAME")).asString();
            r.kolvo = q->field(QStringLiteral("KOLVO")).asDouble();
            r.cena = q->field(QStringLiteral("CENA")).asDouble();
            r.myCena = q->field(QStringLiteral("MY_CENA")).asDouble();
            rows->append(r);
        }
    }
    const QStringList names = HeaderNames(ctx, o);

    // The levels in use, outermost first: the group always, the warehouse from
    // scope 1, the department from scope 2, the enterprise in scope 3.
    static const GroupLevel all[4] = {
        {QStringLiteral("firma2"), {QStringLiteral("sum_all1_f"), QStringLiteral("sum_all2_f")}, QStringLiteral("n_f")},
        {QStringLiteral("otdel2"), {QStringLiteral("sum_all1_o"), QStringLiteral("sum_all2_o")}, QStringLiteral("n_o")},
        {QStringLiteral("sklad2"), {QStringLiteral("sum_all1_s"), QStringLiteral("sum_all2_s")}, QStringLiteral("n_s")},
        {QStringLiteral("group2"), {QStringLiteral("sum_all1_g"), QStringLiteral("sum_all2_g")}, QStringLiteral("n_g")}};
    const int scope = qBound(0, o.scope, 3);
    const int firstLevel = 3 - scope;

    StandardReport r;
    r.listNo = 2;
    for (int l = firstLevel; l < 4; ++l)
        r.levels.append(all[l]);
    r.rowCount = static_cast<int>(rows->size());
    r.header = [names](TemplateRun& run) { headerVariables(run, names); };
    r.groupCode = [rows, firstLevel](int row, int level) { return (*rows)[row].codes[firstLevel + level]; };
    r.groupName = [rows, firstLevel](int row, int level) { return (*rows)[row].names[firstLevel + level]; };
    // A line's amounts are the ledger's: its stored quantity times each
    // stored price, rounded to kopecks once.
    r.amounts = [rows](int row) {
        const Row& x = (*rows)[row];
        return QVector<qint64>{engine::LineKopecks(x.kolvo, x.cena), engine::LineKopecks(x.kolvo, x.myCena)};
    };
    r.rowVariables = [rows](TemplateRun& run, int row) {
        const Row& x = (*rows)[row];
        run.putText(QStringLiteral("name"), x.name);
        run.putText(QStringLiteral("ed_izm"), x.edIzm);
        run.putQuantity(QStringLiteral("kolvo"), x.kolvo);
        run.putPrice(QStringLiteral("cena1"), x.cena);
        run.putPrice(QStringLiteral("cena2"), x.myCena);
        run.putAmount(QStringLiteral("summa1"), 0);
        run.putAmount(QStringLiteral("summa2"), 1);
    };
    r.end = [](TemplateRun& run, const QVector<qint64>& totals) {
        run.putKopecks(QStringLiteral("sum_all1"), totals.value(0));
        run.putKopecks(QStringLiteral("sum_all2"), totals.value(1));
    };
    return r;
}

} // namespace reports::ostatki
