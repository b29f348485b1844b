// The master-detail refresh of the shared lists against a real database:
// debounced reloads, greyed grids, the posting button and calculated fields.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/Unit_Gauge.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Timers.h"
#include "util/Globals.h"
#include "util/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>

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

// The products tab's grids and the structure buttons, as their owner builds them.
struct ProductsTab {
    std::unique_ptr<db::DbGrid> otdel{new db::DbGrid}, sklad{new db::DbGrid}, otdel1{new db::DbGrid},
        sklad1{new db::DbGrid}, ingSklad{new db::DbGrid}, ing{new db::DbGrid}, grIng{new db::DbGrid};
    std::unique_ptr<QPushButton> buttons[6];
    int stockReruns = 0;
    int syncs = 0;

    ProductsTab()
    {
        Form_Main->Grid_Otdel = otdel.get();
        Form_Main->Grid_Sklad = sklad.get();
        Form_Main->Grid_Otdel1 = otdel1.get();
        Form_Main->Grid_Sklad1 = sklad1.get();
        Form_Main->Grid_Ing_Sklad = ingSklad.get();
        Form_Main->Grid_Ing = ing.get();
        Form_Main->Grid_GrIng = grIng.get();
        QPointer<QPushButton>* places[] = {&Form_Main->Btn_Add_Otdel, &Form_Main->Btn_Upd_Otdel, &Form_Main->Btn_Del_Otdel,
                                          &Form_Main->Btn_Add_Sklad, &Form_Main->Btn_Upd_Sklad, &Form_Main->Btn_Del_Sklad};
        for (int i = 0; i < 6; ++i) {
            buttons[i].reset(new QPushButton);
            *places[i] = buttons[i].get();
        }
        Form_Timers->hooks.rerunStockList = [this] { ++stockReruns; };
        Form_Timers->hooks.syncSelectorGrids = [this] { ++syncs; };
        // The design-enabled timers have nothing to do here.
        Form_Timers->Timer_GrIng->stop();
        Form_Timers->Timer_Menu->stop();
        Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    }
    bool buttonsEnabled(bool on) const
    {
        for (const auto& b : buttons)
            if (b->isEnabled() != on)
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
    ProductsTab tab;
    int otdelOpens = 0;
    QObject::connect(Form_Base->Q_Otdel, &db::Query::opened, [&] { ++otdelOpens; });

    Form_Base->OpenRead(Form_Base->Q_Firma, QStringLiteral("SELECT * FROM FIRMA WHERE LOCAL_FIRMA = 1 ORDER BY NAME"));
    ASSERT_TRUE(pumpUntil([&] { return otdelOpens == 1; }));
    pumpFor(600);  // the chain of the first load runs out
    otdelOpens = 0;
    tab.stockReruns = 0;

    for (int i = 1; i < 20; ++i) {
        Form_Base->Q_Firma->next();
        QCoreApplication::processEvents();  // the key repeat leaves the loop running between moves
        EXPECT_TRUE(tab.otdel->greyed());
        EXPECT_TRUE(tab.sklad->greyed());
    }
    EXPECT_EQ(otdelOpens, 0);
    EXPECT_TRUE(Form_Timers->Timer_Otdel->isActive());
    EXPECT_EQ(Form_Timers->Timer_Otdel->interval(), 400);

    ASSERT_TRUE(pumpUntil([&] { return otdelOpens > 0; }));
    // The same step loaded the departments, the warehouses and the stock list.
    EXPECT_EQ(otdelOpens, 1);
    EXPECT_EQ(Form_Base->Q_Otdel->field(QStringLiteral("NAME")).asString(), QStringLiteral("Отдел 19"));
    ASSERT_TRUE(Form_Base->Q_Sklad->active());
    EXPECT_EQ(Form_Base->Q_Sklad->field(QStringLiteral("NAME")).asString(), QStringLiteral("Склад 19"));
    EXPECT_EQ(tab.stockReruns, 1);
    EXPECT_GE(tab.syncs, 1);
    EXPECT_FALSE(tab.otdel->greyed());
    EXPECT_FALSE(tab.sklad->greyed());
    EXPECT_TRUE(tab.buttonsEnabled(true));

    pumpFor(600);  // nothing more is pending for the departments
    EXPECT_EQ(otdelOpens, 1);
}

TEST(ListRefresh, APartnerLeavesTheDepartmentGridsGreyedAndTheirButtonsOff)
{
    AppEnv env;
    env.testDb().exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('Поставщик', 0)"));
    ProductsTab tab;
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    int otdelOpens = 0;
    QObject::connect(Form_Base->Q_Otdel, &db::Query::opened, [&] { ++otdelOpens; });
    Form_Base->OpenRead(Form_Base->Q_Firma, QStringLiteral("SELECT * FROM FIRMA ORDER BY NAME"));
    EXPECT_TRUE(tab.otdel->greyed());
    EXPECT_TRUE(tab.sklad->greyed());
    EXPECT_TRUE(tab.otdel1->greyed());
    EXPECT_TRUE(tab.sklad1->greyed());
    EXPECT_TRUE(tab.ingSklad->greyed());
    EXPECT_TRUE(tab.buttonsEnabled(false));
    EXPECT_FALSE(Form_Timers->Timer_Otdel->isActive());
    pumpFor(600);
    EXPECT_EQ(otdelOpens, 0);
    EXPECT_TRUE(tab.otdel->greyed());
}

TEST(ListRefresh, GroupMovesRestartTheProductTimersOnEverySubTabOfTheProductsTab)
{
    AppEnv env;
    ProductsTab tab;
    const QString groups = QStringLiteral("SELECT 1 AS KOD FROM RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE");
    auto groupMoveStarts = [&](QWidget* page) {
        Form_Main->SetActivePage(page);
        Form_Timers->Timer_Ing->stop();
        Form_Timers->Timer_Ing_Sklad->stop();
        Form_Base->OpenRead(Form_Base->Q_GrIng, groups);
        const bool started = Form_Timers->Timer_Ing->isActive() && Form_Timers->Timer_Ing_Sklad->isActive();
        Form_Timers->Timer_Ing->stop();
        Form_Timers->Timer_Ing_Sklad->stop();
        return started;
    };
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_All_Ing));
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_Sklad_Ing));
    EXPECT_TRUE(groupMoveStarts(Form_Main->Sheet_Move));
    EXPECT_FALSE(groupMoveStarts(Form_Main->Sheet_Setup));

    // The greying before a move serves the product and stock sub-tabs only.
    Form_Main->SetActivePage(Form_Main->Sheet_Move);
    Form_Base->Q_GrIng->next();
    Form_Base->Q_GrIng->prior();
    EXPECT_FALSE(tab.ing->greyed());
    Form_Main->SetActivePage(Form_Main->Sheet_All_Ing);
    Form_Base->Q_GrIng->next();
    EXPECT_TRUE(tab.ing->greyed());
    Form_Timers->Timer_Ing->stop();
    Form_Timers->Timer_Ing_Sklad->stop();
}

TEST(ListRefresh, NothingReactsBeforeTheStartUpIsDone)
{
    AppEnv env;
    ProductsTab tab;
    StartupDone = 0;
    Form_Base->OpenRead(Form_Base->Q_Firma, QStringLiteral("SELECT * FROM FIRMA"));
    EXPECT_FALSE(Form_Timers->Timer_Otdel->isActive());
    EXPECT_FALSE(tab.otdel->greyed());
    Form_Timers->Timer_OtdelTimer();
    EXPECT_FALSE(Form_Base->Q_Otdel->active());
}

TEST(ListRefresh, PostingButtonFollowsTheDocumentAndTheUnpostingLock)
{
    AppEnv env;
    QPushButton provodka;
    db::DbGrid lines;
    Form_Main->Btn_Provodka = &provodka;
    Form_Main->Grid_DvigIng = &lines;
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('1 инв', 1, 11)"));
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('2 прих', 5, 11)"));
    db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DOC_TYPE, PROVODKA) VALUES ('3 расх', 6, 0)"));
    db.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOLVO, TYPE_MOVES) SELECT KOD, 2, 1 FROM DOCS WHERE NAME = '2 прих'"));

    MyParams->v.InvProvodka = true;
    Form_Base->OpenRead(Form_Base->Q_Dvig, QStringLiteral("SELECT * FROM DOCS ORDER BY NAME"));
    EXPECT_EQ(provodka.text(), QStringLiteral("Снять пр."));
    EXPECT_FALSE(provodka.isEnabled());
    EXPECT_EQ(Form_Base->Q_Dvig->field(QStringLiteral("TD")).asString(), QStringLiteral("Инв"));

    ASSERT_TRUE(pumpUntil([] { return Form_Base->Q_Moves->active(); }));
    Form_Base->Q_Dvig->last();
    Form_Base->Q_Dvig->setRecNo(1);  // a move inside the list greys the lines
    EXPECT_TRUE(lines.greyed());
    EXPECT_EQ(provodka.text(), QStringLiteral("Снять пр."));
    EXPECT_TRUE(provodka.isEnabled());
    ASSERT_TRUE(pumpUntil([&] { return !lines.greyed(); }));
    EXPECT_FALSE(lines.greyed());
    EXPECT_EQ(Form_Base->Q_Moves->recordCount(), 1);
    EXPECT_EQ(Form_Base->Q_Moves->field(QStringLiteral("TypDvig")).asString(), QStringLiteral(" +"));

    Form_Base->Q_Dvig->setRecNo(2);
    EXPECT_EQ(provodka.text(), QStringLiteral("Провести"));
    EXPECT_TRUE(provodka.isEnabled());

    MyParams->v.InvProvodka = false;
    Form_Base->Q_Dvig->first();
    EXPECT_TRUE(provodka.isEnabled());
}

TEST(ListRefresh, CalculatedFields)
{
    AppEnv env;
    // The product and stock lists' handlers, on queries of their own (the lists' SQL belongs to the products tab).
    db::Query ing(Form_Base->MyDB, Form_Base->TransactionRead);
    ing.addCalcField(QStringLiteral("K_Brutto"), db::FieldKind::Float);
    ing.onCalcFields = [](db::Query& q) { Form_Base->Q_IngCalcFields(q); };
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
    st.onCalcFields = [](db::Query& q) { Form_Base->Q_Ing_SkladCalcFields(q); };
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
        Form_Base->OpenRead(q, types);
        QStringList r;
        for (q->first(); !q->eof(); q->next())
            r << q->field(QStringLiteral("TD")).asString();
        q->close();
        return r;
    };
    const QStringList moves{"Инв", "Произв", "Реал", "Вн.пер", "Прих", "Расх", "РасхП", "???"};
    EXPECT_EQ(names(Form_Base->Q_Docs), moves);
    StartupDone = 0;  // the production list's handlers stay quiet; its field is computed all the same
    EXPECT_EQ(names(Form_Base->Q_Docs_Real), (QStringList{"Инв", "Произв", "Реал", "Вн.пер", "Прих", "Расх", "Произв", "???"}));
}

TEST(ListRefresh, MenuSectionsWaitWhileTheProgressWindowIsShown)
{
    AppEnv env;
    Form_Main->SetActivePage(Form_Main->Sheet_Menu);
    Form_Base->OpenRead(Form_Base->Q_Menu_Razdel, QStringLiteral("SELECT 1 AS KOD FROM RDB$DATABASE"));
    EXPECT_TRUE(Form_Timers->Timer_Menu_Str->isActive());
    Form_Timers->Timer_Menu_Str->stop();
    Form_Gauge->show();
    Form_Base->OpenRead(Form_Base->Q_Menu_Razdel, QStringLiteral("SELECT 2 AS KOD FROM RDB$DATABASE"));
    EXPECT_FALSE(Form_Timers->Timer_Menu_Str->isActive());
    Form_Gauge->hide();
}

TEST(ListRefresh, LeavingAnEditedTemplateAskedToSaveCancelWritesNothing)
{
    AppEnv env;
    QWidget editor;
    editor.show();
    bool modified = true;
    int saves = 0;
    TPrintEditorLink& link = Form_Timers->hooks.printEditor;
    link = TPrintEditorLink{};
    link.window = &editor;
    link.isModified = [&] { return modified; };
    link.BtnSaveClick = [&] { ++saves; };
    link.HE = [&] { modified = false; };
    Form_Base->OpenRead(Form_Base->QPrintSpis, QStringLiteral("SELECT * FROM PRINT_SPISOK ORDER BY KOD_SPISOK"));

    Form_Base->QPrintSpis->next();  // from the first row just opened: nothing to ask yet
    EXPECT_TRUE(env.messages.isEmpty());
    env.answers.push_back(0);  // Cancel
    Form_Base->QPrintSpis->next();
    EXPECT_EQ(env.messages, QStringList{QStringLiteral("Сохранить изменения ?")});
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(modified);
    EXPECT_EQ(Form_Base->PrintSaving, 0);

    modified = true;
    Form_Base->QPrintSpis->next();  // OK
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(Form_Base->PrintSaving, 1);
    EXPECT_FALSE(modified);
    link = TPrintEditorLink{};
}
