#pragma once

// The costing card export: an amount list (the full expansion of one product)
// written to a new workbook with one row per node, a quantity x price formula
// per row and the total under them. The workbook is shown, unsaved.

#include "automation/Spreadsheet.h"
#include "costing/AmountList.h"

#include <QString>

namespace engine {
struct Context;
}

namespace workbooks::cardexport {

struct Options {
    qint64 product = 0;   // ING.KOD
    qint64 otdel = 0;     // the department whose cards and prices are used
    int quantity = 0;     // portions
    int priceChoice = 0;  // the department row's CENA_COMPUTE
    QString title;        // the product's name
};

// The product expanded down to raw products, written. Throws
// costing::CardError for a card that cannot be expanded, before the office is
// asked for a workbook.
void Print(const engine::Context& ctx, const Options& options, automation::Office& office);

// Writes the list from its head; nodes of a negative level give no row. An
// empty list gets the title and captions only, no total.
void Write(automation::Office& office, costing::AmountList&& list, const QString& title);

} // namespace workbooks::cardexport
