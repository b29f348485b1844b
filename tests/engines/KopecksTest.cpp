// The kopeck rule and the money texts that follow it: every place that
// brings money to kopecks agrees on the values where a product rounded to a
// double and the exact product part ways (the decimal's half kopeck wins).

#include "direct/Sheet.h"
#include "engine/Kopecks.h"
#include "reports/CostingCard.h"
#include "reports/MenuReport.h"
#include "templates/TemplateEngine.h"
#include "words/AmountInWords.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(Kopecks, HalvesOfTheDecimalGoToTheEvenKopeck)
{
    struct Case {
        double amount;
        qint64 kopecks;
    };
    const Case cases[] = {
        {0.125, 12},    {0.375, 38},   {-0.125, -12}, {2.5, 250},    {12.05, 1205}, {19.99, 1999},
        {1.15, 115},    {8.2, 820},    {0.29, 29},    {-0.001, 0},   {0, 0},
        // Decimal halves held just below the half: still a half kopeck,
        // however far below it their product by 100 stays.
        {2.675, 268},   {1.115, 112},  {2.665, 266},
        {1.015, 102},   {1.005, 100},  {0.545, 54},   {1.225, 122},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(engine::Kopecks(c.amount), c.kopecks);
        EXPECT_EQ(engine::ToKopeck(c.amount), static_cast<double>(c.kopecks) / 100.0);

        // The money texts of the reports and the direct print take the same kopecks.
        const qint64 a = c.kopecks < 0 ? -c.kopecks : c.kopecks;
        const QString sign = c.kopecks < 0 ? QStringLiteral("-") : QString();
        const QString kop2 = QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(reports::CardMoneyText(c.amount, QStringLiteral("р."), QStringLiteral("к.")),
                  sign + QString::number(a / 100) + QStringLiteral("р. ") + QString::number(a % 100) + QStringLiteral("к."));
        EXPECT_EQ(reports::MenuMoneyText(c.amount, QStringLiteral("р."), QStringLiteral("к.")),
                  sign + QString::number(a / 100) + QStringLiteral("р. ") + kop2 + QStringLiteral("к."));
        if (c.kopecks >= 0) {
            EXPECT_TRUE(direct::PriceText(c.amount).endsWith(kop2 + QStringLiteral("к")));
        }
        R_Field f;
        f.Typ = templates::KindFloat;
        f.F = c.amount;
        EXPECT_EQ(templates::ValueText(f), (sign + QString::number(a / 100) + QLatin1Char(',') + kop2));
        words::MoneyNames names;
        names.kop = QStringLiteral("к.");
        EXPECT_TRUE(words::AmountInWords(c.amount, names).endsWith(QString::number(a % 100) + QStringLiteral("к.")));
    }
}

TEST(Kopecks, WholeNumbersHugeAmountsAndTheRoundingMode)
{
    EXPECT_EQ(engine::RoundHalfEven(250.5L), 250.0L);
    EXPECT_EQ(engine::RoundHalfEven(251.5L), 252.0L);
    // Far beyond a 64-bit count of kopecks: still whole hundredths.
    EXPECT_EQ(engine::Hundredths(1e17), 1e19L);
    EXPECT_EQ(engine::Kopecks(1e17), 0);
    EXPECT_EQ(engine::Kopecks(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(engine::Kopecks(std::numeric_limits<double>::infinity()), 0);
    EXPECT_TRUE(std::isnan(engine::ToKopeck(std::numeric_limits<double>::quiet_NaN())));

    // A library that leaves another rounding mode behind changes no price.
    const int mode = std::fegetround();
    std::fesetround(FE_UPWARD);
    const qint64 up = engine::Kopecks(0.125);
    const qint64 down = engine::Kopecks(0.374);
    std::fesetround(FE_DOWNWARD);
    const qint64 half = engine::Kopecks(0.375);
    std::fesetround(mode);
    EXPECT_EQ(up, 12);
    EXPECT_EQ(down, 37);
    EXPECT_EQ(half, 38);
}

// Whole numbers, halves and near-halves of every size, positive and
// negative, in every rounding mode: the same as the "to nearest" rounding of
// the library, sign of zero included.
TEST(Kopecks, RoundHalfEvenAsTheLibraryRoundsToNearest)
{
    std::vector<long double> values{0.0L, -0.0L, 0.5L, -0.5L, 1.5L, -1.5L, 2.5L, 0.49999999999999999L,
                                    0x1p62L + 0.5L, -(0x1p62L + 1.5L), 0x1p63L, -0x1p63L - 2, 0x1p64L,
                                    1e300L, -1e-300L, 12.375L * 100, 142.633867L * 100};
    quint64 state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 11;
    };
    for (int i = 0; i < 2000; ++i) {
        const long double whole = static_cast<long double>(next() % 2000000) - 1000000;
        const int kind = static_cast<int>(next() % 4);
        const long double step = kind == 0 ? 0.5L : kind == 1 ? 0.25L : kind == 2 ? 1e-3L : 0x1p-60L;
        values.push_back(whole + step * static_cast<long double>(next() % 4) * (next() % 2 ? 1 : -1));
    }
    std::vector<long double> nearest;
    for (long double v : values)
        nearest.push_back(std::nearbyintl(v));
    const int mode = std::fegetround();
    for (int m : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(m);
        std::vector<long double> got;
        for (long double v : values)
            got.push_back(engine::RoundHalfEven(v));
        std::fesetround(mode);
        for (size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(got[i], nearest[i]) << "mode " << m << ", value " << static_cast<double>(values[i]);
            ASSERT_EQ(std::signbit(got[i]), std::signbit(nearest[i])) << static_cast<double>(values[i]);
        }
    }
    EXPECT_TRUE(std::isnan(engine::RoundHalfEven(std::numeric_limits<long double>::quiet_NaN())));
    EXPECT_EQ(engine::RoundHalfEven(-std::numeric_limits<long double>::infinity()),
              -std::numeric_limits<long double>::infinity());
}

// A line's amount is the stored quantity times the stored price, each read
// as its decimal, multiplied exactly and brought to kopecks once; a printed
// price or quantity keeps up to six decimals; sums are made in decimal.
TEST(Kopecks, ALineIsTheStoredQuantityTimesTheStoredPriceRoundedOnce)
{
    struct Case {
        double quantity, price;
        double printedQuantity, printedPrice;
        qint64 kopecks;
    };
    const Case cases[] = {
        {2000, 0.335, 2000, 0.335, 67000},        // not 680.00
        {1000, 0.333, 1000, 0.333, 33300},        // not 330.00
        {3, 0.005, 3, 0.005, 2},                  // 0.015 to the even kopeck
        {10, 2.675, 10, 2.675, 2675},             // exactly 26.75
        {0.0357, 30, 0.0357, 30, 107},            // 1.071
        {0.0004, 50000, 0.0004, 50000, 2000},
        {10, 142.633867, 10, 142.633867, 142634},
        {3, 0.335, 3, 0.335, 100},                // 1.005, where the binary product 1.0050000000000001 gives 1.01
        {7, 0.145, 7, 0.145, 102},                // 1.015, where the binary 1.01499999... gives 1.01
        {300, 1000.0 / 300, 300, 3.333333, 100000},
        {0.00002, 250000, 0.00002, 250000, 500},  // a saffron portion's grams show beside their sum
        {0.5, 20.25, 0.5, 20.25, 1012},           // 10.125 exactly: to the even kopeck
        {1.5, 20.25, 1.5, 20.25, 3038},           // 30.375: up to the even one
        {0.36749999999999994, 1, 0.3675, 1, 37},  // a sum's binary residue keeps its decimal
        {0.0000005, 1, 0, 1, 0},                  // half of the sixth place to the even one
        {0.0000015, 1, 0.000002, 1, 0},
        {-0.5, 20.25, -0.5, 20.25, -1012},
        {-2, 0.125, -2, 0.125, -25},              // -0.25
        {0.1 + 0.2, 10, 0.3, 10, 300},
        {1e6, 1e6, 1e6, 1e6, 100000000000000},
        {1e-300, 1e-300, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.quantity << " x " << c.price);
        EXPECT_EQ(engine::Printed(c.quantity), c.printedQuantity);
        EXPECT_EQ(engine::Printed(c.price), c.printedPrice);
        EXPECT_EQ(engine::LineKopecks(c.quantity, c.price), c.kopecks);
    }
    EXPECT_EQ(engine::LineKopecks(std::numeric_limits<double>::quiet_NaN(), 10), 0);
    EXPECT_EQ(engine::LineKopecks(2, std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(engine::LineKopecks(1e300, 10), 0);
    EXPECT_EQ(engine::Units(55.555, 2), 5556);
    EXPECT_EQ(engine::Units(1e300, 2), 0);

    engine::DecimalSum quantities;
    for (int i = 0; i < 3; ++i)
        quantities.add(0.1225);  // 0.36749999999999994 in doubles
    EXPECT_EQ(quantities.printed(), 0.3675);
    engine::DecimalSum amounts;
    amounts.add(1000 * 0.333).add(2000 * 0.335).add(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(amounts.units(2), 100300);
    EXPECT_EQ(engine::DecimalSum().add(-0.005).units(2), 0);
    EXPECT_EQ(engine::DecimalSum().add(-0.015).units(2), -2);

    engine::DecimalSum stock;
    stock.add(113).subtract(engine::DecimalSum().add(13.1)).add(engine::DecimalSum().add(0.1));
    EXPECT_EQ(stock.value(7), 100);
    EXPECT_EQ(engine::DecimalSum().add(0.00000015).value(7), 0.0000002);  // the decimal's half, to the even place

    // A row of several lines: quantities in decimal, amounts each rounded
    // once, the average price weighted by the quantities, on the decimals.
    engine::SummedRow row;
    row.add(9.25, {10.1, 15}).add(0, {0, 0}).add(3.7, {10.1, 15});
    EXPECT_EQ(row.printedQuantity(), 12.95);
    EXPECT_EQ(row.kopecks(0), 9342 + 3737);  // 93,425 to the even 93,42, and 37,37
    EXPECT_EQ(row.averagePrice(0), 10.1);    // one price, whatever the row with nothing in stock
    EXPECT_EQ(engine::SummedRow().add(10, {142.633867}).add(3, {140.1}).averagePrice(), 142.049128);
    EXPECT_EQ(engine::SummedRow().add(3, {1.0 / 3}).averagePrice(), 0.333333);
    EXPECT_EQ(engine::SummedRow().add(2, {0.0000005}).averagePrice(), 0);  // 0,0000005 to the even place
    EXPECT_EQ(engine::SummedRow().add(5, {10}).add(-5, {20}).averagePrice(), 0);  // no quantity, no price
    engine::SummedRow twice;
    twice.add(0.000015, {100000}).add(twice);
    EXPECT_EQ(twice.printedQuantity(), 0.00003);
    EXPECT_EQ(twice.kopecks(), 300);
}

} // namespace
