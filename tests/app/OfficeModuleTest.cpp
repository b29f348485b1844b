// The program links none of the office's libraries, so it starts where no
// office is installed; the office is a module loaded on the first print, and
// one that does not load leaves no office (every print then says so).

#include "automation/OfficeModule.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

TEST(OfficeModule, ProgramNeedsNoOfficeLibraryAndAMissingOfficeIsNoOffice)
{
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QCoreApplication::applicationDirPath() + QStringLiteral("/tarelia")});
    ASSERT_TRUE(readelf.waitForFinished(30000));
    const QString needed = QString::fromUtf8(readelf.readAllStandardOutput());
    ASSERT_TRUE(needed.contains(QLatin1String("libQt6Core"))) << "no dynamic section read: " << needed.toStdString();
    EXPECT_FALSE(needed.contains(QLatin1String("libuno_"))) << needed.toStdString();

    QString error;
    EXPECT_EQ(automation::LoadOfficeModule(QStringLiteral("/nonexistent/") + automation::OfficeModuleFileName(), &error),
              nullptr);
    EXPECT_FALSE(error.isEmpty());
}
