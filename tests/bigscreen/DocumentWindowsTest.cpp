// The documents' lists on a large screen: dates and times show whole in the
// zoomed font, the entry windows' figures too, and the inventory's columns
// are all within its window.
// With TARELIA_SHOTS naming a folder, the windows are saved there as pictures.

#include "../documents/EntryWindowsFit.h"

#include "Unit_Invent.h"
#include "Unit_MoveTab.h"
#include "Unit_RealTab.h"
#include "grid/DatasetModel.h"
#include "inventory/Inventory.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "support/ListTables.h"
#include "support/WindowsFit.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

using windowsfit::columnOf;
using windowsfit::expectValuesWhole;
using windowsfit::shoot;

TEST(DocumentWindows, DatesAndTimesOfTheDocumentListsAndTheFiguresOfTheEntryWindowsShowWhole)
{
    MoveEnv env;
    const qint64 potato = env.product(QStringLiteral("Картофель"), 10, 20);
    const qint64 d = env.doc(5, env.kitchen);
    env.line(d, potato, 1, 20);
    env.line(d, potato, 1234.3333, 142.633867);  // a quantity with four decimals, a price with six
    env.doc(4, env.kitchen, env.kitchen, 0, 0, QStringLiteral("ВП-1"));  // a transfer, the widest kind
    Form_Main->resize(1280, 1000);
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    env.select(d);
    MoveTab->Timer_MovesTimer();  // the document's lines, without waiting for the pause
    shoot(Form_Main, QStringLiteral("movement-tab"));
    expectValuesWhole(MoveTab->Grid_Dvig, "DATE_DOC");
    expectValuesWhole(MoveTab->Grid_Dvig, "TD");
    for (const char* field : {"KOLVO", "CENA", "SUMMA"})
        expectValuesWhole(MoveTab->Grid_DvigIng, field);

    const qint64 k = env.num(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
    env.t().exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, P, PROVODKA) VALUES (%1, 'Р-1', '2026-12-07', '23:58:59', 3, %2, %2, 0, 0)")
                     .arg(k)
                     .arg(env.firmaKod));
    Form_Main->SetActivePage(Form_Main->Sheet_Real);
    RealTab->ShowDocument(k);
    RealTab->Timer_Real->stop();
    shoot(Form_Main, QStringLiteral("production-tab"));
    expectValuesWhole(RealTab->Grid_DocReal, "DATE_DOC");
    expectValuesWhole(RealTab->Grid_DocReal, "TIME_DOC");

    windowsfit::expectEntryWindowsWhole(env);
}

TEST(DocumentWindows, TheInventoryShowsItsCountedColumnsAndBoldRowsInItsFont)
{
    MoveEnv env;
    env.product(QStringLiteral("Картофель молодой мытый отборный"), 123.3333, 142.633867);
    env.product(QStringLiteral("Лук"), 0, 5);
    env.t().exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, EDIT_CENA, PROVODKA) VALUES ('Инв', '2026-12-07', '12:00:00', 1, %1, %1, %2, 2, 0)")
                     .arg(env.firmaKod)
                     .arg(env.kitchen));
    const qint64 inv = env.num(QStringLiteral("SELECT MAX(KOD) FROM DOCS"));
    {
        inventory::InvDoc doc;
        doc.kod = inv;
        doc.otdel = env.kitchen;
        doc.date = QDate(2026, 12, 7);
        doc.time = QTime(12, 0);
        WriteTransaction w(inventory::kRoad);
        inventory::Fill(engine::ProgramContext(), doc, {}, false);
        w.commit();
    }
    StandInStatement standIn(Form_Invent->Q_Docs);
    Form_Base->OpenRead(Form_Invent->Q_Docs, QStringLiteral("SELECT DOCS.*, '' AS NAME_1, '' AS NAME_2, '' AS NAME_3 FROM DOCS "
                                                         "WHERE DOC_TYPE = 1"));
    Form_Invent->show();
    Form_Invent->FormShow();
    Form_Invent->LoadInvLines();
    QApplication::processEvents();
    shoot(Form_Invent, QStringLiteral("inventory"));
    db::DbGrid* g = Form_Invent->Grid_Inv;
    ASSERT_GT(g->model()->rowCount(), 0);
    // Every column is on screen without scrolling, the selling price last.
    for (const char* field : {"NAME", "SHORT_NAME", "KOLVO", "CENA", "MY_KOLVO", "MY_CENA", "CENA_P"}) {
        const int col = columnOf(g, field);
        EXPECT_LE(g->columnViewportPosition(col) + g->columnWidth(col), g->viewport()->width()) << field;
        const QPoint right = g->viewport()->mapTo(Form_Invent, QPoint(g->columnViewportPosition(col) + g->columnWidth(col), 0));
        EXPECT_LE(right.x(), Form_Invent->width()) << field;
    }
    // A bold row keeps the grid's size.
    for (int r = 0; r < g->model()->rowCount(); ++r) {
        const QVariant f = g->model()->index(r, 0).data(Qt::FontRole);
        if (f.isValid()) {
            EXPECT_NEAR(f.value<QFont>().pointSizeF(), g->font().pointSizeF(), 0.01);
        }
    }
    expectValuesWhole(Form_Invent->Grid_Doc, "DATE_DOC");
    expectValuesWhole(Form_Invent->Grid_Doc, "TIME_DOC");
    for (const char* field : {"KOLVO", "CENA", "MY_CENA"})
        expectValuesWhole(g, field);
    Form_Invent->hide();
}
