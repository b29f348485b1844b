#include "Scaling.h"

#include "util/Globals.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>

void ScaleWindow(QWidget* window, bool honourNarrow, double heightBase, double widthBase)
{
    static const char* const kScaled = "tareliaScaled";
    if (WindowZoom && !window->property(kScaled).toBool()) {
        window->setProperty(kScaled, true);
        const double k = CurrentZoom(honourNarrow, heightBase, widthBase);
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
    // A window drawn for a larger screen keeps within this one, frame included.
    if (const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        QSize frame = window->frameGeometry().size() - window->geometry().size();
        if (frame.isNull() && !window->isVisible()) {
            // Not shown yet: the frame a window manager will draw, as the style sees it.
            const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
            frame = QSize(2 * border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
        }
        const QSize room = screen->availableGeometry().size() - frame;
        if (window->width() > room.width() || window->height() > room.height())
            window->resize(window->size().boundedTo(room).expandedTo(window->minimumSize()));
    }
    window->move(0, 0);
}
