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
#include "inventory/Inventory.h"
#include "support/ServerStation.h"
#include "support/UserInput.h"

#include <QCheckBox>
#include <QPushButton>

#include <functional>

namespace {

// A road of the other workstation with its protocol line, run on its
// transaction: another program announces nothing to this one's lists.
void onOther(MoveEnv& env, WriteTransaction::Reserve kind, const std::function<void(const engine::Context&)>& change)
{
    ServerStation other(env.t().path());
    other.write().start(WriteTransaction::params(kind));
    change(other.ctx());
    engine::WriteLogLine(other.ctx(), QStringLiteral("Движение"), QStringLiteral("На другом рабочем месте"));
    other.write().commit();
}

bool listed(db::Query* list, qint64 kod)
{
    for (int r = 0; r < list->recordCount(); ++r)
        if (list->valueAt(r, list->fieldIndex(QStringLiteral("KOD"))).toLongLong() == kod)
            return true;
    return false;
}

// What this workstation's refused road must leave as the other left it.
struct Left {
    explicit Left(MoveEnv& env) : env(env), lines(env.count(QStringLiteral("LOG_TABLE"))), stock(env.snapshot()) {}
    void expectKept(const QString& told)
    {
        EXPECT_EQ(env.messages.last().toStdString(), told.toStdString());
        EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE")), lines);
        EXPECT_EQ(env.snapshot(), stock);
        EXPECT_FALSE(Form_Base->TransactionWrite->active());
    }
    MoveEnv& env;
    int lines;
    PostingSnapshot stock;
};

} // namespace

TEST(RacesServer, ACountTypedOnALineTheOtherWorkstationReplacedLandsNowhere)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    for (const char* name : {"Картофель", "Лук", "Морковь"})
        env.product(QString::fromUtf8(name), 10, 5, 7);
    inventory::InvDoc doc{env.doc(1, env.kitchen, 0, 0, 0, QStringLiteral("Инв")), env.kitchen};
    {
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(w.context(), doc, {}, false);
        w.commit();
    }
    TForm_Invent* window = Form_Invent;
    window->OpenDocs();
    window->FormShow();
    input::showActive(window, window->Grid_Inv);
    input::clickCell(window->Grid_Inv, 1, QStringLiteral("MY_KOLVO"));
    const qint64 product = window->Q_Inv->field(QStringLiteral("KOD_ING")).asInt64();

    // The other workstation fills the document anew: its lines get new keys.
    onOther(env, inventory::kRoad, [&](const engine::Context& c) { inventory::Fill(c, doc, {false, true, false}, true); });
    const QString counts = QStringLiteral("SELECT LIST(MY_KOLVO) FROM INVENT WHERE KOD_DOC = %1").arg(doc.kod);
    const QString before = env.text(counts);
    Left left(env);
    env.messages.clear();
    input::typeThenEnter(QStringLiteral("8"), window->Grid_Inv);
    left.expectKept(engine::LineGoneText());
    // The number typed goes to no other line: the display is empty, and the
    // list stands on the same product's line of the document as it is now,
    // where the next number goes.
    EXPECT_TRUE(window->Keypad->E_Klava->text().isEmpty());
    input::press(Qt::Key_Return);
    EXPECT_EQ(env.text(counts).toStdString(), before.toStdString());
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD = %1 AND KOD_ING = %2").arg(cat::KeyOf(window->Q_Inv)).arg(product)), 1);
    input::typeThenEnter(QStringLiteral("9"), window->Grid_Inv);
    EXPECT_EQ(env.count(QStringLiteral("INVENT"), QStringLiteral("KOD_DOC = %1 AND MY_KOLVO = 9 AND KOD_ING = %2").arg(doc.kod).arg(product)), 1);
    window->hide();
}

// The other workstation deletes the document first, with or without its
// rollback; this one's deletion, from the movement tab (a posted receipt, a
// posted transfer's other half) or the production tab, is refused.
TEST(RacesServer, ADocumentTheOtherWorkstationDeletedIsNotDeletedAgainAndLeavesTheList)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
    struct Race {
        const char* what;
        int type;            // 5 receipt, 4 transfer, 3 sales
        bool otherRollback;  // the other workstation's choice
    };
    for (const Race race : {Race{"receipt, deleted with its rollback", 5, true}, Race{"receipt, deleted as it stood", 5, false},
                            Race{"transfer pair", 4, true}, Race{"sales document", 3, false}}) {
        SCOPED_TRACE(race.what);
        const qint64 doc = env.doc(race.type, env.kitchen, race.type == 4 ? env.bar : 0, 0, 0, QStringLiteral("Р0"));
        qint64 shown = doc;  // the row this workstation's list stands on
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
            const qint64 pair = posting::PostMovement(w.context(), doc, 0).pair;
            w.commit();
            shown = pair != 0 ? pair : doc;  // a transfer's receiving half
            env.select(shown);
        }
        ASSERT_EQ(cat::KeyOf(list), shown);
        onOther(env, deletion::kRoad, [&](const engine::Context& c) {
            ASSERT_TRUE(deletion::DeleteWithPair(c, doc, deletion::Options{race.otherRollback, false}));
        });

        Left left(env);
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
        left.expectKept(engine::DocumentGoneText(QStringLiteral("Р0")));
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
    MoveEnv env;
    ASSERT_TRUE(env.moveToTestServer());
    const qint64 potato = env.product(QStringLiteral("Картофель"), 100, 20, 25);
    for (const bool postedHere : {false, true}) {
        SCOPED_TRACE(postedHere ? "un-posting" : "posting");
        const qint64 doc = env.doc(5, env.kitchen);
        env.line(doc, potato, 10, 20);
        if (postedHere)
            env.t().exec(QStringLiteral("EXECUTE PROCEDURE PROVODKA_MOVE (%1)").arg(doc));
        env.select(doc);
        const QString before = MoveTab->Btn_Provodka->text();
        onOther(env, posting::kRoad, [&](const engine::Context& c) {
            if (postedHere)
                posting::UnpostDocument(c, doc, 0);
            else
                posting::PostMovement(c, doc, 0);
        });

        Left left(env);
        env.messages.clear();
        {
            ModalScript dialogs;
            if (postedHere)
                dialogs.then([](QWidget*) { Form_DelProv->Btn_Ok->click(); });
            else
                dialogs.then(choose<TForm_Provodka>(0));
            MoveTab->Btn_Provodka->click();
        }
        left.expectKept(postedHere ? QStringLiteral("Проводка этого документа уже снята.") : QStringLiteral("Документ уже проведён !"));
        EXPECT_EQ(env.current(), doc);
        EXPECT_NE(MoveTab->Btn_Provodka->text(), before);
    }
}
