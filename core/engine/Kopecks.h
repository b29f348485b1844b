#pragma once

#include <QtGlobal>

// Rounding of money to whole kopecks (hundredths of the currency unit), the
// one rule every engine and report uses: the nearest whole number, an exact
// half to the even neighbour.
//
// An amount is a decimal a user typed or a price the program stored, held
// as the nearest double. Its product by 100 is rounded to a double again,
// which gives back the decimal's hundredths where the amount had at most a
// half kopeck more: 2.675 is held as 2.67499999… yet is a half kopeck and
// gives 268 (the even one), 1.115 gives 112, 0.125 gives 12. A product the
// program forms in extended precision itself (a menu's price raised by its
// percentage) is rounded with RoundHalfEven as it stands.
namespace engine {

// v rounded to the nearest whole number, an exact half to the even
// neighbour, whatever the rounding mode of the floating-point environment.
// Exact for any size; NaN and infinities come back as they are.
long double RoundHalfEven(long double v);

// amount × 100 (a double) rounded as above, as a whole number of
// hundredths; for any size of amount (the digits of a huge amount in
// words), NaN and infinities as they are.
inline long double Hundredths(double amount) { return RoundHalfEven(static_cast<long double>(amount * 100.0)); }

// The amount in whole kopecks; 0 for NaN and infinities.
qint64 Kopecks(double amount);

// The amount brought to whole kopecks, in roubles; NaN and infinities as they are.
inline double ToKopeck(double amount) { return static_cast<double>(Hundredths(amount)) / 100.0; }

} // namespace engine
