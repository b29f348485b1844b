// The settings store against a real database: loading into bound controls,
// switches, writers before and after start-up.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "grid/DatasetModel.h"
#include "ui/RadioGroup.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/SettingsStore.h"
#include "util/Unit_Util.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// One control per key, bound as the owning windows bind theirs.
struct Controls {
    std::map<QString, std::unique_ptr<QWidget>> widgets;

    Controls()
    {
        for (const SettingKey& k : SettingKeys()) {
            const QString key = QString::fromLatin1(k.name);
            const bool twoItems = key == QLatin1String("DOiliPOSLE") || key == QLatin1String("PrintPrgOpenOffice");
            if (k.kind == SettingKind::Integer || twoItems) {
                auto* rg = new TRadioGroup(QString(), {"0", "1", "2", "3", "4", "5"});
                BindSetting(rg->buttonGroup(), key);
                widgets[key].reset(rg);
            } else if (k.kind == SettingKind::Check || k.kind == SettingKind::Presence) {
                auto* cb = new QCheckBox;
                BindSetting(cb, key);
                widgets[key].reset(cb);
            } else if (k.kind == SettingKind::String) {
                auto* e = new QLineEdit;
                BindSetting(e, key);
                widgets[key].reset(e);
            } else if (k.kind == SettingKind::Memo) {
                auto* m = new QPlainTextEdit;
                BindSetting(m, key, NoStore());
                widgets[key].reset(m);
            } else {
                auto* d = new QDateEdit;
                BindSetting(d, key);
                widgets[key].reset(d);
            }
        }
    }
    int index(const char* key) { return static_cast<TRadioGroup*>(widgets[QString::fromLatin1(key)].get())->itemIndex(); }
    QCheckBox* box(const char* key) { return static_cast<QCheckBox*>(widgets[QString::fromLatin1(key)].get()); }
    QString text(const char* key)
    {
        QWidget* w = widgets[QString::fromLatin1(key)].get();
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        return static_cast<QPlainTextEdit*>(w)->toPlainText();
    }
    QDate date(const char* key) { return static_cast<QDateEdit*>(widgets[QString::fromLatin1(key)].get())->date(); }
};

// The rows of MY_PARAM as text, to see that nothing was written.
QStringList paramRows(AppEnv& env)
{
    auto q = env.testDb().select(QStringLiteral(
        "SELECT NAME_PARAM, INTEGER_PARAM, STRING_PARAM, DATE_PARAM, MEMO_PARAM FROM MY_PARAM ORDER BY KOD"));
    QStringList rows;
    for (q->first(); !q->eof(); q->next()) {
        QStringList r;
        for (int i = 0; i < 5; ++i)
            r << q->field(i).asString();
        rows << r.join(QLatin1Char('|'));
    }
    return rows;
}

int count(AppEnv& env, const QString& sql) { return env.testDb().scalar(sql).toInt(); }

void startUp()
{
    StartupDone = 0;
    Form_Base->FormCreate();
    StartupDone = 1;
}

} // namespace

TEST(Settings, EveryRowIsLoadedIntoItsControlAndNothingIsWrittenBack)
{
    AppEnv env(false);
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 4 WHERE NAME_PARAM = 'okrugl1'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 2 WHERE NAME_PARAM = 'okrugl2'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 1 WHERE NAME_PARAM = 'rod'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = 'грн.' WHERE NAME_PARAM = 'rub'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = 'коп' WHERE NAME_PARAM = 'kop'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 0 WHERE NAME_PARAM IN ('pkdd', 'pkkk', 'pkpr', 'brutto')"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 5 WHERE NAME_PARAM = 'mkdd'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 1 WHERE NAME_PARAM IN ('obmen', 'my_language')"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET STRING_PARAM = 'Блюдо  Выход  Цена' WHERE NAME_PARAM = 'DisMenuTab'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET MEMO_PARAM = 'Кафе' WHERE NAME_PARAM = 'DisMenuHead'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET MEMO_PARAM = 'До встречи' WHERE NAME_PARAM = 'DisMenuTail'"));
    db.exec(QStringLiteral("UPDATE MY_PARAM SET DATE_PARAM = '2024-03-01' WHERE NAME_PARAM = 'MyDateDocEdit'"));
    for (const char* k : {"DOiliPOSLE", "ShtrihKodAllOtdel", "Kod1SAllOtdel", "PrintPrgOpenOffice", "InvProvodka",
                          "DelOtkatOnly", "PrintForGroup", "DateDocEdit"})
        db.exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) VALUES ('%1')").arg(QString::fromLatin1(k)));
    db.exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM, INTEGER_PARAM) VALUES ('unknown', 3)"));

    Controls c;
    const QStringList before = paramRows(env);
    const int logBefore = count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE"));
    startUp();

    EXPECT_EQ(c.index("okrugl1"), 4);  // "10 р."
    EXPECT_EQ(c.index("okrugl2"), 2);
    EXPECT_EQ(c.index("rod"), 1);
    EXPECT_EQ(c.text("rub"), QStringLiteral("грн."));
    EXPECT_EQ(c.text("kop"), QStringLiteral("коп"));
    EXPECT_FALSE(c.box("pkdd")->isChecked());  // checked at design
    EXPECT_TRUE(c.box("mkdd")->isChecked());   // above 0
    EXPECT_FALSE(c.box("pkkk")->isChecked());
    EXPECT_FALSE(c.box("pkpr")->isChecked());
    EXPECT_EQ(c.index("brutto"), 0);
    EXPECT_EQ(c.index("obmen"), 1);
    EXPECT_EQ(c.index("my_language"), 1);
    EXPECT_EQ(c.index("DOiliPOSLE"), 1);
    EXPECT_EQ(c.text("DisMenuTab"), QStringLiteral("Блюдо  Выход  Цена"));
    EXPECT_EQ(c.text("DisMenuHead"), QStringLiteral("Кафе"));
    EXPECT_EQ(c.text("DisMenuTail"), QStringLiteral("До встречи"));
    for (const char* k : {"ShtrihKodAllOtdel", "Kod1SAllOtdel", "InvProvodka", "DelOtkatOnly", "PrintForGroup", "DateDocEdit"})
        EXPECT_TRUE(c.box(k)->isChecked()) << k;
    EXPECT_EQ(c.index("PrintPrgOpenOffice"), 1);
    EXPECT_EQ(c.date("MyDateDocEdit"), QDate(2024, 3, 1));
    EXPECT_EQ(MyParams->v.okrugl1, 4);
    EXPECT_TRUE(MyParams->v.InvProvodka);
    EXPECT_EQ(MyParams->v.MyDateDocEdit, QDate(2024, 3, 1));

    EXPECT_EQ(paramRows(env), before);
    EXPECT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")), logBefore);
}

TEST(Settings, WithoutSwitchRowsEverySwitchIsOff)
{
    AppEnv env(false);
    Controls c;
    startUp();
    for (const char* k : {"ShtrihKodAllOtdel", "Kod1SAllOtdel", "InvProvodka", "DelOtkatOnly", "PrintForGroup", "DateDocEdit"})
        EXPECT_FALSE(c.box(k)->isChecked()) << k;
    EXPECT_EQ(c.index("PrintPrgOpenOffice"), 0);  // "Excel"
    EXPECT_EQ(c.index("DOiliPOSLE"), 0);          // increase before rounding
    EXPECT_TRUE(c.box("pkdd")->isChecked());
    EXPECT_EQ(c.index("okrugl1"), 1);
}

TEST(Settings, UserChangesAfterStartUpAreStored)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    TRadioGroup step(QString(), {"10 к.", "50 к.", "1 р.", "5 р.", "10 р.", "50 р."});
    BindSetting(step.buttonGroup(), QStringLiteral("okrugl1"), [] {
        StoreSetting(QStringLiteral("okrugl1"), SettingLog{QStringLiteral("Настройка"), QStringLiteral("Изменение степени округления")});
    });
    QCheckBox inv;
    BindSetting(&inv, QStringLiteral("InvProvodka"));
    const int logBefore = count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE"));

    step.button(3)->click();
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'okrugl1'")), 3);
    EXPECT_EQ(MyParams->v.okrugl1, 3);
    ASSERT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")), logBefore + 1);
    auto line = env.testDb().select(QStringLiteral("SELECT ARM, WHAT_ACTION FROM LOG_TABLE ORDER BY KOD DESC"));
    EXPECT_EQ(line->field(0).asString(), QStringLiteral("Настройка"));
    EXPECT_EQ(line->field(1).asString(), QStringLiteral("Изменение степени округления"));
    // The settings list holds the new value.
    ASSERT_TRUE(Form_Base->Q_Param->locate(QStringLiteral("NAME_PARAM"), QStringLiteral("okrugl1")));
    EXPECT_EQ(Form_Base->Q_Param->field(QStringLiteral("INTEGER_PARAM")).asInt(), 3);

    const QString invRows = QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'InvProvodka'");
    inv.click();
    EXPECT_EQ(count(env, invRows), 1);
    EXPECT_TRUE(MyParams->v.InvProvodka);
    EXPECT_TRUE(SetPresenceSetting(QStringLiteral("InvProvodka"), true));  // a second switch-on adds no row
    EXPECT_EQ(count(env, invRows), 1);
    env.testDb().exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) VALUES ('InvProvodka')"));
    inv.click();
    EXPECT_EQ(count(env, invRows), 0);  // every row of the key goes
    EXPECT_FALSE(MyParams->v.InvProvodka);
    EXPECT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")), logBefore + 1);
    EXPECT_FALSE(Form_Base->TransactionWrite->active());
}

TEST(Settings, AValueWhoseRowIsMissingIsInserted)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM IN ('obmen', 'rub', 'pkkk')"));
    TRadioGroup obmen(QString(), {"Подавальня", "TorgService"});
    BindSetting(obmen.buttonGroup(), QStringLiteral("obmen"));
    startUp();
    EXPECT_EQ(obmen.itemIndex(), 0);  // its design state

    obmen.button(1)->click();
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'obmen'")), 1);
    EXPECT_TRUE(WriteStringSetting(QStringLiteral("rub"), QStringLiteral("руб.")));
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT STRING_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'rub'")).toString(),
              QStringLiteral("руб."));
    EXPECT_TRUE(WriteCheckSetting(QStringLiteral("pkkk"), false));
    EXPECT_TRUE(WriteCheckSetting(QStringLiteral("pkkk"), true));
    EXPECT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'pkkk' AND INTEGER_PARAM = 1")), 1);
}

TEST(Settings, MostWritersWaitForTheStartUpSomeDoNot)
{
    AppEnv env(false);
    startUp();
    StartupDone = 0;
    EXPECT_FALSE(WriteIntegerSetting(QStringLiteral("okrugl1"), 5));
    EXPECT_EQ(MyParams->v.okrugl1, 5);  // the control holds it all the same
    EXPECT_FALSE(SetPresenceSetting(QStringLiteral("DelOtkatOnly"), true));
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'okrugl1'")), 1);
    EXPECT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'DelOtkatOnly'")), 0);

    EXPECT_TRUE(WriteIntegerSetting(QStringLiteral("rod"), 2));
    EXPECT_TRUE(WriteIntegerSetting(QStringLiteral("brutto"), 0));
    EXPECT_TRUE(WriteCheckSetting(QStringLiteral("pkdd"), false));
    EXPECT_TRUE(WriteStringSetting(QStringLiteral("kop"), QStringLiteral("к.")));
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'rod'")), 2);
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'brutto'")), 0);
    EXPECT_EQ(count(env, QStringLiteral("SELECT INTEGER_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'pkdd'")), 0);
}

TEST(Settings, AReloadStartsFromTheDesignDefaults)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("INSERT INTO MY_PARAM (NAME_PARAM) VALUES ('InvProvodka')"));
    env.testDb().exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 4 WHERE NAME_PARAM = 'okrugl1'"));
    QCheckBox inv;
    BindSetting(&inv, QStringLiteral("InvProvodka"));
    startUp();
    ASSERT_TRUE(inv.isChecked());

    // Another workstation switched it off and lost the step row.
    env.testDb().exec(QStringLiteral("DELETE FROM MY_PARAM WHERE NAME_PARAM IN ('InvProvodka', 'okrugl1')"));
    Form_Base->FormCreate();  // a reconnect runs the start-up again
    EXPECT_FALSE(MyParams->v.InvProvodka);
    EXPECT_FALSE(inv.isChecked());
    EXPECT_EQ(MyParams->v.okrugl1, 1);
}

TEST(Settings, TheGrossSettingReshapesGridsAndTheColumnChoice)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = 0 WHERE NAME_PARAM = 'brutto'"));
    db::Query rows(Form_Base->MyDB, Form_Base->TransactionRead);
    db::DbGrid grid;
    grid.setQuery(&rows);
    grid.setColumns({{QStringLiteral("NAME"), QStringLiteral("Наименование")},
                     {QStringLiteral("VIHOD"), QStringLiteral("%Вых.")},
                     {QStringLiteral("K_Brutto"), QStringLiteral("К.брутто")}});
    BindBruttoColumns(&grid, QStringLiteral("VIHOD"), QStringLiteral("K_Brutto"));
    auto visible = [&grid](int i) { return grid.datasetModel()->columns()[i].visible; };
    EXPECT_TRUE(visible(2));  // the design default 1 before anything is loaded
    startUp();
    EXPECT_TRUE(visible(1));
    EXPECT_FALSE(visible(2));
    EXPECT_EQ(BruttoColumnItems(), (QStringList{QStringLiteral("Количество"), QStringLiteral("% Выхода")}));

    WriteIntegerSetting(QStringLiteral("brutto"), 1);
    EXPECT_FALSE(visible(1));
    EXPECT_TRUE(visible(2));
    EXPECT_EQ(BruttoColumnItems()[1], QStringLiteral("Коэф. Брутто"));
}

TEST(Settings, TheEditLockDateIsStoredByReplacingItsRow)
{
    AppEnv env;
    env.loginAs(QStringLiteral("Администратор"));
    QDateEdit picker;
    BindSetting(&picker, QStringLiteral("MyDateDocEdit"), NoStore());
    EXPECT_TRUE(WriteDateSetting(QStringLiteral("MyDateDocEdit"), QDate(2025, 2, 1),
                                 SettingLog{QStringLiteral("Настройка"), QStringLiteral("Изменено ограничение")}));
    EXPECT_EQ(count(env, QStringLiteral("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'MyDateDocEdit'")), 1);
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT DATE_PARAM FROM MY_PARAM WHERE NAME_PARAM = 'MyDateDocEdit'")).toDate(),
              QDate(2025, 2, 1));
    EXPECT_EQ(picker.date(), QDate(2025, 2, 1));
}
