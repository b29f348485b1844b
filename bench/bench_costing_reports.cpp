// The costing reports into a real headless LibreOffice on the shipped sample
// templates: the technological cards of production documents of 200 and of
// 2,000 lines (the argument) whose dishes have cards three and four levels
// deep, expanded down to raw products ("TechCards"), beside their floor, the
// office opening the finished cards stored once and showing them
// ("TechCardsFloor"), and the print into an office that does nothing, its
// reading and expansion ("TechCardsQuery"); and the ingredients statement of a month of 2,000 posted
// documents with ten write-off lines each ("IngredientsMonth"). Each
// repetition reads the data, fills the sheet and closes the document; the
// runs give min and median. The office is ended when the runs are done.
// "ProductsMonthRead" reads the products of the month's sales and production
// (ten lines a document) as the statement does, its lines' quantities summed
// in decimal; "ProductsMonthSummedBySql", its reference, reads the same rows
// summed by the server.

#include "OfficeRun.h"
#include "TechCardsData.h"

#include "automation/RecordingOffice.h"
#include "reports/Statements.h"
#include "reports/TechCards.h"

#include "db/Query.h"
#include "engine/EngineDb.h"

#include <random>

namespace {

struct Setup : bench::OfficeRun {
    engine::Settings settings;
    std::map<int, qint64> productions;  // by their lines
    std::map<int, qint64> distinct;     // a dish a line, by their lines
    QDate monthStart{2026, 11, 1};
    QDate monthEnd{2026, 11, 30};

    engine::Context ctx()
    {
        engine::Context c = context();
        c.settings = &settings;
        return c;
    }
    QString cache() const { return dir.path() + QStringLiteral("/templates/"); }
};

Setup* made = nullptr;  // once a benchmark asked for it

Setup& setup()
{
    static Setup* s = made = [] {
        auto* s = new Setup;
        s->settings.rub = QStringLiteral("руб.");
        s->settings.kop = QStringLiteral("коп.");
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        for (const char* name : {"tech_cards", "ingredients_statement"})
            bench::InstallShippedSample(s->database, write, name);

        costing_catalogue::Builder b(&s->database, &write);
        std::mt19937 rng(7);
        bench::TechCardsData cards =
            bench::WriteTechCardsData(b, s->database, write, rng, s->monthEnd.addDays(1), {2000});
        bench::WriteDistinctCards(cards, b, s->database, write, s->monthEnd.addDays(1), {200, 2000});
        s->productions = cards.productions;
        s->distinct = cards.distinct;
        const costing_catalogue::Catalogue& cat = cards.catalogue;
        const qint64 firma = cards.firma;
        const qint64 otdel = cards.otdel;

        db::Query q(&s->database, &write);
        auto pick = [&](const std::vector<qint64>& v) {
            return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
        };
        q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                                "VALUES (:K, :N, :D, :T, :F, :P, 0)"));
        auto doc = [&](qint64 kod, const QDate& date, int type, int provodka) {
            q.param(QStringLiteral("K")).setInt64(kod);
            q.param(QStringLiteral("N")).setString(QString::number(kod));
            q.param(QStringLiteral("D")).setDate(date);
            q.param(QStringLiteral("T")).setInt(type);
            q.param(QStringLiteral("F")).setInt64(firma);
            q.param(QStringLiteral("P")).setInt(provodka);
            q.execSql();
        };
        // The month: 2,000 posted sales and production documents, ten write-off lines each,
        // and ten sold or made lines, a dish at one of two prices.
        std::vector<qint64> deep = cat.byLevel[2];
        deep.insert(deep.end(), cat.byLevel[3].begin(), cat.byLevel[3].end());
        db::Query line(&s->database, &write);
        line.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                   "VALUES (:D, :I, :O, :Q, :C, :C / 2)"));
        db::Query move(&s->database, &write);
        move.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                   "VALUES (:D, :I, :O, :Q, :C, 2)"));
        for (int d = 0; d < 2000; ++d) {
            const qint64 kod = b.nextKey();
            doc(kod, s->monthStart.addDays(d % 30), d % 3 == 0 ? 7 : 3, 11);
            for (int l = 0; l < 10; ++l) {
                move.param(QStringLiteral("D")).setInt64(kod);
                move.param(QStringLiteral("I")).setInt64(pick(cat.raw));
                move.param(QStringLiteral("O")).setInt64(otdel);
                move.param(QStringLiteral("Q")).setDouble(0.1 * (1 + l));
                move.param(QStringLiteral("C")).setDouble(l % 2 ? 10.0 : 12.5);
                move.execSql();
                line.param(QStringLiteral("D")).setInt64(kod);
                line.param(QStringLiteral("I")).setInt64(pick(deep));
                line.param(QStringLiteral("O")).setInt64(otdel);
                line.param(QStringLiteral("Q")).setDouble(0.25 * (1 + l));
                line.param(QStringLiteral("C")).setDouble(l % 2 ? 150.0 : 180.555);
                line.execSql();
            }
        }
        write.commit();
        s->startReading(false);
        return s;
    }();
    return *s;
}

// The production document's cards of `lines` lines expanded down to raw products.
reports::techcards::Options techCards(const Setup& s, int lines)
{
    reports::techcards::Options o;
    o.document = s.productions.at(lines);
    o.mode = 1;
    return o;
}

int lines(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// TARELIA_BENCH_CALLS=1 prints the office calls of one print, counted and timed.
void TechCards(benchmark::State& state)
{
    Setup& s = setup();
    const reports::techcards::Options o = techCards(s, lines(state));
    bench::TimePrintsAndCalls(state, *s.office, [&](automation::Office& office) {
        if (!reports::techcards::Print(s.ctx(), o, office, s.cache()))
            state.SkipWithError("no cards");
    });
}
BENCHMARK(TechCards)
    ->Arg(200)
    ->Arg(2000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void TechCardsFloor(benchmark::State& state)
{
    Setup& s = setup();
    const reports::techcards::Options o = techCards(s, lines(state));
    const QString path = bench::StoreFinished(
        *s.office, s.dir.path() + QStringLiteral("/cards%1.ods").arg(lines(state)),
        [&](automation::Office& office) { reports::techcards::Print(s.ctx(), o, office, s.cache()); });
    bench::TimeOpening(state, *s.office, path);
}
BENCHMARK(TechCardsFloor)
    ->Arg(200)
    ->Arg(2000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void TechCardsQuery(benchmark::State& state)
{
    Setup& s = setup();
    const reports::techcards::Options o = techCards(s, lines(state));
    bench::NoOffice none;
    for (auto _ : state)
        reports::techcards::Print(s.ctx(), o, none, s.cache());
}
BENCHMARK(TechCardsQuery)
    ->Arg(200)
    ->Arg(2000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The cards of documents whose every line is a dish of its own, with long
// names and recipes, beside their floor and their reading, in pairs.
void TechCardsDistinct(benchmark::State& state)
{
    Setup& s = setup();
    reports::techcards::Options o;
    o.document = s.distinct.at(lines(state));
    o.mode = 1;
    bench::NoOffice none;
    bench::TimeAgainstFloor(
        state, *s.office, s.dir.path() + QStringLiteral("/distinct%1.ods").arg(lines(state)),
        [&](automation::Office& office) {
            if (!reports::techcards::Print(s.ctx(), o, office, s.cache()))
                state.SkipWithError("no cards");
        },
        [&] { reports::techcards::Print(s.ctx(), o, none, s.cache()); });
}
BENCHMARK(TechCardsDistinct)
    ->Arg(200)
    ->Arg(2000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The distinct cards' office calls, counted and timed (TARELIA_BENCH_CALLS=1).
void TechCardsDistinctCalls(benchmark::State& state)
{
    Setup& s = setup();
    reports::techcards::Options o;
    o.document = s.distinct.at(lines(state));
    o.mode = 1;
    bench::TimePrintsAndCalls(state, *s.office, [&](automation::Office& office) {
        reports::techcards::Print(s.ctx(), o, office, s.cache());
    });
}
BENCHMARK(TechCardsDistinctCalls)->Arg(200)->Arg(2000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same cards into the in-memory office: the report's own share, and the calls it makes.
void TechCardsRecorded(benchmark::State& state)
{
    Setup& s = setup();
    const reports::techcards::Options o = techCards(s, lines(state));
    automation::RecordingOffice recording;
    recording.prototype.sheets.resize(2);
    for (auto _ : state) {
        recording.books.clear();
        reports::techcards::Print(s.ctx(), o, recording, s.cache());
    }
    const automation::RecordedBook& b = recording.last();
    state.counters["cells"] = b.cellCalls;
    state.counters["rows"] = b.rowCalls;
    state.counters["formats"] = b.formatCalls;
    state.counters["log"] = b.log.size();
}
BENCHMARK(TechCardsRecorded)
    ->Arg(200)
    ->Arg(2000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond);

void IngredientsMonth(benchmark::State& state)
{
    Setup& s = setup();
    reports::statements::Options o;
    o.what = 1;
    o.start = s.monthStart;
    o.finish = s.monthEnd;
    o.type = 2;
    o.ingredients = true;
    const int rows = reports::IngredientsOf(s.ctx(), o).size();
    bench::TimePrints(state, *s.office, [&](automation::Office& office) {
        reports::statements::Print(s.ctx(), o, office, s.cache());
    });
    state.counters["rows"] = rows;
}
BENCHMARK(IngredientsMonth)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", bench::Minimum)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

reports::statements::Options productsMonth(const Setup& s)
{
    reports::statements::Options o;
    o.what = 1;
    o.start = s.monthStart;
    o.finish = s.monthEnd;
    o.type = 2;
    return o;
}

void ProductsMonthRead(benchmark::State& state)
{
    Setup& s = setup();
    const reports::statements::Options o = productsMonth(s);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = reports::ProductsOfPeriod(s.ctx(), o).size();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(ProductsMonthRead)->Repetitions(5)->ComputeStatistics("min", bench::Minimum)->Unit(benchmark::kMillisecond);

// The former read: the lines summed by the server in binary, one row each.
void ProductsMonthSummedBySql(benchmark::State& state)
{
    Setup& s = setup();
    const reports::statements::Options o = productsMonth(s);
    auto q = engine::Reader(
        s.ctx(), QStringLiteral("SELECT REAL_BLUDO.KOD_ING, REAL_BLUDO.CENA, REAL_BLUDO.CENA_SKLAD, SUM(REAL_BLUDO.KOLVO), "
                                "ING.NAME, GROUP_ING.NAME, GROUP_ING.KOD, ED_IZM.SHORT_NAME FROM DOCS "
                                "JOIN REAL_BLUDO ON REAL_BLUDO.KOD_DOC = DOCS.KOD "
                                "LEFT OUTER JOIN ING ON ING.KOD = REAL_BLUDO.KOD_ING "
                                "LEFT OUTER JOIN GROUP_ING ON GROUP_ING.KOD = ING.KOD_GROUP "
                                "LEFT OUTER JOIN ED_IZM ON ED_IZM.KOD = ING.ED_IZM "
                                "WHERE DOCS.DATE_DOC >= :DS AND DOCS.DATE_DOC <= :DE AND DOCS.PROVODKA > 10 "
                                "AND (DOCS.DOC_TYPE = 3 OR DOCS.DOC_TYPE = 7) "
                                "GROUP BY GROUP_ING.NAME, GROUP_ING.KOD, REAL_BLUDO.KOD_ING, ING.NAME, REAL_BLUDO.CENA, "
                                "REAL_BLUDO.CENA_SKLAD, ED_IZM.SHORT_NAME "
                                "ORDER BY GROUP_ING.NAME, GROUP_ING.KOD, ING.NAME, REAL_BLUDO.KOD_ING, REAL_BLUDO.CENA"));
    int rows = 0;
    for (auto _ : state) {
        q->param(QStringLiteral("DS")).setDate(o.start);
        q->param(QStringLiteral("DE")).setDate(o.finish);
        q->open();
        rows = 0;
        for (q->first(); !q->eof(); q->next()) {
            benchmark::DoNotOptimize(q->field(3).asDouble());
            ++rows;
        }
        q->close();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(ProductsMonthSummedBySql)->Repetitions(5)->ComputeStatistics("min", bench::Minimum)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] {
        if (made)
            made->finish();
    });
}
