// The settings tab against a real database: what start-up loads into its
// controls, what each writer stores with which protocol line, and the
// edit-lock date stored on leaving the tab or closing the program.

#include "support/AppEnv.h"
#include "support/HeldTables.h"

#include "base/Unit_Base.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Personal.h"
#include "ui/Unit_SettingsTab.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

int count(AppEnv& env, const QString& sql) { return env.testDb().scalar(sql).toInt(); }

int logLines(AppEnv& env) { return count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")); }

// Area and action of the newest protocol lines, newest first.
QStringList lastLines(AppEnv& env, int n)
{
    auto q = env.testDb().select(QStringLiteral("SELECT ARM, WHAT_ACTION FROM LOG_TABLE ORDER BY KOD DESC"));
    QStringList out;
    for (q->first(); !q->eof() && out.size() < n; q->next())
        out << q->field(0).asString() + QStringLiteral(" / ") + q->field(1).asString();
    return out;
}

QStringList paramRows(AppEnv& env)
{
    auto q = env.testDb().select(QStringLiteral(
        "SELECT NAME_PARAM, INTEGER_PARAM, STRING_PARAM, DATE_PARAM FROM MY_PARAM ORDER BY KOD"));
    QStringList rows;
    for (q->first(); !q->eof(); q->next())
        rows << QStringList{q->field(0).asString(), q->field(1).asString(), q->field(2).asString(), q->field(3).asString()}.join(
            QLatin1Char('|'));
    return rows;
}

int intParam(AppEnv& env, const char* key)
{
    return count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = '%1'").arg(QLatin1String(key)));
}

int rowsOf(AppEnv& env, const char* key)
{
    return count(env, QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = '%1'").arg(QLatin1String(key)));
}

// Logged in as the administrator: the tabs his rights open are usable.
void loginAdmin(AppEnv& env)
{
    env.loginAs(QStringLiteral("Администратор"));
    Form_Main->Apply_UserRights();
}

// The program as the administrator sees it, on the settings tab.
void openSettingsTab(AppEnv& env)
{
    loginAdmin(env);
    Form_Main->show();
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
}

void choose(TRadioGroup* group, int index) { group->button(index)->click(); }

} // namespace

TEST(SettingsTab, StartUpLoadsEveryControlAndWritesNothing)
{
    AppEnv env(false);
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 4 WHERE NAME_PARAM = 'okrugl1'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 3 WHERE NAME_PARAM = 'okrugl2'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 2 WHERE NAME_PARAM = 'rod'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = 'гривня' WHERE NAME_PARAM = 'rub'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = 'копійка' WHERE NAME_PARAM = 'kop'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 1 WHERE NAME_PARAM IN ('my_language', 'obmen')"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 0 WHERE NAME_PARAM = 'brutto'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET DATE_PARAM = '2024-03-01' WHERE NAME_PARAM = 'MyDateDocEdit'"));
    for (const char* k : {"PrintPrgOpenOffice", "InvProvodka", "DelOtkatOnly", "DateDocEdit"})
        db.exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) VALUES ('%1')").arg(QLatin1String(k)));
    const QStringList before = paramRows(env);

    StartupDone = 0;
    Form_Base->FormCreate();
    StartupDone = 1;

    TSettingsTab* t = SettingsTab;
    EXPECT_EQ(t->R_Okrugl1->itemIndex(), 4);
    EXPECT_EQ(t->R_Okrugl2->itemIndex(), 3);
    EXPECT_EQ(t->RG_Rod->itemIndex(), 2);
    EXPECT_EQ(t->E_Rub->text(), QStringLiteral("гривня"));
    EXPECT_EQ(t->E_Kop->text(), QStringLiteral("копійка"));
    EXPECT_EQ(t->RG_Language->itemIndex(), 1);
    EXPECT_EQ(t->RG_Brutto->itemIndex(), 0);
    EXPECT_EQ(t->RG_Obmen->itemIndex(), 1);
    EXPECT_EQ(t->RG_XLorOO->itemIndex(), 1);
    EXPECT_TRUE(t->CB_InvProvodka->isChecked());
    EXPECT_TRUE(t->CB_DelOtkat->isChecked());
    EXPECT_TRUE(t->CB_DateDocEdit->isChecked());
    EXPECT_EQ(t->DateTimePicker1->date(), QDate(2024, 3, 1));
    EXPECT_TRUE(t->DateTimePicker1->isEnabledTo(Form_Main->Sheet_Setup));

    // Nothing the loading did reached the database, the rewritten brutto included.
    EXPECT_EQ(paramRows(env), before);
    EXPECT_EQ(logLines(env), 0);
}

TEST(SettingsTab, WithoutSwitchRowsTheBoxesAreClearAndTheDateIsLocked)
{
    AppEnv env;
    TSettingsTab* t = SettingsTab;
    EXPECT_FALSE(t->CB_InvProvodka->isChecked());
    EXPECT_FALSE(t->CB_DelOtkat->isChecked());
    EXPECT_FALSE(t->CB_DateDocEdit->isChecked());
    EXPECT_FALSE(t->DateTimePicker1->isEnabledTo(Form_Main->Sheet_Setup));
    EXPECT_EQ(t->RG_XLorOO->itemIndex(), 0);
}

TEST(SettingsTab, EachWriterStoresItsValueWithItsOwnProtocolLine)
{
    AppEnv env;
    loginAdmin(env);
    TSettingsTab* t = SettingsTab;

    choose(t->R_Okrugl1, 3);
    EXPECT_EQ(intParam(env, "okrugl1"), 3);
    EXPECT_EQ(MyParams->v.okrugl1, 3);
    ASSERT_EQ(logLines(env), 1);
    EXPECT_EQ(lastLines(env, 1), QStringList{QStringLiteral("Настройка / Изменение степени округления")});
    ASSERT_TRUE(Form_Base->Q_Param->locate(QStringLiteral("NAME_PARAM"), QStringLiteral("okrugl1")));
    EXPECT_EQ(Form_Base->Q_Param->field(QStringLiteral("INTEGER_PARAM")).asInt(), 3);

    choose(t->R_Okrugl2, 1);
    EXPECT_EQ(intParam(env, "okrugl2"), 1);
    EXPECT_EQ(lastLines(env, 1), QStringList{QStringLiteral("Настройка / Изменение правила округления")});

    // These commit without a line.
    choose(t->RG_Rod, 1);
    choose(t->RG_Obmen, 1);
    choose(t->RG_Language, 1);
    choose(t->RG_Brutto, 0);
    t->E_Rub->setText(QStringLiteral("д'Артаньян"));
    emit t->E_Rub->editingFinished();
    t->E_Kop->setText(QStringLiteral("су"));
    emit t->E_Kop->editingFinished();
    EXPECT_EQ(intParam(env, "rod"), 1);
    EXPECT_EQ(intParam(env, "obmen"), 1);
    EXPECT_EQ(intParam(env, "my_language"), 1);
    EXPECT_EQ(intParam(env, "brutto"), 0);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT STRING_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'rub'")).toString(),
              QStringLiteral("д'Артаньян"));
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT STRING_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'kop'")).toString(),
              QStringLiteral("су"));
    EXPECT_EQ(logLines(env), 2);

    // The spreadsheet choice: a line in the products area; Excel removes every row of the key.
    choose(t->RG_XLorOO, 1);
    EXPECT_EQ(rowsOf(env, "PrintPrgOpenOffice"), 1);
    EXPECT_EQ(lastLines(env, 1), QStringList{QStringLiteral("Продукты и блюда / Для печати документов выбран OpenOffice")});
    env.testDb().exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) VALUES ('PrintPrgOpenOffice')"));
    choose(t->RG_XLorOO, 0);
    EXPECT_EQ(rowsOf(env, "PrintPrgOpenOffice"), 0);
    EXPECT_EQ(lastLines(env, 1), QStringList{QStringLiteral("Продукты и блюда / Для печати документов выбран Excel")});
    EXPECT_EQ(logLines(env), 4);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(SettingsTab, ACurrencyNameTheDatabaseCannotHoldIsRefusedAndForgotten)
{
    AppEnv env;
    loginAdmin(env);
    TSettingsTab* t = SettingsTab;
    t->E_Rub->setText(QStringLiteral("гривна"));
    emit t->E_Rub->editingFinished();
    env.messages.clear();
    t->E_Rub->setText(QStringLiteral("юань 元"));
    emit t->E_Rub->editingFinished();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("元"))) << env.messages[0].toStdString();
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT STRING_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'rub'")).toString(),
              QStringLiteral("гривна"));
    EXPECT_EQ(SettingValue(QStringLiteral("rub")).toString(), QStringLiteral("гривна"));  // what amounts in words use
    EXPECT_EQ(t->E_Rub->text(), QStringLiteral("гривна"));
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(SettingsTab, SwitchesAddAndRemoveTheirRowsWithoutProtocolLines)
{
    AppEnv env;
    loginAdmin(env);
    TSettingsTab* t = SettingsTab;
    for (int i = 0; i < 2; ++i) {
        t->CB_InvProvodka->click();
        EXPECT_EQ(rowsOf(env, "InvProvodka"), 1);
        EXPECT_TRUE(MyParams->v.InvProvodka);
        t->CB_InvProvodka->click();
        EXPECT_EQ(rowsOf(env, "InvProvodka"), 0);
        EXPECT_FALSE(MyParams->v.InvProvodka);
    }
    t->CB_DelOtkat->click();
    EXPECT_EQ(rowsOf(env, "DelOtkatOnly"), 1);
    t->CB_DelOtkat->click();
    EXPECT_EQ(rowsOf(env, "DelOtkatOnly"), 0);
    EXPECT_EQ(logLines(env), 0);
}

TEST(SettingsTab, TheEditLockSwitchWritesItsLineAndFreesTheDate)
{
    AppEnv env;
    loginAdmin(env);
    TSettingsTab* t = SettingsTab;
    t->DateTimePicker1->setDate(QDate(2025, 1, 15));  // memory only, not stored yet

    t->CB_DateDocEdit->click();
    EXPECT_EQ(rowsOf(env, "DateDocEdit"), 1);
    EXPECT_TRUE(t->DateTimePicker1->isEnabledTo(Form_Main->Sheet_Setup));
    EXPECT_EQ(lastLines(env, 1),
              QStringList{QStringLiteral("Настройка / Включено ограничение корректировки документов по дате: 15.01.2025")});

    t->CB_DateDocEdit->click();
    EXPECT_EQ(rowsOf(env, "DateDocEdit"), 0);
    EXPECT_FALSE(t->DateTimePicker1->isEnabledTo(Form_Main->Sheet_Setup));
    EXPECT_EQ(lastLines(env, 1),
              QStringList{QStringLiteral("Настройка / Выключено ограничение корректировки документов по дате !")});
    EXPECT_EQ(logLines(env), 2);
}

TEST(SettingsTab, BeforeStartUpOnlyTheCurrencyAndGrossWritersStore)
{
    AppEnv env;
    Form_Main->Sheet_Setup->setEnabled(true);
    TSettingsTab* t = SettingsTab;
    StartupDone = 0;
    choose(t->R_Okrugl1, 5);
    choose(t->RG_Language, 1);
    t->CB_InvProvodka->click();
    EXPECT_EQ(intParam(env, "okrugl1"), 1);
    EXPECT_EQ(intParam(env, "my_language"), 0);
    EXPECT_EQ(rowsOf(env, "InvProvodka"), 0);
    EXPECT_EQ(MyParams->v.okrugl1, 5);  // the control holds it all the same

    choose(t->RG_Rod, 2);
    choose(t->RG_Brutto, 0);
    EXPECT_EQ(intParam(env, "rod"), 2);
    EXPECT_EQ(intParam(env, "brutto"), 0);
    EXPECT_EQ(logLines(env), 0);
    StartupDone = 1;
}

TEST(SettingsTab, AWriterWhoseRowIsMissingInsertsIt)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM IN ('okrugl2', 'my_language', 'kop', 'MyDateDocEdit')"));
    StartupDone = 0;
    Form_Base->FormCreate();
    StartupDone = 1;
    loginAdmin(env);
    TSettingsTab* t = SettingsTab;
    choose(t->R_Okrugl2, 2);
    choose(t->RG_Language, 1);
    t->E_Kop->setText(QStringLiteral("коп."));
    emit t->E_Kop->editingFinished();
    EXPECT_EQ(intParam(env, "okrugl2"), 2);
    EXPECT_EQ(intParam(env, "my_language"), 1);
    EXPECT_EQ(rowsOf(env, "kop"), 1);
    EXPECT_EQ(logLines(env), 1);  // the rounding rule's line
}

TEST(SettingsTab, TheLanguageWriterHoldsTheTabUntilTheCommit)
{
    AppEnv env;
    loginAdmin(env);
    QWidget* sheet = Form_Main->Sheet_Setup;
    ASSERT_TRUE(sheet->isEnabled());
    bool enabledMeanwhile = true;
    // The settings list is read again after the commit, still inside the writer.
    QObject::connect(Form_Base->Q_Param, &db::Query::opened, [&] { enabledMeanwhile = sheet->isEnabled(); });
    choose(SettingsTab->RG_Language, 1);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(sheet->isEnabled());
    EXPECT_EQ(intParam(env, "my_language"), 1);
}

TEST(SettingsTab, TheEditLockDateIsStoredOnceWhenTheTabIsLeft)
{
    AppEnv env;
    env.testDb().exec(QStringLiteral("UPDATE MY_PARAM SET DATE_PARAM = '2024-03-01' WHERE NAME_PARAM = 'MyDateDocEdit'"));
    StartupDone = 0;
    Form_Base->FormCreate();
    StartupDone = 1;
    openSettingsTab(env);
    TSettingsTab* t = SettingsTab;
    ASSERT_EQ(t->RememberedDate, QDate(2024, 3, 1));

    t->DateTimePicker1->setDate(QDate(2025, 1, 15));
    EXPECT_EQ(logLines(env), 0);  // nothing before the tab is left
    Form_Main->SetActivePage(Form_Main->Sheet_Reg);
    EXPECT_EQ(rowsOf(env, "MyDateDocEdit"), 1);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT DATE_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'MyDateDocEdit'")).toDate(),
              QDate(2025, 1, 15));
    EXPECT_EQ(lastLines(env, 1), QStringList{QStringLiteral(
                                     "Настройка / Изменено ограничение корректировки документов по дате с 01,03,2024 на 15,01,2025")});

    // Back and away again without a change: nothing more.
    Form_Main->SetActivePage(Form_Main->Sheet_Setup);
    Form_Main->SetActivePage(Form_Main->Sheet_Hello);
    EXPECT_EQ(logLines(env), 1);
}

TEST(SettingsTab, ClosingTheProgramOnTheTabStoresAPendingDate)
{
    AppEnv env;
    openSettingsTab(env);
    SettingsTab->DateTimePicker1->setDate(QDate(2026, 2, 28));
    Form_Main->close();
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT DATE_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'MyDateDocEdit'")).toDate(),
              QDate(2026, 2, 28));
    EXPECT_EQ(lastLines(env, 2),
              (QStringList{QStringLiteral("Система / Закрытие программы"),
                           QStringLiteral("Настройка / Изменено ограничение корректировки документов по дате с 01,01,2000 на 28,02,2026")}));
}

// Each writer of the tab holds the settings from its road's first step.
TEST(SettingsTab, EachWriterHoldsTheSettings)
{
    AppEnv env;
    openSettingsTab(env);
    TSettingsTab* t = SettingsTab;
    const QStringList settings{QStringLiteral("MY_PARAM")};
    const auto edited = [](QLineEdit* e, const QString& text) {
        e->setText(text);
        emit e->editingFinished();
    };
    ExpectEachHolds({
        {"rounding step", settings, [&] { choose(t->R_Okrugl1, 3); }},
        {"rounding rule", settings, [&] { choose(t->R_Okrugl2, 1); }},
        {"currency gender", settings, [&] { choose(t->RG_Rod, 1); }},
        {"currency", settings, [&] { edited(t->E_Rub, QStringLiteral("гривня")); }},
        {"currency fraction", settings, [&] { edited(t->E_Kop, QStringLiteral("копійка")); }},
        {"language", settings, [&] { choose(t->RG_Language, 1); }},
        {"gross column", settings, [&] { choose(t->RG_Brutto, 0); }},
        {"exchange", settings, [&] { choose(t->RG_Obmen, 1); }},
        {"spreadsheet program", settings, [&] { choose(t->RG_XLorOO, 1); }},
        {"inventory posting", settings, [&] { t->CB_InvProvodka->click(); }},
        {"deletion roll-back", settings, [&] { t->CB_DelOtkat->click(); }},
        {"edit lock", settings, [&] { t->CB_DateDocEdit->click(); }},
        {"edit lock date", settings,
         [&] {
             t->DateTimePicker1->setDate(QDate(2025, 1, 15));
             Form_Main->SetActivePage(Form_Main->Sheet_Reg);
         }},
    });
    EXPECT_EQ(rowsOf(env, "DateDocEdit"), 1);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT DATE_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'MyDateDocEdit'")).toDate(),
              QDate(2025, 1, 15));
    Form_Main->hide();
}

TEST(SettingsTab, TheUsersButtonOpensTheUsersWindow)
{
    AppEnv env;
    loginAdmin(env);
    QDialog* shown = nullptr;
    Msg::setModalHandler([&](QDialog* d) {
        shown = d;
        return int(QDialog::Rejected);
    });
    SettingsTab->Btn_Person->click();
    Msg::setModalHandler({});
    ASSERT_NE(Form_Personal, nullptr);
    EXPECT_EQ(shown, Form_Personal);
}
