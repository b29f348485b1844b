#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <array>
#include <functional>

// The spinning die of the start page and of the menus and production tabs:
// its motion, the projection of the rotated cube and the drawing of one die
// into an image. No window is needed; the dice window drives it.
namespace dice {

// Three rotation angles in whole degrees and three speeds in degrees per step.
struct Motion {
    std::array<int, 3> angle{0, 0, 0};
    std::array<int, 3> speed{10, 10, 10};
};

// A uniform random integer from 0 to n - 1.
using RandomSource = std::function<int(int n)>;
// The program's source (Qt's global generator).
RandomSource SystemRandom();

// One animation step: each speed is added to its angle; an angle above 360
// loses 360 (negative angles are left as they are).
void Step(Motion& m);
// New speeds: 12 minus a random integer from 0 to 22, so -10 to 12.
void NewSpeeds(Motion& m, const RandomSource& random);

// Rounding to pixels, the one rule of the projection: halves away from zero.
int RoundPixel(double v);

// The rotated cube seen from the front. Corners are numbered 1 to 8:
// 1 (-1,-1,-1), 2 (-1,-1,1), 3 (-1,1,1), 4 (-1,1,-1),
// 5 (1,-1,-1), 6 (1,-1,1), 7 (1,1,1), 8 (1,1,-1).
struct Projection {
    std::array<QPoint, 8> corner;     // corner k at index k - 1, in pixels
    std::array<double, 8> depth{};    // z of each rotated corner
    int nearest = 1;                  // the corner nearest the viewer (largest z)
    int scale = 0;                    // pixels per cube unit
    QPoint centre;
};

// Rotates the cube by the three angles (degrees) and projects it into an
// image of the given size: first angle and third angle in the x-y plane,
// the second in the x-z plane, then a fixed 25 degrees in the x-y plane.
Projection Project(int width, int height, double first, double second, double third);

// The faces shown when the given corner is nearest, as pip counts in
// ascending order (three of 1 to 6).
std::array<int, 3> VisibleFaces(int nearestCorner);
// The corners (1 to 8) of the face with the given pip count, in order round the face.
std::array<int, 4> FaceCorners(int pips);
// The centres of the pips of a face as fractions (s, t) of its two edges
// from its first corner.
QList<QPointF> PipPositions(int pips);

// Draws one die: the image is cleared with the background colour, the three
// visible faces are filled with the face colour and outlined in the pip
// colour, and their pips drawn in the pip colour.
void Draw(QImage& image, double first, double second, double third, const QColor& pip, const QColor& face,
          const QColor& background);

} // namespace dice
