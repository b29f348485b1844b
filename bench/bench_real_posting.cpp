// Posting a production write-off of 200 different dishes whose cards go 3 to
// 4 levels down (dish - semi-finished products - their semi-finished
// products - raw products) on the embedded database: the paired output, the
// card expansion, both server postings and the commit. Each posting is then
// un-posted and its document deleted, untimed, so every one finds the same stock.
// The kitchen's catalogue holds 0, 10,000 or 50,000 more products that the
// document does not use: the posting's time must not follow them.

#include "CostingCatalogue.h"
#include "PostingBench.h"

#include "engine/EngineDb.h"

#include "posting/Posting.h"
#include "posting/RealPosting.h"

#include <map>
#include <memory>
#include <vector>

namespace {

struct Bench : posting_bench::Database {
    qint64 firma = 0, kitchen = 0;
    std::vector<qint64> dishes;

    explicit Bench(int extra) : Database(QStringLiteral("real%1.fdb").arg(extra))
    {
        costing_catalogue::Builder b(&database, write.get());
        firma = b.firma(QStringLiteral("Столовая"));
        kitchen = b.otdel(firma, QStringLiteral("Кухня"));
        costing_catalogue::Builder::Sklad stock;
        stock.kolvo = 100;
        stock.cena = 50;
        stock.myCena = 65;
        auto product = [&](const QString& name, int level, const costing_catalogue::Builder::Sklad& s) {
            costing_catalogue::Builder::Ing d;
            d.name = name;
            d.level = level;
            const qint64 k = b.ing(d, level == 0);
            b.sklad(k, firma, kitchen, s);
            return k;
        };
        std::vector<qint64> raw, l1, l2, l3;
        for (int i = 0; i < 300; ++i)
            raw.push_back(product(QStringLiteral("Продукт %1").arg(i), 0, stock));
        auto at = [](const std::vector<qint64>& v, int i) { return v[static_cast<size_t>(i) % v.size()]; };
        costing_catalogue::Builder::Sklad some;
        some.kolvo = 3;
        some.cena = 40;
        for (int i = 0; i < 60; ++i) {
            const qint64 k = product(QStringLiteral("Заготовка %1").arg(i), 1, some);
            for (int p = 0; p < 3; ++p)
                b.karta(k, at(raw, i * 5 + p * 7), 0.1 + 0.02 * p, 85);
            l1.push_back(k);
        }
        for (int i = 0; i < 40; ++i) {
            const qint64 k = product(QStringLiteral("Полуфабрикат %1").arg(i), 2, some);
            b.karta(k, at(l1, i * 3), 0.3, 95);
            b.karta(k, at(l1, i * 3 + 1), 0.2, 100);
            b.karta(k, at(raw, i * 11), 0.05, 90);
            l2.push_back(k);
        }
        for (int i = 0; i < 20; ++i) {
            const qint64 k = product(QStringLiteral("Основа %1").arg(i), 3, {});
            b.karta(k, at(l2, i * 2), 0.4, 100);
            b.karta(k, at(l2, i * 2 + 1), 0.3, 100);
            b.karta(k, at(raw, i * 13), 0.02, 80);
            l3.push_back(k);
        }
        for (int i = 0; i < 200; ++i) {
            // Half the dishes are three levels deep, half four.
            const qint64 k = product(QStringLiteral("Блюдо %1").arg(i), i % 2 ? 4 : 3, {});
            b.karta(k, i % 2 ? at(l3, i) : at(l2, i), 0.25, 100);
            b.karta(k, at(l1, i), 0.1, 90);
            b.karta(k, at(raw, i * 3), 0.05, 80);
            dishes.push_back(k);
        }
        // The rest of the kitchen's catalogue: raw products and a dish on every fifth.
        for (int i = 0; i < extra; ++i) {
            const bool composite = i % 5 == 4;
            const qint64 k = product(QStringLiteral("Каталог %1").arg(i), composite ? 1 : 0, stock);
            if (composite)
                b.karta(k, at(raw, i), 0.1, 90);
        }
        write->commit();
    }

    // What the un-posting left behind is cleared before the next posting, so
    // that posting does not pay for it: the reading transaction, which may
    // hold old versions back, starts again, and a read of each changed table
    // removes the versions nobody can see any more.
    void collectGarbage()
    {
        read->commit();
        read->start();
        for (const char* table : {"ING_SKLAD", "MOVES", "DOCS", "REAL_BLUDO"}) {
            db::Query q(&database, read.get());
            q.setSql(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table));
            q.open();
        }
    }

    qint64 doc(int p)
    {
        const qint64 k = newKey();
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, P) "
                                "VALUES (:K, '1', CURRENT_DATE, CURRENT_TIME, 7, :F, :F, :P)"));
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("F")).setInt64(firma);
        q.param(QStringLiteral("P")).setInt(p);
        q.execSql();
        db::Query l(&database, write.get());
        l.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (:D, :I, :O, 10, 120)"));
        for (qint64 ing : dishes) {
            l.param(QStringLiteral("D")).setInt64(k);
            l.param(QStringLiteral("I")).setInt64(ing);
            l.param(QStringLiteral("O")).setInt64(kitchen);
            l.execSql();
        }
        return k;
    }
};

Bench& bench(int extra)
{
    static std::map<int, std::unique_ptr<Bench>> benches;
    auto& b = benches[extra];
    if (!b)
        b = std::make_unique<Bench>(extra);
    return *b;
}

void postProduction(benchmark::State& state, int mode)
{
    Bench& b = bench(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        b.write->start();
        const qint64 d = b.doc(mode);  // saved before it is posted, as the tab does
        b.write->commit();
        b.write->start();
        state.ResumeTiming();
        posting::PostRealDocument(b.context(), d, 1);
        b.write->commit();
        state.PauseTiming();
        b.write->start();
        posting::UnpostDocument(b.context(), d, 1);
        engine::Exec(b.context(), QStringLiteral("DELETE FROM REAL_BLUDO WHERE KOD_DOC = %1").arg(d));
        engine::Exec(b.context(), QStringLiteral("DELETE FROM DOCS WHERE KOD = %1").arg(d));
        b.write->commit();
        b.collectGarbage();
        state.ResumeTiming();
    }
}

void BM_PostProduction200DishesIngredients(benchmark::State& state) { postProduction(state, 0); }
BENCHMARK(BM_PostProduction200DishesIngredients)->Arg(0)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PostProduction200DishesStockFirst(benchmark::State& state) { postProduction(state, 2); }
BENCHMARK(BM_PostProduction200DishesStockFirst)->Arg(0)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
