#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class Scrambler;

// The small files beside the program: the connection settings (Net.txt), the
// scrambled database password (psw.txt) and the marker that hides the
// connection button (hidenet.txt). Failures throw std::runtime_error with a
// message for the user.

// The program's folder with a trailing '/': $TARELIA_HOME when set and not
// empty, else the executable's folder (the current folder without an
// application object).
QString programFolder();

struct NetSettings {
    QString mode;       // "Local" or "Net-IP"
    QString connection; // handed to the database as it stands
};

// Net.txt: Windows-1251 text, line 1 the mode, line 2 the connection string
// exactly as read (only the line ending is removed).
NetSettings readNetTxt();
// Writes both lines, each ended CR LF. Text that Windows-1251 cannot hold is
// refused and the file is left as it was.
void writeNetTxt(const NetSettings& settings);
// Writes "Local" and "localhost:" + programFolder() + "basecalc.fdb" when
// Net.txt is missing; true when it wrote.
bool ensureDefaultNetTxt();

// psw.txt: the password scrambled with a time stamp, then once more with the
// fixed key; the file holds exactly these bytes.
QByteArray encodePsw(const QByteArray& password, Scrambler& scrambler);
QByteArray decodePsw(const QByteArray& fileBytes, Scrambler& scrambler);
// The decoded password, or nothing when psw.txt does not exist.
std::optional<QByteArray> readPswTxt(Scrambler& scrambler);
void writePswTxt(const QByteArray& password, Scrambler& scrambler);

// Whether hidenet.txt lies in the program's folder (its content is never read).
bool hidenetPresent();

// NetServed.txt: the database files a Firebird server of this computer has
// served to this workstation, a path a line (Windows-1251, CR LF). Such a file
// is shared: opened through the embedded engine it would lock every other
// workstation out. Kept as far as the folder allows: a folder that cannot be
// written, or a path Windows-1251 cannot hold, keeps nothing.
bool servedByLocalServer(const QString& path);
void rememberServedByLocalServer(const QString& path);
