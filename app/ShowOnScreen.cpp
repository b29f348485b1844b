#include "ShowOnScreen.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Quits a local event loop once the watched window is exposed: its first
// picture is drawn while the exposure is handled, before the loop quits.
class ExposureWatch : public QObject {
public:
    explicit ExposureWatch(QEventLoop* loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
        return false;
    }

private:
    QEventLoop* loop_;
};

} // namespace

void ShowOnScreen(QWidget* window)
{
    window->winId();  // the native window, so that its exposure can be watched
    QEventLoop wait;
    ExposureWatch watch(&wait);
    window->windowHandle()->installEventFilter(&watch);
    QTimer::singleShot(2000, &wait, &QEventLoop::quit);  // a display that never shows it
    window->show();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    window->windowHandle()->removeEventFilter(&watch);
}
