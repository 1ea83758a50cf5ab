#include "printing/PreviewRec.h"

#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "platform/Cp1252.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"

namespace tavrin {

namespace {

std::int32_t Whole(double v)
{
    return Runtime::CInt(v);
}

}  // namespace

PreviewRec::PreviewRec(QString workDir) : workDir_(std::move(workDir)) {}

QString PreviewRec::CommandPath() const
{
    return workDir_ + QStringLiteral("/Preview.RP1");
}

QString PreviewRec::TextPath() const
{
    return workDir_ + QStringLiteral("/Preview.RP2");
}

std::int64_t PreviewRec::PreviewPageIndex(int p) const
{
    if (p < 1 || static_cast<std::size_t>(p) > pageIndex_.size()) return 0;
    return pageIndex_[static_cast<std::size_t>(p - 1)];
}

void PreviewRec::SetPreviewPageIndex(int p, std::int64_t record)
{
    if (p < 1) return;
    if (static_cast<std::size_t>(p) > pageIndex_.size()) pageIndex_.resize(static_cast<std::size_t>(p), 0);
    pageIndex_[static_cast<std::size_t>(p - 1)] = record;
}

void PreviewRec::CheckPrinterReady(PrinterDevice& printer)
{
    PrinterAvailable = true;
    if (!printer.Orientation()) PrinterAvailable = false;
}

Status PreviewRec::OpenPreviewFiles()
{
    for (auto [file, path, length] : {std::tuple{&cmdFile_, CommandPath(), int(PreviewCommandRecord::Size)},
                                      std::tuple{&textFile_, TextPath(), 1}}) {
        file->close();
        // Made afresh: the old file, or a link of that name, is removed (never what it points to).
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
            const int err = errno;
            return Status::error(QStringLiteral("Cannot replace ") + path + QLatin1Char('.'), err);
        }
        TAVRIN_TRY(file->open(path, length));
    }
    PreviewCmdCount = 0;
    PreviewTextPos = 1;
    PreviewPageCount = 1;
    pageIndex_.assign(1, 1);
    buf_ = PreviewCommandRecord{};
    cmdPending_.clear();
    textPending_.clear();
    return {};
}

void PreviewRec::ClosePreviewFiles()
{
    (void)FlushPending();
    textFile_.close();
    cmdFile_.close();
}

void PreviewRec::Pending::Grow(std::size_t n)
{
    const std::size_t room = std::max({2 * room_, size_ + n, std::size_t{4096}});
    auto data = std::make_unique_for_overwrite<std::uint8_t[]>(room);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    room_ = room;
}

Status PreviewRec::FlushPending()
{
    // Texts first: a record is never on disk before its text.
    if (!textPending_.empty()) {
        const Status s = textFile_.write(textPendingFirst_, textPending_.Bytes());
        textPending_.clear();
        TAVRIN_TRY(s);
    }
    if (!cmdPending_.empty()) {
        const Status s = cmdFile_.write(cmdPendingFirst_, cmdPending_.Bytes());
        cmdPending_.clear();
        TAVRIN_TRY(s);
    }
    return {};
}

Status PreviewRec::Write()
{
    ++PreviewCmdCount;
    // Without its files a recording gathers nothing: the write fails at once, as the file says.
    if (!FilesOpen()) return cmdFile_.write(PreviewCmdCount, Encode(buf_));
    if (cmdPending_.empty()) cmdPendingFirst_ = PreviewCmdCount;
    // A page of a crowded report stays well below this.
    constexpr std::size_t kFlushBytes = 1 << 20;
    Encode(buf_, std::span<std::uint8_t>(cmdPending_.Append(PreviewCommandRecord::Size), PreviewCommandRecord::Size));
    if (cmdPending_.size() >= kFlushBytes) return FlushPending();
    return {};
}

Status PreviewRec::WriteWithText(const QString& text)
{
    const qsizetype length = std::min<qsizetype>(text.size(), Pv::kMaxTextLen);
    // The text position of a record is 32-bit; a recording past it stores 0 and replays nothing.
    buf_.TextPos = PreviewTextPos <= INT32_MAX ? static_cast<std::int32_t>(PreviewTextPos) : 0;
    buf_.TextLen = static_cast<std::int16_t>(length);
    const std::int64_t at = PreviewTextPos;
    PreviewTextPos += length;
    if (length > 0) {
        if (textPending_.empty()) textPendingFirst_ = at;
        // One byte per character, written in place.
        StringToCp1252(QStringView(text).first(length),
                       reinterpret_cast<char*>(textPending_.Append(static_cast<std::size_t>(length))));
    }
    return Write();
}

Status PreviewRec::PreviewFontSize(double size)
{
    buf_.Command = Pv::FontSize;
    buf_.Value = Whole(size);
    return Write();
}

Status PreviewRec::PreviewDrawText(const QString& text, const PixelRect& r, int flags)
{
    buf_.Command = Pv::DrawText;
    buf_.A = r.Left;
    buf_.B = r.Top;
    buf_.C = r.Right;
    buf_.D = r.Bottom;
    buf_.Value = flags;
    return WriteWithText(text);
}

Status PreviewRec::PreviewFontBold(bool bold)
{
    buf_.Command = Pv::FontBold;
    buf_.Value = bold ? -1 : 0;
    return Write();
}

Status PreviewRec::PreviewFontItalic(bool italic)
{
    buf_.Command = Pv::FontItalic;
    buf_.Value = italic ? -1 : 0;
    return Write();
}

Status PreviewRec::PreviewForeColor(std::uint32_t colour)
{
    buf_.Command = Pv::ForeColor;
    buf_.Value = static_cast<std::int32_t>(colour & 0xFFFFFFu);
    return Write();
}

Status PreviewRec::PreviewDrawWidth(double width)
{
    buf_.Command = Pv::DrawWidth;
    buf_.Value = Whole(width);
    return Write();
}

Status PreviewRec::WriteCorners(int code, double x1, double y1, double x2, double y2)
{
    // Both x values first, then both y values.
    buf_.Command = static_cast<std::int16_t>(code);
    buf_.A = Whole(x1);
    buf_.B = Whole(x2);
    buf_.C = Whole(y1);
    buf_.D = Whole(y2);
    return Write();
}

Status PreviewRec::PreviewFilledBox(double x1, double y1, double x2, double y2, double colour)
{
    buf_.Value = Whole(colour);
    return WriteCorners(Pv::FilledBox, x1, y1, x2, y2);
}

Status PreviewRec::PreviewLine(double x1, double y1, double x2, double y2)
{
    return WriteCorners(Pv::Line, x1, y1, x2, y2);
}

Status PreviewRec::PreviewBox(double x1, double y1, double x2, double y2)
{
    return WriteCorners(Pv::Box, x1, y1, x2, y2);
}

Status PreviewRec::PreviewNewPage()
{
    buf_.Command = Pv::NewPage;
    TAVRIN_TRY(Write());
    ++PreviewPageCount;
    SetPreviewPageIndex(PreviewPageCount, PreviewCmdCount + 1);
    return FlushPending();
}

Status PreviewRec::PreviewEndDocument()
{
    buf_.Command = Pv::EndDocument;
    TAVRIN_TRY(Write());
    return FlushPending();
}

Status PreviewRec::PreviewPrintText(const QString& text, double x, double y)
{
    buf_.Command = Pv::PrintText;
    buf_.A = Whole(x);
    buf_.B = 0;
    buf_.C = Whole(y);
    buf_.D = 0;
    buf_.Value = 0;
    return WriteWithText(text);
}

Status PreviewRec::PreviewEllipse(int left, int top, int right, int bottom, double colour)
{
    buf_.Command = Pv::Ellipse;
    buf_.A = left;
    buf_.B = top;
    buf_.C = right;
    buf_.D = bottom;
    buf_.Value = Whole(colour);
    return Write();
}

// ---------------------------------------------------------------- reading back

std::vector<PreviewCommandRecord> ReadPreviewPage(const WorkFile& commands, std::int64_t first)
{
    std::vector<PreviewCommandRecord> out;
    const std::int64_t last = commands.recordCount();
    if (first < 1 || first > last) return out;
    // Read in blocks: a page is one run of records, found without reading earlier pages.
    constexpr std::int64_t kBlock = 512;
    std::vector<std::uint8_t> buf;
    for (std::int64_t n = first; n <= last;) {
        const std::int64_t count = std::min(kBlock, last - n + 1);
        buf.resize(static_cast<std::size_t>(count) * PreviewCommandRecord::Size);
        if (!commands.readRange(n, buf)) return out;
        for (std::int64_t i = 0; i < count; ++i) {
            const auto r = Decode<PreviewCommandRecord>(
                std::span<const std::uint8_t>(buf.data() + i * PreviewCommandRecord::Size, PreviewCommandRecord::Size));
            out.push_back(r);
            if (r.Command == Pv::NewPage || r.Command == Pv::EndDocument) return out;
        }
        n += count;
    }
    return out;
}

QString ReadPreviewText(const WorkFile& texts, const PreviewCommandRecord& r)
{
    if (r.TextLen <= 0 || r.TextPos < 1) return {};
    const std::int64_t length = texts.length();
    if (length < 0 || r.TextPos - 1 + std::int64_t(r.TextLen) > length) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(r.TextLen));
    if (!texts.read(r.TextPos, bytes)) return {};
    return Cp1252ToString(bytes.data(), bytes.size());
}

}  // namespace tavrin
