#pragma once

// The turnover statement on print lists 3 (by operations, one table row per
// statement row) and 4 (by products, one table row per product).

#include "Turnover.h"
#include "TemplateReport.h"

#include <functional>

namespace exchange::obmen {
class Export;
}

namespace reports {

// One product of the statement by products: its statement rows into stock
// and out of it summed, the amounts the sums of its rows' amounts.
struct TurnoverProduct {
    const TurnoverRow* last = nullptr;  // the product's last statement row: keys, names, balances
    engine::SummedRow in, out;
    // The stock after and before the period as printed, from posted lines
    // whatever the statement's filters: stock now − later receipts + later
    // issues, and that − the period's posted receipts + its posted issues.
    double ostEnd() const;
    double ostStart() const;
};

// The products of the statement in its order; a change of enterprise,
// department, group or product starts a new product.
QVector<TurnoverProduct> SumTurnoverProducts(const QVector<TurnoverRow>& rows);

} // namespace reports

namespace reports::turnover {

using Options = TurnoverOptions;

// Called for every printed row of the statement by operations, before its
// variables are placed (the accounting exchange export).
using RowSink = std::function<void(const TurnoverRow&)>;

// The statement on rows already read: by products on list 4 when
// `shortForm`, otherwise by operations on list 3 (without balances), each
// with the levels enterprise (when all enterprises), department (when all
// departments) and group. `exportRow` serves the statement by operations.
StandardReport Report(const Options& o, QVector<TurnoverRow> rows, const RowSink& exportRow = {});

// Reads the statement's rows and builds it; `exchange`, when given, receives
// one record per printed row of the statement by operations before the row's
// variables are placed, and must outlive the run.
StandardReport Build(const engine::Context& ctx, const Options& o, exchange::obmen::Export* exchange = nullptr);

} // namespace reports::turnover
