#pragma once

#include "PrintedPlaces.h"

#include <QtGlobal>

#include <array>
#include <initializer_list>

// Rounding of money to whole kopecks (hundredths of the currency unit), the
// one rule every engine and report uses: the nearest whole number, an exact
// half to the even neighbour.
//
// An amount is a decimal a user typed or a price the program stored, held
// as the nearest double, and is rounded as that decimal (the shortest that
// reads back as the same double, see Units below): 2.675 is held as
// 2.67499999… yet is a half kopeck and gives 268 (the even one), 1.015
// gives 102, 1.115 gives 112, 0.125 gives 12. A product the program forms
// in extended precision itself (a menu's price raised by its percentage) is
// rounded with RoundHalfEven as it stands.
namespace engine {

// v rounded to the nearest whole number, an exact half to the even
// neighbour, whatever the rounding mode of the floating-point environment.
// Exact for any size; NaN and infinities come back as they are.
long double RoundHalfEven(long double v);

// The amount in whole hundredths, rounded as above; for any size of amount
// (beyond 10^16 the double's own hundredths: the digits of a huge amount in
// words), NaN and infinities as they are.
long double Hundredths(double amount);

// The amount in whole kopecks; 0 for NaN and infinities.
qint64 Kopecks(double amount);

// The amount brought to whole kopecks, in roubles; NaN and infinities as they are.
inline double ToKopeck(double amount) { return static_cast<double>(Hundredths(amount)) / 100.0; }

// Figures as the papers print them. A stored figure (a double) is read as
// the decimal it stands for: the shortest decimal that reads back as the
// same double, so 0.335 is 0.335 and 0.1 + 0.2 is 0.30000000000000004.
// Sums of such figures are made in that decimal, never on the binary residue.

// Prices and quantities print with the decimals they have, up to six
// (kPrintedPlaces); a price the program derives (a typed sum over its
// quantity, an average) is that decimal to six places, so it prints as it
// stands.

// v on its decimal in whole units of 10^-places (places 0 to 18), an exact
// half to the even neighbour; 0 for NaN, infinities and what the count
// cannot hold.
qint64 Units(double v, int places);

// A quantity or a price as the papers print it: on its decimal, to at most
// six decimals by the rule above (0.36749999999999994 gives 0.3675,
// 3.3333333333 gives 3.333333).
double Printed(double v);

// The amount of a line in whole kopecks: the stored quantity times the
// stored price (each its decimal) multiplied exactly and brought to kopecks
// once by the rule above: 2,000 × 0.335 gives 67000, 3 × 0.005 gives 2,
// 10 × 2.675 gives 2675, 0.0357 × 30 gives 107. Nothing is rounded before
// the multiplication. 0 when either is not a number or the amount does not
// fit the count.
qint64 LineKopecks(double quantity, double price);

// A sum of stored figures made in their decimals (to 10^-18): the
// quantities of several lines summed into one printed row (SummedRow), a
// stock row's parts. add() takes NaN and infinities as 0.
class DecimalSum {
public:
    DecimalSum& add(double v);
    DecimalSum& add(const DecimalSum& other);
    DecimalSum& subtract(const DecimalSum& other);
    // Adds a × b, multiplied exactly on their decimals (to 10^-18, an exact
    // half to the even neighbour); nothing for NaN and infinities.
    DecimalSum& addProduct(double a, double b);
    // The sum in whole units of 10^-places, as Units() rounds.
    qint64 units(int places) const;
    // The sum to `places` decimals (0 to 18), as units() gives it.
    double value(int places) const;
    // The sum to at most six decimals, as Printed() gives it.
    double printed() const;
    // This sum over `divisor`, to six decimals by the rule above
    // (10 over 3 gives 3.333333); 0 when the divisor is 0.
    double printedOver(const DecimalSum& divisor) const;

private:
    friend class SummedRow;
    __int128 sum_ = 0;  // units of 10^-18
};

// A printed row that stands for several stored lines (a statement's row of
// one product at one price, a product's stock summed over its rows): their
// quantities summed in decimal, and at each of the row's prices (at most
// two: a stock price and a selling price) the sum of the lines' amounts,
// each its LineKopecks, so the row prints what its lines add up to on every
// paper. Every report that sums lines into a row takes it.
class SummedRow {
public:
    static constexpr int kPrices = 2;

    // One line: its stored quantity at the row's prices, in their order.
    SummedRow& add(double quantity, std::initializer_list<double> prices);
    // The lines of another row.
    SummedRow& add(const SummedRow& other);

    const DecimalSum& quantity() const { return quantity_; }
    // The quantity as the papers print it, to at most six decimals.
    double printedQuantity() const { return quantity_.printed(); }
    // The sum of the lines' amounts at the price, in kopecks.
    qint64 kopecks(int price = 0) const { return kopecks_[static_cast<size_t>(price)]; }
    // The lines' average price: the sum of their quantities times the price
    // over the sum of their quantities, in decimal, to six places; the price
    // itself where the lines have one; 0 where the quantities sum to 0.
    double averagePrice(int price = 0) const { return values_[static_cast<size_t>(price)].printedOver(quantity_); }

private:
    DecimalSum quantity_;
    std::array<qint64, kPrices> kopecks_{};
    std::array<DecimalSum, kPrices> values_{};  // quantity × price, summed
};

} // namespace engine
