#include "CoreWiring.h"

#include "Unit_Main.h"
#include "Unit_Net.h"
#include "Unit_Personal.h"
#include "grid/Greying.h"
#include "Unit_Vhod.h"
#include "UserLists.h"
#include "base/Unit_Base.h"
#include "util/Messages.h"

void WireCoreWindows()
{
    if (!UserLists)
        UserLists = new TUserLists(Form_Base);
    // The users window exists before its lists: it is registered here, once both are there.
    // Made on first use, it opens on the rights of the user the list stands on.
    auto attach = [](TForm_Personal* f) {
        UserLists->AttachPersonalWindow(f, f->Grid_Policy, f->QPolicy);
        if (Form_Base->QPerson->active())
            UserLists->Timer_PersonPolicyTimer();
    };
    if (Form_Personal.made())
        attach(Form_Personal.made());
    else if (Form_Personal.armed())
        Form_Personal.make(attach);
    // A lost connection puts the start page and its "Подключения" in front.
    QObject::connect(Form_Base, &TForm_Base::connectionLost, Form_Main, [] { Form_Main->ConnectionLost(); });
    Form_Base->hooks.loadMyParams = [] { Form_Base->LoadMyParams(); };
    Form_Base->hooks.fillLoginList = [](const QStringList& logins) {
        if (Form_Vhod)
            Form_Vhod->FillLogins(logins);
    };
    Form_Main->hooks.showLogin = [] { return Form_Vhod && Form_Vhod->exec() == QDialog::Accepted; };
    Form_Base->hooks.showConnectionDialog = [] { return Form_Net && Msg::execModal(Form_Net) == QDialog::Accepted; };
    Form_Main->hooks.showConnection = [] { return Form_Net && Msg::execModal(Form_Net) == QDialog::Accepted; };
    Form_Main->hooks.showUsers = [] {
        if (!Form_Personal)
            return;
        Msg::execModal(Form_Personal);
    };
    Form_Main->hooks.reloadUserRights = [] {
        if (UserLists)
            UserLists->Timer_PersonPolicyTimer();
    };
}
