#include "support/OtherProcess.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace tavrin::test {

namespace {

// Only async-signal-safe calls after fork: the child opens, locks, reports one byte.
bool ChildLock(const char* path)
{
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0;  // the descriptor stays open until _exit
}

}  // namespace

bool OtherProcessCanLock(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(ChildLock(native.constData()) ? 0 : 1);
    if (pid < 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

OtherProcessLock::OtherProcessLock(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0) return;
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        const char ok = ChildLock(native.constData()) ? 1 : 0;
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);  // returns when the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 0;
    if (pid_ > 0 && ::read(ready[0], &ok, 1) == 1) held_ = ok == 1;
    ::close(ready[0]);
}

OtherProcessLock::~OtherProcessLock()
{
    if (release_ >= 0) ::close(release_);
    if (pid_ > 0) {
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

FileSizeLimit::FileSizeLimit(long long bytes)
{
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl {};
    ::getrlimit(RLIMIT_FSIZE, &rl);
    oldSoft_ = static_cast<long long>(rl.rlim_cur);
    oldHard_ = static_cast<long long>(rl.rlim_max);
    rl.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &rl);
}

FileSizeLimit::~FileSizeLimit()
{
    struct rlimit rl {};
    rl.rlim_cur = static_cast<rlim_t>(oldSoft_);
    rl.rlim_max = static_cast<rlim_t>(oldHard_);
    ::setrlimit(RLIMIT_FSIZE, &rl);
}

}  // namespace tavrin::test
