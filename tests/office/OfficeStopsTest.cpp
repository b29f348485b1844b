// An office that stops during a print: the print says in Russian that it was
// not made and is to be printed again, never the bridge's own text, and the
// next print starts a new office. An office that does not come up keeps the
// program's event loop turning while it is waited for.

#include "automation/OfficeModule.h"
#include "automation/ProgramOffice.h"
#include "automation/uno/UnoOffice.h"
#include "entries/Btn_PrintLogClick.h"
#include "reports/Ostatki.h"
#include "reports/TemplateReport.h"
#include "support/EngineEnv.h"
#include "support/KeepingOffice.h"
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

// The processes of the office on the pipe.
QList<pid_t> officeProcesses(const QString& pipe)
{
    QList<pid_t> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (number && pid != getpid() && cmd.open(QIODevice::ReadOnly) && cmd.readAll().contains(pipe.toUtf8()))
            pids << pid;
    }
    return pids;
}

// Ends every process of the office on the pipe at once, as a crash would.
void killOffice(const QString& pipe)
{
    const QList<pid_t> pids = officeProcesses(pipe);
    ASSERT_FALSE(pids.isEmpty()) << "no office on " << pipe.toStdString();
    for (pid_t pid : pids)
        ::kill(pid, SIGKILL);
    for (int i = 0; i < 500 && std::any_of(pids.begin(), pids.end(), [](pid_t p) { return ::kill(p, 0) == 0; }); ++i)
        QThread::msleep(20);
}

// The office stops just before or just after it gives the print its document.
class StoppingOffice : public automation::Office {
public:
    enum When { Never, BeforeDocument, AfterDocument };
    StoppingOffice(automation::Office& inner, QString pipe, When when)
        : inner_(inner), pipe_(std::move(pipe)), when_(when)
    {
    }
    bool connect() override { return inner_.connect(); }
    void disconnect() override { inner_.disconnect(); }
    bool connected() const override { return inner_.connected(); }
    std::unique_ptr<automation::Document> newCalc() override
    {
        return made([&] { return inner_.newCalc(); });
    }
    std::unique_ptr<automation::Document> loadDocument(const QString& path) override
    {
        return made([&] { return inner_.loadDocument(path); });
    }
    std::unique_ptr<automation::Document> editDocument(const QString& path) override
    {
        return inner_.editDocument(path);
    }

private:
    template <class F>
    std::unique_ptr<automation::Document> made(F open)
    {
        if (when_ == BeforeDocument)
            stop();
        std::unique_ptr<automation::Document> d = open();
        if (when_ == AfterDocument)
            stop();
        return d;
    }
    void stop()
    {
        when_ = Never;
        killOffice(pipe_);
    }

    automation::Office& inner_;
    QString pipe_;
    When when_;
};

class OfficeStops : public ::testing::Test {
protected:
    void SetUp() override
    {
        options_ = automation::HeadlessUnoOptions(dir_.path());
        options_.pipeName += QStringLiteral("_stops");
        office_ = std::make_unique<automation::UnoOffice>(options_);
        Msg::setResponder([this](const Msg::Request& r) {
            shown_ << r.text;
            return 0;
        });

        env_.t.write().start();
        ASSERT_GE(templates::InstallShippedSamples(env_.t.db(), env_.t.write()), 2);
        env_.t.write().commit();
        env_.t.exec("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (900001, 'ООО \"Столовая №1\"', 1)");
        env_.t.exec("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900003, 900001, 'Горячий цех')");
        env_.t.exec("INSERT INTO SKLAD (KOD, KOD_OTDEL, NAME) VALUES (900006, 900003, 'Основной склад')");
        env_.t.exec("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (900010, 'килограмм', 'кг')");
        env_.t.exec("INSERT INTO GROUP_ING (KOD, NAME) VALUES (900011, 'Овощи')");
        for (int i = 0; i < 40; ++i) {
            env_.t.exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (%1, 900011, 'Продукт %2', 900010)")
                            .arg(901000 + i)
                            .arg(i + 1));
            env_.t.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, MY_CENA) "
                                       "VALUES (%1, 900001, 900003, 900006, %2, 10, 12)")
                            .arg(901000 + i)
                            .arg(i + 1));
        }
        RefreshRead(env_.t);
    }
    void TearDown() override
    {
        Msg::setResponder({});
        automation::SetProgramOffice(nullptr);
        office_.reset();
    }

    // The stock balance of the store, as the program's print runs it.
    void printStockBalance(automation::Office& office)
    {
        reports::ostatki::Options o;
        o.scope = reports::ostatki::Department;
        o.firma = 900001;
        o.otdel = 900003;
        o.sklad = 900006;
        Guard([&] {
            reports::RunStandardReport(env_.ctx(), office, env_.t.folder() + QStringLiteral("/templates/"),
                                       reports::ostatki::Build(env_.ctx(), o));
        });
    }

    QTemporaryDir dir_;
    automation::UnoOptions options_;
    std::unique_ptr<automation::UnoOffice> office_;
    EngineEnv env_;
    QStringList shown_;
};

} // namespace

TEST_F(OfficeStops, EveryPrintWhoseOfficeStopsSaysSoAndTheNextPrintIsMade)
{
    const struct {
        const char* what;
        StoppingOffice::When when;
        bool protocol;
    } cases[] = {
        {"stock balance, the office stops while the rows are written", StoppingOffice::AfterDocument, false},
        {"stock balance, the office stops while the template loads", StoppingOffice::BeforeDocument, false},
        {"protocol print, the office stops in the new workbook", StoppingOffice::AfterDocument, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(office_->connect());  // the office runs when the print starts
        shown_.clear();
        if (c.protocol) {
            automation::SetProgramOffice(std::make_unique<StoppingOffice>(*office_, options_.pipeName, c.when));
            QList<reports::ProtocolPrint::Line> lines;
            for (int i = 0; i < 50; ++i)
                lines.append({QStringLiteral("10.03.2026"), QStringLiteral("12:00:00"), QStringLiteral("Иванова М."),
                              QStringLiteral("Настройка"), QStringLiteral("Действие №%1").arg(i + 1)});
            Guard([&] { printing::Btn_PrintLogClick({lines}); });
            automation::SetProgramOffice(nullptr);
        } else {
            StoppingOffice stopping(*office_, options_.pipeName, c.when);
            printStockBalance(stopping);
        }
        EXPECT_EQ(shown_.join(QLatin1Char('|')).toStdString(), automation::OfficeStoppedText().toStdString());

        // Printed again, in a new office.
        shown_.clear();
        printStockBalance(*office_);
        EXPECT_EQ(shown_.join(QLatin1Char('|')).toStdString(), "");
    }
}

// The office killed at any moment of a print, as a user's office may be: the
// print is made and shown, or says the office stopped; the program goes on
// (the bridge's last writes into the dead pipe end no process).
TEST_F(OfficeStops, AnOfficeKilledAtAnyMomentOfAPrint)
{
    for (int delay : {0, 50, 100, 150, 200, 250}) {
        SCOPED_TRACE(delay);
        ASSERT_TRUE(office_->connect());
        shown_.clear();
        KeepingOffice keeping(*office_);
        std::thread killer([&] {
            QThread::msleep(delay);
            for (pid_t pid : officeProcesses(options_.pipeName))
                ::kill(pid, SIGKILL);
        });
        printStockBalance(keeping);
        killer.join();
        if (shown_.isEmpty())
            EXPECT_EQ(keeping.documents.size(), 1u);
        else
            EXPECT_EQ(shown_.join(QLatin1Char('|')).toStdString(), automation::OfficeStoppedText().toStdString());
    }
}

// A start program that ends without an office coming up: connect gives up
// once it ended, and the event loop kept turning while it waited.
TEST(OfficeStart, AnOfficeThatDoesNotComeUpIsWaitedForWithTheLoopTurning)
{
    QTemporaryDir dir;
    const QString soffice = dir.filePath(QStringLiteral("soffice"));
    QFile script(soffice);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 1\nexit 1\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    automation::UnoOptions options = automation::HeadlessUnoOptions(dir.path());
    options.pipeName += QStringLiteral("_never");
    options.soffice = soffice;
    options.startTimeoutMs = 60000;  // given up long before
    automation::UnoOffice office(options);

    int turns = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++turns; });
    timer.start(10);
    EXPECT_FALSE(office.connect());
    EXPECT_GT(turns, 0);
}

// Where the office is installed, the program's office module loads beside
// the program and gives the office (not started here: it is the user's).
TEST(OfficeStart, TheProgramsOfficeModuleLoads)
{
    QString error;
    std::unique_ptr<automation::Office> office = automation::LoadOfficeModule(
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + automation::OfficeModuleFileName(), &error);
    ASSERT_NE(office, nullptr) << error.toStdString();
    EXPECT_FALSE(office->connected());
}
