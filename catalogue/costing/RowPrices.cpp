#include "RowPrices.h"

#include "Rounding.h"

namespace costing {

double RowCost(int myLevel, double rawSum, int percentPlus)
{
    return myLevel > 0 ? rawSum * (100 + percentPlus) / 100 : rawSum;
}

MethodPrices PricesByMethod(const engine::Context& ctx, double cost, int percent, int metod, double storedMyCena)
{
    MethodPrices p;
    p.calculated = cost * (100 + percent) / 100;
    if (metod == 0)
        p.selling = RoundPrice(ctx, p.calculated);
    else if (metod == 2 && storedMyCena != 0)
        p.selling = storedMyCena;
    else
        p.selling = p.calculated;
    return p;
}

std::optional<double> MarkupOverStock(double selling, double cost)
{
    if (cost == 0)
        return std::nullopt;
    return selling * 100 / cost - 100;
}

} // namespace costing
