// The technological cards of production documents of 200 and of 2,000 lines
// (the argument) through the program's window into a visible LibreOffice,
// as the user waits for them: from the print choice's OK to the cards on the
// screen. Run under an X server:
// xvfb-run -a -s "-screen 0 1280x1024x24" bench_techcards_window.
// The office is the program's kind (with windows, in a profile of the run's
// own) and warm: one print is made before the timed ones. Each repetition
// presses OK on the real dialog and watches the screen: the time is when the
// office's frame last changed its picture (it stays the same for a second
// after), and the counter `mapped` when the frame appeared. The document is
// closed outside the timing. Timed beside it, into the same office and to the
// same picture: the report's Print alone; the floor, the finished cards
// stored once as a file, opened by the office and shown; and the print into
// an office that does nothing, the cards' reading and expansion. "Distinct"
// prints documents whose every line is a dish of its own, with long names
// and recipes, each OK timed beside its floor and its reading in pairs.

#include "OfficeRun.h"
#include "TechCardsData.h"

#include "support/AppEnv.h"
#include "support/KeepingOffice.h"

#include "ProgramOffice.h"
#include "ReportGauge.h"
#include "Unit_PrintReal.h"
#include "Unit_RealTab.h"
#include "automation/uno/UnoOffice.h"
#include "base/Unit_Base.h"
#include "engine/Context.h"
#include "reports/TechCards.h"
#include "ui/RadioGroup.h"
#include "util/Clock.h"
#include "util/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

namespace {

// The office's frames on the screen: top-level windows titled by the office,
// mapped and viewable.
std::vector<Window> officeFrames(Display* x)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> frames;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
        return frames;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(x, children[i], &a) || a.map_state != IsViewable)
            continue;
        XTextProperty name;
        if (XGetWMName(x, children[i], &name) && name.value) {
            if (std::strstr(reinterpret_cast<const char*>(name.value), "LibreOffice"))
                frames.push_back(children[i]);
            XFree(name.value);
        }
    }
    if (children)
        XFree(children);
    return frames;
}

void waitForFrames(Display* x, size_t frames)
{
    QElapsedTimer waited;
    waited.start();
    while (officeFrames(x).size() != frames && waited.elapsed() < 30000)
        QThread::usleep(500);
}

// A fingerprint of what the window shows.
size_t picture(Display* x, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(x, w, &a))
        return 0;
    XImage* image = XGetImage(x, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    size_t h = 0;
    const int bytes = image->bytes_per_line * image->height;
    for (int i = 0; i < bytes; i += 5)
        h = h * 131 + static_cast<unsigned char>(image->data[i]);
    XDestroyImage(image);
    return h;
}

struct Seen {
    double mapped = 0;  // seconds since the start
    double painted = 0;
};

// Waits for the frame of the document just shown and for its picture to
// settle: the last change before a second without one.
Seen watch(Display* x, const QElapsedTimer& since)
{
    Seen s;
    waitForFrames(x, 1);
    s.mapped = since.nsecsElapsed() / 1e9;
    const std::vector<Window> frames = officeFrames(x);
    if (frames.empty())
        return s;
    size_t last = picture(x, frames.front());
    s.painted = since.nsecsElapsed() / 1e9;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 1000) {
        QThread::usleep(5000);
        const size_t now = picture(x, frames.front());
        if (now != last) {
            last = now;
            s.painted = since.nsecsElapsed() / 1e9;
            quiet.restart();
        }
    }
    return s;
}

struct Run {
    AppEnv env;
    QTemporaryDir dir;
    std::unique_ptr<automation::UnoOffice> uno;
    KeepingOffice* keeping = nullptr;
    bench::TechCardsData data;
    Display* x = nullptr;

    Run()
    {
        TestDb& t = env.testDb();
        t.write().start();
        bench::InstallShippedSample(t.db(), t.write(), "tech_cards");
        costing_catalogue::Builder b(&t.db(), &t.write());
        std::mt19937 rng(7);
        data = bench::WriteTechCardsData(b, t.db(), t.write(), rng, Clock::today(), {2000});
        bench::WriteDistinctCards(data, b, t.db(), t.write(), Clock::today(), {200, 2000});
        t.write().commit();
        Form_Base->TransactionRead->commit();
        Form_Base->TransactionRead->start();

        automation::UnoOptions o = automation::ProgramUnoOptions();
        o.pipeName = QStringLiteral("tarelia_bench_%1").arg(QCoreApplication::applicationPid());
        o.profileFolder = dir.path() + QStringLiteral("/profile");
        o.logFile = dir.path() + QStringLiteral("/office.log");
        uno = std::make_unique<automation::UnoOffice>(o);
        auto owned = std::make_unique<KeepingOffice>(*uno);
        keeping = owned.get();
        automation::SetProgramOffice(std::move(owned));
        x = XOpenDisplay(nullptr);
    }

    ~Run()
    {
        closeAll();
        automation::SetProgramOffice(nullptr);
        uno->terminate();
        if (x)
            XCloseDisplay(x);
    }

    void closeAll()
    {
        for (auto& d : keeping->documents)
            d->close();
        keeping->documents.clear();
        if (x)
            waitForFrames(x, 0);
    }

    bool distinct = false;  // the documents of a dish a line
    qint64 document(int lines) const { return distinct ? data.distinct.at(lines) : data.productions.at(lines); }

    // Presses OK on the print choice with the cards expanded.
    Seen throughWindow(int lines)
    {
        RealTab->ShowDocument(document(lines));
        Seen seen;
        Msg::setModalHandler([&](QDialog* d) {
            d->show();
            QApplication::processEvents();
            Form_PrintReal->RG->setItemIndex(2);
            QElapsedTimer t;
            t.start();
            Form_PrintReal->BitBtn1->click();
            seen = watch(x, t);
            return d->result();
        });
        RealTab->Btn_Print_RealClick();
        Msg::setModalHandler({});
        QApplication::processEvents();
        return seen;
    }

    reports::techcards::Options options(int lines) const
    {
        reports::techcards::Options o;
        o.document = document(lines);
        o.mode = 1;
        return o;
    }

    // The report's run alone into the same office.
    Seen printAlone(int lines)
    {
        QElapsedTimer t;
        t.start();
        reports::techcards::Print(engine::ProgramContext(), options(lines), automation::ProgramOffice(),
                                  printing::ProgramTemplateCache());
        return watch(x, t);
    }

    // The finished cards, stored once, opened by the office and shown.
    Seen openFinished(int lines)
    {
        QString& path = finished[{distinct, lines}];
        if (path.isEmpty()) {
            reports::techcards::Print(engine::ProgramContext(), options(lines), automation::ProgramOffice(),
                                      printing::ProgramTemplateCache());
            path = dir.path() + QStringLiteral("/cards%1%2.ods").arg(distinct ? "d" : "").arg(lines);
            keeping->documents.back()->storeToFile(path, QStringLiteral("calc8"));
            closeAll();
        }
        QElapsedTimer t;
        t.start();
        // The office kept (the program's) closes it with the others.
        automation::ProgramOffice().loadDocument(path)->show();
        return watch(x, t);
    }

    // The cards into an office that does nothing.
    Seen readAlone(int lines)
    {
        bench::NoOffice none;
        QElapsedTimer t;
        t.start();
        reports::techcards::Print(engine::ProgramContext(), options(lines), none, printing::ProgramTemplateCache());
        Seen s;
        s.painted = t.nsecsElapsed() / 1e9;
        return s;
    }

    std::map<std::pair<bool, int>, QString> finished;  // the stored cards, by kind and lines
};

Run* run = nullptr;

Run& setup()
{
    if (!run) {
        run = new Run;
        if (run->x) {
            run->throughWindow(200);  // the office started and warm
            run->closeAll();
        }
    }
    return *run;
}

void timed(benchmark::State& state, Seen (Run::*print)(int))
{
    Run& r = setup();
    if (!r.x) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    double mapped = 0;
    for (auto _ : state) {
        const Seen seen = (r.*print)(static_cast<int>(state.range(0)));
        state.SetIterationTime(seen.painted);
        mapped += seen.mapped;
        r.closeAll();
    }
    state.counters["mapped_ms"] = 1000 * mapped / state.iterations();
}

// OK to the cards on the screen beside the floor, the two one right after
// the other in an order that changes every time, and then the reading alone.
void BM_TechCardsDistinctOkToVisible(benchmark::State& state)
{
    Run& r = setup();
    if (!r.x) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    r.distinct = true;
    const int lines = static_cast<int>(state.range(0));
    r.openFinished(lines);  // stored once
    r.closeAll();
    static int pairs = 0;
    double ok = 0, floor = 0, query = 0;
    for (auto _ : state) {
        for (int i = 0; i < 2; ++i) {
            if ((pairs + i) % 2 == 0)
                ok = r.throughWindow(lines).painted;
            else
                floor = r.openFinished(lines).painted;
            r.closeAll();
        }
        ++pairs;
        query = r.readAlone(lines).painted;
        state.SetIterationTime(ok);
    }
    r.distinct = false;
    state.counters["floor_ms"] = floor * 1000;
    state.counters["query_ms"] = query * 1000;
    state.counters["ratio"] = ok / (floor + query);
}

void BM_TechCardsOkToVisible(benchmark::State& state) { timed(state, &Run::throughWindow); }
void BM_TechCardsPrintToVisible(benchmark::State& state) { timed(state, &Run::printAlone); }
void BM_TechCardsFloor(benchmark::State& state) { timed(state, &Run::openFinished); }
void BM_TechCardsQuery(benchmark::State& state) { timed(state, &Run::readAlone); }

#define CARDS(name)                                                                                                   \
    BENCHMARK(name)                                                                                                   \
        ->Arg(200)                                                                                                    \
        ->Arg(2000)                                                                                                   \
        ->Iterations(1)                                                                                               \
        ->Repetitions(5)                                                                                              \
        ->ComputeStatistics("min", bench::Minimum)                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                               \
        ->UseManualTime()
CARDS(BM_TechCardsDistinctOkToVisible);
CARDS(BM_TechCardsOkToVisible);
CARDS(BM_TechCardsPrintToVisible);
CARDS(BM_TechCardsFloor);
CARDS(BM_TechCardsQuery);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete run;
    benchmark::Shutdown();
    return 0;
}
