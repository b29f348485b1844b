#pragma once

// How a department row's prices follow from what its product costs. The stock
// row dialog shows them, its save stores them and the recomputation writes
// them through these functions alone, so the three never part.
#include "engine/Context.h"

#include <optional>

namespace costing {

// The cost of one unit of a row's product from the priced sum of its raw
// products for quantity 1: a composite's card adds the card's markup; a raw
// product has no card and costs its own price (its row's markup alone makes
// its selling price, as the server's posting makes it).
double RowCost(int myLevel, double rawSum, int percentPlus);

// The prices a method gives for a cost and the row's markup.
struct MethodPrices {
    double calculated = 0;  // cost with the markup
    double selling = 0;     // by the method: 0 rounded by the settings, 2 the stored selling
                            // price (the calculated one while none is stored), any other as calculated
};
// Rounding by the settings of the context.
MethodPrices PricesByMethod(const engine::Context& ctx, double cost, int percent, int metod, double storedMyCena);

// The markup of a selling price over the stock price in percent; none for a stock price of 0.
std::optional<double> MarkupOverStock(double selling, double cost);

} // namespace costing
