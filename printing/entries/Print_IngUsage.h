#pragma once

#include <QtGlobal>

namespace printing {

// The where-used workbook of the product: the dishes whose cards hold it
// (name, portions, unit, quantity). Hides Form_Gauge at the end.
void Print_IngUsage(qint64 ing);

} // namespace printing
