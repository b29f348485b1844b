// Price rounding: the client's RoundPrice and the server's MY_ROUND.

#include "CostingFixture.h"

#include "costing/Rounding.h"

#include "util/Settings.h"

#include <QVariant>

using costing::RoundPriceBy;

namespace {
constexpr int k10k = 0, k50k = 1, k1r = 2, k5r = 3;
constexpr int kNearest = 0, kUp = 1, kDown = 2, kNone = 3;
} // namespace

TEST(CostingRoundPrice, StepsAndRules)
{
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.25, k1r, kNearest), 12.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.25, k1r, kUp), 13.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.25, k1r, kDown), 12.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.25, k1r, kNone), 12.25);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.50, k1r, kNearest), 12.00);  // an exact half goes down
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.75, k1r, kNearest), 13.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.375, k50k, kNearest), 12.50);  // 1237 kopecks, remainder 37
    EXPECT_DOUBLE_EQ(RoundPriceBy(7.999, k10k, kUp), 8.00);        // 799 kopecks, remainder 9
    EXPECT_DOUBLE_EQ(RoundPriceBy(0.25, k50k, kNearest), 0.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(0.26, k50k, kNearest), 0.50);
    EXPECT_DOUBLE_EQ(RoundPriceBy(123.45, k5r, kUp), 125.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.34, 6, kUp), 12.40);   // no valid step: 10 kopecks
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.34, -1, kUp), 12.40);
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.34, k1r, 7), 12.00);   // an unknown rule rounds down
}

TEST(CostingRoundPrice, WholeKopecksSurviveBinaryFractions)
{
    // 2.30 is stored as 2.2999999999999998: still 230 kopecks, already on the step.
    EXPECT_DOUBLE_EQ(RoundPriceBy(2.30, k10k, kUp), 2.30);
    EXPECT_DOUBLE_EQ(RoundPriceBy(1.15, k10k, kDown), 1.10);
    EXPECT_DOUBLE_EQ(RoundPriceBy(0.57, k50k, kUp), 1.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(33 * 1.2, k10k, kUp), 39.60);  // 39.599999999999994
    // Where a lost kopeck would show: 229 kopecks would go down to 2.20, 115 to 1.10.
    EXPECT_DOUBLE_EQ(RoundPriceBy(2.30, k10k, kDown), 2.30);
    EXPECT_DOUBLE_EQ(RoundPriceBy(1.16, k10k, kNearest), 1.20);  // 115.99999999999999
    EXPECT_DOUBLE_EQ(RoundPriceBy(331280950.9, k10k, kDown), 331280950.90);  // 33128095089.999996
    EXPECT_DOUBLE_EQ(RoundPriceBy(-2.30, k10k, kDown), -2.30);
    // A real fraction of a kopeck is dropped, not rounded: 1265.625 kopecks are 1265.
    EXPECT_DOUBLE_EQ(RoundPriceBy(12.65625, k10k, kNearest), 12.60);
    // More kopecks than 32 bits hold.
    EXPECT_DOUBLE_EQ(RoundPriceBy(30000000.75, k1r, kNearest), 30000001.00);
    EXPECT_DOUBLE_EQ(RoundPriceBy(-12.75, k1r, kDown), -12.00);
}

TEST(CostingRoundPrice, ReadsTheContextsSettingsAtEachCall)
{
    engine::Settings settings;
    engine::Context ctx;
    // No settings in the context: the design defaults (50 kopecks, to the nearest).
    EXPECT_DOUBLE_EQ(costing::RoundPrice(ctx, 12.30), 12.50);
    ctx.settings = &settings;
    settings.okrugl1 = k1r;
    settings.okrugl2 = kUp;
    EXPECT_DOUBLE_EQ(costing::RoundPrice(ctx, 12.25), 13.00);
    settings.okrugl2 = kNone;
    EXPECT_DOUBLE_EQ(costing::RoundPrice(ctx, 12.25), 12.25);
    settings.okrugl1 = k50k;
    settings.okrugl2 = kNearest;
    EXPECT_DOUBLE_EQ(costing::RoundPrice(ctx, 12.375), 12.50);
}

class CostingMyRound : public ::testing::Test, public CostingDb {
protected:
    void settings(int step, int rule)
    {
        exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = %1 WHERE NAME_PARAM = 'okrugl1'").arg(step));
        exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = %1 WHERE NAME_PARAM = 'okrugl2'").arg(rule));
    }
    qint64 rowWith(int percent, int metod, double myCena = 0)
    {
        const qint64 ing = raw(QStringLiteral("Товар"), 1);
        const qint64 k = row(ing, 1, myCena, 0, percent, metod);
        commit();
        return k;
    }
    // As the posting procedures call it.
    QVariant myRound(qint64 kodIngSklad, const QString& cena)
    {
        return t.scalar(QStringLiteral("EXECUTE BLOCK RETURNS (R DOUBLE PRECISION) AS BEGIN "
                                       "EXECUTE PROCEDURE MY_ROUND %1, %2 RETURNING_VALUES :R; SUSPEND; END")
                            .arg(kodIngSklad)
                            .arg(cena));
    }
};

TEST_F(CostingMyRound, MarkupStepAndRule)
{
    const qint64 r25 = rowWith(25, 0);
    const qint64 r26 = rowWith(26, 0);
    settings(k50k, kUp);
    EXPECT_DOUBLE_EQ(myRound(r25, QStringLiteral("10.00")).toDouble(), 12.50);
    EXPECT_DOUBLE_EQ(myRound(r26, QStringLiteral("10.00")).toDouble(), 13.00);
    settings(k1r, kNearest);
    EXPECT_DOUBLE_EQ(myRound(r25, QStringLiteral("10.00")).toDouble(), 12.00);  // exact half down
    EXPECT_DOUBLE_EQ(myRound(r25, QStringLiteral("10.1")).toDouble(), 13.00);   // 1262.5 kopecks
    settings(k1r, kDown);
    EXPECT_DOUBLE_EQ(myRound(r26, QStringLiteral("10.00")).toDouble(), 12.00);
}

TEST_F(CostingMyRound, NoRoundingStillAppliesTheMarkup)
{
    const qint64 r = rowWith(25, 0);
    settings(k50k, kNone);
    EXPECT_DOUBLE_EQ(myRound(r, QStringLiteral("10.01")).toDouble(), 12.5125);
}

TEST_F(CostingMyRound, PriceMethods)
{
    const qint64 markupOnly = rowWith(20, 1);
    const qint64 byHand = rowWith(20, 2, 99.99);
    const qint64 unknown = rowWith(20, 7);
    settings(k1r, kUp);
    EXPECT_DOUBLE_EQ(myRound(markupOnly, QStringLiteral("10.01")).toDouble(), 12.012);
    EXPECT_DOUBLE_EQ(myRound(byHand, QStringLiteral("10.01")).toDouble(), 99.99);
    EXPECT_DOUBLE_EQ(myRound(unknown, QStringLiteral("10.01")).toDouble(), 13.00);  // counted as method 0
}

TEST_F(CostingMyRound, NeverNull)
{
    const qint64 r = rowWith(0, 0);
    settings(9, kUp);  // no such step: 10 kopecks
    EXPECT_DOUBLE_EQ(myRound(r, QStringLiteral("10.01")).toDouble(), 10.10);
    exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM IN ('okrugl1', 'okrugl2')"));
    const QVariant noSettings = myRound(r, QStringLiteral("10.01"));
    ASSERT_FALSE(noSettings.isNull());
    EXPECT_DOUBLE_EQ(noSettings.toDouble(), 10.00);  // step 10 kopecks, to the nearest
    const QVariant noRow = myRound(-5, QStringLiteral("10.01"));
    ASSERT_FALSE(noRow.isNull());
    EXPECT_DOUBLE_EQ(noRow.toDouble(), 10.00);
}
