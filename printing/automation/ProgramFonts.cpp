#include "ProgramFonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace automation {

QStringList ProgramFontFiles()
{
    const QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QDir fonts(folder + QStringLiteral("/fonts"));
    QStringList files;
    for (const QString& name : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
        files << fonts.filePath(name);
    return files;
}

QString UserFontFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/fonts");
}

bool InstallFonts(const QStringList& files, const QString& folder)
{
    if (files.isEmpty())
        return true;
    bool all = QDir().mkpath(folder);
    for (const QString& file : files) {
        const QFileInfo from(file);
        const QString to = folder + QLatin1Char('/') + from.fileName();
        if (QFileInfo(to).size() == from.size())
            continue;
        QFile::remove(to);
        all = QFile::copy(file, to) && all;
    }
    return all;
}

} // namespace automation
