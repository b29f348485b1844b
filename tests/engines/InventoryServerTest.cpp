// An inventory worked on from two workstations against the test server: each
// has read the list before the other changed the document. Filling, counting
// and posting take the document first and act on its state in the write
// transaction, so a stale list never counts a difference twice or brings a
// posted inventory back; the procedures refuse a posted inventory themselves.

#include "documents/PostingFixture.h"

#include "db/Error.h"
#include "engine/EngineDb.h"
#include "inventory/Inventory.h"
#include "support/ServerStation.h"

#include <stdexcept>

namespace {

class InventoryTwoStations : public ::testing::Test, public PostDb {
protected:
    void SetUp() override
    {
        if (!HaveTestServer())
            GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
        flour = raw(QStringLiteral("Мука"), stockOf(10, 50.00, 60.00));
        doc = this->PostDb::doc(posting::DocType::Inventory, kitchen);
        prepare();
        commit();
        inv.kod = doc;
        inv.otdel = kitchen;
        path = t.path();
        t.disconnect();
        a = std::make_unique<ServerStation>(path);
        b = std::make_unique<ServerStation>(path);
    }

    // More of the database, written before the workstations attach.
    virtual void prepare() {}

    // One change on a workstation, committed; a refusal rolls it back and is rethrown.
    template <typename F>
    void on(ServerStation& s, F f)
    {
        s.write().start();
        try {
            f(s.ctx());
            s.write().commit();
        } catch (...) {
            s.write().rollback();
            throw;
        }
    }
    QVariant value(const QString& sql)
    {
        a->refresh();
        db::Query q(&a->db(), &a->read());
        q.setSql(sql);
        q.open();
        return q.field(0).value();
    }
    double kitchenStock() { return value(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(flour).arg(kitchen)).toDouble(); }
    int count(const char* table) { return value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE KOD_DOC = %2").arg(QLatin1String(table)).arg(doc)).toInt(); }
    // The flour's posted lines in the kitchen, in minus out.
    double postedSum()
    {
        return value(QStringLiteral("SELECT COALESCE(SUM(IIF(M.TYPE_MOVES = 1, M.KOLVO, -M.KOLVO)), 0) FROM MOVES M "
                                    "JOIN DOCS D ON D.KOD = M.KOD_DOC AND D.PROVODKA = 11 "
                                    "WHERE M.KOD_ING = %1 AND M.KOD_OTDEL = %2")
                         .arg(flour)
                         .arg(kitchen))
            .toDouble();
    }
    int provodka() { return value(QStringLiteral("SELECT PROVODKA FROM DOCS WHERE KOD = %1").arg(doc)).toInt(); }
    void countTwelve(ServerStation& s)
    {
        const qint64 line = value(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_DOC = %1").arg(doc)).toLongLong();
        on(s, [&](const engine::Context& c) { inventory::SetCounted(c, inventory::ClaimUnposted(c, doc), line, inventory::Column::Quantity, 12); });
    }

    qint64 flour = 0, doc = 0;
    inventory::InvDoc inv;
    QString path;
    std::unique_ptr<ServerStation> a, b;
};

// The 10 in stock came with a posted receipt; another receipt of 5 was
// written before the inventory was filled and is posted on the other
// workstation while the count goes on.
class InventoryBesideAReceipt : public InventoryTwoStations {
protected:
    void prepare() override
    {
        exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0 WHERE KOD_ING = %1").arg(flour));
        const qint64 first = PostDb::doc(posting::DocType::Receipt, kitchen, 0, 0, 0, 0, QStringLiteral("П-1"));
        line(first, flour, 10, 50.00);
        posting::PostMovement(ctx(), first, 0);
        receipt = PostDb::doc(posting::DocType::Receipt, kitchen, 0, 0, 0, 0, QStringLiteral("П-2"));
        line(receipt, flour, 5, 50.00);
    }
    qint64 receipt = 0;
};

} // namespace

TEST_F(InventoryBesideAReceipt, TheDifferenceIsTakenFromTheStockTheCountReplacesAndUnpostingGivesItBack)
{
    on(*a, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, false); });
    EXPECT_DOUBLE_EQ(value(QStringLiteral("SELECT KOLVO FROM INVENT WHERE KOD_DOC = %1").arg(doc)).toDouble(), 10);
    on(*b, [&](const engine::Context& c) { posting::PostMovement(c, receipt, 0); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 15);

    // 12 counted where 15 are on the books now: asked, the user agrees to
    // post against them; 3 go out, and the line shows 15.
    countTwelve(*a);
    a->refresh();
    const QList<inventory::BookChange> agreed = inventory::BookChanges(a->ctx(), inv, false);
    ASSERT_EQ(agreed.size(), 1);
    EXPECT_DOUBLE_EQ(agreed[0].filledKolvo, 10);
    EXPECT_DOUBLE_EQ(agreed[0].kolvo, 15);
    on(*a, [&](const engine::Context& c) { inventory::Post(c, inv, agreed); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 12);
    ASSERT_EQ(count("MOVES"), 1);
    auto move = [&](const char* column) {
        return value(QStringLiteral("SELECT %1 FROM MOVES WHERE KOD_DOC = %2").arg(QLatin1String(column)).arg(doc)).toDouble();
    };
    EXPECT_EQ(move("TYPE_MOVES"), 2);
    EXPECT_DOUBLE_EQ(move("KOLVO"), 3);
    EXPECT_DOUBLE_EQ(value(QStringLiteral("SELECT KOLVO FROM INVENT WHERE KOD_DOC = %1").arg(doc)).toDouble(), 15);
    EXPECT_DOUBLE_EQ(postedSum(), 12);

    on(*b, [&](const engine::Context& c) { posting::UnpostDocument(c, doc, 0); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 15);
    EXPECT_DOUBLE_EQ(postedSum(), 15);
}

TEST_F(InventoryTwoStations, PostedMeanwhileElsewhereItIsNeitherPostedAgainNorRefilledNorCounted)
{
    on(*a, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, false); });
    countTwelve(*a);
    // Both lists show the filled inventory; the first workstation posts it.
    on(*a, [&](const engine::Context& c) { inventory::Post(c, inv); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 12);
    EXPECT_EQ(count("MOVES"), 1);

    // The second one, from its stale list: each refused, nothing changed.
    EXPECT_THROW(on(*b, [&](const engine::Context& c) { inventory::Post(c, inv); }), std::runtime_error);
    EXPECT_THROW(on(*b, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, true); }), std::runtime_error);
    EXPECT_THROW(countTwelve(*b), std::runtime_error);
    EXPECT_EQ(provodka(), 11);
    EXPECT_EQ(count("MOVES"), 1);
    EXPECT_EQ(count("INVENT"), 1);
    EXPECT_DOUBLE_EQ(kitchenStock(), 12);

    // The procedures themselves refuse a posted inventory.
    for (const QString& call : {QStringLiteral("EXECUTE PROCEDURE INVENT_PROVODKA %1, %2").arg(doc).arg(kitchen),
                                QStringLiteral("EXECUTE PROCEDURE ADD_ING_TO_INV 1, %2, 0, %1, 1, 0").arg(doc).arg(kitchen)}) {
        EXPECT_THROW(on(*b, [&](const engine::Context& c) { engine::Exec(c, call); }), db::DbError) << call.toStdString();
    }
    EXPECT_EQ(count("MOVES"), 1);
    EXPECT_EQ(count("INVENT"), 1);

    // Un-posting gives back the book quantity, not what a second difference line would leave.
    on(*b, [&](const engine::Context& c) { posting::UnpostDocument(c, doc, 0); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 10);
}

TEST_F(InventoryTwoStations, FilledMeanwhileElsewhereAFillFromAnEmptyListIsRefusedInsteadOfAddingTheLinesTwice)
{
    on(*a, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, false); });
    EXPECT_THROW(on(*b, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, false); }), std::runtime_error);
    EXPECT_EQ(count("INVENT"), 1);
    // Asked and confirmed, the fill replaces the lines.
    on(*b, [&](const engine::Context& c) { inventory::Fill(c, inv, {}, true); });
    EXPECT_EQ(count("INVENT"), 1);
    EXPECT_EQ(provodka(), 1);
}
