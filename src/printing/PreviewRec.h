#pragma once
// The preview recorder: in preview mode a report's drawing is written as fixed-length command
// records into "Preview.RP1" and its texts into "Preview.RP2" in the working folder; the preview
// window replays them a page at a time. The printer stays the measuring device throughout.
//
// Command records (28 bytes, little-endian): Command (16-bit), A, B, C, D, Value, TextPos
// (32-bit each), TextLen (16-bit). Texts are Windows-1252 bytes one after the other, TextPos
// 1-based. One record buffer is reused for every command: fields a command does not set keep
// the previous record's values.

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/Result.h"
#include "platform/Surface.h"
#include "platform/WorkFile.h"
#include "store/RecordCodec.h"

namespace tavrin {

class PrinterDevice;

struct PreviewCommandRecord {
    static constexpr std::size_t Size = 28;
    std::int16_t Command = 0;
    std::int32_t A = 0;
    std::int32_t B = 0;
    std::int32_t C = 0;
    std::int32_t D = 0;
    std::int32_t Value = 0;
    std::int32_t TextPos = 0;
    std::int16_t TextLen = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Command, s.A, s.B, s.C, s.D, s.Value, s.TextPos, s.TextLen);
    }
    friend bool operator==(const PreviewCommandRecord&, const PreviewCommandRecord&) = default;
};

// Command codes.
namespace Pv {
enum Code : int {
    FontSize = 1,
    DrawText = 2,
    FontBold = 3,
    FontItalic = 4,
    ForeColor = 5,
    DrawWidth = 6,
    FilledBox = 7,
    Line = 8,
    Box = 9,
    NewPage = 10,
    EndDocument = 11,
    PrintText = 12,
    Ellipse = 13,
};
// A text longer than its record can say is cut.
constexpr int kMaxTextLen = 32767;
// The light grey a positive (shade) fill colour shows in the preview.
constexpr std::uint32_t kShadeGrey = 0xC0C0C0;
}  // namespace Pv

class PreviewRec {
public:
    // workDir: the private working folder, without a trailing separator.
    explicit PreviewRec(QString workDir);
    PreviewRec(const PreviewRec&) = delete;
    PreviewRec& operator=(const PreviewRec&) = delete;

    const QString& WorkDir() const { return workDir_; }
    QString CommandPath() const;
    QString TextPath() const;

    // --- the recording context, read by the preview window
    // True while a report is produced for the preview: drawing goes here, not to the printer.
    bool PreviewMode = false;
    // Records written so far; the next is number PreviewCmdCount + 1.
    std::int64_t PreviewCmdCount = 0;
    // 1-based position of the next text in the text file.
    std::int64_t PreviewTextPos = 1;
    // Pages begun (see PreviewNewPage); the window shows one less.
    int PreviewPageCount = 0;
    QString ReportFontName;
    bool ReportFontBold = false;
    bool ReportFontItalic = false;
    // The printer's physical offsets, in twips.
    int PrinterOffsetX = 0;
    int PrinterOffsetY = 0;
    // Screen pixels added to the left edge of every text rectangle (1 for the schedule printout).
    int PreviewTextNudgeX = 0;
    bool PrinterAvailable = true;
    // The title the report's page header left, for the window's caption.
    QString ReportTitle;

    // The first record of page p (1-based); 0 outside the index.
    std::int64_t PreviewPageIndex(int p) const;
    void SetPreviewPageIndex(int p, std::int64_t record);

    // PrinterAvailable: true unless the printer cannot say its orientation (none installed).
    void CheckPrinterReady(PrinterDevice& printer);
    // Discards the previous recording and starts a new one on empty files.
    Status OpenPreviewFiles();
    void ClosePreviewFiles();
    bool FilesOpen() const { return cmdFile_.isOpen() && textFile_.isOpen(); }

    // --- commands: each writes one record; coordinates of text rectangles and ellipses are
    // device pixels, those of boxes, lines and printed texts twips; numbers given as general
    // values are rounded to whole numbers, halves to the even neighbour
    Status PreviewFontSize(double size);
    Status PreviewDrawText(const QString& text, const PixelRect& r, int flags);
    Status PreviewFontBold(bool bold);
    Status PreviewFontItalic(bool italic);
    Status PreviewForeColor(std::uint32_t colour);
    Status PreviewDrawWidth(double width);
    // Fill colour signed: a shade positive, an exact colour negated (0 is black).
    Status PreviewFilledBox(double x1, double y1, double x2, double y2, double colour);
    Status PreviewLine(double x1, double y1, double x2, double y2);
    Status PreviewBox(double x1, double y1, double x2, double y2);
    Status PreviewNewPage();
    Status PreviewEndDocument();
    // Text at the printer's current position (x, y in twips), which the caller reads.
    Status PreviewPrintText(const QString& text, double x, double y);
    // The record keeps left in A, top in B, right in C and bottom in D, as the window draws it.
    Status PreviewEllipse(int left, int top, int right, int bottom, double colour);
    // Writes the commands and texts gathered so far. Commands are gathered in memory and
    // written a page at a time (and when the recording ends or a megabyte has gathered): a
    // failed write shows at the end of its page.
    Status FlushPending();

    // --- reading back (the window)
    const WorkFile& CommandFile() const { return cmdFile_; }
    const WorkFile& TextFile() const { return textFile_; }

private:
    Status Write();
    Status WriteWithText(const QString& text);
    // Commands 7 to 9: the two corners of a box or the ends of a line.
    Status WriteCorners(int code, double x1, double y1, double x2, double y2);

    QString workDir_;
    WorkFile cmdFile_;
    WorkFile textFile_;
    PreviewCommandRecord buf_;
    // Bytes gathered for one file; the room stays from page to page.
    class Pending {
    public:
        // n more bytes at the end, for the caller to fill.
        std::uint8_t* Append(std::size_t n)
        {
            if (n > room_ - size_) Grow(n);
            std::uint8_t* at = data_.get() + size_;
            size_ += n;
            return at;
        }
        std::span<const std::uint8_t> Bytes() const { return {data_.get(), size_}; }
        bool empty() const { return size_ == 0; }
        std::size_t size() const { return size_; }
        void clear() { size_ = 0; }

    private:
        void Grow(std::size_t n);
        std::unique_ptr<std::uint8_t[]> data_;
        std::size_t size_ = 0;
        std::size_t room_ = 0;
    };
    // Gathered and not written yet: records from record cmdPendingFirst_ on, texts from byte
    // textPendingFirst_ on.
    Pending cmdPending_;
    std::int64_t cmdPendingFirst_ = 1;
    Pending textPending_;
    std::int64_t textPendingFirst_ = 1;
    // Grows with the pages; the recording has no page limit.
    std::vector<std::int64_t> pageIndex_;
};

// Reads the records from `first` up to and including the first end of page or end of document
// (or the end of the file). Nothing for a record number outside the file.
std::vector<PreviewCommandRecord> ReadPreviewPage(const WorkFile& commands, std::int64_t first);
// The text of a record, "" when it lies outside the text file.
QString ReadPreviewText(const WorkFile& texts, const PreviewCommandRecord& r);

}  // namespace tavrin
