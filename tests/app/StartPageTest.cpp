// The start page: on the screen first, its clock and dice running only while it is shown.

#include "support/AppEnv.h"

#include "Program.h"
#include "ShowOnScreen.h"
#include "base/Unit_Base.h"
#include "util/Globals.h"

#include "ui/AnalogClock.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Main.h"
#include "util/Clock.h"

#include <QApplication>
#include <QLabel>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

struct PinnedClock {
    PinnedClock() { Clock::setSource([] { return QDateTime(QDate(2026, 3, 10), QTime(14, 25, 7)); }); }
    ~PinnedClock() { Clock::setSource({}); }
};

} // namespace

// The program shows its start page before it makes the other windows and
// connects; making them afterwards changes neither the page's size nor its
// picture, and its dice run.
TEST(StartPage, IsOnTheScreenBeforeTheOtherWindowsAndStaysAsItWas)
{
    PinnedClock pinned;
    QImage shown;
    QSize size;
    bool othersMade = true;
    AppEnv env(true, [&] {
        ShowOnScreen(Form_Main);
        EXPECT_TRUE(Form_Main->windowHandle()->isExposed());
        othersMade = Form_Base != nullptr;
        size = Form_Main->size();
        shown = Form_Main->grab().toImage();
    });
    EXPECT_FALSE(othersMade);
    ASSERT_TRUE(Form_Main->isVisible());
    EXPECT_EQ(Form_Main->ActivePage(), Form_Main->Sheet_Hello);
    // Before the dice's first turn.
    EXPECT_TRUE(Form_Main->grab().toImage() == shown) << "the start page changed once the other windows were made";
    QApplication::processEvents();  // the layouts as the event loop settles them
    EXPECT_EQ(Form_Main->size(), size);
    EXPECT_TRUE(Form_Dice->Timer1->isActive());
    EXPECT_TRUE(Form_Base->MyDB->connected());
    EXPECT_EQ(StartupDone, 1);
}

TEST(StartPage, TheClockAndTheDiceRunWhileThePageIsShown)
{
    PinnedClock pinned;
    AppEnv env;
    EXPECT_FALSE(Form_Main->JvAnalogClock1->running());  // stopped until shown
    EXPECT_FALSE(Form_Dice->Timer1->isActive());

    Form_Main->show();
    EXPECT_TRUE(Form_Main->JvAnalogClock1->running());
    EXPECT_EQ(Form_Main->JvAnalogClock1->shownTime(), QTime(14, 25, 7));
    EXPECT_TRUE(Form_Dice->Timer1->isActive());
    EXPECT_TRUE(Form_Dice->Timer2->isActive());

    // The four dice are drawn into the start page's images at their design size.
    Form_Dice->Timer1Timer();
    for (QLabel* image : {Form_Main->Image2, Form_Main->Image3, Form_Main->Image4, Form_Main->Image5})
        EXPECT_EQ(image->pixmap().size(), QSize(49, 49));
    const QImage red = Form_Main->Image2->pixmap().toImage();
    bool hasRed = false;
    for (int y = 0; y < red.height() && !hasRed; ++y)
        for (int x = 0; x < red.width() && !hasRed; ++x)
            hasRed = red.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_TRUE(hasRed);

    env.loginAs(QStringLiteral("Администратор"));
    Form_Main->Apply_UserRights();  // the products tab replaces the start page
    EXPECT_FALSE(Form_Main->JvAnalogClock1->running());
    EXPECT_FALSE(Form_Dice->Timer1->isActive());
    EXPECT_FALSE(Form_Dice->Timer2->isActive());
}
