#include "DicePainter.h"

#include <QPainter>
#include <QPolygon>
#include <QRandomGenerator>

#include <cmath>

namespace dice {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr double kFixedTurn = 25.0;

// Corner k (1..8) of the unit cube at index k - 1.
constexpr std::array<std::array<int, 3>, 8> kCube = {{
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, -1, -1}, {1, -1, 1}, {1, 1, 1}, {1, 1, -1},
}};

// The nearest corners for which the face with k pips (index k - 1) is seen.
constexpr std::array<std::array<int, 4>, 6> kSeenFrom = {{
    {1, 2, 3, 4},
    {1, 4, 5, 8},
    {1, 2, 5, 6},
    {3, 4, 7, 8},
    {2, 3, 6, 7},
    {5, 6, 7, 8},
}};

// The same faces as corner cycles, so that they can be filled as quadrilaterals.
constexpr std::array<std::array<int, 4>, 6> kFaceCycle = {{
    {1, 2, 3, 4},
    {1, 4, 8, 5},
    {1, 2, 6, 5},
    {4, 3, 7, 8},
    {2, 3, 7, 6},
    {5, 6, 7, 8},
}};

// (u, v) -> (cos a * u + sin a * v, -sin a * u + cos a * v)
void turn(double& u, double& v, double degrees)
{
    const double a = degrees * kDegree;
    const double c = std::cos(a), s = std::sin(a);
    const double nu = c * u + s * v;
    const double nv = -s * u + c * v;
    u = nu;
    v = nv;
}

struct Exact {
    std::array<QPointF, 8> point;  // projected, before rounding
};

Exact projectExact(const Projection& p, const std::array<std::array<double, 3>, 8>& rotated)
{
    Exact e;
    for (int i = 0; i < 8; ++i)
        e.point[i] = QPointF(p.centre.x() + rotated[i][0] * p.scale, p.centre.y() + rotated[i][1] * p.scale);
    return e;
}

std::array<std::array<double, 3>, 8> rotate(double first, double second, double third)
{
    std::array<std::array<double, 3>, 8> r{};
    for (int i = 0; i < 8; ++i) {
        double x = kCube[i][0], y = kCube[i][1], z = kCube[i][2];
        turn(x, y, first);
        turn(x, y, third);
        turn(x, z, second);
        turn(x, y, kFixedTurn);
        r[i] = {x, y, z};
    }
    return r;
}

Projection projectRotated(int width, int height, const std::array<std::array<double, 3>, 8>& r)
{
    Projection p;
    p.scale = RoundPixel(std::min(width, height) / 4.0);
    p.centre = QPoint(RoundPixel(width / 2.0), RoundPixel(height / 2.0));
    qint64 best = 0;
    for (int i = 0; i < 8; ++i) {
        p.corner[i] = QPoint(p.centre.x() + RoundPixel(r[i][0] * p.scale), p.centre.y() + RoundPixel(r[i][1] * p.scale));
        p.depth[i] = r[i][2];
        // Compared in millionths, so that corners level within rounding keep the lower number.
        const qint64 z = std::llround(r[i][2] * 1000000.0);
        if (i == 0 || z > best) {
            best = z;
            p.nearest = i + 1;
        }
    }
    return p;
}

} // namespace

RandomSource SystemRandom()
{
    return [](int n) { return static_cast<int>(QRandomGenerator::global()->bounded(n)); };
}

void Step(Motion& m)
{
    for (int i = 0; i < 3; ++i) {
        m.angle[i] += m.speed[i];
        if (m.angle[i] > 360)
            m.angle[i] -= 360;
    }
}

void NewSpeeds(Motion& m, const RandomSource& random)
{
    for (int& s : m.speed)
        s = 12 - random(23);
}

int RoundPixel(double v) { return static_cast<int>(std::lround(v)); }

Projection Project(int width, int height, double first, double second, double third)
{
    return projectRotated(width, height, rotate(first, second, third));
}

std::array<int, 3> VisibleFaces(int nearestCorner)
{
    std::array<int, 3> faces{};
    int n = 0;
    for (int k = 0; k < 6 && n < 3; ++k)
        for (int c : kSeenFrom[k])
            if (c == nearestCorner) {
                faces[n++] = k + 1;
                break;
            }
    return faces;
}

std::array<int, 4> FaceCorners(int pips) { return kFaceCycle[pips - 1]; }

QList<QPointF> PipPositions(int pips)
{
    constexpr double lo = 0.25, mid = 0.5, hi = 0.75;
    switch (pips) {
    case 1:
        return {{mid, mid}};
    case 2:
        return {{lo, lo}, {hi, hi}};
    case 3:
        return {{lo, lo}, {mid, mid}, {hi, hi}};
    case 4:
        return {{lo, lo}, {hi, lo}, {lo, hi}, {hi, hi}};
    case 5:
        return {{lo, lo}, {hi, lo}, {mid, mid}, {lo, hi}, {hi, hi}};
    case 6:
        return {{lo, lo}, {lo, mid}, {lo, hi}, {hi, lo}, {hi, mid}, {hi, hi}};
    default:
        return {};
    }
}

void Draw(QImage& image, double first, double second, double third, const QColor& pip, const QColor& face,
          const QColor& background)
{
    QPainter p(&image);
    p.fillRect(image.rect(), background);

    const auto rotated = rotate(first, second, third);
    const Projection pr = projectRotated(image.width(), image.height(), rotated);
    const Exact exact = projectExact(pr, rotated);

    for (int pips : VisibleFaces(pr.nearest)) {
        const auto corners = FaceCorners(pips);
        QPolygon quad;
        for (int c : corners)
            quad << pr.corner[c - 1];
        p.setPen(QPen(pip, 1));
        p.setBrush(face);
        p.drawPolygon(quad);

        // A pip is a circle on the face, drawn as the polygon it projects to.
        const QPointF o = exact.point[corners[0] - 1];
        const QPointF du = exact.point[corners[1] - 1] - o;
        const QPointF dv = exact.point[corners[3] - 1] - o;
        constexpr double radius = 0.09;
        constexpr int sides = 12;
        p.setBrush(pip);
        for (const QPointF& at : PipPositions(pips)) {
            QPolygon dot;
            for (int i = 0; i < sides; ++i) {
                const double a = 2 * 3.14159265358979323846 * i / sides;
                const QPointF q = o + du * (at.x() + radius * std::cos(a)) + dv * (at.y() + radius * std::sin(a));
                dot << QPoint(RoundPixel(q.x()), RoundPixel(q.y()));
            }
            p.drawPolygon(dot);
        }
    }
}

} // namespace dice
