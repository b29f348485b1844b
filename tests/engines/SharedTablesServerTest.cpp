// Two workstations against the test server, each on a road that changes
// stock or prices, the second started while the first holds its road open.
// Whatever the roads, both finish: the second waits at its start and sees what
// the first committed, never failing on a row the first changed nor waiting
// for the server to break a deadlock; the stock stays the sum of its posted
// lines.

#include "documents/PostingFixture.h"

#include "costing/CardEdit.h"
#include "costing/Recompute.h"
#include "deletion/Deletion.h"
#include "engine/WriteRoad.h"
#include "inventory/Inventory.h"
#include "posting/RealPosting.h"
#include "support/ServerStation.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using Reserve = WriteTransaction::Reserve;

struct Road {
    const char* name;
    Reserve reserve;
    std::function<void(const engine::Context&)> run;
};

class SharedTables : public ::testing::Test, public PostDb {
protected:
    void SetUp() override
    {
        if (!HaveTestServer())
            GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
        // Stock rows whose selling price the recomputation will set: every
        // road below changes one of the rows the recomputation writes.
        potato = raw(QStringLiteral("Картофель"), stockOf(10, 20, 0, 50));
        carrot = raw(QStringLiteral("Морковь"), stockOf(8, 10, 0, 50));
        dish = PostDb::dish(QStringLiteral("Пюре"), 1);
        card(dish, potato, 0.2);
        card(dish, carrot, 0.1);

        receipt = doc(posting::DocType::Receipt, kitchen);
        line(receipt, potato, 5, 20);
        issue = doc(posting::DocType::Issue, kitchen);
        line(issue, carrot, 2, 10);
        posting::PostMovement(ctx(), issue, 0);
        inventoryDoc = doc(posting::DocType::Inventory, kitchen);
        production = doc(posting::DocType::ProductionWriteOff, 0, 0, 0, posting::WriteOffMode::Ingredients);
        realLine(production, dish, 10);
        transfer = doc(posting::DocType::Transfer, kitchen, bar);
        line(transfer, dish, 5, 0);
        inventory::Fill(ctx(), inventoryDoc_(), {}, false);
        commit();
        const qint64 counted = num(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_DOC = %1 AND KOD_ING = %2").arg(inventoryDoc).arg(potato));
        begin();
        inventory::SetCounted(ctx(), inventory::ClaimUnposted(ctx(), inventoryDoc), counted, inventory::Column::Quantity, 12);
        commit();
        cycle = [&] {
            begin();
            const qint64 c = costing::StartEditCycle(ctx(), dish);
            commit();
            return c;
        }();
        path = t.path();
        t.disconnect();
    }

    void realLine(qint64 d, qint64 ing, double kolvo)
    {
        begin();
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (:D, :I, :O, :Q, 50, 0)"));
        q.param(QStringLiteral("D")).setInt64(d);
        q.param(QStringLiteral("I")).setInt64(ing);
        q.param(QStringLiteral("O")).setInt64(kitchen);
        q.param(QStringLiteral("Q")).setDouble(kolvo);
        q.execSql();
    }
    inventory::InvDoc inventoryDoc_() const
    {
        inventory::InvDoc i;
        i.kod = inventoryDoc;
        i.otdel = kitchen;
        return i;
    }

    Road recomputation()
    {
        return {"recomputation", costing::kRoad, [](const engine::Context& c) {
                    costing::RecomputeScope scope;
                    scope.where = 2;
                    costing::RecomputePrices(c, scope);
                }};
    }
    Road cardSave()
    {
        return {"card save", costing::kRoad, [this](const engine::Context& c) {
                    ASSERT_TRUE(costing::HoldsEditCycle(c, dish, cycle));
                    costing::CardHeader h;
                    h.percentPlus = 40;
                    costing::SaveCard(c, dish, h);
                }};
    }
    Road posting(const char* name, qint64 d)
    {
        return {name, posting::kRoad, [d](const engine::Context& c) { posting::PostMovement(c, d, 0); }};
    }
    Road deletion()
    {
        return {"deletion with rollback", posting::kRoad, [this](const engine::Context& c) {
                    deletion::Options o;
                    o.rollback = true;
                    deletion::DeleteWithPair(c, issue, o);
                }};
    }
    Road inventoryPosting()
    {
        return {"inventory", posting::kRoad,
                [this](const engine::Context& c) { inventory::Post(c, inventoryDoc_()); }};
    }
    Road productionPosting()
    {
        return {"production", posting::kRoad,
                [this](const engine::Context& c) { ASSERT_TRUE(posting::PostRealDocument(c, production, 0).posted); }};
    }

    // `first` opens its road on one workstation; `second` starts on another
    // and gets most of a second to run before `first` does its work.
    void together(const Road& first, const Road& second)
    {
        SCOPED_TRACE(std::string(first.name) + " then " + second.name);
        QString firstError, secondError;
        std::atomic<bool> secondDone{false};
        {
            ServerStation a(path);
            WriteTransaction wa(a.ctx(), first.reserve);
            std::thread other([&] {
                try {
                    ServerStation b(path);
                    WriteTransaction wb(b.ctx(), second.reserve);
                    second.run(b.ctx());
                    wb.commit(QStringLiteral("Тест"), QString::fromUtf8(second.name));
                } catch (const std::exception& e) {
                    secondError = QString::fromUtf8(e.what());
                }
                secondDone = true;
            });
            for (int i = 0; i < 35 && !secondDone; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            try {
                first.run(a.ctx());
                wa.commit(QStringLiteral("Тест"), QString::fromUtf8(first.name));
            } catch (const std::exception& e) {
                firstError = QString::fromUtf8(e.what());
                wa.rollback();
            }
            other.join();
        }
        EXPECT_TRUE(firstError.isEmpty()) << first.name << ": " << firstError.toStdString();
        EXPECT_TRUE(secondError.isEmpty()) << second.name << ": " << secondError.toStdString();

        ServerStation look(path);
        db::Query q(&look.db(), &look.read());
        // Every stock row is its start plus the posted lines that moved it.
        q.setSql(QStringLiteral(
            "SELECT S.KOD_ING, S.KOD_OTDEL, S.KOLVO, (SELECT COALESCE(SUM(IIF(M.TYPE_MOVES = 1, M.KOLVO, -M.KOLVO)), 0) "
            "FROM MOVES M JOIN DOCS D ON D.KOD = M.KOD_DOC AND D.PROVODKA = 11 "
            "WHERE M.KOD_ING = S.KOD_ING AND M.KOD_OTDEL = S.KOD_OTDEL) FROM ING_SKLAD S ORDER BY S.KOD"));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            const qint64 ing = q.field(0).asInt64();
            const double start = ing == potato && q.field(1).asInt64() == kitchen   ? 10
                                 : ing == carrot && q.field(1).asInt64() == kitchen ? 8
                                                                                    : 0;
            EXPECT_NEAR(q.field(2).asDouble(), start + q.field(3).asDouble(), 1e-9) << "product " << ing;
        }
    }

    qint64 potato = 0, carrot = 0, dish = 0;
    qint64 receipt = 0, issue = 0, inventoryDoc = 0, production = 0, transfer = 0;
    qint64 cycle = 0;
    QString path;
};

} // namespace

TEST_F(SharedTables, ARecomputationBesidePostingDeletionAndInventory)
{
    together(recomputation(), inventoryPosting());
    together(recomputation(), deletion());
    together(recomputation(), posting("receipt", receipt));
    together(posting("split transfer", transfer), recomputation());
}

TEST_F(SharedTables, ACardSaveBesideAProductionOfItsDish)
{
    together(cardSave(), productionPosting());
}

TEST_F(SharedTables, ASplitTransferOfADishBesideItsCardSave)
{
    together(posting("split transfer", transfer), cardSave());
}
