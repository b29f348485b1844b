// The price and calorie recomputation on real databases with cards built here,
// through the program's road and the reference road alike.

#include "CostingFixture.h"

#include "costing/CostingError.h"
#include "costing/Recompute.h"

#include "util/Settings.h"

#include <QVariant>

using costing::RecomputeResult;
using costing::RecomputeScope;
using costing::Road;

namespace {

const QStringList kAbortLines{QStringLiteral("При расчёте обнаружены продукты которые участвуют в составных"),
                              QStringLiteral("продуктах а сами не имеют цены. Расчёт прерван !!!"), QStringLiteral(" ")};

RecomputeScope everything()
{
    RecomputeScope s;
    s.where = 2;
    s.what = 2;
    s.keepStockPrice = false;
    s.skipHidden = false;
    return s;
}

} // namespace

class ComputePrices : public ::testing::TestWithParam<Road>, public CostingDb {
protected:
    void SetUp() override
    {
        settings_.v.okrugl1 = 1;  // 50 kopecks
        settings_.v.okrugl2 = 1;  // up
    }

    RecomputeResult run(const RecomputeScope& scope = everything(), const engine::Progress& progress = {})
    {
        commit();
        t.write().start();
        RecomputeResult r = costing::RecomputePrices(ContextOn(t, &settings_.v), scope, progress, GetParam());
        t.write().commit();
        return r;
    }
    double value(const QString& column, const QString& table, qint64 kod)
    {
        return t.scalar(QStringLiteral("SELECT %1 FROM %2 WHERE KOD = %3").arg(column, table).arg(kod)).toDouble();
    }
    double cena(qint64 row) { return value(QStringLiteral("CENA"), QStringLiteral("ING_SKLAD"), row); }
    double myCena(qint64 row) { return value(QStringLiteral("MY_CENA"), QStringLiteral("ING_SKLAD"), row); }
    int level(qint64 ing) { return static_cast<int>(value(QStringLiteral("MY_LEVEL"), QStringLiteral("ING"), ing)); }

    // A dish of 0.2 of A (100.00, yield 100 %) and 0.1 of B (50.00, yield 50 %)
    // for one portion, card markup 10 %, department markup 20 %.
    struct Dish {
        qint64 a, b, dish, aRow, bRow, row;
    };
    Dish twoIngredientDish(int metod, double kolvo = 0, double myCenaValue = 0)
    {
        Dish d;
        d.a = b->ing({QStringLiteral("Говядина"), 0, 1, 0, 0, 3.0, 0});
        d.aRow = row(d.a, 100, 0);
        d.b = b->ing({QStringLiteral("Лук"), 0, 1, 0, 0, 2.0, 0});
        d.bRow = row(d.b, 50, 0);
        d.dish = dish(QStringLiteral("Бефстроганов"), 1, 1, 10);
        exec(QStringLiteral("DELETE FROM ING_SKLAD WHERE KOD_ING = %1").arg(d.dish));
        d.row = row(d.dish, 7, myCenaValue, kolvo, 20, metod);
        card(d.dish, d.a, 0.2);
        card(d.dish, d.b, 0.1, 50);
        commit();
        return d;
    }

private:
    TSettings settings_;
    TSettings* old_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Roads, ComputePrices, ::testing::Values(Road::Memory, Road::Literal),
                         [](const ::testing::TestParamInfo<Road>& i) {
                             return std::string(i.param == Road::Memory ? "Memory" : "Literal");
                         });

TEST_P(ComputePrices, CostSellingPriceAndCaloriesOfADish)
{
    const Dish d = twoIngredientDish(1);
    const RecomputeResult r = run();
    EXPECT_FALSE(r.aborted);
    EXPECT_TRUE(r.warnings.isEmpty());
    EXPECT_DOUBLE_EQ(cena(d.row), 33.00);
    EXPECT_DOUBLE_EQ(myCena(d.row), 39.60);  // method 1: markup, no rounding
    EXPECT_DOUBLE_EQ(value(QStringLiteral("KALORIES"), QStringLiteral("ING"), d.dish), 0.2 * 3 + 0.2 * 2);
    // Raw products keep their stock price and get their selling price (method 0, rounded up to 50 kopecks).
    EXPECT_DOUBLE_EQ(cena(d.aRow), 100);
    EXPECT_DOUBLE_EQ(myCena(d.aRow), 100);

    exec(QStringLiteral("UPDATE ING_SKLAD SET METOD_CENA = 0 WHERE KOD = %1").arg(d.row));
    run();
    EXPECT_DOUBLE_EQ(myCena(d.row), 40.00);
}

// The progress window is started before it is stepped, never stepped past the
// maximum it was last started with, and left at that maximum.
TEST_P(ComputePrices, ProgressStartsBeforeItStepsAndEndsAtItsMaximum)
{
    twoIngredientDish(1);
    QList<int> maxima, positions;
    bool steppedUnstarted = false;
    engine::Progress p;
    p.start = [&](int maximum) { maxima << maximum; };
    p.step = [&](int position) {
        steppedUnstarted = steppedUnstarted || maxima.isEmpty();
        EXPECT_LE(position, maxima.isEmpty() ? 0 : maxima.last());
        positions << position;
    };
    run(everything(), p);
    EXPECT_FALSE(steppedUnstarted);
    ASSERT_FALSE(positions.isEmpty());
    EXPECT_GT(maxima.last(), 0);
    EXPECT_EQ(positions.last(), maxima.last());
}

TEST_P(ComputePrices, RowsWithStockKeepTheirStockPriceWhenAsked)
{
    const Dish d = twoIngredientDish(0, 5);
    exec(QStringLiteral("UPDATE ING_SKLAD SET CENA = 41.13, PERCENT = 25 WHERE KOD = %1").arg(d.row));
    RecomputeScope keep = everything();
    keep.keepStockPrice = true;
    run(keep);
    EXPECT_DOUBLE_EQ(cena(d.row), 41.13);
    EXPECT_DOUBLE_EQ(myCena(d.row), 51.50);  // 51.4125 up to 50 kopecks

    run();
    EXPECT_DOUBLE_EQ(cena(d.row), 33.00);
}

TEST_P(ComputePrices, PricesSetByHandOnlyWarn)
{
    const Dish d = twoIngredientDish(2, 0, 20);
    exec(QStringLiteral("UPDATE ING_SKLAD SET METOD_CENA = 2, MY_CENA = 90 WHERE KOD = %1").arg(d.aRow));
    const RecomputeResult r = run();
    EXPECT_TRUE(r.manualPriceWarning);
    EXPECT_EQ(r.warnings,
              (QStringList{QStringLiteral("Расчётная цена блюда << Говядина >> в подразделении(отделе) << Кухня >> больше назначенной вручную !"),
                           QStringLiteral("Расчётная цена блюда << Бефстроганов >> в подразделении(отделе) << Кухня >> больше назначенной вручную !")}));
    EXPECT_DOUBLE_EQ(cena(d.row), 33.00);  // the composite's stock price still follows its card
    EXPECT_DOUBLE_EQ(myCena(d.row), 20);
    EXPECT_DOUBLE_EQ(cena(d.aRow), 100);   // a raw product is not written
    EXPECT_DOUBLE_EQ(myCena(d.aRow), 90);
}

TEST_P(ComputePrices, AZeroPricedIngredientAbortsKeepingEarlierRows)
{
    const qint64 a = raw(QStringLiteral("Рис"), 60);
    const qint64 zero = raw(QStringLiteral("Шафран"), 0);
    const qint64 first = dish(QStringLiteral("Каша"), 1);
    card(first, a, 0.1);
    const qint64 bad = dish(QStringLiteral("Плов"), 1);
    card(bad, a, 0.1);
    card(bad, zero, 0.001);
    const qint64 later = dish(QStringLiteral("Обед"), 2);
    card(later, first, 1);
    commit();
    const qint64 firstRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(first)).toLongLong();
    const qint64 badRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(bad)).toLongLong();
    const qint64 laterRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(later)).toLongLong();
    const qint64 aRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(a)).toLongLong();

    const RecomputeResult r = run();
    EXPECT_TRUE(r.aborted);
    EXPECT_EQ(r.zeroPriceWatch, 50);
    EXPECT_EQ(r.warnings, QStringList{QStringLiteral("Нулевая цена у продукта << Шафран >>")} + kAbortLines);
    EXPECT_DOUBLE_EQ(myCena(aRow), 60);     // raw products come first
    EXPECT_DOUBLE_EQ(cena(firstRow), 6);    // the dish before the failing one
    EXPECT_DOUBLE_EQ(cena(badRow), 0);      // not written
    EXPECT_DOUBLE_EQ(cena(laterRow), 0);    // not reached
}

TEST_P(ComputePrices, RawSellingPricesNeverCompound)
{
    const qint64 r = b->ing({QStringLiteral("Сметана"), 0, 1, 0, 1, 0, 0});  // a stale selling-price flag
    const qint64 rRow = row(r, 10, 12, 0, 20, 1);
    run();
    EXPECT_DOUBLE_EQ(myCena(rRow), 12);
    run();
    EXPECT_DOUBLE_EQ(myCena(rRow), 12);

    // A second row of the product in the department costs what its first holds, as an expansion finds it.
    const qint64 second = row(r, 50, 0, 0, 20, 1);
    run();
    EXPECT_DOUBLE_EQ(myCena(second), 12);
}

TEST_P(ComputePrices, LevelsAreCorrectedFirst)
{
    const qint64 a = raw(QStringLiteral("Творог"), 200);
    const qint64 stale = dish(QStringLiteral("Сырники"), 5);
    card(stale, a, 0.15);
    const qint64 empty = dish(QStringLiteral("Без состава"), 2);
    const qint64 selfOnly = raw(QStringLiteral("Мёд"), 300);
    exec(QStringLiteral("UPDATE ING SET MY_LEVEL = 1 WHERE KOD = %1").arg(selfOnly));  // its card is its self row
    const RecomputeResult r = run();
    EXPECT_EQ(r.levelsChanged, 3);
    EXPECT_EQ(level(stale), 1);
    EXPECT_EQ(level(empty), 0);
    EXPECT_EQ(level(selfOnly), 0);
    EXPECT_DOUBLE_EQ(value(QStringLiteral("MY_CENA"), QStringLiteral("ING_SKLAD"),
                           t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(selfOnly)).toLongLong()),
                     300);
}

TEST_P(ComputePrices, HiddenDishesAreSkippedWhenAsked)
{
    const qint64 a = raw(QStringLiteral("Кофе"), 500);
    const qint64 hiddenDish = dish(QStringLiteral("Эспрессо"), 1);
    card(hiddenDish, a, 0.01);
    exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1"));  // the raw product is hidden too
    const qint64 dishRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(hiddenDish)).toLongLong();
    const qint64 aRow = t.scalar(QStringLiteral("SELECT KOD FROM ING_SKLAD WHERE KOD_ING = %1").arg(a)).toLongLong();
    RecomputeScope skip = everything();
    skip.skipHidden = true;
    run(skip);
    EXPECT_DOUBLE_EQ(cena(dishRow), 0);
    EXPECT_DOUBLE_EQ(myCena(aRow), 500);
    run();
    EXPECT_DOUBLE_EQ(cena(dishRow), 5);
}

TEST_P(ComputePrices, FaultyCardsStopTheRun)
{
    const qint64 a = raw(QStringLiteral("Сахар"), 80);
    const qint64 p = dish(QStringLiteral("Сироп"), 1);
    const qint64 q = dish(QStringLiteral("Пропитка"), 1);
    card(p, a, 1);
    card(p, q, 0.5);
    card(q, p, 0.5);
    commit();
    try {
        run();
        ADD_FAILURE() << "a cyclic card was priced";
    } catch (const costing::CardError& e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Циклическая ссылка в калькуляционных картах"))) << e.text().toStdString();
        t.write().rollback();
    }
    exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(q));
    exec(QStringLiteral("UPDATE KARTA SET PERCENT = 0 WHERE KOD_ING_MASTER = %1").arg(p));
    EXPECT_THROW(run(), costing::CardError);
    t.write().rollback();
}

TEST(ComputeQueries, ConditionsFollowTheScope)
{
    RecomputeScope s;
    s.where = 2;
    s.what = 2;
    s.skipHidden = true;
    QStringList price = costing::PriceQueryText(s);
    EXPECT_EQ(price.mid(3), (QStringList{QStringLiteral("WHERE ING.MY_LEVEL = 0 OR (ING.MY_LEVEL > 0 AND ING_SKLAD.OPEN_CLOSE = 0)"),
                                          QStringLiteral("ORDER BY ING.MY_LEVEL, ING_SKLAD.KOD")}));
    s.skipHidden = false;
    EXPECT_EQ(costing::PriceQueryText(s).mid(3), QStringList{QStringLiteral("ORDER BY ING.MY_LEVEL, ING_SKLAD.KOD")});

    s.where = 0;
    s.otdel = 5;
    s.what = 1;
    s.selectedGroup = 7;
    s.skipHidden = true;
    EXPECT_EQ(costing::PriceQueryText(s).mid(3),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = 5"), QStringLiteral("AND"), QStringLiteral("ING.KOD_GROUP = 7"),
                           QStringLiteral("AND (ING.MY_LEVEL = 0 OR (ING.MY_LEVEL > 0 AND ING_SKLAD.OPEN_CLOSE = 0))"),
                           QStringLiteral("ORDER BY ING.MY_LEVEL, ING_SKLAD.KOD")}));
    EXPECT_EQ(costing::LevelQueryText(s).mid(3),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = 5"), QStringLiteral("AND"), QStringLiteral("ING.KOD_GROUP = 7"),
                           QStringLiteral("ORDER BY ING.MY_LEVEL, ING_SKLAD.KOD")}));
    s.where = 1;
    s.firma = 3;
    s.what = 0;
    s.selectedProduct = 9;
    EXPECT_EQ(costing::LevelQueryText(s).mid(3, 3),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = 3"), QStringLiteral("AND"), QStringLiteral("ING_SKLAD.KOD_ING = 9")}));

    RecomputeScope product;
    product.product = 11;
    product.skipHidden = false;  // a product run always skips hidden composites
    EXPECT_EQ(costing::PriceQueryText(product).mid(3, 2),
              (QStringList{QStringLiteral("WHERE ING_SKLAD.KOD_ING = 11"),
                           QStringLiteral("AND (ING.MY_LEVEL = 0 OR (ING.MY_LEVEL > 0 AND ING_SKLAD.OPEN_CLOSE = 0))")}));
}
