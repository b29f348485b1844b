#include "Scaling.h"

#include "util/Globals.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

bool IsNarrowScreen(int w, int h)
{
    // Compared without rounding: a 4:3 screen is not narrow.
    return static_cast<long long>(w) * 3 < static_cast<long long>(h) * 4;
}

double ZoomFactor(int w, int h, bool honourNarrow, double heightBase, double widthBase)
{
    if (honourNarrow && IsNarrowScreen(w, h))
        return w / widthBase;
    return h / heightBase;
}

void ScaleWindow(QWidget* window, bool honourNarrow, double heightBase, double widthBase)
{
    if (WindowZoom) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect g = screen ? screen->geometry() : QRect(0, 0, 800, 600);
        const double k = ZoomFactor(g.width(), g.height(), honourNarrow && NarrowScreen, heightBase, widthBase);
        QFont f = window->font();
        f.setPointSizeF(f.pointSizeF() * k);
        window->setFont(f);
        window->resize(static_cast<int>(window->width() * k), static_cast<int>(window->height() * k));
    }
    window->move(0, 0);
}
