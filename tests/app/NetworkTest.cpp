// The program's connection to a real Firebird server on 127.0.0.1, started by scripts/test.

#include "support/AppEnv.h"

#include "base/Unit_Base.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

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
    env.messages.clear();
    Form_Base->FormCreate();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_TRUE(closed);
}
