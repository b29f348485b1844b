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
        // Controls with a font of their own (titles, bold labels) grow with the rest.
        const QList<QWidget*> own = window->findChildren<QWidget*>();
        QList<QPair<QWidget*, QFont>> explicitFonts;
        for (QWidget* w : own)
            if (w->testAttribute(Qt::WA_SetFont) && w->font().pointSizeF() > 0)
                explicitFonts.append({w, w->font()});
        window->setFont(f);
        for (auto& [w, wf] : explicitFonts) {
            wf.setPointSizeF(wf.pointSizeF() * k);
            w->setFont(wf);
        }
        window->resize(static_cast<int>(window->width() * k), static_cast<int>(window->height() * k));
    }
    window->move(0, 0);
}
