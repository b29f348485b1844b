// The floor of the program's start: a minimal Qt Widgets program, linked with
// the shared libraries the program loads, that shows one window and ends once
// the window is on the screen, by the program's own ShowOnScreen. Timed from
// outside beside `bench_startup_process run`, in the same run and on the same
// display, for their ratio:
//
//     bench_start_window            prints the time from entering main to the window on the screen
//
// Nothing of the program runs: no settings, no database, no other window.

#include "ShowOnScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Тарелия"));
    w.setCentralWidget(new QLabel(QStringLiteral("Тарелия"), &w));
    w.resize(800, 600);
    ShowOnScreen(&w);
    std::printf("window on the screen after %lld ms\n", static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    std::_Exit(0);
}
