// A program started to outlive this one gets none of our open files.

#include "automation/DetachedProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

TEST(DetachedProcess, TheStartedProgramInheritsNoDescriptor)
{
    QTemporaryDir dir;
    const QString held = dir.filePath(QStringLiteral("held.fdb"));
    const QString listing = dir.filePath(QStringLiteral("fds.txt"));
    // A file opened without close-on-exec, as a database library may hold one.
    const int fd = ::open(QFile::encodeName(held).constData(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);

    qint64 pid = 0;
    ASSERT_TRUE(automation::StartDetached(
        {QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ls -l /proc/$$/fd > '%1.part'; mv '%1.part' '%1'").arg(listing)},
         dir.filePath(QStringLiteral("out.log"))},
        &pid));
    EXPECT_GT(pid, 0);
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(listing) && t.elapsed() < 10000)
        QThread::msleep(20);
    QFile f(listing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray fds = f.readAll();
    ::close(fd);
    EXPECT_FALSE(fds.contains("held.fdb")) << fds.toStdString();
    EXPECT_TRUE(fds.contains("out.log")) << fds.toStdString();  // its output goes where it was told

    // A program that cannot be started is reported.
    EXPECT_FALSE(automation::StartDetached({dir.filePath(QStringLiteral("no-such-program")), {}, {}}));
}
