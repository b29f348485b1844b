// The program asked by the system to end (SIGTERM; SIGHUP when the session
// ends) closes as with its close button: the closing protocol line is written,
// the database detached and the process ends normally. Runs the program itself
// in a folder of its own.

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

// The signal, and how long after the database file appeared it is sent:
// at once (during start-up) or once the program has settled.
class SystemSignals : public ::testing::TestWithParam<std::pair<int, int>> {};

INSTANTIATE_TEST_SUITE_P(Program, SystemSignals,
                         ::testing::Values(std::make_pair(SIGTERM, 0), std::make_pair(SIGHUP, 0),
                                           std::make_pair(SIGTERM, 1500), std::make_pair(SIGHUP, 1500)),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& i) {
                             return std::string(i.param.first == SIGTERM ? "Term" : "Hangup") +
                                    (i.param.second ? "Settled" : "AtStart");
                         });

} // namespace

TEST_P(SystemSignals, TheProgramClosesWithItsProtocolLine)
{
    if (db::Database::localServerListens())
        GTEST_SKIP() << "a Firebird server serves localhost here";
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tarelia");
    ASSERT_TRUE(QFile::exists(program)) << program.toStdString();
    QTemporaryDir dir;
    const QString db = dir.path() + QStringLiteral("/basecalc.fdb");

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARELIA_HOME"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setProgram(program);
    p.start();
    ASSERT_TRUE(p.waitForStarted(10000));
    // The signal is blocked from the program's first line; once the database
    // file is there, it waits for the event loop whenever it comes.
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(db) && t.elapsed() < 30000 && p.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(db)) << "the first start made no database";
    QThread::msleep(static_cast<unsigned long>(GetParam().second));
    ASSERT_EQ(p.state(), QProcess::Running);
    ASSERT_EQ(::kill(static_cast<pid_t>(p.processId()), GetParam().first), 0);
    ASSERT_TRUE(p.waitForFinished(30000)) << "still running after the signal";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "ended by the signal itself";
    EXPECT_EQ(p.exitCode(), 0);

    db::Database d;
    d.setDatabaseName(db);
    d.open();  // detached by the program: the file opens
    db::Transaction r(&d, db::Transaction::readParams());
    r.start();
    db::Query q(&d, &r);
    q.setSql(QStringLiteral("SELECT ARM, WHAT_ACTION FROM LOG_TABLE ORDER BY KOD"));
    q.open();
    QStringList lines;
    for (q.first(); !q.eof(); q.next())
        lines << q.field(0).asString() + QLatin1Char('/') + q.field(1).asString();
    q.close();
    r.commit();
    d.close();
    EXPECT_EQ(lines, QStringList{QStringLiteral("Система/Закрытие программы")});
}
