#include "Rounding.h"


#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace costing {

int RoundingStepKopecks(int stepIndex)
{
    static constexpr int kSteps[] = {10, 50, 100, 500, 1000, 5000};
    if (stepIndex < 0 || stepIndex > 5)
        return 10;
    return kSteps[stepIndex];
}

double RoundPriceBy(double price, int stepIndex, int rule)
{
    if (rule == 3)
        return price;
    // Beyond what 64 bits of kopecks hold (or not a number) there is nothing to round.
    if (!std::isfinite(price) || std::fabs(price) >= 9.0e16)
        return price;
    const std::int64_t step = RoundingStepKopecks(stepIndex);
    // A price such as 1.15 is stored as 1.149999..., and 1.15 * 100 as 114.99999999999999.
    // A product that lies within its representation error of a whole kopeck (a
    // millionth of a kopeck, or two units of the last place for large prices) is
    // that kopeck; a real fraction (12.375 -> 1237.5) is still dropped.
    const double kopecks = price * 100.0;
    const double whole = std::round(kopecks);
    const double tolerance =
        std::max(1e-6, std::fabs(kopecks) * 2 * std::numeric_limits<double>::epsilon());
    std::int64_t c = static_cast<std::int64_t>(std::fabs(kopecks - whole) <= tolerance ? whole : kopecks);
    const std::int64_t r = c % step;  // takes the sign of c
    if (rule == 0) {
        if (r > step / 2)
            c += step;
    } else if (rule == 1) {
        if (r != 0)
            c += step;
    }
    return static_cast<double>(c - r) / 100.0;
}

double RoundPrice(const engine::Context& ctx, double price)
{
    const engine::Settings& v = ctx.values();
    return RoundPriceBy(price, v.okrugl1, v.okrugl2);
}

} // namespace costing
