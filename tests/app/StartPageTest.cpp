// The start page's clock and dice run only while the page is shown.

#include "support/AppEnv.h"

#include "ui/AnalogClock.h"
#include "ui/Unit_Dice.h"
#include "ui/Unit_Main.h"
#include "util/Clock.h"

#include <QLabel>

#include <gtest/gtest.h>

TEST(StartPage, TheClockAndTheDiceRunWhileThePageIsShown)
{
    struct Pinned {
        Pinned() { Clock::setSource([] { return QDateTime(QDate(2026, 3, 10), QTime(14, 25, 7)); }); }
        ~Pinned() { Clock::setSource({}); }
    } pinned;
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
