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

// A quantity as the papers print it: to thousandths by the same rule (an
// exact half to the even neighbour); NaN and infinities as they are.
double ToThousandth(double quantity);

// The amount of a line in whole kopecks: its quantity to thousandths times
// its price in kopecks, the exact product brought to kopecks by the rule
// above (0.5 × 20.25 is 10.125 and gives 1012). So a printed line's sum is
// its printed quantity times its printed price. 0 when either is not a number.
qint64 LineKopecks(double quantity, double price);

} // namespace engine
