#include "Kopecks.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
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

long double Hundredths(double amount)
{
    if (std::isfinite(amount) && std::fabs(amount) < 1e16)
        return static_cast<long double>(Units(amount, 2));
    return RoundHalfEven(static_cast<long double>(amount * 100.0));
}

qint64 Kopecks(double amount)
{
    const long double h = Hundredths(amount);
    // Beyond the range of the kopeck count (and for NaN) there is no amount to give.
    if (!(std::fabs(h) < 9.2e18L))
        return 0;
    return static_cast<qint64>(h);
}

namespace {

using Wide = __int128;

constexpr int kSumPlaces = 18;

// 10^n for n from 0 to 38 (the largest a 128-bit count holds).
Wide Pow10(int n)
{
    static const auto table = [] {
        std::array<Wide, 39> t{};
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i)
            t[i] = t[i - 1] * 10;
        return t;
    }();
    return table[static_cast<size_t>(n)];
}

// A double's decimal: digits × 10^exponent, the digits without trailing
// zeros (at most 17 of them). False for NaN and infinities.
bool DecimalOf(double v, Wide& digits, int& exponent)
{
    if (!std::isfinite(v))
        return false;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, v);  // the shortest form that reads back
    *res.ptr = '\0';  // the exponent of "4e-04" is read up to here, not into what the buffer held before
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    Wide d = 0;
    int e = 0;
    bool fraction = false;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            fraction = true;
            continue;
        }
        d = d * 10 + (*p - '0');
        if (fraction)
            --e;
    }
    if (p < res.ptr)
        e += std::atoi(p + 1);
    while (d != 0 && d % 10 == 0) {
        d /= 10;
        ++e;
    }
    digits = negative ? -d : d;
    exponent = d == 0 ? 0 : e;
    return true;
}

// digits × 10^exponent in units of 10^-places: scaled up exactly or cut to
// the even neighbour of an exact half. False when it does not fit `limit`.
bool Scaled(Wide digits, int exponent, int places, Wide limit, Wide& out)
{
    const int shift = exponent + places;
    if (digits == 0) {
        out = 0;
        return true;
    }
    if (shift >= 0) {
        if (shift > 38)
            return false;
        const Wide m = Pow10(shift);
        if ((digits < 0 ? -digits : digits) > limit / m)
            return false;
        out = digits * m;
        return true;
    }
    if (-shift > 38) {
        out = 0;  // far below the last place
        return true;
    }
    const Wide m = Pow10(-shift);
    Wide q = digits / m;
    const Wide rest = digits % m;  // the sign of digits
    const Wide twice = 2 * (rest < 0 ? -rest : rest);
    if (twice > m || (twice == m && (q & 1)))
        q += digits < 0 ? -1 : 1;
    if ((q < 0 ? -q : q) > limit)
        return false;
    out = q;
    return true;
}

constexpr Wide kCountLimit = std::numeric_limits<qint64>::max();
const Wide kSumLimit = Pow10(38);

} // namespace

qint64 Units(double v, int places)
{
    Wide digits = 0;
    int exponent = 0;
    Wide out = 0;
    if (places < 0 || places > kSumPlaces || !DecimalOf(v, digits, exponent) ||
        !Scaled(digits, exponent, places, kCountLimit, out))
        return 0;
    return static_cast<qint64>(out);
}

double Printed(double v)
{
    if (!std::isfinite(v))
        return v;
    return static_cast<double>(Units(v, kPrintedPlaces)) / static_cast<double>(Pow10(kPrintedPlaces));
}

qint64 LineKopecks(double quantity, double price)
{
    Wide q = 0, p = 0, out = 0;
    int eq = 0, ep = 0;
    // Seventeen digits each: the product holds in 128 bits.
    if (!DecimalOf(quantity, q, eq) || !DecimalOf(price, p, ep) || !Scaled(q * p, eq + ep, 2, kCountLimit, out))
        return 0;
    return static_cast<qint64>(out);
}

DecimalSum& DecimalSum::add(double v)
{
    Wide digits = 0, out = 0;
    int exponent = 0;
    if (DecimalOf(v, digits, exponent) && Scaled(digits, exponent, kSumPlaces, kSumLimit, out))
        sum_ += out;
    return *this;
}

DecimalSum& DecimalSum::add(const DecimalSum& other)
{
    sum_ += other.sum_;
    return *this;
}

DecimalSum& DecimalSum::subtract(const DecimalSum& other)
{
    sum_ -= other.sum_;
    return *this;
}

DecimalSum& DecimalSum::addProduct(double a, double b)
{
    Wide da = 0, db = 0, out = 0;
    int ea = 0, eb = 0;
    // Seventeen digits each: the product holds in 128 bits.
    if (DecimalOf(a, da, ea) && DecimalOf(b, db, eb) && Scaled(da * db, ea + eb, kSumPlaces, kSumLimit, out))
        sum_ += out;
    return *this;
}

double DecimalSum::printedOver(const DecimalSum& divisor) const
{
    Wide n = sum_, d = divisor.sum_;
    // The quotient in millionths is n × 10^6 / d: both are brought down
    // together, far below the last place, until n × 10^6 holds in 128 bits.
    const Wide nLimit = Pow10(31);
    while (n > nLimit || n < -nLimit) {
        n /= 10;
        d /= 10;
    }
    if (d == 0)
        return 0;
    const Wide scaled = n * Pow10(kPrintedPlaces);
    Wide q = scaled / d;
    const Wide rest = scaled % d;
    const Wide twice = 2 * (rest < 0 ? -rest : rest);
    const Wide magnitude = d < 0 ? -d : d;
    if (twice > magnitude || (twice == magnitude && (q & 1)))
        q += (scaled < 0) != (d < 0) ? -1 : 1;
    return static_cast<double>(q) / static_cast<double>(Pow10(kPrintedPlaces));
}

double DecimalSum::value(int places) const
{
    return static_cast<double>(units(places)) / static_cast<double>(Pow10(qBound(0, places, kSumPlaces)));
}

qint64 DecimalSum::units(int places) const
{
    Wide out = 0;
    if (places < 0 || places > kSumPlaces || !Scaled(sum_, -kSumPlaces, places, kCountLimit, out))
        return 0;
    return static_cast<qint64>(out);
}

double DecimalSum::printed() const
{
    return value(kPrintedPlaces);
}

SummedRow& SummedRow::add(double quantity, std::initializer_list<double> prices)
{
    // Each figure's decimal is read once: the quantity, its amount and its
    // value at each price come from the same digits, as LineKopecks,
    // DecimalSum::add and addProduct would give them.
    Wide q = 0, out = 0;
    int eq = 0;
    if (!DecimalOf(quantity, q, eq))
        return *this;
    if (Scaled(q, eq, kSumPlaces, kSumLimit, out))
        quantity_.sum_ += out;
    size_t i = 0;
    for (const double price : prices) {
        if (i == kPrices)
            break;
        Wide p = 0;
        int ep = 0;
        if (DecimalOf(price, p, ep)) {
            const Wide product = q * p;
            if (Scaled(product, eq + ep, 2, kCountLimit, out))
                kopecks_[i] += static_cast<qint64>(out);
            if (Scaled(product, eq + ep, kSumPlaces, kSumLimit, out))
                values_[i].sum_ += out;
        }
        ++i;
    }
    return *this;
}

SummedRow& SummedRow::add(const SummedRow& other)
{
    quantity_.add(other.quantity_);
    for (size_t i = 0; i < kPrices; ++i) {
        kopecks_[i] += other.kopecks_[i];
        values_[i].add(other.values_[i]);
    }
    return *this;
}

} // namespace engine
