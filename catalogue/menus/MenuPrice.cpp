#include "MenuPrice.h"

#include "costing/Rounding.h"
#include "engine/Kopecks.h"

namespace menus {

qint64 RoundHalfEven(long double v) { return static_cast<qint64>(engine::RoundHalfEven(v)); }

namespace {

// The raised price brought to the nearest kopeck only, by the one rule on
// the price's decimal: m x F / 100 (a price of 2.675 raised by nothing is
// 2.68, though 2.675 x 100 in binary falls short of the half).
double ToKopecks(double price, int factor)
{
    return static_cast<double>(engine::LineKopecks(price, static_cast<double>(factor) / 100.0)) / 100.0;
}

} // namespace

std::optional<double> CenaMenu(const MenuLine& line, MenuPriceUse use, bool percentAfterRounding,
                               const PriceRounding& rounding)
{
    const int factor = line.percent + 100;  // F
    const long double f = factor;
    const long double mf = static_cast<long double>(line.price) * f;  // m x F
    const auto roundPrice = [&rounding](long double v) {
        return costing::RoundPriceBy(static_cast<double>(v), rounding.step, rounding.rule);
    };
    const bool handPrice = line.method == 2;
    // Prices that are raised but not brought to the step.
    const bool unrounded = line.noRound == 2 || (line.noRound == 1 && handPrice);

    switch (use) {
    case MenuPriceUse::Chooser:
        return static_cast<double>(mf / 100.0L);
    case MenuPriceUse::Document: {
        const double price = unrounded ? ToKopecks(line.price, factor) : roundPrice(mf / 100.0L);
        return engine::ToKopeck(price);
    }
    case MenuPriceUse::List:
        break;
    }
    if (line.noRound < 0 || line.noRound > 2)
        return std::nullopt;
    // An unrounded price is the raised price to the kopeck whenever the
    // percent is applied: rounding the selling price first would lose up to
    // half a rouble that this mode promises to keep.
    if (unrounded)
        return ToKopecks(line.price, factor);
    if (percentAfterRounding) {
        const double rounded = costing::RoundPriceBy(line.price, rounding.step, rounding.rule);
        return roundPrice(f * static_cast<long double>(rounded) / 100.0L);
    }
    return roundPrice(mf / 100.0L);
}

std::optional<double> CenaMenu(const engine::Context& ctx, const MenuLine& line, MenuPriceUse use)
{
    const engine::Settings& v = ctx.values();
    return CenaMenu(line, use, v.DOiliPOSLE, PriceRounding{v.okrugl1, v.okrugl2});
}

} // namespace menus
