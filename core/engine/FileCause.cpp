#include "FileCause.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <initializer_list>

namespace engine {

namespace {

bool saysOneOf(const QString& systemText, std::initializer_list<int> errors)
{
    for (int e : errors)
        if (systemText == qt_error_string(e))
            return true;
    return false;
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The folder a file goes into is missing, or one on its way is a file:
// the cause, or nothing when the folder is there.
QString missingFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return {};
    QFileInfo up(folder);
    while (!up.exists() && !up.isRoot() && up.absolutePath() != up.absoluteFilePath())
        up = QFileInfo(up.absolutePath());
    if (up.exists() && !up.isDir())
        return shown(up.absoluteFilePath()) + QStringLiteral(" — это файл, а не папка. Выберите другую папку");
    return QStringLiteral("папки ") + shown(folder) + QStringLiteral(" нет. Выберите другую папку");
}

} // namespace

QString ReadFailureCause(const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return QStringLiteral("такого файла нет");
    if (file.isDir())
        return QStringLiteral("это папка, а не файл");
    if (!file.isReadable())
        return QStringLiteral("программе не разрешено читать этот файл");
    return QStringLiteral("файл не удалось прочитать");
}

QString WriteFailureCause(const QString& path, const QString& systemText)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("это папка, а не файл. Выберите другое имя файла");
    if (const QString missing = missingFolder(file.absolutePath()); !missing.isEmpty())
        return missing;
    if (saysOneOf(systemText, {ENOSPC, EDQUOT}))
        return QStringLiteral("на диске нет свободного места");
    if (saysOneOf(systemText, {EFBIG}))
        return QStringLiteral("файл превысил допустимый размер");
    if (saysOneOf(systemText, {ENAMETOOLONG}))
        return QStringLiteral("имя файла слишком длинное. Выберите другое имя");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("файл доступен только для чтения. Выберите другой файл или папку");
    if (saysOneOf(systemText, {EROFS, EACCES, EPERM}) || !QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral("в папку ") + shown(file.absolutePath()) +
               QStringLiteral(" нельзя записывать. Выберите другую папку");
    return QStringLiteral("файл не удалось записать");
}

} // namespace engine
