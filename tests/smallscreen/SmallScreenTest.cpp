// The program on a 1024 x 768 screen: the main window's tabs and the main
// dialogs fit it, and the lists' columns stay in sight.
// With TARELIA_SHOTS naming a folder, the windows are saved there as pictures.

#include "../catalogue/CatalogueFixture.h"
#include "../documents/EntryWindowsFit.h"

#include "Unit_Karta.h"
#include "Unit_ProductsTab.h"
#include "Unit_RealTab.h"
#include "Unit_SelectOtdel.h"
#include "support/ReportDialogs.h"
#include "support/WindowsFit.h"

#include <QApplication>

TEST(SmallScreen, TheMainWindowEveryTabAndTheMainDialogsFitTheScreen)
{
    CatEnv env;
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768)) << "the screen of the test's fixture";
    env.firma(QStringLiteral("Кафе «У Д'Артаньяна» на Большой Садовой улице"));
    windowsfit::expectTabsFit();
    windowsfit::expectDialogsFit();
    windowsfit::expectDialogsFit(windowsfit::reportDialogs());
}

// The names a choice puts in a report dialog's panels can be as long as the
// database holds them: the panel cuts them, the dialog stays on the screen.
TEST(SmallScreen, LongNamesInTheReportDialogsKeepThemOnTheScreen)
{
    CatEnv env;
    const auto dialogs = windowsfit::reportDialogs();
    const QString longName = QStringLiteral("Общество с ограниченной ответственностью «Кафе "
                                            "„У Д'Артаньяна“ на Большой Садовой улице, дом 302-бис»")
                                 .repeated(3);
    for (QLabel* panel : {Form_PrintKarta->P_Firma, Form_PrintKarta->P_Otdel, Form_Stat->P_NameFirma,
                          Form_Stat->P_NameOtdel, Form_Oborotka->P_NameFirma, Form_Oborotka->P_NameOtdel,
                          Form_Oborotka->P_Ing})
        panel->setText(longName);
    windowsfit::expectDialogsFit(dialogs);
}

TEST(SmallScreen, TheStockListThePickersAndTheEntryWindowsShowEveryColumnWhole)
{
    MoveEnv env;
    Form_Main->resize(windowsfit::screen().size());
    Form_Main->show();
    const qint64 soup = env.product(QStringLiteral("Суп"), 10, 20, 30);
    env.t().exec(QStringLiteral("UPDATE ING_SKLAD SET LIMIT = 12.5 WHERE KOD_ING = %1").arg(soup));

    CatEnv::showProducts(env.firmaKod, env.kitchen, env.gr);
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    ProductsTab->Timer_Ing_SkladTimer();
    QApplication::processEvents();
    windowsfit::shoot(Form_Main, QStringLiteral("stock-list"));
    for (const char* field : {"NAME", "SHORT_NAME", "CENA", "MY_CENA", "PPPP", "KOLVO", "LIMIT", "PERCENT"})
        windowsfit::expectColumnInSight(ProductsTab->Grid_Ing_Sklad, field);

    const qint64 doc = env.num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, 'Р-1', '2026-12-07', '12:00:00', 3, %2, %2, 0, 0)")
                     .arg(doc)
                     .arg(env.firmaKod));
    env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (%1, %2, %3, 480, 1999.99, 1250.5)")
                     .arg(doc)
                     .arg(soup)
                     .arg(env.kitchen));
    Form_Main->SetActivePage(Form_Main->Sheet_Real);
    RealTab->ShowDocument(doc);
    RealTab->Timer_RealTimer();
    QApplication::processEvents();
    windowsfit::shoot(Form_Main, QStringLiteral("sales-lines"));
    for (const char* field : {"NAME", "SHORT_NAME", "KOLVO", "CENA_SKLAD", "CENA", "SUMMA", "NAME_O"})
        windowsfit::expectColumnInSight(RealTab->Grid_RealBludo, field);
    Form_Main->hide();

    // The card editor's product picker.
    Form_Karta->Prepare(soup);
    Form_Karta->show();
    QApplication::processEvents();
    windowsfit::shoot(Form_Karta, QStringLiteral("card-editor"));
    windowsfit::expectColumnInSight(Form_Karta->Grid_I, "NAME");
    Form_Karta->hide();

    // The department picker titles its list as what it lists.
    Form_SelectOtdel->AttachData();
    Form_Base->OpenRead(Form_SelectOtdel->Q_O, QStringLiteral("SELECT * FROM OTDEL ORDER BY NAME"));
    Form_SelectOtdel->show();
    QApplication::processEvents();
    windowsfit::shoot(Form_SelectOtdel, QStringLiteral("department-picker"));
    db::DbGrid* departments = Form_SelectOtdel->Grid_Firma_M;
    EXPECT_EQ(departments->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Подразделение (Отдел)"));
    windowsfit::expectColumnInSight(departments, "NAME");
    Form_SelectOtdel->hide();
    Form_SelectOtdel->Q_O->close();

    windowsfit::expectEntryWindowsWhole(env);
}
