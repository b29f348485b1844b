// The menus tab's print button: after the CSV file, which goes through every
// section, the tab stands on the first section with its dishes; after a cancel
// it stays where it was.

#include "MenuFixture.h"

#include "entries/Btn_Print_MenuClick.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MenusTabPrint, TheCsvFileLeavesTheTabOnTheFirstSection)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), QDate(2026, 3, 14));
    const qint64 first = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 drinks = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    newDish(first, s.borsch);
    newDish(drinks, s.compote);
    openMenus(s.firma, menu, drinks);
    ASSERT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), drinks);

    QTemporaryDir dir;
    const auto saved = printing::PickMenuCsvPath;
    printing::PickMenuCsvPath = [&](const QString&) { return dir.filePath(QStringLiteral("menu.csv")); };
    int item = -1;
    Msg::setModalHandler([&](QDialog* d) {
        if (d != Form_RG || item < 0)
            return int(QDialog::Rejected);
        Form_RG->RG->setItemIndex(item);
        return int(QDialog::Accepted);
    });

    MenusTab->Btn_Print_Menu->click();  // cancelled
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), drinks);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("menu.csv"))));

    item = 2;
    MenusTab->Btn_Print_Menu->click();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("menu.csv"))));
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), first);
    EXPECT_EQ(namesOf(MenusTab->Q_Menu_Str, QStringLiteral("NAME1")), QStringList{QStringLiteral("Борщ")});
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('|')).toStdString();

    Msg::setModalHandler({});
    printing::PickMenuCsvPath = saved;
}

} // namespace
