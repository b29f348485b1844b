// The main window's frame: scaling rule, start page, tabs by rights, log-in button.

#include "support/AppEnv.h"
#include "support/UserInput.h"

#include "base/Unit_Base.h"
#include "ui/Scaling.h"
#include "ui/Unit_Main.h"
#include "util/Globals.h"
#include "util/ProgramFiles.h"
#include "util/Unit_Util.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(MainWindow, ScalingRuleFollowsTheScreenShape)
{
    EXPECT_TRUE(IsNarrowScreen(1280, 1024));
    EXPECT_FALSE(IsNarrowScreen(1024, 768));  // exactly 4:3
    EXPECT_FALSE(IsNarrowScreen(1920, 1080));
    EXPECT_DOUBLE_EQ(ZoomFactor(1280, 1024, true), 1.6);
    EXPECT_DOUBLE_EQ(ZoomFactor(1280, 1024, false), 1024.0 / 600);
    EXPECT_DOUBLE_EQ(ZoomFactor(1024, 768, true), 1.28);
    EXPECT_DOUBLE_EQ(ZoomFactor(1280, 1024, true, 700, 900), 1280.0 / 900);
}

TEST(MainWindow, StartsOnTheStartPageWithEveryTabHidden)
{
    AppEnv env;
    EXPECT_EQ(Form_Main->windowTitle(), QStringLiteral("Тарелия (v5.6.11)"));
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Hello);
    for (QWidget* p : {Form_Main->Sheet_Ing, Form_Main->Sheet_All_Ing, Form_Main->Sheet_Sklad_Ing, Form_Main->Sheet_Move,
                       Form_Main->Sheet_Menu, Form_Main->Sheet_Real, Form_Main->Sheet_Setup, Form_Main->Sheet_Reg}) {
        EXPECT_FALSE(Form_Main->TabShown(p));
        EXPECT_FALSE(p->isEnabled());
    }
    EXPECT_FALSE(Form_Main->Btn_Net->isHidden());
    // The default connection file names the database beside the program.
    const NetSettings net = readNetTxt();
    EXPECT_EQ(net.mode, QStringLiteral("Local"));
}

TEST(MainWindow, HidenetTxtHidesTheConnectionButton)
{
    AppEnv env(false);
    QFile f(env.testDb().folder() + QStringLiteral("hidenet.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    TForm_Main other;
    EXPECT_TRUE(other.Btn_Net->isHidden());
}

TEST(MainWindow, RightsPickTheTabsAndTheStartTab)
{
    AppEnv env;
    auto apply = [](std::uint16_t rights) {
        UserRights = rights;
        Form_Main->Hide_AllTabs();
        Form_Main->SetActivePage(Form_Main->Sheet_Hello);
        Form_Main->Apply_UserRights();
    };
    apply(1u << Right::Real);
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Real);
    EXPECT_TRUE(Form_Main->TabShown(Form_Main->Sheet_Real));
    EXPECT_FALSE(Form_Main->TabShown(Form_Main->Sheet_Ing));
    EXPECT_FALSE(Form_Main->TabShown(Form_Main->Sheet_Menu));

    apply(1u << Right::All);
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Ing);
    EXPECT_EQ(Form_Main->ActiveInnerPage(), Form_Main->Sheet_All_Ing);
    for (QWidget* p : {Form_Main->Sheet_Ing, Form_Main->Sheet_All_Ing, Form_Main->Sheet_Sklad_Ing, Form_Main->Sheet_Move,
                       Form_Main->Sheet_Menu, Form_Main->Sheet_Real, Form_Main->Sheet_Setup, Form_Main->Sheet_Reg})
        EXPECT_TRUE(Form_Main->TabShown(p) && p->isEnabled());

    apply((1u << Right::Ing) | (1u << Right::Move));
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Ing);
    EXPECT_EQ(Form_Main->ActiveInnerPage(), Form_Main->Sheet_Move);
    EXPECT_FALSE(Form_Main->TabShown(Form_Main->Sheet_All_Ing));

    apply((1u << Right::Setup) | (1u << Right::Reg));
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Reg);

    apply(0);
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Hello);
}

TEST(MainWindow, ASecondLogInDoesNotKeepTheEarlierUsersTabs)
{
    AppEnv env;
    std::uint16_t next = 1u << Right::All;
    Form_Main->hooks.showLogin = [&] {
        UserRights = next;
        return true;
    };
    Form_Main->Btn_VhodClick();
    EXPECT_TRUE(Form_Main->TabShown(Form_Main->Sheet_Setup));
    EXPECT_TRUE(Form_Base->Timer_Timer->isActive());
    EXPECT_EQ(Form_Base->Timer_Timer->interval(), 900000);

    next = 1u << Right::Menu;
    Form_Main->Btn_VhodClick();
    EXPECT_FALSE(Form_Main->TabShown(Form_Main->Sheet_Setup));
    EXPECT_TRUE(Form_Main->TabShown(Form_Main->Sheet_Menu));
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Menu);

    // A cancelled log-in changes nothing.
    Form_Main->hooks.showLogin = [] { return false; };
    Form_Main->Btn_VhodClick();
    EXPECT_TRUE(Form_Main->TabShown(Form_Main->Sheet_Menu));
}

TEST(MainWindow, AClickOnTheStartPageLeavesTheFocusOnTheLogInAndEnterLogsIn)
{
    // Shown once every window is made, and as the program shows it: the start page first.
    for (const bool startPageFirst : {false, true}) {
        SCOPED_TRACE(startPageFirst ? "the start page first" : "every window made");
        AppEnv env(true, [&] {
            if (startPageFirst)
                input::showActive(Form_Main, nullptr);
        });
        int logins = 0;
        Form_Main->hooks.showLogin = [&] {
            ++logins;
            return false;
        };
        int connections = 0;
        Form_Main->hooks.showConnection = [&] { return ++connections, false; };
        input::showActive(Form_Main, nullptr);
        // A cancelled log-in leaves the focus where it was: the next click and Enter log in again.
        for (int login = 1; login <= 2; ++login) {
            QTest::mouseClick(Form_Main->Sheet_Hello, Qt::LeftButton);
            EXPECT_EQ(QApplication::focusWidget(), Form_Main->Btn_Vhod);
            input::press(Qt::Key_Return);
            EXPECT_EQ(logins, login);
        }
        EXPECT_EQ(connections, 0);
        Form_Main->hide();
    }
}

TEST(MainWindow, KeepAliveReadsTheVersionTable)
{
    AppEnv env;
    Form_Base->Timer_TimerTimer();
    EXPECT_FALSE(Form_Base->Q_Timer->active());
    // With the server gone the timer's failure is shown, not fatal.
    Form_Base->MyDB->close();
    EXPECT_FALSE(Guard([] { Form_Base->Timer_TimerTimer(); }));
}

TEST(MainWindow, ReconnectButtonRunsTheStartUpAgainWithLoadersActive)
{
    AppEnv env;
    bool dialogShown = false;
    Form_Main->hooks.showConnection = [&] {
        dialogShown = true;
        return true;
    };
    StartupDone = 0;
    Form_Main->Btn_NetClick();
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(StartupDone, 1);
    EXPECT_TRUE(Form_Base->MyDB->connected());
    EXPECT_TRUE(Form_Base->QPerson->active());
}
