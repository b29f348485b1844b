// The master-detail refresh of the shared lists against a real database:
// debounced reloads, greyed grids, the posting button and calculated fields.

#include "support/ListTables.h"
#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "Printing.h"
#include "Unit_Invent.h"
#include "Unit_MenusTab.h"
#include "Unit_MoveTab.h"
#include "Unit_ProductsTab.h"
#include "Unit_RealTab.h"
#include "Unit_StructureBox.h"
#include "util/Globals.h"
#include "util/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

// Runs the event loop until the condition holds (or a generous limit passes).
bool pumpUntil(const std::function<bool()>& done, int limitMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void pumpFor(int ms)
{
    pumpUntil([] { return false; }, ms);
}

// Greyed by the lists' handlers, whatever the state of the tab around the grid
// (the tabs stay off while nobody is logged in).
bool greyed(const QWidget* grid) { return !grid->isEnabledTo(grid->parentWidget()); }

// The products tab's and the structure box's grids and buttons, as their owners built them.
struct ProductsTabView {
    db::DbGrid* otdel = StructureBox->Grid_Otdel;
    db::DbGrid* sklad = StructureBox->Grid_Sklad;
    db::DbGrid* otdel1 = ProductsTab->Grid_Otdel1;
    db::DbGrid* sklad1 = ProductsTab->Grid_Sklad1;
    db::DbGrid* ingSklad = ProductsTab->Grid_Ing_Sklad;
    db::DbGrid* ing = ProductsTab->Grid_Ing;
    db::DbGrid* grIng = ProductsTab->Grid_GrIng;
    QPushButton* buttons[6] = {StructureBox->Btn_Add_Otdel, StructureBox->Btn_Upd_Otdel, StructureBox->Btn_Del_Otdel,
                               StructureBox->Btn_Add_Sklad, StructureBox->Btn_Upd_Sklad, StructureBox->Btn_Del_Sklad};
    // Reruns of the stock list (each opens it while a warehouse and a group are current).
    int stockReruns = 0;

    ProductsTabView()
    {
        for (QWidget* g : {otdel, sklad, otdel1, sklad1, ingSklad, ing, grIng})
            Release(g);
        QObject::connect(ProductsTab->Q_Ing_Sklad, &db::Query::opened, [this] { ++stockReruns; });
        // The design-enabled timers have nothing to do here.
        ProductsTab->Timer_GrIng->stop();
        MenusTab->Timer_Menu->stop();
        Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    }
    bool buttonsEnabled(bool on) const
    {
        for (QPushButton* b : buttons)
            if (b->isEnabledTo(b->parentWidget()) != on)
                return false;
        return true;
    }
};

} // namespace

TEST(ListRefresh, ScrollingEnterprisesReloadsTheDepartmentsOnceAfterTheLastMove)
{
    AppEnv env;
    TestDb& db = env.testDb();
    for (int i = 0; i < 20; ++i) {
        const QString n = QStringLiteral("Предприятие %1").arg(i, 2, 10, QLatin1Char('0'));
        db.exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('%1', 1)").arg(n));
        db.exec(QStringLiteral("INSERT INTO OTDEL (KOD_FIRMA, NAME, FIRST_OTDEL) SELECT KOD, 'Отдел %1', '1' FROM FIRMA "
                               "WHERE NAME = '%2'").arg(i).arg(n));
        db.exec(QStringLiteral("INSERT INTO SKLAD (KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) SELECT KOD_FIRMA, KOD, "
                               "'Склад %1', '1' FROM OTDEL WHERE NAME = 'Отдел %1'").arg(i));
    }
    // One group kept in every warehouse, so that the stock list opens on each rerun.
    db.exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Овощи')"));
    db.exec(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) SELECT SKLAD.KOD, GROUP_ING.KOD FROM SKLAD, GROUP_ING"));
    ProductsTabView tab;
    int otdelOpens = 0;
    QObject::connect(StructureBox->Q_Otdel, &db::Query::opened, [&] { ++otdelOpens; });

    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    ASSERT_TRUE(pumpUntil([&] { return otdelOpens == 1; }));
    pumpFor(600);  // the chain of the first load runs out
    otdelOpens = 0;
    tab.stockReruns = 0;

    for (int i = 1; i < 20; ++i) {
        StructureBox->Q_Firma->next();
        QCoreApplication::processEvents();  // the key repeat leaves the loop running between moves
        EXPECT_TRUE(greyed(tab.otdel));
        EXPECT_TRUE(greyed(tab.sklad));
    }
    EXPECT_EQ(otdelOpens, 0);
    EXPECT_TRUE(StructureBox->List_Otdel->timer()->isActive());
    EXPECT_EQ(StructureBox->List_Otdel->timer()->interval(), 400);

    ASSERT_TRUE(pumpUntil([&] { return otdelOpens > 0; }));
    // The same step loaded the departments, the warehouses and the stock list.
    EXPECT_EQ(otdelOpens, 1);
    EXPECT_EQ(StructureBox->Q_Otdel->field(QStringLiteral("NAME")).asString(), QStringLiteral("Отдел 19"));
    ASSERT_TRUE(StructureBox->Q_Sklad->active());
    EXPECT_EQ(StructureBox->Q_Sklad->field(QStringLiteral("NAME")).asString(), QStringLiteral("Склад 19"));
    EXPECT_EQ(tab.stockReruns, 1);
    // The selector grids were brought in step with the sub-tab.
    EXPECT_FALSE(greyed(tab.sklad1));
    EXPECT_FALSE(greyed(tab.grIng));
    EXPECT_FALSE(greyed(tab.otdel));
    EXPECT_FALSE(greyed(tab.sklad));
    EXPECT_TRUE(tab.buttonsEnabled(true));

    pumpFor(600);  // nothing more is pending for the departments
    EXPECT_EQ(otdelOpens, 1);
}

TEST(ListRefresh, TheProductsTabBringsItsGroupsAndStockListAtOnceAndOnce)
{
    AppEnv env;
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('Предприятие', 1)"));
    db.exec(QStringLiteral("INSERT INTO OTDEL (KOD_FIRMA, NAME, FIRST_OTDEL) SELECT KOD, 'Отдел', '1' FROM FIRMA"));
    db.exec(QStringLiteral("INSERT INTO SKLAD (KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) SELECT KOD_FIRMA, KOD, 'Склад', '1' "
                           "FROM OTDEL"));
    db.exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Овощи')"));
    db.exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Мясо')"));
    db.exec(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) SELECT SKLAD.KOD, GROUP_ING.KOD FROM SKLAD, GROUP_ING"));
    ProductsTabView tab;
    int groupOpens = 0;
    QObject::connect(ProductsTab->Q_GrIng, &db::Query::opened, [&] { ++groupOpens; });

    ProductsTab->Sheet_IngShow();
    // Nothing waits for a pause: the warehouse's groups are there, the stock list was built once, after them.
    EXPECT_FALSE(ProductsTab->Timer_GrIng->isActive());
    EXPECT_FALSE(ProductsTab->Timer_Ing->isActive());
    EXPECT_FALSE(ProductsTab->Timer_Ing_Sklad->isActive());
    EXPECT_EQ(groupOpens, 1);
    EXPECT_EQ(tab.stockReruns, 1);
    EXPECT_EQ(ProductsTab->Q_GrIng->field(QStringLiteral("NAME")).asString(), QStringLiteral("Мясо"));
    EXPECT_TRUE(ProductsTab->Q_Ing_Sklad->active());
    EXPECT_FALSE(greyed(tab.ingSklad));
    EXPECT_FALSE(greyed(tab.grIng));
}

TEST(ListRefresh, APartnerLeavesTheDepartmentGridsGreyedAndTheirButtonsOff)
{
    AppEnv env;
    env.testDb().exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('Поставщик', 0)"));
    ProductsTabView tab;
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    int otdelOpens = 0;
    QObject::connect(StructureBox->Q_Otdel, &db::Query::opened, [&] { ++otdelOpens; });
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA ORDER BY NAME"));
    EXPECT_TRUE(greyed(tab.otdel));
    EXPECT_TRUE(greyed(tab.sklad));
    EXPECT_TRUE(greyed(tab.otdel1));
    EXPECT_TRUE(greyed(tab.sklad1));
    EXPECT_TRUE(greyed(tab.ingSklad));
    EXPECT_TRUE(tab.buttonsEnabled(false));
    EXPECT_FALSE(StructureBox->List_Otdel->timer()->isActive());
    pumpFor(600);
    EXPECT_EQ(otdelOpens, 0);
    EXPECT_TRUE(greyed(tab.otdel));
}

TEST(ListRefresh, GroupMovesRestartTheProductTimersOnEverySubTabOfTheProductsTab)
{
    AppEnv env;
    ProductsTabView tab;
    const QString groups = QStringLiteral("SELECT 1 AS KOD FROM RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE");
    StandInStatement standIn(ProductsTab->Q_GrIng);
    auto groupMoveStarts = [&](QWidget* page) {
        Form_Main->SetActivePage(page);
        ProductsTab->Timer_Ing->stop();
        ProductsTab->Timer_Ing_Sklad->stop();
        Form_Base->OpenRead(ProductsTab->Q_GrIng, groups);
        const bool started = ProductsTab->Timer_Ing->isActive() && ProductsTab->Timer_Ing_Sklad->isActive();
        ProductsTab->Timer_Ing->stop();
        ProductsTab->Timer_Ing_Sklad->stop();
        return started;
    };
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_All_Ing));
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_Sklad_Ing));
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_Move));
    EXPECT_FALSE(groupMoveStarts(Form_Main->Sheet_Setup));

    // The greying before a move serves the product and stock sub-tabs only.
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    ProductsTab->Q_GrIng->next();
    ProductsTab->Q_GrIng->prior();
    EXPECT_FALSE(greyed(tab.ing));
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    ProductsTab->Q_GrIng->next();
    EXPECT_TRUE(greyed(tab.ing));
    ProductsTab->Timer_Ing->stop();
    ProductsTab->Timer_Ing_Sklad->stop();
}

TEST(ListRefresh, NothingReactsBeforeTheStartUpIsDone)
{
    AppEnv env;
    ProductsTabView tab;
    StartupDone = 0;
    Form_Base->OpenRead(StructureBox->Q_Firma, QStringLiteral("SELECT * FROM FIRMA"));
    EXPECT_FALSE(StructureBox->List_Otdel->timer()->isActive());
    EXPECT_FALSE(greyed(tab.otdel));
    StructureBox->Timer_OtdelTimer();
    EXPECT_FALSE(StructureBox->Q_Otdel->active());
}

TEST(ListRefresh, PostingButtonFollowsTheDocumentAndTheUnpostingLock)
{
    AppEnv env;
    // The tab's handlers on a button and a grid of their own (the tab stays off while nobody is logged in).
    QPushButton provodka;
    db::DbGrid lines;
    QPushButton* const tabProvodka = std::exchange(MoveTab->Btn_Provodka, &provodka);
    db::DbGrid* const tabLines = std::exchange(MoveTab->Grid_DvigIng, &lines);
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('1 инв', 1, 11)"));
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('2 прих', 5, 11)"));
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('3 расх', 6, 0)"));
    db.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOLVO, TYPE_MOVES) SELECT KOD, 2, 1 FROM DOCS WHERE NAME = '2 прих'"));

    MyParams->v.InvProvodka = true;
    StandInStatement standIn(MoveTab->Q_Dvig);
    Form_Base->OpenRead(MoveTab->Q_Dvig, QStringLiteral("SELECT * FROM DOCS ORDER BY NAME"));
    EXPECT_EQ(provodka.text(), QStringLiteral("Снять пр."));
    EXPECT_FALSE(provodka.isEnabled());
    EXPECT_EQ(MoveTab->Q_Dvig->field(QStringLiteral("TD")).asString(), QStringLiteral("Инв"));

    ASSERT_TRUE(pumpUntil([] { return MoveTab->Q_Moves->active(); }));
    MoveTab->Q_Dvig->last();
    MoveTab->Q_Dvig->setRecNo(1);  // a move inside the list greys the lines
    EXPECT_TRUE(lines.greyed());
    EXPECT_EQ(provodka.text(), QStringLiteral("Снять пр."));
    EXPECT_TRUE(provodka.isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return !lines.greyed(); }));
    EXPECT_FALSE(lines.greyed());
    EXPECT_EQ(MoveTab->Q_Moves->recordCount(), 1);
    EXPECT_EQ(MoveTab->Q_Moves->field(QStringLiteral("TypDvig")).asString(), QStringLiteral(" +"));

    MoveTab->Q_Dvig->setRecNo(2);
    EXPECT_EQ(provodka.text(), QStringLiteral("Провести"));
    EXPECT_TRUE(provodka.isEnabled());

    MyParams->v.InvProvodka = false;
    MoveTab->Q_Dvig->first();
    EXPECT_TRUE(provodka.isEnabled());
    MoveTab->Q_Dvig->close();
    MoveTab->Btn_Provodka = tabProvodka;
    MoveTab->Grid_DvigIng = tabLines;
}

TEST(ListRefresh, CalculatedFields)
{
    AppEnv env;
    // The product and stock lists' handlers, on queries of their own (the lists' SQL belongs to the products tab).
    db::Query ing(Form_Base->MyDB, Form_Base->TransactionRead);
    ing.addCalcField(QStringLiteral("K_Brutto"), db::FieldKind::Float);
    ing.onCalcFields = [](db::Query& q) { TProductsTab::Q_IngCalcFields(q); };
    Form_Base->OpenRead(&ing, QStringLiteral(
        "SELECT CAST(80 AS DOUBLE PRECISION) AS VIHOD FROM RDB$DATABASE UNION ALL "
        "SELECT CAST(3 AS DOUBLE PRECISION) FROM RDB$DATABASE UNION ALL "
        "SELECT CAST(0 AS DOUBLE PRECISION) FROM RDB$DATABASE UNION ALL "
        "SELECT CAST(NULL AS DOUBLE PRECISION) FROM RDB$DATABASE"));
    ing.first();
    EXPECT_DOUBLE_EQ(ing.field(QStringLiteral("K_Brutto")).asDouble(), 1.25);
    ing.next();
    EXPECT_DOUBLE_EQ(ing.field(QStringLiteral("K_Brutto")).asDouble(), 100.0 / 3);
    ing.next();
    EXPECT_TRUE(ing.field(QStringLiteral("K_Brutto")).isNull());  // no yield: an empty cell, no error
    ing.next();
    EXPECT_TRUE(ing.field(QStringLiteral("K_Brutto")).isNull());

    db::Query st(Form_Base->MyDB, Form_Base->TransactionRead);
    st.addCalcField(QStringLiteral("PPPP"), db::FieldKind::Float);
    st.onCalcFields = [](db::Query& q) { TProductsTab::Q_Ing_SkladCalcFields(q); };
    Form_Base->OpenRead(&st, QStringLiteral(
        "SELECT CAST(0 AS DOUBLE PRECISION) AS CENA, CAST(50 AS DOUBLE PRECISION) AS MY_CENA FROM RDB$DATABASE "
        "UNION ALL SELECT 80, 100 FROM RDB$DATABASE"));
    st.first();
    EXPECT_DOUBLE_EQ(st.field(QStringLiteral("PPPP")).asDouble(), 0);
    st.next();
    EXPECT_DOUBLE_EQ(st.field(QStringLiteral("PPPP")).asDouble(), 25);

    const QString types = QStringLiteral(
        "SELECT 1 AS DOC_TYPE FROM RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE UNION ALL SELECT 3 FROM RDB$DATABASE "
        "UNION ALL SELECT 4 FROM RDB$DATABASE UNION ALL SELECT 5 FROM RDB$DATABASE UNION ALL SELECT 6 FROM RDB$DATABASE "
        "UNION ALL SELECT 7 FROM RDB$DATABASE UNION ALL SELECT 9 FROM RDB$DATABASE");
    auto names = [&types](db::Query* q) {
        StandInStatement standIn(q);
        Form_Base->OpenRead(q, types);
        QStringList r;
        for (q->first(); !q->eof(); q->next())
            r << q->field(QStringLiteral("TD")).asString();
        q->close();
        return r;
    };
    const QStringList moves{"Инв", "Произв", "Реал", "Вн.пер", "Прих", "Расх", "РасхП", "???"};
    EXPECT_EQ(names(Form_Invent->Q_Docs), moves);
    StartupDone = 0;  // the production list's handlers stay quiet; its field is computed all the same
    EXPECT_EQ(names(RealTab->Q_Docs_Real), (QStringList{"Инв", "Произв", "Реал", "Вн.пер", "Прих", "Расх", "Произв", "???"}));
}

TEST(ListRefresh, MenuSectionsWaitWhileTheProgressWindowIsShown)
{
    AppEnv env;
    Form_Main->SetActivePage(Form_Main->Sheet_Menu);
    StandInStatement standIn(MenusTab->Q_Menu_Razdel);
    Form_Base->OpenRead(MenusTab->Q_Menu_Razdel, QStringLiteral("SELECT 1 AS KOD FROM RDB$DATABASE"));
    EXPECT_TRUE(MenusTab->Timer_Menu_Str->isActive());
    MenusTab->Timer_Menu_Str->stop();
    Form_Gauge->show();
    Form_Base->OpenRead(MenusTab->Q_Menu_Razdel, QStringLiteral("SELECT 2 AS KOD FROM RDB$DATABASE"));
    EXPECT_FALSE(MenusTab->Timer_Menu_Str->isActive());
    Form_Gauge->hide();
}

TEST(ListRefresh, LeavingAnEditedTemplateAskedToSaveCancelWritesNothing)
{
    AppEnv env;
    TForm_Print* editor = Form_Print;
    editor->show();
    editor->Modified = true;
    // The window's save puts the saving flag back to 0; Cancel leaves it as it stands.
    editor->PrintSaving = 7;
    Form_Base->OpenRead(Form_Print->QPrintSpis, QStringLiteral("SELECT * FROM PRINT_SPISOK ORDER BY KOD_SPISOK"));

    Form_Print->QPrintSpis->next();  // from the first row just opened: nothing to ask yet
    EXPECT_TRUE(env.messages.isEmpty());
    env.answers.push_back(0);  // Cancel
    Form_Print->QPrintSpis->next();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Сохранить изменения ?")});
    EXPECT_FALSE(editor->Modified);
    EXPECT_EQ(editor->PrintSaving, 7);

    editor->Modified = true;
    Form_Print->QPrintSpis->next();  // OK: saved
    EXPECT_EQ(env.messages.size(), 2);
    EXPECT_EQ(editor->PrintSaving, 0);
    EXPECT_FALSE(editor->Modified);
    editor->hide();
}
