// The inventory sheet into a real headless LibreOffice on the shipped sample
// template: 2,000 lines in 40, 400, 1,000 and 2,000 groups and 10,000 lines
// each its own group (the arguments: lines, groups), every line's name
// wrapping in its cell where it is long. Each line's row is fitted to its
// name, and the groups' headings between them are not: the rows fitted come
// in as many runs as there are groups. Each print is timed beside its floor,
// the office opening the finished sheet stored once and showing it, and
// beside the report's work without the office, in pairs.

#include "OfficeRun.h"

#include "reports/Invent.h"
#include "templates/SampleTemplates.h"

#include <QDate>

namespace {

struct Setup : bench::OfficeRun {
    QString cache() const { return dir.path() + QStringLiteral("/cache/"); }
};

Setup* made = nullptr;

Setup& setup()
{
    static Setup* s = made = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        templates::InstallShippedSamples(s->database, write);
        write.commit();
        s->startReading(true);
        return s;
    }();
    return *s;
}

reports::StandardReport sheet(int lines, int groups)
{
    QVector<reports::InventLine> l;
    l.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        const int group = i * groups / lines;
        reports::InventLine line;
        line.name = i % 4 == 0 ? QStringLiteral("Продукт номер %1, охлаждённый, высшего сорта, в вакуумной упаковке").arg(i + 1)
                               : QStringLiteral("Продукт номер %1").arg(i + 1);
        line.groupKod = QString::number(100 + group);
        line.nameGroup = QStringLiteral("Группа продуктов %1").arg(group + 1);
        line.shortName = QStringLiteral("кг");
        line.kolvo = 1 + i % 90 * 0.25;
        line.cena = 10 + i % 50;
        line.myKolvo = line.kolvo + (i % 3 - 1) * 0.5;
        line.myCena = line.cena;
        line.cenaP = line.cena * 1.5;
        l.append(line);
    }
    words::MoneyNames names;
    names.rub = QStringLiteral("руб.");
    names.kop = QStringLiteral("коп.");
    return reports::InventReport({QStringLiteral("Столовая"), QStringLiteral("Горячий цех"), QStringLiteral("Склад 1"),
                                  QDate(2026, 12, 7)},
                                 std::move(l), names);
}

void InventorySheet(benchmark::State& state)
{
    Setup& s = setup();
    const int lines = static_cast<int>(state.range(0));
    const int groups = static_cast<int>(state.range(1));
    const engine::Context ctx = s.context();
    bench::NoOffice none;
    bench::TimeAgainstFloor(
        state, *s.office, s.dir.path() + QStringLiteral("/inventory_%1_%2.ods").arg(lines).arg(groups),
        [&](automation::Office& office) { reports::RunStandardReport(ctx, office, s.cache(), sheet(lines, groups)); },
        [&] { reports::RunStandardReport(ctx, none, s.cache(), sheet(lines, groups)); });
}
BENCHMARK(InventorySheet)
    ->Args({2000, 40})
    ->Args({2000, 400})
    ->Args({2000, 1000})
    ->Args({2000, 2000})
    ->Args({10000, 10000})
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// One print's office calls, counted and timed (TARELIA_BENCH_CALLS=1).
void InventorySheetCalls(benchmark::State& state)
{
    Setup& s = setup();
    const engine::Context ctx = s.context();
    bench::TimePrintsAndCalls(state, *s.office, [&](automation::Office& office) {
        reports::RunStandardReport(ctx, office, s.cache(), sheet(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    });
}
BENCHMARK(InventorySheetCalls)->Args({2000, 2000})->Args({10000, 10000})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] {
        if (made)
            made->finish();
    });
}
