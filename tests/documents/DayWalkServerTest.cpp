// Two workstations on the test server, one of them through the program's
// windows: what the other one posts meanwhile refuses what this one types,
// and this one's lists show it when they are next shown.

#include "MoveEnv.h"

#include "Unit_IngToDoc.h"
#include "engine/WriteRoad.h"
#include "posting/Posting.h"
#include "support/ServerStation.h"
#include "support/UserInput.h"
#include "ui/Unit_Main.h"

#include <QCheckBox>
#include <QPushButton>

TEST(DayWalkServer, AQuantityTypedIntoADocumentTheOtherWorkstationPostedIsRefusedAndTheListShowsItPosted)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (TARELIA_TEST_SERVER)";
    MoveEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), 1000, 20, 22);
    const qint64 receipt = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("ПН-001"));
    env.line(receipt, potato, 5, 20);
    const QString path = env.testDb().path();
    ASSERT_TRUE(env.moveToTestServer());
    MoveTab->Timer_Moves->setInterval(10);

    // This workstation: the movement tab on the receipt, its lines window open on the line's quantity.
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    input::showActive(Form_Main, MoveTab->Grid_Dvig);
    ASSERT_TRUE(QTest::qWaitFor([&] { return MoveTab->Q_Dvig->active(); }, 1000));
    ASSERT_TRUE(MoveTab->Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(receipt)));
    input::clickCell(MoveTab->Grid_Dvig, MoveTab->Q_Dvig->recNo(), QStringLiteral("NAME"));
    ASSERT_EQ(MoveTab->Btn_Provodka->text(), QStringLiteral("Провести"));
    TForm_IngToDoc* lines = Form_IngToDoc;
    lines->OpenFor(receipt);
    lines->FormShow();
    lines->CB_Kol->setChecked(true);
    lines->RadioGroup1->setItemIndex(0);
    input::showActive(lines, lines->Grid_Moves);
    input::clickCell(lines->Grid_Moves, 0, QStringLiteral("KOLVO"));

    // The other workstation posts it.
    {
        ServerStation other(path);
        WriteTransaction w(other.ctx(), posting::kRoad);
        posting::PostMovement(other.ctx(), receipt, 0);
        w.commit(QStringLiteral("Движение"), QStringLiteral("Проводка"));
    }

    env.messages.clear();
    input::typeThenEnter(QStringLiteral("72"), lines->Grid_Moves);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нельзя вносить изменения в проведённый документ !!!")});
    EXPECT_DOUBLE_EQ(env.t().scalar(QStringLiteral("SELECT KOLVO FROM MOVES WHERE KOD_DOC = %1").arg(receipt)).toDouble(), 5);
    EXPECT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 1005);
    lines->hide();

    // The stock sub-tab and back: the list shows the receipt posted, still standing on it.
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Sklad_Ing);
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Move);
    EXPECT_TRUE(QTest::qWaitFor([&] { return MoveTab->Btn_Provodka->text() == QStringLiteral("Снять пр."); }, 1000));
    EXPECT_EQ(env.current(), receipt);
    Form_Main->hide();
}
