#include "platform/ZipArchive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/WorkFile.h"

namespace tavrin {

namespace {

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString ZipErrorText(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

ZipMember::Kind KindOf(zip_t* za, zip_uint64_t index, const QString& name)
{
    zip_uint8_t opsys = 0;
    zip_uint32_t attr = 0;
    // A member is a plain file unless its attributes say otherwise: many writers store only
    // permission bits (no file type) or MS-DOS attributes.
    constexpr zip_uint32_t kDosDirectory = 0x10;
    if (zip_file_get_external_attributes(za, index, 0, &opsys, &attr) == 0 && opsys == ZIP_OPSYS_UNIX) {
        const mode_t type = static_cast<mode_t>(attr >> 16) & S_IFMT;
        if (type == S_IFLNK) return ZipMember::Kind::Symlink;
        if (type == S_IFDIR) return ZipMember::Kind::Directory;
        if (type != 0 && type != S_IFREG) return ZipMember::Kind::Other;
        if (type == 0 && (attr & kDosDirectory)) return ZipMember::Kind::Directory;
    } else if (attr & kDosDirectory) {
        return ZipMember::Kind::Directory;
    }
    return name.endsWith(QLatin1Char('/')) ? ZipMember::Kind::Directory : ZipMember::Kind::File;
}

bool MatchFrom(const QString& p, qsizetype pi, const QString& n, qsizetype ni, Qt::CaseSensitivity cs)
{
    // Iterative with one backtrack point per "*": linear enough for short patterns.
    qsizetype star = -1;
    qsizetype mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == QLatin1Char('*')) {
            star = pi++;
            mark = ni;
        } else if (pi < p.size() && (p[pi] == QLatin1Char('?') || p[pi] == n[ni] ||
                                     (cs == Qt::CaseInsensitive && p[pi].toCaseFolded() == n[ni].toCaseFolded()))) {
            ++pi;
            ++ni;
        } else if (star >= 0) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == QLatin1Char('*')) ++pi;
    return pi == p.size();
}

}  // namespace

ZipArchive::~ZipArchive()
{
    close();
}

void ZipArchive::close()
{
    if (za_) {
        zip_discard(za_);
        za_ = nullptr;
    }
}

Status ZipArchive::error(const QString& what) const
{
    const char* why = za_ ? zip_strerror(za_) : "not open";
    return Status::error(QStringLiteral("%1 %2: %3").arg(what, path_, QString::fromUtf8(why)));
}

bool ZipArchive::WildcardMatch(const QString& pattern, const QString& name, bool caseSensitive)
{
    return MatchFrom(pattern, 0, name, 0, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

Status ZipArchive::open(const QString& path)
{
    close();
    path_ = path;
    const QByteArray native = path.toLocal8Bit();
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return Status::error(QStringLiteral("Cannot read %1: %2").arg(path, ErrnoText(errno)));
    if (!S_ISREG(st.st_mode)) return Status::error(QStringLiteral("Cannot read %1: not a regular file").arg(path));
    int err = 0;
    za_ = zip_open(native.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!za_) return Status::error(QStringLiteral("Cannot read %1: %2").arg(path, ZipErrorText(err)));
    return {};
}

std::int64_t ZipArchive::count() const
{
    return za_ ? zip_get_num_entries(za_, 0) : -1;
}

Result<std::vector<ZipMember>> ZipArchive::members() const
{
    if (!za_) return error(QStringLiteral("Cannot list"));
    std::vector<ZipMember> out;
    const zip_int64_t n = zip_get_num_entries(za_, 0);
    out.reserve(static_cast<std::size_t>(std::max<zip_int64_t>(0, std::min<zip_int64_t>(n, 1 << 16))));
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za_, static_cast<zip_uint64_t>(i), 0, &st) != 0) return error(QStringLiteral("Cannot list"));
        ZipMember m;
        m.index = static_cast<std::uint64_t>(i);
        m.name = (st.valid & ZIP_STAT_NAME) && st.name ? QString::fromUtf8(st.name) : QString();
        m.size = (st.valid & ZIP_STAT_SIZE) ? st.size : UINT64_MAX;
        m.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : UINT64_MAX;
        m.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        const bool methodOk = (st.valid & ZIP_STAT_COMP_METHOD) && zip_compression_method_supported(st.comp_method, 0);
        m.readable = methodOk && !m.encrypted;
        m.kind = KindOf(za_, m.index, m.name);
        out.push_back(std::move(m));
    }
    return out;
}

Status ZipArchive::read(std::uint64_t index, int fd, std::uint64_t maxBytes)
{
    if (!za_) return error(QStringLiteral("Cannot read"));
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za_, index, 0, &st) != 0) return error(QStringLiteral("Cannot read"));
    const QString member = st.name ? QString::fromUtf8(st.name) : QString::number(index);
    const auto bad = [&](const QString& why) {
        return Status::error(QStringLiteral("Member %1 of %2: %3").arg(member, path_, why));
    };
    if (!(st.valid & ZIP_STAT_SIZE)) return bad(QStringLiteral("no size"));
    if (st.size > maxBytes) return bad(QStringLiteral("too large"));

    zip_file_t* zf = zip_fopen_index(za_, index, 0);
    if (!zf) return bad(QString::fromUtf8(zip_strerror(za_)));
    std::vector<char> buf(1 << 18);
    std::uint64_t total = 0;
    Status result;
    for (;;) {
        const zip_int64_t got = zip_fread(zf, buf.data(), buf.size());
        if (got < 0) {
            result = bad(QString::fromUtf8(zip_file_strerror(zf)));
            break;
        }
        if (got == 0) break;
        total += static_cast<std::uint64_t>(got);
        if (total > maxBytes || total > st.size) {
            result = bad(QStringLiteral("too large"));
            break;
        }
        if (fd >= 0) {
            int err = 0;
            if (!PwriteAll(fd, buf.data(), static_cast<std::size_t>(got), static_cast<std::int64_t>(total) - got,
                           &err)) {
                result = bad(ErrnoText(err));
                break;
            }
        }
    }
    const int closed = zip_fclose(zf);
    if (result && closed != 0) result = bad(ZipErrorText(closed));
    if (result && total != st.size) result = bad(QStringLiteral("shorter than stated"));
    return result;
}

Status ZipArchive::test(std::uint64_t index, std::uint64_t maxBytes)
{
    return read(index, -1, maxBytes);
}

Status ZipArchive::extract(std::uint64_t index, const QString& destPath, std::uint64_t maxBytes)
{
    const QByteArray native = destPath.toLocal8Bit();
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return Status::error(QStringLiteral("Cannot create %1: %2").arg(destPath, ErrnoText(errno)));
    Status s = read(index, fd, maxBytes);
    if (::close(fd) != 0 && s) s = Status::error(QStringLiteral("Cannot write %1: %2").arg(destPath, ErrnoText(errno)));
    if (!s) ::unlink(native.constData());
    return s;
}

Status ZipArchive::create(const QString& archivePath, const QString& folder, const QString& wildcard, int level)
{
    QDir dir(folder);
    QStringList names;
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        if (fi.isSymLink() || !fi.isFile()) continue;
        if (WildcardMatch(wildcard, fi.fileName(), true)) names << fi.fileName();
    }
    if (names.isEmpty()) return Status::error(QStringLiteral("No file in %1 matches %2").arg(folder, wildcard));

    int err = 0;
    zip_t* za = zip_open(archivePath.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) return Status::error(QStringLiteral("Cannot create %1: %2").arg(archivePath, ZipErrorText(err)));
    const auto fail = [&](const QString& what) {
        // A failed system call (a full disk) keeps its errno, for the callers that say why.
        zip_error_t* ze = zip_get_error(za);
        const int err = zip_error_system_type(ze) == ZIP_ET_SYS ? zip_error_code_system(ze) : 0;
        const Status s =
            Status::error(QStringLiteral("%1 %2: %3").arg(what, archivePath, QString::fromUtf8(zip_strerror(za))), err);
        zip_discard(za);
        return s;
    };
    for (const QString& name : names) {
        const QByteArray file = dir.filePath(name).toLocal8Bit();
        zip_source_t* src = zip_source_file(za, file.constData(), 0, -1);
        if (!src) return fail(QStringLiteral("Cannot add ") + name + QStringLiteral(" to"));
        const zip_int64_t idx = zip_file_add(za, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE);
        if (idx < 0) {
            zip_source_free(src);
            return fail(QStringLiteral("Cannot add ") + name + QStringLiteral(" to"));
        }
        const auto u = static_cast<zip_uint64_t>(idx);
        if (zip_set_file_compression(za, u, ZIP_CM_DEFLATE, static_cast<zip_uint32_t>(std::clamp(level, 1, 9))) != 0 ||
            zip_file_set_external_attributes(za, u, 0, ZIP_OPSYS_UNIX,
                                             static_cast<zip_uint32_t>(S_IFREG | 0644) << 16) != 0) {
            return fail(QStringLiteral("Cannot add ") + name + QStringLiteral(" to"));
        }
    }
    if (zip_close(za) != 0) return fail(QStringLiteral("Cannot write"));
    return {};
}

}  // namespace tavrin
