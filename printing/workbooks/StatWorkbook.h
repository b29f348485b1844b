#pragma once

// Consumption statistics and the supplier order: a two-sheet workbook. The
// first sheet lists every product of the scope with what it used over the
// period, a day's use, its stock and the days that stock lasts; the second
// orders what does not last the chosen number of days, raised by the safety
// percent, each line priced by formula, with the total under the lines.

#include "Frame.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace engine {
struct Context;
}

namespace workbooks {

struct StatOptions {
    bool allFirma = true;
    qint64 firma = 0;      // with allFirma unchecked
    bool allOtdel = true;
    qint64 otdel = 0;      // with allOtdel unchecked
    QDate start;
    QDate end;             // included
    bool local = true;     // internal transfers are not consumption
    bool rawOnly = true;   // only raw products (MY_LEVEL = 0)
    bool okrug = true;     // order quantities to whole units
    bool red = true;       // a negative stock counts as 0 in the order
    int percent = 5;       // safety percent, 0..50
    int days = 7;          // days the order is to cover, 1 or more
};

// The statements, line by line: the issue lines of the period summed by
// product and department, the departments whose lines count, the stock.
QStringList StatConsumptionSql(const StatOptions& o);
QStringList StatDepartmentsSql(const StatOptions& o);
QStringList StatStockSql(const StatOptions& o);

struct StatConsumption {
    qint64 kod = 0;
    QString name;
    double kolvo = 0;
};

struct StatStock {
    qint64 kod = 0;
    QString name;
    QString unit;
    double kolvo = 0;
    double cena = 0;
};

struct StatData {
    std::vector<StatConsumption> consumption;  // of the products listed in stock
    std::vector<StatStock> stock;  // by name
};

StatData ReadStatData(const engine::Context& ctx, const StatOptions& o);

// The cells of both sheets, computed from the data: each row's values from
// column A, an invalid QVariant for a cell left empty.
struct StatSheets {
    std::vector<QVariantList> statRows;  // sheet rows 4, 5, ...
    std::vector<bool> negative;          // per statistics row: stock below 0 (red)
    std::vector<QVariantList> orderRows; // A..E of the order lines
    QStringList orderFormulas;           // F of the order lines
    QString total;                       // the total's formula, empty without lines
};
StatSheets ComputeStat(const StatOptions& o, const StatData& data);

// "?????": days of stock that cannot be told.
QString UnknownDays();

// The formula of an order line's sum in sheet row `row` (from 1): the
// quantity times the price as the sheet shows them, brought to kopecks by the
// papers' one rule, on the decimal, an exact half to the even kopeck (1,5 ×
// 0,35 gives 0,52, where the office's ROUND gives 0,53). A formula, so that a
// quantity the user changes in the order changes its sum and the total.
QString OrderSumFormula(int row);

} // namespace workbooks

namespace workbooks::stat {

using Options = StatOptions;

// Opens a new workbook, reads the data and fills both sheets, then shows it.
// False, with nothing read or made, when the office cannot be reached.
bool Print(const engine::Context& ctx, const Options& options, automation::Office& office,
           const Progress& progress = {});

// The fill alone, on data already read.
bool Write(automation::Office& office, const Options& options, const StatData& data, const Progress& progress = {});

} // namespace workbooks::stat
