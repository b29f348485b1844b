#pragma once

// Starts a program that outlives this one (the spreadsheet program the user
// keeps working in) without handing it any of this program's open files: the
// database, its lock files and sockets stay ours, so that this program can
// end and start again while the other keeps running.

#include <QString>
#include <QStringList>

namespace automation {

struct DetachedStart {
    QString program;
    QStringList arguments;
    QString outputFile;  // standard output and error are appended here; empty: /dev/null
};

// Starts the program in a session of its own, with standard input from
// /dev/null and no other descriptor of this process. True when it was
// started; `pid` then holds its process id.
bool StartDetached(const DetachedStart& start, qint64* pid = nullptr);

} // namespace automation
