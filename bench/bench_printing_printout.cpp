// The schedule printout of 200 names by 42 days, every cell filled (several shifts, two-shift
// cells, explanations, on-call marks, notes in a fifth of the cells), four coverage lines:
//   - recorded for the preview, against the same kind and number of records and texts built
//     straight from the day records (one pread of the day run, the texts of each code and heading
//     encoded once, cell rectangles by arithmetic) and written a page at a time with one pwrite
//     per file, as the printout gathers them;
//   - printed to the PDF target, against QPainter on a QPdfWriter drawing the same items;
//   - exported as delimited text to a file (which also records the drawing), against the same
//     text built straight from the day records (the notes read in one go) and written the same
//     way.
// Before it is timed, each baseline is checked to record the same, print the same pixels or
// write the same text as the program.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "BenchSupport.h"
#include "PlainPageArea.h"
#include "SameResult.h"
#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/Export.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/SchedulePrintout.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

// The explanation list numbers its entries and shows nothing.
class QuietHost final : public bench::QuietGridHost {
public:
    int ExplListIndex(int code) const override { return code; }
    QString ExplanationListText(int) const override { return {}; }
};

constexpr int kNames = 200;
constexpr int kDays = 42;

// A schedule in a working folder of its own, its printer the PDF target.
struct Schedule {
    QTemporaryDir work;
    QString pdf = work.filePath(QStringLiteral("printout.pdf"));
    bench::QuietMsgBox msg;
    QtPrinterDevice printer{pdf};
    QtFileDialogs dialogs;
    FontService fonts{96};
    QuietHost host;
    SchedFiles files{work.path(), msg, printer};
    GridPaint grid{files, host, fonts};
    PreviewRec rec{work.path()};
    PrintServices print{printer, rec, fonts, msg, dialogs};

    Schedule()
    {
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), pdf});
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        (void)files.OpenWorkingFiles();
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2024, 1, 7);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + 364;
        files.ScheduleProps.FirstVisibleDay = 0;

        static const char* const kShifts[8][2] = {{"Day", "D7"},  {"Evening", "E3"}, {"Night", "N11"}, {"Early", "D6"},
                                                  {"Late", "E4"}, {"Half", "H8"},    {"Mid", "M10"},   {"Long", "L7"}};
        for (int s = 1; s <= 8; ++s) {
            ShiftRecord& r = files.ShiftTable[s];
            r.Description = QString::fromLatin1(kShifts[s - 1][0]);
            r.Abbreviation = QString::fromLatin1(kShifts[s - 1][1]);
            r.StartTime = (5.0 + 2 * s) / 24.0;
            r.EndTime = (13.0 + 2 * s) / 24.0;
            r.PaidHours = s == 6 ? 4.0f : 7.5f;
            r.ColourIndex = static_cast<Int16>(s);
            files.ShiftColours[s] = static_cast<Byte>(s);
        }
        for (int e = 1; e <= 4; ++e) files.ExplTable.Abbreviation[e] = QStringLiteral("EX%1").arg(e);

        ScheduleFormatRecord& f = files.CurrentFormat;
        f.DaysOnScreen = kDays;
        f.CellItems[1] = {CellCode::Shift1Times, kTrue, kTrue, kFalse, 0, 0};
        f.VisibleCoverageTotals = 4;
        for (int k = 1; k <= 4; ++k) {
            CoverageTotalRecord& c = f.CoverageTotals[k];
            c.Title = QStringLiteral("Coverage %1").arg(k);
            c.IgnoreNames = kTrue;
            c.IgnoreExplanations = kTrue;
            c.IgnoreShifts = kFalse;
            c.SelectedShifts[k] = 1;
            c.SelectedShifts[k + 4] = 1;
        }
        files.VisibleDays = kDays;
        (void)files.LoadVisibleDays();
        grid.CoverageVisible = true;

        for (int n = 1; n <= 200; ++n) {
            NoteRecord note;
            note.NoteText = QStringLiteral("Note %1, swap with a colleague").arg(n);
            (void)files.WriteRecord(FileNo::Notes, n + 1, note);
        }
        for (int row = 1; row <= kNames; ++row) {
            files.EmpTable.Name[row] = QStringLiteral("Employee %1, Name").arg(row, 3, 10, QLatin1Char('0'));
            files.EmpTable.Position[row] = QStringLiteral("RN %1").arg(row % 7);
            const int slot = files.ScheduleProps.RowMap[row];
            for (int d = 1; d <= kDays; ++d) {
                DayRecord& day = files.ColumnDay(d);
                const int cell = row * kDays + d;
                day.Shift1Code[slot] = static_cast<Byte>(1 + cell % 8);
                day.Shift2Code[slot] = cell % 6 == 0 ? static_cast<Byte>(1 + (cell + 3) % 8) : 0;
                day.ExplanationCode[slot] = cell % 4 == 0 ? static_cast<Byte>(1 + cell % 4) : 0;
                day.OnCallFlag[slot] = cell % 9 == 0 ? 1 : 0;
                day.NoteNumber[slot] = cell % 5 == 0 ? static_cast<Int16>(2 + cell % 200) : 0;
            }
        }
    }

    std::vector<int> Rows() const
    {
        std::vector<int> rows;
        for (int r = 1; r <= kNames; ++r) rows.push_back(r);
        return rows;
    }
    SchedulePrintout::Outcome Printout(bool preview, TextExport* text = nullptr)
    {
        rec.PreviewMode = preview;
        SchedulePrintout printout(print, files, grid, [](int) { return QString(); });
        PrintoutRequest request;
        request.rows = Rows();
        request.text = text;
        request.showPreview = false;
        return printout.PrintSchedule(request);
    }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// The records and texts of one preview run of the printout.
struct Recording {
    QByteArray commands;
    QByteArray texts;
    std::vector<PreviewCommandRecord> records;
};

const Recording& Recorded()
{
    static const Recording r = [] {
        Schedule& s = Shared();
        Recording out;
        if (s.Printout(true) != SchedulePrintout::Outcome::Done) return out;
        out.commands = bench::FileBytes(s.rec.CommandPath());
        out.texts = bench::FileBytes(s.rec.TextPath());
        for (qsizetype at = 0; at + 28 <= out.commands.size(); at += 28) {
            PreviewCommandRecord rec;
            Decode(
                std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(out.commands.constData()) + at, 28),
                rec);
            out.records.push_back(rec);
        }
        return out;
    }();
    return r;
}

// ---------------------------------------------------------------- recording

void BM_PrintoutToRecorder(benchmark::State& state)
{
    Schedule& s = Shared();
    for (auto _ : state) {
        if (s.Printout(true) != SchedulePrintout::Outcome::Done) state.SkipWithError("the printout failed");
    }
    state.counters["records"] = static_cast<double>(s.rec.PreviewCmdCount);
    state.counters["text_bytes"] = static_cast<double>(s.rec.PreviewTextPos - 1);
}

// What is the same on every page of every run: the page area and the font measures, taken from
// the printer as the printout takes them.
struct PageLayout : bench::PlainPageArea {
    int headerHeight = 0, headerLineHeight = 0, lineHeight = 0, nameWidth = 0, positionWidth = 0, dayWidth = 0,
        headingHeight = 0;
    int rowHeight = 0, coverageHeight = 0;
    // The three lines of a cell, in printer pixels below the row's top.
    int bandTop[3] = {}, bandBottom[3] = {};
    std::uint32_t shade = 0;
};

PageLayout MeasurePage(Schedule& s)
{
    PrinterDevice& p = s.printer;
    const ReportSettingsRecord& ps = s.files.CurrentFormat.PrintSettings;
    PageLayout L;
    static_cast<bench::PlainPageArea&>(L) =
        bench::MeasurePageArea(p, {ps.Margins[0], ps.Margins[1], ps.Margins[2], ps.Margins[3]}, 1);
    const auto snapY = [&L](double t) { return L.SnapY(t); };
    const auto snapX = [&L](double t) { return L.SnapX(t); };

    (void)p.SetFontBold(false);
    (void)p.SetFontSize(16);
    const double title = p.TextHeight(QStringLiteral("Aj"));
    (void)p.SetFontSize(10);
    L.headerLineHeight = Runtime::CInt(p.TextHeight(QStringLiteral("Aj")));
    L.headerHeight = Runtime::CInt(snapY(title + 2.0 * L.headerLineHeight));
    (void)p.SetFontSize(8);
    L.lineHeight = Runtime::CInt(p.TextHeight(QStringLiteral("jyA")));
    L.nameWidth = Runtime::CInt(p.TextWidth(QString(12, QLatin1Char('M'))));
    L.positionWidth = Runtime::CInt(p.TextWidth(QString(8, QLatin1Char('M'))));
    const float share = static_cast<float>(L.right - L.left - L.nameWidth - L.positionWidth) / kDays;
    L.dayWidth = Runtime::CInt(snapX(Runtime::CInt(share)));
    L.nameWidth += L.right - (L.left + L.nameWidth + L.positionWidth + kDays * L.dayWidth);
    L.headingHeight = 2 * L.lineHeight + 46;
    L.coverageHeight = L.lineHeight + 46;
    const int line = L.Py(L.lineHeight), gap = L.Py(23);
    for (int b = 0; b < 3; ++b) {
        L.bandTop[b] = gap + b * (line + gap);
        L.bandBottom[b] = L.bandTop[b] + line - 1;
    }
    L.rowHeight = Runtime::CInt((gap + 3 * (line + gap)) * L.tpy);
    const int grey = std::clamp(Runtime::CInt(255.0f - 255.0f * ps.ShadePercent / 100.0f), 0, 255);
    L.shade = Rgb(grey, grey, grey);
    return L;
}

// The records and texts of a preview recording, gathered a page at a time and written with one
// pwrite per file and page, the texts first.
class RecordWriter {
public:
    RecordWriter(int cmd, int txt) : cmd_(cmd), txt_(txt) {}

    void Set(int command, std::int32_t value)
    {
        rec_.Command = static_cast<std::int16_t>(command);
        rec_.Value = value;
        Put();
    }
    void Corners(int command, int x1, int y1, int x2, int y2, std::int32_t fill = 0)
    {
        if (command == Pv::FilledBox) rec_.Value = fill;
        rec_.Command = static_cast<std::int16_t>(command);
        rec_.A = x1;
        rec_.B = x2;
        rec_.C = y1;
        rec_.D = y2;
        Put();
    }
    void Width(int w)
    {
        if (w != width_) Set(Pv::DrawWidth, width_ = w);
    }
    void Text(const QByteArray& bytes, const PixelRect& r, int flags)
    {
        rec_.Command = Pv::DrawText;
        rec_.A = r.Left;
        rec_.B = r.Top;
        rec_.C = r.Right;
        rec_.D = r.Bottom;
        rec_.Value = flags;
        rec_.TextPos = static_cast<std::int32_t>(textPos_ + texts_.size());
        rec_.TextLen = static_cast<std::int16_t>(bytes.size());
        texts_.insert(texts_.end(), bytes.cbegin(), bytes.cend());
        Put();
    }
    bool EndPage(int command)
    {
        rec_.Command = static_cast<std::int16_t>(command);
        Put();
        width_ = -1;
        const auto textBytes = static_cast<ssize_t>(texts_.size());
        const auto cmdBytes = static_cast<ssize_t>(cmds_.size());
        const bool ok = ::pwrite(txt_, texts_.data(), texts_.size(), textPos_ - 1) == textBytes &&
                        ::pwrite(cmd_, cmds_.data(), cmds_.size(), cmdAt_) == cmdBytes;
        textPos_ += textBytes;
        cmdAt_ += cmdBytes;
        texts_.clear();
        cmds_.clear();
        return ok;
    }
    std::int64_t Records() const { return cmdAt_ / static_cast<std::int64_t>(PreviewCommandRecord::Size); }
    std::int64_t TextBytes() const { return textPos_ - 1; }

private:
    void Put()
    {
        const std::size_t at = cmds_.size();
        cmds_.resize(at + PreviewCommandRecord::Size);
        Encode(rec_, std::span<std::uint8_t>(cmds_.data() + at, PreviewCommandRecord::Size));
    }

    int cmd_, txt_;
    PreviewCommandRecord rec_;
    std::vector<std::uint8_t> cmds_, texts_;
    std::int64_t cmdAt_ = 0, textPos_ = 1;
    int width_ = -1;
};

// The whole printout straight from the day records: the day run read with one pread, the texts
// of each shift code, explanation, mark, date and heading encoded once, every cell's rectangle
// found by arithmetic.
bool RecordPrintout(Schedule& s, const PageLayout& L, int days, RecordWriter& w)
{
    const SchedFiles& f = s.files;
    std::vector<std::uint8_t> run(static_cast<std::size_t>(kDays) * DayRecord::Size);
    if (::pread(days, run.data(), run.size(), 0) != static_cast<ssize_t>(run.size())) return false;
    std::vector<DayRecord> day(kDays + 1);
    for (int d = 1; d <= kDays; ++d)
        Decode(std::span<const std::uint8_t>(run.data() + (d - 1) * DayRecord::Size, DayRecord::Size),
               day[static_cast<std::size_t>(d)]);

    // The texts of a cell's three lines: shift and times; shift and explanation; the marks.
    const auto enc = [](const QString& t) { return StringToCp1252(t); };
    std::vector<QByteArray> times(100), named(100 * 256);
    for (int c = 1; c <= 99; ++c) {
        const ShiftRecord& r = f.ShiftTable[c];
        const QString name = Runtime::Trim(r.Abbreviation.str());
        if (name.isEmpty()) continue;
        times[static_cast<std::size_t>(c)] =
            enc(name + QLatin1Char(',') + Runtime::FormatDate(r.StartTime, s.grid.TimeFormat) + QStringLiteral(" - ") +
                Runtime::FormatDate(r.EndTime, s.grid.TimeFormat));
        named[static_cast<std::size_t>(c * 256)] = enc(name);
        for (int e = 1; e <= 4; ++e)
            named[static_cast<std::size_t>(c * 256 + e)] =
                enc(name + QLatin1Char(',') + Runtime::Trim(f.ExplTable.Abbreviation[e].str()));
    }
    const QByteArray marks[4] = {{}, "+", "*", "+, *"};

    // The headings: the run lines, the weekday and date of each column, the column edges.
    const OleDate now = s.print.Now();
    const QByteArray title = enc(Runtime::Trim(f.CurrentFormat.PrintSettings.Title.str()));
    const QByteArray runDate = enc(QStringLiteral("Run Date: ") + Runtime::FormatDate(now, f.DateFormat));
    const QByteArray runTime = enc(QStringLiteral("Run Time: ") + Runtime::FormatDate(now, s.grid.TimeFormat));
    const QByteArray period =
        enc(Runtime::FormatDate(s.grid.ColumnDate(1), QStringLiteral("Long Date")) + QStringLiteral(" to ") +
            Runtime::FormatDate(s.grid.ColumnDate(kDays), QStringLiteral("Long Date")));
    std::vector<QByteArray> weekday(kDays + 1), date(kDays + 1);
    std::vector<int> x(kDays + 2);
    std::vector<bool> weekEnd(kDays + 1);
    int ws = f.ScheduleProps.FirstDayOfWeek;
    if (ws < 1 || ws > 7) ws = 1;
    for (int d = 1; d <= kDays; ++d) {
        const OleDate on = s.grid.ColumnDate(d);
        weekday[static_cast<std::size_t>(d)] = enc(s.grid.WeekdayNames[Runtime::Weekday(on)]);
        date[static_cast<std::size_t>(d)] = enc(Runtime::FormatDate(on, s.grid.RulerDateFormat));
        weekEnd[static_cast<std::size_t>(d)] = Runtime::Weekday(on + 1) == ws;
        x[static_cast<std::size_t>(d)] = L.left + L.nameWidth + L.positionWidth + (d - 1) * L.dayWidth;
    }
    x[kDays + 1] = L.right;

    // The coverage lines count the shifts each selects; a line of its own colour, or of the
    // default colour when coverage rows are shaded, fills its row.
    const ScheduleFormatRecord& fmt = f.CurrentFormat;
    const int lines = fmt.VisibleCoverageTotals;
    std::vector<std::optional<std::int32_t>> coverageFill(static_cast<std::size_t>(lines + 1));
    for (int k = 1; k <= lines; ++k) {
        DividerPropertiesRecord line;
        (void)f.ReadRecord(FileNo::Dividers, CoverageLineRecord(f.CurrentFormatNo, k), line);
        const bool own = line.UseDefaultColour == 0;
        if (own && fmt.PrintSettings.PrintInColour != 0)
            coverageFill[static_cast<std::size_t>(k)] = -static_cast<std::int32_t>(line.Colour & 0xFFFFFF);
        else if (own || fmt.PrintSettings.ShadeCoverage != 0)
            coverageFill[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(L.shade);
    }
    std::vector<QByteArray> coverage(static_cast<std::size_t>(lines * (kDays + 1)));
    for (int k = 1; k <= lines; ++k) {
        const CoverageTotalRecord& c = fmt.CoverageTotals[k];
        for (int d = 1; d <= kDays; ++d) {
            const DayRecord& r = day[static_cast<std::size_t>(d)];
            int n = 0;
            // A cell counts once when either of its shifts is one the line selects.
            for (int slot = 1; slot <= kNames; ++slot)
                n += c.SelectedShifts[r.Shift1Code[slot]] != 0 || c.SelectedShifts[r.Shift2Code[slot]] != 0;
            // A total of 0 prints nothing.
            if (n != 0) coverage[static_cast<std::size_t>((k - 1) * (kDays + 1) + d)] = QByteArray::number(n);
        }
    }

    constexpr int gap = 23;
    const int single = Surface::DT_SINGLELINE;
    const int y0 = L.top + L.headerHeight;
    const int bodyTop = y0 + L.headingHeight;
    const int total = kNames + lines;
    int next = 1;
    for (int page = 1; next <= total; ++page) {
        // The rows that fit.
        int last = next - 1, fill = bodyTop;
        for (int r = next; r <= total; ++r) {
            const int h = r <= kNames ? L.rowHeight : L.coverageHeight;
            if (fill + h > L.bottom) break;
            fill += h;
            last = r;
        }
        const int coverageTop = last > kNames ? bodyTop + std::max(0, kNames - next + 1) * L.rowHeight : 0;

        // The page header and the grid.
        const PixelRect head = PixelRect{L.Px(L.left), L.Py(L.top), L.Px(L.right),
                                         L.Py(L.top + L.headerHeight - L.headerLineHeight / 2.0)};
        w.Set(Pv::FontSize, 16);
        w.Text(title, head, Surface::DT_CENTER | single);
        w.Set(Pv::FontSize, 10);
        w.Text(runDate, head, single);
        w.Text(runTime, head, Surface::DT_RIGHT | single);
        w.Text(QByteArrayLiteral("Page: ") + QByteArray::number(page), head,
               Surface::DT_RIGHT | Surface::DT_BOTTOM | single);
        w.Text(period, head, Surface::DT_CENTER | Surface::DT_BOTTOM | single);
        w.Set(Pv::FontSize, 8);
        w.Set(Pv::FontBold, 0);
        w.Set(Pv::FontItalic, 0);
        w.Width(3);
        w.Corners(Pv::FilledBox, L.left, y0, L.right, bodyTop, static_cast<std::int32_t>(L.shade));
        if (coverageTop > 0) {
            for (int y = coverageTop, k = next > kNames ? next - kNames : 1; y < fill; y += L.coverageHeight, ++k) {
                const std::optional<std::int32_t> colour = coverageFill[static_cast<std::size_t>(std::min(k, lines))];
                if (colour) w.Corners(Pv::FilledBox, L.left, y, L.right, std::min(y + L.coverageHeight, L.bottom), *colour);
            }
            w.Corners(Pv::Line, L.left, coverageTop, L.right, coverageTop);
        }
        w.Corners(Pv::Box, L.left, y0, L.right, fill);
        w.Corners(Pv::Line, L.left, bodyTop, L.right, bodyTop);
        w.Width(1);
        const int nameEdge = L.left + L.nameWidth;
        w.Corners(Pv::Line, nameEdge, y0, nameEdge, coverageTop > 0 ? coverageTop : fill);
        w.Width(3);
        w.Corners(Pv::Line, nameEdge + L.positionWidth, y0, nameEdge + L.positionWidth, fill);
        for (int d = 1; d <= kDays; ++d) {
            w.Width(weekEnd[static_cast<std::size_t>(d)] ? 3 : 1);
            w.Corners(Pv::Line, x[d + 1], y0, x[d + 1], fill);
        }
        w.Width(1);

        // The headings.
        const int top = y0 + L.headingHeight / 2 - L.lineHeight / 2;
        w.Text("Name", L.Rect(L.left + gap, top, nameEdge - gap, top + L.lineHeight), Surface::DT_CENTER);
        w.Text("Position", L.Rect(nameEdge + gap, top, nameEdge + L.positionWidth - gap, top + L.lineHeight),
               Surface::DT_CENTER);
        for (int d = 1; d <= kDays; ++d) {
            const int cx = x[static_cast<std::size_t>(d)];
            w.Text(weekday[static_cast<std::size_t>(d)], L.Rect(cx, y0 + gap, cx + L.dayWidth, y0 + gap + L.lineHeight),
                   Surface::DT_CENTER);
            w.Text(date[static_cast<std::size_t>(d)],
                   L.Rect(cx, y0 + 2 * gap + L.lineHeight, cx + L.dayWidth, y0 + 2 * L.lineHeight + gap),
                   Surface::DT_CENTER);
        }

        // The rows.
        int y = bodyTop;
        for (int r = next; r <= last; ++r) {
            if (r <= kNames) {
                const int bottom = std::min(y + L.rowHeight, L.bottom);
                w.Corners(Pv::Line, L.left, bottom, L.right, bottom);
                w.Text(enc(Runtime::Trim(f.EmpTable.Name[r].str())),
                       L.Rect(L.left + gap, y + gap, nameEdge - gap, bottom - gap), single);
                w.Text(enc(Runtime::Trim(f.EmpTable.Position[r].str())),
                       L.Rect(nameEdge + gap, y + gap, nameEdge + L.positionWidth - gap, bottom - gap), single);
                const int slot = f.ScheduleProps.RowMap[r];
                const int yPx = L.Py(y), bottomPx = L.Py(bottom);
                for (int d = 1; d <= kDays; ++d) {
                    const DayRecord& v = day[static_cast<std::size_t>(d)];
                    const int s1 = v.Shift1Code[slot];
                    const int mark = (v.OnCallFlag[slot] == 1 ? 1 : 0) | (v.NoteNumber[slot] > 0 ? 2 : 0);
                    if (s1 == 0) continue;
                    const int cx = x[static_cast<std::size_t>(d)];
                    const int l = L.Px(cx + gap), rt = L.Px(cx + L.dayWidth - gap);
                    const auto band = [&](int b) {
                        return PixelRect{l, yPx + L.bandTop[b], rt, std::min(yPx + L.bandBottom[b], bottomPx)};
                    };
                    w.Text(times[static_cast<std::size_t>(s1)], band(0), single);
                    w.Text(named[static_cast<std::size_t>(s1 * 256 + v.ExplanationCode[slot])], band(1), single);
                    if (mark != 0) w.Text(marks[mark], band(2), single);
                }
                y += L.rowHeight;
            } else {
                const int k = r - kNames;
                const int bottom = std::min(y + L.coverageHeight, L.bottom);
                if (r != last) w.Corners(Pv::Line, L.left, bottom, L.right, bottom);
                w.Text(enc(Runtime::Trim(fmt.CoverageTotals[k].Title.str())),
                       L.Rect(L.left + gap, y + gap, nameEdge + L.positionWidth - gap, bottom - gap),
                       single | Surface::DT_BOTTOM);
                for (int d = 1; d <= kDays; ++d) {
                    const int cx = x[static_cast<std::size_t>(d)];
                    const QByteArray& total = coverage[static_cast<std::size_t>((k - 1) * (kDays + 1) + d)];
                    if (total.isEmpty()) continue;
                    w.Text(total,
                           L.Rect(cx + gap, y + gap, cx + L.dayWidth - gap, bottom - gap),
                           Surface::DT_RIGHT | Surface::DT_BOTTOM | single);
                }
                y += L.coverageHeight;
            }
        }
        next = last + 1;
        if (!w.EndPage(Pv::NewPage)) return false;
    }
    return w.EndPage(Pv::EndDocument);
}

void BM_PrintoutToRecorder_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const Recording& recorded = Recorded();
    const PageLayout layout = MeasurePage(s);
    QTemporaryDir dir;
    const QByteArray cmdPath = QFile::encodeName(dir.filePath(QStringLiteral("Preview.RP1")));
    const QByteArray textPath = QFile::encodeName(dir.filePath(QStringLiteral("Preview.RP2")));
    // The day run as the days file holds it.
    const QByteArray dayPath = QFile::encodeName(dir.filePath(QStringLiteral("days.dat")));
    const int days = ::open(dayPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    for (int d = 1; d <= kDays; ++d) {
        const auto bytes = Encode(s.files.ColumnDay(d));
        (void)::pwrite(days, bytes.data(), bytes.size(), static_cast<off_t>((d - 1) * DayRecord::Size));
    }
    std::int64_t records = 0, textBytes = 0;
    const auto record = [&] {
        ::unlink(cmdPath.constData());
        ::unlink(textPath.constData());
        const int cmd = ::open(cmdPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        const int txt = ::open(textPath.constData(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        RecordWriter w(cmd, txt);
        const bool ok = RecordPrintout(s, layout, days, w);
        records = w.Records();
        textBytes = w.TextBytes();
        ::close(txt);
        ::close(cmd);
        return ok;
    };
    {
        // Both record the same commands and texts.
        if (!record()) state.SkipWithError("write");
        const QString difference =
            bench::RecordingDifference(recorded.commands, recorded.texts, bench::FileBytes(QFile::decodeName(cmdPath)),
                                       bench::FileBytes(QFile::decodeName(textPath)));
        if (!difference.isEmpty()) {
            bench::FailDiffering(state, difference);
            ::close(days);
            return;
        }
    }
    for (auto _ : state) {
        if (!record()) state.SkipWithError("write");
    }
    ::close(days);
    state.counters["records"] = static_cast<double>(records);
    state.counters["text_bytes"] = static_cast<double>(textBytes);
}

// ---------------------------------------------------------------- the PDF target

void BM_PrintoutToPdf(benchmark::State& state)
{
    Schedule& s = Shared();
    for (auto _ : state) {
        if (s.Printout(false) != SchedulePrintout::Outcome::Done) state.SkipWithError("the printout failed");
    }
}

void BM_PrintoutToPdf_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const Recording& r = Recorded();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printout.pdf"));
    const QString temp = dir.filePath(QStringLiteral(".printout.pdf.part"));
    const int dpi = Runtime::CInt(1440.0 / s.printer.TwipsPerPixelX());
    const double tpp = 1440.0 / dpi;
    const QString family = s.fonts.Resolve({QStringLiteral("Arial"), 8, false, false})->font.family();
    // The texts as strings, made once: the plain way holds its texts as the strings it draws.
    std::vector<QString> texts(r.records.size());
    for (std::size_t i = 0; i < r.records.size(); ++i) {
        const PreviewCommandRecord& rec = r.records[i];
        if (rec.Command != Pv::DrawText) continue;
        texts[i] = Cp1252ToString(reinterpret_cast<const std::uint8_t*>(r.texts.constData()) + rec.TextPos - 1,
                                  static_cast<std::size_t>(rec.TextLen));
    }
    const auto colour = [](std::int32_t v) { return QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(std::abs(v)))); };
    // The printer's sheet (twips are twentieths of a point).
    const QPageSize paper(QSizeF(s.printer.Width() / 20.0, s.printer.Height() / 20.0), QPageSize::Point);
    const PreviewCommandRecord* lastPageEnd = nullptr;
    for (const PreviewCommandRecord& rec : r.records) {
        if (rec.Command == Pv::NewPage) lastPageEnd = &rec;
    }
    const auto print = [&] {
        QPdfWriter writer(temp);
        writer.setResolution(dpi);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF()));
        QPainter p(&writer);
        QFont font(family);
        font.setPointSizeF(8);
        p.setFont(font);
        QColor ink(Qt::black);
        int width = 1;
        for (std::size_t i = 0; i < r.records.size(); ++i) {
            const PreviewCommandRecord& rec = r.records[i];
            switch (rec.Command) {
                case Pv::FontSize:
                    font.setPointSizeF(rec.Value);
                    p.setFont(font);
                    break;
                case Pv::FontBold:
                    font.setBold(rec.Value != 0);
                    p.setFont(font);
                    break;
                case Pv::FontItalic:
                    font.setItalic(rec.Value != 0);
                    p.setFont(font);
                    break;
                case Pv::ForeColor:
                    ink = QColor::fromRgb(ToQRgb(static_cast<std::uint32_t>(rec.Value)));
                    break;
                case Pv::DrawWidth:
                    width = rec.Value;
                    break;
                case Pv::DrawText: {
                    int flags = (rec.Value & 1) ? Qt::AlignHCenter : (rec.Value & 2) ? Qt::AlignRight : Qt::AlignLeft;
                    flags |= (rec.Value & 4) ? Qt::AlignVCenter : (rec.Value & 8) ? Qt::AlignBottom : Qt::AlignTop;
                    flags |= (rec.Value & 16) ? Qt::TextWordWrap : Qt::TextSingleLine;
                    p.setPen(ink);
                    p.drawText(QRect(rec.A, rec.B, rec.C - rec.A, rec.D - rec.B), flags, texts[i]);
                    break;
                }
                case Pv::Line:
                    p.setPen(QPen(ink, width));
                    p.drawLine(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp, rec.D / tpp));
                    break;
                case Pv::Box:
                    p.setPen(QPen(ink, width));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(QRectF(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp, rec.D / tpp)));
                    break;
                case Pv::FilledBox:
                    p.fillRect(QRectF(QPointF(rec.A / tpp, rec.C / tpp), QPointF(rec.B / tpp + 1, rec.D / tpp + 1)),
                               colour(rec.Value));
                    break;
                case Pv::Ellipse:
                    p.setPen(ink);
                    p.setBrush(colour(rec.Value));
                    p.drawEllipse(QRect(rec.A, rec.B, rec.C - rec.A, rec.D - rec.B));
                    break;
                case Pv::NewPage:
                    // Every page ends with one; the last adds no sheet.
                    if (&rec != lastPageEnd) writer.newPage();
                    break;
                default:
                    break;
            }
        }
        p.end();
        std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData());
    };
    {
        // Both print the same pages.
        if (s.Printout(false) != SchedulePrintout::Outcome::Done) state.SkipWithError("the printout failed");
        print();
        const QString difference = bench::PdfDifference(s.pdf, path);
        if (!difference.isEmpty()) {
            bench::FailDiffering(state, difference);
            return;
        }
    }
    for (auto _ : state) print();
}

// ---------------------------------------------------------------- the export

TextExport::Options AllFields()
{
    TextExport::Options o;
    for (int k = 1; k <= 12; ++k) o[k] = 1;
    o[ExportOpt::Comma] = 1;
    return o;
}

void BM_ExportToFile(benchmark::State& state)
{
    Schedule& s = Shared();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.csv"));
    for (auto _ : state) {
        TextExport text(AllFields());
        if (s.Printout(true, &text) != SchedulePrintout::Outcome::Done) state.SkipWithError("the export failed");
        if (!DeliverExportText(text.TextOut, true, path)) state.SkipWithError("cannot write");
    }
}

// The same text from the day records: the tables read once, one line per employee.
QString ExportText(const SchedFiles& files)
{
    const QString sep = QStringLiteral(",");
    const auto value = [](QString& out, const QString& f) {
        if (f.contains(QLatin1Char(','))) {
            QString t = f;
            t.replace(QLatin1Char(','), QLatin1Char('.'));
            out += t;
        } else {
            out += f;
        }
    };
    const auto field = [&value](QString& out, const QString& f) {
        out += QLatin1Char(',');
        value(out, f);
    };
    // The notes file in one read.
    std::vector<NoteRecord> records;
    std::vector<QString> notes(1);
    if (files.ReadNotes(records)) {
        for (const NoteRecord& r : records) notes.push_back(Runtime::Trim(r.NoteText.str()));
    }
    struct ShiftTexts {
        QString name, start, end, hours;
    };
    std::vector<ShiftTexts> shifts(100);
    for (int c = 1; c <= 99; ++c) {
        const ShiftRecord& r = files.ShiftTable[c];
        shifts[static_cast<std::size_t>(c)] = {Runtime::Trim(r.Abbreviation.str()),
                                               Runtime::FormatDate(r.StartTime, QStringLiteral("hh:mm")),
                                               Runtime::FormatDate(r.EndTime, QStringLiteral("hh:mm")),
                                               Runtime::FormatNumber(r.PaidHours, QStringLiteral("#0.00"))};
    }
    QString out;
    // Numbering and heading lines.
    out += sep;
    for (int d = 1; d <= kDays; ++d)
        for (int k = 1; k <= 11; ++k) out += sep + QString::number(k);
    out += QStringLiteral("\r\nName,Position");
    for (int d = 1; d <= kDays; ++d) {
        const QString date = Runtime::FormatDate(files.ScheduleProps.PeriodStart + d - 1, files.DateFormat);
        for (int k = 1; k <= 11; ++k) out += sep + date;
    }
    out += QStringLiteral("\r\n");
    for (int row = 1; row <= kNames; ++row) {
        value(out, Runtime::Trim(files.EmpTable.Name[row].str()));
        field(out, Runtime::Trim(files.EmpTable.Position[row].str()));
        const int slot = files.ScheduleProps.RowMap[row];
        for (int d = 1; d <= kDays; ++d) {
            const DayRecord& day = files.DayCache[d];
            const int e = day.ExplanationCode[slot];
            field(out, e > 0 ? Runtime::Trim(files.ExplTable.Abbreviation[e].str()) : QString());
            const int n = day.NoteNumber[slot];
            field(out, n > 0 && n < static_cast<int>(notes.size()) ? notes[static_cast<std::size_t>(n)] : QString());
            field(out, day.OnCallFlag[slot] == 1 ? QStringLiteral("1") : QStringLiteral("0"));
            for (const int code : {int(day.Shift1Code[slot]), int(day.Shift2Code[slot])}) {
                if (code >= 1 && code <= 99) {
                    const ShiftTexts& t = shifts[static_cast<std::size_t>(code)];
                    field(out, t.name);
                    field(out, t.start);
                    field(out, t.end);
                    field(out, t.hours);
                } else {
                    for (int i = 0; i < 4; ++i) field(out, QString());
                }
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

void BM_ExportToFile_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    {
        // The baseline writes exactly what the export writes.
        TextExport text(AllFields());
        if (s.Printout(true, &text) != SchedulePrintout::Outcome::Done) {
            state.SkipWithError("the export failed");
            return;
        }
        if (text.TextOut != ExportText(s.files)) {
            bench::FailDiffering(state, QStringLiteral("the baseline's text differs from the export's"));
            return;
        }
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.csv"));
    for (auto _ : state) {
        QSaveFile out(path);
        const QByteArray bytes = StringToCp1252(ExportText(s.files) + QStringLiteral("\r\n"));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            state.SkipWithError("cannot write");
    }
}

BENCHMARK(BM_PrintoutToRecorder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToRecorder_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintoutToPdf_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportToFile_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv);
}
