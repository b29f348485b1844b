#include "Kopecks.h"

#include <cfenv>
#include <cmath>

namespace engine {

long double RoundHalfEven(long double v)
{
    // nearbyintl rounds in the current mode; the program never leaves "to
    // nearest", but a library that does must not change a price.
    const int mode = std::fegetround();
    if (mode == FE_TONEAREST)
        return std::nearbyintl(v);
    std::fesetround(FE_TONEAREST);
    const long double r = std::nearbyintl(v);
    std::fesetround(mode);
    return r;
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
