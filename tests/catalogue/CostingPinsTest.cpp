// The costing engine's answers that are easy to get subtly wrong: the
// composition check on card rows as they are, one product's recomputation on
// its own card tree, stock that covers a need exactly, and rounding steps.

#include "CostingFixture.h"

#include "costing/AmountList.h"
#include "costing/CardEdit.h"
#include "costing/Composition.h"
#include "costing/Recompute.h"
#include "costing/Rounding.h"

#include "db/Query.h"
#include "support/EngineEnv.h"

#include <QVariant>

using costing::AmountList;
using costing::RIng;

class CostingDbTest : public ::testing::Test, public CostingDb {};
class CostingComposition : public ::testing::TestWithParam<SourceKind>, public CostingDb {};

INSTANTIATE_TEST_SUITE_P(Costing, CostingComposition, ::testing::Values(SourceKind::Sql, SourceKind::Snapshot),
                         sourceName);

TEST_P(CostingComposition, AStaleLevelHidesNothing)
{
    const qint64 flour = raw(QStringLiteral("Мука"), 40);
    const qint64 dough = dish(QStringLiteral("Тесто"), 0);  // composite, its stored level left at 0
    card(dough, flour, 0.5);
    const qint64 pie = dish(QStringLiteral("Пирог"), 2);
    card(pie, dough, 1);
    const qint64 sauce = dish(QStringLiteral("Соус"), 0);
    card(sauce, pie, 0.1);  // a card holding the dish, under a stale level 0
    const qint64 menu = dish(QStringLiteral("Обед"), 1);
    card(menu, sauce, 1);

    costing::Expander& ex = engine(GetParam());
    EXPECT_FALSE(ex.IsNotInComposition(pie, flour));
    EXPECT_FALSE(ex.IsNotInComposition(menu, pie));  // through the level-0 sauce
    EXPECT_FALSE(ex.IsNotInComposition(menu, flour));
    EXPECT_TRUE(ex.IsNotInComposition(pie, menu));
    EXPECT_TRUE(ex.IsNotInComposition(flour, pie));  // a raw product's self row leads nowhere

    const engine::Context ctx = ContextOn(t);
    EXPECT_FALSE(costing::IsNotInComposition(ctx, menu, pie));
    EXPECT_FALSE(costing::IsNotInComposition(ctx, sauce, flour));
    EXPECT_TRUE(costing::IsNotInComposition(ctx, dough, pie));
    // The card editor's refusal asks the same walk: the pie in the sauce's card would close a circle.
    EXPECT_TRUE(costing::MakesCycle(ctx, pie, sauce));
    EXPECT_FALSE(costing::MakesCycle(ctx, menu, flour));
}

TEST_F(CostingDbTest, CompositionCountsSwitchedOffRowsAndWhatTheOperationWrote)
{
    const qint64 salt = raw(QStringLiteral("Соль"), 10);
    const qint64 brine = dish(QStringLiteral("Рассол"), 1);
    card(brine, salt, 0.1, 100, 0);  // switched off: may be switched on later
    const qint64 soup = dish(QStringLiteral("Щи"), 1);
    commit();
    const engine::Context ctx = ContextOn(t);
    EXPECT_FALSE(costing::IsNotInComposition(ctx, brine, salt));
    EXPECT_TRUE(costing::IsNotInComposition(ctx, soup, salt));

    card(soup, brine, 0.2);  // written, not committed
    EXPECT_FALSE(costing::IsNotInComposition(ctx, soup, salt));
    t.write().rollback();
    EXPECT_TRUE(costing::IsNotInComposition(ctx, soup, salt));

    // A circle already in the data: the walk ends and still answers.
    card(brine, soup, 1);
    card(soup, brine, 1);
    commit();
    EXPECT_FALSE(costing::IsNotInComposition(ctx, soup, salt));
    EXPECT_TRUE(costing::IsNotInComposition(ctx, soup, raw(QStringLiteral("Перец"), 5)));
}

TEST_P(CostingComposition, StockEqualToTheNeedIsTakenWholeFromStock)
{
    const qint64 flour = raw(QStringLiteral("Мука"), 40);
    const qint64 egg = raw(QStringLiteral("Яйцо"), 8);
    const qint64 dough = dish(QStringLiteral("Тесто"), 1);
    card(dough, flour, 0.5);
    card(dough, egg, 2);
    const qint64 pie = dish(QStringLiteral("Пирог"), 2);
    card(pie, dough, 0.4);
    card(pie, egg, 1);
    commit();
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0.8 WHERE KOD_ING = %1").arg(dough));  // 2 pies need exactly 0.8

    costing::Expander& ex = engine(GetParam());
    const AmountList list = ex.ExpandToRaw(pie, otdel, 2, 0, 1, true);
    bool doughWhole = false;
    for (const RIng& n : list) {
        EXPECT_NE(n.KOD_ING, flour) << "flour expanded though the dough was in stock";
        if (n.KOD_ING == dough) {
            EXPECT_DOUBLE_EQ(n.NETTO, 0.8);
            doughWhole = true;
        }
        if (n.KOD_ING == egg) {
            EXPECT_DOUBLE_EQ(n.NETTO, 2);  // only the pie's own eggs
        }
    }
    EXPECT_TRUE(doughWhole);
    EXPECT_DOUBLE_EQ(ex.GetStockCached(dough, otdel), 0);
}

TEST_P(CostingComposition, OneProductsTreeGivesWhatTheWholeCatalogueGives)
{
    const qint64 flour = raw(QStringLiteral("Мука"), 40, 0, 300);
    const qint64 egg = raw(QStringLiteral("Яйцо"), 8, 0, 70);
    const qint64 milk = raw(QStringLiteral("Молоко"), 60);
    const qint64 dough = dish(QStringLiteral("Тесто"), 1, 2);
    card(dough, flour, 0.5, 90);
    card(dough, egg, 2);
    card(dough, milk, 1, 100, 0);  // switched off
    const qint64 pie = dish(QStringLiteral("Пирог"), 2, 4, 10);
    card(pie, dough, 0.4);
    card(pie, egg, 1, 80);
    const qint64 other = dish(QStringLiteral("Блины"), 1);
    card(other, milk, 0.3);
    card(other, flour, 0.1);
    commit();

    auto tree = costing::CatalogueSnapshot::ProductTree(&t.db(), &t.read(), pie);
    EXPECT_EQ(tree.productCount(), 4);  // the pie, the dough, flour and eggs: not the milk, not the pancakes
    EXPECT_EQ(tree.product(milk), nullptr);
    costing::Expander& whole = engine(GetParam());
    costing::Expander small(tree);
    for (int flag : {0, 1}) {
        const AmountList a = whole.ExpandToRaw(pie, otdel, 3, flag, 0, false);
        const AmountList b = small.ExpandToRaw(pie, otdel, 3, flag, 0, false);
        ASSERT_EQ(a.size(), b.size());
        for (int i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].KOD_ING, b[i].KOD_ING);
            EXPECT_DOUBLE_EQ(a[i].BRUTTO, b[i].BRUTTO);
            EXPECT_DOUBLE_EQ(a[i].PRICE, b[i].PRICE);
        }
    }
    EXPECT_EQ(small.ComputeLevel(pie), whole.ComputeLevel(pie));
}

TEST_F(CostingDbTest, OneProductsRecomputationMatchesTheReferenceRoad)
{
    const qint64 flour = raw(QStringLiteral("Мука"), 40, 0, 300);
    const qint64 egg = raw(QStringLiteral("Яйцо"), 8, 0, 70);
    const qint64 dough = dish(QStringLiteral("Тесто"), 3);  // a wrong level the run corrects
    card(dough, flour, 0.5, 90);
    card(dough, egg, 2);
    const qint64 pie = dish(QStringLiteral("Пирог"), 1, 4, 10);
    card(pie, dough, 0.4);
    card(pie, egg, 1, 80);
    const qint64 kitchen2 = b->otdel(firma, QStringLiteral("Буфет"));
    for (qint64 p : {flour, egg, dough, pie})
        b->sklad(p, firma, kitchen2, costing_catalogue::Builder::Sklad{});
    commit();
    exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 50, PERCENT = 25 WHERE KOD_OTDEL = %1").arg(kitchen2));

    auto run = [&](costing::Road road) {
        t.write().start();
        costing::RecomputeScope s;
        s.product = pie;
        const costing::RecomputeResult r = costing::RecomputePrices(ContextOn(t), s, {}, road);
        std::vector<std::pair<double, double>> prices;
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("SELECT CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = %1 ORDER BY KOD").arg(pie));
        q.open();
        for (q.first(); !q.eof(); q.next())
            prices.emplace_back(q.field(0).asDouble(), q.field(1).asDouble());
        q.close();
        q.setSql(QStringLiteral("SELECT MY_LEVEL FROM ING WHERE KOD = %1").arg(pie));
        q.open();
        const int level = q.field(0).asInt();
        q.close();
        t.write().rollback();
        return std::make_tuple(r.rowsPriced, prices, level);
    };
    const auto memory = run(costing::Road::Memory);
    const auto literal = run(costing::Road::Literal);
    EXPECT_EQ(std::get<0>(memory), 2);
    EXPECT_EQ(memory, literal);
    EXPECT_EQ(std::get<2>(memory), 2);
}

TEST(CostingRoundPrice, StepsOfTenAndFiftyRoubles)
{
    constexpr int k10r = 4, k50r = 5, kUp = 1, kNearest = 0, kDown = 2;
    EXPECT_DOUBLE_EQ(costing::RoundPriceBy(123.45, k10r, kUp), 130.00);
    EXPECT_DOUBLE_EQ(costing::RoundPriceBy(123.45, k50r, kUp), 150.00);
    EXPECT_DOUBLE_EQ(costing::RoundPriceBy(123.45, k10r, kDown), 120.00);
    EXPECT_DOUBLE_EQ(costing::RoundPriceBy(123.45, k50r, kNearest), 100.00);
    EXPECT_DOUBLE_EQ(costing::RoundPriceBy(130.00, k10r, kUp), 130.00);  // already on the step
}

TEST_F(CostingDbTest, ServerRoundingByHandWithoutAPriceGivesZero)
{
    const qint64 ing = raw(QStringLiteral("Товар"), 1);
    const qint64 k = row(ing, 1, 0, 0, 20, 2);
    commit();
    exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = NULL WHERE KOD = %1").arg(k));
    const QVariant v = t.scalar(QStringLiteral("EXECUTE BLOCK RETURNS (R DOUBLE PRECISION) AS BEGIN "
                                               "EXECUTE PROCEDURE MY_ROUND %1, 10.01 RETURNING_VALUES :R; SUSPEND; END")
                                    .arg(k));
    ASSERT_FALSE(v.isNull());
    EXPECT_DOUBLE_EQ(v.toDouble(), 0);
}
