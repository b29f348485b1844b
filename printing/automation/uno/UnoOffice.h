#pragma once

// LibreOffice Calc through the UNO C++ API. The office is started on demand
// and reached over a named pipe; the connection is kept for later documents
// and made again when the office went away (the user closed it).

#include "automation/ProgramFonts.h"
#include "automation/Spreadsheet.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace automation {

struct UnoOptions {
    // Name of the pipe the office accepts on.
    QString pipeName;
    // Tests and benchmarks: no window at all, and a profile of their own.
    bool headless = false;
    // The office's user profile folder; empty: the user's own profile.
    QString profileFolder;
    // Where the office writes what it prints on start.
    QString logFile;
    // The office's start program.
    QString soffice = QStringLiteral("/usr/lib/libreoffice/program/soffice");
    // How long to wait for a starting office.
    int startTimeoutMs = 30000;
    // Fonts the office is given before it starts: copied into the fonts
    // folder of its profile (the user's own profile when none is named).
    QStringList fontFiles;
};

class UnoOffice : public Office {
public:
    explicit UnoOffice(UnoOptions options);
    // Ends an office this object started headless; a visible one stays for the user.
    ~UnoOffice() override;

    bool connect() override;
    void disconnect() override;
    bool connected() const override;
    std::unique_ptr<Document> newCalc() override;
    std::unique_ptr<Document> loadDocument(const QString& path) override;
    std::unique_ptr<Document> editDocument(const QString& path) override;
    bool hasFont(const QString& family) override;

    // Ends the office (closing every document unsaved).
    void terminate();

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Options for the program: a visible office on a pipe of this user.
UnoOptions ProgramUnoOptions();
// A headless office of this process alone: a pipe named after the process and
// a private profile and log in `folder`.
UnoOptions HeadlessUnoOptions(const QString& folder);

} // namespace automation
