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
#include <vector>

#include "ReportBench.h"
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

void BM_Staff142_200x42_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const SchedFiles& f = s.files;
    std::int64_t records = 0;
    for (auto _ : state) {
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(s.files, kDays);
        const std::vector<QString> names = FormattedNames(f, 5);
        std::vector<QByteArray> nameKeys(kSlots + 1);
        for (int r = 1; r <= kSlots; ++r)
            nameKeys[static_cast<std::size_t>(r)] = StringToCp1252(names[static_cast<std::size_t>(r)]);
        PlainPage(out, 7, kDays);
        std::vector<int> order(kSlots);
        std::vector<QByteArray> keys(kSlots + 1);
        for (int i = 0; i < kDays; ++i) {
            const DayRecord& d = days[static_cast<std::size_t>(i)];
            for (int r = 1; r <= kSlots; ++r) {
                const int slot = f.ScheduleProps.RowMap[r];
                const int s1 = d.Shift1Code[slot];
                const int e = d.ExplanationCode[slot];
                QByteArray& k = keys[static_cast<std::size_t>(r)];
                k.clear();
                if (IsUserShift(s1)) {
                    k += StringToCp1252(f.ShiftTable[s1].Description.str());
                    const OleDate t = f.ShiftTable[s1].StartTime;
                    k += QByteArray::number(100 + Runtime::Hour(t)).right(2) + ':' +
                         QByteArray::number(100 + Runtime::Minute(t)).right(2);
                } else {
                    k += "ZZ";
                }
                k += e > 0 ? StringToCp1252(Runtime::Trim(s.host.ExplanationListText(e))) : QByteArray("Z");
                k += StringToCp1252(Runtime::Trim(f.EmpTable.Position[r].str()));
                k += nameKeys[static_cast<std::size_t>(r)];
            }
            std::iota(order.begin(), order.end(), 1);
            std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
                return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
            });
            int n = 0;
            const int x = 60 + (i % 7) * 685;
            for (int r : order) {
                const int slot = f.ScheduleProps.RowMap[r];
                if (!IsUserShift(d.Shift1Code[slot])) continue;
                out.Text(QLatin1Char(' ') + names[static_cast<std::size_t>(r)] + PlainParts(s, r, d, slot), x,
                         692 + n * 77, x + 665, 768 + n * 77, 288);
                ++n;
            }
        }
        out.Command(Pv::NewPage);
        out.Command(Pv::EndDocument);
        if (!out.Ok()) state.SkipWithError("write");
        records = out.Records();
    }
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
    for (auto _ : state) {
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
    }
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
