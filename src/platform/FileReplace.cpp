#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>
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

// The folder of a file's path and its name.
std::pair<QByteArray, QByteArray> SplitPath(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return {QByteArray("."), path};
    return {slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

// The template of a file written beside base in folder: "." + base + "." + six characters.
QByteArray BesideTemplate(const QByteArray& folder, const QByteArray& base)
{
    return folder + (folder.endsWith('/') ? "" : "/") + "." + base + ".XXXXXX";
}

// A rename reaches the disk with its folder.
void SyncFolder(const QByteArray& folder)
{
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

Status CopyInto(int from, int to, const QString& source, const QString& temp)
{
    std::vector<char> buf(1 << 20);
    std::int64_t offset = 0;
    for (;;) {
        const ssize_t got = ::read(from, buf.data(), buf.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            return Status::error(QStringLiteral("Cannot read %1: %2").arg(source, ErrnoText(err)), err);
        }
        if (got == 0) return {};
        int err = 0;
        if (!PwriteAll(to, buf.data(), static_cast<std::size_t>(got), offset, &err)) {
            return Status::error(QStringLiteral("Cannot write %1: %2").arg(temp, ErrnoText(err)), err);
        }
        offset += got;
    }
}

}  // namespace

Status ReplaceFileWithCopy(const QString& source, const QString& target, FileLock* lock)
{
    const QByteArray real = ResolvedTarget(target.toLocal8Bit());
    const auto [folder, base] = SplitPath(real);
    if (base.isEmpty()) return Status::error(QStringLiteral("Cannot replace %1: no file name").arg(target));

    mode_t mode = DefaultMode();
    struct stat st {};
    if (::stat(real.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return Status::error(QStringLiteral("Cannot replace %1: not a regular file").arg(target));
        mode = st.st_mode & 07777;
    }

    const int in = ::open(source.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        const int err = errno;
        return Status::error(QStringLiteral("Cannot read %1: %2").arg(source, ErrnoText(err)), err);
    }

    QByteArray tmpl = BesideTemplate(folder, base);
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return Status::error(
            QStringLiteral("Cannot create a file in %1: %2").arg(QString::fromLocal8Bit(folder), ErrnoText(err)), err);
    }
    const QString temp = QString::fromLocal8Bit(tmpl);
    const auto discard = [&](Status s) {
        ::close(in);
        ::close(out);
        ::unlink(tmpl.constData());
        return s;
    };
    const auto fail = [&](const QString& what, int err) {
        return discard(Status::error(QStringLiteral("%1: %2").arg(what, ErrnoText(err)), err));
    };

    // Locked before anything is written into it, so that a copy still being written is known
    // as such (RemoveStaleCopies), and before it takes the target's name, so that the target is
    // never unprotected.
    const bool locked = FileLock::LockDescriptor(out) == 0;
    if (::fchmod(out, mode) != 0) {
        const int err = errno;
        return fail(QStringLiteral("Cannot set the permissions of ") + temp, err);
    }
    if (Status s = CopyInto(in, out, source, temp); !s) return discard(s);
    if (SysIo::Fsync(out) != 0) {
        const int err = errno;
        return fail(QStringLiteral("Cannot write ") + temp, err);
    }
    if (::rename(tmpl.constData(), real.constData()) != 0) {
        const int err = errno;
        return fail(QStringLiteral("Cannot replace ") + target, err);
    }
    ::close(in);
    SyncFolder(folder);
    if (lock && locked) {
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
    const auto fail = [&](const QString& why, int err = 0) {
        return Status::error(QStringLiteral("Cannot write %1: %2").arg(path, why), err);
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
    // leaves the file it would have replaced as it was. Every write and the flush to the disk
    // are checked before the rename: a file that only seemed written never replaces the old one.
    const auto [folder, base] = SplitPath(real);
    if (base.isEmpty()) return fail(QStringLiteral("no file name"));
    QByteArray tmpl = BesideTemplate(folder, base);
    const int out = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) {
        const int err = errno;
        return fail(ErrnoText(err), err);
    }
    int err = 0;
    if (::fchmod(out, exists ? st.st_mode & 07777 : DefaultMode()) != 0) err = errno;
    if (err == 0) (void)PwriteAll(out, bytes.constData(), static_cast<std::size_t>(bytes.size()), 0, &err);
    if (err == 0 && SysIo::Fsync(out) != 0) err = errno;
    if (::close(out) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(tmpl.constData(), real.constData()) != 0) err = errno;
    if (err != 0) {
        ::unlink(tmpl.constData());
        return fail(ErrnoText(err), err);
    }
    SyncFolder(folder);
    return {};
}

bool IsTempNameOf(const QString& name, const QString& stem)
{
    if (name.size() != stem.size() + 6 || !name.startsWith(stem)) return false;
    for (qsizetype i = stem.size(); i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))) return false;
    }
    return true;
}

namespace {

// Takes a shared lock on a whole open file without waiting: it is refused while any other open
// holds the exclusive lock a writer takes (FileLock), and it needs no write permission.
bool TakeSharedLock(int fd)
{
    struct flock fl {};
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    int r;
    do r = ::fcntl(fd, F_OFD_SETLK, &fl);
    while (r != 0 && errno == EINTR);
    return r == 0;
}

// Removes one file left by a write that never ended, unless it is still being written: a file
// being written is locked by its writer before its first byte, so an empty file or one whose
// lock is held elsewhere is left alone. Links and anything but plain files are never touched.
void RemoveIfStale(const QByteArray& path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) return;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    // Removed while locked, and only when the name still names the file that was locked.
    if (TakeSharedLock(fd) && ::fstat(fd, &opened) == 0 && opened.st_size > 0 && ::lstat(path.constData(), &st) == 0 &&
        st.st_dev == opened.st_dev && st.st_ino == opened.st_ino) {
        ::unlink(path.constData());
    }
    ::close(fd);
}

}  // namespace

void RemoveStaleTempFiles(const QString& folder, const std::function<bool(const QString&)>& isTempName)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (isTempName(name)) RemoveIfStale(QFile::encodeName(dir.filePath(name)));
    }
}

void RemoveStaleCopies(const QString& target)
{
    const auto [folder, base] = SplitPath(ResolvedTarget(QFile::encodeName(target)));
    if (base.isEmpty()) return;
    const QString stem = QStringLiteral(".") + QFile::decodeName(base) + QStringLiteral(".");
    RemoveStaleTempFiles(QFile::decodeName(folder), [&stem](const QString& name) { return IsTempNameOf(name, stem); });
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
