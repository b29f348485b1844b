// Menu prices: the rule of the dish list in both option states, and the
// chooser's and the document's variants, on the cases the kitchens meet.

#include "menus/MenuPrice.h"

#include <gtest/gtest.h>

#include <cmath>

using menus::CenaMenu;
using menus::MenuLine;
using menus::MenuPriceUse;
using menus::PriceRounding;

namespace {

const PriceRounding kRouble{2, 0};  // step 1 rouble, to the nearest

double price(const MenuLine& l, MenuPriceUse use, bool after, PriceRounding r = kRouble)
{
    const std::optional<double> v = CenaMenu(l, use, after, r);
    EXPECT_TRUE(v.has_value());
    return v.value_or(NAN);
}

MenuLine line(double m, int p, int r, int method = 0) { return MenuLine{m, p, r, method}; }

} // namespace

TEST(MenuPrice, ListBeforeRoundingAtTwelveFiftyAndTenPercent)
{
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::List, false), 14.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0, 2), MenuPriceUse::List, false), 14.00);  // r 0 rounds hand prices too
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 1, 2), MenuPriceUse::List, false), 13.75);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 1, 0), MenuPriceUse::List, false), 14.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 1, 1), MenuPriceUse::List, false), 14.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 2, 0), MenuPriceUse::List, false), 13.75);
    EXPECT_DOUBLE_EQ(price(line(12.50, -10, 0), MenuPriceUse::List, false), 11.00);
}

TEST(MenuPrice, ListAfterRoundingRoundsTheSellingPriceFirst)
{
    // 12.50 is an exact half and goes down to 12, raised to 13.20, rounded to 13.
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::List, true), 13.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 1, 0), MenuPriceUse::List, true), 13.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, -10, 0), MenuPriceUse::List, true), 11.00);  // 12 x 0.9 = 10.80
    EXPECT_DOUBLE_EQ(price(line(12.75, 10, 0), MenuPriceUse::List, true), 14.00);   // 13 x 1.1 = 14.30
}

TEST(MenuPrice, UnroundedPricesAreTheRaisedPriceToTheKopeckInBothOptionStates)
{
    for (bool after : {false, true}) {
        SCOPED_TRACE(after);
        EXPECT_DOUBLE_EQ(price(line(12.34, 10, 2), MenuPriceUse::List, after), 13.57);
        EXPECT_DOUBLE_EQ(price(line(12.34, 10, 1, 2), MenuPriceUse::List, after), 13.57);
        EXPECT_DOUBLE_EQ(price(line(12.50, 10, 2), MenuPriceUse::List, after), 13.75);
        // Halves of kopecks go to the even neighbour, on the price's decimal:
        // 2.675 is a half though its binary product by 100 falls short of it.
        EXPECT_DOUBLE_EQ(price(line(0.125, 0, 2), MenuPriceUse::List, after), 0.12);
        EXPECT_DOUBLE_EQ(price(line(0.375, 0, 2), MenuPriceUse::List, after), 0.38);
        EXPECT_DOUBLE_EQ(price(line(2.675, 0, 2), MenuPriceUse::List, after), 2.68);
        EXPECT_DOUBLE_EQ(price(line(1.015, 0, 1, 2), MenuPriceUse::List, after), 1.02);
        EXPECT_DOUBLE_EQ(price(line(2.675, 0, 2), MenuPriceUse::Document, after), 2.68);
        EXPECT_DOUBLE_EQ(price(line(2.43, 10, 2), MenuPriceUse::List, after), 2.67);  // 2.673
    }
    // A computed price under "hand prices not rounded" is still rounded after.
    EXPECT_DOUBLE_EQ(price(line(12.34, 10, 1, 0), MenuPriceUse::List, true), 13.00);
}

TEST(MenuPrice, ListWithAnUnknownRoundingModeHasNoPrice)
{
    EXPECT_FALSE(CenaMenu(line(12.50, 10, 3), MenuPriceUse::List, false, kRouble).has_value());
    EXPECT_FALSE(CenaMenu(line(12.50, 10, -1), MenuPriceUse::List, true, kRouble).has_value());
}

TEST(MenuPrice, ListFollowsTheRoundingSettings)
{
    // 50 kopecks up: 13.75 -> 14.00; 10 kopecks down: 13.75 -> 13.70; no rounding keeps 13.75.
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::List, false, {1, 1}), 14.00);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::List, false, {0, 2}), 13.70);
    EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::List, false, {2, 3}), 13.75);
    // A price without a rouble step stays what the percent makes it, to the kopeck fraction.
    EXPECT_DOUBLE_EQ(price(line(12.34, 10, 0), MenuPriceUse::List, false, {2, 3}), 12.34 * 110 / 100);
}

TEST(MenuPrice, ChooserShowsTheRaisedPriceUnroundedWhateverTheModes)
{
    for (int r : {0, 1, 2, 3})
        for (bool after : {false, true})
            EXPECT_DOUBLE_EQ(price(line(12.50, 10, r, 2), MenuPriceUse::Chooser, after), 13.75);
    EXPECT_NEAR(price(line(12.34, 10, 0), MenuPriceUse::Chooser, false), 13.574, 1e-9);
}

TEST(MenuPrice, DocumentAppliesThePercentBeforeRoundingAndStoresKopecks)
{
    for (bool after : {false, true}) {
        SCOPED_TRACE(after);
        EXPECT_DOUBLE_EQ(price(line(12.50, 10, 0), MenuPriceUse::Document, after), 14.00);
        EXPECT_DOUBLE_EQ(price(line(12.50, 10, 1, 2), MenuPriceUse::Document, after), 13.75);
        EXPECT_DOUBLE_EQ(price(line(12.50, 10, 2), MenuPriceUse::Document, after), 13.75);
        EXPECT_DOUBLE_EQ(price(line(12.50, 10, 3), MenuPriceUse::Document, after), 14.00);  // unknown mode rounds
        EXPECT_DOUBLE_EQ(price(line(12.34, 10, 0), MenuPriceUse::Document, after, {2, 3}), 13.57);
    }
}

TEST(MenuPrice, RoundHalfEven)
{
    EXPECT_EQ(menus::RoundHalfEven(12.5L), 12);
    EXPECT_EQ(menus::RoundHalfEven(13.5L), 14);
    EXPECT_EQ(menus::RoundHalfEven(-12.5L), -12);
    EXPECT_EQ(menus::RoundHalfEven(1357.4L), 1357);
}

TEST(MenuPrice, ContextSettingsChooseStepRuleAndOption)
{
    engine::Settings st;
    st.okrugl1 = 2;
    st.okrugl2 = 0;
    engine::Context ctx;
    ctx.settings = &st;
    EXPECT_DOUBLE_EQ(CenaMenu(ctx, line(12.50, 10, 0)).value(), 14.00);
    st.DOiliPOSLE = true;
    EXPECT_DOUBLE_EQ(CenaMenu(ctx, line(12.50, 10, 0)).value(), 13.00);
    EXPECT_DOUBLE_EQ(CenaMenu(ctx, line(12.50, 10, 0), MenuPriceUse::Document).value(), 14.00);
    // Without settings: the design defaults (50 kopecks, to the nearest, percent before).
    EXPECT_DOUBLE_EQ(CenaMenu(engine::Context{}, line(12.50, 10, 0)).value(), 13.50);
}
