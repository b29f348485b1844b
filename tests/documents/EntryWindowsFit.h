#pragma once

// The windows where a kitchen types its figures (the movement lines, the
// inventory, the production and sales lines, the costing card), each at the
// size the program gives it on the screen the test runs on, with a long name
// and the widest figures a kitchen has: a price of a million with four
// decimals or of ten thousand with six, a quantity of a thousand with six
// decimals (beside the keypads, prices of a thousand with four decimals or of
// a hundred with six). Every column is within its list's sight (beside the
// keypads, with the list scrolled), and every figure shows whole.

#include "MoveEnv.h"

#include "Unit_IngToDoc.h"
#include "Unit_Invent.h"
#include "Unit_Karta.h"
#include "Unit_RealTab.h"
#include "support/ListTables.h"
#include "support/WindowsFit.h"
#include "ui/Unit_Main.h"
#include "util/Settings.h"

#include <QApplication>
#include <QScrollBar>

namespace windowsfit {

// Every listed column in sight; the figure columns (`whole`) show their values whole too.
inline void expectGridWhole(const char* list, db::DbGrid* grid, std::initializer_list<const char*> inSight,
                            std::initializer_list<const char*> whole)
{
    SCOPED_TRACE(list);
    for (const char* field : inSight)
        expectColumnInSight(grid, field);
    for (const char* field : whole) {
        expectColumnInSight(grid, field);
        expectValuesWhole(grid, field);
    }
}

// The quantities of the list's first two lines as it shows them.
inline QString firstQuantities(db::DbGrid* grid, const char* field)
{
    const int col = columnOf(grid, field);
    return grid->model()->index(0, col).data().toString() + QLatin1Char(' ') + grid->model()->index(1, col).data().toString();
}

inline void expectEntryWindowsWhole(MoveEnv& env)
{
    const QString longName = QStringLiteral("Картофель молодой мытый отборный «Д'Артаньян» для пюре с маслом");
    const qint64 potato = env.product(longName, 0.0004, 1000000.1234, 1000000.1234);
    const qint64 onion = env.product(QStringLiteral("Лук репчатый"), 1234.3333, 142.6339, 199.99);

    // The movement lines, opened as the movement tab opens them.
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 1, 1000000.1234);
    env.line(d, onion, 0.0004, 142.6339);
    env.line(d, onion, 1234.123456, 99999.123456);
    Form_Main->resize(screen().size());
    Form_Main->show();
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    env.select(d);
    MoveTab->Timer_MovesTimer();
    QApplication::processEvents();
    shoot(Form_Main, QStringLiteral("movement-tab-lines"));
    expectGridWhole("movement tab lines", MoveTab->Grid_DvigIng, {"NAME", "ED_IZM", "TypDvig"}, {"KOLVO", "CENA", "SUMMA"});
    Form_IngToDoc->OpenFor(d);
    Form_IngToDoc->show();
    QApplication::processEvents();
    shoot(Form_IngToDoc, QStringLiteral("movement-lines"));
    expectGridWhole("movement lines", Form_IngToDoc->Grid_Moves, {"NAME", "ED_IZM"}, {"KOLVO", "CENA", "SUMMA"});
    expectGridWhole("movement lines products", Form_IngToDoc->Grid_Ing_Sklad, {"NAME", "SHORT_NAME"}, {"CENA", "MY_CENA", "KOLVO"});
    Form_IngToDoc->hide();
    Form_IngToDoc->CloseLists();

    // An inventory of both, long enough to scroll, in bold where the book holds a quantity.
    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, EDIT_CENA, PROVODKA) VALUES ('Инв', '2026-12-07', '12:00:00', 1, %1, %1, %2, 2, 0)")
                     .arg(env.firmaKod)
                     .arg(env.kitchen));
    const qint64 inv = env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
    QStringList invLines{QStringLiteral("%1, 0.00002, 142.633867, 0.00002, 999.999999, 9999.9999").arg(potato)};
    for (int i = 0; i < 30; ++i)
        invLines << QStringLiteral("%1, 1234.333333, 999.999999, 1234.333333, 142.633867, 199.99").arg(onion);
    for (const QString& values : invLines)
        env.t().exec(QStringLiteral("INSERT INTO INVENT (KOD, KOD_DOC, KOD_ING, KOLVO, CENA, MY_KOLVO, MY_CENA, CENA_P) "
                                    "VALUES (GEN_ID(MY_GEN, 1), %1, %2)")
                         .arg(inv)
                         .arg(values));
    Form_Invent->OpenDocs();
    Form_Invent->show();
    Form_Invent->FormShow();
    CatEnv::at(Form_Invent->Q_Docs, inv);
    Form_Invent->LoadInvLines();
    QApplication::processEvents();
    shoot(Form_Invent, QStringLiteral("inventory-lines"));
    EXPECT_TRUE(Form_Invent->Grid_Inv->verticalScrollBar()->isVisible());
    EXPECT_EQ(firstQuantities(Form_Invent->Grid_Inv, "KOLVO"), QStringLiteral("0,00002 1234,333333"));
    expectGridWhole("inventory lines", Form_Invent->Grid_Inv, {"NAME", "SHORT_NAME"}, {"KOLVO", "CENA", "MY_KOLVO", "MY_CENA", "CENA_P"});
    Form_Invent->hide();

    // The production and sales lines on the main window.
    const qint64 real = env.num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, 'Р-77', '2026-12-07', '12:00:00', 3, %2, %2, 0, 0)")
                     .arg(real)
                     .arg(env.firmaKod));
    // So does the room beside its keypad, with sums of seven figures.
    QStringList realLines{QStringLiteral("%1, 0.00002, 999.999999, 9999.9999").arg(potato)};
    for (int i = 0; i < 30; ++i)
        realLines << QStringLiteral("%1, 1234.333333, 8100.0001, 142.633867").arg(onion);
    for (const QString& values : realLines)
        env.t().exec(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_OTDEL, KOD_ING, KOLVO, CENA, CENA_SKLAD) "
                                    "VALUES (%1, %2, %3)")
                         .arg(real)
                         .arg(env.kitchen)
                         .arg(values));
    Form_Main->SetActivePage(Form_Main->Sheet_Real);
    RealTab->ShowDocument(real);
    RealTab->Timer_RealTimer();
    QApplication::processEvents();
    shoot(Form_Main, QStringLiteral("production-lines"));
    EXPECT_TRUE(RealTab->Grid_RealBludo->verticalScrollBar()->isVisible());
    EXPECT_EQ(firstQuantities(RealTab->Grid_RealBludo, "KOLVO"), QStringLiteral("0,00002 1234,333333"));
    expectGridWhole("production lines", RealTab->Grid_RealBludo, {"NAME", "SHORT_NAME", "NAME_O"}, {"KOLVO", "CENA_SKLAD", "CENA", "SUMMA"});
    Form_Main->hide();

    // The costing card of a dish of both.
    const qint64 dish = env.dish(QStringLiteral("Пюре «Д'Артаньян» по-домашнему с луком и маслом сливочным"),
                                 {{potato, 0.000125}, {onion, 25.123456}});
    CatEnv::showProducts(env.firmaKod, env.kitchen, env.gr);
    Form_Karta->Prepare(dish);
    Form_Karta->show();
    QApplication::processEvents();
    shoot(Form_Karta, QStringLiteral("costing-card"));
    ASSERT_EQ(MyParams->v.brutto, 1);  // the coefficient shown, not the yield
    expectGridWhole("card rows", Form_Karta->Grid_Sostav, {"NAME", "SHORT_NAME"}, {"KOLVO", "K_BRUTTO", "BRUTTO"});
    Form_Karta->hide();
}

} // namespace windowsfit
