// Upgrade of older databases at start-up: old schemas reach the shipped one,
// the data steps keep their promises, newer databases are refused and a
// failing step leaves the database at the step before it.

#include "support/AppEnv.h"
#include "support/OldDatabase.h"
#include "support/ServerStation.h"

#include "base/Unit_Base.h"
#include "db/Script.h"
#include "schema/Schema.h"
#include "schema/Upgrade.h"

#include <QThread>

#include <thread>

#include <gtest/gtest.h>

namespace {

struct VersionRow {
    int step;
    const char* name;
    const char* opis;
};

// Every version row the steps write, character for character.
const VersionRow kVersionRows[] = {
    {3, "5.0.2 Beta",
     "Добавление поля \"P\" в DOCS для организации производства во время внутреннего перемещения"},
    {4, "5.0.5",
     "Исправление ХП MY_ROUND"},
    {5, "5.0.7",
     "Исправление пропадания ингредиента в пустой группе и удаление пропавших"},
    {6, "5.0.10",
     "Добавление поля \"NO_ROUND\" в MENU и MENU_STR - Запрет округления в меню"},
    {7, "5.0.12",
     "Добавление поля \"IS_ACTIVE\" в MENU_RAZDEL Вкл/Выкл раздела"},
    {8, "5.0.14",
     "Добавление НЕТТО в калькуляционную карту"},
    {9, "5.0.15",
     "Исправление ХП DEL_DOC"},
    {10, "5.1.1",
     "Исправление неправильного переноса продукта в другую группу"},
    {11, "5.1.2",
     "Ведение протокола изменений, расширены поля ARM и WHAT_ACTION таблицы LOG_TABLE"},
    {12, "5.1.3",
     "Первый шаг. Добавление переменных в форму печати инвентаризации"},
    {13, "5.1.3",
     "Второй шаг. Исправление ХП ADD_ING_TO_INV"},
    {14, "5.1.5",
     "Исправление ХП INVENT_PROVODKA + новая ХП DELETE_PROVODKA"},
    {15, "5.1.6",
     "Добавление поля NO_ING в таблицу ING_SKLAD"},
    {16, "5.2.3",
     "Добавление поля OPEN_CLOSE в таблицу ING_SKLAD"},
    {17, "5.2.4",
     "Исправление ХП ADD_ING_TO_INV"},
    {18, "5.2.5",
     "Исправление ХП CREATE_FIRST_OTDEL"},
    {19, "5.2.8",
     "Исправление ХП DELETE_PROVODKA"},
    {20, "5.2.12",
     "Добавление поля KOD_KASSA в таблицу ING_SKLAD"},
    {21, "5.2.14",
     "Установка параметра \"При расчётах берём цены ингредиентов\" в положение \"Складские\" для всех элементарных продуктов"},
    {22, "5.2.15",
     "Исправление ХП START_EDIT_KALK"},
    {23, "5.2.16",
     "Добавление поля RECEPT в таблицу ING"},
    {24, "5.2.16",
     "Добавление переменной recept в форму печати калькуляционной карты"},
    {25, "5.2.17",
     "Исправление ХП PROVODKA_MOVE (расчёт средней цены при отрицательных остатках)"},
    {26, "5.2.17",
     "Исправление ХП DELETE_PROVODKA (Чтоб продажная цена при снятии проводки тоже возвращалась)"},
    {27, "5.2.18",
     "Добавление параметра my_language"},
    {28, "5.4.3",
     "Добавление переменной recept в форму печати технологической карты"},
    {29, "5.5.1",
     "Добавление поля S_KOD в таблицу ING_SKLAD"},
    {30, "5.5.2",
     "Добавление поля KOD_1S в таблицу ING_SKLAD"},
    {31, "5.5.4",
     "Добавление поля MY_TIME в таблицу ING (время приготовления блюда в минутах)"},
    {32, "5.5.5",
     "Добавление поля MY_ALARM в таблицу ING (время предупреждения о сроке готовности)"},
    {33, "5.5.7 Retail",
     "Пар-ры прямой печати меню DisMenuHead DisMenuTail DisMenuTab"},
    {34, "5.5.8",
     "Добавлено округление до 10 и 50 рублей"},
    {35, "5.5.9",
     "Добавление поля CENA_SKLAD в таблицу REAL_BLUDO для печати складских цен в ведомости реализации"},
    {36, "5.5.9",
     "Добавление переменнных cena_skl, sum_skl и sum_skl_doc в форму печати ведомости реализации"},
    {37, "5.5.10",
     "Добавление поля LIMIT в таблицу ING_SKLAD"},
    {38, "5.6.3",
     "Добавление переменнных ost_start и ost_end в форму печати оборотки"},
    {39, "5.6.8",
     "Добавление поля KALORIES в таблицу ING для расчёта кол-ва калорий блюда"},
    {40, "5.6.8",
     "Добавление переменнных kalories_kk в форму печати К/Карты"},
    {41, "5.6.8",
     "Добавление переменнных kalories_menu в форму печати меню"},
    {42, "5.6.11",
     "01/11/2012. Добавлена возможность запрета корректировки документов до определённой даты"},
};

// Rows an older program left: two departments, two product groups kept in
// different warehouses, products in group 0 and without a group, department
// rows pointing at the wrong group and warehouse, card rows, users with and
// without rights, and templates of the print lists.
void AddOldRows(TestDb& t)
{
    for (const char* sql : {
             "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (100001, 'Столовая', 1)",
             "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (100011, 100001, 'Кухня', '1')",
             "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (100012, 100001, 'Буфет')",
             "INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) VALUES (100021, 100001, 100011, 'Основной', '1')",
             "INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME) VALUES (100022, 100001, 100011, 'Овощной')",
             "INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) VALUES (100023, 100001, 100012, 'Буфетный', '1')",
             "INSERT INTO GROUP_ING (KOD, NAME) VALUES (100101, 'Овощи')",
             "INSERT INTO GROUP_ING (KOD, NAME) VALUES (100102, 'Гарниры')",
             // Vegetables are kept in both departments, side dishes in the kitchen only.
             "INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (100022, 100101)",
             "INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (100023, 100101)",
             "INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) VALUES (100021, 100102)",
             "INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL, CENA_COMPUTE) VALUES (100201, 100101, 'Картофель', 0, 1)",
             "INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL, CENA_COMPUTE) VALUES (100202, 100102, 'Пюре', 1, 1)",
             "INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL) VALUES (100203, 0, 'Из группы 0', 0)",
             "INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL) VALUES (100204, NULL, 'Без группы', 0)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100301, 100201, 100011, 100021, 100102)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100302, 100201, 100012, NULL, NULL)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100303, 100202, 100011, 100022, 100101)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100304, 100202, 100012, 100023, 100101)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100305, 100203, 100011, 100021, 0)",
             "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, KOD_GROUP) VALUES (100306, 100204, 100011, 100021, NULL)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100401, 100201, 100201, 1)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100402, 100202, 100202, 1)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100403, 100202, 100201, 0.2)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100404, 100202, 100203, 0.1)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100405, 100203, 100201, 0.5)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100406, 100202, 100204, 0.1)",
             "INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (100407, 100204, 100204, 1)",
             "INSERT INTO PERSON (KOD, FIO, LOGIN) VALUES (100501, 'Повар', 'Повар')",
             "INSERT INTO PERSON (KOD, FIO, LOGIN) VALUES (100502, 'Кладовщик', 'Кладовщик')",
             "INSERT INTO PERSON_POLICY (KOD_PERSON, PARAM1, PARAM3) VALUES (100502, 5, 'Документы')",
         })
        t.exec(QString::fromUtf8(sql));
    // Templates: one in each list but 9, two in the inventory and costing card lists.
    int kod = 100600;
    for (int list : {1, 2, 3, 4, 5, 5, 6, 7, 7, 8, 10})
        t.exec(QStringLiteral("INSERT INTO PRINT_FORMS (KOD, KOD_SPISKA, NAME_SHABLON, UNICNAME) VALUES (%1, %2, 'Шаблон', %1)")
                   .arg(++kod)
                   .arg(list));
}

// The variables a template of each list gains from steps first..42, in order.
QStringList expectedVariables(int list, int first)
{
    struct V {
        int step, list;
        const char* line;
    };
    static const V vars[] = {
        {8, 7, "kolvo_n 95 0 0 Норма ингредиента НЕТТО (кг)"},
        {12, 5, "cena_p 92 0 0 Цена продажн."},
        {12, 5, "summa_p 112 0 0 Сумма по докум. продажн."},
        {12, 5, "itog_p1 166 0 4 Итого по складск.ценам"},
        {12, 5, "itog_p1s 167 0 4 Итого по скл.цен. пропись"},
        {12, 5, "itog_p2 168 0 4 Итого по прод.ценам"},
        {12, 5, "itog_p2s 169 0 4 Итого по прод. ценам пропись"},
        {12, 5, "summa_s_r 121 0 0 Реальная сумма"},
        {12, 5, "summa_p_r 122 0 0 Реальная сумма продажн."},
        {12, 5, "summa2_p 155 0 0 Сумма изл/недост продажн"},
        {12, 5, "itog2_p 162 0 4 Итог изл/недост продажн"},
        {12, 5, "itog2_p_s 163 0 4 Итог прописью продажн."},
        {24, 7, "recept 190 0 4 Рецепт блюда"},
        {28, 10, "recept 190 0 4 Рецепт блюда"},
        {36, 8, "cena_skl 145 0 0 Цена склада"},
        {36, 8, "sum_skl 155 0 0 Сумма склада по строке"},
        {36, 8, "sum_skl_doc 165 0 2 Сумма склада по документу"},
        {38, 4, "ost_start 105 0 0 Остатки на начало"},
        {38, 4, "ost_end 106 0 0 Остатки на конец"},
        {40, 7, "kalories_kk 135 0 0 Калории"},
        {40, 7, "kalories_sum 75 0 4 Сумма к/клорий блюда"},
        {41, 6, "kalories_menu 65 0 0 Калории"},
    };
    QStringList out;
    for (const V& v : vars)
        if (v.list == list && v.step >= first)
            out.append(QString::fromUtf8(v.line));
    return out;
}

// Each template's variables in the order they were written.
void expectVariables(TestDb& t, int first)
{
    auto forms = t.select(QStringLiteral("SELECT KOD, KOD_SPISKA FROM PRINT_FORMS ORDER BY KOD"));
    ASSERT_EQ(forms->recordCount(), 11);
    const QString recept = QStringLiteral("Построчно выведет рецепт в окончание документа начиная с указанной позиции. "
                                          "Ячейки лучше обьеденить по всей ширине документа");
    for (; !forms->eof(); forms->next()) {
        const int list = forms->field(QStringLiteral("KOD_SPISKA")).asInt();
        auto v = t.select(QStringLiteral("SELECT NAMEVAR, MY_SORT, ENABLED, LOCATION, NAME, "
                                         "CAST(OPIS AS VARCHAR(300)) AS OPIS FROM PRINT_VARIABLES "
                                         "WHERE KOD_FORMA = %1 ORDER BY KOD")
                              .arg(forms->field(QStringLiteral("KOD")).asInt64()));
        QStringList got;
        for (; !v->eof(); v->next()) {
            got.append(QStringLiteral("%1 %2 %3 %4 %5")
                           .arg(v->field(QStringLiteral("NAMEVAR")).asString())
                           .arg(v->field(QStringLiteral("MY_SORT")).asInt())
                           .arg(v->field(QStringLiteral("ENABLED")).asInt())
                           .arg(v->field(QStringLiteral("LOCATION")).asInt())
                           .arg(v->field(QStringLiteral("NAME")).asString()));
            const bool isRecept = v->field(QStringLiteral("NAMEVAR")).asString() == QStringLiteral("recept");
            EXPECT_EQ(v->field(QStringLiteral("OPIS")).asString(), isRecept ? recept : QString()) << list;
        }
        EXPECT_EQ(got, expectedVariables(list, first)) << "list " << list;
    }
}

// The program's start on the test's database file; the test's own
// connection is dropped meanwhile, as another workstation would not hold one.
struct Start {
    bool closed = false;
    explicit Start(AppEnv& env)
    {
        env.testDb().disconnect();
        Form_Base->hooks.closeMainWindow = [this] { closed = true; };
        Form_Base->FormCreate();
        env.testDb().reconnect();
    }
};

void expectVersionRows(TestDb& t)
{
    auto q = t.select(QStringLiteral("SELECT NUMBER_VER, NAME_VER, OPIS FROM MY_VERSION WHERE NUMBER_VER > 2 ORDER BY NUMBER_VER"));
    ASSERT_EQ(q->recordCount(), 40);
    for (const VersionRow& row : kVersionRows) {
        EXPECT_EQ(q->field(QStringLiteral("NUMBER_VER")).asInt(), row.step);
        EXPECT_EQ(q->field(QStringLiteral("NAME_VER")).asString(), QString::fromUtf8(row.name)) << row.step;
        EXPECT_EQ(q->field(QStringLiteral("OPIS")).asString(), QString::fromUtf8(row.opis)) << row.step;
        q->next();
    }
}

// Lines only one of two descriptions has.
void expectSameLines(const QString& actual, const QString& expected)
{
    const QStringList a = actual.split(QLatin1Char('\n')), e = expected.split(QLatin1Char('\n'));
    QStringList diff;
    for (const QString& l : a)
        if (!e.contains(l))
            diff.append(QStringLiteral("+ ") + l);
    for (const QString& l : e)
        if (!a.contains(l))
            diff.append(QStringLiteral("- ") + l);
    EXPECT_TRUE(diff.isEmpty()) << diff.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(a.size(), e.size());
}

// Tables, columns, keys, indexes, generator, triggers and procedures with
// their parameters are those of a new database; so are the bodies of the
// procedures the steps install and the settings rows the steps add.
void expectShippedSchema(TestDb& upgraded)
{
    TestDb fresh;
    expectSameLines(DescribeSchema(upgraded), DescribeSchema(fresh));
    // Every procedure, those that no step installs too.
    for (const QString& name : schema::shippedProcedureNames())
        EXPECT_EQ(ProcedureSource(upgraded, name).toStdString(), ProcedureSource(fresh, name).toStdString())
            << name.toStdString();
    const QString settings = QStringLiteral(
        "SELECT NAME_PARAM, INTEGER_PARAM, STRING_PARAM, CAST(MEMO_PARAM AS VARCHAR(1000)) AS MEMO FROM MY_PARAM "
        "WHERE NAME_PARAM IN ('obmen', 'my_language', 'DisMenuHead', 'DisMenuTail', 'DisMenuTab') ORDER BY NAME_PARAM");
    auto a = upgraded.select(settings);
    auto b = fresh.select(settings);
    ASSERT_EQ(a->recordCount(), 5);
    ASSERT_EQ(b->recordCount(), 5);
    for (; !a->eof(); a->next(), b->next())
        for (const char* f : {"NAME_PARAM", "INTEGER_PARAM", "STRING_PARAM", "MEMO"})
            EXPECT_EQ(a->field(QLatin1String(f)).value(), b->field(QLatin1String(f)).value()) << f;
}

QString departmentRow(TestDb& t, int kod)
{
    auto q = t.select(QStringLiteral("SELECT KOD_GROUP, KOD_SKLAD FROM ING_SKLAD WHERE KOD = %1").arg(kod));
    if (q->isEmpty())
        return QStringLiteral("none");
    return QStringLiteral("%1/%2").arg(q->field(QStringLiteral("KOD_GROUP")).asString(),
                                       q->field(QStringLiteral("KOD_SKLAD")).asString());
}

QString keys(TestDb& t, const QString& sql)
{
    QStringList out;
    for (auto q = t.select(sql); !q->eof(); q->next())
        out.append(q->field(0).asString());
    return out.join(QLatin1Char(' '));
}

} // namespace

TEST(SchemaUpgrade, DatabaseAtStepTwoReachesTheShippedSchemaWithTheRowsEachStepPromises)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    MakeOldDatabase(t, 2);
    AddOldRows(t);
    ASSERT_EQ(t.scalar("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'ING_SKLAD' "
                       "AND RDB$FIELD_NAME = 'OPEN_CLOSE'").toInt(), 0);

    Start start(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(start.closed);
    EXPECT_FALSE(Form_Base->startupAborted);
    EXPECT_TRUE(Form_Base->MyDB->connected());

    expectVersionRows(t);
    expectShippedSchema(t);

    // Step 5 took products of group 0, step 16 those without a group, each
    // with its department rows and every card row it was master or part of.
    EXPECT_EQ(keys(t, "SELECT KOD FROM ING WHERE KOD > 100000 ORDER BY KOD"), QStringLiteral("100201 100202"));
    EXPECT_EQ(keys(t, "SELECT KOD FROM KARTA WHERE KOD > 100000 ORDER BY KOD"), QStringLiteral("100401 100402 100403"));
    EXPECT_EQ(departmentRow(t, 100305), QStringLiteral("none"));
    EXPECT_EQ(departmentRow(t, 100306), QStringLiteral("none"));
    // Step 10: each department row takes its product's group and the
    // warehouse keeping that group there; with no such warehouse it stays.
    EXPECT_EQ(departmentRow(t, 100301), QStringLiteral("100101/100022"));
    EXPECT_EQ(departmentRow(t, 100302), QStringLiteral("100101/100023"));
    EXPECT_EQ(departmentRow(t, 100303), QStringLiteral("100102/100021"));
    EXPECT_EQ(departmentRow(t, 100304), QStringLiteral("100101/100023"));
    // Step 11: every user gets the right 1, whatever rights they had.
    EXPECT_EQ(keys(t, "SELECT P.LOGIN || ':' || PP.PARAM1 || ':' || PP.PARAM3 FROM PERSON_POLICY PP "
                      "JOIN PERSON P ON P.KOD = PP.KOD_PERSON ORDER BY P.KOD, PP.KOD"),
              QStringLiteral("Администратор:1:Все права Администратор:1:Все права Повар:1:Все права "
                             "Кладовщик:5:Документы Кладовщик:1:Все права"));
    // Step 21: raw products compute with stock prices, dishes keep their choice.
    EXPECT_EQ(keys(t, "SELECT KOD || ':' || CENA_COMPUTE FROM ING WHERE KOD > 100000 ORDER BY KOD"),
              QStringLiteral("100201:0 100202:1"));
    // New columns read their defaults on the old rows.
    EXPECT_EQ(keys(t, "SELECT NO_ING || OPEN_CLOSE || KOD_KASSA || CAST(LIMIT AS INTEGER) FROM ING_SKLAD WHERE KOD = 100301"),
              QStringLiteral("0000"));
    expectVariables(t, 0);
    // The start-up went on: the log-in list is open.
    EXPECT_TRUE(Form_Base->QPerson->active());
}

TEST(SchemaUpgrade, DatabaseAtStepTwentyRunsOnlyTheLaterSteps)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    MakeOldDatabase(t, 20);
    AddOldRows(t);
    t.exec("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_OTDEL, KOD_SKLAD, PERCENT, METOD_CENA) "
           "VALUES (100310, 100201, 100011, 100022, 0, 0)");

    Start start(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(start.closed);

    expectVersionRows(t);
    expectShippedSchema(t);
    // Steps 5, 10, 11 and 16 did not run again.
    EXPECT_EQ(keys(t, "SELECT KOD FROM ING WHERE KOD > 100000 ORDER BY KOD"),
              QStringLiteral("100201 100202 100203 100204"));
    EXPECT_EQ(departmentRow(t, 100301), QStringLiteral("100102/100021"));
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PERSON_POLICY").toInt(), 2);
    EXPECT_EQ(keys(t, "SELECT KOD || ':' || CENA_COMPUTE FROM ING WHERE KOD IN (100201, 100202) ORDER BY KOD"),
              QStringLiteral("100201:0 100202:1"));
    expectVariables(t, 21);
    // MY_ROUND knows the rounding to 10 roubles since step 34.
    t.exec("UPDATE MY_PARAM SET INTEGER_PARAM = 4 WHERE NAME_PARAM = 'okrugl1'");
    t.exec("UPDATE MY_PARAM SET INTEGER_PARAM = 0 WHERE NAME_PARAM = 'okrugl2'");
    EXPECT_DOUBLE_EQ(t.scalar("EXECUTE BLOCK RETURNS (R DOUBLE PRECISION) AS BEGIN "
                                       "EXECUTE PROCEDURE MY_ROUND 100310, 12.34 RETURNING_VALUES :R; SUSPEND; END").toDouble(), 10.0);
}

TEST(SchemaUpgrade, DatabaseExactlyAtStepThreeRunsTheStepsFromFourOn)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    MakeOldDatabase(t, 3);
    AddOldRows(t);

    Start start(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(start.closed);
    expectVersionRows(t);
    expectShippedSchema(t);
    // Step 3 did not run again: its setting is there once.
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'obmen'").toInt(), 1);
}

TEST(SchemaUpgrade, ACardEditedOnAnUpgradedDatabaseIsGuardedByTheShippedProcedures)
{
    // Before the upgrade the old database has neither the exception the
    // card's cycle raises nor the shipped bodies of the procedures no step
    // installs.
    AppEnv env(false);
    TestDb& t = env.testDb();
    MakeOldDatabase(t, 20);
    AddOldRows(t);
    ASSERT_EQ(t.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME = 'E_KALK_BACKUP_KEY'").toInt(), 0);
    Start start(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_FALSE(start.closed);
    // CLEAR_EDIT_KALK refuses a backup key naming a product, as on a new database.
    EXPECT_THROW(t.exec("EXECUTE PROCEDURE CLEAR_EDIT_KALK 100201, 100202"), std::exception);
}

TEST(SchemaUpgrade, OlderBodiesLeftAtTheLastStepsGiveWayToTheShippedOnesOnce)
{
    // At step 41 only step 42 runs, at step 42 none; either way the older
    // program's bodies (a raw product's cancelled edit cycle empties its card,
    // a re-posted document restores a stale price) and the missing
    // exceptions must not survive the first start.
    for (int step : {41, 42}) {
        SCOPED_TRACE(step);
        AppEnv env(false);
        TestDb& t = env.testDb();
        MakeOldDatabase(t, step);
        ASSERT_EQ(t.scalar("SELECT COUNT(*) FROM RDB$EXCEPTIONS").toInt(), 0);
        Start start(env);
        EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
        ASSERT_FALSE(start.closed);
        expectVersionRows(t);
        expectShippedSchema(t);

        t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL) VALUES (100901, 1, 'Картофель', 0)");
        t.exec("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) VALUES (100901, 100901, 1, 0, 1)");
        t.exec("EXECUTE PROCEDURE START_EDIT_KALK 100901, 100999, 0");
        t.exec("EXECUTE PROCEDURE CLEAR_EDIT_KALK 100901, 100999");
        EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM KARTA WHERE KOD_ING_MASTER = 100901").toInt(), 1);
        // The next start finds nothing to change.
        EXPECT_EQ(schema::alignProcedures(t.db(), t.read(), t.write()), QStringList());
    }
}

TEST(SchemaUpgrade, TwoWorkstationsStartingAtOnceOnAnOlderDatabaseBothGetThrough)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (scripts/test starts one)";
    TestDb t;
    MakeOldDatabase(t, 42);
    t.disconnect();
    QString error;
    QStringList secondChanged;
    {
        ServerStation first(t.path()), second(t.path());
        // The first has put in one shipped body and not committed yet when
        // the second starts on the same bodies.
        first.write().start();
        db::runScript(first.db(), first.write(), schema::procedureScript(QStringLiteral("Change_Del_Doc")));
        std::thread starting([&] {
            try {
                secondChanged = schema::alignProcedures(second.db(), second.read(), second.write());
            } catch (const std::exception& e) {
                error = QString::fromUtf8(e.what());
            }
        });
        QThread::msleep(300);
        first.write().commit();
        starting.join();
    }
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_FALSE(secondChanged.contains(QStringLiteral("DEL_DOC")));
    t.reconnect();
    TestDb fresh;
    for (const QString& name : schema::shippedProcedureNames())
        EXPECT_EQ(ProcedureSource(t, name).toStdString(), ProcedureSource(fresh, name).toStdString()) << name.toStdString();
}

// Two programs starting at once on an older database: the one that finds
// the other in the middle of a step waits for it, takes the step as done and
// goes on; both start, and the database holds every step once.
TEST(SchemaUpgrade, AWorkstationThatFindsAnotherUpgradingWaitsAndTakesItsStep)
{
    if (!HaveTestServer())
        GTEST_SKIP() << "no test server (scripts/test starts one)";
    // What the data module runs at its start, up to the procedures.
    const auto upgrade = [](ServerStation& s, int from, QString& error) {
        try {
            for (int step = std::max(from, 2) + 1; step <= schema::kVersion; ++step)
                schema::runStep(s.db(), s.read(), s.write(), step);
            schema::alignProcedures(s.db(), s.read(), s.write());
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
    };
    const VersionRow& row32 = kVersionRows[32 - 3];
    TestDb t;
    MakeOldDatabase(t, 31);
    t.disconnect();
    QString error;
    {
        ServerStation first(t.path()), second(t.path());
        const int from = schema::readStep(second.db(), second.read()).step;
        ASSERT_EQ(from, 31);
        // The first has written step 32's version row and column and not committed yet.
        first.write().start();
        db::runScript(first.db(), first.write(),
                      QStringLiteral("INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (32, '%1', '%2');\n"
                                     "ALTER TABLE ING ADD %3;\n")
                          .arg(QString::fromUtf8(row32.name), QString::fromUtf8(row32.opis),
                               schema::shippedColumn(QStringLiteral("ING"), QStringLiteral("MY_ALARM"))));
        std::thread starting([&] { upgrade(second, from, error); });
        QThread::msleep(300);
        first.write().commit();
        starting.join();
    }
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    t.reconnect();
    expectVersionRows(t);
    expectShippedSchema(t);

    // Both from the oldest step, at the same moment.
    TestDb oldest;
    MakeOldDatabase(oldest, 2);
    oldest.disconnect();
    QString errors[2];
    {
        ServerStation first(oldest.path()), second(oldest.path());
        std::thread one([&] { upgrade(first, schema::readStep(first.db(), first.read()).step, errors[0]); });
        std::thread two([&] { upgrade(second, schema::readStep(second.db(), second.read()).step, errors[1]); });
        one.join();
        two.join();
    }
    EXPECT_TRUE(errors[0].isEmpty()) << errors[0].toStdString();
    EXPECT_TRUE(errors[1].isEmpty()) << errors[1].toStdString();
    oldest.reconnect();
    expectVersionRows(oldest);
    expectShippedSchema(oldest);
}

TEST(SchemaUpgrade, DatabaseAtTheProgramsStepIsLeftAsItIs)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    // What the steps would change if they ran again.
    t.exec("DELETE FROM MY_PARAM WHERE NAME_PARAM = 'obmen'");
    t.exec("INSERT INTO ING (KOD, KOD_GROUP, NAME, MY_LEVEL, CENA_COMPUTE) VALUES (100203, 0, 'Из группы 0', 0, 1)");
    t.exec("INSERT INTO PRINT_FORMS (KOD, KOD_SPISKA, NAME_SHABLON) VALUES (100601, 7, 'Шаблон')");
    const QString before = DescribeSchema(t);

    Start start(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(start.closed);
    EXPECT_TRUE(Form_Base->MyDB->connected());
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM MY_VERSION").toInt(), 42);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM MY_PARAM WHERE NAME_PARAM = 'obmen'").toInt(), 0);
    EXPECT_EQ(t.scalar("SELECT CENA_COMPUTE FROM ING WHERE KOD = 100203").toInt(), 1);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PRINT_VARIABLES").toInt(), 0);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PERSON_POLICY").toInt(), 1);
    expectSameLines(DescribeSchema(t), before);
}

TEST(SchemaUpgrade, NewerDatabaseIsRefusedNamingItsVersionAndNothingIsWritten)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    t.exec("INSERT INTO MY_VERSION (NUMBER_VER, NAME_VER, OPIS) VALUES (43, '5.7.2', 'Новее программы')");
    // Without its administrator the start-up would write one: it must not get that far.
    t.exec("DELETE FROM PERSON_POLICY");
    t.exec("DELETE FROM PERSON");

    Start start(env);
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral(
        "С Вашей базой данных может работать программа с версией не ниже 5.7.2. "
        "Последние версии программ можно получить на странице ")));
    EXPECT_TRUE(env.messages[0].endsWith(QLatin1Char(' ')));
    EXPECT_TRUE(start.closed);
    EXPECT_TRUE(Form_Base->startupAborted);
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PERSON").toInt(), 0);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM LOG_TABLE").toInt(), 0);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM MY_VERSION").toInt(), 43);
}

TEST(SchemaUpgrade, FailingStepIsUndoneWholeTheProgramEndsAndTheNextStartRetriesIt)
{
    AppEnv env(false);
    TestDb& t = env.testDb();
    MakeOldDatabase(t, 2);
    AddOldRows(t);
    // Step 11 changes LOG_TABLE and writes its version row before the rights
    // rows, which the server refuses here.
    t.exec("CREATE EXCEPTION E_NO_RIGHTS 'Права не выдаются'");
    t.exec("CREATE TRIGGER T_NO_RIGHTS FOR PERSON_POLICY ACTIVE BEFORE INSERT AS BEGIN EXCEPTION E_NO_RIGHTS; END");

    {
        Start start(env);
        ASSERT_EQ(env.messages.size(), 1);
        EXPECT_TRUE(env.messages[0].contains(QStringLiteral("Права не выдаются"))) << env.messages[0].toStdString();
        EXPECT_TRUE(start.closed);
        EXPECT_TRUE(Form_Base->startupAborted);
        EXPECT_FALSE(Form_Base->MyDB->connected());
    }
    EXPECT_EQ(t.scalar("SELECT MAX(NUMBER_VER) FROM MY_VERSION").toInt(), 10);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'LOG_TABLE' "
                       "AND RDB$FIELD_NAME = 'K_LOGIN'").toInt(), 0);
    EXPECT_EQ(t.scalar("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F "
                       "ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                       "WHERE RF.RDB$RELATION_NAME = 'LOG_TABLE' AND RF.RDB$FIELD_NAME = 'ARM'").toInt(), 30);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PERSON_POLICY").toInt(), 2);
    // The steps before it stay: step 10 realigned the department rows.
    EXPECT_EQ(departmentRow(t, 100301), QStringLiteral("100101/100022"));
    // Nor did the start-up go on past the upgrade.
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM LOG_TABLE").toInt(), 0);

    t.exec("DROP TRIGGER T_NO_RIGHTS");
    t.exec("DROP EXCEPTION E_NO_RIGHTS");
    env.messages.clear();
    Start again(env);
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(again.closed);
    expectVersionRows(t);
    expectShippedSchema(t);
    EXPECT_EQ(t.scalar("SELECT COUNT(*) FROM PERSON_POLICY WHERE PARAM1 = 1").toInt(), 4);
}

TEST(SchemaUpgrade, ProcedureFormsOfTheMiddleStepsActAsThoseStepsLeftThem)
{
    TestDb t;
    MakeOldDatabase(t, 2);
    AddOldRows(t);
    for (int step = 3; step <= 19; ++step)
        schema::runStep(t.db(), t.read(), t.write(), step);
    EXPECT_EQ(t.scalar("SELECT MAX(NUMBER_VER) FROM MY_VERSION").toInt(), 19);

    // MY_ROUND of step 4 knows the steps up to 5 roubles: a step of 10 roubles
    // still rounds to 10 kopecks.
    t.exec("UPDATE MY_PARAM SET INTEGER_PARAM = 4 WHERE NAME_PARAM = 'okrugl1'");
    t.exec("UPDATE MY_PARAM SET INTEGER_PARAM = 0 WHERE NAME_PARAM = 'okrugl2'");
    t.exec("UPDATE ING_SKLAD SET PERCENT = 0, METOD_CENA = 0, KOLVO = 8, CENA = 7, MY_CENA = 9 WHERE KOD = 100301");
    EXPECT_DOUBLE_EQ(t.scalar("EXECUTE BLOCK RETURNS (R DOUBLE PRECISION) AS BEGIN "
                              "EXECUTE PROCEDURE MY_ROUND 100301, 12.34 RETURNING_VALUES :R; SUSPEND; END")
                         .toDouble(),
                     12.3);

    // DELETE_PROVODKA of step 19: a sales document's lines go with its
    // posting, a receipt keeps them; only the stock price comes back.
    t.exec("INSERT INTO DOCS (KOD, DOC_TYPE, PROVODKA, EDIT_CENA) VALUES (100701, 3, 11, 1)");
    t.exec("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES, OLD_CENA) "
           "VALUES (100701, 100201, 100011, 2, 7, 2, 5)");
    t.exec("INSERT INTO DOCS (KOD, DOC_TYPE, PROVODKA) VALUES (100702, 5, 11)");
    t.exec("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES (100702, 100201, 100012, 3, 4, 1)");
    t.exec("UPDATE ING_SKLAD SET KOLVO = 3 WHERE KOD = 100302");
    t.exec("EXECUTE PROCEDURE DELETE_PROVODKA 100701, 1");
    t.exec("EXECUTE PROCEDURE DELETE_PROVODKA 100702, 0");
    EXPECT_EQ(keys(t, "SELECT CAST(KOLVO AS INTEGER) || ':' || CAST(CENA AS INTEGER) || ':' || CAST(MY_CENA AS INTEGER) "
                      "FROM ING_SKLAD WHERE KOD IN (100301, 100302) ORDER BY KOD"),
              QStringLiteral("10:5:9 0:0:0"));
    EXPECT_EQ(keys(t, "SELECT KOD_DOC FROM MOVES ORDER BY KOD_DOC"), QStringLiteral("100702"));
    EXPECT_EQ(keys(t, "SELECT PROVODKA FROM DOCS WHERE KOD IN (100701, 100702)"), QStringLiteral("0 0"));
}
