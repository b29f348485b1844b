// The menus tab on a real database: the dish list's menu price, the menu and
// section dialogs with their checks, switching, moving, copying and deleting.

#include "MenuFixture.h"
#include "support/HeldTables.h"
#include "support/UserInput.h"

#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "Unit_IngSklad.h"
#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "Unit_MoveMenu.h"
#include "Unit_SelectOtdel.h"
#include "grid/DatasetModel.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Name.h"
#include "ui/Unit_Period.h"
#include "util/Settings.h"
#include "costing/Recompute.h"
#include "menus/MenuEngine.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 3, 14);

QString price(const QVariant& v) { return v.isValid() ? QString::number(v.toDouble(), 'f', 2) : QStringLiteral("пусто"); }

QMap<QString, QString> prices()
{
    MenusTab->Open_MenuStr();
    QMap<QString, QString> out;
    const QMap<QString, QVariant> v = byName(MenusTab->Q_Menu_Str, QStringLiteral("CENA_MENU"));
    for (auto it = v.begin(); it != v.end(); ++it)
        out.insert(it.key(), price(it.value()));
    return out;
}

} // namespace

TEST(MenuList, PricesOfTheDishListByRoundingModeMethodAndOption)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    MyParams->v.okrugl1 = 2;  // 1 rouble
    MyParams->v.okrugl2 = 0;  // to the nearest
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay, 10);
    const qint64 r = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    setPrice(env, s.borsch, s.kitchen, 12.50, 0);
    setPrice(env, s.cutlet, s.kitchen, 12.50, 2);
    setPrice(env, s.porridge, s.kitchen, 12.34, 0);
    setPrice(env, s.compote, s.kitchen, 12.50, 1);
    setPrice(env, s.tea, s.kitchen, 12.50, 0);
    setPrice(env, s.mors, s.kitchen, 12.50, 0);
    newDish(r, s.borsch, 0);
    newDish(r, s.cutlet, 1);
    newDish(r, s.porridge, 2);
    newDish(r, s.compote, 1);
    const qint64 tea = newDish(r, s.tea, 0);
    const qint64 mors = newDish(r, s.mors, 0);
    env.t().exec(QStringLiteral("UPDATE MENU_STR SET NO_ROUND = NULL WHERE KOD = %1").arg(tea));
    env.t().exec(QStringLiteral("UPDATE MENU_STR SET NO_ROUND = 3 WHERE KOD = %1").arg(mors));
    openMenus(s.firma, menu, r);

    MyParams->v.DOiliPOSLE = false;
    QMap<QString, QString> before = prices();
    EXPECT_EQ(before.value(QStringLiteral("Борщ")), QStringLiteral("14.00"));
    EXPECT_EQ(before.value(QStringLiteral("Котлета")), QStringLiteral("13.75"));  // hand price, not rounded
    EXPECT_EQ(before.value(QStringLiteral("Каша")), QStringLiteral("13.57"));     // nothing rounded
    EXPECT_EQ(before.value(QStringLiteral("Компот")), QStringLiteral("14.00"));   // computed price under mode 1
    EXPECT_EQ(before.value(QStringLiteral("Чай")), QStringLiteral("14.00"));      // empty mode counts as 0
    EXPECT_EQ(before.value(QStringLiteral("Морс")), QStringLiteral("пусто"));     // unknown mode: no price

    MyParams->v.DOiliPOSLE = true;
    QMap<QString, QString> after = prices();
    EXPECT_EQ(after.value(QStringLiteral("Борщ")), QStringLiteral("13.00"));
    EXPECT_EQ(after.value(QStringLiteral("Компот")), QStringLiteral("13.00"));
    EXPECT_EQ(after.value(QStringLiteral("Чай")), QStringLiteral("13.00"));
    // Unrounded prices are the raised price to the kopeck in this state too.
    EXPECT_EQ(after.value(QStringLiteral("Котлета")), QStringLiteral("13.75"));
    EXPECT_EQ(after.value(QStringLiteral("Каша")), QStringLiteral("13.57"));
    EXPECT_EQ(after.value(QStringLiteral("Морс")), QStringLiteral("пусто"));

    // A negative percent; then halves of kopecks with nothing rounded.
    MyParams->v.DOiliPOSLE = false;
    env.t().exec(QStringLiteral("UPDATE MENU SET PERCENT = -10 WHERE KOD = %1").arg(menu));
    EXPECT_EQ(prices().value(QStringLiteral("Борщ")), QStringLiteral("11.00"));
    env.t().exec(QStringLiteral("UPDATE MENU SET PERCENT = 0 WHERE KOD = %1").arg(menu));
    setPrice(env, s.porridge, s.kitchen, 0.125, 0);
    setPrice(env, s.cutlet, s.kitchen, 0.375, 2);
    MenusTab->Open_MenuStr();
    const QMap<QString, QVariant> halves = byName(MenusTab->Q_Menu_Str, QStringLiteral("CENA_MENU"));
    EXPECT_DOUBLE_EQ(halves.value(QStringLiteral("Каша")).toDouble(), 0.12);
    EXPECT_DOUBLE_EQ(halves.value(QStringLiteral("Котлета")).toDouble(), 0.38);

    // The list carries what the print and the exports read.
    db::Query* q = MenusTab->Q_Menu_Str;
    CatEnv::at(q, tea);
    EXPECT_EQ(q->field(QStringLiteral("KOD1")).asInt64(), r);
    EXPECT_EQ(q->field(QStringLiteral("NAME")).asString(), QStringLiteral("Первое"));
    EXPECT_EQ(q->field(QStringLiteral("NAME1")).asString(), QStringLiteral("Чай"));
    EXPECT_EQ(q->field(QStringLiteral("KOD_ING_SKLAD")).asInt64(), env.ingSklad(s.tea, s.kitchen));
}

TEST(MenuDialog, PercentAndNameChecksWriteNothing)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    PinnedClock clock(kDay);
    openMenus(s.firma);
    const auto attempt = [&](const QString& name, const QString& percent) {
        ModalScript script;
        script.then([&](QWidget*) {
            EXPECT_EQ(Form_Menu->E_Percent->text(), QStringLiteral("0"));
            EXPECT_EQ(Form_Menu->DateTimePicker1->date(), kDay);
            Form_Menu->E_Name->setText(name);
            Form_Menu->E_Percent->setText(percent);
            Form_Menu->Btn_OkClick();
            if (Form_Menu->isVisible())
                Form_Menu->reject();
        });
        MenusTab->Btn_Add_MenuClick();
    };
    const QString refusal = QStringLiteral("В поле процента повышения цены должно стоять целое положительное или отрицательное число !");
    for (const QString& bad : {QStringLiteral("5-"), QStringLiteral("--5"), QStringLiteral("-"), QStringLiteral("1a"),
                               QString(), QStringLiteral("+5"), QStringLiteral("1 0")}) {
        env.messages.clear();
        attempt(QStringLiteral("Ужин"), bad);
        EXPECT_EQ(env.messages, QStringList{refusal}) << bad.toStdString();
    }
    // A percent that takes every price to nought or below.
    for (const QString& bad : {QStringLiteral("-100"), QStringLiteral("-250")}) {
        env.messages.clear();
        attempt(QStringLiteral("Ужин"), bad);
        EXPECT_EQ(env.messages, QStringList{QStringLiteral("Процент повышения цены не может быть равен -100 или быть меньше !")})
            << bad.toStdString();
    }
    env.messages.clear();
    attempt(QString(), QStringLiteral("5"));
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нет наименования меню/наряда !")});
    // Characters the database cannot hold are named, and nothing is written.
    env.messages.clear();
    attempt(QStringLiteral("Обед ☃ 😀 ☃ №1 «ёлка»"), QStringLiteral("5"));
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].endsWith(QStringLiteral(": ☃😀"))) << env.messages[0].toStdString();
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 0);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION LIKE 'Создано меню%'")), 0);

    env.messages.clear();
    attempt(QStringLiteral("Ужин 'праздничный'"), QStringLiteral("-15"));
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(env.num(QStringLiteral("SELECT PERCENT FROM MENU")), -15);
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM MENU")), QStringLiteral("Ужин 'праздничный'"));
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_FIRMA FROM MENU")), s.firma);
    EXPECT_EQ(env.logLines(QStringLiteral("Создано меню <<Ужин 'праздничный'>>")), 1);
    // The list stands on the new menu; a new menu writes no dish rows.
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu), Form_Menu->SavedKod);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 0);
}

TEST(MenuDialog, EditingTheRoundingModeRewritesEveryDishOfTheMenu)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay, 5, 0);
    const qint64 other = newMenu(s.firma, QStringLiteral("Ужин"), kDay, 5, 0);
    const qint64 r1 = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 r2 = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    newDish(r1, s.borsch);
    newDish(r1, s.cutlet);
    newDish(r2, s.tea);
    newDish(newRazdel(other, s.kitchen, QStringLiteral("Первое"), 1), s.borsch);
    openMenus(s.firma, menu);

    ModalScript script;
    script.then([](QWidget*) {
        EXPECT_EQ(Form_Menu->E_Name->text(), QStringLiteral("Обед"));
        EXPECT_EQ(Form_Menu->E_Percent->text(), QStringLiteral("5"));
        EXPECT_EQ(Form_Menu->RG_NoRound->itemIndex(), 0);
        Form_Menu->RG_NoRound->setItemIndex(2);
        Form_Menu->E_Percent->setText(QStringLiteral("7"));
        Form_Menu->Btn_OkClick();
    });
    MenusTab->Btn_Upd_MenuClick();
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("NO_ROUND = 2")), 3);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("NO_ROUND = 0")), 1);  // the other menu
    EXPECT_EQ(env.num(QStringLiteral("SELECT NO_ROUND FROM MENU WHERE KOD = %1").arg(menu)), 2);
    EXPECT_EQ(env.num(QStringLiteral("SELECT PERCENT FROM MENU WHERE KOD = %1").arg(menu)), 7);
    EXPECT_EQ(env.logLines(QStringLiteral("Изменены параметры меню <<Обед>>")), 1);
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu), menu);
}

TEST(MenuDialog, PercentOptionIsStoredAtOnceEvenWhenTheDialogIsCancelled)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    openMenus(s.firma);
    ModalScript script;
    script.then([](QWidget*) {
        Form_Menu->RG_Do->button(1)->click();
        Form_Menu->reject();
    });
    MenusTab->Btn_Add_MenuClick();
    EXPECT_EQ(env.count(QStringLiteral("MY_PARAM"), QStringLiteral("NAME_PARAM = 'DOiliPOSLE'")), 1);
    EXPECT_TRUE(MyParams->v.DOiliPOSLE);
    EXPECT_EQ(env.logLines(QStringLiteral("Применять процент повышения цены меню после округления продажных цен")), 1);
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 0);

    script.then([](QWidget*) {
        EXPECT_EQ(Form_Menu->RG_Do->itemIndex(), 1);  // the dialog keeps the choice
        Form_Menu->RG_Do->button(0)->click();
        Form_Menu->reject();
    });
    MenusTab->Btn_Add_MenuClick();
    EXPECT_EQ(env.count(QStringLiteral("MY_PARAM"), QStringLiteral("NAME_PARAM = 'DOiliPOSLE'")), 0);
    EXPECT_FALSE(MyParams->v.DOiliPOSLE);
    EXPECT_EQ(env.logLines(QStringLiteral("Применять процент повышения цены меню до округления продажных цен")), 1);
}

TEST(SectionDialog, ChecksThenWritesWithTheChosenDepartment)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    openMenus(s.firma, menu);
    const auto attempt = [&](const QString& name, const QString& sort, bool chooseBar) {
        ModalScript script;
        script.then([&](QWidget*) {
            Form_Menu_R->E_Name->setText(name);
            Form_Menu_R->E_Sort->setText(sort);
            if (chooseBar)
                Form_Menu_R->Button1Click();  // the department picker: the next step
            Form_Menu_R->Btn_OkClick();
            if (Form_Menu_R->isVisible())
                Form_Menu_R->reject();
        });
        if (chooseBar)
            script.then([&](QWidget*) {
                EXPECT_EQ(namesOf(Form_SelectOtdel->Q_O), (QStringList{QStringLiteral("Бар"), QStringLiteral("Кухня")}));
                CatEnv::at(Form_SelectOtdel->Q_O, s.bar);
                Form_SelectOtdel->accept();
            });
        MenusTab->Btn_Add_R_MenuClick();
    };
    const QString sortRefusal = QStringLiteral("В поле \"Порядок при печати\" должно стоять целое число или 0 !");
    for (const QString& bad : {QString(), QStringLiteral("-1"), QStringLiteral("1.5"), QStringLiteral("а")}) {
        env.messages.clear();
        attempt(QStringLiteral("Напитки"), bad, true);
        EXPECT_EQ(env.messages, QStringList{sortRefusal}) << bad.toStdString();
    }
    env.messages.clear();
    attempt(QString(), QStringLiteral("1"), true);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Нет наименования раздела !")});
    env.messages.clear();
    attempt(QStringLiteral("Напитки"), QStringLiteral("0"), false);
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Вы не выбрали подразделение !")});
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 0);

    env.messages.clear();
    attempt(QStringLiteral("Напитки"), QStringLiteral("0"), true);
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_OTDEL FROM MENU_RAZDEL")), s.bar);
    EXPECT_EQ(env.num(QStringLiteral("SELECT IS_ACTIVE FROM MENU_RAZDEL")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("В меню <<Обед>> от 14.03.2026 добавлен раздел <<Напитки>>")), 1);
    EXPECT_EQ(MenusTab->Q_Menu_Razdel->field(QStringLiteral("NAME_O")).asString(), QStringLiteral("Бар"));

    // Typed, then Enter: OK saves it; the department picker, between the fields and OK, stays shut.
    ModalScript script;
    script.then([](QWidget*) {
        EXPECT_EQ(Form_Menu_R->Panel1->text(), QStringLiteral("Бар"));
        EXPECT_EQ(Form_Menu_R->OtdelKod, MenusTab->Q_Menu_Razdel->field(QStringLiteral("KOD_OTDEL")).asInt64());
        input::showActive(Form_Menu_R, Form_Menu_R->E_Sort);
        Form_Menu_R->E_Sort->selectAll();
        input::typeText(QStringLiteral("3"));
        input::press(Qt::Key_Return);
    });
    MenusTab->Btn_Upd_R_MenuClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_SORT FROM MENU_RAZDEL")), 3);
    // Enter on "Выбор" opens the picker; once a department is picked, the next Enter saves.
    script.then([](QWidget*) {
        input::showActive(Form_Menu_R, Form_Menu_R->Button1);
        input::press(Qt::Key_Return);
        input::press(Qt::Key_Return);
    });
    script.then([&](QWidget*) {
        CatEnv::at(Form_SelectOtdel->Q_O, s.kitchen);
        Form_SelectOtdel->accept();
    });
    MenusTab->Btn_Upd_R_MenuClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_OTDEL FROM MENU_RAZDEL")), s.kitchen);
    EXPECT_EQ(env.logLines(QStringLiteral("В меню <<Обед>> от 14.03.2026 отредактирован раздел <<Напитки>>")), 2);
}

TEST(Sections, DeleteTakesItsDishesAndSwitchingGreysTheRow)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 r1 = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 r2 = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    newDish(r1, s.borsch);
    newDish(r2, s.tea);
    newDish(r2, s.compote);
    openMenus(s.firma, menu, r2);

    MenusTab->Btn_OpenGRClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT IS_ACTIVE FROM MENU_RAZDEL WHERE KOD = %1").arg(r2)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Открытие/Закрытие раздела <<Напитки>> в меню <<Обед>>")), 1);
    db::Query* rq = MenusTab->Q_Menu_Razdel;
    EXPECT_EQ(cat::KeyOf(rq), r2);
    EXPECT_EQ(TMenusTab::RazdelCellStyle(*rq, rq->recNo(), QStringLiteral("NAME"), Qt::BackgroundRole),
              QVariant(QPalette().color(QPalette::Button)));
    MenusTab->Btn_OpenGRClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT IS_ACTIVE FROM MENU_RAZDEL WHERE KOD = %1").arg(r2)), 1);

    env.answers = {0};
    MenusTab->Btn_Del_R_MenuClick();
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 2);
    MenusTab->Btn_Del_R_MenuClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы действительно желаете удалить раздел ?"));
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 1);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("KOD_MENU_RAZDEL = %1").arg(r2)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление раздела <<Напитки>> из меню <<Обед>> от 14.03.2026")), 1);
    EXPECT_EQ(cat::KeyOf(rq), r1);
}

TEST(Dishes, SwitchMoveAndTheDepartmentDialog)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 r1 = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 r2 = newRazdel(menu, s.kitchen, QStringLiteral("Второе"), 2);
    const qint64 borsch = newDish(r1, s.borsch);
    const qint64 cutlet = newDish(r1, s.cutlet);
    env.t().exec(QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = NULL WHERE KOD = %1").arg(cutlet));
    openMenus(s.firma, menu, r1);
    db::Query* q = MenusTab->Q_Menu_Str;

    // Empty counts as off: greyed, and switching turns it on.
    CatEnv::at(q, cutlet);
    EXPECT_EQ(TMenusTab::StrCellStyle(*q, q->recNo(), QStringLiteral("NAME1"), Qt::BackgroundRole),
              QVariant(QPalette().color(QPalette::Button)));
    MenusTab->Btn_OtklClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_ACTIVE FROM MENU_STR WHERE KOD = %1").arg(cutlet)), 1);
    EXPECT_EQ(cat::KeyOf(q), cutlet);
    MenusTab->Btn_OtklClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT MY_ACTIVE FROM MENU_STR WHERE KOD = %1").arg(cutlet)), 0);
    EXPECT_EQ(env.logLines(QStringLiteral("Включение/Отключение блюда <<Котлета>>")), 2);

    // Moving: the picker offers every section of the menu; the list returns to the row before.
    ModalScript script;
    script.then([&](QWidget*) {
        EXPECT_EQ(namesOf(Form_MoveMenu->Q_MoveMenu).size(), 2);
        CatEnv::at(Form_MoveMenu->Q_MoveMenu, r2);
        Form_MoveMenu->Btn_OkClick();
    });
    MenusTab->Btn_Move_Bludo_MenuClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_MENU_RAZDEL FROM MENU_STR WHERE KOD = %1").arg(cutlet)), r2);
    EXPECT_EQ(env.logLines(QStringLiteral("Перемещение блюда <<Котлета>> из одного раздела меню в другой.")), 1);
    EXPECT_EQ(namesOf(q, QStringLiteral("NAME1")), QStringList{QStringLiteral("Борщ")});
    EXPECT_EQ(cat::KeyOf(q), borsch);
    EXPECT_FALSE(Form_MoveMenu->Q_MoveMenu->active());
    // Into its own section: it stays, the line is still written.
    script.then([&](QWidget*) {
        CatEnv::at(Form_MoveMenu->Q_MoveMenu, r1);
        Form_MoveMenu->Btn_OkClick();
    });
    MenusTab->Btn_Move_Bludo_MenuClick();
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_MENU_RAZDEL FROM MENU_STR WHERE KOD = %1").arg(borsch)), r1);
    EXPECT_EQ(env.logLines(QStringLiteral("Перемещение блюда <<Борщ>> из одного раздела меню в другой.")), 1);
    // Into a section that already lists the dish: refused as the dish picker refuses it.
    const qint64 otherBorsch = newDish(r2, s.borsch);
    CatEnv::at(q, borsch);
    env.messages.clear();
    script.then([&](QWidget*) {
        CatEnv::at(Form_MoveMenu->Q_MoveMenu, r2);
        Form_MoveMenu->Btn_OkClick();
    });
    MenusTab->Btn_Move_Bludo_MenuClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("В этом разделе меню уже имеется блюдо << Борщ >>")});
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_MENU_RAZDEL FROM MENU_STR WHERE KOD = %1").arg(borsch)), r1);
    EXPECT_EQ(env.logLines(QStringLiteral("Перемещение блюда <<Борщ>> из одного раздела меню в другой.")), 1);
    env.t().exec(QStringLiteral("DELETE FROM MENU_STR WHERE KOD = %1").arg(otherBorsch));

    // "Цена блюда": the dish's row in the section's department; the list then shows the new price.
    MyParams->v.okrugl1 = 2;
    CatEnv::at(q, borsch);
    script.then([&](QWidget*) {
        EXPECT_EQ(Form_IngSklad->RowKod, env.ingSklad(s.borsch, s.kitchen));
        Form_IngSklad->R_Metod->setItemIndex(2);
        Form_IngSklad->E_CenaProd->setText(QStringLiteral("20"));
        Form_IngSklad->Btn_OkClick();
    });
    MenusTab->Btn_Edit_BludoClick();
    EXPECT_EQ(cat::KeyOf(q), borsch);
    EXPECT_DOUBLE_EQ(q->field(QStringLiteral("MY_CENA")).asDouble(), 20.0);
    EXPECT_DOUBLE_EQ(q->field(QStringLiteral("CENA_MENU")).asDouble(), 20.0);

    // A user with the menus but without the right that guards prices sets no price here either.
    env.t().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Повар', 'povar')"));
    env.t().exec(QStringLiteral("INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1) SELECT KOD, 6 FROM PERSON WHERE LOGIN = 'povar'"));
    env.loginAs(QStringLiteral("povar"));
    env.messages.clear();
    MenusTab->Btn_Edit_BludoClick();  // the script has no step left: a dialog that opened would be counted
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Пользователю <<Повар>> данная функция недоступна !")});
}

// Each road of the menus tab and its dialogs holds the menus, their sections
// and their dishes from its first step.
TEST(MenusTab, EachRoadHoldsTheMenusTheirSectionsAndDishes)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 first = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 second = newRazdel(menu, s.kitchen, QStringLiteral("Второе"), 2);
    newDish(first, s.borsch);
    const auto step = [](std::function<void()> f) { return [f](QWidget*) { f(); }; };
    const QStringList menus{QStringLiteral("MENU"), QStringLiteral("MENU_RAZDEL"), QStringLiteral("MENU_STR")};
    ExpectEachHolds({
        {"menu made", menus,
         [&] {
             openMenus(s.firma);
             ModalScript script;
             script.then(step([] {
                 Form_Menu->E_Name->setText(QStringLiteral("Ужин"));
                 Form_Menu->Btn_OkClick();
             }));
             MenusTab->Btn_Add_MenuClick();
         }},
        {"menu changed", menus,
         [&] {
             openMenus(s.firma, menu);
             ModalScript script;
             script.then(step([] {
                 Form_Menu->E_Percent->setText(QStringLiteral("5"));
                 Form_Menu->Btn_OkClick();
             }));
             MenusTab->Btn_Upd_MenuClick();
         }},
        {"menu copied", menus,
         [&] {
             openMenus(s.firma, menu);
             ModalScript script;
             script.then(step([] {
                 Form_Name->Edit1->setText(QStringLiteral("Обед на завтра"));
                 Form_Name->BitBtn1->click();
             }));
             MenusTab->Btn_Copy_MenuClick();
         }},
        {"section made", menus,
         [&] {
             openMenus(s.firma, menu);
             ModalScript script;
             script
                 .then(step([] {
                     Form_Menu_R->E_Name->setText(QStringLiteral("Напитки"));
                     Form_Menu_R->E_Sort->setText(QStringLiteral("3"));
                     Form_Menu_R->Button1Click();
                     Form_Menu_R->Btn_OkClick();
                 }))
                 .then(step([&] {
                     CatEnv::at(Form_SelectOtdel->Q_O, s.bar);
                     Form_SelectOtdel->accept();
                 }));
             MenusTab->Btn_Add_R_MenuClick();
         }},
        {"section changed", menus,
         [&] {
             openMenus(s.firma, menu, first);
             ModalScript script;
             script.then(step([] {
                 Form_Menu_R->E_Sort->setText(QStringLiteral("4"));
                 Form_Menu_R->Btn_OkClick();
             }));
             MenusTab->Btn_Upd_R_MenuClick();
         }},
        {"section switched", menus, [] { MenusTab->Btn_OpenGRClick(); }},
        {"dish added", menus,
         [&] {
             openMenus(s.firma, menu, first);
             Form_Menu_S->Open_Sklad_Menu();
             CatEnv::at(Form_Menu_S->GrIng, s.hot);
             Form_Menu_S->Timer_IngTimer();
             CatEnv::at(Form_Menu_S->Ing, s.cutlet);
             Form_Menu_S->Btn_Add_IngClick();
         }},
        {"dish switched", menus, [] { MenusTab->Btn_OtklClick(); }},
        {"dish moved", menus,
         [&] {
             ModalScript script;
             script.then(step([&] {
                 CatEnv::at(Form_MoveMenu->Q_MoveMenu, second);
                 Form_MoveMenu->Btn_OkClick();
             }));
             MenusTab->Btn_Move_Bludo_MenuClick();
         }},
        {"dish removed", menus,
         [&] {
             openMenus(s.firma, menu, first);
             Form_Menu_S->Btn_DelClick();
         }},
        {"section deleted", menus,
         [&] {
             openMenus(s.firma, menu, second);
             MenusTab->Btn_Del_R_MenuClick();
         }},
        {"menu deleted", menus,
         [&] {
             openMenus(s.firma, menu);
             ModalScript script;
             script.then(chooseItem(0));
             MenusTab->Btn_Del_MenuClick();
         }},
    });
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 2);
    EXPECT_EQ(env.count(QStringLiteral("MENU"), QStringLiteral("KOD = %1").arg(menu)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 1);  // the copy's borsch
}

TEST(MenuCopy, TodayPercentZeroSameSectionsAndDishesSourceUnchanged)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    PinnedClock clock(QDate(2026, 4, 1));
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay, 15, 2);
    const qint64 r1 = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 r2 = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    newDish(r1, s.borsch, 2);
    newDish(r1, s.cutlet, 2);
    const qint64 tea = newDish(r2, s.tea, 2);
    env.t().exec(QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = 0 WHERE KOD = %1").arg(tea));
    env.t().exec(QStringLiteral("UPDATE MENU_RAZDEL SET IS_ACTIVE = 0 WHERE KOD = %1").arg(r2));
    openMenus(s.firma, menu);

    ModalScript script;
    script.then([](QWidget*) {
        EXPECT_EQ(Form_Name->windowTitle(), QStringLiteral("Наименование нового меню"));
        EXPECT_TRUE(Form_Name->Edit1->text().isEmpty());
        EXPECT_TRUE(Form_Name->DateTimePicker1->isHidden());
        Form_Name->Edit1->setText(QStringLiteral("Обед (копия)"));
        Form_Name->BitBtn1Click();
    });
    MenusTab->Btn_Copy_MenuClick();
    MenusTab->Timer_MenuTimer();  // what the enterprise list's timer then runs
    const qint64 copy = env.num(QStringLiteral("SELECT KOD FROM MENU WHERE KOD <> %1").arg(menu));
    EXPECT_EQ(env.text(QStringLiteral("SELECT NAME FROM MENU WHERE KOD = %1").arg(copy)), QStringLiteral("Обед (копия)"));
    EXPECT_EQ(env.t().scalar(QStringLiteral("SELECT DATE_MENU FROM MENU WHERE KOD = %1").arg(copy)).toDate(), QDate(2026, 4, 1));
    EXPECT_EQ(env.num(QStringLiteral("SELECT PERCENT FROM MENU WHERE KOD = %1").arg(copy)), 0);
    EXPECT_EQ(env.num(QStringLiteral("SELECT KOD_FIRMA FROM MENU WHERE KOD = %1").arg(copy)), s.firma);
    EXPECT_EQ(env.num(QStringLiteral("SELECT NO_ROUND FROM MENU WHERE KOD = %1").arg(copy)), 0);  // the database's default
    auto sections = env.t().select(QStringLiteral(
        "SELECT R.NAME, R.KOD_OTDEL, R.MY_SORT, R.IS_ACTIVE, (SELECT COUNT(*) FROM MENU_STR S WHERE S.KOD_MENU_RAZDEL = R.KOD) "
        "FROM MENU_RAZDEL R WHERE R.KOD_MENU = %1 ORDER BY R.MY_SORT").arg(copy));
    QStringList got;
    for (; !sections->eof(); sections->next())
        got << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(sections->field(0).asString())
                   .arg(sections->field(1).asInt64() == s.kitchen ? QStringLiteral("кухня") : QStringLiteral("бар"))
                   .arg(sections->field(2).asInt())
                   .arg(sections->field(3).asInt())
                   .arg(sections->field(4).asInt());
    EXPECT_EQ(got, (QStringList{QStringLiteral("Первое кухня 1 1 2"), QStringLiteral("Напитки бар 2 1 1")}));
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR S JOIN MENU_RAZDEL R ON R.KOD = S.KOD_MENU_RAZDEL"),
                        QStringLiteral("R.KOD_MENU = %1 AND S.MY_ACTIVE = 1 AND S.NO_ROUND IS NULL").arg(copy)),
              3);
    // The source as it was.
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL"), QStringLiteral("KOD_MENU = %1").arg(menu)), 2);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("KOD_MENU_RAZDEL IN (%1, %2)").arg(r1).arg(r2)), 3);
    EXPECT_EQ(env.num(QStringLiteral("SELECT PERCENT FROM MENU WHERE KOD = %1").arg(menu)), 15);
    EXPECT_EQ(env.logLines(QStringLiteral("Копирование меню <<Обед>> от 14.03.2026 в <<Обед (копия)>>")), 1);
    EXPECT_EQ(MenusTab->Q_Menu->recordCount(), 2);
}

TEST(MenuDelete, OneMenuWithItsSectionsAndDishesInTheCallersTransaction)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 a = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 b = newMenu(s.firma, QStringLiteral("Ужин"), kDay.addDays(1));
    newDish(newRazdel(a, s.kitchen, QStringLiteral("Первое"), 1), s.borsch);
    newDish(newRazdel(a, s.bar, QStringLiteral("Напитки"), 2), s.tea);
    const qint64 keep = newDish(newRazdel(b, s.kitchen, QStringLiteral("Первое"), 1), s.borsch);

    // The procedure commits nothing: a rollback keeps the menu.
    {
        WriteTransaction w(menus::kRoad);
        engine::RunProc(w.context(), QStringLiteral("DELETE_MENU"), {{QStringLiteral("KOD_MENU"), Key(a)}});
        w.rollback();
    }
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 3);

    openMenus(s.firma, b);
    env.answers = {0, 0};  // "Удалить выбранное меню", then Cancel
    ModalScript script;
    script.then(chooseItem(0));
    MenusTab->Btn_Del_MenuClick();
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 2);
    script.then(chooseItem(0));
    env.answers.clear();
    MenusTab->Btn_Del_MenuClick();
    EXPECT_EQ(Form_RG->RG->items(), (QStringList{QStringLiteral("Удалить выбранное меню"), QStringLiteral("Удалить за период")}));
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы действительно желаете удалить это меню ?"));
    EXPECT_EQ(env.count(QStringLiteral("MENU"), QStringLiteral("KOD = %1").arg(b)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL"), QStringLiteral("KOD_MENU = %1").arg(b)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR"), QStringLiteral("KOD = %1").arg(keep)), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 2);
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 2);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление меню <<Ужин>> от 15.03.2026")), 1);
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu), a);
}

TEST(MenuDelete, ByPeriodOrEveryMenuOfEveryEnterprise)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    PinnedClock clock(QDate(2026, 3, 20));
    const qint64 other = env.firma(QStringLiteral("Столовая"));
    const qint64 otherKitchen = env.mainOtdel(other);
    newDish(newRazdel(newMenu(s.firma, QStringLiteral("Обед"), QDate(2026, 3, 10)), s.kitchen, QStringLiteral("Первое"), 1), s.borsch);
    newMenu(s.firma, QStringLiteral("Ужин"), QDate(2026, 3, 12));
    newDish(newRazdel(newMenu(other, QStringLiteral("Завтрак"), QDate(2026, 3, 11)), otherKitchen, QStringLiteral("Каши"), 1), s.porridge);
    newMenu(other, QStringLiteral("Полдник"), QDate(2026, 3, 25));
    openMenus(s.firma);

    const auto period = [](const QDate& from, const QDate& to, bool all) {
        return [=](QWidget*) {
            EXPECT_EQ(Form_Period->Date_Start->date(), QDate(2026, 3, 20));
            EXPECT_FALSE(Form_Period->CB_AllDate->isChecked());
            Form_Period->Date_Start->setDate(from);
            Form_Period->Date_Finish->setDate(to);
            if (all) {
                Form_Period->CB_AllDate->setChecked(true);
                Form_Period->CB_AllDateClick();
            }
            Form_Period->BitBtn1Click();
        };
    };
    ModalScript script;
    script.then(chooseItem(1)).then(period(QDate(2026, 3, 11), QDate(2026, 3, 12), false));
    MenusTab->Btn_Del_MenuClick();
    EXPECT_EQ(env.messages.last(),
              QStringLiteral("Вы уверены что желаете удалить все меню из базы данных за период с 11.03.2026 по 12.03.2026"));
    EXPECT_EQ(namesOf(MenusTab->Q_Menu), QStringList{QStringLiteral("Обед")});
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 2);  // one of each enterprise went
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 1);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 1);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление меню за период с 11.03.2026 по 12.03.2026")), 1);

    script.then(chooseItem(1)).then(period(QDate(2026, 1, 1), QDate(2026, 1, 2), true));
    MenusTab->Btn_Del_MenuClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Вы уверены что желаете удалить все меню из базы данных ?"));
    EXPECT_EQ(env.count(QStringLiteral("MENU")), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_RAZDEL")), 0);
    EXPECT_EQ(env.count(QStringLiteral("MENU_STR")), 0);
    EXPECT_EQ(env.count(QStringLiteral("LOG_TABLE"), QStringLiteral("WHAT_ACTION LIKE 'Удаление меню%'")), 2);
    EXPECT_EQ(env.logLines(QStringLiteral("Удаление меню за период с 01.01.2026 по 02.01.2026")), 1);
    EXPECT_FALSE(cat::HasRow(MenusTab->Q_Menu));
}

TEST(MenusTab, ListsFollowTheirMastersAndShowNothingStale)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 other = env.firma(QStringLiteral("Столовая"));
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 r = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    newDish(r, s.borsch);
    openMenus(s.firma, menu, r);
    EXPECT_EQ(namesOf(MenusTab->Q_Firma_Menu), (QStringList{QStringLiteral("Кафе \"Уют\""), QStringLiteral("Столовая")}));
    EXPECT_EQ(namesOf(MenusTab->Q_Menu_Str, QStringLiteral("NAME1")), QStringList{QStringLiteral("Борщ")});

    // Moving to the other enterprise greys the three grids and starts the timer;
    // its menus, none, then leave no sections or dishes on show.
    CatEnv::at(MenusTab->Q_Firma_Menu, other);
    EXPECT_TRUE(MenusTab->Grid_Menu->greyed());
    EXPECT_TRUE(MenusTab->Grid_S_Menu->greyed());
    EXPECT_TRUE(MenusTab->Timer_Menu->isActive());
    MenusTab->Timer_MenuTimer();
    EXPECT_FALSE(MenusTab->Grid_Menu->greyed());
    EXPECT_TRUE(MenusTab->Q_Menu->isEmpty());
    EXPECT_FALSE(MenusTab->Q_Menu_Razdel->active());
    EXPECT_FALSE(MenusTab->Q_Menu_Str->active());

    // A section without dishes, and the message of "Список" without a section.
    CatEnv::at(MenusTab->Q_Firma_Menu, s.firma);
    MenusTab->Timer_MenuTimer();
    EXPECT_EQ(namesOf(MenusTab->Q_Menu_Str, QStringLiteral("NAME1")), QStringList{QStringLiteral("Борщ")});
    const qint64 empty = newMenu(s.firma, QStringLiteral("Пусто"), kDay.addDays(1));
    MenusTab->Timer_MenuTimer();
    CatEnv::at(MenusTab->Q_Menu, empty);
    EXPECT_TRUE(MenusTab->Timer_Menu_Razdel->isActive());
    MenusTab->Timer_Menu_RazdelTimer();
    EXPECT_FALSE(MenusTab->Q_Menu_Str->active());
    env.messages.clear();
    MenusTab->Btn_Edit_MenuClick();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Сначала создайте хотябы один раздел меню/наряда !")});
}

TEST(MenusTab, AnotherRoadsCommitReloadsTheListsAndTheDishesFollowAVanishedSection)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед"), kDay);
    const qint64 r1 = newRazdel(menu, s.kitchen, QStringLiteral("Первое"), 1);
    const qint64 r2 = newRazdel(menu, s.kitchen, QStringLiteral("Второе"), 2);
    newDish(r1, s.borsch);
    newDish(r2, s.porridge);
    const qint64 cutlet = newDish(r2, s.cutlet);
    openMenus(s.firma, menu, r2);
    db::Query* dishes = MenusTab->Q_Menu_Str;
    CatEnv::at(dishes, cutlet);
    const auto commit = [](const QString& sql, WriteTransaction::Reserve kind = menus::kRoad) {
        WriteTransaction w(kind);
        for (const QString& statement : sql.split(QLatin1Char(';')))
            engine::Exec(w.context(), statement);
        w.commit();
    };

    // A new price of the dish: the list shows it on the same row, the section stays.
    commit(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = 31 WHERE KOD = %1").arg(env.ingSklad(s.cutlet, s.kitchen)),
           costing::kRoad);
    EXPECT_EQ(cat::KeyOf(dishes), cutlet);
    EXPECT_DOUBLE_EQ(dishes->field(QStringLiteral("MY_CENA")).asDouble(), 31.0);
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), r2);
    EXPECT_FALSE(MenusTab->Timer_Menu_Str->isActive());

    // The section goes: the sections stand on the remaining one and its dishes follow by the timer.
    commit(QStringLiteral("DELETE FROM MENU_STR WHERE KOD_MENU_RAZDEL = %1;DELETE FROM MENU_RAZDEL WHERE KOD = %1").arg(r2));
    EXPECT_EQ(cat::KeyOf(MenusTab->Q_Menu_Razdel), r1);
    EXPECT_FALSE(dishes->active());
    EXPECT_TRUE(MenusTab->Timer_Menu_Str->isActive());
    MenusTab->Timer_Menu_StrTimer();
    EXPECT_EQ(namesOf(dishes, QStringLiteral("NAME1")), QStringList{QStringLiteral("Борщ")});
}
