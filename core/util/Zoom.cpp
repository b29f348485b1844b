#include "Zoom.h"

#include "Globals.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>

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

bool SystemScalesFonts()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return false;
    return screen->devicePixelRatio() > 1.0 || std::abs(screen->logicalDotsPerInch() - 96.0) > 1.0;
}

double CurrentZoom(bool honourNarrow, double heightBase, double widthBase)
{
    if (!WindowZoom)
        return 1.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect g = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    return ZoomFactor(g.width(), g.height(), honourNarrow && NarrowScreen, heightBase, widthBase);
}

namespace {

const char* const kZoomed = "tareliaZoomed";

class PopupZoom : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::Polish || !WindowZoom || !o->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(o);
        if (!w->isWindow() || w->property(kZoomed).toBool())
            return false;
        const bool popup = w->windowType() == Qt::Popup || qobject_cast<QMenu*>(w);
        if (popup && w->parentWidget()) {
            // The window it belongs to is scaled already.
            w->setProperty(kZoomed, true);
            w->setFont(w->parentWidget()->font());
        } else if (popup || qobject_cast<QMessageBox*>(w)) {
            ZoomFont(w);
        }
        return false;
    }
};

} // namespace

void ZoomPopupsFromNowOn()
{
    static PopupZoom* filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new PopupZoom(qApp);
    qApp->installEventFilter(filter);
}

void ZoomFont(QWidget* widget, bool honourNarrow)
{
    if (!widget || !WindowZoom || widget->property(kZoomed).toBool())
        return;
    widget->setProperty(kZoomed, true);
    const double k = CurrentZoom(honourNarrow);
    QFont f = widget->font();
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * k);
    else if (f.pixelSize() > 0)
        f.setPixelSize(static_cast<int>(std::lround(f.pixelSize() * k)));
    widget->setFont(f);
}
