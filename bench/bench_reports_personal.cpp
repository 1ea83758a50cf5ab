// The personal reports recorded for the preview: the Personal 1 to 42 Day Schedule of 200 people
// over 42 days (200 pages, every contents box ticked, in colour), beside a baseline that does the
// same work plainly: the day records and the notes read with one pread each, the shift lines made
// once, and the same records and texts gathered a page at a time and written with one pwrite
// each.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <array>
#include <vector>

#include "ReportBench.h"
#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"
#include "reports/Per42.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

using namespace tavrin;
using bench::PlainRecorder;

namespace {

constexpr int kDays = 42;
constexpr int kShifts = bench::ReportSchedule::kShifts;

// 200 named people over 42 days (ReportBench.h), with a note in a fifth of the cells; the shifts
// in nine colours, the last of them half an hour.
struct Schedule : bench::ReportSchedule {
    Schedule()
        : ReportSchedule(kDays, [](int code) {
              return code >= 1 && code <= ReportSchedule::kExplanations ? QStringLiteral("Reason %1").arg(code)
                                                                        : QString();
          })
    {
        for (int code = 1; code <= kShifts; ++code) files.ShiftColours[code] = static_cast<Byte>(code);
        ShiftRecord& brief = files.ShiftTable[kShifts];
        brief.EndTime = brief.StartTime + 0.5 / 24;
        brief.PaidHours = 0.5f;
        files.ShiftTable[kTimeOffCode].Description = "Time Off";
        files.ShiftTable[kOnCallCode].Description = "On-Call";
        WriteDays(kDays, true);

        ReportSettingsRecord& b = files.ScheduleProps.PersonalScheduleSettings;
        b.Title = "Personal Schedule";
        b.FontName = "Arial";
        b.FontSize = 8;
        b.ShadePercent = 10;
        b.ShadeDayRuler = kTrue;
        b.PrintInColour = kTrue;
        for (int i = 0; i <= 3; ++i) b.Margins[i] = 360;
        for (int k = 1; k <= 6; ++k) b.Options[k] = kTrue;
    }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// ---------------------------------------------------------------- the 1 to 42 day schedule

void BM_Per42_200x42(benchmark::State& state)
{
    Schedule& s = Shared();
    Per42 dlg(s.Context());
    dlg.Command3_Click();
    if (dlg.DayCount != kDays) state.SkipWithError("range");
    for (auto _ : state) {
        s.rec.PreviewMode = true;
        PrtSched run(s.print);
        if (!run.BeginRun() || !dlg.ProduceDocument(run)) state.SkipWithError("run failed");
        // Pages end only between pages: the last one is counted.
        run.Finish(false, true);
    }
    state.counters["records"] = static_cast<double>(s.rec.PreviewCmdCount);
    // The window shows one page less than were begun.
    state.counters["pages"] = s.rec.PreviewPageCount - 1;
}

void BM_Per42_200x42_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const SchedFiles& f = s.files;
    // The shift lines, colours and texts, made once as the report makes them.
    struct ShiftLines {
        QString description;
        int colour = 0;
        QString times;
    };
    std::array<ShiftLines, kTimeOffCode + 1> shifts;
    for (int code = 1; code <= kTimeOffCode; ++code) {
        const ShiftRecord& r = f.ShiftTable[code];
        ShiftLines& l = shifts[static_cast<std::size_t>(code)];
        l.description = Runtime::Trim(r.Description.str());
        l.colour = static_cast<int>(PaletteColour(code == kTimeOffCode ? 12 : f.ShiftColours[code]));
        if (IsUserShift(code) && r.PaidHours > 0) {
            l.times = Runtime::FormatDate(r.StartTime, s.grid->TimeFormat) + QStringLiteral(" - ") +
                      Runtime::FormatDate(r.EndTime, s.grid->TimeFormat) + QLatin1Char(' ') +
                      Runtime::FormatNumber(r.PaidHours, QStringLiteral("####.00"));
        }
    }
    const QString onCall = Runtime::Trim(f.ShiftTable[kOnCallCode].Description.str());
    std::int64_t records = 0;
    for (auto _ : state) {
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(f, kDays);
        const std::vector<NoteRecord> notes =
            bench::ReadAll<NoteRecord>(f, QStringLiteral(".SNO"), f.NoteRecordCount());
        const OleDate start = f.ScheduleProps.PeriodStart;
        const QString range = Runtime::FormatDate(start, f.DateFormat) + QStringLiteral(" to ") +
                              Runtime::FormatDate(start + kDays - 1, f.DateFormat);
        std::vector<QString> dates;
        for (int i = 0; i < kDays; ++i) dates.push_back(Runtime::FormatDate(start + i, f.DateFormat));
        for (int r = 1; r <= kSlots; ++r) {
            if (r > 1) out.Command(Pv::NewPage);
            // The header.
            out.Command(Pv::ForeColor);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 16);
            out.Text(QStringLiteral("Personal Schedule"), 50, 50, 4850, 375, 289);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
            out.Text(QStringLiteral("Run Date: 03/05/2024"), 50, 50, 4850, 375, 288);
            out.Text(QStringLiteral("Run Time: 2:30p"), 50, 50, 4850, 375, 290);
            out.Text(range + QStringLiteral(" - ") + Runtime::Trim(f.EmpTable.Name[r].str()) + QStringLiteral(", ") +
                         Runtime::Trim(f.EmpTable.Position[r].str()),
                     50, 50, 4850, 375, 297);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
            out.Command(Pv::FontBold);
            out.Command(Pv::FontItalic);
            // The frame, weekday band and dates.
            out.Command(Pv::DrawWidth, 0, 0, 0, 0, 1);
            out.Command(Pv::FilledBox, 120, 11640, 1039, 1361, 230);
            out.Command(Pv::Box, 120, 11640, 1039, 15240);
            for (int i = 1; i <= 6; ++i) out.Command(Pv::Line, 120 + i * 1644, 120 + i * 1644, 1039, 15240);
            for (int i = 0; i < 6; ++i) out.Command(Pv::Line, 120, 11640, 1361 + i * 2314, 1361 + i * 2314);
            out.Command(Pv::FontBold);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
            for (int i = 0; i < 7; ++i) {
                out.Command(Pv::ForeColor, 0, 0, 0, 0, i == 0 ? 128 : 0);
                out.Text(WeekdayName(i + 1), 60 + i * 685, 443, 725 + i * 685, 558, 293);
            }
            out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
            for (int i = 0; i < kDays; ++i) {
                out.Command(Pv::ForeColor, 0, 0, 0, 0, i % 7 == 0 ? 128 : 0);
                out.Text(dates[static_cast<std::size_t>(i)], 60 + (i % 7) * 685, 577 + (i / 7) * 964,
                         725 + (i % 7) * 685, 1541 + (i / 7) * 964, 257);
            }
            out.Command(Pv::ForeColor);
            // The cells.
            out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
            out.Command(Pv::FontBold);
            out.Command(Pv::FontItalic);
            const int slot = f.ScheduleProps.RowMap[r];
            for (int i = 0; i < kDays; ++i) {
                const DayRecord& d = days[static_cast<std::size_t>(i)];
                const int x = 60 + (i % 7) * 685;
                int y = 692 + (i / 7) * 964;
                const auto line = [&](const QString& text, int colour) {
                    if (colour >= 0) out.Command(Pv::ForeColor, 0, 0, 0, 0, colour);
                    out.Text(text, x, y, x + 665, y + 77, 288);
                    if (colour >= 0) out.Command(Pv::ForeColor);
                    y += 77;
                };
                const auto shift = [&](int code) {
                    const ShiftLines& l = shifts[static_cast<std::size_t>(code)];
                    line(l.description, l.colour);
                    if (!l.times.isEmpty()) line(l.times, -1);
                };
                const int s1 = d.Shift1Code[slot];
                if (IsUserShift(s1) || s1 == kTimeOffCode) shift(s1);
                if (IsUserShift(d.Shift2Code[slot])) shift(d.Shift2Code[slot]);
                QString block;
                const int e = d.ExplanationCode[slot];
                if (IsExplanationCode(e)) block += s.host.ExplanationListText(e) + QLatin1Char('\r');
                if (d.OnCallFlag[slot] == 1) block += onCall + QLatin1Char('\r');
                const int n = d.NoteNumber[slot];
                if (n > 0 && n <= static_cast<int>(notes.size()))
                    block += Runtime::Trim(notes[static_cast<std::size_t>(n - 1)].NoteText.str());
                if (!block.isEmpty()) out.Text(block, x, y, x + 665, 1445 + (i / 7) * 964, 272);
            }
        }
        out.Command(Pv::EndDocument);
        if (!out.Ok()) state.SkipWithError("write");
        records = out.Records();
    }
    state.counters["records"] = static_cast<double>(records);
}

BENCHMARK(BM_Per42_200x42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Per42_200x42_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return tavrin::bench::RunInApplication(argc, argv);
}
