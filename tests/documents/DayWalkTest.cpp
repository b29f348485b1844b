// A kitchen's day through the windows, as the user clicks it: documents posted
// and un-posted on one tab while the lists of the others wait hidden, and what
// those lists show when the user comes back to them.

#include "MoveEnv.h"

#include "Unit_DocInv.h"
#include "Unit_Invent.h"
#include "Unit_Provodka.h"
#include "Unit_RealTab.h"
#include "Unit_StructureBox.h"
#include "Unit_ZaprosInv.h"
#include "support/UserInput.h"
#include "ui/Unit_Main.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

namespace {

// The stock list's quantity of the product, as the grid shows it now.
QVariant listedStock(qint64 ing)
{
    db::Query* q = ProductsTab->Q_Ing_Sklad;
    if (!q->active())
        return {};
    const int kodCol = q->fieldIndex(QStringLiteral("KOD_ING"));
    const int kolvoCol = q->fieldIndex(QStringLiteral("KOLVO"));
    for (int r = 0; r < q->recordCount(); ++r)
        if (q->valueAt(r, kodCol).toLongLong() == ing)
            return q->valueAt(r, kolvoCol);
    return {};
}

// The posting or un-posting dialog's step: the rule, then OK.
std::function<void(QWidget*)> postingChoice(int rule)
{
    return [rule](QWidget* w) {
        if (auto* d = qobject_cast<TForm_Provodka*>(w)) {
            d->RadioGroup1->setItemIndex(rule);
            QTest::mouseClick(d->Btn_Ok, Qt::LeftButton);
        } else if (auto* u = qobject_cast<TForm_DelProv*>(w)) {
            QTest::mouseClick(u->Btn_Ok, Qt::LeftButton);
        } else {
            ADD_FAILURE() << "another dialog opened: " << w->metaObject()->className();
        }
    };
}

} // namespace

TEST(DayWalk, TheProductsTabStaysWhereTheUserStoodAndShowsEveryPostingOfTheOtherTabs)
{
    MoveEnv env;
    env.group(QStringLiteral("Мясо"));  // listed before the vegetables
    const qint64 beet = env.product(QStringLiteral("Бурак"), 4, 10, 11);
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20, 22);
    env.product(QStringLiteral("Лук"), 3, 15, 16);
    const qint64 receipt = env.doc(5, env.kitchen, 0, 0, 0, QStringLiteral("ПН-001"));
    env.line(receipt, potato, 5, 20);
    const qint64 sale = env.doc(3, env.kitchen, 0, 0, 0, QStringLiteral("Р-1"));
    env.t().exec(QStringLiteral("UPDATE DOCS SET DATE_DOC = CURRENT_DATE, KOD_PARTNER_IMPORT = KOD_PARTNER_EXPORT WHERE KOD = %1")
                     .arg(sale));
    env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (%1, %2, %3, 2, 30, 20)")
                     .arg(sale)
                     .arg(potato)
                     .arg(env.kitchen));
    MoveTab->Timer_Moves->setInterval(10);
    RealTab->Timer_Real->setInterval(10);

    // With the mouse on the stock sub-tab: the kitchen (listed after the bar),
    // the vegetables (after the meat) and Картофель (after Бурак).
    CatEnv::showProducts(env.firmaKod, env.kitchen, env.gr);
    input::showActive(Form_Main, nullptr);
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Sklad_Ing);
    ASSERT_TRUE(StructureBox->Q_Otdel->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(env.kitchen)));
    ASSERT_EQ(StructureBox->Q_Otdel->recNo(), 1);
    input::clickCell(StructureBox->Grid_Otdel, 1, QStringLiteral("NAME"));
    const qint64 kitchenSklad = env.mainSklad(env.kitchen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cat::KeyOf(StructureBox->Q_Sklad) == kitchenSklad && ProductsTab->Q_GrIng->active(); }, 3000));
    ASSERT_EQ(ProductsTab->Q_GrIng->recordCount(), 2);
    input::clickCell(ProductsTab->Grid_GrIng, 1, QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedStock(potato).toDouble() == 10; }, 3000));
    ASSERT_EQ(listedStock(beet).toDouble(), 4);
    input::clickCell(ProductsTab->Grid_Ing_Sklad, 1, QStringLiteral("NAME"));
    ASSERT_EQ(ProductsTab->CurrentStockIng(), potato);

    auto stockShownAfterComingBack = [&](double expected, const char* after) {
        input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Ing);
        input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Sklad_Ing);
        EXPECT_EQ(cat::KeyOf(StructureBox->Q_Otdel), env.kitchen) << after;
        EXPECT_EQ(cat::KeyOf(StructureBox->Q_Sklad), kitchenSklad) << after;
        EXPECT_EQ(StructureBox->Grid_Otdel->currentIndex().row(), StructureBox->Q_Otdel->recNo()) << after;
        EXPECT_TRUE(QTest::qWaitFor([&] { return listedStock(potato).toDouble() == expected; }, 1000))
            << after << ": " << listedStock(potato).toString().toStdString();
        EXPECT_EQ(ProductsTab->CurrentGroup(), env.gr) << after;
        EXPECT_EQ(ProductsTab->CurrentStockIng(), potato) << after;
        EXPECT_EQ(ProductsTab->Grid_Ing_Sklad->currentIndex().row(), ProductsTab->Q_Ing_Sklad->recNo()) << after;
    };
    auto postOnTheMovementTab = [&] {
        input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Move);
        ASSERT_TRUE(QTest::qWaitFor([&] { return MoveTab->Q_Dvig->active(); }, 1000));
        ASSERT_TRUE(MoveTab->Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(receipt)));
        input::clickCell(MoveTab->Grid_Dvig, MoveTab->Q_Dvig->recNo(), QStringLiteral("NAME"));
        ModalScript script;
        script.then(postingChoice(1));
        QTest::mouseClick(MoveTab->Btn_Provodka, Qt::LeftButton);
    };

    postOnTheMovementTab();
    ASSERT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 15);
    stockShownAfterComingBack(15, "the receipt posted");
    postOnTheMovementTab();
    ASSERT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 10);
    stockShownAfterComingBack(10, "the receipt un-posted");
    postOnTheMovementTab();
    stockShownAfterComingBack(15, "the receipt posted again");

    // The production and sales tab: its sale posted with the mouse.
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Real);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return RealTab->Q_Docs_Real->active() &&
                   RealTab->Q_Docs_Real->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(sale));
        },
        1000));
    input::clickCell(RealTab->Grid_DocReal, RealTab->Q_Docs_Real->recNo(), QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return RealTab->Q_Real_Bludo->active() && RealTab->Q_Real_Bludo->recordCount() == 1; }, 1000));
    {
        ModalScript script;
        QTest::mouseClick(RealTab->Btn_Provodka_Real, Qt::LeftButton);
    }
    ASSERT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 13);
    stockShownAfterComingBack(13, "a sale posted on the production and sales tab");

    // The product list of the vegetables: Картофель chosen, the other tab and back.
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_All_Ing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ProductsTab->Q_Ing->active() && ProductsTab->Q_Ing->recordCount() == 3; }, 1000));
    input::clickCell(ProductsTab->Grid_Ing, 1, QStringLiteral("NAME"));
    ASSERT_EQ(ProductsTab->CurrentIng(), potato);
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Real);
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Ing);
    EXPECT_EQ(ProductsTab->CurrentGroup(), env.gr);
    EXPECT_EQ(ProductsTab->CurrentIng(), potato);
    EXPECT_EQ(ProductsTab->Grid_Ing->currentIndex().row(), ProductsTab->Q_Ing->recNo());
    Form_Main->hide();
}

// The stock sub-tab's "Инвентаризация": a new inventory filled with the book
// quantities, counts typed one after another, posted; the stock list behind
// the window shows the counted stock, still on the product the user chose.
TEST(DayWalk, AnInventoryCountedAndPostedFromTheStockTabIsShownThereOnTheChosenRow)
{
    MoveEnv env;
    const qint64 beet = env.product(QStringLiteral("Бурак"), 4, 10, 11);
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20, 22);
    const qint64 onion = env.product(QStringLiteral("Лук"), 3, 15, 16);
    CatEnv::showProducts(env.firmaKod, env.kitchen, env.gr);
    input::showActive(Form_Main, nullptr);
    input::clickTab(Form_Main->PageControl2, Form_Main->Sheet_Sklad_Ing);
    ASSERT_TRUE(StructureBox->Q_Otdel->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(env.kitchen)));
    input::clickCell(StructureBox->Grid_Otdel, StructureBox->Q_Otdel->recNo(), QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedStock(potato).toDouble() == 10; }, 3000));
    input::clickCell(ProductsTab->Grid_Ing_Sklad, 1, QStringLiteral("NAME"));
    ASSERT_EQ(ProductsTab->CurrentStockIng(), potato);

    env.answers = {1, 1, 1};  // drop the unchanged lines, post, and the price reminder
    {
        ModalScript script;
        script
            .then([&](QWidget* d) {
                auto* w = qobject_cast<TForm_Invent*>(d);
                ASSERT_NE(w, nullptr);
                w->Timer_Invent->setInterval(10);
                input::showActive(w, w->Grid_Doc);
                QTest::mouseClick(w->Btn_Add, Qt::LeftButton);
                // The lines grid takes counts once the new document's lines are shown.
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] { return !w->Timer_Invent->isActive() && w->Q_Inv->active() && w->Q_Inv->recordCount() == 3; }, 1000));
                w->CB_Next->setChecked(true);
                w->RadioGroup1->setItemIndex(0);
                input::showActive(w, w->Grid_Inv);
                input::clickCell(w->Grid_Inv, 0, QStringLiteral("MY_KOLVO"));
                for (const char* typed : {"5", "12,5", "0"})
                    input::typeThenEnter(QString::fromLatin1(typed), w->Grid_Inv);
                QTest::mouseClick(w->Btn_Provodka, Qt::LeftButton);
                QTest::mouseClick(w->Btn_Exit, Qt::LeftButton);
            })
            .then([](QWidget*) { QTest::mouseClick(Form_DocInv->Btn_Ok, Qt::LeftButton); })
            .then([](QWidget*) {
                Form_ZaprosInv->RadioGroup1->setItemIndex(1);  // the book quantity
                QTest::mouseClick(Form_ZaprosInv->BitBtn1, Qt::LeftButton);
            });
        QTest::mouseClick(ProductsTab->Btn_Inv, Qt::LeftButton);
    }
    EXPECT_DOUBLE_EQ(env.kolvo(beet, env.kitchen), 5);
    EXPECT_DOUBLE_EQ(env.kolvo(potato, env.kitchen), 12.5);
    EXPECT_DOUBLE_EQ(env.kolvo(onion, env.kitchen), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listedStock(potato).toDouble() == 12.5; }, 1000))
        << listedStock(potato).toString().toStdString();
    EXPECT_EQ(listedStock(onion).toDouble(), 0);
    EXPECT_EQ(ProductsTab->CurrentStockIng(), potato);
    Form_Main->hide();
}
