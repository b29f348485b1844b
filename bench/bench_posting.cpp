// Posting on the embedded database: a receipt of 1,000 lines under the
// weighted average, and a transfer of 200 different dishes that writes off
// their ingredients (three to five raw products each) and receives the
// dishes in another department. Each timed posting is rolled back, so every
// iteration posts the same document into the same stock. The catalogue holds
// 1,000, 10,000 or 50,000 raw products: a posting's time must not follow it.

#include "CostingCatalogue.h"
#include "PostingBench.h"

#include "posting/Posting.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

struct Bench : posting_bench::Database {
    qint64 firma = 0, kitchen = 0, bar = 0;
    std::vector<qint64> raw, dishes;

    explicit Bench(int catalogue) : Database(QStringLiteral("posting%1.fdb").arg(catalogue))
    {
        costing_catalogue::Builder b(&database, write.get());
        firma = b.firma(QStringLiteral("Столовая"));
        kitchen = b.otdel(firma, QStringLiteral("Кухня"));
        bar = b.otdel(firma, QStringLiteral("Бар"));
        costing_catalogue::Builder::Sklad stock;
        stock.kolvo = 1000;
        stock.cena = 50;
        stock.myCena = 65;
        stock.percent = 30;
        for (int i = 0; i < catalogue; ++i) {
            costing_catalogue::Builder::Ing d;
            d.name = QStringLiteral("Продукт %1").arg(i);
            const qint64 k = b.ing(d);
            b.sklad(k, firma, kitchen, stock);
            b.sklad(k, firma, bar, stock);
            raw.push_back(k);
        }
        for (int i = 0; i < 200; ++i) {
            costing_catalogue::Builder::Ing d;
            d.name = QStringLiteral("Блюдо %1").arg(i);
            d.level = 1;
            const qint64 k = b.ing(d, false);
            b.sklad(k, firma, kitchen, {});
            b.sklad(k, firma, bar, {});
            const int parts = 3 + i % 3;
            for (int p = 0; p < parts; ++p)
                b.karta(k, raw[static_cast<size_t>((i * 7 + p * 13) % 50)], 0.05 + 0.01 * p, 90);
            dishes.push_back(k);
        }
        write->commit();
    }

    qint64 doc(int type, qint64 otdel2, int p)
    {
        const qint64 k = newKey();
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                "INT_PARAM1, INT_PARAM2, P) VALUES (:K, '1', CURRENT_DATE, CURRENT_TIME, :T, :F, :F, :O1, :O2, :P)"));
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("T")).setInt(type);
        q.param(QStringLiteral("F")).setInt64(firma);
        q.param(QStringLiteral("O1")).setInt64(kitchen);
        q.param(QStringLiteral("O2")).setInt64(otdel2);
        q.param(QStringLiteral("P")).setInt(p);
        q.execSql();
        return k;
    }
    void lines(qint64 d, const std::vector<qint64>& products, double kolvo)
    {
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOLVO, CENA) VALUES (:D, :I, :Q, 58)"));
        for (qint64 ing : products) {
            q.param(QStringLiteral("D")).setInt64(d);
            q.param(QStringLiteral("I")).setInt64(ing);
            q.param(QStringLiteral("Q")).setDouble(kolvo);
            q.execSql();
        }
    }
};

Bench& bench(int catalogue = 1000)
{
    static std::map<int, std::unique_ptr<Bench>> benches;
    auto& b = benches[catalogue];
    if (!b)
        b = std::make_unique<Bench>(catalogue);
    return *b;
}

std::vector<qint64> firstRaw(int catalogue, int n)
{
    const std::vector<qint64>& raw = bench(catalogue).raw;
    return {raw.begin(), raw.begin() + std::min<size_t>(raw.size(), static_cast<size_t>(n))};
}

// Posts a document of the type with the products as its lines.
void postMovement(benchmark::State& state, int type, qint64 otdel2, const std::vector<qint64>& products, double kolvo,
                  int catalogue = 1000)
{
    Bench& b = bench(catalogue);
    posting_bench::TimeRolledBack(
        state, *b.write,
        [&] {
            const qint64 d = b.doc(type, otdel2, 0);
            b.lines(d, products, kolvo);
            return d;
        },
        [&](qint64 d) { posting::PostMovement(b.context(), d, 1); });
}

void BM_PostReceipt1000Lines(benchmark::State& state)
{
    const int catalogue = static_cast<int>(state.range(0));
    postMovement(state, posting::DocType::Receipt, 0, firstRaw(catalogue, 1000), 30, catalogue);
}
BENCHMARK(BM_PostReceipt1000Lines)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PostReceipt10000Lines(benchmark::State& state)
{
    postMovement(state, posting::DocType::Receipt, 0, firstRaw(10000, 10000), 30, 10000);
}
BENCHMARK(BM_PostReceipt10000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PostSplitTransfer200Dishes(benchmark::State& state)
{
    postMovement(state, posting::DocType::Transfer, bench().bar, bench().dishes, 10);
}
BENCHMARK(BM_PostSplitTransfer200Dishes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UnpostSplitTransfer200Dishes(benchmark::State& state)
{
    Bench& b = bench();
    posting_bench::TimeRolledBack(
        state, *b.write,
        [&] {
            const qint64 d = b.doc(posting::DocType::Transfer, b.bar, 0);
            b.lines(d, b.dishes, 10);
            return posting::PostMovement(b.context(), d, 1).pair;
        },
        [&](qint64 pair) { posting::UnpostDocument(b.context(), pair, 1); });
}
BENCHMARK(BM_UnpostSplitTransfer200Dishes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
