#include "ProgramFiles.h"

#include "Scrambler.h"
#include "db/Codec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <stdexcept>

namespace {

const QString kNetTxt = QStringLiteral("Net.txt");
const QString kPswTxt = QStringLiteral("psw.txt");
const QString kHidenetTxt = QStringLiteral("hidenet.txt");
const QString kNetServedTxt = QStringLiteral("NetServed.txt");

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Не удалось прочитать файл \"%1\": %2").arg(path, file.errorString()));
    return file.readAll();
}

// Replaces the file in one step, so a failed write leaves the old one.
void writeAll(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("Не удалось записать файл \"%1\": %2").arg(path, file.errorString()));
}

// Splits off the next line, ended by LF or CR LF; false when nothing is left.
bool nextLine(const QByteArray& bytes, qsizetype& pos, QByteArray& line)
{
    if (pos >= bytes.size())
        return false;
    qsizetype end = bytes.indexOf('\n', pos);
    const qsizetype next = end < 0 ? bytes.size() : end + 1;
    if (end < 0)
        end = bytes.size();
    else if (end > pos && bytes[end - 1] == '\r')
        --end;
    line = bytes.mid(pos, end - pos);
    pos = next;
    return true;
}

QByteArray encodeLine(const QString& text, const QString& path)
{
    if (!db::unstorableCharacters(text).isEmpty())
        fail(QStringLiteral("Строку \"%1\" нельзя записать в файл \"%2\": она содержит символы вне кодировки Windows-1251.")
                 .arg(text, path));
    return db::toCp1251(text) + "\r\n";
}

} // namespace

QString programFolder()
{
    QString folder = qEnvironmentVariable("TARELIA_HOME");
    if (folder.isEmpty())
        folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    else
        folder = QDir(folder).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

NetSettings readNetTxt()
{
    const QString path = programFolder() + kNetTxt;
    const QByteArray bytes = readAll(path);
    qsizetype pos = 0;
    QByteArray mode, connection;
    if (!nextLine(bytes, pos, mode) || !nextLine(bytes, pos, connection))
        fail(QStringLiteral("В файле \"%1\" должно быть две строки: режим подключения и путь к базе данных.").arg(path));
    return {db::fromCp1251(mode), db::fromCp1251(connection)};
}

void writeNetTxt(const NetSettings& settings)
{
    const QString path = programFolder() + kNetTxt;
    writeAll(path, encodeLine(settings.mode, path) + encodeLine(settings.connection, path));
}

bool ensureDefaultNetTxt()
{
    const QString folder = programFolder();
    if (QFileInfo::exists(folder + kNetTxt))
        return false;
    writeNetTxt({QStringLiteral("Local"), QStringLiteral("localhost:") + folder + QStringLiteral("basecalc.fdb")});
    return true;
}

QByteArray encodePsw(const QByteArray& password, Scrambler& scrambler)
{
    return scrambler.ApplyFixedKey(scrambler.ScrambleString(password));
}

QByteArray decodePsw(const QByteArray& fileBytes, Scrambler& scrambler)
{
    return scrambler.UnscrambleString(scrambler.ApplyFixedKey(fileBytes));
}

std::optional<QByteArray> readPswTxt(Scrambler& scrambler)
{
    const QString path = programFolder() + kPswTxt;
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const QByteArray password = decodePsw(readAll(path), scrambler);
    // The database client takes a password of at most 255 bytes.
    if (password.size() > 255)
        throw std::runtime_error("Файл psw.txt повреждён: пароль в нём длиннее 255 байт. Удалите файл или задайте "
                                 "пароль заново (\"Подключения\", \"Системный пароль для соединения с базой данных\").");
    return password;
}

void writePswTxt(const QByteArray& password, Scrambler& scrambler)
{
    writeAll(programFolder() + kPswTxt, encodePsw(password, scrambler));
}

bool hidenetPresent()
{
    return QFileInfo::exists(programFolder() + kHidenetTxt);
}

namespace {

QStringList servedPaths()
{
    QFile file(programFolder() + kNetServedTxt);
    QStringList paths;
    if (!file.open(QIODevice::ReadOnly))
        return paths;
    const QByteArray bytes = file.readAll();
    QByteArray line;
    for (qsizetype pos = 0; nextLine(bytes, pos, line);)
        if (!line.isEmpty())
            paths << db::fromCp1251(line);
    return paths;
}

} // namespace

bool servedByLocalServer(const QString& path)
{
    return !path.isEmpty() && servedPaths().contains(path);
}

void rememberServedByLocalServer(const QString& path)
{
    QStringList paths = servedPaths();
    if (path.isEmpty() || paths.contains(path) || !db::unstorableCharacters(path).isEmpty())
        return;
    paths << path;
    const QString file = programFolder() + kNetServedTxt;
    QByteArray bytes;
    for (const QString& p : paths)
        bytes += encodeLine(p, file);
    try {
        writeAll(file, bytes);
    } catch (const std::runtime_error&) {
        // A folder the program may not write to: the other rules still tell a shared database.
    }
}
