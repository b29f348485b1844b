// Two workstations on the test server, this one through the program's
// windows, the other through its own attachment: a change the other commits
// first makes this one's road refuse in words, write nothing (its protocol
// line neither), and its list shows what the other left.

#include "MoveEnv.h"

#include "Unit_DelDoc.h"
#include "Unit_Invent.h"
#include "Unit_Provodka.h"
#include "Unit_RealTab.h"
#include "deletion/Deletion.h"
#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"
#include "inventory/Inventory.h"
#include "posting/Posting.h"
#include "support/ServerStation.h"
#include "support/UserInput.h"
#include "ui/RadioGroup.h"

#include <QCheckBox>
#include <QPushButton>

#include <functional>

namespace {

int protocolLines(CatEnv& env) { return env.count(QStringLiteral("LOG_TABLE")); }

// A road of the other workstation, with its protocol line. Another program
// announces nothing to this one's lists: the road runs on the transaction
// itself, not through this process's write road.
void onOther(const QString& path, WriteTransaction::Reserve kind, const std::function<void(const engine::Context&)>& change,
             const QString& area, const QString& action)
{
    ServerStation other(path);
    other.write().start(WriteTransaction::params(kind));
    change(other.ctx());
    engine::WriteLogLine(other.ctx(), area, action);
    other.write().commit();
}

bool listed(db::Query* list, qint64 kod)
{
    for (int r = 0; r < list->recordCount(); ++r)
        if (list->valueAt(r, list->fieldIndex(QStringLiteral("KOD"))).toLongLong() == kod)
            return true;
    return false;
}

} // namespace

TEST(RacesServer, ACountTypedOnALineTheOtherWorkstationReplacedLandsNowhere)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    for (const char* name : {"Картофель", "Лук", "Морковь"})
        env.product(QString::fromUtf8(name), 10, 5, 7);
    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) VALUES ('Инв', '2026-12-08', '12:00', 1, %1, %1, "
                                "%2, 0, 2, 0)")
                     .arg(env.firmaKod)
                     .arg(env.kitchen));
    inventory::InvDoc doc;
    doc.kod = env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
    doc.otdel = env.kitchen;
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(w.context(), doc, {}, false);
        w.commit();
    }
    TForm_Invent* window = Form_Invent;
    window->OpenDocs();
    window->FormShow();
    window->CB_Next->setChecked(true);
    input::showActive(window, window->Grid_Inv);
    input::clickCell(window->Grid_Inv, 1, QStringLiteral("MY_KOLVO"));

    // The other workstation fills the document anew: its lines get new keys.
    onOther(env.t().path(), inventory::kRoad,
            [&](const engine::Context& c) { inventory::Fill(c, doc, {false, true, false}, true); },
            QStringLiteral("Инвентаризация"), QStringLiteral("Заполнена табличная часть документа № Инв"));
    const int lines = protocolLines(env);
    const QString counts = QStringLiteral("SELECT LIST(MY_KOLVO) FROM INVENT WHERE KOD_DOC = %1").arg(doc.kod);
    const QString before = env.text(counts);

    env.messages.clear();
    input::typeThenEnter(QStringLiteral("8"), window->Grid_Inv);
    EXPECT_EQ(env.messages.join(QLatin1Char('\n')).toStdString(), engine::LineGoneText().toStdString());
    EXPECT_EQ(env.text(counts).toStdString(), before.toStdString());
    EXPECT_EQ(protocolLines(env), lines);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
    // The number typed goes to no other line: the display is empty, and the
    // list shows the document's lines as they are now.
    EXPECT_TRUE(window->Keypad->E_Klava->text().isEmpty());
    input::press(Qt::Key_Return);
    EXPECT_EQ(env.text(counts).toStdString(), before.toStdString());
    ASSERT_EQ(window->Q_Inv->recordCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const qint64 line = window->Q_Inv->valueAt(r, window->Q_Inv->fieldIndex(QStringLiteral("KOD"))).toLongLong();
        EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD = %1 AND KOD_DOC = %2").arg(line).arg(doc.kod)), 1);
    }
    window->hide();
}

// The other workstation deletes the document first, with or without its
// rollback; this one's deletion, from the movement tab (a posted receipt, a
// posted transfer's other half) or the production tab, is refused.
TEST(RacesServer, ADocumentTheOtherWorkstationDeletedIsNotDeletedAgainAndLeavesTheList)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    struct Race {
        const char* what;
        int type;            // 5 receipt, 4 transfer, 3 sales
        bool otherRollback;  // the other workstation's choice
    };
    for (const Race race : {Race{"receipt, deleted with its rollback", 5, true}, Race{"receipt, deleted as it stood", 5, false},
                            Race{"transfer pair", 4, true}, Race{"sales document", 3, false}}) {
        SCOPED_TRACE(race.what);
        MoveEnv env;
        ASSERT_TRUE(env.moveToTestServer());
        const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
        const qint64 doc = env.doc(race.type, env.kitchen, race.type == 4 ? env.bar : 0, 0, 0, QStringLiteral("Р0"));
        qint64 shown = doc;  // the document this workstation's list stands on
        db::Query* list = MoveTab->Q_Dvig;
        if (race.type == 3) {
            env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, 2, 25)")
                             .arg(doc)
                             .arg(potato)
                             .arg(env.kitchen));
            RealTab->ShowDocument(doc);
            list = RealTab->Q_Docs_Real;
        } else {
            env.line(doc, potato, 10, 20);
            WriteTransaction w(posting::kRoad);
            const posting::PostOutcome out = posting::PostMovement(w.context(), doc, 0);
            w.commit();
            // The transfer's receiving half is the row this workstation deletes.
            if (out.pair != 0)
                shown = out.pair;
            env.select(shown);
        }
        ASSERT_EQ(cat::KeyOf(list), shown);

        deletion::Options o;
        o.rollback = race.otherRollback;
        onOther(env.t().path(), deletion::kRoad, [&](const engine::Context& c) { ASSERT_TRUE(deletion::DeleteWithPair(c, doc, o)); },
                QStringLiteral("Движение"), QStringLiteral("Удалён документ № Р0 от 07.12.2026; "));
        ASSERT_TRUE(listed(list, doc) || listed(list, shown));
        const int lines = protocolLines(env);
        const PostingSnapshot left = env.snapshot();

        env.messages.clear();
        {
            ModalScript dialogs;
            dialogs.then([](QWidget*) {
                if (Form_DelDoc->CB_Otkat->isEnabled())
                    Form_DelDoc->CB_Otkat->setChecked(true);  // confirmed
                Form_DelDoc->Btn_Ok->click();
            });
            if (race.type == 3)
                RealTab->Btn_Del_RealClick();
            else
                MoveTab->Btn_DelDocMoveClick();
        }
        EXPECT_EQ(env.messages.last().toStdString(), engine::DocumentGoneText(QStringLiteral("Р0")).toStdString());
        EXPECT_EQ(protocolLines(env), lines);
        EXPECT_EQ(env.snapshot(), left);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
        EXPECT_FALSE(listed(list, doc));
        EXPECT_FALSE(listed(list, shown));
    }
}

// The other workstation posts or un-posts the document first: this one's
// posting or un-posting is refused and the list shows the row as it is now.
TEST(RacesServer, ADocumentPostedOrUnpostedElsewhereIsReadAgainAfterTheRefusal)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    for (const bool postedHere : {false, true}) {
        SCOPED_TRACE(postedHere ? "un-posting" : "posting");
        MoveEnv env;
        ASSERT_TRUE(env.moveToTestServer());
        const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
        const qint64 doc = env.doc(5, env.kitchen);
        env.line(doc, potato, 10, 20);
        if (postedHere)
            env.t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(doc));
        env.select(doc);
        const QString before = MoveTab->Btn_Provodka->text();
        onOther(
            env.t().path(), posting::kRoad,
            [&](const engine::Context& c) {
                if (postedHere)
                    posting::UnpostDocument(c, doc, 0);
                else
                    posting::PostMovement(c, doc, 0);
            },
            QStringLiteral("Движение"), QStringLiteral("Проводка"));
        const int lines = protocolLines(env);
        const PostingSnapshot left = env.snapshot();

        env.messages.clear();
        {
            ModalScript dialogs;
            if (postedHere)
                dialogs.then([](QWidget*) { Form_DelProv->Btn_Ok->click(); });
            else
                dialogs.then(choose<TForm_Provodka>(0));
            MoveTab->Btn_Provodka->click();
        }
        EXPECT_EQ(env.messages.last().toStdString(),
                  postedHere ? "Проводка этого документа уже снята." : "Документ уже проведён !");
        EXPECT_EQ(protocolLines(env), lines);
        EXPECT_EQ(env.snapshot(), left);
        EXPECT_EQ(env.current(), doc);
        EXPECT_NE(MoveTab->Btn_Provodka->text(), before);
    }
}
