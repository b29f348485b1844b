// The program's connection to a real Firebird server on 127.0.0.1, started by scripts/test.

#include "support/AppEnv.h"
#include "support/ServerStation.h"

#include "base/Unit_Base.h"
#include "db/Database.h"
#include "ui/Unit_Net.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(NetworkMode, OpensTheServerDatabaseWithThePasswordFromPswTxt)
{
    const QByteArray server = qgetenv("TARELIA_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no test server (scripts/test starts one)";
    AppEnv env(false);
    // An embedded attachment would lock the file against the server.
    env.testDb().disconnect();
    writePswTxt(qgetenv("TARELIA_TEST_SERVER_PASSWORD"), Form_Util->scrambler());
    const QString conn = QString::fromLatin1(server) + QLatin1Char(':') + env.testDb().path();
    writeNetTxt(NetSettings{QStringLiteral("Net-IP"), conn});

    Form_Base->FormCreate();
    ASSERT_TRUE(Form_Base->MyDB->connected()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Form_Base->MyDB->attachedName(), conn);
    Form_Base->QRead1->setSql(QStringLiteral("SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    Form_Base->QRead1->open();
    EXPECT_EQ(Form_Base->QRead1->field(0).asString().trimmed(), QStringLiteral("TCPv4"));
    Form_Base->QRead1->close();

    // A wrong password is refused by the server and ends the program.
    Form_Base->MyDB->close();
    writePswTxt("wrongpw1", Form_Util->scrambler());
    bool closed = false;
    Form_Base->hooks.closeMainWindow = [&] { closed = true; };
    Form_Base->hooks.showConnectionDialog = [] { return false; };
    env.messages.clear();
    Form_Base->FormCreate();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_TRUE(closed);
}

// This computer's server gave the workstation its database; while the server
// does not answer (it restarts), a start takes the file from the other
// workstations only when the user agrees.
TEST(NetworkMode, AFileTheServerGaveStaysTheOthersWhileTheServerIsSilent)
{
    if (db::Database::localServerListens())
        GTEST_SKIP() << "a Firebird server listens on the standard port";
    AppEnv env(false);
    if (!env.moveToTestServer())
        GTEST_SKIP() << "no test server (scripts/test starts one)";
    const QString path = env.testDb().path();
    env.testDb().disconnect();
    // The workstation's settings for the file on this computer: the standard port, where nothing answers.
    writeNetTxt(NetSettings{QStringLiteral("Local"), QStringLiteral("localhost:") + path});
    env.answers = {0};
    Form_Base->FormCreate();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_TRUE(env.messages.last().contains(QStringLiteral("другие рабочие места не смогут подключиться")));
    EXPECT_NO_THROW(ServerStation{path}) << "another workstation is locked out";

    env.answers = {1};
    Form_Base->FormCreate();
    ASSERT_TRUE(Form_Base->MyDB->connected()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Form_Base->MyDB->attachedName(), path);
    Form_Base->MyDB->close();
}

// The client of this process reaches the test server's port through a
// configuration of its own, so the connection string stays as the
// connection dialog writes it ("127.0.0.1:/path/basecalc.fdb").
static bool useClientPort(const QByteArray& port, const QString& dir)
{
    const QString root = QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0");
    QDir().mkpath(dir + QStringLiteral("/intl"));
    for (const char* f : {"plugins", "UDF", "lib", "firebird.msg", "plugins.conf"})
        QFile::link(root + QLatin1Char('/') + QLatin1String(f), dir + QLatin1Char('/') + QLatin1String(f));
    for (const QString& f : QDir(root + QStringLiteral("/intl")).entryList(QDir::Files))
        QFile::copy(root + QStringLiteral("/intl/") + f, dir + QStringLiteral("/intl/") + f);
    QFile conf(dir + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly))
        return false;
    conf.write("RemoteServicePort = " + port + "\nAuthClient = Srp, Legacy_Auth\nWireCrypt = Enabled\n");
    conf.close();
    qputenv("FIREBIRD", dir.toLocal8Bit());
    return true;
}

TEST(NetworkMode, ConnectsWithTheSettingsTheConnectionDialogWrote)
{
    const QByteArray server = qgetenv("TARELIA_TEST_SERVER");
    if (server.isEmpty())
        GTEST_SKIP() << "no test server (scripts/test starts one)";
    // The client library reads its configuration once per process: after any
    // other connection of this process it would still aim at the default
    // port and wait there. The test runs in a process of its own.
    if (qEnvironmentVariableIsEmpty("TARELIA_NETWORK_OWN_PROCESS")) {
        QProcess child;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("TARELIA_NETWORK_OWN_PROCESS"), QStringLiteral("1"));
        child.setProcessEnvironment(e);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=NetworkMode.ConnectsWithTheSettingsTheConnectionDialogWrote")});
        ASSERT_TRUE(child.waitForFinished(90000)) << "the connection never ended";
        const QString out = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
        return;
    }
    const QList<QByteArray> hostPort = server.split('/');
    QTemporaryDir confDir;
    // Before the client library reads its configuration.
    ASSERT_TRUE(useClientPort(hostPort.value(1, "3050"), confDir.path()));
    AppEnv env(false);
    env.testDb().disconnect();
    writePswTxt(qgetenv("TARELIA_TEST_SERVER_PASSWORD"), Form_Util->scrambler());

    Form_Net->RadioGroup1->setItemIndex(1);
    Form_Net->RadioGroup1Click();
    const QStringList ip = QString::fromLatin1(hostPort.value(0)).split(QLatin1Char('.'));
    ASSERT_EQ(ip.size(), 4);
    Form_Net->E_IP1->setText(ip[0]);
    Form_Net->E_IP2->setText(ip[1]);
    Form_Net->E_IP3->setText(ip[2]);
    Form_Net->E_IP4->setText(ip[3]);
    Form_Net->E_Path->setText(env.testDb().path());
    Form_Net->BtnOKClick();
    ASSERT_TRUE(env.messages.isEmpty()) << env.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(readNetTxt().connection, QString::fromLatin1(hostPort.value(0)) + QLatin1Char(':') + env.testDb().path());

    Form_Base->FormCreate();
    ASSERT_TRUE(Form_Base->MyDB->connected()) << env.messages.join(QLatin1Char('\n')).toStdString();
    Form_Base->QRead1->setSql(QStringLiteral("SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    Form_Base->QRead1->open();
    EXPECT_EQ(Form_Base->QRead1->field(0).asString().trimmed(), QStringLiteral("TCPv4"));
    Form_Base->QRead1->close();
}
