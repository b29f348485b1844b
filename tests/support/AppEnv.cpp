#include "AppEnv.h"

#include "Program.h"
#include "base/Unit_Base.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"
#include "support/NetworkRelay.h"
#include "support/ServerStation.h"

AppEnv::AppEnv(bool runStartup) : AppEnv(runStartup, {}) {}

AppEnv::AppEnv(bool runStartup, const std::function<void()>& onStartPage)
{
    writeNetTxt(NetSettings{QStringLiteral("Local"), db_.path()});
    Msg::setResponder([this](const Msg::Request& r) {
        messages.append(r.text);
        if (r.kind != Msg::Kind::Confirm && r.kind != Msg::Kind::Choice)
            return 0;
        if (answers.empty())
            return r.kind == Msg::Kind::Confirm ? 1 : 0;
        const int a = answers.front();
        answers.pop_front();
        return a;
    });
    CurrentUserFio.clear();
    CurrentUserLogin.clear();
    CurrentUserKod = 0;
    UserRights = 0;
    // The program's own window creation and wiring.
    CreateMainWindow();
    if (onStartPage)
        onStartPage();
    CreateOtherWindows(runStartup);
}

AppEnv::~AppEnv()
{
    DestroyWindows();
    Msg::setResponder({});
}

void AppEnv::loginAs(const QString& login)
{
    auto q = db_.select(QStringLiteral("SELECT KOD, FIO, LOGIN FROM PERSON WHERE LOGIN = '") + login + QStringLiteral("'"));
    if (q->isEmpty())
        throw std::runtime_error("no such user in the test database");
    CurrentUserKod = q->field(QStringLiteral("KOD")).asInt64();
    CurrentUserFio = q->field(QStringLiteral("FIO")).asString();
    CurrentUserLogin = q->field(QStringLiteral("LOGIN")).asString();
    Form_Util->LoadUserRights(CurrentUserKod);
}

bool AppEnv::moveToTestServer(const NetworkRelay* relay)
{
    if (!HaveTestServer())
        return false;
    // The server refuses a file an embedded attachment holds.
    Form_Base->MyDB->close();
    db_.disconnect();
    const QString connection = ServerConnection(db_.path());
    db_.reconnect(connection, ServerParams());
    writePswTxt(ServerParams().password, Form_Util->scrambler());
    writeNetTxt(NetSettings{QStringLiteral("Net-IP"), relay ? relay->connection(db_.path()) : connection});
    Form_Base->FormCreate();
    return Form_Base->MyDB->connected();
}
