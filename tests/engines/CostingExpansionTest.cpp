// Card expansion on real databases with cards built here, through both ways
// of reading (a query per answer, and the catalogue read once).

#include "catalogue/CostingFixture.h"

#include "costing/AmountList.h"
#include "costing/CostingError.h"

#include "db/Query.h"

#include <algorithm>
#include <cmath>
#include <vector>

using costing::AmountList;
using costing::CardError;
using costing::RIng;

namespace {

const RIng* find(const AmountList& list, qint64 ing, int level)
{
    for (const RIng& n : list)
        if (n.KOD_ING == ing && n.MY_LEVEL == level)
            return &n;
    return nullptr;
}

int count(const AmountList& list, qint64 ing)
{
    int c = 0;
    for (const RIng& n : list)
        c += n.KOD_ING == ing ? 1 : 0;
    return c;
}

} // namespace

class Expansion : public ::testing::TestWithParam<SourceKind>, public CostingDb {};

INSTANTIATE_TEST_SUITE_P(Costing, Expansion, ::testing::Values(SourceKind::Sql, SourceKind::Snapshot), sourceName);

TEST_P(Expansion, OneLevelAmountsPricesAndOrder)
{
    const qint64 a = raw(QStringLiteral("Мука"), 100, 130, 3);
    const qint64 bb = raw(QStringLiteral("Сахар"), 50, 60);
    const qint64 off = raw(QStringLiteral("Соль"), 10, 12);
    costing_catalogue::Builder::Ing elsewhere;
    elsewhere.name = QStringLiteral("Перец");
    const qint64 noRow = b->ing(elsewhere);  // no row in the department
    const qint64 d = dish(QStringLiteral("Пирог"), 1, 2);
    card(d, a, 0.2, 80);
    card(d, off, 1, 100, 0);
    card(d, noRow, 1);
    card(d, bb, 0.5);

    costing::Expander& ex = engine(GetParam());
    AmountList list;
    ex.ExpandOneLevel(2, 3, d, otdel, 1.0, 0, list);
    ASSERT_EQ(list.size(), 2);  // the inactive row and the product without a department row are absent
    EXPECT_EQ(list[0].KOD_ING, bb);  // the later card row is nearer the head
    const RIng& n = list[1];
    EXPECT_EQ(n.KOD_ING, a);
    EXPECT_DOUBLE_EQ(n.NETTO, 0.1);
    EXPECT_DOUBLE_EQ(n.BRUTTO, 0.125);
    EXPECT_EQ(n.DEPTH, 4);
    EXPECT_EQ(n.MY_LEVEL, 0);
    EXPECT_EQ(n.EXPANDED, 0);
    EXPECT_EQ(n.KVO_PORC, 1);
    EXPECT_DOUBLE_EQ(n.PERCENT, 80);
    EXPECT_DOUBLE_EQ(n.PRICE, 100);
    EXPECT_DOUBLE_EQ(n.CENA, 100);
    EXPECT_DOUBLE_EQ(n.KALORIES, 3);
    EXPECT_EQ(n.KOD_OTDEL, otdel);
    EXPECT_EQ(n.NAME, QStringLiteral("Мука"));

    AmountList selling;
    ex.ExpandOneLevel(2, 0, d, otdel, 1.0, 1, selling);
    EXPECT_DOUBLE_EQ(selling[1].PRICE, 130);
    EXPECT_DOUBLE_EQ(selling[1].CENA, 100);
}

TEST_P(Expansion, ZeroPriceWatchListsRawProductsInsideComposites)
{
    const qint64 free = raw(QStringLiteral("Вода"), 0, 0);
    const qint64 d = dish(QStringLiteral("Компот"), 1);
    card(d, free, 0.3);
    costing::Expander& ex = engine(GetParam());

    // A raw product alone is its own node and is not watched.
    ex.ZeroPriceWatch = 0;
    AmountList alone = ex.ExpandToRaw(free, otdel, 1.5, 0, 0, false);
    ASSERT_EQ(alone.size(), 1);
    EXPECT_EQ(alone[0].MY_LEVEL, 0);
    EXPECT_DOUBLE_EQ(alone[0].BRUTTO, 1.5);
    EXPECT_DOUBLE_EQ(alone[0].NETTO, 1.5);
    EXPECT_EQ(ex.ZeroPriceWatch, 0);
    EXPECT_TRUE(ex.ZeroPriceLines.isEmpty());

    ex.ExpandToRaw(d, otdel, 1, 0, 0, false);
    EXPECT_EQ(ex.ZeroPriceWatch, 1);
    EXPECT_EQ(ex.ZeroPriceLines, QStringList{QStringLiteral("Нулевая цена у продукта << Вода >>")});

    ex.ZeroPriceLines.clear();
    ex.ExpandToRawNoIng(d, otdel, 1, 0, 0, false);
    EXPECT_EQ(ex.ZeroPriceLines, QStringList{QStringLiteral("Вода")});

    ex.ZeroPriceLines.clear();
    ex.ZeroPriceWatch = 50;
    ex.ExpandToRaw(d, otdel, 1, 0, 0, false);
    EXPECT_TRUE(ex.ZeroPriceLines.isEmpty());
}

TEST_P(Expansion, NestedCardsMergeEqualNodes)
{
    const qint64 a = raw(QStringLiteral("Картофель"), 20, 0, 80);
    const qint64 semi = dish(QStringLiteral("Пюре"), 1);
    card(semi, a, 0.5, 50);
    const qint64 d = dish(QStringLiteral("Котлета с пюре"), 2);
    card(d, semi, 0.2);
    card(d, a, 0.1);
    card(d, semi, 0.3);

    AmountList list = engine(GetParam()).ExpandToRaw(d, otdel, 1, 0, 0, false);
    ASSERT_EQ(list.size(), 3);  // the dish, the semi-finished product once, the potatoes once
    const RIng* s = find(list, semi, 1);
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->BRUTTO, 0.5);
    EXPECT_EQ(s->EXPANDED, 1);
    const RIng* p = find(list, a, 0);
    ASSERT_TRUE(p);
    // 0.2 and 0.3 of the purée each need KOLVO 0.5 at yield 50 %: 0.2 + 0.3 gross, and 0.1 directly.
    EXPECT_DOUBLE_EQ(p->BRUTTO, 0.2 + 0.1 + 0.3);
    EXPECT_DOUBLE_EQ(p->NETTO, 0.1 + 0.1 + 0.15);
    EXPECT_EQ(p->DEPTH, 2);  // the deeper of the merged nodes
    const costing::RawSums sums = costing::SumRawNodes(list);
    EXPECT_NEAR(sums.cost, 12, 1e-12);
    EXPECT_NEAR(sums.kalories, 48, 1e-12);
    EXPECT_EQ(list[list.size() - 1].KOD_ING, d);  // the start node is the oldest, at the tail
    EXPECT_EQ(list[0].KOD_ING, a);                 // the last pass's node is the head
}

TEST_P(Expansion, StockIsTakenBeforeProducing)
{
    const qint64 a = raw(QStringLiteral("Мясо"), 300);
    const qint64 semi = dish(QStringLiteral("Фарш"), 1);
    card(semi, a, 1);
    const qint64 d = dish(QStringLiteral("Котлеты"), 2);
    card(d, semi, 0.5);
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0.3 WHERE KOD_ING = ") + QString::number(semi));
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 5 WHERE KOD_ING = ") + QString::number(d));

    // Mode 1 with the production flag: the dish itself is produced, the semi-finished
    // product split into 0.3 from stock and 0.2 made from meat.
    costing::Expander& ex = engine(GetParam());
    AmountList list = ex.ExpandToRaw(d, otdel, 1, 0, 1, true);
    const RIng* fromStock = find(list, semi, 0);
    const RIng* made = find(list, semi, 1);
    ASSERT_TRUE(fromStock && made);
    EXPECT_DOUBLE_EQ(fromStock->BRUTTO, 0.3);
    EXPECT_DOUBLE_EQ(made->BRUTTO, 0.2);
    EXPECT_EQ(made->EXPANDED, 1);
    ASSERT_TRUE(find(list, a, 0));
    EXPECT_DOUBLE_EQ(find(list, a, 0)->BRUTTO, 0.2);
    EXPECT_DOUBLE_EQ(ex.GetStockCached(semi, otdel), 0);

    // Without the flag the dish comes from its own stock whole.
    costing::Expander& ex2 = engine(GetParam());
    AmountList whole = ex2.ExpandToRaw(d, otdel, 1, 0, 1, false);
    ASSERT_EQ(whole.size(), 1);
    EXPECT_EQ(whole[0].MY_LEVEL, 0);
    EXPECT_DOUBLE_EQ(ex2.GetStockCached(d, otdel), 4);

    // Mode 3: the composite ingredients are written off as themselves.
    costing::Expander& ex3 = engine(GetParam());
    AmountList asThemselves = ex3.ExpandToRaw(d, otdel, 1, 0, 3, true);
    ASSERT_TRUE(find(asThemselves, semi, 0));
    EXPECT_DOUBLE_EQ(find(asThemselves, semi, 0)->BRUTTO, 0.5);
    EXPECT_FALSE(find(asThemselves, a, 0));
}

TEST_P(Expansion, StockCacheArithmetic)
{
    const qint64 a = raw(QStringLiteral("Масло"), 90);
    const qint64 neg = raw(QStringLiteral("Сыр"), 400);
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 0.50000000001 WHERE KOD_ING = ") + QString::number(a));
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = -2 WHERE KOD_ING = ") + QString::number(neg));
    costing::Expander& ex = engine(GetParam());
    EXPECT_FALSE(ex.TakeFromStockCache(a, otdel, 0.1));  // never looked up
    EXPECT_DOUBLE_EQ(ex.GetStockCached(a, otdel), 0.50000000001);
    EXPECT_TRUE(ex.TakeFromStockCache(a, otdel, 0.5));
    EXPECT_EQ(ex.GetStockCached(a, otdel), 0.0);
    EXPECT_EQ(ex.GetStockCached(neg, otdel), 0.0);
    EXPECT_EQ(ex.GetStockCached(a, otdel + 1), 0.0);  // no row in that department
}

TEST_P(Expansion, NoIngProductsCountAsRaw)
{
    const qint64 a = raw(QStringLiteral("Тесто"), 40);
    const qint64 semi = dish(QStringLiteral("Основа"), 1);
    card(semi, a, 1);
    const qint64 d = dish(QStringLiteral("Пицца"), 2);
    card(d, semi, 0.4);
    exec(QStringLiteral("UPDATE ING_SKLAD SET NO_ING = 1, CENA = 70 WHERE KOD_ING = ") + QString::number(semi));
    costing::Expander& ex = engine(GetParam());

    AmountList plain = ex.ExpandToRaw(d, otdel, 1, 0, 0, false);
    EXPECT_TRUE(find(plain, a, 0));
    AmountList noIng = ex.ExpandToRawNoIng(d, otdel, 1, 0, 0, false);
    EXPECT_FALSE(find(noIng, a, 0));
    ASSERT_TRUE(find(noIng, semi, 0));
    EXPECT_DOUBLE_EQ(costing::SumRawNodes(noIng).cost, 28);

    AmountList start = ex.ExpandToRawNoIng(semi, otdel, 2, 0, 0, false);
    ASSERT_EQ(start.size(), 1);
    EXPECT_EQ(start[0].MY_LEVEL, 0);
}

TEST_P(Expansion, DocumentRowsShareTheStockAndMerge)
{
    const qint64 a = raw(QStringLiteral("Рис"), 60);
    const qint64 semi = dish(QStringLiteral("Отварной рис"), 1);
    card(semi, a, 0.5);
    exec(QStringLiteral("UPDATE ING_SKLAD SET KOLVO = 1 WHERE KOD_ING = ") + QString::number(semi));
    costing::Expander& ex = engine(GetParam());

    db::Query rows(&t.db(), &t.read());
    const QString line = QStringLiteral("SELECT CAST(%1 AS BIGINT) AS KOD_ING, CAST(%2 AS BIGINT) AS KOD_OTDEL, "
                                        "CAST(%3 AS DOUBLE PRECISION) AS KOLVO, 0 AS CENA_COMPUTE, 1 AS KVO_PORC FROM RDB$DATABASE");
    rows.setSql(line.arg(semi).arg(otdel).arg(0.6) + QStringLiteral(" UNION ALL ") + line.arg(semi).arg(otdel).arg(0.6));
    rows.open();
    // The first line takes 0.6 from stock, the second the remaining 0.4 and makes 0.2.
    AmountList list = ex.ExpandDocumentRows(1, false, rows);
    ASSERT_TRUE(find(list, semi, 0));
    EXPECT_DOUBLE_EQ(find(list, semi, 0)->BRUTTO, 1.0);
    ASSERT_TRUE(find(list, a, 0));
    EXPECT_NEAR(find(list, a, 0)->BRUTTO, 0.1, 1e-15);
    EXPECT_EQ(count(list, a), 1);
}

TEST_P(Expansion, LevelsAndComposition)
{
    const qint64 a = raw(QStringLiteral("Яйцо"), 8);
    const qint64 bb = raw(QStringLiteral("Молоко"), 70);
    const qint64 other = raw(QStringLiteral("Кофе"), 900);
    const qint64 d1 = dish(QStringLiteral("Омлет"), 1);
    card(d1, a, 2);
    card(d1, bb, 0.1);
    const qint64 d2 = dish(QStringLiteral("Омлет с гарниром"), 2);
    card(d2, d1, 1);
    const qint64 d3 = dish(QStringLiteral("Завтрак"), 3);
    card(d3, d2, 1);
    card(d3, bb, 0.2);
    const qint64 empty = dish(QStringLiteral("Пустая карта"), 2);

    costing::Expander& ex = engine(GetParam());
    EXPECT_EQ(ex.ComputeLevel(a), 0);  // its first card row is itself
    EXPECT_EQ(ex.ComputeLevel(d1), 1);
    EXPECT_EQ(ex.ComputeLevel(d2), 2);
    EXPECT_EQ(ex.ComputeLevel(d3), 3);
    EXPECT_EQ(ex.ComputeLevel(empty), 0);
    EXPECT_FALSE(ex.IsNotInComposition(d3, a));  // three levels down
    EXPECT_TRUE(ex.IsNotInComposition(d3, other));
    EXPECT_TRUE(ex.IsNotInComposition(empty, a));
    EXPECT_FALSE(ex.IsNotInComposition(d1, a));
}

TEST_P(Expansion, CyclicCardsAreRefusedNamingTheProducts)
{
    const qint64 a = raw(QStringLiteral("Бульон"), 10);
    const qint64 p = dish(QStringLiteral("Суп"), 1);
    const qint64 q = dish(QStringLiteral("Заправка"), 1);
    card(p, a, 1);
    card(p, q, 0.2);
    card(q, p, 0.1);  // stale levels let Суп hold Заправка that holds Суп
    const qint64 self = dish(QStringLiteral("Соус"), 1);
    card(self, self, 1);  // a self row left active on a composite

    costing::Expander& ex = engine(GetParam());
    const QString cycle = QStringLiteral("Циклическая ссылка в калькуляционных картах: << Суп >> -> << Заправка >> -> << Суп >>");
    for (int mode : {0, 1}) {
        try {
            ex.ExpandToRaw(p, otdel, 1, 0, mode, false);
            ADD_FAILURE() << "no error in mode " << mode;
        } catch (const CardError& e) {
            EXPECT_TRUE(e.text().startsWith(cycle)) << e.text().toStdString();
        }
    }
    try {
        ex.ComputeLevel(p);
        ADD_FAILURE() << "no error";
    } catch (const CardError& e) {
        EXPECT_TRUE(e.text().startsWith(cycle)) << e.text().toStdString();
    }
    EXPECT_FALSE(ex.IsNotInComposition(q, a));  // found before the walk comes round again
    // The composition check looks at each product once: a circle elsewhere in the data ends its walk.
    EXPECT_TRUE(ex.IsNotInComposition(q, self));
    EXPECT_THROW(ex.ExpandToRaw(self, otdel, 1, 0, 0, false), CardError);
    EXPECT_EQ(ex.ComputeLevel(self), 0);  // the self row first makes it raw
}

TEST_P(Expansion, RowsWithoutYieldOrPortionsAreCardErrors)
{
    const qint64 a = raw(QStringLiteral("Лук"), 30);
    const qint64 noYield = dish(QStringLiteral("Зажарка"), 1);
    card(noYield, a, 0.1, 0);
    const qint64 noPortions = dish(QStringLiteral("Салат"), 1, 0);
    card(noPortions, a, 0.1);
    const qint64 nullYield = dish(QStringLiteral("Соте"), 1);
    card(nullYield, a, 0.1);
    exec(QStringLiteral("UPDATE KARTA SET PERCENT = NULL WHERE KOD_ING_MASTER = ") + QString::number(nullYield));

    costing::Expander& ex = engine(GetParam());
    auto message = [&](qint64 ing) {
        try {
            ex.ExpandToRaw(ing, otdel, 1, 0, 0, false);
        } catch (const CardError& e) {
            return e.text();
        }
        return QString();
    };
    EXPECT_EQ(message(noYield),
              QStringLiteral("В калькуляционной карте продукта << Зажарка >> у продукта << Лук >> не указан процент выхода !"));
    EXPECT_EQ(message(nullYield),
              QStringLiteral("В калькуляционной карте продукта << Соте >> у продукта << Лук >> не указан процент выхода !"));
    EXPECT_EQ(message(noPortions), QStringLiteral("В калькуляционной карте продукта << Салат >> не указано количество порций !"));
}

TEST(CostingAmountList, CopyReversesAndDatasetRowsBecomeRawNodes)
{
    TestDb t;
    db::Query rows(&t.db(), &t.read());
    rows.setSql(QStringLiteral("SELECT CAST(7 AS BIGINT) AS KOD_ING, 2.5 AS KOLVO, 4.0 AS CENA, CAST(3 AS BIGINT) AS KOD_OTDEL "
                               "FROM RDB$DATABASE UNION ALL "
                               "SELECT CAST(8 AS BIGINT), 1.0, 4.0, CAST(3 AS BIGINT) FROM RDB$DATABASE UNION ALL "
                               "SELECT CAST(7 AS BIGINT), 0.5, 4.0, CAST(3 AS BIGINT) FROM RDB$DATABASE"));
    rows.open();
    AmountList list = costing::AmountListFromDataset(rows);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].KOD_ING, 7);  // the last row is the head
    EXPECT_DOUBLE_EQ(list[0].BRUTTO, 0.5);
    EXPECT_EQ(list[0].NAME, QStringLiteral("None"));
    EXPECT_DOUBLE_EQ(list[0].CENA, 4.0);
    EXPECT_DOUBLE_EQ(list[0].PRICE, 4.0);

    costing::MergeAmountList(list);
    ASSERT_EQ(list.size(), 2);
    EXPECT_DOUBLE_EQ(list[0].BRUTTO, 3.0);  // folded into the head

    AmountList reversed = costing::CopyAmountList(std::move(list));
    EXPECT_TRUE(list.empty());
    ASSERT_EQ(reversed.size(), 2);
    EXPECT_EQ(reversed[0].KOD_ING, 8);
    EXPECT_EQ(reversed[1].KOD_ING, 7);
}

// Merging against the pairwise fold it stands for: from the head, each node
// goes into the first earlier node of its kind (product, department, level,
// price; 0 and -0 are one price, a price that is not a number no kind), on
// lists long and short, with many kinds and few.
TEST(CostingAmountList, MergeFoldsEachNodeIntoTheFirstOfItsKind)
{
    auto fold = [](std::vector<RIng> fromHead) {
        std::vector<RIng> out;
        for (const RIng& b : fromHead) {
            auto same = [&b](const RIng& a) {
                return !std::isnan(b.PRICE) && a.KOD_ING == b.KOD_ING && a.KOD_OTDEL == b.KOD_OTDEL &&
                       a.MY_LEVEL == b.MY_LEVEL && a.PRICE == b.PRICE;
            };
            auto it = std::find_if(out.begin(), out.end(), same);
            if (it == out.end()) {
                out.push_back(b);
                continue;
            }
            it->BRUTTO = it->BRUTTO + b.BRUTTO;
            it->NETTO = it->NETTO + b.NETTO;
            it->DEPTH = std::max(it->DEPTH, b.DEPTH);
        }
        return out;
    };
    const double prices[] = {0.0, -0.0, 1.5, 1.5000000000000002, std::nan(""), 20.25};
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (const auto& [length, kinds] : std::vector<std::pair<int, unsigned>>{{2, 1}, {9, 3}, {40, 5}, {300, 40}, {2000, 900}}) {
        std::vector<RIng> fromHead;
        for (int i = 0; i < length; ++i) {
            RIng n;
            n.KOD_ING = 100 + next(kinds);
            n.KOD_OTDEL = 1 + next(2);
            n.MY_LEVEL = static_cast<int>(next(2));
            n.PRICE = prices[next(std::size(prices))];
            n.BRUTTO = 0.1 * (i + 1);
            n.NETTO = 0.01 * (i + 3);
            n.DEPTH = static_cast<int>(next(4));
            n.KVO_PORC = i;  // which node it was
            fromHead.push_back(n);
        }
        AmountList list;
        for (auto it = fromHead.rbegin(); it != fromHead.rend(); ++it)
            list.pushHead(RIng(*it));
        costing::MergeAmountList(list);
        const std::vector<RIng> want = fold(fromHead);
        ASSERT_EQ(list.size(), static_cast<int>(want.size())) << length;
        for (int i = 0; i < list.size(); ++i) {
            SCOPED_TRACE(testing::Message() << length << " nodes, node " << i);
            EXPECT_EQ(list[i].KVO_PORC, want[static_cast<size_t>(i)].KVO_PORC);
            EXPECT_EQ(list[i].BRUTTO, want[static_cast<size_t>(i)].BRUTTO);
            EXPECT_EQ(list[i].NETTO, want[static_cast<size_t>(i)].NETTO);
            EXPECT_EQ(list[i].DEPTH, want[static_cast<size_t>(i)].DEPTH);
        }
    }
}
