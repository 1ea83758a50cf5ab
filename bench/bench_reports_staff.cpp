// The staff reports recorded for the preview: the Staff 1 to 42 Day Schedule of 200 names by 42
// days sorted by five keys, and the Group Schedule of 99 groups by 7 days by 200 rows. Each
// beside a baseline that does the same work plainly: the same day records read with one pread,
// the same entry lines (sorted with precomputed keys and std::stable_sort for the schedule; the
// same cells tested in a plain loop for the groups) and the same records gathered a page at a
// time and written with one pwrite each.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

#include "PlainPageArea.h"
#include "ReportBench.h"
#include "grid/ExchangeSort.h"
#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Cp1252.h"
#include "platform/Runtime.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"
#include "printing/RptText.h"
#include "printing/SortSel.h"
#include "reports/Group.h"
#include "reports/Staff142.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

using namespace tavrin;
using bench::PlainRecorder;

namespace {

using bench::Put16;
using bench::Put32;

constexpr int kDays = 42;
constexpr int kGroupDays = 7;

// 200 named people over 42 days (ReportBench.h); 99 groups, each the people of one shift. The
// explanation list numbers its entries.
struct Schedule : bench::ReportSchedule {
    Schedule() : ReportSchedule(kDays, [](int code) { return QStringLiteral("%1, Reason %1").arg(code, 2); })
    {
        WriteDays(kDays, false);
        for (int q = 1; q <= kQueries; ++q) {
            QueryRecord query;
            query.Title = QStringLiteral("Group %1").arg(q);
            query.IgnoreNames = kTrue;
            query.IgnoreExplanations = kTrue;
            query.IgnoreShifts = kFalse;
            query.SelectedShifts[1 + q % 9] = 1;
            (void)files.WriteRecord(FileNo::Queries, q, query);
            GroupRecord g;
            g.QueryNumber = static_cast<Int16>(q);
            (void)files.WriteRecord(FileNo::Groups, q, g);
        }

        ReportSettingsRecord& staff = files.ScheduleProps.ReportSettings[kStaffScheduleBlock];
        staff.Options[20] = 3;
        staff.Title = "Staff Schedule";
        staff.FontName = "Arial";
        staff.FontSize = 8;
        staff.ShadePercent = 10;
        staff.ShadeDayRuler = kTrue;
        for (int i = 0; i <= 3; ++i) staff.Margins[i] = 360;
        for (int i = 1; i <= 6; ++i) staff.Options[i] = i == 6 ? 5 : 1;  // every part, "Smith, John"
        const int keys[] = {SortShift, SortStartTime, SortExplanation, SortPosition, SortName};
        for (int k = 0; k < 5; ++k) staff.Options[10 + k] = static_cast<Int16>(keys[k]);
        staff.Options[18] = 6;
        ReportSettingsRecord& group = files.ScheduleProps.ReportSettings[kGroupScheduleBlock];
        group = staff;
        group.Title = "Group Schedule";
        group.Options[6] = 0;
        for (int k = 0; k < 5; ++k) group.Options[10 + k] = 0;
        group.Options[10] = SortName;
    }

    // One preview recording of a dialog's report, without the preview window.
    void Record(ReportDialog& dlg, benchmark::State& state)
    {
        rec.PreviewMode = true;
        PrtSched run(print);
        if (!run.BeginRun() || !dlg.ProduceDocument(run)) state.SkipWithError("run failed");
        run.NewPage();
        run.Finish(false);
    }

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

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// ---------------------------------------------------------------- plain pages

// A header, a frame and the day texts of a page, as the reports draw them.
void PlainPage(PlainRecorder& out, int columns, int dates)
{
    out.Command(Pv::ForeColor);
    out.Command(Pv::FontSize, 0, 0, 0, 0, 16);
    out.Text(QStringLiteral("Staff Schedule"), 50, 50, 4850, 375, 289);
    out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
    out.Text(QStringLiteral("Run Date: 03/05/2024"), 50, 50, 4850, 375, 288);
    out.Text(QStringLiteral("Run Time: 2:30p"), 50, 50, 4850, 375, 290);
    out.Text(QStringLiteral("Page: 1"), 50, 50, 4850, 375, 298);
    out.Text(QStringLiteral("01/07/2024 to 02/17/2024"), 50, 50, 4850, 375, 297);
    for (int i = 0; i < 3; ++i) out.Command(Pv::FontSize + i, 0, 0, 0, 0, 8);
    out.Command(Pv::DrawWidth, 0, 0, 0, 0, 1);
    out.Command(Pv::FilledBox, 120, 11640, 1039, 1361, 230);
    out.Command(Pv::Box, 120, 11640, 1039, 15240);
    for (int i = 0; i < columns + 6; ++i) out.Command(Pv::Line, 120 + i * 1644, 120 + i * 1644, 1039, 15240);
    for (int i = 0; i < columns; ++i) out.Text(WeekdayName(i + 1), 60 + i * 685, 443, 725 + i * 685, 558, 293);
    for (int i = 0; i < dates; ++i) {
        out.Text(Runtime::FormatDate(OleDates::FromYmd(2024, 1, 7) + i, QStringLiteral("MM/dd/yyyy")),
                 60 + (i % 7) * 685, 577, 725 + (i % 7) * 685, 1000, 257);
    }
}

// Every row's name in a name style, made once.
std::vector<QString> FormattedNames(const SchedFiles& f, int style)
{
    std::vector<QString> names(kSlots + 1);
    for (int r = 1; r <= kSlots; ++r) {
        names[static_cast<std::size_t>(r)] = RptText::FormatPersonName(Runtime::Trim(f.EmpTable.Name[r].str()), style);
    }
    return names;
}

// The parts after a name, as the schedule shows them with every part ticked.
QString PlainParts(const Schedule& s, int row, const DayRecord& d, int slot)
{
    QString line = QLatin1Char(',') + Runtime::Trim(s.files.EmpTable.Position[row].str());
    if (d.OnCallFlag[slot] == 1) line += QLatin1Char(',') + s.files.ShiftTable[kOnCallCode].Abbreviation.str();
    const int s1 = d.Shift1Code[slot];
    if (IsUserShift(s1)) {
        line += QLatin1Char(',') + s.files.ShiftTable[s1].Abbreviation.str();
        const int s2 = d.Shift2Code[slot];
        if (IsShiftCode(s2)) line += QLatin1Char('/') + s.files.ShiftTable[s2].Abbreviation.str();
    }
    const int e = d.ExplanationCode[slot];
    if (IsExplanationCode(e)) line += QLatin1Char(',') + s.files.ExplTable.Abbreviation[e].str();
    return line;
}

// ---------------------------------------------------------------- the staff schedule

void BM_Staff142_200x42(benchmark::State& state)
{
    Schedule& s = Shared();
    Staff142 dlg(s.Context());
    dlg.Command3_Click();
    for (auto _ : state) s.Record(dlg, state);
    state.counters["records"] = static_cast<double>(s.rec.PreviewCmdCount);
}

// The measures of a report page, from the printer as the reports take them: the page area, the
// title (16 points) and subtitle (12 points) lines, the header, the report font's line.
struct ReportPage : bench::PlainPageArea {
    double subtitleLine = 0, header = 0, bodyLine = 0, dayBand = 0;
    std::uint32_t shade = 0;
    // The header's texts lie between the page's top and half a subtitle line above the header's
    // end.
    PixelRect HeaderRect() const { return Rect(left, top, right, top + header - subtitleLine / 2); }
};

ReportPage MeasureReportPage(PrinterDevice& p, const ReportSettingsRecord& b)
{
    ReportPage page;
    static_cast<bench::PlainPageArea&>(page) =
        bench::MeasurePageArea(p, {b.Margins[0], b.Margins[1], b.Margins[2], b.Margins[3]}, 2);
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

// The parts of the entry lines and sort keys that depend on a row or a code, made once per run.
struct EntryParts {
    std::vector<QString> name, position;        // by row: the formatted name; "," and the position
    std::vector<QByteArray> nameKey, positionKey;
    std::array<QString, 100> shift{}, second{};  // by code: "," or "/" and the abbreviation
    std::array<QByteArray, 100> shiftKey{};      // the description and the start time "hh:mm"
    std::array<QString, 100> explanation{};      // "," and the abbreviation
    std::array<QByteArray, 100> explanationKey{};
    QString onCall;

    EntryParts(const Schedule& s, int style) : name(kSlots + 1), position(kSlots + 1), nameKey(kSlots + 1),
                                               positionKey(kSlots + 1)
    {
        const SchedFiles& f = s.files;
        for (int r = 1; r <= kSlots; ++r) {
            const auto i = static_cast<std::size_t>(r);
            name[i] = RptText::FormatPersonName(Runtime::Trim(f.EmpTable.Name[r].str()), style);
            nameKey[i] = StringToCp1252(name[i]);
            const QString pos = Runtime::Trim(f.EmpTable.Position[r].str());
            position[i] = QLatin1Char(',') + pos;
            positionKey[i] = StringToCp1252(pos);
        }
        for (int c = 1; c <= 99; ++c) {
            const auto i = static_cast<std::size_t>(c);
            const ShiftRecord& r = f.ShiftTable[c];
            const QString abbreviation = Runtime::Trim(r.Abbreviation.str());
            shift[i] = QLatin1Char(',') + abbreviation;
            second[i] = QLatin1Char('/') + abbreviation;
            shiftKey[i] = StringToCp1252(Runtime::Trim(r.Description.str())) +
                          QByteArray::number(100 + Runtime::Hour(r.StartTime)).right(2) + ':' +
                          QByteArray::number(100 + Runtime::Minute(r.StartTime)).right(2);
            explanation[i] = QLatin1Char(',') + Runtime::Trim(f.ExplTable.Abbreviation[c].str());
            explanationKey[i] = StringToCp1252(Runtime::Trim(s.host.ExplanationListText(c)));
        }
        onCall = QLatin1Char(',') + Runtime::Trim(f.ShiftTable[kOnCallCode].Abbreviation.str());
    }

    // " Name,Position,+,S1/S2,R1": the preview's leading blank, the name and every part.
    QString Line(int row, const DayRecord& d, int slot) const
    {
        const auto i = static_cast<std::size_t>(row);
        QString line = QLatin1Char(' ') + name[i] + position[i];
        if (d.OnCallFlag[slot] == 1) line += onCall;
        const int s1 = d.Shift1Code[slot];
        if (IsUserShift(s1)) {
            line += shift[static_cast<std::size_t>(s1)];
            const int s2 = d.Shift2Code[slot];
            if (IsUserShift(s2)) line += second[static_cast<std::size_t>(s2)];
        }
        const int e = d.ExplanationCode[slot];
        if (IsExplanationCode(e)) line += explanation[static_cast<std::size_t>(e)];
        return line;
    }
    // The key by shift, start time, explanation, position and name.
    void Key(QByteArray& k, int row, const DayRecord& d, int slot) const
    {
        const int s1 = d.Shift1Code[slot];
        const int e = d.ExplanationCode[slot];
        k.clear();
        k += IsUserShift(s1) ? shiftKey[static_cast<std::size_t>(s1)] : QByteArrayLiteral("ZZ");
        k += IsExplanationCode(e) ? explanationKey[static_cast<std::size_t>(e)] : QByteArrayLiteral("Z");
        k += positionKey[static_cast<std::size_t>(row)];
        k += nameKey[static_cast<std::size_t>(row)];
    }
};

// The header of a page, as every report begins one.
void PlainHeader(PlainRecorder& out, const Schedule& s, const ReportPage& page, const QString& title, int pageNo,
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
void PlainReportFont(PlainRecorder& out)
{
    out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
    out.Command(Pv::FontBold);
    out.Command(Pv::FontItalic);
}

void BM_Staff142_200x42_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const SchedFiles& f = s.files;
    const ReportSettingsRecord& block = f.ScheduleProps.ReportSettings[kStaffScheduleBlock];
    const OleDate start = f.ScheduleProps.PeriodStart;
    std::int64_t records = 0;
    std::optional<ReportPage> measured;
    const auto run = [&] {
        const ReportPage& page = *measured;
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(s.files, kDays);
        const EntryParts parts(s, 5);
        const auto px = [&](double l, double t, double r, double b, int flags, const QString& text) {
            const PixelRect p = page.Rect(l, t, r, b);
            out.Text(text, p.Left, p.Top, p.Right, p.Bottom, flags);
        };

        // The header and the calendar: seven columns of six week rows.
        PlainHeader(out, s, page, QStringLiteral("Staff Schedule"), 1,
                    Runtime::FormatDate(start, f.DateFormat) + QStringLiteral(" to ") +
                        Runtime::FormatDate(start + kDays - 1, f.DateFormat));
        PlainReportFont(out);
        const double column = page.SnapX(Runtime::IntDiv(page.right - page.left, 7));
        const double week = page.SnapY(Runtime::IntDiv(page.bottom - page.top - page.header - page.dayBand, 6));
        const double y0 = page.top + page.header;
        const auto cellLeft = [&](int c) { return page.left + c * column + 23; };
        const auto cellRight = [&](int c) { return page.left + (c + 1) * column - 23; };
        const auto rowTop = [&](int k) { return y0 + page.dayBand + k * week; };
        const auto at = [](double t) { return Runtime::CInt(t); };
        out.Command(Pv::DrawWidth, 0, 0, 0, 0, 1);
        out.Command(Pv::FilledBox, page.left, page.right, at(y0), at(y0 + page.dayBand), std::int32_t(page.shade));
        out.Command(Pv::Box, page.left, page.right, at(y0), page.bottom);
        for (int i = 1; i < 7; ++i) out.Command(Pv::Line, at(page.left + i * column), at(page.left + i * column), at(y0), page.bottom);
        for (int w = 0; w < 6; ++w) out.Command(Pv::Line, page.left, page.right, at(rowTop(w)), at(rowTop(w)));
        out.Command(Pv::FontBold);
        out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
        for (int c = 0; c < 7; ++c) px(cellLeft(c), y0 + 23, cellRight(c), y0 + page.subtitleLine + 23, 293, WeekdayName(c + 1));
        out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
        for (int i = 0; i < kDays; ++i) {
            px(cellLeft(i % 7), rowTop(i / 7) + 23, cellRight(i % 7), rowTop(i / 7) + week + 23, 257,
               Runtime::FormatDate(start + i, f.DateFormat));
        }
        PlainReportFont(out);

        // The names of each day, in the day's order: the list sorted again for every day from the
        // order the day before left, first by the first day as the dialog shows it.
        std::vector<int> order(kSlots);
        std::iota(order.begin(), order.end(), 1);
        std::vector<QByteArray> keys(kSlots + 1);
        const auto sortFor = [&](const DayRecord& d) {
            for (int r = 1; r <= kSlots; ++r) parts.Key(keys[static_cast<std::size_t>(r)], r, d, f.ScheduleProps.RowMap[r]);
            const auto key = [&](int pos) -> const QByteArray& { return keys[static_cast<std::size_t>(order[static_cast<std::size_t>(pos)])]; };
            ExchangeSort(
                0, kSlots - 1, [&](int i, int j) { return key(i) > key(j); },
                [&](int i, int j) { std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]); });
        };
        sortFor(days[0]);
        for (int i = 0; i < kDays; ++i) {
            const DayRecord& d = days[static_cast<std::size_t>(i)];
            sortFor(d);
            const double y1 = rowTop(i / 7) + page.subtitleLine + 23;
            int n = 0;
            for (int r : order) {
                const int slot = f.ScheduleProps.RowMap[r];
                if (!IsUserShift(d.Shift1Code[slot])) continue;
                px(cellLeft(i % 7), y1 + n * page.bodyLine, cellRight(i % 7), y1 + (n + 1) * page.bodyLine, 288,
                   parts.Line(r, d, slot));
                ++n;
            }
        }
        out.Command(Pv::NewPage);
        out.Command(Pv::EndDocument);
        if (!out.Ok()) state.SkipWithError("write");
        records = out.Records();
    };
    {
        Staff142 dlg(s.Context());
        dlg.Command3_Click();
        s.Record(dlg, state);
        measured = MeasureReportPage(s.printer, block);
        run();
        if (!s.SameRecording(state)) return;
    }
    for (auto _ : state) run();
    state.counters["records"] = static_cast<double>(records);
}

// ---------------------------------------------------------------- the group schedule

void BM_Group_99x7x200(benchmark::State& state)
{
    Schedule& s = Shared();
    s.grid->DaysTaggedText = QStringLiteral(" %1").arg(kGroupDays);
    Group dlg(s.Context());
    for (auto _ : state) s.Record(dlg, state);
    state.counters["records"] = static_cast<double>(s.rec.PreviewCmdCount);
}

void BM_Group_99x7x200_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const SchedFiles& f = s.files;
    std::int64_t records = 0;
    const auto run = [&] {
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(s.files, kGroupDays);
        const std::vector<QString> names = FormattedNames(f, 0);
        // Rows of 184 twips and headings of 230 between 1924 and 16480 (A4), breaking pages by the
        // report's allowance of a heading and half a row.
        constexpr int kTop = 1924, kBottom = 16480, kLine = 184, kHeading = 230, kAllow = kHeading + kLine / 2;
        int y = kTop;
        int blockTop = y;
        PlainPage(out, kGroupDays, 2 * kGroupDays);
        const auto newPage = [&] {
            out.Command(Pv::NewPage);
            PlainPage(out, kGroupDays, 2 * kGroupDays);
            y = kTop;
        };
        const auto heading = [&](const QString& text) {
            out.Command(Pv::FilledBox, 120, 11640, y, y + kHeading, 230);
            out.Command(Pv::Box, 120, 11640, y, y + kHeading);
            out.Text(text, 60, y / 2, 4840, y / 2 + 80, 256);
            y += kHeading;
            blockTop = y;
        };
        const auto close = [&] {
            for (int i = 0; i <= kGroupDays; ++i)
                out.Command(Pv::Line, 120 + i * 1644, 120 + i * 1644, blockTop, y + 92);
            out.Command(Pv::Line, 120, 11640, y + 92, y + 92);
        };
        for (int g = 1; g <= kGroups; ++g) {
            QueryRecord q;
            (void)f.ReadRecord(FileNo::Queries, g, q);
            const QueryRule rule(q, QueryVariant::GroupSchedule);
            std::array<std::vector<QString>, kGroupDays> lines;
            std::size_t rows = 0;
            for (int i = 0; i < kGroupDays; ++i) {
                const DayRecord& d = days[static_cast<std::size_t>(i)];
                for (int r = 1; r <= kSlots; ++r) {
                    const int slot = f.ScheduleProps.RowMap[r];
                    if (rule.CellMatches(d, slot))
                        lines[static_cast<std::size_t>(i)].push_back(
                            QLatin1Char(' ') + names[static_cast<std::size_t>(r)] + PlainParts(s, r, d, slot));
                }
                rows = std::max(rows, lines[static_cast<std::size_t>(i)].size());
            }
            const QString title = Runtime::Trim(q.Title.str());
            if (y + kAllow >= kBottom || (rows > 1 && y + 2 * kAllow >= kBottom)) newPage();
            heading(QLatin1Char(' ') + title);
            for (std::size_t k = 0; k < rows; ++k) {
                if (k > 0 && y + 2 * kAllow >= kBottom && rows - k > 1) {
                    close();
                    out.Text(QLatin1Char(' ') + title + QStringLiteral(", continued on next page..."), 60, y / 2, 4840,
                             y / 2 + 80, 256);
                    newPage();
                    heading(QLatin1Char(' ') + title + QStringLiteral("  (continued)"));
                }
                for (int i = 0; i < kGroupDays; ++i) {
                    const auto& day = lines[static_cast<std::size_t>(i)];
                    if (k < day.size()) out.Text(day[k], 60 + i * 685, y / 2, 725 + i * 685, y / 2 + 80, 288);
                }
                y += kLine;
            }
            close();
        }
        out.Command(Pv::NewPage);
        out.Command(Pv::EndDocument);
        if (!out.Ok()) state.SkipWithError("write");
        records = out.Records();
    };
    {
        s.grid->DaysTaggedText = QStringLiteral(" %1").arg(kGroupDays);
        Group dlg(s.Context());
        s.Record(dlg, state);
        run();
        if (!s.SameRecording(state)) return;
    }
    for (auto _ : state) run();
    state.counters["records"] = static_cast<double>(records);
}

BENCHMARK(BM_Staff142_200x42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Staff142_200x42_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_99x7x200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Group_99x7x200_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return tavrin::bench::RunInApplication(argc, argv);
}
