// The personal reports recorded for the preview: the Personal 1 to 42 Day Schedule of 200 people
// over 42 days (200 pages, every contents box ticked, in colour), beside a baseline that does the
// same work plainly: the day records and the notes read with one pread each, the shift lines,
// dates and explanations made once, and the same records and texts gathered a page at a time
// and written with one pwrite each; before it is timed it is checked to record what the report
// records.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLocale>
#include <array>
#include <optional>
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
    const ReportSettingsRecord& block = f.ScheduleProps.PersonalScheduleSettings;
    std::int64_t records = 0;
    std::optional<bench::ReportPage> measured;
    const auto run = [&] {
        const bench::ReportPage& page = *measured;
        PlainRecorder out(s.dir.path());
        const std::vector<DayRecord> days = bench::ReadDays(f, kDays);
        const std::vector<NoteRecord> notes =
            bench::ReadAll<NoteRecord>(f, FileNo::Notes, f.NoteRecordCount());
        const OleDate start = f.ScheduleProps.PeriodStart;
        const bench::PlainCalendar calendar(page, s, start, kDays);
        // The explanations' texts, made once.
        std::array<QString, kExplanations + 1> explanations;
        for (int e = 1; e <= kExplanations; ++e) {
            const QString text = Runtime::Trim(s.host.ExplanationListText(e));
            if (!text.isEmpty()) explanations[static_cast<std::size_t>(e)] = text + QLatin1Char('\r');
        }
        const QString range = Runtime::FormatDate(start, f.DateFormat) + QStringLiteral(" to ") +
                              Runtime::FormatDate(start + kDays - 1, f.DateFormat);
        const OleDate now = s.print.Now();
        const QString runDate = QStringLiteral("Run Date: ") + Runtime::FormatDate(now, f.DateFormat);
        const QString runTime = QStringLiteral("Run Time: ") + Runtime::FormatDate(now, s.grid->TimeFormat);
        const PixelRect h = page.HeaderRect();
        for (int r = 1; r <= kSlots; ++r) {
            if (r > 1) out.Command(Pv::NewPage);
            // The header, without a page number, and the calendar.
            out.Command(Pv::ForeColor);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 16);
            out.Text(QStringLiteral("Personal Schedule"), h.Left, h.Top, h.Right, h.Bottom, 289);
            out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
            out.Text(runDate, h.Left, h.Top, h.Right, h.Bottom, 288);
            out.Text(runTime, h.Left, h.Top, h.Right, h.Bottom, 290);
            out.Text(range + QStringLiteral(" - ") + Runtime::Trim(f.EmpTable.Name[r].str()) + QStringLiteral(", ") +
                         Runtime::Trim(f.EmpTable.Position[r].str()),
                     h.Left, h.Top, h.Right, h.Bottom, 297);
            bench::PlainReportFont(out);
            calendar.Draw(out, true);
            // The cells.
            const int slot = f.ScheduleProps.RowMap[r];
            for (int i = 0; i < kDays; ++i) {
                const DayRecord& d = days[static_cast<std::size_t>(i)];
                const double left = calendar.CellLeft(i % 7), right = calendar.CellRight(i % 7);
                const double top = calendar.RowTop(i / 7);
                double y = top + page.subtitleLine + 23;
                const auto line = [&](const QString& text, int colour) {
                    if (colour >= 0) out.Command(Pv::ForeColor, 0, 0, 0, 0, colour);
                    page.Text(out, left, y, right, y + page.bodyLine, 32, text);
                    if (colour >= 0) out.Command(Pv::ForeColor);
                    y += page.bodyLine;
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
                if (IsExplanationCode(e)) block += explanations[static_cast<std::size_t>(e)];
                if (d.OnCallFlag[slot] == 1) block += onCall + QLatin1Char('\r');
                const int n = d.NoteNumber[slot];
                if (n > 0 && n <= static_cast<int>(notes.size()))
                    block += Runtime::Trim(notes[static_cast<std::size_t>(n - 1)].NoteText.str());
                // Clipped across to its column; downward it may run as far as the last week's block.
                if (!block.isEmpty())
                    page.Text(out, left, y, right, calendar.RowTop(5) + calendar.week - 23 - page.bodyLine, 16, block);
            }
        }
        out.Command(Pv::EndDocument);
        if (!out.Ok()) state.SkipWithError("write");
        records = out.Records();
    };
    {
        Per42 dlg(s.Context());
        dlg.Command3_Click();
        s.rec.PreviewMode = true;
        {
            PrtSched program(s.print);
            if (!program.BeginRun() || !dlg.ProduceDocument(program)) state.SkipWithError("run failed");
            program.Finish(false, true);
        }
        measured = bench::MeasureReportPage(s.printer, block);
        run();
        if (!s.SameRecording(state)) return;
    }
    for (auto _ : state) run();
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
