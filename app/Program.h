#pragma once

#include <QApplication>

// The application object: every exception that reaches the event loop is
// shown and the write transaction rolled back, never lost or fatal.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Installs Qt's own Russian translations (package qt6-translations-l10n); false when they are not there.
bool LoadQtTranslations(QCoreApplication& app);

// Creates every window in the program's order and runs the start-up
// sequence (unless told not to); returns false when the program must end at once.
bool CreateWindows(bool runStartup = true);
// The same in its two steps, between which the program shows its start page:
// the settings and the main window, then every other window (the attachment
// begun on a thread of its own meanwhile) and the start-up sequence.
void CreateMainWindow();
bool CreateOtherWindows(bool runStartup = true);
// Frees the windows (tests create them again).
void DestroyWindows();
// The program block: the main window on the screen, the other windows, then
// the message loop; the windows and the office connection are released before
// it returns.
int ProgramMain(QApplication& app);
