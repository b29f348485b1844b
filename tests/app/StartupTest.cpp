// Start-up sequence and shut-down against a real embedded database.

#include "support/AppEnv.h"
#include "support/HeldTables.h"

#include "Unit_Ing.h"
#include "Unit_Invent.h"
#include "Unit_Karta.h"
#include "Unit_Provodka.h"
#include "Unit_Var.h"
#include "base/Unit_Base.h"
#include "db/Database.h"
#include "ui/Unit_Main.h"
#include "ui/Unit_Net.h"
#include "ui/Unit_Personal.h"
#include "util/Globals.h"
#include "util/ProgramFiles.h"
#include "util/TemplateCacheFiles.h"
#include "util/Unit_Util.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// How many windows of these kinds exist.
template <class... Kinds>
int windowsOf()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += ((dynamic_cast<Kinds*>(w) != nullptr) + ...);
    return n;
}

int someDialogs()
{
    return windowsOf<TForm_Ing, TForm_Karta, TForm_Provodka, TForm_DelProv, TForm_Invent, TForm_Var, TForm_Net,
                     TForm_Personal>();
}

} // namespace

TEST(Startup, DialogsAreMadeOnFirstUseAndFreedWithTheOtherWindows)
{
    {
        AppEnv env;
        ASSERT_TRUE(Form_Base->MyDB->connected());
        EXPECT_EQ(someDialogs(), 0);
        // A dialog is there when the program reaches for it, with what its
        // makers wire to it, and stays the one window.
        TForm_Ing* ing = Form_Ing;
        ASSERT_NE(ing, nullptr);
        EXPECT_TRUE(static_cast<bool>(ing->showKBrutto));
        EXPECT_EQ(static_cast<TForm_Ing*>(Form_Ing), ing);
        EXPECT_NE(Form_Personal->QPolicy, nullptr);
        EXPECT_EQ(someDialogs(), 2);
    }
    EXPECT_EQ(someDialogs(), 0);
    EXPECT_EQ(Form_Ing.made(), nullptr);
}

TEST(Startup, BootstrapsAdministratorWithAllRightsInOneStep)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("DELETE FROM PERSON_POLICY"));
    env.testDb().exec(QStringLiteral("DELETE FROM PERSON"));
    env.testDb().exec(QStringLiteral("INSERT INTO PERSON (FIO, LOGIN) VALUES ('Иванов', 'ivan')"));
    Form_Base->FormCreate();
    ASSERT_TRUE(Form_Base->MyDB->connected());
    auto q = env.testDb().select(QStringLiteral(
        "SELECT P.KOD, P.FIO, PP.PARAM1, PP.PARAM3 FROM PERSON P LEFT JOIN PERSON_POLICY PP ON PP.KOD_PERSON = P.KOD "
        "WHERE P.LOGIN = 'Администратор'"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field(QStringLiteral("PARAM1")).asInt(), 1);
    EXPECT_EQ(q->field(QStringLiteral("PARAM3")).asString(), QStringLiteral("Все права"));
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(env.messages[0].contains(QStringLiteral("без пароля")));
    // Nobody else is deleted.
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM PERSON")).toInt(), 2);

    // The stored password is the scrambled no-password marker.
    auto p = env.testDb().select(QStringLiteral("SELECT PASSW FROM PERSON WHERE LOGIN = 'Администратор'"));
    EXPECT_EQ(Form_Util->UnscrambleString(p->field(0).asBytes()), QByteArray(kNoPasswordMarker));
}

TEST(Startup, SecondStartFindsTheAdministratorAndSaysNothing)
{
    AppEnv env;
    env.messages.clear();
    Form_Base->FormCreate();
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM PERSON")).toInt(), 1);
}

TEST(Startup, DeletesOnlyOrphanTemplateCacheFiles)
{
    AppEnv env(false);
    env.testDb().exec(QStringLiteral("INSERT INTO PRINT_FORMS (KOD_SPISKA, NAME_SHABLON, UNICNAME) VALUES (1, 'a', 17)"));
    env.testDb().exec(QStringLiteral("INSERT INTO PRINT_FORMS (KOD_SPISKA, NAME_SHABLON, UNICNAME) VALUES (2, 'b', 42)"));
    // The cache lives in the database's own folder; the program's folder holds the user's files.
    const QString home = env.testDb().folder();
    const QString dir = TemplateCacheFolder(readNetTxt().connection);
    QDir().mkpath(dir);
    for (const char* n : {"17.xls", "42.xls", "old.xls", "17.XLS", "notes.txt"})
        touch(dir + QString::fromLatin1(n));
    QFile::setPermissions(dir + QStringLiteral("old.xls"), QFile::ReadOwner);  // read-only files go too
    touch(home + QStringLiteral("old.xls"));
    const QString otherDatabase = TemplateCacheFolder(QStringLiteral("server:/srv/other.fdb"));
    QDir().mkpath(otherDatabase);
    touch(otherDatabase + QStringLiteral("99.xls"));
    Form_Base->FormCreate();
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("17.xls")));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("42.xls")));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("notes.txt")));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("old.xls")));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("17.XLS")));
    EXPECT_TRUE(QFile::exists(home + QStringLiteral("old.xls")));
    EXPECT_TRUE(QFile::exists(otherDatabase + QStringLiteral("99.xls")));
}

TEST(Startup, FailedConnectionTellsTheUserAndEndsTheProgram)
{
    AppEnv env(false);
    writeNetTxt(NetSettings{QStringLiteral("Net-IP"), env.testDb().folder() + QStringLiteral("missing/basecalc.fdb")});
    bool closed = false;
    Form_Base->hooks.closeMainWindow = [&] { closed = true; };
    bool dialogShown = false;
    Form_Base->hooks.showConnectionDialog = [&] { return dialogShown = true, false; };
    Form_Base->FormCreate();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_TRUE(closed);
    EXPECT_TRUE(dialogShown);
    // A file the embedded engine cannot open is named; with the dialog cancelled the restart notice still says
    // why the program ends.
    ASSERT_EQ(env.messages.size(), 2);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Программа не смогла открыть базу данных \"") +
                                           env.testDb().folder() + QStringLiteral("missing/basecalc.fdb\"")))
        << env.messages[0].toStdString();
    EXPECT_EQ(env.messages[1], QStringLiteral("Для вступления изменений настроек в силу, программу необходимо перезагрузить !"));

    // A server's database: the server is to be checked; the restart is asked for.
    env.messages.clear();
    writeNetTxt(NetSettings{QStringLiteral("Net-IP"), QStringLiteral("127.0.0.1/1:/srv/basecalc.fdb")});
    Form_Base->hooks.showConnectionDialog = [] { return true; };
    Form_Base->FormCreate();
    ASSERT_EQ(env.messages.size(), 2);
    EXPECT_TRUE(env.messages[0].startsWith(QStringLiteral("Программа не смогла подключится к базе данных \"basecalc.fdb\".")));
    EXPECT_TRUE(env.messages[0].endsWith(QStringLiteral("FireBird - бесплатный но мощьный SQL сервер")));
    EXPECT_EQ(env.messages[1], QStringLiteral("Для вступления изменений настроек в силу, программу необходимо перезагрузить !"));
}

// A file a server of this computer is expected to serve, the server silent:
// the embedded engine would take it from every other workstation, so it opens
// only when the user agrees (Cancel the default), and the program stays up.
TEST(Startup, AFileAServerShouldServeOpensAloneOnlyWhenTheUserAgrees)
{
    if (db::Database::localServerListens())
        GTEST_SKIP() << "a Firebird server listens on this computer";
    AppEnv env(false);
    const QString path = env.testDb().path();
    bool closed = false;
    Form_Base->hooks.closeMainWindow = [&] { closed = true; };
    const struct {
        const char* mode;
        QString connection;
        bool served;  // this computer's server gave the file to this workstation before
        int answer;   // 1 OK, 0 Cancel, -1 nothing asked
    } rows[] = {
        {"Local", QStringLiteral("localhost:") + path, false, -1},  // a single workstation's
        {"Net-IP", QStringLiteral("localhost:") + path, false, 0},
        {"Local", QStringLiteral("localhost/1:") + path, false, 0},
        {"Local", QStringLiteral("localhost:") + path, true, 0},
        {"Local", QStringLiteral("localhost:") + path, true, 1},
    };
    std::vector<Msg::Request> asked;
    int answer = 0;
    Msg::setResponder([&](const Msg::Request& r) {
        asked.push_back(r);
        return answer;
    });
    for (const auto& row : rows) {
        SCOPED_TRACE((QString::fromLatin1(row.mode) + QLatin1Char(' ') + row.connection).toStdString());
        if (row.served)
            rememberServedByLocalServer(path);
        writeNetTxt(NetSettings{QString::fromLatin1(row.mode), row.connection});
        asked.clear();
        answer = row.answer;
        Form_Base->FormCreate();
        EXPECT_FALSE(closed);
        EXPECT_EQ(Form_Base->MyDB->connected(), row.answer != 0);
        if (Form_Base->MyDB->connected()) {
            EXPECT_EQ(Form_Base->MyDB->attachedName(), path);
        }
        if (row.answer < 0) {
            EXPECT_TRUE(asked.empty());
            continue;
        }
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].kind, Msg::Kind::Confirm);
        EXPECT_TRUE(asked[0].cancelDefault);
        EXPECT_TRUE(asked[0].text.contains(QLatin1Char('"') + path + QLatin1Char('"'))) << asked[0].text.toStdString();
        EXPECT_TRUE(asked[0].text.contains(QStringLiteral("другие рабочие места не смогут подключиться")));
    }
}

TEST(Shutdown, WritesTheClosingLineAndRollsBackWhatWasPending)
{
    AppEnv env;
    // A window left a change pending: it must not reach the database with the closing line.
    Form_Base->TransactionWrite->start();
    Form_Base->QWrite1->setSql(QStringLiteral("INSERT INTO GROUP_ING (NAME) VALUES ('pending')"));
    Form_Base->QWrite1->execSql();
    Form_Main->FormClose();
    EXPECT_FALSE(Form_Base->MyDB->connected());
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM GROUP_ING")).toInt(), 0);
    auto q = env.testDb().select(QStringLiteral("SELECT ARM, WHAT_ACTION, P_LOGIN, P_FIO FROM LOG_TABLE"));
    ASSERT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->field(QStringLiteral("ARM")).asString(), QStringLiteral("Система"));
    EXPECT_EQ(q->field(QStringLiteral("WHAT_ACTION")).asString(), QStringLiteral("Закрытие программы"));
    EXPECT_EQ(q->field(QStringLiteral("P_LOGIN")).asString(), QString());
}

TEST(Shutdown, TheClosingLineHoldsTheProtocolFromItsFirstStep)
{
    AppEnv env;
    env.testDb().exec(QStringLiteral("INSERT INTO LOG_TABLE (ARM, WHAT_ACTION) VALUES ('Система', 'Открытие программы')"));
    ExpectEachHolds({{"closing line", {QStringLiteral("LOG_TABLE")}, [] { Form_Main->FormClose(); }}});
    EXPECT_EQ(env.testDb().scalar(QStringLiteral("SELECT COUNT(*) FROM LOG_TABLE")).toInt(), 2);
}

TEST(Shutdown, ClosesWhenTheServerIsGone)
{
    AppEnv env;
    // The test's own attachment goes; the program's is dropped by closing its
    // database under it, after which the shut-down must still end quietly.
    Form_Base->MyDB->close();
    Form_Main->FormClose();
    EXPECT_FALSE(Form_Base->MyDB->connected());
}
