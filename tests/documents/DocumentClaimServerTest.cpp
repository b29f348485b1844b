// Two workstations against the test server: A has a document's window open,
// B posts or deletes the document meanwhile. Whatever A then changes (a
// line's value, a line added or removed, the lines cleared or re-priced, the
// header, an inventory's count) is refused in words inside A's own road and
// nothing of it lands on the posted document.

#include "MovementDb.h"
#include "PostingFixture.h"
#include "RealDocs.h"

#include "deletion/Deletion.h"
#include "engine/DocumentClaim.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "inventory/Inventory.h"
#include "posting/RealPosting.h"
#include "support/ServerStation.h"

#include <functional>
#include <type_traits>

namespace {

// The line writers take the claimed document: only the claim makes one.
static_assert(!std::is_constructible_v<engine::UnpostedDocument, qint64>);
static_assert(!std::is_default_constructible_v<engine::UnpostedDocument>);

const QString kMovementPosted = QStringLiteral("Нельзя вносить изменения в проведённый документ !!!");
const QString kRealPosted = QStringLiteral("Документ уже проведён, изменения невозможны !");
const QString kInventoryPosted = QStringLiteral("Нельзя вносить изменения в проведённые акты инвентаризации !");

class DocumentClaims : public ::testing::Test, public PostDb {
protected:
    void SetUp() override
    {
        if (!HaveTestServer())
            GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
        flour = raw(QStringLiteral("Мука"), stockOf(1000, 50.00, 60.00));
        receipt = doc(posting::DocType::Receipt, kitchen);
        receiptLine = line(receipt, flour, 5, 55.00);

        const qint64 pie = dish(QStringLiteral("Пирог"));
        card(pie, flour, 0.2);
        sales = doc(posting::DocType::Sales, kitchen);
        production = doc(posting::DocType::ProductionWriteOff, kitchen);
        begin();
        for (const qint64 d : {sales, production})
            engine::Exec(ctx(), QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                               "VALUES (%1, %2, %3, 4, 120, 0)")
                                    .arg(d)
                                    .arg(pie)
                                    .arg(kitchen));
        salesLine = num(QStringLiteral("SELECT KOD FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(sales));

        inv.kod = doc(posting::DocType::Inventory, kitchen);
        inv.otdel = kitchen;
        inventory::Fill(ctx(), inv, {}, false);
        invLine = num(QStringLiteral("SELECT KOD FROM INVENT WHERE KOD_DOC = %1").arg(inv.kod));
        commit();
        path = t.path();
        t.disconnect();
        a = std::make_unique<ServerStation>(path);
        b = std::make_unique<ServerStation>(path);
    }

    // One road on a workstation, committed; a refusal rolls it back and is rethrown.
    static void road(ServerStation& s, WriteTransaction::Reserve kind, const std::function<void(const engine::Context&)>& f)
    {
        WriteTransaction w(s.ctx(), kind);
        f(s.ctx());
        w.commit(QStringLiteral("Тест"), QStringLiteral("Тест"));
    }
    // The text A's road was refused with, empty when it went through.
    QString refusalOnA(WriteTransaction::Reserve kind, const std::function<void(const engine::Context&)>& f)
    {
        try {
            road(*a, kind, f);
        } catch (const engine::RowRefusal& e) {
            return e.text();
        }
        return QString();
    }
    QString text(const QString& sql)
    {
        a->refresh();
        db::Query q(&a->db(), &a->read());
        q.setSql(sql);
        q.open();
        QStringList row;
        for (q.first(); !q.eof(); q.next())
            for (int i = 0; i < q.fieldCount(); ++i)
                row << (q.field(i).isNull() ? QStringLiteral("null") : q.field(i).asString());
        return row.join(QLatin1Char('|'));
    }
    QString movementState()
    {
        return text(QStringLiteral("SELECT NAME, (SELECT LIST(KOD_ING || ':' || KOLVO || ':' || CENA) FROM MOVES "
                                   "WHERE KOD_DOC = DOCS.KOD) FROM DOCS WHERE KOD = %1")
                        .arg(receipt));
    }
    QString salesState()
    {
        return text(QStringLiteral("SELECT NAME, P, (SELECT LIST(KOLVO) FROM REAL_BLUDO WHERE KOD_DOC = DOCS.KOD) FROM DOCS "
                                   "WHERE KOD = %1")
                        .arg(sales));
    }
    QString inventoryState()
    {
        return text(QStringLiteral("SELECT NAME, (SELECT LIST(MY_KOLVO || ':' || MY_CENA) FROM INVENT WHERE KOD_DOC = DOCS.KOD) "
                                   "FROM DOCS WHERE KOD = %1")
                        .arg(inv.kod));
    }
    double kitchenStock()
    {
        return text(QStringLiteral("SELECT KOLVO FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2").arg(flour).arg(kitchen))
            .toDouble();
    }
    // What a header dialog on A showed of the document before B's change.
    engine::ShownRow shown(qint64 kod)
    {
        db::Query q(&a->db(), &a->read());
        q.setSql(QStringLiteral("SELECT * FROM DOCS WHERE KOD = %1").arg(kod));
        q.open();
        return engine::ShownRow::of(q, QStringLiteral("DOCS"), q.field(QStringLiteral("NAME")).asString(),
                                    {{QStringLiteral("NAME"), QStringLiteral("№ документа")}});
    }
    R_Record header(qint64 kod, const QString& name)
    {
        R_Record r(QStringLiteral("DOCS"), kod);
        r.addString(QStringLiteral("NAME"), name);
        return r;
    }

    qint64 flour = 0, receipt = 0, receiptLine = 0, sales = 0, production = 0, salesLine = 0, invLine = 0;
    inventory::InvDoc inv;
    QString path;
    std::unique_ptr<ServerStation> a, b;
};

struct Change {
    const char* what;
    WriteTransaction::Reserve kind;
    std::function<void(const engine::Context&)> run;
};

} // namespace

TEST_F(DocumentClaims, NothingLandsOnAMovementDocumentPostedMeanwhile)
{
    const std::vector<Change> changes = {
        {"quantity", movement::kRoad,
         [&](const engine::Context& c) { movement::SetLineValue(c, movement::Claim(c, receipt), receiptLine, QStringLiteral("KOLVO"), 72); }},
        {"price", movement::kRoad,
         [&](const engine::Context& c) { movement::SetLineValue(c, movement::Claim(c, receipt), receiptLine, QStringLiteral("CENA"), 1); }},
        {"line added", movement::kRoad,
         [&](const engine::Context& c) { movement::AddLine(c, movement::Claim(c, receipt), kitchen, flour, 0); }},
        {"line removed", movement::kRoad,
         [&](const engine::Context& c) { movement::DeleteLine(c, movement::Claim(c, receipt), receiptLine); }},
        {"lines cleared", movement::kRoad, [&](const engine::Context& c) { movement::DeleteLines(c, movement::Claim(c, receipt)); }},
        {"lines re-priced", movement::kRoad,
         [&](const engine::Context& c) { movement::RepriceLines(c, movement::Claim(c, receipt), kitchen, 1); }},
        {"header", movement::kRoad,
         [&](const engine::Context& c) { engine::SaveDocumentHeader(c, header(receipt, QStringLiteral("13/1")), shown(receipt), kMovementPosted); }},
    };
    road(*b, posting::kRoad, [&](const engine::Context& c) { posting::PostMovement(c, receipt, 0); });
    const QString posted = movementState();
    for (const Change& change : changes) {
        EXPECT_EQ(refusalOnA(change.kind, change.run), kMovementPosted) << change.what;
        EXPECT_EQ(movementState(), posted) << change.what;
    }
    // Un-posted, the stock is back where it was: nothing was typed into the posting.
    road(*b, posting::kRoad, [&](const engine::Context& c) { posting::UnpostDocument(c, receipt, 0); });
    EXPECT_DOUBLE_EQ(kitchenStock(), 1000);
}

TEST_F(DocumentClaims, NothingLandsOnAProductionOrSalesDocumentPostedMeanwhile)
{
    const std::vector<Change> changes = {
        {"quantity", realdocs::kRoad, [&](const engine::Context& c) { realdocs::SetLineQuantity(c, realdocs::Claim(c, sales), salesLine, 9); }},
        {"header", realdocs::kRoad,
         [&](const engine::Context& c) {
             realdocs::Header h;
             h.kod = sales;
             h.name = QStringLiteral("Обед");
             h.p = 1;
             realdocs::SaveHeader(c, h, shown(sales));
         }},
        {"lines from a menu", realdocs::kRoad, [&](const engine::Context& c) { realdocs::FillFromMenu(c, realdocs::Claim(c, sales), 0, true); }},
    };
    road(*b, posting::kRoad, [&](const engine::Context& c) { ASSERT_TRUE(posting::PostRealDocument(c, sales, 0).posted); });
    const QString posted = salesState();
    for (const Change& change : changes) {
        EXPECT_EQ(refusalOnA(change.kind, change.run), kRealPosted) << change.what;
        EXPECT_EQ(salesState(), posted) << change.what;
    }
}

TEST_F(DocumentClaims, NothingLandsOnAnInventoryPostedMeanwhile)
{
    const std::vector<Change> changes = {
        {"count", inventory::kRoad,
         [&](const engine::Context& c) { inventory::SetCounted(c, inventory::ClaimUnposted(c, inv.kod), invLine, inventory::Column::Quantity, 7); }},
        {"price", inventory::kRoad,
         [&](const engine::Context& c) { inventory::SetCounted(c, inventory::ClaimUnposted(c, inv.kod), invLine, inventory::Column::Price, 7); }},
        {"header", inventory::kRoad,
         [&](const engine::Context& c) { engine::SaveDocumentHeader(c, header(inv.kod, QStringLiteral("И-2")), shown(inv.kod), kInventoryPosted); }},
        {"lines cleared", inventory::kRoad, [&](const engine::Context& c) { inventory::ClearLines(c, inv.kod); }},
        {"unchanged lines removed", inventory::kRoad,
         [&](const engine::Context& c) { inventory::DeleteUnchangedLines(c, inv.kod); }},
        {"book values", inventory::kRoad, [&](const engine::Context& c) { inventory::RefreshBookValues(c, inv.kod, 0); }},
    };
    road(*b, inventory::kRoad, [&](const engine::Context& c) { inventory::Post(c, inv); });
    const QString posted = inventoryState();
    for (const Change& change : changes) {
        EXPECT_EQ(refusalOnA(change.kind, change.run), kInventoryPosted) << change.what;
        EXPECT_EQ(inventoryState(), posted) << change.what;
    }
}

TEST_F(DocumentClaims, MovementLinesAreWrittenAsTheyStandNotAsTheOtherWorkstationLastShowedThem)
{
    // B changes the line's quantity and the flour's stock price: A's typed
    // sum is divided by the quantity as it is now, A's new line takes the price.
    road(*b, movement::kRoad, [&](const engine::Context& c) {
        movement::SetLineValue(c, movement::Claim(c, receipt), receiptLine, QStringLiteral("KOLVO"), 4);
        engine::Writer(c, QStringLiteral("UPDATE ING_SKLAD SET CENA = 12.345 WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                              .arg(flour)
                              .arg(kitchen))
            ->execSql();
    });
    EXPECT_EQ(refusalOnA(movement::kRoad, [&](const engine::Context& c) { movement::SetLineSum(c, movement::Claim(c, receipt), receiptLine, 100); }),
              QString());
    EXPECT_EQ(refusalOnA(movement::kRoad, [&](const engine::Context& c) { movement::AddLine(c, movement::Claim(c, receipt), kitchen, flour, 0); }),
              QString());
    EXPECT_EQ(text(QStringLiteral("SELECT KOLVO, CENA FROM MOVES WHERE KOD_DOC = %1 ORDER BY KOD").arg(receipt)),
              QStringLiteral("4|25|0|12,34"));

    // B removes the line: A's removal and sum are refused and write nothing.
    road(*b, movement::kRoad, [&](const engine::Context& c) { movement::DeleteLine(c, movement::Claim(c, receipt), receiptLine); });
    const QString left = movementState();
    const QString protocol = text(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE"));
    EXPECT_EQ(refusalOnA(movement::kRoad, [&](const engine::Context& c) { movement::DeleteLine(c, movement::Claim(c, receipt), receiptLine); }),
              engine::LineGoneText());
    EXPECT_EQ(refusalOnA(movement::kRoad, [&](const engine::Context& c) { movement::SetLineSum(c, movement::Claim(c, receipt), receiptLine, 100); }),
              engine::LineGoneText());
    EXPECT_EQ(movementState(), left);
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")), protocol);
}

TEST_F(DocumentClaims, ADocumentDeletedMeanwhileIsNamedAndNothingIsWritten)
{
    for (const qint64 d : {receipt, sales, production})
        road(*b, deletion::kRoad, [&](const engine::Context& c) { deletion::DeleteWithPair(c, d, {}); });
    const QString gone = QStringLiteral("Документ № 12/1 удалён на другом рабочем месте. Ничего не записано.");
    auto named = [&](const std::function<void(const engine::Context&)>& f) {
        return refusalOnA(movement::kRoad, [&](const engine::Context& c) { engine::NamingDocument(QStringLiteral("12/1"), [&] { f(c); }); });
    };
    EXPECT_EQ(named([&](const engine::Context& c) { movement::SetLineValue(c, movement::Claim(c, receipt), receiptLine, QStringLiteral("KOLVO"), 7); }),
              gone);
    EXPECT_EQ(named([&](const engine::Context& c) { movement::AddLine(c, movement::Claim(c, receipt), kitchen, flour, 0); }),
              gone);
    EXPECT_EQ(named([&](const engine::Context& c) { posting::PostMovement(c, receipt, 0); }), gone);
    EXPECT_EQ(named([&](const engine::Context& c) { posting::PostRealDocument(c, sales, 0); }), gone);
    EXPECT_EQ(named([&](const engine::Context& c) { posting::PostRealDocument(c, production, 0); }), gone);
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM MOVES WHERE KOD_DOC IN (%1, %2, %3)").arg(receipt).arg(sales).arg(production)),
              QStringLiteral("0"));
}
