#pragma once

// Selling prices brought to the rounding step by the rounding rule of the
// settings (okrugl1, okrugl2). The server has its own version of this rule in
// the stored procedure MY_ROUND, which also applies the row's markup.
#include "engine/Context.h"

namespace costing {

// The step in kopecks for the okrugl1 index: 10, 50, 100, 500, 1000 or 5000;
// any other index gives 10.
int RoundingStepKopecks(int stepIndex);

// Rounds a price in roubles on whole kopecks: the kopecks are truncated, then
// brought to the step by the rule (0 to the nearest, an exact half going down;
// 1 up; 2 and any other index down; 3 the price unchanged).
double RoundPriceBy(double price, int stepIndex, int rule);

// RoundPriceBy with the step and the rule the context's settings hold at this moment.
double RoundPrice(const engine::Context& ctx, double price);

} // namespace costing
