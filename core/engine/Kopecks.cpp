#include "Kopecks.h"

#include <cmath>

namespace engine {

long double RoundHalfEven(long double v)
{
    // Worked out from the whole part and the fraction, both exact whatever the
    // rounding mode, so the floating-point environment is neither asked nor
    // changed (saving and restoring it cost more than the rounding itself).
    if (!(std::fabs(v) < 0x1p63L))
        return v;  // already whole (a long double holds 64 bits of mantissa), or NaN
    const long double whole = std::truncl(v);
    const long double fraction = std::fabs(v - whole);
    const long double away = v < 0 ? whole - 1 : whole + 1;
    if (fraction > 0.5L)
        return away;
    if (fraction < 0.5L)
        return whole;
    return std::fmod(whole, 2.0L) == 0 ? whole : away;
}

qint64 Kopecks(double amount)
{
    const long double h = Hundredths(amount);
    // Beyond the range of the kopeck count (and for NaN) there is no amount to give.
    if (!(std::fabs(h) < 9.2e18L))
        return 0;
    return static_cast<qint64>(h);
}

} // namespace engine
