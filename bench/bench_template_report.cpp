// The report run into a real headless LibreOffice: 5,000 table rows of 15
// variables each, in groups of 50 with a bold heading and a subtotal, on a
// template with a line under every row. "PerCell" writes every value with
// its own call and draws the line once per variable, as the values arrive;
// "RowBuffered" gathers the rows (headings and subtotals among them) into
// range writes and draws every row's line in one call at the end. Both
// documents are stored and compared at the end. TARELIA_BENCH_CALLS=1 prints
// each case's office calls, counted and timed.

#include "CallTimes.h"
#include "OfficeRun.h"

#include "reports/TemplateReport.h"
#include "words/AmountInWords.h"

#include "db/Query.h"

#include <QFile>

#include <cstdio>
#include <map>

using namespace templates;

namespace {

struct Setup : bench::OfficeRun {
    std::map<std::string, QString> stored;  // road/rows -> stored flat file
    // TARELIA_BENCH_CALLS=1: each case's office calls, counted and timed.
    bool timeCalls = qEnvironmentVariableIsSet("TARELIA_BENCH_CALLS");
    bench::CallTimes calls;
};

Setup& setup()
{
    static Setup* s = [] {
        auto* s = new Setup;
        s->openDatabase();
        db::Transaction write(&s->database, db::Transaction::writeParams());
        write.start();
        db::Query q(&s->database, &write);
        QFile sample(QStringLiteral(TARELIA_SAMPLES "/report_skeleton.xls"));
        sample.open(QIODevice::ReadOnly);
        const QByteArray bytes = sample.readAll();
        // List 2: the headings bold; list 3: the same, with one table variable (v9) bold as well.
        for (const int form : {900, 901}) {
            q.setSql(QStringLiteral("INSERT INTO PRINT_FORMS (KOD, OBRAZ, KOD_SPISKA, NAME_SHABLON, HEAD_YX, TAIL_YX, "
                                    "START_LINE, END_LINE, SETKA, DEFAUL, UNICNAME, SHABLON) VALUES (:K, 1, :L, "
                                    "'Ведомость', 'F7', 'F12', 'A', 'O', 1, 1, :K, :B)"));
            q.param(QStringLiteral("K")).setInt(form);
            q.param(QStringLiteral("L")).setInt(form == 900 ? 2 : 3);
            q.param(QStringLiteral("B")).setBytes(bytes);
            q.execSql();
            auto variable = [&](const QString& name, int location, const QString& cell, const QString& extra = {}) {
                q.setSql(QStringLiteral("INSERT INTO PRINT_VARIABLES (KOD_FORMA, NAMEVAR, ENABLED, LOCATION, X_START, "
                                        "X_END, STATIC_TYPE, TEXT_STATIC, MY_FONT, FONT_NAME, FONT_SIZE, FONT_BOLD) "
                                        "VALUES (:F, :N, 1, :L, :X, :X, :ST, :T, :MF, 'DejaVu Sans', 11, 1)"));
                q.param(QStringLiteral("F")).setInt(form);
                q.param(QStringLiteral("N")).setString(name);
                q.param(QStringLiteral("L")).setInt(location);
                q.param(QStringLiteral("X")).setString(cell);
                q.param(QStringLiteral("ST")).setInt(extra.isEmpty() || extra == QStringLiteral("bold") ? 0 : 1);
                q.param(QStringLiteral("T")).setString(extra);
                q.param(QStringLiteral("MF")).setInt(extra == QStringLiteral("bold") ? 1 : 0);
                q.execSql();
            };
            variable(QStringLiteral("group2"), LocGroup, QStringLiteral("B1"), QStringLiteral("bold"));
            variable(QStringLiteral("sum_g"), LocGroup, QStringLiteral("F1"));
            const char* columns = "ABCDEFGHIJ";
            const QStringList rowVars{QStringLiteral("nstr"), QStringLiteral("name"),  QStringLiteral("ed_izm"),
                                      QStringLiteral("kolvo"), QStringLiteral("cena"), QStringLiteral("summa"),
                                      QStringLiteral("v7"),   QStringLiteral("v8"),    QStringLiteral("v9"),
                                      QStringLiteral("v10")};
            for (int i = 0; i < rowVars.size(); ++i)
                variable(rowVars[i], LocTable, QString(QLatin1Char(columns[i])) + QStringLiteral("1"),
                         form == 901 && rowVars[i] == QStringLiteral("v9") ? QStringLiteral("bold") : QString());
            for (int i = 1; i <= 5; ++i)
                variable(QStringLiteral("s%1").arg(i), LocTable, QString(QChar(u'J' + i)) + QStringLiteral("1"),
                         QStringLiteral("т%1").arg(i));
            variable(QStringLiteral("sum_all"), LocEnd, QStringLiteral("F1"));
            variable(QStringLiteral("sum_txt"), LocEnd, QStringLiteral("B3"));
        }
        write.commit();
        s->startReading(true);
        return s;
    }();
    return *s;
}

reports::StandardReport report(int rows, int listNo = 2)
{
    reports::StandardReport r;
    r.listNo = listNo;
    r.levels = {{QStringLiteral("group2"), {QStringLiteral("sum_g")}, QStringLiteral("n_g")}};
    r.rowCount = rows;
    r.groupCode = [](int row, int) { return QString::number(row / 50); };
    r.groupName = [](int row, int) { return QStringLiteral("Группа %1").arg(row / 50 + 1); };
    r.amounts = [](int row) { return QVector<qint64>{row * 250}; };
    r.rowVariables = [](reports::TemplateRun& run, int row) {
        run.putText(QStringLiteral("name"), QStringLiteral("Продукт номер %1").arg(row + 1));
        run.putText(QStringLiteral("ed_izm"), QStringLiteral("кг"));
        run.putFloat(QStringLiteral("kolvo"), row * 0.125);
        run.putFloat(QStringLiteral("cena"), 20);
        run.putAmount(QStringLiteral("summa"), 0);
        run.putFloat(QStringLiteral("v7"), row + 0.5);
        run.putInt(QStringLiteral("v8"), row % 7);
        run.putText(QStringLiteral("v9"), QStringLiteral("п%1").arg(row % 13));
        run.putFloat(QStringLiteral("v10"), -row);
    };
    r.end = [](reports::TemplateRun& run, const QVector<qint64>& totals) {
        run.putKopecks(QStringLiteral("sum_all"), totals.value(0));
        words::MoneyNames names;
        names.rub = QStringLiteral("руб.");
        names.kop = QStringLiteral("коп.");
        run.putText(QStringLiteral("sum_txt"), words::AmountInWords(totals.value(0) / 100.0, names));
    };
    return r;
}

void fill(benchmark::State& state, reports::Road road, const char* roadName, int listNo = 2)
{
    Setup& s = setup();
    const int rows = static_cast<int>(state.range(0));
    s.calls.clear();
    bench::TimingOffice timing(*s.office, s.calls);
    automation::Office& office = s.timeCalls ? static_cast<automation::Office&>(timing) : *s.office;
    for (auto _ : state) {
        KeepingOffice keeping(office);
        reports::RunStandardReport({&s.database, s.read.get()}, keeping, s.dir.path() + QStringLiteral("/cache/"),
                                   report(rows, listNo), {}, road);
        state.PauseTiming();
        // TARELIA_BENCH_OUT keeps the stored documents for a look.
        const QString folder = qEnvironmentVariable("TARELIA_BENCH_OUT", s.dir.path());
        const QString out = folder + QStringLiteral("/%1_%2.fods").arg(QString::fromLatin1(roadName)).arg(rows);
        keeping.documents.front()->storeToFile(out, QStringLiteral("OpenDocument Spreadsheet Flat XML"));
        keeping.documents.front()->close();
        s.stored[std::string(roadName) + "/" + std::to_string(rows)] = out;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    if (s.timeCalls) {
        std::printf("%s/%d, office calls per fill:\n", roadName, rows);
        s.calls.print(static_cast<int>(state.iterations()));
    }
}

void BM_PerCell(benchmark::State& state) { fill(state, reports::Road::PerCell, "PerCell"); }
void BM_RowBuffered(benchmark::State& state) { fill(state, reports::Road::RowBuffered, "RowBuffered"); }

// One table variable with a font of its own: the formats go once per run of rows.
void BM_RowBufferedFormattedVariable(benchmark::State& state)
{
    fill(state, reports::Road::RowBuffered, "RowBufferedFont", 3);
}

BENCHMARK(BM_PerCell)->Arg(500)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RowBuffered)->Arg(500)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RowBufferedFormattedVariable)->Arg(5000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The stored document without its metadata (dates, editing time).
QByteArray content(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = f.readAll();
    const qsizetype from = text.indexOf("<office:meta>");
    const qsizetype to = text.indexOf("</office:meta>");
    if (from >= 0 && to > from)
        text.remove(from, to - from);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, [] {
        Setup& s = setup();
        for (const char* rows : {"500", "5000"}) {
            const auto a = s.stored.find(std::string("PerCell/") + rows);
            const auto b = s.stored.find(std::string("RowBuffered/") + rows);
            if (a == s.stored.end() || b == s.stored.end())
                continue;
            const QByteArray x = content(a->second);
            const QByteArray y = content(b->second);
            std::printf("%s rows: stored documents %s (%lld bytes)\n", rows,
                        !x.isEmpty() && x == y ? "identical" : "DIFFER", static_cast<long long>(x.size()));
        }
        s.finish();
    });
}
