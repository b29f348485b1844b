#include "Program.h"

#include "Printing.h"
#include "base/Unit_Base.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"
#include "util/Settings.h"
#include "util/Messages.h"
#include "util/Unit_Util.h"

#include <QLocale>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The program works as on a Russian workstation whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    setApplicationName(QStringLiteral("Тарелия"));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    Guard([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

bool CreateWindows(bool runStartup)
{
    StartupDone = 0;
    static bool endNow;
    endNow = false;
    MyParams = new TSettings;
    Form_Main = new TForm_Main;
    Form_Util = new TForm_Util;
    CreatePrintingWindows();
    Form_Base = new TForm_Base;
    Form_Base->hooks.closeMainWindow = [] {
        endNow = true;
        Form_Main->close();
    };
    if (!runStartup)
        return true;
    Form_Base->FormCreate();
    if (endNow || Form_Base->startupAborted)
        return false;
    if (Form_Base->MyDB->connected())
        StartupDone = 1;
    return true;
}

void DestroyWindows()
{
    delete Form_Base;
    Form_Base = nullptr;
    DestroyPrintingWindows();
    delete Form_Util;
    Form_Util = nullptr;
    delete Form_Main;
    Form_Main = nullptr;
    delete MyParams;
    MyParams = nullptr;
    StartupDone = 0;
}

int ProgramMain(TApplication& app)
{
    bool ok = false;
    Guard([&] { ok = CreateWindows(); });
    if (!ok || !Form_Main) {
        if (Form_Main)
            Form_Main->close();
        return 0;
    }
    Form_Main->show();
    return app.exec();
}
