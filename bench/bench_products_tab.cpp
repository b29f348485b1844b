// The products tab opened on a warehouse with 50 groups of 40 products each:
// from the tab's show to the moment no refresh timer is pending any more, with
// how often each of its lists was opened on the way.

#include "support/AppEnv.h"

#include "Unit_ProductsTab.h"
#include "Unit_StructureBox.h"
#include "base/Unit_Base.h"
#include "db/Query.h"
#include "ui/Unit_Main.h"
#include "grid/Greying.h"
#include "util/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

bool settled()
{
    TProductsTab* p = ProductsTab;
    for (QTimer* x : {StructureBox->List_Otdel->timer(), StructureBox->List_Sklad->timer(), p->Timer_GrIng, p->Timer_Ing,
                      p->Timer_Ing_Sklad})
        if (x->isActive())
            return false;
    return true;
}

void BM_ProductsTabSettles(benchmark::State& state)
{
    AppEnv env;
    TestDb& db = env.testDb();
    db.exec(QStringLiteral("INSERT INTO FIRMA (NAME, LOCAL_FIRMA) VALUES ('Предприятие', 1)"));
    db.exec(QStringLiteral("INSERT INTO OTDEL (KOD_FIRMA, NAME, FIRST_OTDEL) SELECT KOD, 'Отдел', '1' FROM FIRMA"));
    db.exec(QStringLiteral("INSERT INTO SKLAD (KOD_FIRMA, KOD_OTDEL, NAME, FIRST_SKLAD) SELECT KOD_FIRMA, KOD, 'Склад', '1' "
                           "FROM OTDEL"));
    for (int g = 0; g < 50; ++g) {
        db.exec(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('Группа %1')").arg(g, 2, 10, QLatin1Char('0')));
        for (int i = 0; i < 40; ++i)
            db.exec(QStringLiteral("INSERT INTO ING (NAME, KOD_GROUP) SELECT 'Продукт %1-%2', KOD FROM GROUP_ING "
                                   "WHERE NAME = 'Группа %1'")
                        .arg(g, 2, 10, QLatin1Char('0'))
                        .arg(i));
    }
    db.exec(QStringLiteral("INSERT INTO SKLAD_GRING (KOD_SKLAD, KOD_GRING) SELECT SKLAD.KOD, GROUP_ING.KOD FROM SKLAD, "
                           "GROUP_ING"));
    db.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_OTDEL, KOD_FIRMA, CENA, MY_CENA) SELECT ING.KOD, OTDEL.KOD, "
                           "OTDEL.KOD_FIRMA, 10, 12 FROM ING, OTDEL"));
    int groups = 0, products = 0, stock = 0;
    QObject::connect(ProductsTab->Q_GrIng, &db::Query::opened, [&] { ++groups; });
    QObject::connect(ProductsTab->Q_Ing, &db::Query::opened, [&] { ++products; });
    QObject::connect(ProductsTab->Q_Ing_Sklad, &db::Query::opened, [&] { ++stock; });
    Form_Main->show();
    Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
    while (!settled())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    for (auto _ : state) {
        state.PauseTiming();
        Form_Main->SetActivePage(Form_Main->Sheet_Setup);
        while (!settled())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        groups = products = stock = 0;
        state.ResumeTiming();
        Form_Main->SetActivePage(Form_Main->Sheet_Sklad_Ing);
        QApplication::processEvents();
        while (!settled())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    state.counters["group_opens"] = groups;
    state.counters["product_opens"] = products;
    state.counters["stock_opens"] = stock;
    Form_Main->hide();
}
BENCHMARK(BM_ProductsTabSettles)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
