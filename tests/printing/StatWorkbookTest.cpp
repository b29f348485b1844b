// Consumption statistics and the supplier order: the statements for the
// window's options, the computation of each product's row and order line,
// the frame of both sheets, the rows read from a database, and the window's
// controls and checks.

#include "WorkbookData.h"

#include "Unit_Stat.h"
#include "ProgramOffice.h"
#include "automation/RecordingOffice.h"
#include "support/AppEnv.h"
#include "support/PickersStub.h"
#include "ui/Unit_Gauge.h"
#include "workbooks/StatWorkbook.h"

#include "db/Error.h"
#include "db/Transaction.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QFontMetricsF>

#include <gtest/gtest.h>

using automation::RecordedBook;
using automation::RecordingOffice;
using workbooks::StatData;
using workbooks::StatOptions;

namespace {

StatOptions march(int days = 7)
{
    StatOptions o;
    o.start = QDate(2024, 3, 1);
    o.end = QDate(2024, 3, days);
    return o;
}

// The workbook of the data, recorded.
RecordedBook build(const StatOptions& o, const StatData& d, RecordingOffice& office)
{
    EXPECT_TRUE(workbooks::stat::Write(office, o, d));
    return office.last();
}

StatData one(double consumption, double stock, double cena = 3)
{
    StatData d;
    d.consumption.push_back({1, QStringLiteral("Мука"), consumption});
    d.stock.push_back({1, QStringLiteral("Мука"), QStringLiteral("кг"), stock, cena});
    return d;
}

TEST(StatSql, TheStatementsFollowTheOptions)
{
    StatOptions o = march();
    EXPECT_EQ(workbooks::StatConsumptionSql(o),
              (QStringList{QStringLiteral("SELECT MOVES.KOD_ING, MOVES.KOD_OTDEL, SUM(MOVES.KOLVO) AS KOLVO FROM DOCS"),
                           QStringLiteral("JOIN MOVES ON MOVES.KOD_DOC = DOCS.KOD"),
                           QStringLiteral("WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE"),
                           QStringLiteral("AND DOCS.DOC_TYPE <> 4"), QStringLiteral("AND MOVES.TYPE_MOVES = 2"),
                           QStringLiteral("GROUP BY 1, 2")}));
    const QString departments = QStringLiteral("SELECT OTDEL.KOD FROM OTDEL JOIN FIRMA ON FIRMA.KOD = OTDEL.KOD_FIRMA");
    EXPECT_EQ(workbooks::StatDepartmentsSql(o), QStringList{departments});
    const QString stockHead = QStringLiteral(
        "SELECT ING.KOD, ING.NAME, ED_IZM.SHORT_NAME, SUM(ING_SKLAD.KOLVO) AS KOLVO, AVG(ING_SKLAD.CENA) AS CENA FROM ING\n"
        "JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM\nJOIN ING_SKLAD ON ING_SKLAD.KOD_ING = ING.KOD\n");
    const QString stockTail = QStringLiteral("GROUP BY ING.NAME, ING.KOD, ED_IZM.SHORT_NAME\nORDER BY ING.NAME");
    // Everything, raw products only (the box ticked).
    EXPECT_EQ(workbooks::StatStockSql(o).join('\n'), stockHead + "WHERE\nING.MY_LEVEL = 0\n" + stockTail);
    o.rawOnly = false;
    EXPECT_EQ(workbooks::StatStockSql(o).join('\n'), stockHead + stockTail);

    // An enterprise, every department; then one department; internal transfers counted.
    o.allFirma = false;
    o.firma = 10;
    o.local = false;
    QStringList c = workbooks::StatConsumptionSql(o);
    EXPECT_EQ(c.mid(3), (QStringList{QStringLiteral("AND MOVES.TYPE_MOVES = 2"), QStringLiteral("GROUP BY 1, 2")}));
    EXPECT_EQ(workbooks::StatDepartmentsSql(o), (QStringList{departments, QStringLiteral("WHERE FIRMA.KOD = 10")}));
    EXPECT_EQ(workbooks::StatStockSql(o).join('\n'), stockHead + "WHERE ING_SKLAD.KOD_FIRMA = 10\n" + stockTail);
    o.allOtdel = false;
    o.otdel = 20;
    o.rawOnly = true;
    c = workbooks::StatConsumptionSql(o);
    EXPECT_EQ(c.mid(3, 1), QStringList{QStringLiteral("AND MOVES.KOD_OTDEL + 0 = 20")});
    EXPECT_EQ(workbooks::StatDepartmentsSql(o),
              (QStringList{departments, QStringLiteral("WHERE FIRMA.KOD = 10"), QStringLiteral("AND OTDEL.KOD = 20")}));
    EXPECT_EQ(workbooks::StatStockSql(o).join('\n'),
              stockHead + "WHERE ING_SKLAD.KOD_FIRMA = 10\nAND\nING_SKLAD.KOD_OTDEL = 20\nAND\nING.MY_LEVEL = 0\n" +
                  stockTail);
}

TEST(StatWorkbook, TheWorkedExample)
{
    // 7 days, 14 used, 5 in stock, 5 per cent.
    StatOptions o = march();
    o.okrug = false;
    RecordingOffice office;
    RecordedBook b = build(o, one(14, 5), office);
    EXPECT_EQ(b.at("A4"), 1.0);
    EXPECT_EQ(b.at("B4"), QStringLiteral("Мука"));
    EXPECT_EQ(b.at("C4"), QStringLiteral("кг"));
    EXPECT_EQ(b.at("D4"), 14.0);
    EXPECT_EQ(b.at("E4"), 2.0);
    EXPECT_EQ(b.at("F4"), 5.0);
    EXPECT_EQ(b.at("G4"), 2.5);
    EXPECT_EQ(b.at("A4", 1), 1.0);
    EXPECT_EQ(b.at("B4", 1), QStringLiteral("Мука"));
    EXPECT_DOUBLE_EQ(b.at("D4", 1).toDouble(), 9.45);
    EXPECT_EQ(b.at("E4", 1), 3.0);
    EXPECT_EQ(b.stateAt("F4", 1).formula, workbooks::OrderSumFormula(4));
    EXPECT_EQ(b.stateAt("F5", 1).formula, QStringLiteral("=SUM(F4:F4)"));
    EXPECT_EQ(b.stateAt("F4").charColor, -1);

    o.okrug = true;
    b = build(o, one(14, 5), office);
    EXPECT_EQ(b.at("D4", 1), 10.0);
    // Whole part plus one, not a ceiling: exactly 4 becomes 5.
    o.percent = 0;
    b = build(o, one(14, 10), office);
    EXPECT_EQ(b.at("D4", 1), 5.0);
    o.percent = 50;
    o.okrug = false;
    b = build(o, one(14, 10), office);
    EXPECT_EQ(b.at("D4", 1), 6.0);
}

TEST(StatWorkbook, OrderLinesOnlyWhereTheStockFallsShort)
{
    StatOptions o = march();
    RecordingOffice office;
    // The need equals the stock: no order line and no total.
    RecordedBook b = build(o, one(14, 14), office);
    EXPECT_EQ(b.at("G4"), 7.0);
    EXPECT_FALSE(b.at("A4", 1).isValid());
    EXPECT_FALSE(b.at("F4", 1).isValid());
    EXPECT_EQ(b.stateAt("A3", 1).bottomWidth, 35);
    EXPECT_EQ(b.stateAt("A4", 1).topWidth, 0);

    // A negative stock counts as 0: the full need is ordered; shown red with "?????".
    o.okrug = false;
    o.percent = 0;
    b = build(o, one(14, -3), office);
    EXPECT_EQ(b.at("F4"), -3.0);
    EXPECT_EQ(b.stateAt("F4").charColor, 0xFF0000);
    EXPECT_EQ(b.at("G4"), QStringLiteral("?????"));
    EXPECT_EQ(b.at("D4", 1), 14.0);
    // Counted as it is, the deficit is ordered too.
    o.red = false;
    b = build(o, one(14, -3), office);
    EXPECT_EQ(b.at("D4", 1), 17.0);
    // Nothing used and a deficit: an order line of the deficit alone.
    b = build(o, one(0, -3), office);
    EXPECT_EQ(b.at("G4"), QStringLiteral("?????"));
    EXPECT_EQ(b.at("D4", 1), 3.0);
    // Nothing used, stock on hand: the days cannot be told, never a division by zero.
    b = build(o, one(0, 4), office);
    EXPECT_EQ(b.at("G4"), QStringLiteral("?????"));
    EXPECT_EQ(b.at("E4"), 0.0);
    EXPECT_FALSE(b.at("A4", 1).isValid());
    // A stock of 0 takes the plain road: 0 days, not red.
    b = build(o, one(7, 0), office);
    EXPECT_EQ(b.at("G4"), 0.0);
    EXPECT_EQ(b.stateAt("F4").charColor, -1);
    // So does what cancelling quantities leave of a stock (−8.88e-16), and a
    // consumption that cancels out (5.55e-17) is nothing used.
    b = build(o, one(7, -8.881784197001252e-16), office);
    EXPECT_EQ(b.at("F4"), 0.0);
    EXPECT_EQ(b.at("G4"), 0.0);
    EXPECT_EQ(b.stateAt("F4").charColor, -1);
    b = build(o, one(0.1 + 0.2 - 0.3, 4), office);
    EXPECT_EQ(b.at("D4"), 0.0);
    EXPECT_EQ(b.at("G4"), QStringLiteral("?????"));

    // Not consumed in the period: A, B, C and F only, never an order line.
    StatData d;
    d.stock.push_back({5, QStringLiteral("Соль"), QStringLiteral("кг"), -2, 1});
    b = build(o, d, office);
    EXPECT_EQ(b.at("F4"), -2.0);
    EXPECT_FALSE(b.at("D4").isValid());
    EXPECT_FALSE(b.at("E4").isValid());
    EXPECT_EQ(b.at("G4"), QStringLiteral("?????"));
    EXPECT_FALSE(b.at("A4", 1).isValid());
}

TEST(StatWorkbook, TheFrameOfBothSheets)
{
    StatOptions o = march();
    StatData d;
    // Three products, two of them ordered; the consumption comes in another order.
    d.consumption = {{3, QStringLiteral("Сахар"), 70}, {1, QStringLiteral("Гречка"), 7}, {2, QStringLiteral("Мука"), 14}};
    d.stock = {{1, QStringLiteral("Гречка"), QStringLiteral("кг"), 50, 2},
               {2, QStringLiteral("Мука"), QStringLiteral("кг"), 5, 3},
               {3, QStringLiteral("Сахар"), QString(), 1, 4}};
    RecordingOffice office;
    const RecordedBook b = build(o, d, office);
    EXPECT_EQ(b.sheets[0].name, QStringLiteral("Статистика потребления"));
    EXPECT_EQ(b.sheets[1].name, QStringLiteral("Заявка поставщикам"));
    EXPECT_EQ(b.at("A1"), QStringLiteral("Среднесуточное потребление продуктов"));
    EXPECT_EQ(b.at("A2"), QStringLiteral("за период с 01.03.2024 по 07.03.2024"));
    EXPECT_EQ(b.at("A1", 1), QStringLiteral("Заявка на поставку продуктов для обеспечения склада на 7 дней."));
    const QStringList stat{"№", "Наименование ингредиента", "Ед.изм.", "Всего", "За сутки", "Остаток на складе",
                           "На сколько дней запас"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(b.state({0, c, 2}).content.toString(), stat[c]);
    const QStringList order{"№", "Наименование ингредиента", "Ед.изм.", "Всего", "Цена", "Сумма"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(b.state({1, c, 2}).content.toString(), order[c]);
    EXPECT_FALSE(b.at("G3", 1).isValid());
    EXPECT_EQ(b.sheets[0].columnWidths,
              (std::map<int, int>{{0, 750}, {1, 9000}, {2, 1900}, {3, 3300}, {4, 3300}, {5, 3300}, {6, 3300}}));
    EXPECT_EQ(b.sheets[1].columnWidths, (std::map<int, int>{{0, 750}, {1, 7500}, {2, 1800}, {3, 3300}, {4, 2800}, {5, 2800}}));
    EXPECT_TRUE(b.sheets[0].landscape);
    EXPECT_FALSE(b.sheets[1].landscape);
    // A caption breaks between words only: each word fits its column in the
    // body font (as this machine draws it, with a millimetre of margin each side).
    const QFontMetricsF body(QFont(QStringLiteral("Times New Roman"), 12));
    for (int c = 0; c < 7; ++c)
        for (const QString& word : stat[c].split(QLatin1Char(' ')))
            EXPECT_LE(body.horizontalAdvance(word) * 2540.0 / body.fontDpi() + 200,
                      b.sheets[0].columnWidths.at(c))
                << word.toStdString();
    // The larger titles get their heights.
    EXPECT_TRUE(b.sheets[0].fittedRows.count(0) && b.sheets[0].fittedRows.count(1));
    EXPECT_EQ(b.sheets[0].margins, (automation::PageMargins{529, 353}));
    EXPECT_EQ(b.sheets[1].margins, (automation::PageMargins{1588, 353}));
    EXPECT_EQ(b.sheets[0].merges, (QList<automation::RangeAddress>{{0, 0, 0, 6, 0}, {0, 0, 1, 6, 1}}));
    EXPECT_TRUE(b.stateAt("C3").wrapped);
    EXPECT_EQ(b.stateAt("A2").fontHeight, 16);
    EXPECT_EQ(b.stateAt("A2").fontWeight, automation::kWeightBold);
    EXPECT_EQ(b.stateAt("B5").fontName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(b.stateAt("B5").fontWeight, automation::kWeightNormal);
    EXPECT_EQ(b.stateAt("D3").horiJustify, 2);
    EXPECT_EQ(b.stateAt("D3").vertJustify, 2);
    EXPECT_EQ(b.stateAt("E5").numberFormat, automation::kQuantityFormat);
    EXPECT_EQ(b.stateAt("G5").numberFormat, QStringLiteral("0,#"));
    EXPECT_EQ(b.stateAt("F6", 1).numberFormat, QStringLiteral("0,00"));

    // Гречка lasts; Мука and Сахар are ordered, numbered 1 and 2.
    EXPECT_EQ(b.at("B4", 1), QStringLiteral("Мука"));
    EXPECT_EQ(b.at("A5", 1), 2.0);
    EXPECT_EQ(b.at("B5", 1), QStringLiteral("Сахар"));
    EXPECT_FALSE(b.at("C5", 1).isValid());
    EXPECT_EQ(b.stateAt("F5", 1).formula, workbooks::OrderSumFormula(5));
    EXPECT_EQ(b.stateAt("F6", 1).formula, QStringLiteral("=SUM(F4:F5)"));
    // Borders: A3:G6 and A3:F5; the total stands outside.
    EXPECT_EQ(b.stateAt("G6").bottomWidth, 35);
    EXPECT_EQ(b.stateAt("G6").rightWidth, 35);
    EXPECT_EQ(b.stateAt("A7").topWidth, 0);
    EXPECT_EQ(b.stateAt("A3").topWidth, 35);
    EXPECT_EQ(b.stateAt("A2").bottomWidth, 0);
    EXPECT_EQ(b.stateAt("F5", 1).bottomWidth, 35);
    EXPECT_EQ(b.stateAt("F6", 1).topWidth, 0);
    EXPECT_EQ(b.stateAt("F6", 1).rightWidth, 0);
    EXPECT_TRUE(b.visible);
    EXPECT_EQ(b.controllerLocks, 0);
    EXPECT_FALSE(office.connected());

    // No data: the frames over row 3 alone.
    const RecordedBook empty = build(o, {}, office);
    EXPECT_EQ(empty.stateAt("G3").bottomWidth, 35);
    EXPECT_EQ(empty.stateAt("G4").topWidth, 0);
    EXPECT_EQ(empty.stateAt("F3", 1).bottomWidth, 35);
    EXPECT_FALSE(empty.at("F4", 1).isValid());
}

TEST(StatWorkbook, RowsGoInBlocks)
{
    StatData d;
    for (int i = 0; i < 1200; ++i) {
        d.consumption.push_back({i, QStringLiteral("П%1").arg(i), 70});
        d.stock.push_back({i, QStringLiteral("П%1").arg(i), QStringLiteral("кг"), i % 2 ? 100.0 : 1.0, 2});
    }
    RecordingOffice office;
    const RecordedBook b = build(march(), d, office);
    EXPECT_EQ(b.at("B1203"), QStringLiteral("П1199"));
    EXPECT_EQ(b.at("A603", 1), 600.0);
    EXPECT_EQ(b.stateAt("F603", 1).formula, workbooks::OrderSumFormula(603));
    EXPECT_EQ(b.stateAt("F604", 1).formula, QStringLiteral("=SUM(F4:F603)"));
    // Captions, titles and the total one by one; the rows never cell by cell.
    EXPECT_LE(b.cellCalls, 4);
    EXPECT_LE(b.rowCalls, 10);
}

class StatDataTest : public ::testing::Test {
protected:
    EngineEnv env;
    WorkbookData data{env.t};

    void SetUp() override
    {
        data.product(1, QStringLiteral("Мука"));
        data.product(2, QStringLiteral("Сахар"));
        data.product(3, QStringLiteral("Блины"), 1, 2);
        data.product(4, QStringLiteral("Без единицы"), 0, 99);
        data.stock(1, 20, 5, 3);
        data.stock(1, 21, 1, 5);
        data.stock(2, 20, 2, 4);
        data.stock(3, 20, 0, 10);
        data.stock(4, 20, 1, 1);
        const qint64 issue = data.doc(QDate(2024, 3, 2), 2);
        data.line(issue, 1, 20, 10);
        data.line(issue, 1, 21, 4);
        data.line(issue, 2, 20, 1, 1);  // into stock: not consumption
        data.line(issue, 4, 20, 3);
        const qint64 transfer = data.doc(QDate(2024, 3, 7), 4);
        data.line(transfer, 2, 20, 6);
        const qint64 late = data.doc(QDate(2024, 3, 8), 2);
        data.line(late, 1, 20, 100);
        data.refresh();
    }

    static double consumption(const StatData& d, qint64 kod)
    {
        for (const auto& c : d.consumption)
            if (c.kod == kod)
                return c.kolvo;
        return -1;
    }
};

TEST_F(StatDataTest, ConsumptionAndStockOfTheScope)
{
    StatOptions o = march();
    StatData d = workbooks::ReadStatData(env.ctx(), o);
    EXPECT_EQ(consumption(d, 1), 14);
    EXPECT_EQ(consumption(d, 2), -1);  // the transfer is left out
    ASSERT_EQ(d.stock.size(), 2u);     // raw products with a unit, by name
    EXPECT_EQ(d.stock[0].name, QStringLiteral("Мука"));
    EXPECT_EQ(d.stock[0].kolvo, 6);
    EXPECT_EQ(d.stock[0].cena, 4);     // the plain average of the rows
    EXPECT_EQ(d.stock[0].unit, QStringLiteral("кг"));

    o.local = false;
    o.rawOnly = false;
    d = workbooks::ReadStatData(env.ctx(), o);
    EXPECT_EQ(consumption(d, 2), 6);
    EXPECT_EQ(d.stock.size(), 3u);
    EXPECT_EQ(d.stock[0].name, QStringLiteral("Блины"));

    o.allFirma = false;
    o.firma = 10;
    o.allOtdel = false;
    o.otdel = 21;
    d = workbooks::ReadStatData(env.ctx(), o);
    EXPECT_EQ(consumption(d, 1), 4);
    ASSERT_EQ(d.stock.size(), 1u);
    EXPECT_EQ(d.stock[0].kolvo, 1);

    // A one-day period divides by one.
    o = march(2);
    o.start = QDate(2024, 3, 2);
    RecordingOffice office;
    ASSERT_TRUE(workbooks::stat::Print(env.ctx(), o, office));
    EXPECT_EQ(office.last().at("D4"), 14.0);
    EXPECT_EQ(office.last().at("E4"), 14.0);
}

// Lines count in a department of an existing enterprise, the chosen one's
// when one is chosen; a department whose enterprise is gone and a line
// without a department count nowhere.
TEST_F(StatDataTest, OnlyDepartmentsOfAnExistingEnterpriseCount)
{
    env.t.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (11, 'Кафе', 1)"));
    env.t.exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (40, 11, 'Зал')"));
    env.t.exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (41, 99, 'Закрытый')"));
    env.t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, CENA) VALUES (1, 11, 40, 0, 1)"));
    const qint64 issue = data.doc(QDate(2024, 3, 3), 2);
    data.line(issue, 1, 40, 7);
    data.line(issue, 1, 41, 100);
    env.t.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, TYPE_MOVES) VALUES (%1, 1, NULL, 1000, 2)")
                   .arg(issue));
    data.refresh();
    struct Case {
        bool allFirma;
        qint64 firma;
        bool allOtdel;
        qint64 otdel;
        double used;
    };
    for (const Case& c : {Case{true, 0, true, 0, 14 + 7}, Case{false, 10, true, 0, 14}, Case{false, 11, true, 0, 7},
                          Case{false, 11, false, 40, 7}, Case{false, 10, false, 40, -1}}) {
        StatOptions o = march();
        o.allFirma = c.allFirma;
        o.firma = c.firma;
        o.allOtdel = c.allOtdel;
        o.otdel = c.otdel;
        EXPECT_EQ(consumption(workbooks::ReadStatData(env.ctx(), o), 1), c.used) << c.firma << "/" << c.otdel;
    }
}

// Without the office nothing is read; a read that fails (it goes on beside
// the frame) leaves no workbook to the user and says why, the gauge unshown.
TEST_F(StatDataTest, NoWorkbookWithoutTheOfficeOrTheData)
{
    int started = 0;
    workbooks::Progress p;
    p.start = [&](int) { ++started; };
    RecordingOffice office;
    office.reachable = false;
    EXPECT_FALSE(workbooks::stat::Print(env.ctx(), march(), office, p));
    EXPECT_TRUE(office.books.isEmpty());

    office.reachable = true;
    db::Transaction ended(&env.t.db(), db::Transaction::readParams());
    engine::Context broken = env.ctx();
    broken.read = &ended;
    EXPECT_THROW(workbooks::stat::Print(broken, march(), office, p), db::DbError);
    ASSERT_EQ(office.books.size(), 1);
    EXPECT_TRUE(office.last().closed);
    EXPECT_EQ(started, 0);
}

// ---- the window ----

class StatWindowTest : public ::testing::Test {
protected:
    AppEnv env;
    PickersStub pickers;
    TForm_Stat* w = nullptr;
    automation::RecordingOffice* office = nullptr;

    void SetUp() override
    {
        auto owned = std::make_unique<automation::RecordingOffice>();
        office = owned.get();
        automation::SetProgramOffice(std::move(owned));
        w = new TForm_Stat;
        pickers.onFirma = [](qint64& kod, QString& name) {
            kod = 10;
            name = QStringLiteral("Столовая №1");
            return true;
        };
        pickers.onOtdel = [](qint64 firma, PickersStub::Order order, qint64& kod, QString& name) {
            EXPECT_EQ(firma, 10);
            EXPECT_EQ(order, PickersStub::Order::ByName);
            kod = 20;
            name = QStringLiteral("Кухня");
            return true;
        };
    }
    void TearDown() override
    {
        delete w;
        automation::SetProgramOffice(nullptr);
    }
};

TEST_F(StatWindowTest, SpinBoundsAndDefaults)
{
    EXPECT_EQ(w->Date_End->date().daysTo(QDate::currentDate()) <= 1, true);
    EXPECT_EQ(w->Date_Start->date().daysTo(w->Date_End->date()), 7);
    for (int i = 0; i < 60; ++i)
        w->SpinButton1UpClick();
    EXPECT_EQ(w->Edit_Percent->text(), QStringLiteral("50"));
    for (int i = 0; i < 60; ++i)
        w->SpinButton1DownClick();
    EXPECT_EQ(w->Edit_Percent->text(), QStringLiteral("0"));
    for (int i = 0; i < 10; ++i)
        w->SpinButton2DownClick();
    EXPECT_EQ(w->Edit_Days->text(), QStringLiteral("1"));
    for (int i = 0; i < 120; ++i)
        w->SpinButton2UpClick();
    EXPECT_EQ(w->Edit_Days->text(), QStringLiteral("121"));
    w->SpinButton2DownClick();
    EXPECT_EQ(w->Edit_Days->text(), QStringLiteral("120"));
}

TEST_F(StatWindowTest, TheChecksInTheirOrderAndTheScopeControls)
{
    // The dates first, whatever else is wrong.
    w->CB_AllFirma->click();
    EXPECT_TRUE(w->Btn_Firma->isEnabled());
    EXPECT_TRUE(w->CB_AllOtdel->isEnabled());
    EXPECT_FALSE(w->Btn_Otdel->isEnabled());
    w->Date_End->setDate(w->Date_Start->date().addDays(-1));
    w->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Дата начала периода должна быть меньше или равна дате конца периода !"));
    w->Date_End->setDate(w->Date_Start->date());
    w->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие !"));
    w->Btn_OtdelClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбрано предприятие !"));

    w->Btn_FirmaClick();
    EXPECT_EQ(w->P_NameFirma->text(), QStringLiteral("Столовая №1"));
    w->CB_AllOtdel->click();
    EXPECT_TRUE(w->Btn_Otdel->isEnabled());
    w->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Не выбран отдел !"));
    w->Btn_OtdelClick();
    EXPECT_EQ(w->KodOtdel, 20);
    EXPECT_EQ(w->P_NameOtdel->text(), QStringLiteral("Кухня"));
    // Another enterprise clears the department.
    w->Btn_FirmaClick();
    EXPECT_EQ(w->KodOtdel, 0);
    EXPECT_TRUE(w->P_NameOtdel->text().isEmpty());
    w->Btn_OtdelClick();
    EXPECT_EQ(w->Options().otdel, 20);
    EXPECT_FALSE(w->Options().allOtdel);

    // Ticking every enterprise clears both and locks the department box.
    w->CB_AllFirma->click();
    EXPECT_EQ(w->KodFirma, 0);
    EXPECT_EQ(w->KodOtdel, 0);
    EXPECT_TRUE(w->CB_AllOtdel->isChecked());
    EXPECT_FALSE(w->CB_AllOtdel->isEnabled());
    EXPECT_FALSE(w->Btn_Otdel->isEnabled());
    EXPECT_FALSE(w->Btn_Firma->isEnabled());
    EXPECT_TRUE(w->P_NameFirma->text().isEmpty());
    EXPECT_TRUE(office->books.isEmpty());
}

TEST_F(StatWindowTest, OkBuildsAndClosesAndTheGaugeGoes)
{
    const int shown = static_cast<int>(env.messages.size());
    w->Btn_OkClick();
    EXPECT_EQ(env.messages.size(), shown);
    ASSERT_EQ(office->books.size(), 1);
    EXPECT_TRUE(office->last().visible);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(Form_Gauge->isVisible());

    office->reachable = false;
    w->Btn_OkClick();
    EXPECT_EQ(env.messages.last(), QStringLiteral("Проверте установлен ли у Вас OpenOffice верссии не ниже 3.2 !"));
    EXPECT_FALSE(Form_Gauge->isVisible());
    EXPECT_EQ(office->books.size(), 1);
}

} // namespace
