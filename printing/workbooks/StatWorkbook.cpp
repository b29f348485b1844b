#include "StatWorkbook.h"

#include "engine/Kopecks.h"
#include "engine/Settled.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <unordered_map>
#include <unordered_set>

namespace workbooks {

using automation::CellAddress;
using automation::RangeAddress;

namespace {

constexpr int kStat = 0;
constexpr int kOrder = 1;
constexpr int kFirstRow = 3;  // sheet row 4: rows 1 to 3 hold the titles and captions
constexpr int kBlockRows = 500;
constexpr int kNumberWidth = 750;  // the line numbers' column while they have three digits

QString dmy(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

} // namespace

QString UnknownDays() { return QStringLiteral("?????"); }

QString OrderSumFormula(int row)
{
    // c: the sum's kopecks as a decimal, the product's binary residue rounded
    // off far below them (the quantity and the price have at most six
    // decimals each). An exact half, c mod 2 = 0.5, goes down to the even
    // kopeck; 1.5 is rounded up to it, and anything else to the nearest.
    const QString product = QStringLiteral("D%1*E%1").arg(row);
    const QString c = QStringLiteral("ROUND(ABS(%1)*100;9)").arg(product);
    return QStringLiteral("=SIGN(%1)*IF(MOD(%2;2)=0.5;%2-0.5;ROUND(%2;0))/100").arg(product, c);
}

QStringList StatConsumptionSql(const StatOptions& o)
{
    // One pass over the period's documents and their issue lines, summed by
    // product and department; which departments count (those of an existing
    // enterprise, the chosen one's) is told by StatDepartmentsSql. A chosen
    // department is tested on the lines found ("+ 0": its index would be
    // looked through once per document).
    QStringList sql{QStringLiteral("SELECT MOVES.KOD_ING, MOVES.KOD_OTDEL, SUM(MOVES.KOLVO) AS KOLVO FROM DOCS"),
                    QStringLiteral("JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD"),
                    QStringLiteral("WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE")};
    if (!o.allOtdel)
        sql << QStringLiteral("AND MOVES.KOD_OTDEL + 0 = ") + QString::number(o.otdel);
    if (o.local)
        sql << QStringLiteral("AND DOCS.DOC_TYPE <> 4");
    sql << QStringLiteral("AND MOVES.TYPE_MOVES = 2") << QStringLiteral("GROUP BY 1, 2");
    return sql;
}

QStringList StatDepartmentsSql(const StatOptions& o)
{
    QStringList sql{QStringLiteral("SELECT OTDEL.KOD FROM OTDEL JOIN FIRMA ON FIRMA.KOD = OTDEL.KOD_FIRMA")};
    if (!o.allFirma)
        sql << QStringLiteral("WHERE FIRMA.KOD = ") + QString::number(o.firma);
    if (!o.allOtdel)
        sql << (o.allFirma ? QStringLiteral("WHERE") : QStringLiteral("AND")) + QStringLiteral(" OTDEL.KOD = ") +
                   QString::number(o.otdel);
    return sql;
}

QStringList StatStockSql(const StatOptions& o)
{
    QStringList sql{QStringLiteral("SELECT ING.KOD, ING.NAME, ED_IZM.SHORT_NAME, SUM(ING_SKLAD.KOLVO) AS KOLVO, "
                                   "AVG(ING_SKLAD.CENA) AS CENA FROM ING"),
                    QStringLiteral("JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM"),
                    QStringLiteral("JOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD")};
    bool where = false;
    const auto condition = [&](const QString& text) {
        sql << (where ? QStringLiteral("AND") : QStringLiteral("WHERE")) << text;
        where = true;
    };
    if (!o.allFirma) {
        sql << QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = ") + QString::number(o.firma);
        where = true;
    }
    if (!o.allOtdel)
        condition(QStringLiteral("ING_SKLAD.KOD_OTDEL = ") + QString::number(o.otdel));
    // The box reads "only raw products": ticked, the list holds raw products only.
    if (o.rawOnly)
        condition(QStringLiteral("ING.MY_LEVEL = 0"));
    sql << QStringLiteral("GROUP BY ING.NAME, ING.KOD, ED_IZM.SHORT_NAME") << QStringLiteral("ORDER BY ING.NAME");
    return sql;
}

StatData ReadStatData(const engine::Context& ctx, const StatOptions& o)
{
    StatData data;
    auto q = engine::Reader(ctx, StatStockSql(o).join(QLatin1Char('\n')));
    q->stream([&data](const db::RowView& r) {
        data.stock.push_back({r.asInt64(0), r.asString(1), r.asString(2), r.asDouble(3), r.asDouble(4)});
    });
    // The consumption of the products listed, in the departments that count.
    std::unordered_map<qint64, size_t> listed;  // product -> its consumption entry
    listed.reserve(data.stock.size());
    std::unordered_set<qint64> departments;
    q->setSql(StatDepartmentsSql(o).join(QLatin1Char('\n')));
    q->stream([&departments](const db::RowView& r) { departments.insert(r.asInt64(0)); });
    q->setSql(StatConsumptionSql(o).join(QLatin1Char('\n')));
    q->param(QStringLiteral("DS")).setValue(o.start);
    q->param(QStringLiteral("DE")).setValue(o.end);
    std::unordered_map<qint64, const StatStock*> stock;
    stock.reserve(data.stock.size());
    for (const StatStock& s : data.stock)
        stock.emplace(s.kod, &s);
    q->stream([&](const db::RowView& r) {
        if (r.isNull(1) || !departments.count(r.asInt64(1)))
            return;
        const qint64 kod = r.asInt64(0);
        const auto s = stock.find(kod);
        if (s == stock.end())
            return;
        const auto [at, added] = listed.try_emplace(kod, data.consumption.size());
        if (added)
            data.consumption.push_back({kod, s->second->name, 0});
        data.consumption[at->second].kolvo += r.asDouble(2);
    });
    return data;
}

StatSheets ComputeStat(const StatOptions& o, const StatData& data)
{
    StatSheets out;
    // Each stock row finds its consumption by key; the first row of a key counts.
    std::unordered_map<qint64, double> used;
    used.reserve(data.consumption.size());
    for (const StatConsumption& c : data.consumption)
        used.emplace(c.kod, c.kolvo);

    const double periodDays = static_cast<double>(o.start.daysTo(o.end) + 1);
    out.statRows.reserve(data.stock.size());
    for (size_t i = 0; i < data.stock.size(); ++i) {
        const StatStock& s = data.stock[i];
        const double stock = engine::Settled(s.kolvo);
        const QString name = automation::OneLine(s.name);
        const QString unit = automation::OneLine(s.unit);
        // Quantities go in as the papers print them, to at most six decimals
        // by the one rule (the office would round a half the other way); the
        // days and the order are worked out from the exact figures.
        QVariantList row{static_cast<double>(i + 1), name, unit, QVariant(), QVariant(), engine::Printed(stock),
                         QVariant()};
        const bool negative = stock < 0;
        const auto found = used.find(s.kod);
        if (found != used.end()) {
            const double consumption = engine::Settled(found->second);
            const double daily = consumption / periodDays;
            double counted = stock;
            if (negative) {
                counted = o.red ? 0 : stock;
                row[6] = UnknownDays();
            } else {
                // Nothing used in the period: the days cannot be told.
                row[6] = daily != 0 ? QVariant(stock / daily) : QVariant(UnknownDays());
            }
            const double need = o.days * daily;
            if (need > counted) {
                double quantity = (need - counted) * (o.percent + 100) / 100;
                if (o.okrug)
                    quantity = std::floor(quantity) + 1;
                const int r2 = kFirstRow + static_cast<int>(out.orderRows.size()) + 1;  // sheet row
                // The quantity and the price as the sheet shows them; each sum
                // in kopecks, so the total adds up the sums as shown.
                out.orderRows.push_back({static_cast<double>(out.orderRows.size() + 1), name, unit,
                                         engine::Printed(quantity), engine::Printed(s.cena)});
                out.orderFormulas << OrderSumFormula(r2);
            }
            row[3] = engine::Printed(consumption);
            row[4] = engine::Printed(daily);
        } else if (negative) {
            row[6] = UnknownDays();
        }
        out.statRows.push_back(row);
        out.negative.push_back(negative);
    }
    if (!out.orderRows.empty())
        out.total = QStringLiteral("=SUM(F4:F%1)").arg(kFirstRow + static_cast<int>(out.orderRows.size()));
    return out;
}

namespace {

QString orderTitle(const StatOptions& o)
{
    return QStringLiteral("Заявка на поставку продуктов для обеспечения склада на ") + QString::number(o.days) +
           QStringLiteral(" дней.");
}

// The sheets' names, titles, captions and widths.
void openingFrame(automation::Document& d, const StatOptions& o)
{
    d.setSheetName(kStat, QStringLiteral("Статистика потребления"));
    d.setSheetName(kOrder, QStringLiteral("Заявка поставщикам"));
    // The captions wrap between words only: "Остаток", "Ед.изм." fit a line.
    // A number column holds 999 999 999,99 in the sheet's 12-point type (the
    // order's prices and sums are in the office's 10-point one); the
    // statistics' four of them go across the page.
    d.setColumnWidths(kStat, 0, {kNumberWidth, 9000, 1900, 3300, 3300, 3300, 3300});
    d.setColumnWidths(kOrder, 0, {kNumberWidth, 7500, 1800, 3300, 2800, 2800});
    d.setString({kOrder, 0, 0}, orderTitle(o));
    d.setString({kStat, 0, 0}, QStringLiteral("Среднесуточное потребление продуктов"));
    d.setString({kStat, 0, 1}, QStringLiteral("за период с ") + dmy(o.start) + QStringLiteral(" по ") + dmy(o.end));
    d.setBlockValues({kStat, 0, 2}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование ингредиента"),
                                                  QStringLiteral("Ед.изм."), QStringLiteral("Всего"),
                                                  QStringLiteral("За сутки"), QStringLiteral("Остаток на складе"),
                                                  QStringLiteral("На сколько дней запас")}});
    d.setBlockValues({kOrder, 0, 2}, {QVariantList{QStringLiteral("№"), QStringLiteral("Наименование ингредиента"),
                                                   QStringLiteral("Ед.изм."), QStringLiteral("Всего"),
                                                   QStringLiteral("Цена"), QStringLiteral("Сумма")}});
}

// Fonts, number formats and alignment of the columns down to their last
// rows, the merged titles and the wrapped captions; then the frames.
void closingFrame(automation::Document& d, int statLast, int orderLast, int orderBorderLast)
{
    const automation::Font body{QStringLiteral("Times New Roman"), 12};
    automation::Font title = body;
    title.height = 16;
    title.weight = automation::kWeightBold;
    d.setFont({kStat, 0, 0, 6, statLast}, body);
    d.setFont({kOrder, 0, 0, 3, orderLast}, body);
    d.setFont({kStat, 0, 0, 6, 1}, title);
    if (statLast > kFirstRow - 1) {
        d.setNumberFormat({kStat, 3, kFirstRow, 5, statLast}, automation::kQuantityFormat);
        d.setNumberFormat({kStat, 6, kFirstRow, 6, statLast}, QStringLiteral("0,#"));
    }
    if (orderLast > kFirstRow - 1) {
        d.setNumberFormat({kOrder, 3, kFirstRow, 3, orderLast}, automation::kQuantityFormat);
        d.setNumberFormat({kOrder, 4, kFirstRow, 4, orderLast}, automation::kPriceFormat);
        d.setNumberFormat({kOrder, 5, kFirstRow, 5, orderLast}, QStringLiteral("0,00"));
    }
    d.setVertJustify({kStat, 0, 0, 6, 2}, 2);
    d.setHoriJustify({kStat, 0, 0, 6, 2}, 2);
    d.merge({kStat, 0, 0, 6, 0});
    d.merge({kStat, 0, 1, 6, 1});
    d.setWrapped({kStat, 0, 2, 6, 2}, true);
    // A long product name wraps in its column instead of being cut.
    if (statLast >= kFirstRow)
        d.setWrapped({kStat, 1, kFirstRow, 1, statLast}, true);
    if (orderBorderLast >= kFirstRow)
        d.setWrapped({kOrder, 1, kFirstRow, 1, orderBorderLast}, true);
    const automation::TableBorder frame = ThinFrame();
    d.setTableBorder({kStat, 0, 2, 6, statLast}, frame);
    d.setTableBorder({kOrder, 0, 2, 5, orderBorderLast}, frame);
}

// The pages: margins, and the statistics across the page. Set last: once a
// sheet has a page style of its own, the office counts its pages again on
// every change made after it.
void pages(automation::Document& d)
{
    d.setPageMargins(kStat, {PointsToHmm(15), PointsToHmm(10)});
    d.setPageMargins(kOrder, {PointsToHmm(45), PointsToHmm(10)});
    d.setLandscape(kStat);
}

// `sheets` gives the cells once the frame is laid out: the data may still be on its way.
void fill(automation::Document& doc, const StatOptions& o, const std::function<StatSheets()>& sheets,
          const Progress& progress)
{
    Locked locked(doc);
    openingFrame(doc, o);
    const StatSheets s = sheets();
    // The numbers of a thousand lines and more need a wider first column.
    for (const auto& [sheet, rows] : {std::pair{kStat, s.statRows.size()}, std::pair{kOrder, s.orderRows.size()}})
        if (NumberColumnWidth(kNumberWidth, rows) != kNumberWidth)
            doc.setColumnWidth(sheet, 0, NumberColumnWidth(kNumberWidth, rows));
    // The rows go in blocks, an empty cell written as no value.
    const auto blocks = [&](int sheet, const std::vector<QVariantList>& rows, bool report) {
        for (size_t first = 0; first < rows.size(); first += kBlockRows) {
            const size_t last = std::min(rows.size(), first + kBlockRows);
            doc.setBlockValues({sheet, 0, kFirstRow + static_cast<int>(first)},
                               QList<QVariantList>(rows.begin() + static_cast<std::ptrdiff_t>(first),
                                                   rows.begin() + static_cast<std::ptrdiff_t>(last)));
            if (report && progress.step)
                progress.step(static_cast<int>(last));
        }
    };
    blocks(kStat, s.statRows, true);
    blocks(kOrder, s.orderRows, false);
    if (!s.orderFormulas.isEmpty()) {
        QList<QStringList> column;
        column.reserve(s.orderFormulas.size());
        for (const QString& f : s.orderFormulas)
            column.append(QStringList{f});
        doc.setBlockFormulas({kOrder, 5, kFirstRow}, column);
        doc.setFormula({kOrder, 5, kFirstRow + static_cast<int>(s.orderRows.size())}, s.total);
    }
    // A negative stock in red, consecutive rows as one range, all in one call.
    QList<RangeAddress> red;
    for (size_t i = 0; i < s.negative.size();) {
        if (!s.negative[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < s.negative.size() && s.negative[j + 1])
            ++j;
        red.append({kStat, 5, kFirstRow + static_cast<int>(i), 5, kFirstRow + static_cast<int>(j)});
        i = j + 1;
    }
    if (!red.isEmpty())
        doc.setCharColor(red, 0xFF0000);
    const int statLast = kFirstRow - 1 + static_cast<int>(s.statRows.size());
    const int orderBorderLast = kFirstRow - 1 + static_cast<int>(s.orderRows.size());
    const int orderLast = s.orderRows.empty() ? orderBorderLast : orderBorderLast + 1;  // the total under the lines
    closingFrame(doc, statLast, orderLast, orderBorderLast);
    pages(doc);
    if (progress.step)
        progress.step(static_cast<int>(s.statRows.size()));
}

// Fills the workbook from the data `read` gives and fits the wrapped
// captions' row to all their lines. The progress window shows once the data
// is there: its events are not to run while the data is read beside.
void fillAll(automation::Document& doc, const StatOptions& o, const std::function<const StatData&()>& read,
             const Progress& progress)
{
    fill(
        doc, o,
        [&] {
            const StatData& data = read();
            if (progress.start)
                progress.start(static_cast<int>(data.stock.size()));
            return ComputeStat(o, data);
        },
        progress);
    // The titles in their larger font, and the wrapped captions, a row at a
    // time: fitted together, the office leaves the second merged title at
    // the height of one line of the body's type.
    for (int row = 0; row <= 2; ++row)
        doc.fitRowHeights(kStat, row, row);
}

} // namespace

bool stat::Print(const engine::Context& ctx, const Options& o, automation::Office& office, const Progress& progress)
{
    // The workbook first: without the office nothing is read. The data is
    // then read beside, while the office lays out the frame; nothing else
    // uses the database meanwhile.
    return FillAndShow(
        office,
        [&](automation::Document& doc) {
            std::future<StatData> reading = std::async(std::launch::async, [&] { return ReadStatData(ctx, o); });
            StatData data;
            fillAll(
                doc, o,
                [&]() -> const StatData& {
                    data = reading.get();
                    return data;
                },
                progress);
        },
        2);
}

bool stat::Write(automation::Office& office, const Options& o, const StatData& data, const Progress& progress)
{
    return FillAndShow(
        office, [&](automation::Document& doc) { fillAll(doc, o, [&]() -> const StatData& { return data; }, progress); },
        2);
}

} // namespace workbooks
