#include "platform/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/FileLock.h"
#include "platform/SysIo.h"
#include "platform/WorkFile.h"

namespace tavrin {

namespace {

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

mode_t DefaultMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a path names, with symbolic links followed; the path itself when it does not exist.
QByteArray ResolvedTarget(const QByteArray& target)
{
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(target.constData(), buf)) return QByteArray(buf);
    }
    return target;
}

Status CopyInto(int from, int to, const QString& source, const QString& temp)
{
    std::vector<char> buf(1 << 20);
    std::int64_t offset = 0;
    for (;;) {
        const ssize_t got = ::read(from, buf.data(), buf.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return Status::error(QStringLiteral("Cannot read %1: %2").arg(source, ErrnoText(errno)));
        }
        if (got == 0) return {};
        int err = 0;
        if (!PwriteAll(to, buf.data(), static_cast<std::size_t>(got), offset, &err)) {
            return Status::error(QStringLiteral("Cannot write %1: %2").arg(temp, ErrnoText(err)));
        }
        offset += got;
    }
}

}  // namespace

Status ReplaceFileWithCopy(const QString& source, const QString& target, FileLock* lock)
{
    const QByteArray real = ResolvedTarget(target.toLocal8Bit());
    const qsizetype slash = real.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : real.left(slash));
    const QByteArray base = slash < 0 ? real : real.mid(slash + 1);
    if (base.isEmpty()) return Status::error(QStringLiteral("Cannot replace %1: no file name").arg(target));

    mode_t mode = DefaultMode();
    struct stat st {};
    if (::stat(real.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return Status::error(QStringLiteral("Cannot replace %1: not a regular file").arg(target));
        mode = st.st_mode & 07777;
    }

    const int in = ::open(source.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Status::error(QStringLiteral("Cannot read %1: %2").arg(source, ErrnoText(errno)));

    QByteArray tmpl = folder + (folder.endsWith('/') ? "" : "/") + "." + base + ".XXXXXX";
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return Status::error(
            QStringLiteral("Cannot create a file in %1: %2").arg(QString::fromLocal8Bit(folder), ErrnoText(err)));
    }
    const QString temp = QString::fromLocal8Bit(tmpl);
    const auto fail = [&](Status s) {
        ::close(in);
        ::close(out);
        ::unlink(tmpl.constData());
        return s;
    };

    if (::fchmod(out, mode) != 0)
        return fail(Status::error(QStringLiteral("Cannot set the permissions of %1: %2").arg(temp, ErrnoText(errno))));
    // Locked before it takes the target's name, so that the target is never unprotected.
    const bool locked = lock && FileLock::LockDescriptor(out) == 0;
    if (Status s = CopyInto(in, out, source, temp); !s) return fail(s);
    if (SysIo::Fsync(out) != 0)
        return fail(Status::error(QStringLiteral("Cannot write %1: %2").arg(temp, ErrnoText(errno))));
    if (::rename(tmpl.constData(), real.constData()) != 0) {
        return fail(Status::error(QStringLiteral("Cannot replace %1: %2").arg(target, ErrnoText(errno))));
    }
    ::close(in);
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    if (locked) {
        lock->Adopt(out, target);
    } else {
        ::close(out);
        if (lock) lock->Release();
    }
    return {};
}

Status WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray real = ResolvedTarget(QFile::encodeName(path));
    const auto fail = [&](const QString& why) {
        return Status::error(QStringLiteral("Cannot write %1: %2").arg(path, why));
    };
    struct stat st {};
    const bool exists = ::stat(real.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe is written as it is; a folder refuses.
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail(f.errorString());
        if (f.write(bytes) != bytes.size() || !f.flush()) return fail(f.errorString());
        f.close();
        if (f.error() != QFileDevice::NoError) return fail(f.errorString());
        return {};
    }

    // A file is written beside itself and then takes its name, so that a failure (a full disk)
    // leaves the file it would have replaced as it was.
    const qsizetype slash = real.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : real.left(slash));
    const QByteArray base = slash < 0 ? real : real.mid(slash + 1);
    if (base.isEmpty()) return fail(QStringLiteral("no file name"));
    QByteArray tmpl = folder + (folder.endsWith('/') ? "" : "/") + "." + base + ".XXXXXX";
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) return fail(ErrnoText(errno));
    int err = 0;
    const bool written = ::fchmod(out, exists ? st.st_mode & 07777 : DefaultMode()) == 0 &&
                         PwriteAll(out, bytes.constData(), static_cast<std::size_t>(bytes.size()), 0, &err);
    if (!written && err == 0) err = errno;
    if (::close(out) != 0 && written) err = errno;
    if (err != 0 || ::rename(tmpl.constData(), real.constData()) != 0) {
        if (err == 0) err = errno;
        ::unlink(tmpl.constData());
        return fail(ErrnoText(err));
    }
    return {};
}

void RemovePath(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.isSymLink() || fi.isFile()) {
        QFile::remove(path);
    } else if (fi.isDir()) {
        QDir(path).removeRecursively();
    }
}

}  // namespace tavrin
