#pragma once

// The turnover statement on print lists 3 (by operations, one table row per
// statement row) and 4 (by products, one table row per product).

#include "Turnover.h"
#include "TemplateReport.h"

#include <functional>

namespace reports {

// Called for every printed row of the statement by operations, before its
// variables are placed (the accounting exchange export).
using TurnoverRowSink = std::function<void(const TurnoverRow&)>;

// The statement by operations on list 3, levels enterprise (when all
// enterprises), department (when all departments) and group.
StandardReport BuildOborotkaDoc(const engine::Context& ctx, const TurnoverOptions& o,
                                const TurnoverRowSink& exportRow = {});
// The same on rows already read.
StandardReport OborotkaDocReport(const TurnoverOptions& o, QVector<TurnoverRow> rows,
                                 const TurnoverRowSink& exportRow = {});

// Prints the statement by operations; with an exchange table path, every
// printed row is first appended to that table (created empty beforehand).
// Returns the warning about products without an accounting code, empty when
// every product had one.
QString RunOborotkaDoc(const engine::Context& ctx, automation::Office& office, const QString& cacheFolder,
                       const TurnoverOptions& o, const QString& obmenPath, const Progress& progress = {});

// One product of the statement by products: its statement rows summed.
struct TurnoverProduct {
    const TurnoverRow* last = nullptr;  // the product's last statement row: keys, names, balances
    double inAmount = 0, outAmount = 0, inKolvo = 0, outKolvo = 0;
    // The stock after and before the period, from posted lines whatever
    // the statement's filters: stock now − later receipts + later issues,
    // and that − the period's posted receipts + its posted issues.
    double ostEnd() const;
    double ostStart() const;
};

// The products of the statement in its order; a change of enterprise,
// department, group or product starts a new product.
QVector<TurnoverProduct> SumTurnoverProducts(const QVector<TurnoverRow>& rows);

// The statement by products on list 4, levels as by operations.
StandardReport BuildOborotkaIng(const engine::Context& ctx, const TurnoverOptions& o);
StandardReport OborotkaIngReport(const TurnoverOptions& o, QVector<TurnoverRow> rows);

} // namespace reports
