// The stock limits sheet (its statement for each scope and rule, headings
// and running numbers, the frame, the rules on null and zero limits, the
// dialog's refusal of an empty scope) and the where-used sheet; names typed
// with a line break on every sheet the program lays out.

#include "WorkbookData.h"

#include "Unit_Limit.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "base/Unit_Base.h"
#include "entries/Print_IngUsage.h"
#include "support/AppEnv.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Gauge.h"
#include "workbooks/IngUsageWorkbook.h"
#include "workbooks/LimitsWorkbook.h"
#include "workbooks/StatWorkbook.h"

#include <gtest/gtest.h>

using automation::RecordedBook;
using automation::RecordingOffice;
using workbooks::LimitOptions;
using workbooks::LimitRow;

namespace {

TEST(LimitsSql, ScopeAndRuleLines)
{
    LimitOptions o;
    o.scope = 0;
    o.sklad = 30;
    o.rule = 1;
    const QStringList sql = workbooks::LimitsSql(o);
    ASSERT_EQ(sql.size(), 12);
    EXPECT_EQ(sql[0], QStringLiteral("SELECT ING_SKLAD.*, ING.KOD_GROUP, ING.NAME, ING.ED_IZM, ING.KVO_PORC,"));
    EXPECT_EQ(sql[8], QStringLiteral("LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP"));
    EXPECT_EQ(sql[9], QStringLiteral("WHERE ING_SKLAD.KOD_SKLAD = 30 AND"));
    EXPECT_EQ(sql[10], QStringLiteral("ING_SKLAD.LIMIT > ING_SKLAD.KOLVO AND ING_SKLAD.LIMIT > 0"));
    EXPECT_EQ(sql[11], QStringLiteral("ORDER BY ING_SKLAD.KOD_FIRMA, ING_SKLAD.KOD_OTDEL, ING_SKLAD.KOD_SKLAD, ING.NAME"));
    o.scope = 3;
    o.rule = 0;
    EXPECT_EQ(workbooks::LimitsSql(o)[9], QStringLiteral("WHERE"));
    EXPECT_EQ(workbooks::LimitsSql(o)[10], QStringLiteral("(ING_SKLAD.LIMIT > ING_SKLAD.KOLVO OR ING_SKLAD.KOLVO < 0)"));
    o.scope = 1;
    o.otdel = 20;
    EXPECT_EQ(workbooks::LimitsSql(o)[9], QStringLiteral("WHERE ING_SKLAD.KOD_OTDEL = 20 AND"));
    o.scope = 2;
    o.firma = 10;
    EXPECT_EQ(workbooks::LimitsSql(o)[9], QStringLiteral("WHERE ING_SKLAD.KOD_FIRMA = 10 AND"));
}

LimitRow row(qint64 f, qint64 o, qint64 s, const char* name, double limit, double kolvo, double cena)
{
    LimitRow r;
    r.kodFirma = f;
    r.kodOtdel = o;
    r.kodSklad = s;
    r.nameF = QStringLiteral("Фирма %1").arg(f);
    r.nameO = QStringLiteral("Отдел %1").arg(o);
    r.nameS = s ? QStringLiteral("Склад %1").arg(s) : QString();
    r.name = QString::fromUtf8(name);
    r.limit = limit;
    r.kolvo = kolvo;
    r.cena = cena;
    return r;
}

TEST(LimitsWorkbook, HeadingsAndRunningNumbers)
{
    RecordingOffice office;
    // Two products in one warehouse, one in another of the same department,
    // one in another enterprise.
    ASSERT_TRUE(workbooks::limits::Write(
        office, {row(1, 2, 3, "Гречка", 5, 1, 2.5), row(1, 2, 3, "Мука", 10, -1, 3), row(1, 2, 4, "Соль", 2, 0, 1),
                 row(7, 8, 9, "Сахар", 4, 3, 5)}));
    const RecordedBook& b = office.last();
    EXPECT_EQ(b.sheets[0].name, QStringLiteral("Лимиты"));
    const QStringList header{"№", "Наименование продукта", "Лимит", "Кол-во", "Цена"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(b.state({0, c, 0}).content.toString(), header[c]);
    const QStringList b_column{"Фирма 1", "Отдел 2", "Склад 3", "Гречка", "Мука", "Склад 4", "Соль",
                               "Фирма 7", "Отдел 8", "Склад 9", "Сахар"};
    for (int r = 0; r < b_column.size(); ++r)
        EXPECT_EQ(b.state({0, 1, r + 1}).content.toString(), b_column[r]) << r;
    const std::map<int, double> numbers{{5, 1}, {6, 2}, {8, 3}, {12, 4}};
    for (int r = 2; r <= 12; ++r) {
        const QVariant a = b.at(QStringLiteral("A%1").arg(r));
        if (numbers.count(r))
            EXPECT_EQ(a, numbers.at(r)) << r;
        else
            EXPECT_FALSE(a.isValid()) << r;
    }
    EXPECT_EQ(b.at("C6"), 10.0);
    EXPECT_EQ(b.at("D6"), -1.0);
    EXPECT_EQ(b.at("E6"), 3.0);
    EXPECT_EQ(b.stateAt("B2").fontWeight, automation::kWeightBold);
    EXPECT_EQ(b.stateAt("B5").fontWeight, automation::kWeightNormal);
    EXPECT_EQ(b.stateAt("C1").fontWeight, automation::kWeightBold);
    EXPECT_EQ(b.stateAt("C1").horiJustify, 2);
    EXPECT_EQ(b.stateAt("C5").numberFormat, automation::kQuantityFormat);
    EXPECT_EQ(b.stateAt("E5").numberFormat, automation::kPriceFormat);
    EXPECT_EQ(b.sheets[0].columnWidths, (std::map<int, int>{{0, 750}, {1, 9400}, {2, 2800}, {3, 2800}, {4, 2800}}));
    EXPECT_EQ(b.sheets[0].margins, (automation::PageMargins{1058, 353}));
    EXPECT_EQ(b.stateAt("E12").bottomWidth, 35);
    EXPECT_EQ(b.stateAt("A13").topWidth, 0);
    EXPECT_TRUE(b.visible);

    // Nothing found: the header alone, framed.
    ASSERT_TRUE(workbooks::limits::Write(office, {}));
    EXPECT_EQ(office.last().stateAt("E1").bottomWidth, 35);
    EXPECT_EQ(office.last().stateAt("A2").topWidth, 0);
    // A row without a warehouse opens a heading with no name.
    ASSERT_TRUE(workbooks::limits::Write(office, {row(1, 2, 0, "Мука", 3, 1, 1)}));
    EXPECT_FALSE(office.last().at("B4").isValid());
    EXPECT_EQ(office.last().at("B5"), QStringLiteral("Мука"));
}

class LimitsDataTest : public ::testing::Test {
protected:
    EngineEnv env;
    WorkbookData data{env.t};

    void SetUp() override
    {
        const char* names[] = {"Без лимита минус", "Ноль минус", "Ноль плюс", "Равно", "Ниже", "Выше", "Буфетный"};
        for (int i = 0; i < 7; ++i)
            data.product(i + 1, QString::fromUtf8(names[i]));
        data.stock(1, 20, -2, 1, QStringLiteral("0"));
        data.stock(2, 20, -1, 1, QStringLiteral("0"));
        data.stock(3, 20, 4, 1, QStringLiteral("0"));
        data.stock(4, 20, 5, 1, QStringLiteral("5"));
        data.stock(5, 20, 2, 1, QStringLiteral("5"));
        data.stock(6, 20, 9, 1, QStringLiteral("5"));
        data.stock(7, 21, 1, 1, QStringLiteral("3"));
        data.refresh();
    }

    QStringList names(int scope, int rule)
    {
        LimitOptions o;
        o.scope = scope;
        o.rule = rule;
        o.sklad = 30;
        o.otdel = 20;
        o.firma = 10;
        QStringList out;
        for (const LimitRow& r : workbooks::ReadLimitRows(env.ctx(), o))
            out << r.name;
        return out;
    }
};

TEST_F(LimitsDataTest, RulesOnNullAndZeroLimits)
{
    // The schema keeps no null limit: a row left without one holds 0.
    EXPECT_EQ(names(0, 1), QStringList{QStringLiteral("Ниже")});
    EXPECT_EQ(names(0, 0), (QStringList{QStringLiteral("Без лимита минус"), QStringLiteral("Ниже"), QStringLiteral("Ноль минус")}));
    EXPECT_EQ(names(1, 1), QStringList{QStringLiteral("Ниже")});
    EXPECT_EQ(names(2, 1), (QStringList{QStringLiteral("Ниже"), QStringLiteral("Буфетный")}));
    EXPECT_EQ(names(3, 1), (QStringList{QStringLiteral("Ниже"), QStringLiteral("Буфетный")}));
}

TEST_F(LimitsDataTest, TheDialogBuildsForTheCurrentRowsAndRefusesAnEmptyScope)
{
    AppEnv app;
    auto owned = std::make_unique<RecordingOffice>();
    RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    TForm_Limit dialog;
    EXPECT_EQ(dialog.RadioGroup1->itemIndex(), 2);
    EXPECT_EQ(dialog.RadioGroup2->itemIndex(), 1);
    // The program's lists are empty: no enterprise, department or warehouse to select by.
    for (int scope = 0; scope < 3; ++scope) {
        dialog.RadioGroup1->setItemIndex(scope);
        dialog.BitBtn1Click();
        EXPECT_FALSE(Form_Gauge->isVisible());
    }
    EXPECT_EQ(app.messages, (QStringList{QStringLiteral("Не выбран склад !"), QStringLiteral("Не выбран отдел !"),
                                         QStringLiteral("Не выбрано предприятие !")}));
    EXPECT_TRUE(office->books.isEmpty());
    // Every enterprise needs no current row.
    dialog.RadioGroup1->setItemIndex(3);
    dialog.BitBtn1Click();
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_EQ(office->last().sheets[0].name, QStringLiteral("Лимиты"));
    EXPECT_FALSE(Form_Gauge->isVisible());
    automation::SetProgramOffice(nullptr);
}

// ---- where-used ----

TEST(IngUsageWorkbook, TitleLinesAndFrame)
{
    RecordingOffice office;
    ASSERT_TRUE(workbooks::usage::Write(office, QStringLiteral("Мука"),
                                                 {{QStringLiteral("Блины"), 10, QStringLiteral("шт"), 0.5},
                                                  {QString(), 0, QString(), 0.2}}));
    const RecordedBook& b = office.last();
    EXPECT_EQ(b.at("A1"), QStringLiteral("Продукт Мука используется в следующих блюдах:"));
    EXPECT_EQ(b.sheets[0].merges, (QList<automation::RangeAddress>{{0, 0, 0, 4, 0}}));
    EXPECT_TRUE(b.stateAt("A1").wrapped);
    EXPECT_EQ(b.stateAt("A1").fontWeight, automation::kWeightBold);
    EXPECT_EQ(b.stateAt("A1").fontHeight, 12);
    EXPECT_EQ(b.stateAt("A1").horiJustify, 2);
    EXPECT_EQ(b.stateAt("A1").vertJustify, 2);
    EXPECT_FALSE(b.at("A2").isValid());
    const QStringList header{"№", "Наименование блюда", "Ед.изм.", "Порц", "Кол-во"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(b.state({0, c, 2}).content.toString(), header[c]);
    EXPECT_EQ(b.at("A4"), 1.0);
    EXPECT_EQ(b.at("B4"), QStringLiteral("Блины"));
    EXPECT_EQ(b.at("C4"), QStringLiteral("шт"));
    EXPECT_EQ(b.at("D4"), 10.0);
    EXPECT_EQ(b.at("E4"), 0.5);
    // A card whose composite is gone: no name or unit, no portions, the amount.
    EXPECT_EQ(b.at("A5"), 2.0);
    EXPECT_FALSE(b.at("B5").isValid());
    EXPECT_FALSE(b.at("C5").isValid());
    EXPECT_EQ(b.at("D5"), 0.0);
    EXPECT_EQ(b.at("E5"), 0.2);
    EXPECT_EQ(b.stateAt("E5").bottomWidth, 35);
    EXPECT_EQ(b.stateAt("A3").topWidth, 35);
    EXPECT_EQ(b.stateAt("A6").topWidth, 0);
    EXPECT_EQ(b.sheets[0].margins, (automation::PageMargins{1058, 353}));
    EXPECT_EQ(b.sheets[0].columnWidths, (std::map<int, int>{{0, 750}, {1, 9400}, {2, 1800}, {3, 1400}, {4, 2800}}));
    EXPECT_TRUE(b.stateAt("B4").wrapped);
    EXPECT_EQ(b.stateAt("E4").numberFormat, automation::kQuantityFormat);

    // Used nowhere: the frame covers the header alone.
    ASSERT_TRUE(workbooks::usage::Write(office, QStringLiteral("Соль"), {}));
    EXPECT_EQ(office.last().stateAt("E3").bottomWidth, 35);
    EXPECT_EQ(office.last().stateAt("A4").topWidth, 0);
    EXPECT_FALSE(office.last().at("A4").isValid());
}

TEST(IngUsage, CardsReadAndTheEntryShowsTheWorkbook)
{
    AppEnv app;
    TestDb& t = app.testDb();
    WorkbookData data(t);
    data.product(1, QStringLiteral("Мука"));
    data.product(2, QStringLiteral("Блины"), 1, 2, 10);
    data.product(3, QStringLiteral("Оладьи"), 1, 2, 5);
    t.exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (1, 1, 1)"));
    t.exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO, IS_ACTIVE) VALUES (3, 1, 0.3, 0)"));
    t.exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (2, 1, 0.5)"));
    t.exec(QStringLiteral("INSERT INTO KARTA (KOD_ING_MASTER, KOD_ING, KOLVO) VALUES (99, 1, 0.2)"));
    auto owned = std::make_unique<RecordingOffice>();
    RecordingOffice* office = owned.get();
    automation::SetProgramOffice(std::move(owned));
    db::Transaction* read = Form_Base->TransactionRead;
    if (read->active())
        read->commit();
    read->start();

    printing::Print_IngUsage(0, QString());
    EXPECT_TRUE(office->books.isEmpty());

    printing::Print_IngUsage(1, QStringLiteral("Мука"));
    ASSERT_EQ(office->books.size(), 1);
    const RecordedBook& b = office->last();
    // The gone composite (no name) sorts first; the switched-off card and the self row are listed.
    EXPECT_FALSE(b.at("B4").isValid());
    EXPECT_EQ(b.at("B5"), QStringLiteral("Блины"));
    EXPECT_EQ(b.at("D5"), 10.0);
    EXPECT_EQ(b.at("C5"), QStringLiteral("шт"));
    EXPECT_EQ(b.at("B6"), QStringLiteral("Мука"));
    EXPECT_EQ(b.at("B7"), QStringLiteral("Оладьи"));
    EXPECT_EQ(b.at("E7"), 0.3);
    EXPECT_EQ(b.stateAt("E7").bottomWidth, 35);
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_TRUE(app.messages.isEmpty());

    office->reachable = false;
    printing::Print_IngUsage(1, QStringLiteral("Мука"));
    EXPECT_EQ(app.messages.last(), QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !"));
    EXPECT_FALSE(Form_Gauge->isVisible());
    automation::SetProgramOffice(nullptr);
}


// ---- names typed with a line break ----

// A row holds one line: a name with a line break in it would show its last
// line only, or its lines over the next row. Each break prints as a blank.
TEST(WorkbookNames, ALineBreakInANamePrintsAsABlank)
{
    const QString cutlet = QStringLiteral("Котлета \"Нежная\"\r\nс гарниром");
    const QString whole = QStringLiteral("Котлета \"Нежная\" с гарниром");
    RecordingOffice office;

    LimitRow r = row(1, 2, 3, "", 5, 1, 10);
    r.nameO = QStringLiteral("Горячий\nцех");
    r.name = cutlet;
    ASSERT_TRUE(workbooks::limits::Write(office, {r}));
    EXPECT_EQ(office.last().at("B3"), QStringLiteral("Горячий цех"));
    EXPECT_EQ(office.last().at("B5"), whole);

    ASSERT_TRUE(workbooks::usage::Write(office, QStringLiteral("Фарш\rговяжий"), {{cutlet, 1, QStringLiteral("шт"), 0.15}}));
    EXPECT_EQ(office.last().at("A1"), QStringLiteral("Продукт Фарш говяжий используется в следующих блюдах:"));
    EXPECT_EQ(office.last().at("B4"), whole);

    workbooks::StatOptions o;
    o.start = QDate(2026, 1, 1);
    o.end = QDate(2026, 1, 31);
    o.days = 40;
    workbooks::StatData d;
    d.consumption.push_back({1, cutlet, 10});
    d.stock.push_back({1, cutlet, QStringLiteral("кг"), 2, 30});
    ASSERT_TRUE(workbooks::stat::Write(office, o, d));
    EXPECT_EQ(office.last().at("B4"), whole);
    EXPECT_EQ(office.last().at("B4", 1), whole);
}

} // namespace
