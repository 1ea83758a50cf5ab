#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TAVRIN_LIBZIP_DIR
#define TAVRIN_LIBZIP_DIR ""
#endif
#ifndef TAVRIN_RESOURCE_DIR
#define TAVRIN_RESOURCE_DIR ""
#endif

namespace tavrin::AppPaths {

QString ProgramFolder()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString ResourceFolder()
{
    const QString beside = ProgramFolder() + QStringLiteral("/resources");
    if (QFileInfo(beside).isDir()) return beside;
    return QString::fromUtf8(TAVRIN_RESOURCE_DIR);
}

QString LibzipInstallDir() { return QString::fromUtf8(TAVRIN_LIBZIP_DIR); }

QString DefaultWorkDir()
{
    // Always a full path: opening a schedule changes the current folder, and a relative working
    // folder would then name another, unchecked folder.
    const QByteArray over = qgetenv("TAVRIN_WORKDIR");
    if (!over.isEmpty()) return QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromLocal8Bit(over)));
    QString tmp = QString::fromLocal8Bit(qgetenv("TMPDIR"));
    if (tmp.isEmpty() || !QFileInfo(tmp).isDir()) tmp = QStringLiteral("/tmp");
    return QDir::cleanPath(QDir::current().absoluteFilePath(tmp + QStringLiteral("/tavrin-%1").arg(::getuid())));
}

Status PreparePrivateFolder(const QString& folder)
{
    const QByteArray path = folder.toLocal8Bit();
    const auto fail = [&](const QString& why) {
        return Status::error(QStringLiteral("The working folder %1 %2").arg(folder, why));
    };
    if (folder.isEmpty()) return fail(QStringLiteral("is not set."));
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return fail(QStringLiteral("cannot be created: %1.").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        return fail(QStringLiteral("cannot be read: %1.").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (S_ISLNK(st.st_mode)) return fail(QStringLiteral("is a symbolic link; it must be a private folder."));
    if (!S_ISDIR(st.st_mode)) return fail(QStringLiteral("is not a folder."));
    if (st.st_uid != ::getuid()) return fail(QStringLiteral("belongs to another user; it must be private."));
    if ((st.st_mode & 077) != 0) {
        return fail(QStringLiteral("can be used by other users; it must be private (mode 0700)."));
    }
    if (::access(path.constData(), R_OK | W_OK | X_OK) != 0) return fail(QStringLiteral("cannot be written."));
    return {};
}

}  // namespace tavrin::AppPaths
