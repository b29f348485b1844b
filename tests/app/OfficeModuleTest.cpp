// The program without LibreOffice: it links none of the office's libraries,
// so it starts where no office is installed; the office comes as a module
// loaded on the first print, and a module that cannot load leaves the
// program's office unreachable (every print then says so).

#include "automation/OfficeModule.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(OfficeModule, ProgramNeedsNoOfficeLibraryAndAMissingOfficeIsNoOffice)
{
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QCoreApplication::applicationDirPath() + QStringLiteral("/tarelia")});
    ASSERT_TRUE(readelf.waitForFinished(30000));
    ASSERT_EQ(readelf.exitCode(), 0) << readelf.readAllStandardError().constData();
    const QString needed = QString::fromUtf8(readelf.readAllStandardOutput());
    ASSERT_TRUE(needed.contains(QLatin1String("libQt6Core"))) << "not the program's dynamic section:\n"
                                                              << needed.toStdString();
    EXPECT_FALSE(needed.contains(QLatin1String("libuno_"))) << needed.toStdString();

    // What the loader meets on a computer without the office: no module, or
    // one whose libraries do not load.
    QTemporaryDir dir;
    const QString broken = dir.filePath(automation::OfficeModuleFileName());
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a library");
    f.close();
    for (const QString& path : {dir.filePath(QStringLiteral("none.so")), broken}) {
        QString error;
        EXPECT_EQ(automation::LoadOfficeModule(path, &error), nullptr) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}
