// The lists' columns on a large screen, where the program zooms its windows:
// the values and titles users read in them show whole and in sight.
// With TARELIA_SHOTS naming a folder, the windows are saved there as pictures.

#include "../catalogue/MenuFixture.h"
#include "../documents/MoveEnv.h"
#include "support/WindowsFit.h"

#include "Unit_Invent.h"
#include "Unit_MenusTab.h"
#include "Unit_RealTab.h"
#include "ui/Unit_Main.h"

#include <QApplication>

using windowsfit::expectColumnInSight;
using windowsfit::expectValuesWhole;
using windowsfit::shoot;

TEST(ListColumns, TheSalesLinesSumsTheInventoriesWarehousesAndTheMenusDatesShowWhole)
{
    MoveEnv env;
    Form_Main->resize(1280, 1000);
    Form_Main->show();

    const qint64 soup = env.product(QStringLiteral("Суп"), 10, 20);
    const qint64 doc = env.num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, 'Р-1', '2026-12-07', '12:00:00', 3, %2, %2, 0, 0)")
                     .arg(doc)
                     .arg(env.firmaKod));
    for (const char* values : {"24, 90, 55.5", "480, 1999.99, 1250.5"})
        env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                    "VALUES (%1, %2, %3, %4)")
                         .arg(doc)
                         .arg(soup)
                         .arg(env.kitchen)
                         .arg(QLatin1String(values)));
    Form_Main->SetActivePage(Form_Main->Sheet_Real);
    RealTab->ShowDocument(doc);
    RealTab->Timer_RealTimer();
    QApplication::processEvents();
    shoot(Form_Main, QStringLiteral("sales-lines"));
    for (const char* field : {"KOLVO", "CENA_SKLAD", "CENA", "SUMMA"})
        expectValuesWhole(RealTab->Grid_RealBludo, field);
    for (const char* field : {"NAME", "NAME_O"})
        expectColumnInSight(RealTab->Grid_RealBludo, field);

    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) VALUES ('Инв-1', '2026-12-07', '12:00:00', 1, %1, %1, "
                                "%2, %3, 2, 0)")
                     .arg(env.firmaKod)
                     .arg(env.kitchen)
                     .arg(env.mainSklad(env.kitchen)));
    Form_Invent->OpenDocs();
    Form_Invent->show();
    Form_Invent->FormShow();
    QApplication::processEvents();
    shoot(Form_Invent, QStringLiteral("inventory-documents"));
    for (const char* field : {"DATE_DOC", "TIME_DOC", "NAME", "NAME_1", "NAME_2", "NAME_3"})
        expectColumnInSight(Form_Invent->Grid_Doc, field);
    expectValuesWhole(Form_Invent->Grid_Doc, "NAME_3");
    Form_Invent->hide();

    newMenu(env.firmaKod, QStringLiteral("Обед"), QDate(2026, 12, 8));
    openMenus(env.firmaKod);
    QApplication::processEvents();
    shoot(Form_Main, QStringLiteral("menus"));
    expectValuesWhole(MenusTab->Grid_Menu, "DATE_MENU");
    Form_Main->hide();
}
