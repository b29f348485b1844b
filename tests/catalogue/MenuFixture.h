#pragma once

// A café with a kitchen and a bar, dishes for menus and a few that are not,
// and helpers that stand the menus tab on an enterprise, menu and section.

#include "CatalogueFixture.h"

#include "MenuStore.h"
#include "Unit_MenusTab.h"
#include "ui/Unit_RG.h"
#include "util/Clock.h"

#include <QDate>

struct MenuShop {
    qint64 firma, kitchen, kitchenSklad, bar, barSklad, partner;
    qint64 hot, drinks;
    qint64 borsch, cutlet, porridge, compote, tea, mors, salt;
};

inline void setPrice(CatEnv& env, qint64 ing, qint64 otdel, double myCena, int method)
{
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET MY_CENA = %1, METOD_CENA = %2 WHERE KOD_ING = %3 AND KOD_OTDEL = %4")
                     .arg(myCena, 0, 'f', 4)
                     .arg(method)
                     .arg(ing)
                     .arg(otdel));
}

inline qint64 menuDish(CatEnv& env, const QString& name, qint64 group, qint64 unit, bool useMenu = true)
{
    products::IngData d;
    d.name = name;
    d.group = group;
    d.edIzm = unit;
    d.useMenu = useMenu;
    return products::CreateIng(d, {}, {});
}

inline MenuShop makeMenuShop(CatEnv& env)
{
    MenuShop s{};
    const qint64 portion = env.unit(QStringLiteral("порция"), QStringLiteral("порц"));
    s.hot = env.group(QStringLiteral("Горячее"));
    s.drinks = env.group(QStringLiteral("Напитки"));
    s.firma = env.firma(QStringLiteral("Кафе \"Уют\""));
    s.kitchen = env.mainOtdel(s.firma);
    s.kitchenSklad = env.mainSklad(s.kitchen);
    s.bar = structure::CreateOtdel(s.firma, QStringLiteral("Кафе \"Уют\""), QStringLiteral("Бар"), QString());
    s.barSklad = env.mainSklad(s.bar);
    s.partner = env.firma(QStringLiteral("Поставщик"), QStringLiteral("Склад"), QStringLiteral("Склад"), false);
    s.borsch = menuDish(env, QStringLiteral("Борщ"), s.hot, portion);
    s.cutlet = menuDish(env, QStringLiteral("Котлета"), s.hot, portion);
    s.porridge = menuDish(env, QStringLiteral("Каша"), s.hot, portion);
    s.compote = menuDish(env, QStringLiteral("Компот"), s.drinks, portion);
    s.tea = menuDish(env, QStringLiteral("Чай"), s.drinks, portion);
    s.mors = menuDish(env, QStringLiteral("Морс"), s.drinks, portion);
    s.salt = menuDish(env, QStringLiteral("Соль"), s.hot, portion, false);
    return s;
}

// The tab on the enterprise, then (when given) the menu and the section,
// each detail list loaded as its timer would load it.
inline void openMenus(qint64 firma, qint64 menu = 0, qint64 razdel = 0)
{
    Form_Main->SetActivePage(Form_Main->Sheet_Menu);
    MenusTab->Sheet_MenuShow();
    CatEnv::at(MenusTab->Q_Firma_Menu, firma);
    MenusTab->Timer_MenuTimer();
    if (menu) {
        CatEnv::at(MenusTab->Q_Menu, menu);
        MenusTab->Timer_Menu_RazdelTimer();
    }
    if (razdel) {
        CatEnv::at(MenusTab->Q_Menu_Razdel, razdel);
        MenusTab->Timer_Menu_StrTimer();
    }
}

inline qint64 newMenu(qint64 firma, const QString& name, const QDate& date, int percent = 0, int noRound = 0)
{
    menus::MenuData d;
    d.name = name;
    d.date = date;
    d.percent = percent;
    d.firma = firma;
    d.noRound = noRound;
    return menus::SaveMenu(d, 0, {}, {});
}

inline qint64 newRazdel(qint64 menu, qint64 otdel, const QString& name, int sort)
{
    menus::RazdelData d;
    d.name = name;
    d.sort = sort;
    d.menu = menu;
    d.otdel = otdel;
    return menus::SaveRazdel(d, 0, {}, {}, QStringLiteral("м"), QDate(2026, 1, 1));
}

inline qint64 newDish(qint64 razdel, qint64 ing, int noRound = 0)
{
    return menus::AddDish(razdel, ing, noRound, QStringLiteral("б"), QStringLiteral("р"), QStringLiteral("м"), QDate(2026, 1, 1));
}

// The values of a column of a list, by the dish name (NAME1) or the name (NAME).
inline QMap<QString, QVariant> byName(db::Query* q, const QString& column, const QString& nameField = QStringLiteral("NAME1"))
{
    QMap<QString, QVariant> out;
    if (!q->active())
        return out;
    for (int r = 0; r < q->recordCount(); ++r)
        out.insert(q->valueAt(r, q->fieldIndex(nameField)).toString(), q->valueAt(r, q->fieldIndex(column)));
    return out;
}

inline QStringList namesOf(db::Query* q, const QString& field = QStringLiteral("NAME"))
{
    QStringList out;
    if (!q->active())
        return out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->valueAt(r, q->fieldIndex(field)).toString();
    return out;
}

// A choice of Form_RG.
inline std::function<void(QWidget*)> chooseItem(int item)
{
    return [item](QWidget*) {
        if (item < 0) {
            Form_RG->reject();
            return;
        }
        Form_RG->RG->setItemIndex(item);
        Form_RG->accept();
    };
}

// Pins the clock for a test's lifetime.
struct PinnedClock {
    explicit PinnedClock(const QDate& day) { Clock::setSource([day] { return QDateTime(day, QTime(10, 30)); }); }
    ~PinnedClock() { Clock::setSource({}); }
};
