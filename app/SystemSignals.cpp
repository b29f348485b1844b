#include "SystemSignals.h"

#include "base/Unit_Base.h"
#include "ui/Unit_Main.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1};  // the handler writes, the event loop reads

sigset_t endSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

void onSignal(int)
{
    const int saved = errno;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeUp[1], &c, 1);
    errno = saved;
}

void setHandler()
{
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

void endProgram()
{
    // A dialog open at the time is cancelled first, then the main window
    // closes as when the user closes it.
    for (int i = 0; i < 20; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        modal->close();
    }
    if (Form_Main)
        Form_Main->close();
    QCoreApplication::exit(0);
}

} // namespace

void BlockEndSignals()
{
    const sigset_t set = endSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void EndOnSystemSignals()
{
    if (wakeUp[0] >= 0 || ::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char buf[16];
        while (::read(wakeUp[0], buf, sizeof buf) > 0) {
        }
        notifier->setEnabled(false);
        endProgram();
    });
    QTimer::singleShot(0, qApp, [] {
        setHandler();
        if (Form_Base)
            QObject::connect(Form_Base, &TForm_Base::startListsReopened, qApp, [] { setHandler(); });
        const sigset_t set = endSignals();
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    });
}
