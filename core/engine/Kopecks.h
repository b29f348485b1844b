#pragma once

#include <QtGlobal>

// Rounding of money to whole kopecks (hundredths of the currency unit), the
// one rule every engine and report uses: the nearest whole number, an exact
// half to the even neighbour.
//
// The product amount × 100 is formed in extended precision, where it is
// exact (a double's 53 bits times 100 fit the 64 bits of the mantissa), so
// the rounding sees the value the double holds rather than a product
// rounded once more to a double: 2.675 is held as 2.67499999… and gives
// 267 kopecks, 1.115 gives 111; 0.125 (an exact half) gives 12.
namespace engine {

// v rounded to the nearest whole number, an exact half to the even
// neighbour, whatever the rounding mode of the floating-point environment.
// Exact for any size; NaN and infinities come back as they are.
long double RoundHalfEven(long double v);

// amount × 100 rounded as above, as a whole number of hundredths; for any
// size of amount (the digits of a huge amount in words), NaN and infinities
// as they are.
inline long double Hundredths(double amount) { return RoundHalfEven(static_cast<long double>(amount) * 100.0L); }

// The amount in whole kopecks; 0 for NaN and infinities.
qint64 Kopecks(double amount);

// The amount brought to whole kopecks, in roubles; NaN and infinities as they are.
inline double ToKopeck(double amount) { return static_cast<double>(Hundredths(amount)) / 100.0; }

} // namespace engine
