// The exchange engine on a database: the menu as the tab lists it, the
// dishes without till codes, and the totals matched and written.

#include "documents/ExchangeCatalogue.h"

#include "exchange/MenuExport.h"
#include "exchange/ShiftTotals.h"

#include "engine/Clock.h"

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

class ExchangeDb : public ::testing::Test {
protected:
    ExchangeDb() { makeCatalogue(t); }
    exchange::Context ctx() { return {&t.db(), &t.read(), &t.write()}; }
    int count(const QString& sql) { return t.scalar(sql).toInt(); }

    TestDb t;
};

} // namespace

TEST_F(ExchangeDb, MenuIsReadAsTheTabListsIt)
{
    const auto menu = exchange::LoadMenu(ctx(), kMenu);
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->name, QStringLiteral("Обед"));
    EXPECT_EQ(menu->date, QDate(2026, 12, 7));
    ASSERT_EQ(menu->sections.size(), 2);
    EXPECT_EQ(menu->sections[0].name, QStringLiteral("Супы"));  // by MY_SORT
    EXPECT_EQ(menu->sections[0].nameO, QStringLiteral("Кухня"));
    ASSERT_EQ(menu->sections[0].dishes.size(), 2);
    const exchange::MenuDish& borsch = menu->sections[0].dishes[0];  // by name
    EXPECT_EQ(borsch.name, QStringLiteral("Борщ"));
    EXPECT_EQ(borsch.kodIngSklad, kBorschRow);
    EXPECT_EQ(borsch.dopInfo, QStringLiteral("со сметаной"));
    EXPECT_EQ(borsch.myTime, 15);
    EXPECT_FALSE(borsch.myAlarm.has_value());
    EXPECT_EQ(borsch.kodKassa, 17);
    EXPECT_EQ(menu->sections[0].dishes[1].name, QStringLiteral("Салат"));
    EXPECT_EQ(menu->sections[1].dishes[0].myActive, 0);
    // Menu prices as the tab shows them: 10 % on the selling price, not rounded (mode 2).
    EXPECT_DOUBLE_EQ(*borsch.cenaMenu, 55);
    EXPECT_DOUBLE_EQ(*menu->sections[1].dishes[0].cenaMenu, 13.75);
    t.exec("UPDATE MENU_STR SET NO_ROUND = 3 WHERE KOD = 900050");
    EXPECT_FALSE(exchange::LoadMenu(ctx(), kMenu)->sections[0].dishes[0].cenaMenu.has_value());

    EXPECT_FALSE(exchange::LoadMenu(ctx(), 1).has_value());
}

TEST_F(ExchangeDb, DishesWithoutTillCodesAreListedByDepartment)
{
    t.exec("UPDATE ING_SKLAD SET KOD_KASSA = 0 WHERE KOD = 900022");
    const auto gaps = exchange::DishesWithoutTillCode(ctx(), kMenu);
    // The inactive compote counts too.
    EXPECT_EQ(exchange::TillCodeWarningLines(gaps),
              (QStringList{QStringLiteral("Нижеследующие блюда из передаваемого меню не имеют кодов для кассы:"),
                           QStringLiteral(" "), QStringLiteral("                   Подразделение < Кухня >"),
                           QStringLiteral("Салат"), QStringLiteral("                   Подразделение < Бар >"),
                           QStringLiteral("Компот"), QStringLiteral(" "), QStringLiteral("Меню не передано !!!")}));
}

TEST_F(ExchangeDb, CompanionTotalsMakeOneLinePerKnownItem)
{
    exchange::ShiftTotals totals;
    totals.status = exchange::TotalsStatus::Ok;
    totals.date = QDate(2026, 12, 7);
    totals.name = QStringLiteral("Смена 'вечер'");
    auto item = [](const QString& text, std::optional<qint64> code, double price, double qty) {
        return exchange::TotalsItem{text, code, price, qty};
    };
    totals.items = {item("900022", kSaladRow, 44, 2), item("999", 999, 10, 1), item("1 OR 1=1", std::nullopt, 1, 1),
                    item("900020", kBorschRow, 55, 1), item("900022", kSaladRow, 44, 3)};
    const exchange::TotalsPlan plan = exchange::PlanShiftTotals(ctx(), totals);
    EXPECT_TRUE(plan.anyKnown);
    EXPECT_EQ(plan.unknownCodes, (QStringList{"999", "1 OR 1=1"}));
    EXPECT_EQ(plan.document.firma, kFirma);
    ASSERT_EQ(plan.document.lines.size(), 3);

    t.write().start();
    const qint64 doc = exchange::WriteSalesDocument(ctx(), plan.document);
    ASSERT_TRUE(t.write().active());  // the caller commits
    t.write().commit();
    auto d = t.select("SELECT * FROM DOCS WHERE KOD = " + QString::number(doc));
    ASSERT_FALSE(d->isEmpty());
    EXPECT_EQ(d->field("NAME").asString(), QStringLiteral("Смена 'вечер'"));
    EXPECT_EQ(d->field("DATE_DOC").asDate(), QDate(2026, 12, 7));
    EXPECT_EQ(d->field("TIME_DOC").asTime(), QTime(0, 0));
    EXPECT_EQ(d->field("DOC_TYPE").asInt(), 3);
    EXPECT_EQ(d->field("KOD_PARTNER_EXPORT").asInt64(), kFirma);
    EXPECT_EQ(d->field("KOD_PARTNER_IMPORT").asInt64(), kFirma);
    EXPECT_EQ(d->field("P").asInt(), 0);  // posting writes off ingredients

    auto l = t.select("SELECT KOD_ING, KOD_OTDEL, CENA, KOLVO, CENA_SKLAD FROM REAL_BLUDO WHERE KOD_DOC = " +
                      QString::number(doc) + " ORDER BY KOD");
    ASSERT_EQ(l->recordCount(), 3);  // file order, the repeated salad twice
    const qint64 ings[] = {kSalad, kBorsch, kSalad};
    const double qty[] = {2, 1, 3};
    const double stock[] = {20, 30, 20};
    int i = 0;
    for (l->first(); !l->eof(); l->next(), ++i) {
        EXPECT_EQ(l->field("KOD_ING").asInt64(), ings[i]);
        EXPECT_EQ(l->field("KOD_OTDEL").asInt64(), kKitchen);
        EXPECT_EQ(l->field("KOLVO").asDouble(), qty[i]);
        EXPECT_EQ(l->field("CENA_SKLAD").asDouble(), stock[i]);
    }
}

TEST_F(ExchangeDb, TillTotalsMergeEqualDishAndPrice)
{
    const QByteArray table = tillTable({
        {code13(kBorschRow), 1, 55},
        {code13(kBorschRow), 2, 55},
        {code13(kBorschRow), 1, 50},
        {QStringLiteral("00017"), 4, 10},       // five characters: not a dish
        {code13(999999), 0, 10},                // no quantity: not read at all
        {code13(kKompotRow), 3, 13.75},
        {QString(), 5, 1},
    });
    const exchange::TorgPlan plan = exchange::PlanTorgServiceTotals(ctx(), table, exchange::CodeKind::Unique);
    ASSERT_EQ(plan.status, exchange::TorgStatus::Ok);
    EXPECT_EQ(plan.document.name, QStringLiteral("1 2 Петрова"));
    EXPECT_EQ(plan.document.date, QDate(2026, 12, 6));
    EXPECT_EQ(plan.document.firma, kFirma);
    const auto& lines = plan.document.lines;
    ASSERT_EQ(lines.size(), 3);  // later records first
    EXPECT_EQ(lines[0].kodIng, kKompot);
    EXPECT_EQ(lines[0].kolvo, 3);
    EXPECT_EQ(lines[0].cenaSklad, 5);
    EXPECT_EQ(lines[1].kodIng, kBorsch);
    EXPECT_EQ(lines[1].cena, 50);
    EXPECT_EQ(lines[1].kolvo, 1);
    EXPECT_EQ(lines[2].cena, 55);
    EXPECT_EQ(lines[2].kolvo, 3);
    EXPECT_EQ(lines[2].cenaSklad, 30);
}

TEST_F(ExchangeDb, TillTotalsByTillCode)
{
    const QByteArray table = tillTable({{code13(17), 2, 55}, {code13(1234567), 1, 44}});
    const exchange::TorgPlan plan = exchange::PlanTorgServiceTotals(ctx(), table, exchange::CodeKind::Till);
    ASSERT_EQ(plan.status, exchange::TorgStatus::Ok);
    ASSERT_EQ(plan.document.lines.size(), 2);
    EXPECT_EQ(plan.document.lines[0].kodIng, kSalad);
    EXPECT_EQ(plan.document.lines[1].kodIng, kBorsch);
    // By the department rows' keys the same codes are unknown.
    EXPECT_EQ(exchange::PlanTorgServiceTotals(ctx(), table, exchange::CodeKind::Unique).status,
              exchange::TorgStatus::UnknownCode);
}

TEST_F(ExchangeDb, TillTotalsRefuseWhatTheyCannotMatch)
{
    using exchange::TorgStatus;
    auto status = [this](const QVector<TillRecord>& r, exchange::CodeKind k = exchange::CodeKind::Unique) {
        return exchange::PlanTorgServiceTotals(ctx(), tillTable(r), k).status;
    };
    EXPECT_EQ(status({{code13(kBorschRow), 1, 55}, {code13(999999), 1, 10}}), TorgStatus::UnknownCode);
    EXPECT_EQ(status({{code13(999999), 1, 10}, {code13(kBorschRow), 1, 55}}), TorgStatus::UnknownCode) << "the first";
    EXPECT_EQ(status({{code13(kBorschRow), 1, 55}, {QStringLiteral("0009002 OR 1"), 1, 10}}), TorgStatus::UnknownCode);
    EXPECT_EQ(status({{QStringLiteral("0000000000000"), 1, 10}}), TorgStatus::UnknownCode) << "zeros only";
    // A till code of zero marks a row without one; it names no dish.
    EXPECT_EQ(status({{QStringLiteral("0000000000000"), 1, 10}}, exchange::CodeKind::Till), TorgStatus::UnknownCode);
    EXPECT_EQ(status({{code13(99999999999LL), 1, 10}}, exchange::CodeKind::Till), TorgStatus::UnknownCode);
    EXPECT_EQ(status({{QString(), 1, 10}, {code13(kBorschRow), 0, 55}}), TorgStatus::NoCodes);
}

// A record the till flagged deleted is no sale. A quantity or price beyond a
// kitchen's bounds refuses the table, naming the record by its number in the
// file (deleted records counted); a value on the bound is taken.
TEST_F(ExchangeDb, TillTotalsSkipDeletedRecordsAndRefuseValuesBeyondBounds)
{
    auto deleted = [](QByteArray table, int record) {
        const int headerLength = static_cast<quint8>(table[8]) | (static_cast<quint8>(table[9]) << 8);
        const int recordLength = static_cast<quint8>(table[10]) | (static_cast<quint8>(table[11]) << 8);
        table[headerLength + record * recordLength] = '*';
        return table;
    };
    const QByteArray sold = deleted(
        tillTable({{code13(kBorschRow), 1, 55}, {code13(kBorschRow), 2, 55}, {code13(kKompotRow), 1e6, 1e7}}), 1);
    const exchange::TorgPlan plan = exchange::PlanTorgServiceTotals(ctx(), sold, exchange::CodeKind::Unique);
    ASSERT_EQ(plan.status, exchange::TorgStatus::Ok);
    ASSERT_EQ(plan.document.lines.size(), 2);
    EXPECT_EQ(plan.document.lines[0].kolvo, 1e6);
    EXPECT_EQ(plan.document.lines[1].kodIng, kBorsch);
    EXPECT_EQ(plan.document.lines[1].kolvo, 1);

    const struct {
        TillRecord second;
        QString refusal;
    } cases[] = {
        {{code13(kKompotRow), 1000000.0001, 10}, QStringLiteral("Запись 3: количество KOL")},
        {{code13(kKompotRow), -1000001, 10}, QStringLiteral("Запись 3: количество KOL")},
        {{code13(kKompotRow), 1, -10000000.5}, QStringLiteral("Запись 3: цена PRICE")},
    };
    for (const auto& c : cases) {
        const QByteArray table = deleted(tillTable({{code13(kBorschRow), 1, 55}, {code13(kBorschRow), 1, 55}, c.second}), 1);
        const exchange::TorgPlan p = exchange::PlanTorgServiceTotals(ctx(), table, exchange::CodeKind::Unique);
        EXPECT_EQ(p.status, exchange::TorgStatus::OutOfRange);
        EXPECT_TRUE(p.refusal.startsWith(c.refusal)) << p.refusal.toStdString();
        EXPECT_TRUE(p.document.lines.isEmpty());
    }
}

// Records of one dish, department and price add up to one line, which keeps
// to the bound of a record too and is refused naming the dish; the shift's
// date lies between 2000 and the end of next year, refused naming its record.
TEST_F(ExchangeDb, TillTotalsRefuseASummedLineBeyondTheBoundAndADateOutsideTheWindow)
{
    Clock::setSource([] { return QDateTime(QDate(2026, 12, 7), QTime(10, 0)); });
    auto plan = [this](const QVector<TillRecord>& r) {
        return exchange::PlanTorgServiceTotals(ctx(), tillTable(r), exchange::CodeKind::Unique);
    };
    EXPECT_EQ(plan({{code13(kBorschRow), 500000, 55}, {code13(kBorschRow), 500000, 55}}).status, exchange::TorgStatus::Ok);
    EXPECT_EQ(plan({{code13(kBorschRow), 999999, 55}, {code13(kBorschRow), 999999, 50}}).status, exchange::TorgStatus::Ok)
        << "two prices, two lines";
    const struct {
        QVector<TillRecord> records;
        QString refusal;
    } cases[] = {
        {{{code13(kKompotRow), 1, 10}, {code13(kBorschRow), 999999, 55}, {code13(kBorschRow), 999999, 55}},
         QStringLiteral("Блюдо \"Борщ\" по цене 55: общее количество KOL 1999998 вне допустимых пределов (по модулю не "
                        "больше 1000000).")},
        {{{code13(kBorschRow), -600000, 12.5}, {code13(kBorschRow), -600000, 12.5}},
         QStringLiteral("Блюдо \"Борщ\" по цене 12,5: общее количество KOL -1200000 вне допустимых пределов (по модулю не "
                        "больше 1000000).")},
        {{{QString(), 1, 1}, {code13(kBorschRow), 1, 55, QStringLiteral("19991231")}},
         QStringLiteral("Запись 2: дата DATEO 31.12.1999 вне допустимых пределов (с 01.01.2000 по 31.12.2027).")},
        {{{code13(kBorschRow), 1, 55, QStringLiteral("20280101")}},
         QStringLiteral("Запись 1: дата DATEO 01.01.2028 вне допустимых пределов (с 01.01.2000 по 31.12.2027).")},
    };
    for (const auto& c : cases) {
        const exchange::TorgPlan p = plan(c.records);
        EXPECT_EQ(p.status, exchange::TorgStatus::OutOfRange);
        EXPECT_EQ(p.refusal.toStdString(), c.refusal.toStdString());
        EXPECT_TRUE(p.document.lines.isEmpty());
    }
    EXPECT_EQ(plan({{code13(kBorschRow), 1, 55, QStringLiteral("20000101")}}).status, exchange::TorgStatus::Ok);
    EXPECT_EQ(plan({{code13(kBorschRow), 1, 55, QStringLiteral("20271231")}}).status, exchange::TorgStatus::Ok);
    Clock::setSource({});
}
