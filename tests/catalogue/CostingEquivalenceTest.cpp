// The in-memory road against the road that asks the database at every node,
// on generated catalogues: the same lists, levels and prices to the last bit.

#include "CostingFixture.h"

#include "costing/CostingError.h"
#include "costing/LiteralRoad.h"
#include "costing/Recompute.h"

#include "db/Query.h"
#include "util/Settings.h"

#include <random>

using costing::AmountList;
using costing::RIng;

namespace {

costing_catalogue::Options options(unsigned seed)
{
    costing_catalogue::Options o;
    o.products = 120;
    o.composites = 45;
    o.levels = 4;
    o.firms = 2;
    o.departments = 3;
    o.seed = seed;
    o.inactiveShare = 0.05;
    o.missingRowShare = 0.05;
    o.stockShare = 0.25;
    o.hiddenShare = 0.1;
    o.noIngShare = 0.08;
    o.staleLevelShare = 0.2;
    o.manualShare = 0.1;
    o.sellingFlagShare = 0.3;
    return o;
}

struct Generated {
    TestDb t;
    costing_catalogue::Catalogue c;
    explicit Generated(const costing_catalogue::Options& o)
    {
        t.write().start();
        costing_catalogue::Builder b(&t.db(), &t.write());
        c = costing_catalogue::generate(b, o);
        t.write().commit();
    }
};

::testing::AssertionResult sameList(const AmountList& a, const AmountList& b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size();
    for (int i = 0; i < a.size(); ++i) {
        const RIng& x = a[i];
        const RIng& y = b[i];
        if (x.KOD_ING != y.KOD_ING || x.KOD_OTDEL != y.KOD_OTDEL || x.MY_LEVEL != y.MY_LEVEL || x.DEPTH != y.DEPTH ||
            x.EXPANDED != y.EXPANDED || x.KVO_PORC != y.KVO_PORC || x.PERCENT != y.PERCENT || x.BRUTTO != y.BRUTTO ||
            x.NETTO != y.NETTO || x.PRICE != y.PRICE || x.CENA != y.CENA || x.KALORIES != y.KALORIES ||
            x.NAME != y.NAME)
            return ::testing::AssertionFailure() << "node " << i << " differs: product " << x.KOD_ING << "/" << y.KOD_ING
                                                 << " gross " << x.BRUTTO << "/" << y.BRUTTO;
    }
    return ::testing::AssertionSuccess();
}

// Every ING and ING_SKLAD value the recomputation may write, as text that keeps every bit.
QStringList tables(TestDb& t)
{
    QStringList out;
    auto q = t.select(QStringLiteral("SELECT KOD, MY_LEVEL, KALORIES FROM ING ORDER BY KOD"));
    for (q->first(); !q->eof(); q->next())
        out << QStringLiteral("ING %1 %2 %3")
                   .arg(q->field(0).asInt64())
                   .arg(q->field(1).asInt())
                   .arg(q->field(2).asDouble(), 0, 'g', 17);
    q = t.select(QStringLiteral("SELECT KOD, CENA, MY_CENA FROM ING_SKLAD ORDER BY KOD"));
    for (q->first(); !q->eof(); q->next())
        out << QStringLiteral("ING_SKLAD %1 %2 %3")
                   .arg(q->field(0).asInt64())
                   .arg(q->field(1).asDouble(), 0, 'g', 17)
                   .arg(q->field(2).asDouble(), 0, 'g', 17);
    return out;
}

} // namespace

class CostingEquivalence : public ::testing::TestWithParam<unsigned> {};

INSTANTIATE_TEST_SUITE_P(Seeds, CostingEquivalence, ::testing::Values(1u, 2u, 3u));

TEST_P(CostingEquivalence, ListsAndLevels)
{
    Generated g(options(GetParam()));
    TestDb& t = g.t;
    costing::LiteralRoad literal(&t.db(), &t.read());
    costing::CatalogueSnapshot snapshot(&t.db(), &t.read());
    costing::Expander memory(snapshot);
    costing::SqlCardSource sql(&t.db(), &t.read());
    costing::Expander perQuery(sql);

    for (qint64 p : g.c.all()) {
        const int level = literal.ComputeLevel(p);
        EXPECT_EQ(memory.ComputeLevel(p), level) << p;
        EXPECT_EQ(perQuery.ComputeLevel(p), level) << p;
    }
    std::mt19937 rng(GetParam());
    const std::vector<qint64> all = g.c.all();
    for (int i = 0; i < 150; ++i) {
        const qint64 host = all[rng() % all.size()];
        const qint64 candidate = all[rng() % all.size()];
        EXPECT_EQ(memory.IsNotInComposition(host, candidate), literal.IsNotInComposition(host, candidate));
    }

    // Each department as one operation: the stock cache carries from one expansion to the next.
    int n = 0;
    for (const auto& [firma, otdel] : g.c.departments) {
        for (int mode = 0; mode <= 3; ++mode) {
            literal.ClearStockCache();
            memory.ClearStockCache();
            perQuery.ClearStockCache();
            for (qint64 p : all) {
                const int flag = (n & 1);
                const bool production = (n & 2) != 0;
                const bool noIng = (n & 4) != 0;
                const double quantity = 0.5 + (n % 5);
                ++n;
                literal.ZeroPriceWatch = memory.ZeroPriceWatch = perQuery.ZeroPriceWatch = 0;
                literal.ZeroPriceLines.clear();
                memory.ZeroPriceLines.clear();
                perQuery.ZeroPriceLines.clear();
                const AmountList a = noIng ? literal.ExpandToRawNoIng(p, otdel, quantity, flag, mode, production)
                                           : literal.ExpandToRaw(p, otdel, quantity, flag, mode, production);
                const AmountList b = noIng ? memory.ExpandToRawNoIng(p, otdel, quantity, flag, mode, production)
                                           : memory.ExpandToRaw(p, otdel, quantity, flag, mode, production);
                const AmountList c = noIng ? perQuery.ExpandToRawNoIng(p, otdel, quantity, flag, mode, production)
                                           : perQuery.ExpandToRaw(p, otdel, quantity, flag, mode, production);
                ASSERT_TRUE(sameList(a, b)) << "product " << p << " mode " << mode;
                ASSERT_TRUE(sameList(a, c)) << "product " << p << " mode " << mode;
                EXPECT_EQ(memory.ZeroPriceLines, literal.ZeroPriceLines);
                EXPECT_EQ(memory.ZeroPriceWatch, literal.ZeroPriceWatch);
            }
        }
    }

    // Document lines over all departments at once.
    QStringList lines;
    for (int i = 0; i < 25; ++i) {
        const auto& dep = g.c.departments[rng() % g.c.departments.size()];
        lines << QStringLiteral("SELECT CAST(%1 AS BIGINT) AS KOD_ING, CAST(%2 AS BIGINT) AS KOD_OTDEL, "
                                "CAST(%3 AS DOUBLE PRECISION) AS KOLVO, %4 AS CENA_COMPUTE, 1 AS KVO_PORC FROM RDB$DATABASE")
                     .arg(all[rng() % all.size()])
                     .arg(dep.second)
                     .arg(1 + static_cast<int>(rng() % 7) * 0.25)
                     .arg(static_cast<int>(rng() % 2));
    }
    db::Query rows(&t.db(), &t.read());
    rows.setSql(lines.join(QStringLiteral(" UNION ALL ")));
    rows.open();
    for (int mode = 0; mode <= 3; ++mode) {
        for (bool production : {false, true}) {
            literal.ClearStockCache();
            memory.ClearStockCache();
            ASSERT_TRUE(sameList(literal.ExpandDocumentRows(mode, production, rows),
                                 memory.ExpandDocumentRows(mode, production, rows)))
                << "mode " << mode;
        }
    }
}

TEST_P(CostingEquivalence, CardTreesOfALongDocument)
{
    // The card trees of many products, read a bounded number of keys at a
    // time and level by level, give what asking at every node gives.
    Generated g(options(GetParam()));
    TestDb& t = g.t;
    const std::vector<qint64> all = g.c.all();
    std::mt19937 rng(GetParam() + 10);
    std::vector<qint64> products;  // with repeats, as a long document names them
    for (int i = 0; i < 150; ++i)
        products.push_back(all[rng() % all.size()]);
    const std::vector<qint64> departments{g.c.departments.front().second, g.c.departments.back().second};
    costing::LiteralRoad literal(&t.db(), &t.read());
    costing::CatalogueSnapshot trees = costing::CatalogueSnapshot::ProductTrees(&t.db(), &t.read(), products, departments);
    costing::Expander memory(trees);
    int n = 0;
    for (qint64 otdel : departments) {
        for (int mode = 0; mode <= 3; ++mode) {
            literal.ClearStockCache();
            memory.ClearStockCache();
            for (qint64 p : products) {
                const int flag = n & 1;
                const bool production = (n & 2) != 0;
                ++n;
                ASSERT_TRUE(sameList(literal.ExpandToRawNoIng(p, otdel, 1.5, flag, mode, production),
                                     memory.ExpandToRawNoIng(p, otdel, 1.5, flag, mode, production)))
                    << "product " << p << " mode " << mode;
            }
        }
    }
}

TEST_P(CostingEquivalence, Recomputation)
{
    TSettings settings;
    settings.v.okrugl1 = static_cast<int>(GetParam() % 6);
    settings.v.okrugl2 = static_cast<int>(GetParam() % 3);

    costing_catalogue::Options o = options(GetParam());
    o.zeroPriceShare = GetParam() == 3 ? 0.02 : 0;  // the third catalogue aborts somewhere
    Generated a(o);
    Generated b(o);
    ASSERT_EQ(tables(a.t), tables(b.t));

    std::vector<costing::RecomputeScope> scopes;
    costing::RecomputeScope s;
    s.where = 2;
    s.what = 2;
    s.keepStockPrice = false;
    s.skipHidden = false;
    scopes.push_back(s);
    s.where = 1;
    s.firma = a.c.firms[0];
    s.keepStockPrice = true;
    s.skipHidden = true;
    scopes.push_back(s);
    s.where = 0;
    s.otdel = a.c.departments.back().second;
    s.what = 1;
    s.selectedGroup = a.c.groups[1];
    scopes.push_back(s);
    s = costing::RecomputeScope{};
    s.product = a.c.byLevel[2].front();
    scopes.push_back(s);

    const QStringList before = tables(a.t);
    bool anyAborted = false;
    for (const costing::RecomputeScope& scope : scopes) {
        costing::RecomputeResult ra, rb;
        for (auto [g, road, r] : {std::make_tuple(&a, costing::Road::Literal, &ra), std::make_tuple(&b, costing::Road::Memory, &rb)}) {
            g->t.write().start();
            *r = costing::RecomputePrices(ContextOn(g->t, &settings.v), scope, {}, road);
            g->t.write().commit();
        }
        EXPECT_EQ(ra.aborted, rb.aborted);
        EXPECT_EQ(ra.warnings, rb.warnings);
        EXPECT_EQ(ra.levelsChanged, rb.levelsChanged);
        EXPECT_EQ(ra.rowsPriced, rb.rowsPriced);
        EXPECT_EQ(ra.zeroPriceWatch, rb.zeroPriceWatch);
        ASSERT_EQ(tables(a.t), tables(b.t));
        anyAborted = anyAborted || ra.aborted;
    }
    EXPECT_NE(tables(a.t), before);
    EXPECT_EQ(anyAborted, o.zeroPriceShare > 0);
}
