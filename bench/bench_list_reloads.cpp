// What the lists of the program's windows add to a write road: the program
// with a year of documents (20,000 receipts, listed on the movement tab over
// every date) and a warehouse of 1,000 products, every tab visited once so
// that each tab's lists are open.
//
// BM_PostReceipt posts a receipt of 1,000 lines from the movement tab, the
// document current in its list and its lines shown, as the user's posting
// does: the road up to its protocol line and commit, and whatever the lists
// do on the commit. BM_PriceCommits writes 100 stock rows' prices, one road
// each with its protocol line, from the stock tab. Argument 0 is the road
// alone (the change signal held back, no list moves), 1 the road with the
// lists. Between iterations, untimed, the receipt is un-posted.
//
// Run with --benchmark_enable_random_interleaving=true: the repetitions of
// both arguments alternate, so the machine's load weighs on them alike. The
// database lies in TMPDIR; TMPDIR=/dev/shm leaves the disk's flush at each
// commit out of the road's time, which makes the lists' share the larger.

#include "support/AppEnv.h"

#include "Unit_MoveTab.h"
#include "Unit_ProductsTab.h"
#include "base/Unit_Base.h"
#include "costing/DepartmentRows.h"
#include "db/Query.h"
#include "engine/Changes.h"
#include "engine/WriteRoad.h"
#include "posting/Posting.h"
#include "ui/RadioGroup.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kDocuments = 20000;
constexpr int kProducts = 1000;

struct Program {
    AppEnv env;
    qint64 receipt = 0;
    std::vector<qint64> stockRows;

    Program()
    {
        TestDb& db = env.testDb();
        db.exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('Столовая', 1)"));
        db.exec(QStringLiteral("INSERT INTO OTDEL (KOD_FIRMA, NAME, FIRST_OTDEL) SELECT KOD, 'Кухня', '1' FROM FIRMA"));
        db.exec(QStringLiteral("INSERT INTO SKLAD (KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) SELECT KOD_FIRMA, KOD, 'Склад', '1' FROM OTDEL"));
        db.exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Овощи')"));
        db.exec(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) SELECT SKLAD.KOD, GROUP_ING.KOD FROM SKLAD, GROUP_ING"));
        // Products with their stock rows; a year of receipts, the last one of 1,000 lines.
        db.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                               "INSERT INTO ING (NAME, KOD_GROUP, MY_LEVEL) SELECT 'Продукт ' || LPAD(:I, 4, '0'), KOD, 0 FROM GROUP_ING; "
                               "I = I + 1; END END")
                    .arg(kProducts));
        db.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_OTDEL, KOD_FIRMA, KOD_SKLAD, KOD_GROUP, KOLVO, CENA, MY_CENA, "
                               "OPEN_CLOSE) SELECT ING.KOD, OTDEL.KOD, OTDEL.KOD_FIRMA, SKLAD.KOD, ING.KOD_GROUP, 100, 50, 65, 0 "
                               "FROM ING, OTDEL, SKLAD"));
        db.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE F BIGINT; DECLARE O BIGINT; BEGIN "
                               "SELECT KOD, KOD_FIRMA FROM OTDEL INTO :O, :F; "
                               "WHILE (I < %1) DO BEGIN "
                               "INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                               "INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) VALUES ('ПН-' || :I, DATEADD(:I * 365 / %1 DAY TO "
                               "DATE '2025-01-01'), '10:00:00', 5, :F, :F, :O, 0, 0, 11); I = I + 1; END END")
                    .arg(kDocuments));
        db.exec(QStringLiteral("INSERT INTO DOCS (NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                               "INT_PARAM1, INT_PARAM2, EDIT_CENA, PROVODKA) SELECT 'ПН-последний', DATE '2025-12-31', '12:00:00', "
                               "5, KOD_FIRMA, KOD_FIRMA, KOD, 0, 0, 0 FROM OTDEL"));
        receipt = db.scalar(QStringLiteral("SELECT MAX(KOD) FROM DOCS")).toLongLong();
        db.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) SELECT %1, ING.KOD, OTDEL.KOD, 30, 58 "
                               "FROM ING, OTDEL")
                    .arg(receipt));
        auto rows = db.select(QStringLiteral("SELECT KOD FROM ING_SKLAD ORDER BY KOD"));
        for (rows->first(); !rows->eof(); rows->next())
            stockRows.push_back(rows->field(0).asInt64());

        env.loginAs(QStringLiteral("Администратор"));
        Form_Main->Apply_UserRights();
        Form_Base->ReopenStartLists();
        MoveTab->R_Detail->setItemIndex(0);  // every enterprise, every date
        Form_Main->show();
        // Every tab once, the movement tab last: each tab's lists stand open.
        for (QWidget* page : {Form_Main->Sheet_All_Ing, Form_Main->Sheet_Sklad_Ing, Form_Main->Sheet_Menu, Form_Main->Sheet_Real,
                              Form_Main->Sheet_Setup, Form_Main->Sheet_Reg, Form_Main->Sheet_Move})
            show(page);
        MoveTab->Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(receipt));
        settle();
        post();  // each iteration un-posts it untimed first
        settle();
        if (MoveTab->Q_Dvig->recordCount() != kDocuments + 1 || MoveTab->Q_Moves->recordCount() != kProducts)
            throw std::runtime_error("the movement tab does not list the year with the receipt's lines");
    }

    static void settle()
    {
        for (int i = 0; i < 50; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 600)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    static void show(QWidget* page)
    {
        Form_Main->SetActivePage(page);
        settle();
    }

    // The posting of the movement tab's handler, on the program's context.
    void post()
    {
        WriteTransaction w(WriteTransaction::Reserve::Documents);
        posting::PostMovement(w.context(), receipt, 1);
        w.commit(QStringLiteral("Движение"), QStringLiteral("Проводка документа № ПН-последний от 31.12.2025"));
    }
    void unpost()
    {
        WriteTransaction w(WriteTransaction::Reserve::Documents);
        posting::UnpostDocument(w.context(), receipt, 1);
        w.commit(QStringLiteral("Движение"), QStringLiteral("Отмена проводки документа № ПН-последний от 31.12.2025"));
    }
};

// Made on first use; main ends it while the application still stands (its
// windows and its temporary folder go with it).
std::unique_ptr<Program>& programHeld()
{
    static std::unique_ptr<Program> p;
    return p;
}

Program& program()
{
    std::unique_ptr<Program>& p = programHeld();
    if (!p)
        p = std::make_unique<Program>();
    return *p;
}

// Holds the change signal back for the road alone.
struct RoadAlone {
    explicit RoadAlone(bool alone) : alone_(alone) { engine::ChangeSignal::instance()->blockSignals(alone_); }
    ~RoadAlone() { engine::ChangeSignal::instance()->blockSignals(false); }
    bool alone_;
};

void BM_PostReceipt(benchmark::State& state)
{
    Program& p = program();
    p.show(Form_Main->Sheet_Move);
    MoveTab->Q_Dvig->locate(QStringLiteral("KOD"), QVariant::fromValue<qint64>(p.receipt));
    const bool alone = state.range(0) == 0;
    int dvigOpens = 0, movesOpens = 0;
    auto c1 = QObject::connect(MoveTab->Q_Dvig, &db::Query::opened, [&] { ++dvigOpens; });
    auto c2 = QObject::connect(MoveTab->Q_Moves, &db::Query::opened, [&] { ++movesOpens; });
    for (auto _ : state) {
        state.PauseTiming();
        {
            RoadAlone hold(alone);
            p.unpost();
        }
        p.settle();
        dvigOpens = movesOpens = 0;
        state.ResumeTiming();
        {
            RoadAlone hold(alone);
            p.post();
        }
    }
    state.counters["movement_list_reads"] = dvigOpens;
    state.counters["lines_reads"] = movesOpens;
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    if (MoveTab->Q_Dvig->field(QStringLiteral("KOD")).asInt64() != p.receipt)
        state.SkipWithError("the movement list left the receipt");
}

void BM_PriceCommits(benchmark::State& state)
{
    Program& p = program();
    p.show(Form_Main->Sheet_Sklad_Ing);
    if (ProductsTab->Q_Ing_Sklad->recordCount() != kProducts) {
        state.SkipWithError("the stock tab does not list the warehouse");
        return;
    }
    const bool alone = state.range(0) == 0;
    int round = 0;
    for (auto _ : state) {
        RoadAlone hold(alone);
        ++round;
        for (int i = 0; i < 100; ++i) {
            costing::DepartmentEdit e;
            e.kod = p.stockRows[static_cast<size_t>((round * 100 + i) % p.stockRows.size())];
            e.writeCena = true;
            e.cena = 50 + round % 7;
            e.myCena = 65 + round % 7;
            e.percent = 30;
            e.metod = 2;
            WriteTransaction w(WriteTransaction::Reserve::Prices);
            costing::WriteDepartmentRow(w.context(), e);
            w.commit(QStringLiteral("Продукты и блюда"), QStringLiteral("Изменение цен"));
        }
    }
}

double Min(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_PostReceipt)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(10)
    ->ComputeStatistics("min", Min);
BENCHMARK(BM_PriceCommits)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2)
    ->Repetitions(10)
    ->ComputeStatistics("min", Min);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    programHeld().reset();
    return 0;
}
