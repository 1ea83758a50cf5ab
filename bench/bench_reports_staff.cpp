// The staff reports recorded for the preview: the Staff 1 to 42 Day Schedule of 200 names by 42
// days sorted by five keys, and the Group Schedule of 99 groups by 7 days by 200 rows. Each
// beside a baseline that does the same work plainly: the same day records read with one pread,
// the same entry lines composed from parts made once per run (sorted day by day with keys made
// from parts made once, by the reports' exchange sort, which is not stable; the same cells
// tested in a plain loop for the groups) and the same records gathered a page at a time and
// written with one pwrite each. Before it is timed, each baseline is checked to record what the
// report records.

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
#include "reports/ReportLayout.h"
#include "reports/Staff142.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

using namespace tavrin;
using bench::MeasureReportPage;
using bench::PlainHeader;
using bench::PlainRecorder;
using bench::PlainReportFont;
using bench::ReportPage;

namespace {


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

// ---------------------------------------------------------------- the staff schedule

void BM_Staff142_200x42(benchmark::State& state)
{
    Schedule& s = Shared();
    Staff142 dlg(s.Context());
    dlg.Command3_Click();
    for (auto _ : state) s.Record(dlg, state);
    state.counters["records"] = static_cast<double>(s.rec.PreviewCmdCount);
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
        // The header and the calendar.
        PlainHeader(out, s, page, QStringLiteral("Staff Schedule"), 1,
                    Runtime::FormatDate(start, f.DateFormat) + QStringLiteral(" to ") +
                        Runtime::FormatDate(start + kDays - 1, f.DateFormat));
        PlainReportFont(out);
        const bench::PlainCalendar calendar(page, s, start, kDays);
        calendar.Draw(out, false);

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
            const double y1 = calendar.RowTop(i / 7) + page.subtitleLine + 23;
            int n = 0;
            for (int r : order) {
                const int slot = f.ScheduleProps.RowMap[r];
                if (!IsUserShift(d.Shift1Code[slot])) continue;
                page.Text(out, calendar.CellLeft(i % 7), y1 + n * page.bodyLine, calendar.CellRight(i % 7),
                          y1 + (n + 1) * page.bodyLine, 32, parts.Line(r, d, slot));
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
    const ReportSettingsRecord& block = f.ScheduleProps.ReportSettings[kGroupScheduleBlock];
    const OleDate start = f.ScheduleProps.PeriodStart;
    std::int64_t records = 0;
    std::optional<ReportPage> measured;
    const auto run = [&] {
        const ReportPage& page = *measured;
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(s.files, kGroupDays);
        const EntryParts parts(s, 0);
        const auto at = [](double t) { return Runtime::CInt(t); };
        const auto px = [&](double l, double t, double r, double b, int flags, const QString& text) {
            page.Text(out, l, t, r, b, flags, text);
        };
        const double column = page.SnapX(Runtime::IntDiv(page.right - page.left, kGroupDays));
        const double y0 = page.top + page.header;
        const double band = page.dayBand;
        const double heading = page.bodyLine + 46;
        int pageNo = 0;
        // A page: the header, and the band of weekdays and dates over the day columns.
        const auto beginPage = [&] {
            PlainHeader(out, s, page, QStringLiteral("Group Schedule"), ++pageNo,
                        Runtime::FormatDate(start, f.DateFormat) + QStringLiteral(" to ") +
                            Runtime::FormatDate(start + kGroupDays - 1, f.DateFormat));
            PlainReportFont(out);
            out.Command(Pv::DrawWidth, 0, 0, 0, 0, 1);
            out.Command(Pv::FilledBox, page.left, page.right, at(y0), at(y0 + 1.05 * band), std::int32_t(page.shade));
            out.Command(Pv::Line, page.left, page.right, at(y0 + 1.05 * band), at(y0 + 1.05 * band));
            out.Command(Pv::Box, page.left, page.right, at(y0), at(y0 + 2 * band));
            for (int i = 1; i < kGroupDays; ++i) {
                const int x = at(page.left + i * column);
                out.Command(Pv::Line, x, x, at(y0), at(y0 + 2 * band));
            }
            out.Command(Pv::FontBold);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
            for (int i = 0; i < kGroupDays; ++i) {
                const double left = page.left + i * column + 23, right = page.left + (i + 1) * column - 23;
                px(left, y0 + 23, right, y0 + 2 * band + 23, 289, WeekdayName(Runtime::Weekday(start + i)));
                px(left, y0 + 23, right, y0 + 2 * band + 23, 297, Runtime::FormatDate(start + i, f.DateFormat));
            }
            PlainReportFont(out);
        };
        const auto title = [&](const QString& text, double y, bool box) {
            if (box) out.Command(Pv::Box, page.left, page.right, at(y), at(y + heading));
            px(page.left + 23, y, page.right - 23, y + 23 + page.bodyLine, 256, QLatin1Char(' ') + text);
        };

        // Each day's order by name, the names' keys made once; the rows' order goes on from one
        // day and group to the next.
        std::array<std::vector<int>, kGroupDays> ranks;
        for (std::vector<int>& r : ranks) r.assign(kSlots + 1, 0);
        {
            std::vector<int> byName(kSlots);
            std::iota(byName.begin(), byName.end(), 1);
            std::stable_sort(byName.begin(), byName.end(), [&](int a, int b) {
                return parts.nameKey[static_cast<std::size_t>(a)] < parts.nameKey[static_cast<std::size_t>(b)];
            });
            for (std::vector<int>& r : ranks) {
                int rank = 0;
                for (std::size_t k = 0; k < byName.size(); ++k) {
                    if (k > 0 && parts.nameKey[static_cast<std::size_t>(byName[k - 1])] <
                                     parts.nameKey[static_cast<std::size_t>(byName[k])])
                        ++rank;
                    r[static_cast<std::size_t>(byName[k])] = rank;
                }
            }
        }
        std::vector<int> order(kSlots);
        std::iota(order.begin(), order.end(), 1);

        // The page breaks as the report makes them.
        GroupPagination pager({y0 + 2 * band, double(page.bottom), page.bodyLine, heading});
        beginPage();
        // The groups' queries in one read.
        const std::vector<QueryRecord> queries = bench::ReadAll<QueryRecord>(f, FileNo::Queries, kGroups);
        for (int g = 1; g <= kGroups; ++g) {
            const QueryRecord& q = queries[static_cast<std::size_t>(g - 1)];
            const QueryRule rule(q, QueryVariant::GroupSchedule);
            std::array<std::vector<QString>, kGroupDays> lines;
            std::size_t rows = 0;
            for (int i = 0; i < kGroupDays; ++i) {
                const std::vector<int>& rank = ranks[static_cast<std::size_t>(i)];
                ExchangeSort(
                    0, kSlots - 1,
                    [&](int a, int b) {
                        return rank[static_cast<std::size_t>(order[static_cast<std::size_t>(a)])] >
                               rank[static_cast<std::size_t>(order[static_cast<std::size_t>(b)])];
                    },
                    [&](int a, int b) { std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]); });
                const DayRecord& d = days[static_cast<std::size_t>(i)];
                for (int r : order) {
                    const int slot = f.ScheduleProps.RowMap[r];
                    if (rule.CellMatches(d, slot)) lines[static_cast<std::size_t>(i)].push_back(parts.Line(r, d, slot));
                }
                rows = std::max(rows, lines[static_cast<std::size_t>(i)].size());
            }
            const QString name = Runtime::Trim(q.Title.str());
            for (const GroupPagination::Event& ev : pager.Place(static_cast<int>(rows))) {
                switch (ev.step) {
                    case GroupPagination::Step::Heading:
                        title(name, ev.Y, true);
                        break;
                    case GroupPagination::Step::ContinuedHeading:
                        title(name + QStringLiteral("  (continued)"), ev.Y, true);
                        break;
                    case GroupPagination::Step::ContinuationNote:
                        title(name + QStringLiteral(", continued on next page..."), ev.Y, false);
                        break;
                    case GroupPagination::Step::Row:
                        for (int i = 0; i < kGroupDays; ++i) {
                            const std::vector<QString>& day = lines[static_cast<std::size_t>(i)];
                            if (ev.RowIndex >= static_cast<int>(day.size())) continue;
                            px(page.left + i * column + 23, ev.Y + 23, page.left + (i + 1) * column - 23,
                               ev.Y + 23 + page.bodyLine, 32, day[static_cast<std::size_t>(ev.RowIndex)]);
                        }
                        break;
                    case GroupPagination::Step::CloseBlock: {
                        const int bottom = at(ev.Y + page.bodyLine / 2);
                        for (int i = 0; i <= kGroupDays; ++i) {
                            const int x = at(page.left + i * column);
                            out.Command(Pv::Line, x, x, at(ev.BlockTop), bottom);
                        }
                        out.Command(Pv::Line, page.left, page.right, bottom, bottom);
                        break;
                    }
                    case GroupPagination::Step::NewPage:
                        out.Command(Pv::NewPage);
                        beginPage();
                        break;
                }
            }
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
        measured = MeasureReportPage(s.printer, block);
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
