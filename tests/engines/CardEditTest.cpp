// The edit cycle of a costing card on a real database: the server procedures
// that keep and restore the card, the circle check, the stock test and the
// save of a card.

#include "catalogue/CostingFixture.h"

#include "costing/CardEdit.h"
#include "costing/CostingError.h"
#include "support/ServerStation.h"

#include "db/Query.h"

#include <tuple>

namespace {

using Row = std::tuple<qint64, double, double, int>;  // ingredient, quantity, yield, active

class CardCycle : public ::testing::Test {
protected:
    CostingDb d;
    costing::Context ctx{&d.t.db(), &d.t.read(), &d.t.write()};

    // Runs one step of an operation on the write transaction and commits it.
    template <typename F>
    auto step(F f)
    {
        d.writing();
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            d.commit();
        } else {
            auto r = f();
            d.commit();
            return r;
        }
    }
    std::vector<Row> rows(qint64 master)
    {
        std::vector<Row> out;
        auto q = d.t.select(QStringLiteral("SELECT KOD_ING, KOLVO, PERCENT, IS_ACTIVE FROM KARTA WHERE KOD_ING_MASTER = %1 "
                                           "ORDER BY KOD")
                                .arg(master));
        for (q->first(); !q->eof(); q->next())
            out.emplace_back(q->field(0).asInt64(), q->field(1).asDouble(), q->field(2).asDouble(), q->field(3).asInt());
        return out;
    }
    qint64 num(const QString& sql) { return d.t.scalar(sql).toLongLong(); }
    int flag(qint64 p) { return int(num(QStringLiteral("SELECT FLAG_UPDATE FROM ING WHERE KOD = %1").arg(p))); }
    int backupRows(qint64 p)
    {
        return int(num(QStringLiteral("SELECT COUNT(*) FROM KARTA K JOIN ING I ON K.KOD_ING_MASTER = I.KOD_UPDATE "
                                      "WHERE I.KOD = %1")
                           .arg(p)));
    }
    void exec(const QString& sql) { d.exec(sql); }
    qint64 rowOf(qint64 master, qint64 ing)
    {
        return num(QStringLiteral("SELECT KOD FROM KARTA WHERE KOD_ING_MASTER = %1 AND KOD_ING = %2").arg(master).arg(ing));
    }

    // A soup of potatoes (one row switched off) and carrots.
    void soup()
    {
        potato = d.raw(QStringLiteral("Картофель"), 30, 45);
        carrot = d.raw(QStringLiteral("Морковь"), 40);
        onion = d.raw(QStringLiteral("Лук"), 20);
        dish = d.dish(QStringLiteral("Суп"), 1);
        d.card(dish, potato, 0.25, 80);
        d.card(dish, carrot, 0.1, 90, 0);
        d.commit();
    }
    qint64 potato = 0, carrot = 0, onion = 0, dish = 0;
};

TEST_F(CardCycle, CancelGivesBackExactlyTheRowsOfTheStart)
{
    soup();
    const std::vector<Row> before = rows(dish);
    step([&] { costing::StartEditCycle(ctx, dish); });
    EXPECT_EQ(flag(dish), 1);
    EXPECT_EQ(backupRows(dish), 2);
    // Add, delete, switch off and requantify, each committed at once.
    step([&] { costing::AddCardRow(ctx, dish, onion, 95); });
    exec(QStringLiteral("DELETE FROM KARTA WHERE KOD = %1").arg(rowOf(dish, potato)));
    exec(QStringLiteral("UPDATE KARTA SET IS_ACTIVE = 1, KOLVO = 7 WHERE KOD = %1").arg(rowOf(dish, carrot)));
    exec(QStringLiteral("UPDATE KARTA SET IS_ACTIVE = 0 WHERE KOD = %1").arg(rowOf(dish, onion)));
    ASSERT_NE(rows(dish), before);

    step([&] { costing::CancelEditCycle(ctx, dish); });
    EXPECT_EQ(rows(dish), before);
    EXPECT_EQ(flag(dish), 0);
    EXPECT_EQ(backupRows(dish), 0);
}

TEST_F(CardCycle, EndKeepsTheCurrentRowsAndDropsTheBackup)
{
    soup();
    step([&] { costing::StartEditCycle(ctx, dish); });
    const qint64 added = step([&] { return costing::AddCardRow(ctx, dish, onion, 95); });
    EXPECT_EQ(num(QStringLiteral("SELECT KOD_ING FROM KARTA WHERE KOD = %1").arg(added)), onion);
    EXPECT_EQ(num(QStringLiteral("SELECT IS_ACTIVE FROM KARTA WHERE KOD = %1").arg(added)), 1);
    exec(QStringLiteral("DELETE FROM KARTA WHERE KOD = %1").arg(rowOf(dish, potato)));
    const std::vector<Row> edited = rows(dish);

    step([&] { costing::EndEditCycle(ctx, dish); });
    EXPECT_EQ(rows(dish), edited);
    EXPECT_EQ(flag(dish), 0);
    EXPECT_EQ(backupRows(dish), 0);
    // Cancelling after the end touches nothing.
    step([&] { costing::CancelEditCycle(ctx, dish); });
    EXPECT_EQ(rows(dish), edited);
}

TEST_F(CardCycle, ATakenOverCycleNeverDoublesTheCardAndCancelsToBeforeItsFirstStart)
{
    soup();
    const qint64 first = step([&] { return costing::StartEditCycle(ctx, dish); });
    step([&] { costing::AddCardRow(ctx, dish, onion, 100); });
    // The workstation went away; another one opens the cycle again.
    ASSERT_TRUE(step([&] { return costing::EditCycleOpen(ctx, dish); }));
    const qint64 second = step([&] { return costing::StartEditCycle(ctx, dish); });
    EXPECT_NE(second, first);
    EXPECT_EQ(num(QStringLiteral("SELECT KOD_UPDATE FROM ING WHERE KOD = %1").arg(dish)), second);
    EXPECT_EQ(backupRows(dish), 2);
    EXPECT_FALSE(step([&] { return costing::HoldsEditCycle(ctx, dish, first); }));
    EXPECT_TRUE(step([&] { return costing::HoldsEditCycle(ctx, dish, second); }));
    step([&] { costing::CancelEditCycle(ctx, dish); });
    EXPECT_EQ(rows(dish), (std::vector<Row>{{potato, 0.25, 80, 1}, {carrot, 0.1, 90, 0}}));
    EXPECT_EQ(backupRows(dish), 0);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM KARTA WHERE KOD_ING_MASTER IN (%1, %2)").arg(first).arg(second)), 0);
    EXPECT_FALSE(step([&] { return costing::HoldsEditCycle(ctx, dish, second); }));
}

TEST_F(CardCycle, BackupKeysNeverNameAProduct)
{
    soup();
    // A key left over that names a real product is replaced, and that card stays whole.
    exec(QStringLiteral("UPDATE ING SET KOD_UPDATE = %1 WHERE KOD = %2").arg(potato).arg(dish));
    step([&] { costing::StartEditCycle(ctx, dish); });
    const qint64 backup = num(QStringLiteral("SELECT KOD_UPDATE FROM ING WHERE KOD = %1").arg(dish));
    EXPECT_NE(backup, potato);
    EXPECT_EQ(num(QStringLiteral("SELECT COUNT(*) FROM ING WHERE KOD = %1").arg(backup)), 0);
    EXPECT_EQ(rows(potato), (std::vector<Row>{{potato, 1, 100, 1}}));
    step([&] { costing::CancelEditCycle(ctx, dish); });
    EXPECT_EQ(rows(potato), (std::vector<Row>{{potato, 1, 100, 1}}));

    // The procedures themselves refuse such a key.
    for (const QString& call : {QStringLiteral("EXECUTE PROCEDURE START_EDIT_KALK %1, %2, 1"),
                                QStringLiteral("EXECUTE PROCEDURE END_EDIT_KALK %1, %2"),
                                QStringLiteral("EXECUTE PROCEDURE CLEAR_EDIT_KALK %1, %2")}) {
        EXPECT_THROW(exec(call.arg(dish).arg(potato)), db::DbError) << call.toStdString();
        if (d.t.write().active())
            d.t.write().rollback();
    }
    EXPECT_EQ(rows(potato), (std::vector<Row>{{potato, 1, 100, 1}}));
}

TEST_F(CardCycle, CancellingARawProductsCycleBringsBackItsSelfRow)
{
    soup();
    EXPECT_EQ(rows(onion), (std::vector<Row>{{onion, 1, 100, 1}}));
    step([&] { costing::StartEditCycle(ctx, onion); });
    EXPECT_TRUE(rows(onion).empty());
    step([&] { costing::AddCardRow(ctx, onion, potato, 100); });
    step([&] { costing::CancelEditCycle(ctx, onion); });
    EXPECT_EQ(rows(onion), (std::vector<Row>{{onion, 1, 100, 1}}));
    EXPECT_EQ(flag(onion), 0);
}

TEST_F(CardCycle, CirclesAreFoundInTheRowsAsTheyAre)
{
    soup();
    // Three levels: a dish holds a semi-finished product that holds a sauce.
    const qint64 sauce = d.dish(QStringLiteral("Соус"), 0);
    const qint64 semi = d.dish(QStringLiteral("Заправка"), 0);
    const qint64 top = d.dish(QStringLiteral("Борщ"), 0);
    d.card(sauce, onion, 0.1);
    d.card(semi, sauce, 0.2);
    d.card(top, semi, 0.3, 100, 0);  // switched off, still part of it
    d.commit();
    // The stored levels are all 0 and say nothing.
    EXPECT_TRUE(costing::MakesCycle(ctx, sauce, top));
    EXPECT_TRUE(costing::MakesCycle(ctx, sauce, semi));
    EXPECT_TRUE(costing::MakesCycle(ctx, semi, top));
    EXPECT_TRUE(costing::MakesCycle(ctx, top, top));
    EXPECT_FALSE(costing::MakesCycle(ctx, top, sauce));
    EXPECT_FALSE(costing::MakesCycle(ctx, dish, top));
    // Self rows of raw products are no circle.
    EXPECT_FALSE(costing::MakesCycle(ctx, dish, onion));
    // A circle already in the data ends the walk.
    d.card(sauce, top, 1);
    d.commit();
    EXPECT_FALSE(costing::MakesCycle(ctx, dish, top));
    EXPECT_TRUE(costing::MakesCycle(ctx, semi, sauce));
}

TEST_F(CardCycle, StockIsAnyDepartmentRowWithAQuantity)
{
    soup();
    EXPECT_FALSE(costing::HasStock(ctx, dish));
    d.writing();
    const qint64 bar = d.b->otdel(d.firma, QStringLiteral("Бар"));
    d.b->sklad(dish, d.firma, bar, {});
    d.commit();
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 5 WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(dish).arg(d.otdel));
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -5 WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(dish).arg(bar));
    EXPECT_TRUE(costing::HasStock(ctx, dish));
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0 WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(dish).arg(d.otdel));
    EXPECT_TRUE(costing::HasStock(ctx, dish));
}

TEST_F(CardCycle, SavingStoresTheHeaderLevelAndPricesUnlessThereIsStock)
{
    soup();
    const qint64 semi = d.dish(QStringLiteral("Пюре"), 1);
    d.card(semi, potato, 0.5);
    d.commit();
    step([&] { costing::StartEditCycle(ctx, dish); });
    step([&] { costing::AddCardRow(ctx, dish, semi, 100); });
    exec(QStringLiteral("UPDATE KARTA SET KOLVO = 2 WHERE KOD_ING_MASTER = %1 AND KOD_ING = %2").arg(dish).arg(semi));
    costing::CardHeader h;
    h.kvoPorc = 2;
    h.percentPlus = 10;
    h.vihod = QStringLiteral("250/50 г «O'Neil»");
    h.cenaCompute = 1;
    h.manualBrutto = 1;
    const costing::SaveResult r = step([&] { return costing::SaveCard(ctx, dish, h); });
    EXPECT_FALSE(r.hasStock);
    EXPECT_FALSE(r.prices.aborted) << r.prices.warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.level, 2);
    auto q = d.t.select(QStringLiteral("SELECT KVO_PORC, PERCENT_PLUS, VIHOD_BLUDA, CENA_COMPUTE, MY_LEVEL, MANUAL_BRUTTO, "
                                       "FLAG_UPDATE FROM ING WHERE KOD = %1")
                            .arg(dish));
    EXPECT_EQ(q->field(0).asInt(), 2);
    EXPECT_EQ(q->field(1).asInt(), 10);
    EXPECT_EQ(q->field(2).asString(), h.vihod);
    EXPECT_EQ(q->field(3).asInt(), 1);
    EXPECT_EQ(q->field(4).asInt(), 2);
    EXPECT_EQ(q->field(5).asInt(), 1);
    EXPECT_EQ(q->field(6).asInt(), 0);
    EXPECT_EQ(backupRows(dish), 0);
    // The semi-finished product's price came from the recomputation: 0.5 kg at 30.
    const double cena = d.t.scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(dish)).toDouble();
    EXPECT_GT(cena, 0);

    // With stock somewhere the prices stay.
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 3, CENA = 1.5 WHERE KOD_ING = %1").arg(dish));
    step([&] { costing::StartEditCycle(ctx, dish); });
    const costing::SaveResult s = step([&] { return costing::SaveCard(ctx, dish, h); });
    EXPECT_TRUE(s.hasStock);
    EXPECT_DOUBLE_EQ(d.t.scalar(QStringLiteral("SELECT CENA FROM ING_SKLAD WHERE KOD_ING = %1").arg(dish)).toDouble(), 1.5);
}

TEST_F(CardCycle, AnEmptyCardIsSavedAsRawWithStockPrices)
{
    soup();
    step([&] { costing::StartEditCycle(ctx, dish); });
    exec(QStringLiteral("DELETE FROM KARTA WHERE KOD_ING_MASTER = %1").arg(dish));
    costing::CardHeader h;
    h.cenaCompute = 1;
    const costing::SaveResult r = step([&] { return costing::SaveCard(ctx, dish, h); });
    EXPECT_TRUE(r.emptyCard);
    EXPECT_EQ(num(QStringLiteral("SELECT MY_LEVEL FROM ING WHERE KOD = %1").arg(dish)), 0);
    EXPECT_EQ(num(QStringLiteral("SELECT CENA_COMPUTE FROM ING WHERE KOD = %1").arg(dish)), 0);
}

TEST_F(CardCycle, ACardThatClosesACircleIsNotSaved)
{
    soup();
    const qint64 semi = d.dish(QStringLiteral("Заправка"), 1);
    d.card(semi, dish, 1);
    d.card(dish, semi, 1);  // written past the check, as an old database may hold it
    d.commit();
    step([&] { costing::StartEditCycle(ctx, dish); });
    d.writing();
    EXPECT_THROW(costing::SaveCard(ctx, dish, {}), costing::CardError);
    d.t.write().rollback();
    EXPECT_EQ(flag(dish), 1);  // the cycle stays open for "Отмена"
}

} // namespace

// Two workstations on the test server: the second takes the cycle over while
// the first still has its window open.
TEST_F(CardCycle, TwoWorkstationsTheOneThatLostTheCycleNoLongerHoldsItAndTheOwnersCancelRestoresTheStart)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    soup();
    const std::vector<Row> before = rows(dish);
    const QString path = d.t.path();
    d.t.disconnect();
    {
        ServerStation a(path), b(path);
        auto step = [](ServerStation& s, auto f) {
            s.write().start();
            const auto r = f(s.ctx());
            s.write().commit();
            return r;
        };
        const qint64 mine = step(a, [&](const costing::Context& c) { return costing::StartEditCycle(c, dish); });
        step(a, [&](const costing::Context& c) { return costing::AddCardRow(c, dish, onion, 100); });
        const qint64 theirs = step(b, [&](const costing::Context& c) { return costing::StartEditCycle(c, dish); });
        EXPECT_FALSE(step(a, [&](const costing::Context& c) { return costing::HoldsEditCycle(c, dish, mine); }));
        EXPECT_TRUE(step(b, [&](const costing::Context& c) { return costing::HoldsEditCycle(c, dish, theirs); }));
        // The owner's cancel, checked and done in one write.
        b.write().start();
        EXPECT_TRUE(costing::HoldsEditCycle(b.ctx(), dish, theirs));
        costing::CancelEditCycle(b.ctx(), dish);
        b.write().commit();
        EXPECT_FALSE(step(a, [&](const costing::Context& c) { return costing::HoldsEditCycle(c, dish, mine); }));
        EXPECT_FALSE(step(b, [&](const costing::Context& c) { return costing::HoldsEditCycle(c, dish, theirs); }));
    }
    d.t.reconnect();
    EXPECT_EQ(rows(dish), before);
    EXPECT_EQ(flag(dish), 0);
    EXPECT_EQ(backupRows(dish), 0);
}
