#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrin {

namespace {
QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}
}  // namespace

FileLock::~FileLock()
{
    Release();
}

int FileLock::LockDescriptor(int fd)
{
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;  // the whole file, however long it grows
    fl.l_pid = 0;  // required by open-file-description locks
    while (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

Status FileLock::Fail(Failure f, const QString& why)
{
    failure_ = f;
    error_ = why;
    return Status::error(QStringLiteral("%1: %2").arg(path_, why));
}

Status FileLock::Acquire(const QString& path, bool create)
{
    Release();
    path_ = path;
    created_ = false;
    failure_ = Failure::None;
    error_.clear();

    const QByteArray native = path.toLocal8Bit();
    if (native.isEmpty()) return Fail(Failure::CannotOpen, ErrnoText(ENOENT));
    int fd = -1;
    if (create) {
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            created_ = true;
        else if (errno != EEXIST)
            return Fail(Failure::CannotOpen, ErrnoText(errno));
    }
    if (fd < 0) {
        // O_NONBLOCK keeps a named pipe from blocking the open; it is refused just below.
        fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            const int err = errno;
            return Fail(err == EISDIR ? Failure::NotAFile : Failure::CannotOpen, ErrnoText(err));
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(Failure::NotAFile, QStringLiteral("not a regular file"));
    }
    const int err = LockDescriptor(fd);
    if (err != 0) {
        ::close(fd);
        if (err == EAGAIN || err == EACCES) return Fail(Failure::InUse, ErrnoText(err));
        return Fail(Failure::CannotOpen, ErrnoText(err));
    }
    fd_ = fd;
    return {};
}

void FileLock::Adopt(int fd, const QString& path)
{
    const int old = fd_;
    fd_ = fd;
    path_ = path;
    created_ = false;
    failure_ = Failure::None;
    error_.clear();
    if (old >= 0 && old != fd) ::close(old);
}

void FileLock::Release()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

int FileLock::Detach()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::int64_t FileLock::Length() const
{
    if (fd_ < 0) return -1;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace tavrin
