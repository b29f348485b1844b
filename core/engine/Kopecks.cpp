#include "Kopecks.h"

#include <cmath>
#include <limits>

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

double ToThousandth(double quantity)
{
    return static_cast<double>(RoundHalfEven(static_cast<long double>(quantity * 1000.0))) / 1000.0;
}

qint64 LineKopecks(double quantity, double price)
{
    const long double q = RoundHalfEven(static_cast<long double>(quantity * 1000.0));
    if (!(std::fabs(q) < 9.2e18L))
        return 0;
    // Thousandths of a unit times kopecks: hundred-thousandths of the
    // currency, exact in 128 bits; three digits are dropped to the even kopeck.
    const __int128 p = static_cast<__int128>(static_cast<qint64>(q)) * Kopecks(price);
    __int128 k = p / 1000;
    const __int128 rest = p % 1000;  // the sign of p
    if (rest > 500 || (rest == 500 && (k & 1)))
        ++k;
    else if (rest < -500 || (rest == -500 && (k & 1)))
        --k;
    if (k > std::numeric_limits<qint64>::max() || k < std::numeric_limits<qint64>::min())
        return 0;
    return static_cast<qint64>(k);
}

} // namespace engine
