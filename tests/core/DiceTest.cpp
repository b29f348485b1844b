// The spinning dice: motion, the projection of the cube, the faces shown for
// each nearest corner, the drawing, and the timers that run only while a
// page with dice is shown.

#include "ui/DicePainter.h"
#include "ui/Unit_Dice.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <set>

namespace {

// Corner k (1..8) as the cube's coordinates; the opposite corner has every sign turned.
int opposite(int corner)
{
    // 1 (-1,-1,-1) <-> 7 (1,1,1), 2 <-> 8, 3 <-> 5, 4 <-> 6
    static const int pair[9] = {0, 7, 8, 5, 6, 3, 4, 1, 2};
    return pair[corner];
}

} // namespace

TEST(Dice, AnglesAboveAFullTurnWrapButNegativeAnglesDoNot)
{
    dice::Motion m;
    m.angle = {355, -355, 350};
    m.speed = {10, -10, 10};
    dice::Step(m);
    EXPECT_EQ(m.angle[0], 5);
    EXPECT_EQ(m.angle[1], -365);
    EXPECT_EQ(m.angle[2], 360);  // exactly a full turn stays
    dice::Step(m);
    EXPECT_EQ(m.angle[1], -375);
    EXPECT_EQ(m.angle[2], 10);

    dice::Motion start;
    EXPECT_EQ(start.angle, (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(start.speed, (std::array<int, 3>{10, 10, 10}));
}

TEST(Dice, NewSpeedsStayWithinMinusTenAndTwelve)
{
    dice::Motion m;
    std::set<int> asked;
    int next = 0;
    dice::NewSpeeds(m, [&](int n) {
        asked.insert(n);
        return next++ == 0 ? 0 : 22;
    });
    EXPECT_EQ(asked, std::set<int>{23});  // 0 to 22 inclusive
    EXPECT_EQ(m.speed[0], 12);
    EXPECT_EQ(m.speed[1], -10);
    EXPECT_EQ(m.speed[2], -10);

    const dice::RandomSource real = dice::SystemRandom();
    for (int i = 0; i < 200; ++i) {
        dice::NewSpeeds(m, real);
        for (int s : m.speed) {
            EXPECT_GE(s, -10);
            EXPECT_LE(s, 12);
        }
    }
}

TEST(Dice, TheFacesShownForEachNearestCorner)
{
    // Pips on the face and the nearest corners that show it.
    const std::map<int, std::set<int>> seenFrom = {
        {1, {1, 2, 3, 4}}, {2, {1, 4, 5, 8}}, {3, {1, 2, 5, 6}}, {4, {3, 4, 7, 8}}, {5, {2, 3, 6, 7}}, {6, {5, 6, 7, 8}},
    };
    for (int corner = 1; corner <= 8; ++corner) {
        std::set<int> expected;
        for (const auto& [pips, corners] : seenFrom)
            if (corners.count(corner))
                expected.insert(pips);
        const auto faces = dice::VisibleFaces(corner);
        EXPECT_EQ(std::set<int>(faces.begin(), faces.end()), expected) << "corner " << corner;
        // Opposite faces (1-6, 2-5, 3-4) are never seen together.
        for (int f : faces)
            EXPECT_EQ(std::count(faces.begin(), faces.end(), 7 - f), 0);
    }
    // Each face is drawn round the same corners the table names.
    for (const auto& [pips, corners] : seenFrom) {
        const auto cycle = dice::FaceCorners(pips);
        EXPECT_EQ(std::set<int>(cycle.begin(), cycle.end()), corners) << pips;
        EXPECT_EQ(dice::PipPositions(pips).size(), pips);
    }
}

TEST(Dice, TheNearestCornerAndItsFacesFaceTheViewerWhateverTheTurn)
{
    for (int a = -360; a <= 360; a += 35)
        for (int b = -350; b <= 360; b += 50)
            for (int c = 0; c <= 360; c += 45) {
                const dice::Projection p = dice::Project(49, 49, a, b, c);
                const double nearest = p.depth[p.nearest - 1];
                for (double z : p.depth)
                    ASSERT_LE(z, nearest + 1e-6);
                // A face is seen when its middle lies nearer the viewer than the cube's.
                for (int f : dice::VisibleFaces(p.nearest)) {
                    double sum = 0;
                    for (int k : dice::FaceCorners(f))
                        sum += p.depth[k - 1];
                    ASSERT_GT(sum / 4, -1e-9) << a << ' ' << b << ' ' << c << " face " << f;
                }
            }
}

TEST(Dice, TheProjectionRoundsHalvesAwayFromZeroEverywhere)
{
    EXPECT_EQ(dice::RoundPixel(2.5), 3);
    EXPECT_EQ(dice::RoundPixel(-2.5), -3);
    EXPECT_EQ(dice::RoundPixel(2.4999), 2);

    // 49 / 4 = 12.25 -> 12; 49 / 2 = 24.5 -> 25; 50 / 4 = 12.5 -> 13.
    const dice::Projection p = dice::Project(49, 50, 0, 0, 0);
    EXPECT_EQ(p.scale, 12);
    EXPECT_EQ(p.centre, QPoint(25, 25));
    EXPECT_EQ(dice::Project(50, 52, 0, 0, 0).scale, 13);

    // One rule for every point: opposite corners lie symmetric about the centre.
    for (int a = 0; a < 360; a += 7) {
        const dice::Projection q = dice::Project(49, 49, a, 2 * a, -a);
        for (int k = 1; k <= 8; ++k)
            ASSERT_EQ(q.corner[k - 1] + q.corner[opposite(k) - 1], 2 * q.centre) << a << " corner " << k;
    }

    // Unturned but for the fixed 25 degrees: corner 7 (1, 1, 1) at
    // (cos 25 + sin 25, -sin 25 + cos 25) * 12 = (15.95, 5.81) from the centre.
    EXPECT_EQ(p.corner[6], QPoint(25 + 16, 25 + 6));
}

TEST(Dice, ADieIsDrawnWithItsColoursOnTheBackground)
{
    QImage image(49, 49, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    const QColor background(0xf0, 0xf0, 0xf0);
    dice::Draw(image, 30, 40, -20, Qt::white, Qt::red, background);
    EXPECT_EQ(image.pixelColor(0, 0), background);
    EXPECT_EQ(image.pixelColor(48, 48), background);
    int red = 0, white = 0, other = 0;
    for (int y = 0; y < 49; ++y)
        for (int x = 0; x < 49; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(Qt::red))
                ++red;
            else if (c == QColor(Qt::white))
                ++white;
            else if (c != background)
                ++other;
        }
    EXPECT_GT(red, 300);   // three faces of a die 24 pixels across
    EXPECT_GT(white, 40);  // outlines and pips
    EXPECT_EQ(other, 0);   // nothing cleared in another colour, no smoothing
}

TEST(Dice, TheTimersRunOnlyWhileAPageWithDiceIsShown)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* page = new QWidget(&window);
    auto* other = new QWidget(&window);
    layout->addWidget(page);
    layout->addWidget(other);
    auto* image = new QLabel(page);
    image->setFixedSize(49, 49);
    page->hide();

    TForm_Dice d;
    d.AddDie({page, image, Qt::black, Qt::yellow, -1, 1});
    window.show();
    EXPECT_FALSE(d.Timer1->isActive());
    EXPECT_FALSE(d.Timer2->isActive());
    d.setRandomSource([](int) { return 0; });
    d.Timer2Timer();  // no page shown: the speeds stay
    EXPECT_EQ(d.motion.speed[0], 10);

    page->show();
    EXPECT_TRUE(d.Timer1->isActive());
    EXPECT_EQ(d.Timer1->interval(), 40);
    EXPECT_EQ(d.Timer2->interval(), 3200);
    d.Timer1Timer();
    EXPECT_EQ(d.motion.angle, (std::array<int, 3>{10, 10, 10}));
    ASSERT_FALSE(image->pixmap().isNull());
    EXPECT_EQ(image->pixmap().size(), QSize(49, 49));
    d.Timer2Timer();
    EXPECT_EQ(d.motion.speed, (std::array<int, 3>{12, 12, 12}));

    page->hide();
    EXPECT_FALSE(d.Timer1->isActive());
    EXPECT_FALSE(d.Timer2->isActive());
}
