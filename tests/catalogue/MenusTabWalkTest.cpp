// The menus tab as the user leaves it for another tab and comes back: the
// enterprise, menu, section and dish chosen with the mouse are still chosen.

#include "MenuFixture.h"

#include "Unit_MenusTab.h"
#include "support/UserInput.h"
#include "ui/Unit_Main.h"

#include <QTimer>

TEST(MenusTabWalk, TheChosenMenuSectionAndDishStayThroughAVisitToAnotherTab)
{
    CatEnv env;
    const MenuShop s = makeMenuShop(env);
    const qint64 second = env.firma(QStringLiteral("Столовая №2"));
    newMenu(second, QStringLiteral("Меню столовой"), QDate(2026, 12, 1));
    newMenu(s.firma, QStringLiteral("Завтрак"), QDate(2026, 12, 1));
    const qint64 lunch = newMenu(s.firma, QStringLiteral("Обед 'бизнес'"), QDate(2026, 12, 2));
    newRazdel(lunch, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 hot = newRazdel(lunch, s.kitchen, QStringLiteral("Второе"), 2);
    newDish(hot, s.cutlet);
    newDish(hot, s.porridge);
    for (QTimer* t : {MenusTab->Timer_Menu, MenusTab->Timer_Menu_Razdel, MenusTab->Timer_Menu_Str})
        t->setInterval(10);

    Form_Main->SetActivePage(Form_Main->Sheet_Menu);
    input::showActive(Form_Main, nullptr);
    input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Menu);
    ASSERT_TRUE(QTest::qWaitFor([&] { return MenusTab->Q_Menu->active(); }, 1000));
    // Кафе "Уют" is listed first: the second menu, the second section and its second dish with the mouse.
    ASSERT_EQ(cat::KeyOf(MenusTab->Q_Firma_Menu), s.firma);
    input::clickCell(MenusTab->Grid_Menu, 1, QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cat::KeyOf(MenusTab->Q_Menu) == lunch && !MenusTab->Timer_Menu_Razdel->isActive() && MenusTab->Q_Menu_Razdel->active() && MenusTab->Q_Menu_Razdel->recordCount() == 2; }, 1000));
    input::clickCell(MenusTab->Grid_R_Menu, 1, QStringLiteral("NAME"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cat::KeyOf(MenusTab->Q_Menu_Razdel) == hot && !MenusTab->Timer_Menu_Str->isActive() && MenusTab->Q_Menu_Str->active() && MenusTab->Q_Menu_Str->recordCount() == 2; }, 1000));
    QTest::qWait(20);
    input::clickCell(MenusTab->Grid_S_Menu, 1, QStringLiteral("NAME1"));
    ASSERT_EQ(MenusTab->Q_Menu_Str->recNo(), 1);
    const qint64 dish = cat::KeyOf(MenusTab->Q_Menu_Str);

    for (QWidget* other : {Form_Main->Sheet_Real, Form_Main->Sheet_Ing}) {
        input::clickTab(Form_Main->PageControl1, other);
        input::clickTab(Form_Main->PageControl1, Form_Main->Sheet_Menu);
        QTest::qWait(50);
        EXPECT_EQ(cat::KeyOf(MenusTab->Q_Firma_Menu), s.firma);
        EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu), lunch);
        EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), hot);
        EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Str), dish);
        EXPECT_EQ(MenusTab->Grid_S_Menu->currentIndex().row(), MenusTab->Q_Menu_Str->recNo());
    }
    Form_Main->hide();
}
