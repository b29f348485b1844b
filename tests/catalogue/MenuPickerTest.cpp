// The dish picker of a menu section: what it offers, adding and removing
// dishes, and its search with typed text.

#include "MenuFixture.h"

#include "Unit_Menu_S.h"
#include "grid/DatasetModel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTimer>
#include <QLineEdit>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 3, 14);

struct PickerMenu {
    MenuShop s;
    qint64 menu, first, drinks;
};

// A menu whose rounding mode is "hand prices not rounded", with a kitchen
// section and a bar section; the compote is hidden in the kitchen.
PickerMenu makePickerMenu(CatEnv& env)
{
    PickerMenu p{makeMenuShop(env), 0, 0, 0};
    p.menu = newMenu(p.s.firma, QStringLiteral("Обед"), kDay, 0, 1);
    p.first = newRazdel(p.menu, p.s.kitchen, QStringLiteral("Первое"), 1);
    p.drinks = newRazdel(p.menu, p.s.bar, QStringLiteral("Напитки"), 2);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET OPEN_CLOSE = 1 WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                     .arg(p.s.compote)
                     .arg(p.s.kitchen));
    openMenus(p.s.firma, p.menu, p.first);
    Form_Menu_S->Open_Sklad_Menu();
    Form_Menu_S->Set_Context_Menu();
    return p;
}

void browseGroup(qint64 group)
{
    CatEnv::at(Form_Menu_S->GrIng, group);
    Form_Menu_S->Timer_IngTimer();
}

} // namespace

TEST(MenuPicker, OffersOnlyMenuProductsOfTheDepartmentHiddenOnRequest)
{
    CatEnv env;
    PickerMenu p = makePickerMenu(env);
    TForm_Menu_S* f = Form_Menu_S;
    EXPECT_EQ(namesOf(f->SKL), QStringList{QStringLiteral("Основной склад")});
    EXPECT_EQ(namesOf(f->GrIng), (QStringList{QStringLiteral("Горячее"), QStringLiteral("Напитки")}));
    browseGroup(p.s.hot);
    // Salt is not marked for menus and is never offered.
    EXPECT_EQ(namesOf(f->Ing), (QStringList{QStringLiteral("Борщ"), QStringLiteral("Каша"), QStringLiteral("Котлета")}));
    EXPECT_EQ(f->D_Info->isEnabled(), true);
    browseGroup(p.s.drinks);
    EXPECT_EQ(namesOf(f->Ing), (QStringList{QStringLiteral("Морс"), QStringLiteral("Чай")}));
    f->CB_Closed->click();  // reloads warehouses and groups from the top
    EXPECT_EQ(cat::KeyOf(f->GrIng), p.s.hot);
    browseGroup(p.s.drinks);
    EXPECT_EQ(namesOf(f->Ing), (QStringList{QStringLiteral("Компот"), QStringLiteral("Морс"), QStringLiteral("Чай")}));
    EXPECT_EQ(TForm_Menu_S::IngCellStyle(*f->Ing, 0, QStringLiteral("NAME"), Qt::BackgroundRole),
              QVariant(QPalette().color(QPalette::Button)));
    EXPECT_FALSE(TForm_Menu_S::IngCellStyle(*f->Ing, 1, QStringLiteral("NAME"), Qt::BackgroundRole).isValid());

    // A move in the warehouse list greys the lower lists until its timer reloads them.
    f->SKLAfterScroll();
    EXPECT_FALSE(f->Ing->active());
    EXPECT_FALSE(f->Grid_Ing_S->isEnabled());
    EXPECT_TRUE(f->Timer_GrIng->isActive());
    f->Timer_GrIngTimer();
    EXPECT_TRUE(f->Ing->active());

    // The bar section's department: its own warehouse, the same groups.
    CatEnv::at(MenusTab->Q_Menu_Razdel, p.drinks);
    MenusTab->Timer_Menu_StrTimer();
    f->Open_Sklad_Menu();
    EXPECT_EQ(cat::KeyOf(f->SKL), p.s.barSklad);
    EXPECT_EQ(f->DBEdit1->text(), QStringLiteral("Бар"));
}

TEST(MenuPicker, WhileOpenItFollowsTheSectionByTheSectionTimer)
{
    CatEnv env;
    PickerMenu p = makePickerMenu(env);
    TForm_Menu_S* f = Form_Menu_S;
    f->show();
    CatEnv::at(MenusTab->Q_Menu_Razdel, p.drinks);
    QTimer* t = MenusTab->Timer_Menu_Str;
    t->setInterval(0);
    t->start();
    for (int i = 0; i < 20 && t->isActive(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(cat::KeyOf(f->SKL), p.s.barSklad);
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Str), 0);  // the bar section has no dishes yet
    f->hide();
}

TEST(MenuPicker, SearchBindsTheTypedTextAcrossGroups)
{
    CatEnv env;
    PickerMenu p = makePickerMenu(env);
    TForm_Menu_S* f = Form_Menu_S;
    env.t().exec(QStringLiteral("UPDATE ING SET NAME = 'Чай ''Эрл Грей'' 100%' WHERE KOD = %1").arg(p.s.tea));
    f->CB_Context_Ing->click();
    EXPECT_TRUE(f->E_Context_Ing->isEnabled());
    EXPECT_FALSE(f->Grid_Sklad_S->isEnabled());
    EXPECT_FALSE(f->Grid_GrIng_S->isEnabled());
    // An empty text lists every menu product of the department, whatever its group.
    EXPECT_EQ(namesOf(f->Ing), (QStringList{QStringLiteral("Борщ"), QStringLiteral("Каша"), QStringLiteral("Котлета"),
                                            QStringLiteral("Морс"), QStringLiteral("Чай 'Эрл Грей' 100%")}));
    for (const QString& typed : {QStringLiteral("'Эрл"), QStringLiteral("0%"), QStringLiteral("эрл грей"), QStringLiteral("грёй")}) {
        f->E_Context_Ing->setText(typed);
        f->Timer_IngTimer();
        EXPECT_EQ(namesOf(f->Ing), QStringList{QStringLiteral("Чай 'Эрл Грей' 100%")}) << typed.toStdString();
    }
    // Wildcards are letters like any other.
    f->E_Context_Ing->setText(QStringLiteral("%"));
    f->Timer_IngTimer();
    EXPECT_EQ(namesOf(f->Ing).size(), 1);
    f->E_Context_Ing->setText(QStringLiteral("_"));
    f->Timer_IngTimer();
    EXPECT_TRUE(namesOf(f->Ing).isEmpty());
    EXPECT_TRUE(env.messages.isEmpty());
    f->CB_Context_Ing->click();
    EXPECT_FALSE(f->E_Context_Ing->isEnabled());
    EXPECT_TRUE(f->Grid_Sklad_S->isEnabled());
}

TEST(MenuPicker, AddsOnceToASectionWithTheMenusRoundingMode)
{
    CatEnv env;
    PickerMenu p = makePickerMenu(env);
    TForm_Menu_S* f = Form_Menu_S;
    browseGroup(p.s.hot);
    CatEnv::at(f->Ing, p.s.cutlet);
    f->Btn_Add_IngClick();
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("KOD_MENU_RAZDEL = %1 AND KOD_ING = %2 AND NO_ROUND = 1")
                                                         .arg(p.first)
                                                         .arg(p.s.cutlet)),
              1);
    EXPECT_EQ(env.logLines(QStringLiteral("В меню <<Обед>> от 14.03.2026 в раздел <<Первое>> добавлено блюдо <<Котлета>>")), 1);
    db::Query* q = MenusTab->Q_Menu_Str;
    EXPECT_EQ(q->field(QStringLiteral("NAME1")).asString(), QStringLiteral("Котлета"));

    f->Btn_Add_IngClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("В этом разделе меню уже имеется блюдо << Котлета >>")});
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 1);

    // The same dish in the menu's other section is fine; the mode follows the menu as it is now.
    env.t().exec(QStringLiteral("UPDATE MENU SET NO_ROUND = 2 WHERE KOD = %1").arg(p.menu));
    MenusTab->Timer_MenuTimer();
    CatEnv::at(MenusTab->Q_Menu, p.menu);
    MenusTab->Timer_Menu_RazdelTimer();
    CatEnv::at(MenusTab->Q_Menu_Razdel, p.drinks);
    MenusTab->Timer_Menu_StrTimer();
    f->Open_Sklad_Menu();
    browseGroup(p.s.hot);
    CatEnv::at(f->Ing, p.s.cutlet);
    f->Btn_Add_IngClick();
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("KOD_MENU_RAZDEL = %1 AND NO_ROUND = 2").arg(p.drinks)), 1);

    // Without a product under the cursor nothing happens.
    env.messages.clear();
    f->Ing->close();
    f->Btn_Add_IngClick();
    f->Btn_KartaClick();
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 2);
}

TEST(MenuPicker, RemovesWithItsProtocolLineAndStandsOnTheRowBefore)
{
    CatEnv env;
    PickerMenu p = makePickerMenu(env);
    const qint64 borsch = newDish(p.first, p.s.borsch);
    const qint64 porridge = newDish(p.first, p.s.porridge);
    newDish(p.first, p.s.cutlet);
    MenusTab->Timer_Menu_StrTimer();
    db::Query* q = MenusTab->Q_Menu_Str;
    EXPECT_EQ(namesOf(q, QStringLiteral("NAME1")),
              (QStringList{QStringLiteral("Борщ"), QStringLiteral("Каша"), QStringLiteral("Котлета")}));

    env.answers = {0};
    CatEnv::at(q, porridge);
    Form_Menu_S->Btn_DelClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Вы действительно желаете убрать блюдо из меню ?")});
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 3);

    Form_Menu_S->Btn_DelClick();
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 2);
    EXPECT_EQ(cat::KeyOf(q), borsch);
    const QString line = QStringLiteral("B меню <<Обед>> от 14.03.2026 из раздела <<Первое>> удалено блюдо <<Каша>>");
    EXPECT_EQ(line.at(0).unicode(), 0x42);  // the Latin letter the protocol has always had there
    EXPECT_EQ(env.logLines(line), 1);

    // The first row: the reopened list stands where the reopen leaves it.
    Form_Menu_S->Btn_DelClick();
    EXPECT_EQ(namesOf(q, QStringLiteral("NAME1")), QStringList{QStringLiteral("Котлета")});
    EXPECT_EQ(cat::KeyOf(q), env.num(QStringLiteral("SELECT KOD FROM MENU_STR")));
}
