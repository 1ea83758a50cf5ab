#pragma once
// The plain way of the report baselines: preview records and texts written one pwrite each on
// fresh files, and the day records read in one pread.

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Cp1252.h"
#include "printing/PreviewRec.h"
#include "store/Records.h"
#include "store/SchedFiles.h"

namespace tavrin::bench {

inline void Put16(std::uint8_t* p, int v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Put32(std::uint8_t* p, std::int32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Command and text records written one pwrite each, on fresh files.
class PlainRecorder {
public:
    explicit PlainRecorder(const QString& dir)
        : cmdPath_(QFile::encodeName(dir + QStringLiteral("/Plain.RP1"))),
          textPath_(QFile::encodeName(dir + QStringLiteral("/Plain.RP2")))
    {
        ::unlink(cmdPath_.constData());
        ::unlink(textPath_.constData());
        cmd_ = ::open(cmdPath_.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        txt_ = ::open(textPath_.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    }
    ~PlainRecorder()
    {
        ::close(cmd_);
        ::close(txt_);
    }
    PlainRecorder(const PlainRecorder&) = delete;
    PlainRecorder& operator=(const PlainRecorder&) = delete;

    void Command(int code, int a = 0, int b = 0, int c = 0, int d = 0, int value = 0)
    {
        Put16(r_, code);
        Put32(r_ + 2, a);
        Put32(r_ + 6, b);
        Put32(r_ + 10, c);
        Put32(r_ + 14, d);
        Put32(r_ + 18, value);
        ok_ &= ::pwrite(cmd_, r_, 28, n_ * 28) == 28;
        ++n_;
    }
    void Text(const QString& text, int l, int t, int r, int b, int flags)
    {
        const QByteArray bytes = StringToCp1252(text);
        Put32(r_ + 22, static_cast<std::int32_t>(pos_));
        Put16(r_ + 26, static_cast<int>(bytes.size()));
        Command(Pv::DrawText, l, t, r, b, flags);
        if (bytes.isEmpty()) return;
        ok_ &= ::pwrite(txt_, bytes.constData(), static_cast<std::size_t>(bytes.size()), pos_ - 1) == bytes.size();
        pos_ += bytes.size();
    }
    bool Ok() const { return ok_; }
    std::int64_t Records() const { return n_; }

private:
    QByteArray cmdPath_;
    QByteArray textPath_;
    int cmd_ = -1;
    int txt_ = -1;
    std::uint8_t r_[28] = {};
    std::int64_t n_ = 0;
    std::int64_t pos_ = 1;
    bool ok_ = true;
};

// Records 1..count of a working file, in one pread.
template <class R>
std::vector<R> ReadAll(const SchedFiles& files, const QString& ext, int count)
{
    const QByteArray path = QFile::encodeName(files.WorkPath(ext));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * R::Size);
    const int fd = ::open(path.constData(), O_RDONLY);
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    std::vector<R> out(static_cast<std::size_t>(count));
    if (got != static_cast<ssize_t>(bytes.size())) return out;
    for (int i = 0; i < count; ++i) {
        Decode(std::span<const std::uint8_t>(bytes.data() + static_cast<std::size_t>(i) * R::Size, R::Size),
               out[static_cast<std::size_t>(i)]);
    }
    return out;
}

// The day records from the period's first day.
inline std::vector<DayRecord> ReadDays(const SchedFiles& files, int count)
{
    return ReadAll<DayRecord>(files, QStringLiteral(".SCH"), count);
}

}  // namespace tavrin::bench
