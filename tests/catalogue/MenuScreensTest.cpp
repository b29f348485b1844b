// The menus tab and the dish picker as a user sees them: every button's
// caption fits. With TARELIA_SHOTS set to a folder, both are saved as PNGs.

#include "MenuFixture.h"

#include "Unit_Menu.h"
#include "Unit_Menu_R.h"
#include "Unit_Menu_S.h"
#include "grid/DatasetModel.h"
#include "util/Settings.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void expectCaptionsFit(QWidget* w)
{
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
        if (!b->isVisibleTo(w))
            continue;
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    }
}

void shoot(QWidget* w, const char* name)
{
    const QString dir = qEnvironmentVariable("TARELIA_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

} // namespace

TEST(MenuScreens, TabWithTwoSectionsAndThePicker)
{
    CatEnv env;
    MenuShop s = makeMenuShop(env);
    MyParams->v.okrugl1 = 2;
    const qint64 menu = newMenu(s.firma, QStringLiteral("Обед на 14 марта, банкетный зал \"Соловьиная роща\""), QDate(2026, 3, 14), 10);
    newMenu(s.firma, QStringLiteral("Ужин"), QDate(2026, 3, 15), -5);
    const qint64 first = newRazdel(menu, s.kitchen, QStringLiteral("Первые блюда"), 1);
    const qint64 drinks = newRazdel(menu, s.bar, QStringLiteral("Напитки"), 2);
    setPrice(env, s.borsch, s.kitchen, 12.50, 0);
    setPrice(env, s.cutlet, s.kitchen, 48.30, 2);
    setPrice(env, s.porridge, s.kitchen, 21.00, 0);
    setPrice(env, s.tea, s.bar, 15.00, 0);
    env.t().exec(QStringLiteral("UPDATE ING SET NAME = 'Борщ украинский с пампушками и сметаной по-домашнему' WHERE KOD = %1")
                     .arg(s.borsch));
    newDish(first, s.borsch);
    newDish(first, s.cutlet);
    const qint64 off = newDish(first, s.porridge);
    env.t().exec(QStringLiteral("UPDATE MENU_STR SET MY_ACTIVE = 0 WHERE KOD = %1").arg(off));
    newDish(drinks, s.tea);
    env.t().exec(QStringLiteral("UPDATE MENU_RAZDEL SET IS_ACTIVE = 0 WHERE KOD = %1").arg(drinks));

    Form_Main->resize(1024, 700);
    Form_Main->show();
    openMenus(s.firma, menu, first);
    QApplication::processEvents();
    expectCaptionsFit(Form_Main->Sheet_Menu);
    shoot(Form_Main, "menus_tab.png");

    Form_Menu_S->Open_Sklad_Menu();
    Form_Menu_S->show();
    CatEnv::at(Form_Menu_S->GrIng, s.hot);
    Form_Menu_S->Timer_IngTimer();
    QApplication::processEvents();
    expectCaptionsFit(Form_Menu_S);
    shoot(Form_Menu_S, "menu_picker.png");
    Form_Menu_S->hide();

    // The two edit dialogs on the current menu and section.
    for (TListEditDialog* d : std::initializer_list<TListEditDialog*>{Form_Menu, Form_Menu_R}) {
        d->NewMode = 0;
        d->show();
        QApplication::processEvents();
        expectCaptionsFit(d);
        shoot(d, d == Form_Menu ? "menu_dialog.png" : "section_dialog.png");
        d->hide();
    }
    Form_Main->hide();
}
