// The query results over a ten-year schedule of 200 people: opening the report counts every
// name's matching days, and the preview records every name with a line for each run of days.
// Beside a baseline that does the same work plainly: the same day records read with one pread,
// the same cell test, the same day texts (the notes file read with one pread) and runs, and the same
// records written a page at a time with one pwrite for the commands and one for the texts.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "ReportBench.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Cp1252.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/Runtime.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"
#include "reports/QueryPrt.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kQuery = 1;
constexpr int kNotes = 500;

class QuietHost final : public bench::QuietGridHost {
public:
    QString ExplanationListText(int code) const override { return QStringLiteral("Reason %1").arg(code); }
};

// 200 named people over ten years from Sunday 7 January 2024: nine shifts, most people working
// most days, a fifth of them a second shift, some on call, some with an explanation, a note in a
// fifth of the cells. The query picks the day and evening shifts and time off.
struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer{dir.filePath(QStringLiteral("bench.pdf"))};
    SchedFiles files{dir.path(), msg, printer};
    FontService fonts{96};
    QuietHost host;
    std::unique_ptr<GridPaint> grid;
    PreviewRec rec{dir.path()};
    QtFileDialogs dialogs;
    PrintServices print{printer, rec, fonts, msg, dialogs};
    OleDate start = OleDates::FromYmd(2024, 1, 7);
    OleDate end = OleDates::FromYmd(2034, 1, 6);

    Schedule()
    {
        // Runs that are not previews write the PDF, never a job for the system's printer.
        (void)printer.SetCurrent({QtPrinterDevice::PdfTargetName(), dir.filePath(QStringLiteral("bench.pdf"))});
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodStart = start;
        files.ScheduleProps.PeriodEnd = end;
        files.ScheduleProps.FirstVisibleDay = 0;
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        grid = std::make_unique<GridPaint>(files, host, fonts);
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };

        static const char* const kFirst[] = {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay", "Gus", "Hal", "Ida", "Jon"};
        static const char* const kLast[] = {"Adams", "Baker", "van der Berg", "Cole", "Dunn", "East", "Fox", "Gray"};
        for (int r = 1; r <= kSlots; ++r) {
            files.EmpTable.Name[r] = QStringLiteral("%1 %2").arg(QString::fromLatin1(kFirst[r % 10]),
                                                                 QString::fromLatin1(kLast[(r / 10) % 8]));
        }
        for (int code = 1; code <= 9; ++code) {
            ShiftRecord& s = files.ShiftTable[code];
            s.Description = QStringLiteral("Shift %1").arg(code);
            s.Abbreviation = QStringLiteral("S%1").arg(code);
            s.PaidHours = 8;
        }
        // The notes' texts, each cell with a note pointing at one of them.
        for (int n = 0; n < kNotes; ++n) {
            DayRecord scratch;
            if (!files.StoreCellNote(scratch, 1, QStringLiteral("Note number %1 about the day").arg(n))) std::abort();
        }
        if (files.NoteRecordCount() < kNotes + 1) std::abort();
        unsigned seed = 11;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7fff;
        };
        const int days = static_cast<int>(end - start) + 1;
        for (int day = 1; day <= days; ++day) {
            DayRecord d;
            for (int s = 1; s <= kSlots; ++s) {
                const unsigned roll = next() % 20;
                d.Shift1Code[s] = static_cast<Byte>(roll < 16 ? 1 + next() % 9 : roll == 16 ? kTimeOffCode : 0);
                d.Shift2Code[s] = static_cast<Byte>(roll < 16 && next() % 5 == 0 ? 1 + next() % 9 : 0);
                d.OnCallFlag[s] = next() % 10 == 0 ? 1 : 0;
                d.ExplanationCode[s] = static_cast<Byte>(next() % 7 == 0 ? 1 + next() % 5 : 0);
                d.NoteNumber[s] = static_cast<Int16>(next() % 5 == 0 ? 2 + next() % kNotes : 0);
            }
            if (!files.WriteRecord(FileNo::Days, day, d)) std::abort();
        }
        QueryRecord q;
        q.Title = "Days and evenings";
        q.IgnoreNames = kTrue;
        q.IgnoreExplanations = kTrue;
        q.IgnoreShifts = kFalse;
        for (int code : {1, 2, kTimeOffCode}) q.SelectedShifts[code] = 1;
        (void)files.WriteRecord(FileNo::Queries, kQuery, q);

        ReportSettingsRecord& b = files.ScheduleProps.ReportSettings[kQueryResultsBlock];
        b.FontName = "Arial";
        b.FontSize = 8;
        for (int i = 0; i <= 3; ++i) b.Margins[i] = 360;
    }

    ReportContext Context() { return {files, *grid, host, print, {}}; }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// Opening the report and previewing every name: the records written.
std::int64_t ProgramResults(Schedule& s, benchmark::State* state = nullptr)
{
    QueryPrt dlg(s.Context(), kQuery, s.start, s.end);
    dlg.Command3_Click();
    s.rec.PreviewMode = true;
    PrtSched run(s.print);
    if ((!run.BeginRun() || !dlg.ProduceDocument(run)) && state) state->SkipWithError("run failed");
    run.Finish(false, true);
    return s.rec.PreviewCmdCount;
}

void BM_QueryResults_10y_200(benchmark::State& state)
{
    Schedule& s = Shared();
    std::int64_t records = 0;
    for (auto _ : state) records = ProgramResults(s, &state);
    state.counters["records"] = static_cast<double>(records);
}

// ---------------------------------------------------------------- the plain way

// "mm/dd/yy" of a day, digit by digit.
QString PlainDate(OleDate day)
{
    const std::chrono::year_month_day ymd{std::chrono::sys_days{} + std::chrono::days(static_cast<int>(day) - 25569)};
    const unsigned m = static_cast<unsigned>(ymd.month());
    const unsigned d = static_cast<unsigned>(ymd.day());
    const unsigned y = static_cast<unsigned>(static_cast<int>(ymd.year()) % 100);
    const char text[8] = {char('0' + m / 10), char('0' + m % 10), '/', char('0' + d / 10), char('0' + d % 10), '/',
                          char('0' + y / 10), char('0' + y % 10)};
    return QString::fromLatin1(text, 8);
}

// Where the report's texts and lines go on this printer, as the report measures them, so that
// both sides place them alike: twips, and the header band in printer pixels.
struct PageGeometry {
    double left = 0, right = 0, top = 0, bottom = 0, line = 0, textX = 0, rule = 0;
    int bandLeft = 0, bandTop = 0, bandRight = 0, bandBottom = 0;
};

PageGeometry MeasureGeometry(Schedule& s)
{
    QueryPrt dlg(s.Context(), kQuery, s.start, s.end);
    PrtSched run(s.print);
    if (!run.BeginRun() || !dlg.ProduceDocument(run)) return {};
    run.Finish(false);
    PrinterDevice& p = s.printer;
    const ReportSettingsRecord& b = s.files.ScheduleProps.ReportSettings[kQueryResultsBlock];
    (void)p.SetFontSize(b.FontSize);
    const PageArea& a = dlg.Page;
    const ReportMetrics& m = dlg.Metrics;
    PageGeometry g;
    g.left = a.Left;
    g.right = a.Right;
    g.top = a.Top + m.HeaderHeight + Runtime::IntDiv(p.TextHeight("jA"), 2);
    g.bottom = a.Bottom;
    g.line = m.BodyLineHeight;
    g.textX = a.Left + 2 * p.TextWidth("12/12/99") + p.TextWidth(" - ") + p.TextWidth("M");
    g.rule = a.Top + m.HeaderHeight;
    const double tx = p.TwipsPerPixelX();
    const double ty = p.TwipsPerPixelY();
    g.bandLeft = static_cast<int>(std::lrint(a.Left / tx));
    g.bandTop = static_cast<int>(std::lrint(a.Top / ty));
    g.bandRight = static_cast<int>(std::lrint(a.Right / tx));
    g.bandBottom = static_cast<int>(std::lrint((a.Top + m.HeaderHeight - m.SubtitleLineHeight / 2) / ty));
    return g;
}

// The same preview, plainly: the records written, or -1 when a file could not be read or written.
std::int64_t PlainResults(Schedule& s, const PageGeometry& g)
{
    const SchedFiles& f = s.files;
    const int days = static_cast<int>(s.end - s.start) + 1;
    bench::PlainRecorder out(s.dir.path());
    // The day records in one read.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(days) * DayRecord::Size);
    const int dayFd = ::open(QFile::encodeName(f.WorkPath(QStringLiteral(".SCH"))).constData(), O_RDONLY);
    (void)::pread(dayFd, bytes.data(), bytes.size(), 0);
    ::close(dayFd);
    // The notes file in one read too.
    const int noteFd = ::open(QFile::encodeName(f.WorkPath(QStringLiteral(".SNO"))).constData(), O_RDONLY);
    struct stat noteStat {};
    ::fstat(noteFd, &noteStat);
    std::vector<std::uint8_t> notes(static_cast<std::size_t>(noteStat.st_size));
    const bool read = ::pread(noteFd, notes.data(), notes.size(), 0) == static_cast<ssize_t>(notes.size());
    ::close(noteFd);
    if (!read) return -1;

    QueryRecord q;
    (void)f.ReadRecord(FileNo::Queries, kQuery, q);
    const QueryRule rule(q, QueryVariant::QueryResults);
    const auto cell = [&bytes](int day, int slot) {
        return StoredQueryCell(bytes.data() + static_cast<std::size_t>(day) * DayRecord::Size,
                               static_cast<std::size_t>(slot - 1));
    };
    // The count of every row.
    std::vector<int> count(kSlots + 1, 0);
    for (int d = 0; d < days; ++d) {
        for (int r = 1; r <= kSlots; ++r) count[static_cast<std::size_t>(r)] += rule.CellMatches(cell(d, r));
    }

    // The texts of the codes, once.
    std::vector<QString> shiftText(kTimeOffCode + 1);
    for (int c = 1; c <= kTimeOffCode; ++c)
        shiftText[static_cast<std::size_t>(c)] = Runtime::Trim(f.ShiftTable[c].Description.str()) + ", ";
    std::vector<QString> explText(kExplanations + 1);
    for (int c = 1; c <= kExplanations; ++c)
        explText[static_cast<std::size_t>(c)] = s.host.ExplanationListText(c) + ", ";
    const QString onCall = Runtime::Trim(f.ShiftTable[kOnCallCode].Description.str()) + ", ";
    // The text of every note, once.
    std::vector<QString> noteText(notes.size() / 60);
    for (std::size_t n = 0; n < noteText.size(); ++n)
        noteText[n] = Runtime::Trim(Cp1252ToString(notes.data() + n * 60, 60));
    const auto dayText = [&](const QueryCell& c) {
        QString t;
        if (c.s1 >= 1 && c.s1 <= kTimeOffCode) t += shiftText[static_cast<std::size_t>(c.s1)];
        if (c.s2 >= 1 && c.s2 <= kTimeOffCode) t += shiftText[static_cast<std::size_t>(c.s2)];
        if (c.e >= 1 && c.e <= kExplanations) t += explText[static_cast<std::size_t>(c.e)];
        if (c.oc == 1) t += onCall;
        if (c.n > 0 && static_cast<std::size_t>(c.n) <= noteText.size())
            t += noteText[static_cast<std::size_t>(c.n - 1)];
        return t;
    };
    // The date of every day, once.
    std::vector<QString> dateText(static_cast<std::size_t>(days));
    for (int d = 0; d < days; ++d) dateText[static_cast<std::size_t>(d)] = PlainDate(s.start + d);

    // Positions in twips, rounded to whole ones (halves to even) as they are recorded.
    const auto twips = [](double t) { return static_cast<int>(std::lrint(t)); };
    const int left = twips(g.left);
    const int textX = twips(g.textX);
    int page = 0;
    double y = g.top;
    bool first = true;
    const auto band = [&](const QString& text, int flags) {
        out.Text(Pv::DrawText, text, g.bandLeft, g.bandTop, g.bandRight, g.bandBottom, flags);
    };
    const auto reportFont = [&] {
        out.Command(Pv::FontSize, 0, 0, 0, 0, 8);
        out.Command(Pv::FontBold);
        out.Command(Pv::FontItalic);
    };
    const auto header = [&] {
        ++page;
        out.Command(Pv::ForeColor);
        out.Command(Pv::FontSize, 0, 0, 0, 0, 16);
        band(QStringLiteral("Days and evenings"), 289);
        out.Command(Pv::FontSize, 0, 0, 0, 0, 12);
        band(QStringLiteral("Run Date: 03/05/2024"), 288);
        band(QStringLiteral("Page: ") + QString::number(page), 290);
        band(QStringLiteral("Sunday, January 7, 2024 to Friday, January 6, 2034"), 297);
        reportFont();
        out.Command(Pv::Line, left, twips(g.right), twips(g.rule), twips(g.rule));
        y = g.top;
        first = true;
    };
    const auto newPage = [&] {
        out.Command(Pv::NewPage);
        header();
    };
    header();
    reportFont();  // the body's font, set once it begins
    for (int r = 1; r <= kSlots; ++r) {
        const int n = count[static_cast<std::size_t>(r)];
        if (n == 0) continue;
        const QString name = Runtime::Trim(f.EmpTable.Name[r].str());
        if (y + 3 * g.line >= g.bottom) newPage();
        if (!first) y += g.line;
        out.Text(Pv::PrintText, name + QStringLiteral(" - ") + QString::number(n), left, 0, twips(y), 0, 0);
        first = false;
        y += g.line;
        const int slot = f.ScheduleProps.RowMap[r];
        const auto print = [&](int from, int to, const QString& text) {
            if (y + g.line >= g.bottom) {
                newPage();
                out.Text(Pv::PrintText, name + QStringLiteral(" (cont...)"), left, 0, twips(y), 0, 0);
                first = false;
                y += g.line;
            }
            QString dates = dateText[static_cast<std::size_t>(from)];
            if (to != from) dates += QStringLiteral(" - ") + dateText[static_cast<std::size_t>(to)];
            out.Text(Pv::PrintText, dates, left, 0, twips(y), 0, 0);
            out.Text(Pv::PrintText, text.size() > 2 && text.endsWith(QLatin1String(", ")) ? text.chopped(2) : text,
                     textX, 0, twips(y), 0, 0);
            y += g.line;
        };
        int runStart = -1;
        int runEnd = -1;
        QString text;
        for (int d = 0; d < days; ++d) {
            const QueryCell c = cell(d, slot);
            if (!rule.CellMatches(c)) {
                if (runStart >= 0) print(runStart, runEnd, text);
                runStart = -1;
                continue;
            }
            QString t = dayText(c);
            if (runStart >= 0 && QString::compare(t, text, Qt::CaseInsensitive) == 0) {
                runEnd = d;
                continue;
            }
            if (runStart >= 0) print(runStart, runEnd, text);
            runStart = runEnd = d;
            text = std::move(t);
        }
        if (runStart >= 0) print(runStart, runEnd, text);
    }
    out.Command(Pv::EndDocument);
    out.Flush();
    if (!out.Ok()) return -1;
    return out.Records();
}

void BM_QueryResults_10y_200_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    const PageGeometry g = MeasureGeometry(s);
    std::int64_t records = 0;
    for (auto _ : state) {
        records = PlainResults(s, g);
        if (records < 0) state.SkipWithError("read or write failed");
    }
    state.counters["records"] = static_cast<double>(records);
}

// Both sides record the same preview: the same commands and the same texts.
bool SameResultsWork()
{
    Schedule& s = Shared();
    const std::int64_t ours = ProgramResults(s);
    const std::int64_t theirs = PlainResults(s, MeasureGeometry(s));
    const QString dir = s.dir.path() + QStringLiteral("/");
    const QString difference = bench::RecordingDifference(
        bench::FileBytes(dir + QStringLiteral("Preview.RP1")), bench::FileBytes(dir + QStringLiteral("Preview.RP2")),
        bench::FileBytes(dir + QStringLiteral("Plain.RP1")), bench::FileBytes(dir + QStringLiteral("Plain.RP2")));
    if (!difference.isEmpty()) std::fprintf(stderr, "query results: %s\n", qPrintable(difference));
    return bench::SameWork(ours > 0 && ours == theirs && difference.isEmpty(), "query results");
}

BENCHMARK(BM_QueryResults_10y_200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryResults_10y_200_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return tavrin::bench::RunInApplication(argc, argv, false, SameResultsWork);
}
