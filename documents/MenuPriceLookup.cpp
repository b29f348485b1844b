#include "MenuPriceLookup.h"

#include "costing/Rounding.h"
#include "util/Settings.h"

#include <cmath>

namespace {

// To the nearest whole number, an exact half to the even neighbour.
long double roundHalfEven(long double v) { return std::nearbyint(v); }

} // namespace

std::optional<double> ExchangeMenuPrice(const exchange::PriceInputs& in)
{
    const int r = in.noRound.value_or(0);
    const long double m = in.myCena;
    const long double f = in.percent + 100;
    const bool percentAfterRounding = MyParams && MyParams->v.DOiliPOSLE;
    const bool byHand = in.metodCena == 2;

    auto rounded = [&]() -> double {
        if (percentAfterRounding)
            return costing::RoundPrice(static_cast<double>(f * costing::RoundPrice(in.myCena) / 100));
        return costing::RoundPrice(static_cast<double>(m * f / 100));
    };
    // Prices that are not rounded: whole kopecks only.
    auto unrounded = [&]() -> double {
        if (percentAfterRounding)
            return static_cast<double>(roundHalfEven(m) * f / 100);
        return static_cast<double>(roundHalfEven(m * f) / 100);
    };

    switch (r) {
    case 0:
        return rounded();
    case 1:
        return byHand ? unrounded() : rounded();
    case 2:
        return unrounded();
    default:
        return std::nullopt;
    }
}
