// An office that stops during a print: the print says in Russian that it was
// not made and is to be printed again, never the bridge's own text, the
// program goes on, and the next print starts a new office. An office that
// does not come up keeps the event loop turning while it is waited for.

#include "automation/OfficeModule.h"
#include "ProgramOffice.h"
#include "automation/uno/UnoOffice.h"
#include "entries/Btn_PrintLogClick.h"
#include "reports/Ostatki.h"
#include "reports/TemplateReport.h"
#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"
#include "templates/SampleTemplates.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

namespace {

// Kills every process of the office on the pipe, as a crash would; waits for
// them to be gone when asked.
void killOffice(const QString& pipe, bool wait)
{
    QList<pid_t> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (entry.toInt() > 0 && entry.toInt() != getpid() && cmd.open(QIODevice::ReadOnly) &&
            cmd.readAll().contains(pipe.toUtf8()))
            pids << entry.toInt();
    }
    for (pid_t pid : pids)
        ::kill(pid, SIGKILL);
    for (int i = 0; wait && i < 500 && std::any_of(pids.begin(), pids.end(), [](pid_t p) { return ::kill(p, 0) == 0; }); ++i)
        QThread::msleep(20);
}

// The office, killed just before or just after it gives a print its document.
class StoppingOffice : public automation::UnoOffice {
public:
    using UnoOffice::UnoOffice;
    enum { Never, BeforeDocument, AfterDocument } stop = Never;
    QString pipe;
    std::unique_ptr<automation::Document> loadDocument(const QString& path) override
    {
        const auto when = std::exchange(stop, Never);
        if (when == BeforeDocument)
            killOffice(pipe, true);
        std::unique_ptr<automation::Document> d = UnoOffice::loadDocument(path);
        if (when == AfterDocument)
            killOffice(pipe, true);
        return d;
    }
};

class OfficeStops : public ::testing::Test {
protected:
    void SetUp() override
    {
        automation::UnoOptions options = automation::HeadlessUnoOptions(dir_.path());
        options.pipeName += QStringLiteral("_stops");
        auto owned = std::make_unique<StoppingOffice>(options);
        office_ = owned.get();
        office_->pipe = options.pipeName;
        automation::SetProgramOffice(std::move(owned));
        Msg::setResponder([this](const Msg::Request& r) {
            shown_ << r.text;
            return 0;
        });
        auto& t = env_.t;
        t.write().start();
        ASSERT_GE(templates::InstallShippedSamples(t.db(), t.write()), 2);
        t.write().commit();
        t.exec("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (1, 'Столовая', 1)");
        t.exec("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (3, 1, 'Цех')");
        t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (6, 3, 'Склад')");
        for (int i = 100; i < 140; ++i) {
            t.exec(QStringLiteral("INSERT INTO ING (KOD, NAME) VALUES (%1, 'Продукт %1')").arg(i));
            t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, MY_CENA) "
                                  "VALUES (%1, 1, 3, 6, %1, 10, 12)").arg(i));
        }
        RefreshRead(t);
    }
    void TearDown() override
    {
        Msg::setResponder({});
        automation::SetProgramOffice(nullptr);  // ends the office
    }

    // The stock balance of the store, run and guarded as the program runs it;
    // what it showed.
    QString printStockBalance()
    {
        shown_.clear();
        reports::ostatki::Options o;
        o.scope = reports::ostatki::Department;
        o.firma = 1;
        o.otdel = 3;
        o.sklad = 6;
        Guard([&] {
            reports::RunStandardReport(env_.ctx(), *office_, env_.t.folder() + QStringLiteral("/templates/"),
                                       reports::ostatki::Build(env_.ctx(), o));
        });
        return shown_.join(QLatin1Char('|'));
    }

    QTemporaryDir dir_;
    StoppingOffice* office_ = nullptr;
    EngineEnv env_;
    QStringList shown_;
};

} // namespace

TEST_F(OfficeStops, EveryPrintWhoseOfficeStopsSaysSoAndTheNextPrintIsMade)
{
    const QString stopped = automation::OfficeStoppedText();
    // While the rows are written, and while the template loads.
    for (auto when : {StoppingOffice::AfterDocument, StoppingOffice::BeforeDocument}) {
        ASSERT_TRUE(office_->connect());
        office_->stop = when;
        EXPECT_EQ(printStockBalance(), stopped) << when;
        EXPECT_EQ(printStockBalance(), QString()) << "printed again, in a new office";
    }
    // The protocol print, in its new workbook.
    ASSERT_TRUE(office_->connect());
    office_->stop = StoppingOffice::AfterDocument;
    shown_.clear();
    Guard([] { printing::Btn_PrintLogClick({{{QStringLiteral("10.03.2026"), {}, {}, {}, QStringLiteral("Вход")}}}); });
    EXPECT_EQ(shown_, QStringList{stopped});
}

// Killed at any moment of a print, as a user's office may be: the print is
// made, or says the office stopped; the bridge's last writes into the dead
// pipe do not end the program by SIGPIPE.
TEST_F(OfficeStops, AnOfficeKilledAtAnyMomentOfAPrint)
{
    for (int delay : {0, 50, 100, 150, 200, 250}) {
        ASSERT_TRUE(office_->connect());
        std::thread killer([&] {
            QThread::msleep(delay);
            killOffice(office_->pipe, false);
        });
        const QString shown = printStockBalance();
        killer.join();
        EXPECT_TRUE(shown.isEmpty() || shown == automation::OfficeStoppedText()) << delay << ": " << shown.toStdString();
    }
}

namespace {

// Options for an office whose start program is the script given.
automation::UnoOptions scriptOffice(const QTemporaryDir& dir, const char* script, const QString& pipe)
{
    QFile file(dir.filePath(QStringLiteral("soffice")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    automation::UnoOptions options = automation::HeadlessUnoOptions(dir.path());
    options.pipeName += pipe;
    options.soffice = file.fileName();
    options.startTimeoutMs = 60000;  // given up long before
    return options;
}

} // namespace

// A start program that ends without an office coming up: connect gives up
// once it ended, and the event loop kept turning while it waited. The office
// was there to start, so it is said to have stopped, not to be missing.
TEST(OfficeStart, AnOfficeThatDoesNotComeUpIsWaitedForWithTheLoopTurning)
{
    QTemporaryDir dir;
    automation::UnoOffice office(scriptOffice(dir, "#!/bin/sh\nsleep 1\nexit 1\n", QStringLiteral("_never")));

    int turns = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++turns; });
    timer.start(10);
    EXPECT_THROW(office.connect(), automation::OfficeStopped);
    EXPECT_GT(turns, 0);

    // The module the program loads on its first print gives the office.
    QString error;
    EXPECT_NE(automation::LoadOfficeModule(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                               automation::OfficeModuleFileName(), &error),
              nullptr)
        << error.toStdString();
}

// An office killed while it is still starting: the print says it stopped and
// is to be made again, not that no office is installed.
TEST(OfficeStart, AnOfficeKilledWhileStartingIsSaidToHaveStopped)
{
    QTemporaryDir dir;
    automation::SetProgramOffice(std::make_unique<automation::UnoOffice>(
        scriptOffice(dir, "#!/bin/sh\nkill -9 $$\n", QStringLiteral("_killed"))));
    QStringList shown;
    Msg::setResponder([&shown](const Msg::Request& r) {
        shown << r.text;
        return 0;
    });
    Guard([] { printing::Btn_PrintLogClick({{{QStringLiteral("10.03.2026"), {}, {}, {}, QStringLiteral("Вход")}}}); });
    EXPECT_EQ(shown, QStringList{automation::OfficeStoppedText()});
    Msg::setResponder({});
    automation::SetProgramOffice(nullptr);
}
