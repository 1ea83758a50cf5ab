#include "platform/WorkFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

#include "platform/SysIo.h"

namespace tavrin {

bool PreadAll(int fd, void* buf, std::size_t n, std::int64_t offset, std::size_t* got, int* err)
{
    auto* p = static_cast<char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            *got = done;
            return false;
        }
        if (r == 0) break;  // end of file
        done += static_cast<std::size_t>(r);
    }
    *got = done;
    return true;
}

bool PwriteAll(int fd, const void* buf, std::size_t n, std::int64_t offset, int* err)
{
    const auto* p = static_cast<const char*>(buf);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = SysIo::Pwrite(fd, p + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        if (r == 0) {
            *err = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(r);
    }
    return true;
}

WorkFile::~WorkFile() { close(); }

WorkFile::WorkFile(WorkFile&& other) noexcept
    : fd_(other.fd_),
      recordLength_(other.recordLength_),
      knownLength_(other.knownLength_),
      path_(std::move(other.path_))
{
    other.fd_ = -1;
    other.knownLength_ = -1;
}

WorkFile& WorkFile::operator=(WorkFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        recordLength_ = other.recordLength_;
        knownLength_ = other.knownLength_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
        other.knownLength_ = -1;
    }
    return *this;
}

Status WorkFile::open(const QString& path, int recordLength)
{
    close();
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        const int err = errno;
        return Status::error(QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))),
                             err);
    }
    fd_ = fd;
    recordLength_ = recordLength > 0 ? recordLength : 1;
    knownLength_ = -1;
    path_ = path;
    return {};
}

void WorkFile::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    knownLength_ = -1;
}

void WorkFile::noteWrite(std::int64_t offset, std::size_t bytes, bool ok)
{
    if (!ok) {
        knownLength_ = -1;  // a failed write may have left any length behind
    } else if (knownLength_ >= 0) {
        knownLength_ = std::max<std::int64_t>(knownLength_, offset + static_cast<std::int64_t>(bytes));
    }
}

std::int64_t WorkFile::length() const
{
    if (fd_ < 0) return -1;
    if (knownLength_ >= 0) return knownLength_;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return -1;
    knownLength_ = static_cast<std::int64_t>(st.st_size);
    return knownLength_;
}

std::int64_t WorkFile::recordCount() const
{
    const std::int64_t len = length();
    return len > 0 ? len / recordLength_ : 0;
}

Status WorkFile::ioError(const char* what, std::int64_t recordNo, int err) const
{
    return Status::error(QStringLiteral("Cannot %1 record %2 of %3: %4")
                             .arg(QString::fromLatin1(what))
                             .arg(recordNo)
                             .arg(path_, QString::fromLocal8Bit(std::strerror(err))),
                         err);
}

void WorkFile::undoGrowth(std::int64_t before)
{
    knownLength_ = -1;
    if (before < 0) return;
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_size > before) {
        while (::ftruncate(fd_, static_cast<off_t>(before)) != 0 && errno == EINTR) {
        }
    }
}

Status WorkFile::resize(std::int64_t bytes)
{
    if (fd_ < 0) return ioError("resize", 0, EBADF);
    knownLength_ = -1;
    int r;
    do r = ::ftruncate(fd_, static_cast<off_t>(bytes));
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        const int err = errno;
        return Status::error(
            QStringLiteral("Cannot change the length of %1: %2").arg(path_, QString::fromLocal8Bit(std::strerror(err))),
            err);
    }
    return {};
}

Status WorkFile::read(std::int64_t recordNo, std::span<std::uint8_t> out) const
{
    if (fd_ < 0) return ioError("read", recordNo, EBADF);
    if (recordNo < 1) return ioError("read", recordNo, EINVAL);
    std::size_t got = 0;
    int err = 0;
    const std::int64_t offset = (recordNo - 1) * recordLength_;
    if (!PreadAll(fd_, out.data(), out.size(), offset, &got, &err)) return ioError("read", recordNo, err);
    if (got < out.size()) std::memset(out.data() + got, 0, out.size() - got);
    return {};
}

Status WorkFile::write(std::int64_t recordNo, std::span<const std::uint8_t> data)
{
    if (fd_ < 0) return ioError("write", recordNo, EBADF);
    if (recordNo < 1) return ioError("write", recordNo, EINVAL);
    int err = 0;
    const std::int64_t offset = (recordNo - 1) * recordLength_;
    const std::int64_t before = length();
    const bool ok = PwriteAll(fd_, data.data(), data.size(), offset, &err);
    noteWrite(offset, data.size(), ok);
    if (!ok) {
        undoGrowth(before);
        return ioError("write", recordNo, err);
    }
    return {};
}

Status WorkFile::writeGathered(std::int64_t recordNo, std::span<const std::span<const std::uint8_t>> parts)
{
    if (fd_ < 0) return ioError("write", recordNo, EBADF);
    if (recordNo < 1) return ioError("write", recordNo, EINVAL);
    const std::int64_t start = (recordNo - 1) * recordLength_;
    const std::int64_t before = length();
    std::int64_t offset = start;
    constexpr std::size_t kBatch = 64;
    iovec iov[kBatch];
    for (std::size_t i = 0; i < parts.size();) {
        const std::size_t n = std::min(kBatch, parts.size() - i);
        for (std::size_t k = 0; k < n; ++k)
            iov[k] = iovec{const_cast<std::uint8_t*>(parts[i + k].data()), parts[i + k].size()};
        ssize_t r;
        do r = SysIo::Pwritev(fd_, iov, static_cast<int>(n), static_cast<off_t>(offset));
        while (r < 0 && errno == EINTR);
        int err = r < 0 ? errno : 0;
        // What a short write left over goes part by part, each retried until it is written.
        auto done = static_cast<std::size_t>(std::max<ssize_t>(r, 0));
        for (std::size_t k = 0; k < n && err == 0; ++k) {
            const std::size_t len = parts[i + k].size();
            if (done < len && !PwriteAll(fd_, parts[i + k].data() + done, len - done, offset + done, &err)) {
                offset += done;
                break;
            }
            done -= std::min(done, len);
            offset += len;
        }
        if (err != 0) {
            noteWrite(start, 0, false);
            undoGrowth(before);
            return ioError("write", offset / recordLength_ + 1, err);
        }
        i += n;
    }
    noteWrite(start, static_cast<std::size_t>(offset - start), true);
    return {};
}

Status WorkFile::writeRepeated(std::int64_t first, std::int64_t count, std::span<const std::uint8_t> record)
{
    if (count <= 0) return {};
    if (fd_ < 0) return ioError("write", first, EBADF);
    if (first < 1) return ioError("write", first, EINVAL);
    // Batches of records up to about 1 MiB per write.
    const std::int64_t perBatch = std::max<std::int64_t>(1, (1 << 20) / std::max<std::size_t>(1, record.size()));
    const std::int64_t batch = std::min(count, perBatch);
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(batch) * record.size());
    for (std::int64_t i = 0; i < batch; ++i) std::memcpy(buf.data() + i * record.size(), record.data(), record.size());
    std::int64_t done = 0;
    while (done < count) {
        const std::int64_t n = std::min(batch, count - done);
        int err = 0;
        const std::int64_t offset = (first - 1 + done) * recordLength_;
        const std::size_t bytes = static_cast<std::size_t>(n) * record.size();
        const std::int64_t before = length();
        const bool ok = PwriteAll(fd_, buf.data(), bytes, offset, &err);
        noteWrite(offset, bytes, ok);
        if (!ok) {
            undoGrowth(before);
            return ioError("write", first + done, err);
        }
        done += n;
    }
    return {};
}

Status WorkFile::sync()
{
    if (fd_ < 0) return ioError("flush", 0, EBADF);
    if (SysIo::Fsync(fd_) != 0) return ioError("flush", 0, errno);
    return {};
}

}  // namespace tavrin
