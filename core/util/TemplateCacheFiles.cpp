#include "TemplateCacheFiles.h"

#include "ProgramFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

QString TemplateCacheFolder(const QString& connection)
{
    const QByteArray id =
        QCryptographicHash::hash(connection.trimmed().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return programFolder() + QStringLiteral("templates/") + QString::fromLatin1(id) + QLatin1Char('/');
}


void RemoveStaleTemplateFiles(const QString& folder, const QSet<QString>& keep)
{
    QDir dir(folder);
    if (!dir.exists())
        return;
    const QStringList files = dir.entryList({QStringLiteral("*.xls")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& f : files) {
        if (keep.contains(f))
            continue;
        QFile file(dir.filePath(f));
        file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
        file.remove();
    }
}
