// The documents' lists keep the document the user stands on, with its lines
// and their cursor: through tab switches, through reloads that commits of
// other windows bring, read by key or whole. Only the user's own action moves them.

#include "../catalogue/MenuFixture.h"
#include "MoveEnv.h"

#include "Unit_MoveTab.h"
#include "Unit_RealTab.h"
#include "engine/Changes.h"
#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "grid/DatasetModel.h"
#include "grid/ListHolder.h"
#include "support/UserInput.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Name.h"

#include <QPushButton>

namespace {

// Every line listed belongs to the document.
bool linesOf(db::Query* lines, qint64 doc)
{
    if (!lines->active() || lines->isEmpty())
        return false;
    const int col = lines->fieldIndex(QStringLiteral("KOD_DOC"));
    for (int r = 0; r < lines->recordCount(); ++r)
        if (lines->valueAt(r, col).toLongLong() != doc)
            return false;
    return true;
}

} // namespace

TEST(MoveTabList, TheDocumentAndItsLineStayThroughTabSwitchesAndOtherWindowsCommits)
{
    MoveEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"));
    const qint64 onion = env.product(QStringLiteral("Лук"));
    QList<qint64> docs;
    for (int i = 1; i <= 3; ++i) {
        docs << env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("ПН-00%1").arg(i));
        env.line(docs.last(), potato, i, 10);
        env.line(docs.last(), onion, i, 5);
    }
    const qint64 sale = env.doc(3, env.kitchen, 0, 0, 0, QStringLiteral("Р-1"));
    TMoveTab* tab = MoveTab;
    tab->Timer_Moves->setInterval(10);
    RealTab->Timer_Real->setInterval(10);
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    input::showActive(Form_Main, tab->Grid_Dvig);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab->Q_Dvig->active(); }, 1000));

    // ПН-003 and its second line, chosen with the mouse.
    ASSERT_TRUE(tab->Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(docs[2])));
    const int row = tab->Q_Dvig->recNo();
    tab->Q_Dvig->first();
    input::clickCell(tab->Grid_Dvig, row, QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return linesOf(tab->Q_Moves, docs[2]); }, 1000));
    input::clickCell(tab->Grid_DvigIng, 1, QStringLiteral("NAME"));
    auto standsOnChosen = [&](const char* after) {
        EXPECT_EQ(cat::KeyOf(tab->Q_Dvig), docs[2]) << after;
        EXPECT_EQ(tab->Grid_Dvig->currentIndex().row(), tab->Q_Dvig->recNo()) << after;
        EXPECT_TRUE(QTest::qWaitFor([&] { return linesOf(tab->Q_Moves, docs[2]) && !tab->Grid_DvigIng->greyed(); }, 1000))
            << after;
        EXPECT_EQ(tab->Btn_Provodka->text(), QStringLiteral("Провести")) << after;
    };

    // A commit that noted no keys, from another window while the tab shows: read whole, on the same document and line.
    auto renameFirst = [&] {
        WriteTransaction w(WriteTransaction::Reserve::Documents);
        engine::Exec(w.context(), QStringLiteral("UPDATE DOCS SET NAME = 'ПН-001а' WHERE KOD = %1").arg(docs[0]));
        w.commit();
    };
    renameFirst();
    QTest::qWait(30);
    standsOnChosen("a commit without keys");
    EXPECT_EQ(tab->Q_Moves->recNo(), 1);

    // "Наличие на складах и цены" and back.
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Sklad_Ing);
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Move);
    standsOnChosen("the stock tab and back");

    // The production and sales tab, a copy of its sale there, and back.
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Real);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cat::KeyOf(RealTab->Q_Docs_Real) == sale; }, 1000));
    {
        ModalScript script;
        script.then([](QWidget*) {
                  Form_Name->Edit1->setText(QStringLiteral("Р-2"));
                  Form_Name->accept();
              })
            .then(chooseItem(1));
        QTest::mouseClick(RealTab->Btn_Copy_Real, Qt::LeftButton);
    }
    ASSERT_EQ(env.count(QStringLiteral("DOCS"), QStringLiteral("DOC_TYPE = 3")), 2);
    EXPECT_TRUE(tab->List_Dvig->stale());
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Ing);
    standsOnChosen("a copy on the production and sales tab");
    EXPECT_EQ(tab->Q_Dvig->recordCount(), 5);

    // Commits that noted their keys: the rows are read again in place, the
    // posting button follows the current document's state.
    input::clickCell(tab->Grid_DvigIng, 1, QStringLiteral("NAME"));
    for (const auto& [doc, provodka] : {std::pair{docs[0], 0}, std::pair{docs[2], 11}}) {
        WriteTransaction w(WriteTransaction::Reserve::Documents);
        engine::Exec(w.context(), QStringLiteral("UPDATE DOCS SET PROVODKA = %1 WHERE KOD = %2").arg(provodka).arg(doc));
        engine::NoteChange(w.context(), QStringLiteral("DOCS"), doc);
        w.commit();
    }
    QTest::qWait(30);
    EXPECT_EQ(cat::KeyOf(tab->Q_Dvig), docs[2]);
    EXPECT_EQ(tab->Q_Moves->recNo(), 1);
    EXPECT_EQ(tab->Btn_Provodka->text(), QStringLiteral("Снять пр."));
    Form_Main->hide();
}

TEST(RealTabList, TheDocumentAndItsLineStayThroughTabSwitchesAndOtherWindowsCommits)
{
    MoveEnv env;
    const qint64 soup = env.product(QStringLiteral("Суп"));
    const qint64 tea = env.product(QStringLiteral("Чай"));
    QList<qint64> sales;
    for (int i = 1; i <= 2; ++i) {
        sales << env.doc(3, env.kitchen, 0, 0, 0, QStringLiteral("Р-%1").arg(i));
        env.t().exec(QStringLiteral("UPDATE DOCS SET TIME_DOC = '1%1:00:00' WHERE KOD = %2").arg(i).arg(sales.last()));
        for (qint64 dish : {soup, tea})
            env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (%1, %2, %3, 1, 5)")
                             .arg(sales.last())
                             .arg(dish)
                             .arg(env.kitchen));
    }
    TRealTab* tab = RealTab;
    tab->Timer_Real->setInterval(10);
    Form_Main->SetActivePage(Form_Main->Sheet_Real);
    input::showActive(Form_Main, tab->Grid_DocReal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab->Q_Docs_Real->recordCount() == 2; }, 1000));

    // Р-2 and its second line, chosen with the mouse.
    input::clickCell(tab->Grid_DocReal, 1, QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return linesOf(tab->Q_Real_Bludo, sales[1]); }, 1000));
    input::clickCell(tab->Grid_RealBludo, 1, QStringLiteral("NAME"));
    auto standsOnChosen = [&](const char* after) {
        EXPECT_EQ(cat::KeyOf(tab->Q_Docs_Real), sales[1]) << after;
        EXPECT_EQ(tab->Grid_DocReal->currentIndex().row(), 1) << after;
        EXPECT_TRUE(QTest::qWaitFor([&] { return linesOf(tab->Q_Real_Bludo, sales[1]) && !tab->Grid_RealBludo->greyed(); }, 1000))
            << after;
    };

    {
        WriteTransaction w(WriteTransaction::Reserve::Documents);
        engine::Exec(w.context(), QStringLiteral("UPDATE DOCS SET NAME = 'Р-1а' WHERE KOD = %1").arg(sales[0]));
        w.commit();
    }
    QTest::qWait(30);
    standsOnChosen("a commit without keys");
    EXPECT_EQ(tab->Q_Real_Bludo->recNo(), 1);

    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Ing);
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Real);
    standsOnChosen("the products tab and back");
    Form_Main->hide();
}
