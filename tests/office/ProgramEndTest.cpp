// The program after a print: it ends with exit code 0 while the spreadsheet
// program it started keeps running, that office holds none of the program's
// files, and the program starts again at once on the same database.
// The program runs as a child process (this binary, its child test below).

#include "Program.h"

#include "ProgramOffice.h"
#include "automation/uno/UnoOffice.h"
#include "entries/Btn_PrintLogClick.h"
#include "base/Unit_Base.h"
#include "db/Database.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"
#include "util/Messages.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include <signal.h>

namespace {

const char* kChildMode = "TARELIA_TEST_END_CHILD";  // "print" or "start"
const char* kChildPipe = "TARELIA_TEST_END_PIPE";

// Runs this binary's child test in `home`; its exit status and code.
std::pair<QProcess::ExitStatus, int> runChild(const QString& home, const QString& mode, const QString& pipe)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARELIA_HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QString::fromLatin1(kChildMode), mode);
    env.insert(QString::fromLatin1(kChildPipe), pipe);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/share"));
    p.setProcessEnvironment(env);
    p.setProgram(QCoreApplication::applicationFilePath());
    p.setArguments({QStringLiteral("--gtest_filter=ProgramEndChild.*")});
    p.setStandardOutputFile(home + QStringLiteral("/child-") + mode + QStringLiteral(".log"));
    p.setStandardErrorFile(home + QStringLiteral("/child-") + mode + QStringLiteral(".log"), QIODevice::Append);
    p.start();
    if (!p.waitForStarted(10000) || !p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return {QProcess::CrashExit, -1};
    }
    return {p.exitStatus(), p.exitCode()};
}

// The processes whose command line names the pipe.
QList<qint64> processesOnPipe(const QString& pipe)
{
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile cmd(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmd.open(QIODevice::ReadOnly) && cmd.readAll().contains(pipe.toUtf8()))
            found << pid;
    }
    return found;
}

// What the process's descriptors lead to.
QStringList openFiles(qint64 pid)
{
    QStringList targets;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot))
        targets << QFileInfo(fds.filePath(fd)).symLinkTarget();
    return targets;
}

void logOutput(const QString& home, const QString& mode)
{
    QFile f(home + QStringLiteral("/child-") + mode + QStringLiteral(".log"));
    if (f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "child " << mode.toStdString() << ":\n" << f.readAll().right(4000).toStdString();
}

} // namespace

TEST(ProgramEnd, APrintThenCloseEndsWellAndTheProgramStartsAgainAtOnce)
{
    if (db::Database::localServerListens())
        GTEST_SKIP() << "a Firebird server serves localhost here: the program would open its file through it";
    QTemporaryDir home;
    const QString pipe = QStringLiteral("tarelia_end_%1").arg(QCoreApplication::applicationPid());

    const auto printed = runChild(home.path(), QStringLiteral("print"), pipe);
    const QList<qint64> office = processesOnPipe(pipe);
    EXPECT_EQ(printed.first, QProcess::NormalExit) << "the program crashed on its way out";
    EXPECT_EQ(printed.second, 0);
    if (printed.first != QProcess::NormalExit || printed.second != 0)
        logOutput(home.path(), QStringLiteral("print"));
    EXPECT_FALSE(office.isEmpty()) << "the office started by the print is gone";

    // The office keeps none of the program's files: not the database, not its locks.
    const QString lockFolder = qEnvironmentVariable("FIREBIRD_LOCK");
    for (qint64 pid : office)
        for (const QString& target : openFiles(pid)) {
            EXPECT_FALSE(target.startsWith(home.path())) << target.toStdString();
            EXPECT_FALSE(target.contains(QStringLiteral("basecalc.fdb"))) << target.toStdString();
            if (!lockFolder.isEmpty()) {
                EXPECT_FALSE(target.startsWith(lockFolder)) << target.toStdString();
            }
        }

    // While that office runs, the program starts again on the same database.
    const auto again = runChild(home.path(), QStringLiteral("start"), pipe);
    EXPECT_EQ(again.first, QProcess::NormalExit);
    EXPECT_EQ(again.second, 0);
    if (again.first != QProcess::NormalExit || again.second != 0)
        logOutput(home.path(), QStringLiteral("start"));

    // The program's start put its fonts where any office of the user finds
    // them when it starts, not only into the profile of an office it starts.
    for (const QString& font : automation::ProgramFontFiles())
        EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("share/fonts/")) + QFileInfo(font).fileName()))
            << font.toStdString();

    for (qint64 pid : processesOnPipe(pipe))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
}

// The program itself, in the child: started, a print (the protocol into a
// workbook), closed as the user closes it; or started and closed again.
TEST(ProgramEndChild, Run)
{
    const QString mode = qEnvironmentVariable(kChildMode);
    if (mode.isEmpty())
        GTEST_SKIP() << "runs as the child of ProgramEnd only";
    Msg::setResponder([](const Msg::Request& r) {
        fprintf(stderr, "message: %s\n", r.text.toUtf8().constData());
        return r.kind == Msg::Kind::Confirm ? 1 : 0;
    });
    Msg::setModalHandler([](QDialog* d) {
        fprintf(stderr, "dialog: %s\n", d->windowTitle().toUtf8().constData());
        return int(QDialog::Rejected);
    });
    // The program's own office, on a pipe and a profile of this test.
    automation::UnoOptions options = automation::ProgramUnoOptions();
    options.pipeName = qEnvironmentVariable(kChildPipe);
    options.profileFolder = qEnvironmentVariable("TARELIA_HOME") + QStringLiteral("/office-profile");
    options.logFile = qEnvironmentVariable("TARELIA_HOME") + QStringLiteral("/office.log");
    automation::SetProgramOffice(std::make_unique<automation::UnoOffice>(options));

    bool started = false;
    // The start page's turn of the event loop comes before the data module is
    // made: the print waits for the turn after the start.
    std::function<void()> afterStart = [&] {
        if (!Form_Base) {
            QTimer::singleShot(0, afterStart);
            return;
        }
        started = Form_Base->MyDB->connected() && StartupDone == 1;
        if (started && mode == QLatin1String("print"))
            printing::Btn_PrintLogClick({});
        Form_Main->close();
    };
    QTimer::singleShot(0, afterStart);
    const int rc = ProgramMain(*qApp);
    EXPECT_TRUE(started) << "the program did not start on its database";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Form_Main, nullptr) << "the windows outlive the program block";
    EXPECT_FALSE(automation::ProgramOfficeInstalled()) << "the office outlives the program block";
}
