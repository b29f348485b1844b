#include "DetachedProcess.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace automation {

namespace {

// Closes every descriptor from `first` up, in a child between fork and exec
// (only async-signal-safe calls here).
void closeFrom(int first)
{
#ifdef SYS_close_range
    if (::syscall(SYS_close_range, unsigned(first), ~0u, 0u) == 0)
        return;
#endif
    struct rlimit rl;
    const long top = ::getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY ? long(rl.rlim_cur) : 65536;
    for (long fd = first; fd < top; ++fd)
        ::close(int(fd));
}

ssize_t readFully(int fd, void* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, static_cast<char*>(buffer) + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

} // namespace

bool StartDetached(const DetachedStart& start, qint64* pid)
{
    // Everything the children need is made before the fork.
    const QByteArray program = QFile::encodeName(start.program);
    std::vector<QByteArray> args{program};
    for (const QString& a : start.arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray out = start.outputFile.isEmpty() ? QByteArrayLiteral("/dev/null") : QFile::encodeName(start.outputFile);

    const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int log = ::open(out.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    // The middle child reports the program's pid; the program reports a failed exec (closed on a good one).
    int pidPipe[2] = {-1, -1};
    int execPipe[2] = {-1, -1};
    if (in < 0 || log < 0 || ::pipe2(pidPipe, O_CLOEXEC) != 0 || ::pipe2(execPipe, O_CLOEXEC) != 0) {
        for (int fd : {in, log, pidPipe[0], pidPipe[1]})
            if (fd >= 0)
                ::close(fd);
        return false;
    }

    const pid_t child = ::fork();
    if (child == 0) {
        // The middle child: a session of its own, then the program in a grandchild it leaves to init.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::dup2(in, 0);
            ::dup2(log, 1);
            ::dup2(log, 2);
            // The exec report stays at 3, closed by the exec itself; nothing else of ours goes along.
            if (execPipe[1] != 3 && ::dup3(execPipe[1], 3, O_CLOEXEC) < 0)
                ::_exit(127);
            closeFrom(4);
            ::execv(argv[0], argv.data());
            const int error = errno;
            ssize_t ignored = ::write(3, &error, sizeof error);
            (void)ignored;
            ::_exit(127);
        }
        const qint64 started = grandchild;
        ssize_t ignored = ::write(pidPipe[1], &started, sizeof started);
        (void)ignored;
        ::_exit(grandchild > 0 ? 0 : 1);
    }
    for (int fd : {pidPipe[1], execPipe[1], in, log})
        ::close(fd);
    qint64 started = -1;
    bool ok = false;
    if (child > 0) {
        const ssize_t n = readFully(pidPipe[0], &started, sizeof started);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        int execError = 0;
        const bool execFailed = readFully(execPipe[0], &execError, sizeof execError) == sizeof execError;
        ok = n == sizeof started && started > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !execFailed;
    }
    ::close(pidPipe[0]);
    ::close(execPipe[0]);
    if (ok && pid)
        *pid = started;
    return ok;
}

} // namespace automation
