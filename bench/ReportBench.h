#pragma once
// What the report benchmarks share: a schedule of 200 named people with nine shifts and five
// explanations, and the plain way of their baselines: preview records and texts gathered a page
// at a time and written on fresh files, and working-file records read in one pread.

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "BenchSupport.h"
#include "PlainPageArea.h"
#include "SameResult.h"
#include "grid/GridPaint.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/Runtime.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "reports/ReportDialog.h"
#include "store/CellCodes.h"
#include "store/Records.h"
#include "store/SchedFiles.h"

namespace tavrin::bench {

// Command and text records gathered for a page and written with one pwrite each, on fresh files.
class PlainRecorder {
public:
    explicit PlainRecorder(const QString& dir)
    {
        const QByteArray cmd = QFile::encodeName(dir + QStringLiteral("/Plain.RP1"));
        const QByteArray txt = QFile::encodeName(dir + QStringLiteral("/Plain.RP2"));
        ::unlink(cmd.constData());
        ::unlink(txt.constData());
        cmd_ = ::open(cmd.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        txt_ = ::open(txt.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    }
    ~PlainRecorder()
    {
        Flush();
        ::close(cmd_);
        ::close(txt_);
    }
    PlainRecorder(const PlainRecorder&) = delete;
    PlainRecorder& operator=(const PlainRecorder&) = delete;

    void Command(int code, int a = 0, int b = 0, int c = 0, int d = 0, int value = 0, std::int32_t pos = 0, int len = 0)
    {
        std::uint8_t r[28];
        Put16(r, code);
        Put32(r + 2, a);
        Put32(r + 6, b);
        Put32(r + 10, c);
        Put32(r + 14, d);
        Put32(r + 18, value);
        Put32(r + 22, pos);
        Put16(r + 26, len);
        cmds_.insert(cmds_.end(), r, r + 28);
        ++n_;
        if (code == Pv::NewPage) Flush();
    }
    void Text(int code, const QString& text, int a, int b, int c, int d, int value)
    {
        const QByteArray bytes = StringToCp1252(text);
        Command(code, a, b, c, d, value, static_cast<std::int32_t>(pos_), static_cast<int>(bytes.size()));
        texts_.insert(texts_.end(), bytes.cbegin(), bytes.cend());
        pos_ += bytes.size();
    }
    void Text(const QString& text, int l, int t, int r, int b, int flags)
    {
        Text(Pv::DrawText, text, l, t, r, b, flags);
    }
    void Flush()
    {
        ok_ &= ::pwrite(cmd_, cmds_.data(), cmds_.size(), cmdAt_) == static_cast<ssize_t>(cmds_.size());
        ok_ &= ::pwrite(txt_, texts_.data(), texts_.size(), txtAt_) == static_cast<ssize_t>(texts_.size());
        cmdAt_ += static_cast<off_t>(cmds_.size());
        txtAt_ += static_cast<off_t>(texts_.size());
        cmds_.clear();
        texts_.clear();
    }
    bool Ok() const { return ok_; }
    std::int64_t Records() const { return n_; }

private:
    int cmd_ = -1;
    int txt_ = -1;
    std::vector<std::uint8_t> cmds_;
    std::vector<char> texts_;
    off_t cmdAt_ = 0;
    off_t txtAt_ = 0;
    std::int64_t pos_ = 1;
    std::int64_t n_ = 0;
    bool ok_ = true;
};

// Records 1..count of a working file the schedule keeps open, in one pread.
template <class R>
std::vector<R> ReadAll(const SchedFiles& files, FileNo file, int count)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * R::Size);
    std::vector<R> out(static_cast<std::size_t>(count));
    if (!files.File(file).readRange(1, bytes)) return out;
    for (int i = 0; i < count; ++i) {
        Decode(std::span<const std::uint8_t>(bytes.data() + static_cast<std::size_t>(i) * R::Size, R::Size),
               out[static_cast<std::size_t>(i)]);
    }
    return out;
}

// The day records from the period's first day.
inline std::vector<DayRecord> ReadDays(const SchedFiles& files, int count)
{
    return ReadAll<DayRecord>(files, FileNo::Days, count);
}

// The main window's explanation list, as the benchmark says it reads.
class ListHost final : public QuietGridHost {
public:
    explicit ListHost(std::function<QString(int)> text) : text_(std::move(text)) {}
    int ExplListIndex(int code) const override { return code; }
    QString ExplanationListText(int code) const override { return text_(code); }

private:
    std::function<QString(int)> text_;
};

// 200 named people from Sunday 7 January 2024 (a year): nine shifts of eight paid hours, five
// explanations; the first `taggedDays` days tagged. Days are written with WriteDays.
struct ReportSchedule {
    static constexpr int kShifts = 9;
    static constexpr int kExplanations = 5;

    QTemporaryDir dir;
    QuietMsgBox msg;
    QtPrinterDevice printer{dir.filePath(QStringLiteral("bench.pdf"))};
    SchedFiles files{dir.path(), msg, printer};
    FontService fonts{96};
    ListHost host;
    std::unique_ptr<GridPaint> grid;
    PreviewRec rec{dir.path()};
    QtFileDialogs dialogs;
    PrintServices print{printer, rec, fonts, msg, dialogs};

    ReportSchedule(int taggedDays, std::function<QString(int)> explanationListText)
        : host(std::move(explanationListText))
    {
        // Runs that are not previews write the PDF, never a job for the system's printer.
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("bench.pdf"))});
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2024, 1, 7);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + 364;
        files.ScheduleProps.FirstVisibleDay = 0;
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        grid = std::make_unique<GridPaint>(files, host, fonts);
        grid->FirstTaggedDay = 1;
        grid->DaysTaggedText = QStringLiteral(" %1").arg(taggedDays);
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };

        static const char* const kFirst[] = {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay", "Gus", "Hal", "Ida", "Jon"};
        static const char* const kLast[] = {"Adams", "Baker", "van der Berg", "Cole", "Dunn", "East", "Fox", "Gray"};
        static const char* const kPositions[] = {"RN", "LPN", "CNA", "Clerk"};
        for (int r = 1; r <= kSlots; ++r) {
            files.EmpTable.Name[r] = QStringLiteral("%1 %2").arg(QString::fromLatin1(kFirst[r % 10]),
                                                                 QString::fromLatin1(kLast[(r / 10) % 8]));
            files.EmpTable.Position[r] = kPositions[r % 4];
        }
        for (int code = 1; code <= kShifts; ++code) {
            ShiftRecord& s = files.ShiftTable[code];
            s.Description = QStringLiteral("Shift %1").arg(code);
            s.Abbreviation = QStringLiteral("S%1").arg(code);
            s.StartTime = Runtime::TimeSerial(5 + code, code % 2 ? 30 : 0, 0);
            s.EndTime = s.StartTime + 8.0 / 24;
            s.PaidHours = 8;
        }
        for (int e = 1; e <= kExplanations; ++e) {
            files.ExplTable.Description[e] = QStringLiteral("Reason %1").arg(e);
            files.ExplTable.Abbreviation[e] = QStringLiteral("R%1").arg(e);
        }
    }

    // Days 1..days of the period: most people working most days, a fifth of them a second
    // shift, some off, some on call, some with an explanation; with notes, a note in a fifth of
    // the cells.
    void WriteDays(int days, bool notes)
    {
        unsigned seed = 11;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7fff;
        };
        for (int day = 1; day <= days; ++day) {
            DayRecord d;
            for (int s = 1; s <= kSlots; ++s) {
                const unsigned roll = next() % 20;
                d.Shift1Code[s] = static_cast<Byte>(roll < 16 ? 1 + next() % kShifts : roll == 16 ? kTimeOffCode : 0);
                d.Shift2Code[s] = static_cast<Byte>(roll < 16 && next() % 5 == 0 ? 1 + next() % kShifts : 0);
                d.OnCallFlag[s] = next() % 10 == 0 ? 1 : 0;
                d.ExplanationCode[s] = static_cast<Byte>(next() % 7 == 0 ? 1 + next() % kExplanations : 0);
                if (notes && next() % 5 == 0) {
                    (void)files.StoreCellNote(
                        d, s, QStringLiteral("Note of day %1 for slot %2, please call back").arg(day).arg(s));
                }
            }
            (void)files.WriteRecord(FileNo::Days, day, d);
        }
    }

    ReportContext Context() { return {files, *grid, host, print, {}}; }

    // The program's recording and the baseline's are the same; else the benchmark fails.
    bool SameRecording(benchmark::State& state) const
    {
        const QString difference = bench::RecordingDifference(
            bench::FileBytes(rec.CommandPath()), bench::FileBytes(rec.TextPath()),
            bench::FileBytes(dir.filePath(QStringLiteral("Plain.RP1"))),
            bench::FileBytes(dir.filePath(QStringLiteral("Plain.RP2"))));
        if (difference.isEmpty()) return true;
        bench::FailDiffering(state, difference);
        return false;
    }
};

// The measures of a report page, from the printer as the reports take them: the page area, the
// title (16 points) and subtitle (12 points) lines, the header, the report font's line.
struct ReportPage : PlainPageArea {
    double subtitleLine = 0, header = 0, bodyLine = 0, dayBand = 0;
    std::uint32_t shade = 0;
    // The header's texts lie between the page's top and half a subtitle line above the header's
    // end.
    PixelRect HeaderRect() const { return Rect(left, top, right, top + header - subtitleLine / 2); }
    // A text in a rectangle of twips, recorded in printer pixels.
    void Text(PlainRecorder& out, double l, double t, double r, double b, int flags, const QString& text) const
    {
        const PixelRect p = Rect(l, t, r, b);
        out.Text(text, p.Left, p.Top, p.Right, p.Bottom, flags);
    }
};

inline ReportPage MeasureReportPage(PrinterDevice& p, const ReportSettingsRecord& b)
{
    ReportPage page;
    static_cast<PlainPageArea&>(page) =
        MeasurePageArea(p, {b.Margins[0], b.Margins[1], b.Margins[2], b.Margins[3]}, 2);
    (void)p.SetFontName(QStringLiteral("Arial"));
    (void)p.SetFontBold(false);
    (void)p.SetFontSize(16);
    const double title = p.TextHeight(QStringLiteral("Aj"));
    (void)p.SetFontSize(12);
    page.subtitleLine = p.TextHeight(QStringLiteral("Aj"));
    page.header = page.SnapY(title + 2 * page.subtitleLine);
    (void)p.SetFontSize(b.FontSize);
    page.bodyLine = p.TextHeight(QStringLiteral("jyA"));
    page.dayBand = page.subtitleLine + 46;
    const int grey = std::clamp(Runtime::CInt(255 - 255.0 * b.ShadePercent / 100), 0, 255);
    page.shade = Rgb(grey, grey, grey);
    return page;
}

// The header of a page, as every report begins one.
inline void PlainHeader(PlainRecorder& out, const ReportSchedule& s, const ReportPage& page, const QString& title, int pageNo,
                 const QString& range)
{
    const OleDate now = s.print.Now();
    const PixelRect h = page.HeaderRect();
    const auto text = [&](const QString& t, int flags) { out.Text(t, h.Left, h.Top, h.Right, h.Bottom, flags); };
    out.Command(Pv::ForeColor);
    out.Command(Pv::FontSize, 0, 0, 0, 0, 16);
    text(title, 289);
    out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
    text(QStringLiteral("Run Date: ") + Runtime::FormatDate(now, s.files.DateFormat), 288);
    text(QStringLiteral("Run Time: ") + Runtime::FormatDate(now, s.grid->TimeFormat), 290);
    text(QStringLiteral("Page: ") + QString::number(pageNo), 298);
    text(range, 297);
}

// The report font again: its size, not bold, not italic.
inline void PlainReportFont(PlainRecorder& out)
{
    out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
    out.Command(Pv::FontBold);
    out.Command(Pv::FontItalic);
}

// A calendar page of seven day columns and six week rows under the header, as the calendar
// reports draw it: the weekday band, the frame and lines, the weekday names and the dates.
struct PlainCalendar {
    const ReportPage& page;
    double column = 0, week = 0, y0 = 0;
    std::vector<QString> dates;  // made once for every page

    // Days from start, a Sunday.
    PlainCalendar(const ReportPage& p, const ReportSchedule& s, OleDate start, int days)
        : page(p),
          column(p.SnapX(Runtime::IntDiv(p.right - p.left, 7))),
          week(p.SnapY(Runtime::IntDiv(p.bottom - p.top - p.header - p.dayBand, 6))),
          y0(p.top + p.header)
    {
        for (int i = 0; i < days; ++i) dates.push_back(Runtime::FormatDate(start + i, s.files.DateFormat));
    }
    double CellLeft(int c) const { return page.left + c * column + 23; }
    double CellRight(int c) const { return page.left + (c + 1) * column - 23; }
    double RowTop(int k) const { return y0 + page.dayBand + k * week; }

    // In colour Sundays are red. The report font follows.
    void Draw(PlainRecorder& out, bool colour) const
    {
        const auto at = [](double t) { return Runtime::CInt(t); };
        const auto weekdayColour = [&](int i) {
            if (colour) out.Command(Pv::ForeColor, 0, 0, 0, 0, i % 7 == 0 ? static_cast<int>(PaletteColour(4)) : 0);
        };
        out.Command(Pv::DrawWidth, 0, 0, 0, 0, 1);
        out.Command(Pv::FilledBox, page.left, page.right, at(y0), at(y0 + page.dayBand), std::int32_t(page.shade));
        out.Command(Pv::Box, page.left, page.right, at(y0), page.bottom);
        for (int i = 1; i < 7; ++i) {
            const int x = at(page.left + i * column);
            out.Command(Pv::Line, x, x, at(y0), page.bottom);
        }
        for (int w = 0; w < 6; ++w) out.Command(Pv::Line, page.left, page.right, at(RowTop(w)), at(RowTop(w)));
        out.Command(Pv::FontBold);
        out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
        for (int c = 0; c < 7; ++c) {
            weekdayColour(c);
            page.Text(out, CellLeft(c), y0 + 23, CellRight(c), y0 + page.subtitleLine + 23, 293, WeekdayName(c + 1));
        }
        out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
        for (int i = 0; i < static_cast<int>(dates.size()); ++i) {
            weekdayColour(i);
            page.Text(out, CellLeft(i % 7), RowTop(i / 7) + 23, CellRight(i % 7), RowTop(i / 7) + week + 23, 257,
                      dates[static_cast<std::size_t>(i)]);
        }
        if (colour) out.Command(Pv::ForeColor);
        PlainReportFont(out);
    }
};

}  // namespace tavrin::bench
