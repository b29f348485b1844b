#include "SystemSignals.h"

#include "ui/Unit_Main.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t endSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
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
    const sigset_t set = endSignals();
    const int fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd < 0)
        return;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [fd, notifier] {
        signalfd_siginfo info;
        bool any = false;
        while (::read(fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            any = true;
        if (!any)
            return;
        notifier->setEnabled(false);
        endProgram();
    });
}
