#include "AppEnv.h"

#include "base/Unit_Base.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

AppEnv::AppEnv(bool runStartup)
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
    StartupDone = 0;
    CurrentUserFio.clear();
    CurrentUserLogin.clear();
    CurrentUserKod = 0;
    UserRights = 0;
    MyParams = new TSettings;
    Form_Main = new TForm_Main;
    Form_Util = new TForm_Util;
    Form_Base = new TForm_Base;
    if (runStartup) {
        Form_Base->FormCreate();
        if (Form_Base->MyDB->connected())
            StartupDone = 1;
    }
}

AppEnv::~AppEnv()
{
    delete Form_Base;
    Form_Base = nullptr;
    delete Form_Util;
    Form_Util = nullptr;
    delete Form_Main;
    Form_Main = nullptr;
    delete MyParams;
    MyParams = nullptr;
    StartupDone = 0;
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
