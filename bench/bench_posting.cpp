// Posting on the embedded database: a receipt of 1,000 lines under the
// weighted average, and a transfer of 200 different dishes that writes off
// their ingredients (three to five raw products each) and receives the
// dishes in another department. The catalogue holds 1,000, 10,000 or 50,000
// raw products: a posting's time must not follow it.
//
// A receipt is timed as the user waits for it: the document and its lines
// stand committed, as the document window leaves them, and the posting runs
// on the write road up to its protocol line and commit. Between iterations,
// untimed, the stock gets its values back, the document goes and the server
// collects the old row versions. The transfers are timed up to the posting
// and rolled back, and so is an inventory of the whole kitchen (1,000 or
// 10,000 products, a third of them counted short).

#include "CostingCatalogue.h"
#include "PostingBench.h"

#include "engine/EngineDb.h"
#include "engine/WriteRoad.h"
#include "inventory/Inventory.h"
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
    // Lines as the document window enters them: in the document's department.
    void lines(qint64 d, const std::vector<qint64>& products, double kolvo)
    {
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) VALUES (:D, :I, :O, :Q, 58)"));
        for (qint64 ing : products) {
            q.param(QStringLiteral("D")).setInt64(d);
            q.param(QStringLiteral("I")).setInt64(ing);
            q.param(QStringLiteral("O")).setInt64(kitchen);
            q.param(QStringLiteral("Q")).setDouble(kolvo);
            q.execSql();
        }
    }

    // Gives the kitchen's stock rows of the document's products the values the
    // catalogue was built with, and deletes the document, on write.
    void forget(qint64 d)
    {
        db::Query q(&database, write.get());
        q.setSql(QStringLiteral("EXECUTE BLOCK AS DECLARE VARIABLE K BIGINT; BEGIN "
                                "FOR SELECT S.KOD FROM MOVES M JOIN ING_SKLAD S ON S.KOD_ING = M.KOD_ING AND S.KOD_OTDEL = ") +
                 QString::number(kitchen) + QStringLiteral(" WHERE M.KOD_DOC = ") + QString::number(d) +
                 QStringLiteral(" INTO :K DO UPDATE ING_SKLAD SET KOLVO = 1000, CENA = 50, MY_CENA = 65 WHERE KOD = :K; "
                                "DELETE FROM MOVES WHERE KOD_DOC = ") +
                 QString::number(d) + QStringLiteral("; DELETE FROM DOCS WHERE KOD = ") + QString::number(d) + QStringLiteral("; END"));
        q.execSql();
    }

    // Restarts the reading transaction, which holds back the collection of
    // older row versions while it runs, and reads the tables a posting
    // writes: the server collects what the last iteration left, so the next
    // one starts on the stock as it was.
    void collect()
    {
        read->commit();
        read->start();
        for (const char* table : {"ING_SKLAD", "MOVES", "DOCS", "LOG_TABLE"}) {
            db::Query q(&database, read.get());
            q.setSql(QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table));
            q.open();
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

// Posts a receipt of the products, committed with its protocol line.
void postReceipt(benchmark::State& state, const std::vector<qint64>& products, int catalogue)
{
    Bench& b = bench(catalogue);
    for (auto _ : state) {
        state.PauseTiming();
        b.write->start();
        const qint64 d = b.doc(posting::DocType::Receipt, 0, 0);
        b.lines(d, products, 30);
        b.write->commit();
        state.ResumeTiming();
        {
            WriteTransaction w(b.context(), WriteTransaction::Reserve::Documents);
            posting::PostMovement(w.context(), d, 1);
            w.commit(QStringLiteral("Движение"), QStringLiteral("Проводка документа № 1 от 07.12.2026"));
        }
        state.PauseTiming();
        b.write->start();
        b.forget(d);
        b.write->commit();
        b.collect();
        state.ResumeTiming();
    }
}

void BM_PostReceipt1000Lines(benchmark::State& state)
{
    const int catalogue = static_cast<int>(state.range(0));
    postReceipt(state, firstRaw(catalogue, 1000), catalogue);
}
BENCHMARK(BM_PostReceipt1000Lines)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PostReceipt10000Lines(benchmark::State& state)
{
    postReceipt(state, firstRaw(10000, 10000), 10000);
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

void BM_PostInventoryOfTheKitchen(benchmark::State& state)
{
    const int catalogue = static_cast<int>(state.range(0));
    Bench& b = bench(catalogue);
    posting_bench::TimeRolledBack(
        state, *b.write,
        [&] {
            inventory::InvDoc d;
            d.kod = b.doc(posting::DocType::Inventory, 0, 0);
            d.otdel = b.kitchen;
            inventory::Fill(b.context(), d, {}, false);
            engine::Exec(b.context(), QStringLiteral("UPDATE INVENT SET MY_KOLVO = KOLVO - 1 WHERE KOD_DOC = %1 AND MOD(KOD, 3) = 0")
                                          .arg(d.kod));
            return d;
        },
        [&](const inventory::InvDoc& d) { inventory::Post(b.context(), d); });
}
BENCHMARK(BM_PostInventoryOfTheKitchen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
