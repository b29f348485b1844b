#pragma once

// The stock balance of the department rows (print list 2): one line per row
// with headings and subtotals by enterprise, department, warehouse and
// product group, or one line per product summed over the scope with average
// prices.

#include "TemplateReport.h"

#include <QStringList>

namespace reports::ostatki {

enum Scope { Warehouse = 0, Department = 1, Enterprise = 2, AllEnterprises = 3 };

struct Options {
    int scope = Warehouse;
    qint64 firma = 0;  // the chosen enterprise, department and warehouse
    qint64 otdel = 0;
    qint64 sklad = 0;
    bool noMinus = true;   // leave out negative rows
    bool noZero = true;    // leave out zero rows
    bool noPlus = false;   // leave out positive rows
    bool noHidden = true;  // leave out hidden products (not in the summed report)
    bool svod = false;     // one line per product summed over the scope
};

// The statements, line by line.
QStringList QueryLines(const Options& options);
QStringList SvodQueryLines(const Options& options);

// The header names of the scope: enterprise, department, warehouse.
QStringList HeaderNames(const engine::Context& ctx, const Options& options);

// One line per department row; with `svod`, one line per product summed over
// the scope under its group's heading, and the totals, with no subtotal.
StandardReport Build(const engine::Context& ctx, const Options& options);

} // namespace reports::ostatki
