#pragma once

// The costing card export: an amount list (the full expansion of one product)
// written to a new workbook with one row per node, a quantity x price formula
// per row and the total under them. The workbook is shown, unsaved.

#include "automation/Spreadsheet.h"
#include "costing/AmountList.h"

#include <QString>

namespace workbooks {

// Writes the list from its head; nodes of a negative level give no row. An
// empty list gets the title and captions only, no total.
void ExportKartaExcel(automation::Office& office, costing::AmountList&& list, const QString& title);

} // namespace workbooks
