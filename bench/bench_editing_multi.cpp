// Schedule Multiple and Copy Multiple on a 10-year schedule of 200 people, each beside a
// baseline that reads the run of day records and the notes file with one pread each, makes the
// same field assignments in a plain loop and writes the records it changed back with one pwrite
// per file.
//
// Schedule Multiple assigns a shift and a note to every cell of 200 names over 999 days in a
// two-shift format: a trial pass that meets a conflict, then the real pass (the user answered
// Yes). Copy Multiple copies a 7-day block of every name to 100 destinations with the default
// options (everything, nothing overwritten). Every repetition starts from the same files.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "editing/BulkEdit.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"
#include "store/TwoShiftRule.h"

using namespace tavrin;

namespace {

constexpr int kDays = 3650;
constexpr int kRunDays = 999;
constexpr int kBlock = 7;
constexpr int kDestinations = 100;
constexpr int kNewShift = 10;
const char* const kNote = "Fire drill at 10, meet in the car park";

// Nine shifts of 8 paid hours starting every two hours from 6:00, and the shift assigned: 5:00
// to 9:00, which overlaps the early ones.
void DefineShifts(ShiftTableArray& t)
{
    for (int code = 1; code <= 9; ++code) {
        const int start = (6 + 2 * (code - 1)) % 24;
        t[code].StartTime = Runtime::TimeSerial(start, 0, 0);
        t[code].EndTime = Runtime::TimeSerial((start + 8) % 24, 0, 0);
        t[code].PaidHours = 8;
    }
    t[kNewShift].StartTime = Runtime::TimeSerial(5, 0, 0);
    t[kNewShift].EndTime = Runtime::TimeSerial(9, 0, 0);
    t[kNewShift].PaidHours = 4;
}

// A schedule of 10 years by 200 named rows; each cell holds one of nine shifts, a fifth of them
// a second shift and a fifth a note (texts kept in a thousand note records).
struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    QByteArray days;   // the day file as made
    QByteArray notes;  // the notes file as made
    int nextNote = 0;

    Schedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2020, 1, 1);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + kDays - 1;
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        DefineShifts(files.ShiftTable);
        for (int r = 1; r <= kSlots; ++r) files.EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
        NoteRecord note;
        for (int n = 2; n <= 1001; ++n) {
            note.NoteText = QStringLiteral("Note number %1").arg(n);
            (void)files.WriteRecord(FileNo::Notes, n, note);
        }
        files.NextNoteNo = 1002;
        DayRecord d;
        unsigned seed = 7;
        const auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7fff;
        };
        for (int day = 1; day <= kDays; ++day) {
            for (int s = 1; s <= kSlots; ++s) {
                d.Shift1Code[s] = static_cast<Byte>(1 + next() % 9);
                d.Shift2Code[s] = static_cast<Byte>(next() % 5 == 0 ? 1 + next() % 9 : 0);
                d.OnCallFlag[s] = static_cast<Byte>(next() % 20 == 0);
                d.ExplanationCode[s] = static_cast<Byte>(next() % 10 == 0 ? 3 : 0);
                d.NoteNumber[s] = static_cast<Int16>(next() % 5 == 0 ? 2 + next() % 1000 : 0);
            }
            (void)files.WriteRecord(FileNo::Days, day, d);
        }
        days = Read(".SCH");
        notes = Read(".SNO");
        nextNote = files.NextNoteNo;
    }
    QByteArray Path(const char* ext) const { return files.WorkPath(QString::fromLatin1(ext)).toLocal8Bit(); }
    QByteArray Read(const char* ext) const { return bench::FileBytes(files.WorkPath(QString::fromLatin1(ext))); }
    // Back to the files as made (the day records the runs change, and the notes file).
    void Restore()
    {
        const int d = ::open(Path(".SCH").constData(), O_WRONLY);
        (void)!::pwrite(d, days.constData(), static_cast<size_t>(kRunDays + kBlock * (kDestinations + 1)) * 1200, 0);
        ::close(d);
        const int n = ::open(Path(".SNO").constData(), O_WRONLY | O_TRUNC);
        (void)!::write(n, notes.constData(), static_cast<size_t>(notes.size()));
        ::close(n);
        // Opened again, as after any change of the file from outside the program.
        files.CloseNotesFile();
        if (!files.OpenNotesFile()) std::abort();
        files.NextNoteNo = nextNote;
        files.NoteFileFull = false;
    }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// ---------------------------------------------------------------- Schedule Multiple

MultiSchedPlan AssignPlan(const Schedule& s)
{
    MultiSchedPlan p;
    for (int r = 1; r <= kSlots; ++r) p.rows.push_back(r);
    p.start = s.files.ScheduleProps.PeriodStart;
    p.dayCount = kRunDays;
    p.actions.shift = kNewShift;
    p.actions.noteText = QString::fromLatin1(kNote);
    p.twoShiftMode = true;
    return p;
}

// The trial pass, which meets a conflict, and the real one: the fields changed.
long ProgramScheduleMultiple(Schedule& s, const MultiSchedPlan& plan, benchmark::State* state = nullptr)
{
    const Result<MultiSchedPass> trial = RunScheduleMultiplePass(s.files, plan, true);
    if ((!trial || !trial->conflict) && state) state->SkipWithError("no conflict");
    const Result<MultiSchedPass> real = RunScheduleMultiplePass(s.files, plan, false);
    if (!real) {
        if (state) state->SkipWithError("run failed");
        return -1;
    }
    return real->changes;
}

void BM_ScheduleMultiple(benchmark::State& state)
{
    Schedule& s = Shared();
    const MultiSchedPlan plan = AssignPlan(s);
    long changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.Restore();
        state.ResumeTiming();
        changes = ProgramScheduleMultiple(s, plan, &state);
    }
    state.counters["changes"] = static_cast<double>(changes);
}

// The spans of every shift code, made once a run.
std::array<bench::ShiftSpan, 256> Spans(const ShiftTableArray& t)
{
    std::array<bench::ShiftSpan, 256> spans{};
    for (int code = 1; code <= kShiftCodes; ++code) spans[static_cast<std::size_t>(code)] = bench::SpanOf(t[code]);
    return spans;
}

// The two-shift rule on the stored bytes: the number of fields changed, or -1 on a conflict
// (the cell keeps its second shift).
int AssignRaw(std::uint8_t* rec, int i, int code, const std::array<bench::ShiftSpan, 256>& spans)
{
    const int s1 = rec[i];
    if (s1 == kTimeOffCode) return 0;
    if (s1 == 0) {
        rec[i] = static_cast<std::uint8_t>(code);
        return 1;
    }
    if (s1 == code) return 0;
    const int s2 = rec[600 + i];
    const bench::ShiftSpan& first = spans[static_cast<std::size_t>(s1)];
    const bench::ShiftSpan& second = spans[static_cast<std::size_t>(code)];
    if (first.paid && second.paid && bench::Overlap(first, second)) return -1;
    rec[600 + i] = static_cast<std::uint8_t>(code);
    if (first.paid && second.paid && second.start < first.start) {
        rec[600 + i] = static_cast<std::uint8_t>(s1);
        rec[i] = static_cast<std::uint8_t>(code);
        return 1;
    }
    return s2 != code ? 1 : 0;
}

// A run of day records read with one pread and written back with one pwrite.
struct DayRun {
    std::vector<std::uint8_t> bytes;
    off_t at = 0;

    void Read(int fd, int firstDay, int count)
    {
        at = static_cast<off_t>(firstDay) * 1200;
        bytes.resize(static_cast<std::size_t>(count) * 1200);
        (void)!::pread(fd, bytes.data(), bytes.size(), at);
    }
    std::uint8_t* Day(int k) { return bytes.data() + static_cast<std::size_t>(k) * 1200; }
    void Write(int fd, int fromDay) const
    {
        const std::size_t from = static_cast<std::size_t>(fromDay) * 1200;
        (void)!::pwrite(fd, bytes.data() + from, bytes.size() - from, at + static_cast<off_t>(from));
    }
};

// The notes file read with one pread; the records changed written back with one pwrite.
struct NotesInMemory {
    std::vector<std::uint8_t> bytes;
    std::size_t lo = SIZE_MAX;
    std::size_t hi = 0;

    void Read(int fd)
    {
        struct stat st {};
        ::fstat(fd, &st);
        bytes.resize(static_cast<std::size_t>(st.st_size));
        (void)!::pread(fd, bytes.data(), bytes.size(), 0);
        lo = SIZE_MAX;
        hi = 0;
    }
    int Count() const { return static_cast<int>(bytes.size() / 60); }
    const std::uint8_t* Text(int n) const { return bytes.data() + static_cast<std::size_t>(n - 1) * 60; }
    void Store(int n, const std::uint8_t* text)
    {
        const std::size_t at = static_cast<std::size_t>(n - 1) * 60;
        if (bytes.size() < at + 60) bytes.resize(at + 60);
        std::memcpy(bytes.data() + at, text, 60);
        lo = std::min(lo, at);
        hi = std::max(hi, at + 60);
    }
    void Write(int fd) const
    {
        if (lo < hi) (void)!::pwrite(fd, bytes.data() + lo, hi - lo, static_cast<off_t>(lo));
    }
};

// The day and notes files held open by a baseline.
struct OpenFiles {
    int days;
    int notes;
    explicit OpenFiles(const Schedule& s)
        : days(::open(s.Path(".SCH").constData(), O_RDWR)), notes(::open(s.Path(".SNO").constData(), O_RDWR))
    {
    }
    ~OpenFiles()
    {
        ::close(days);
        ::close(notes);
    }
    OpenFiles(const OpenFiles&) = delete;
    OpenFiles& operator=(const OpenFiles&) = delete;
};

struct PlainScheduleMultiple {
    const std::array<bench::ShiftSpan, 256> spans;
    std::uint8_t text[60];
    OpenFiles files;
    DayRun run;
    NotesInMemory notesBuf;
    std::uint8_t scratch[1200];

    explicit PlainScheduleMultiple(const Schedule& s) : spans(Spans(s.files.ShiftTable)), files(s)
    {
        std::memset(text, ' ', sizeof text);
        std::memcpy(text, kNote, std::strlen(kNote));
    }

    // The fields changed.
    long Run()
    {
        run.Read(files.days, 0, kRunDays);
        // The trial, on a copy of each day: up to the first conflict, nothing written.
        bool conflict = false;
        for (int d = 0; d < kRunDays && !conflict; ++d) {
            std::memcpy(scratch, run.Day(d), sizeof scratch);
            for (int i = 0; i < kSlots && !conflict; ++i) conflict = AssignRaw(scratch, i, kNewShift, spans) < 0;
        }
        // The real pass.
        long changes = 0;
        notesBuf.Read(files.notes);
        int count = notesBuf.Count();
        for (int d = 0; d < kRunDays; ++d) {
            std::uint8_t* rec = run.Day(d);
            for (int i = 0; i < kSlots; ++i) {
                const int r = AssignRaw(rec, i, kNewShift, spans);
                if (r > 0) changes += r;
                auto n = static_cast<std::int16_t>(rec[800 + 2 * i] | (rec[801 + 2 * i] << 8));
                if (n < 0) n = static_cast<std::int16_t>(-n);
                if (n == 0) {
                    if (count + 1 > kMaxNoteRecords) continue;
                    n = static_cast<std::int16_t>(++count);
                }
                notesBuf.Store(n, text);
                rec[800 + 2 * i] = static_cast<std::uint8_t>(n & 0xff);
                rec[801 + 2 * i] = static_cast<std::uint8_t>((n >> 8) & 0xff);
                ++changes;
            }
        }
        notesBuf.Write(files.notes);
        run.Write(files.days, 0);
        return conflict ? changes : -1;
    }
};

void BM_ScheduleMultiple_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    PlainScheduleMultiple plain(s);
    long changes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.Restore();
        state.ResumeTiming();
        changes = plain.Run();
    }
    state.counters["changes"] = static_cast<double>(changes);
}

// ---------------------------------------------------------------- Copy Multiple

CopyPlan BlockPlan(const Schedule& s)
{
    CopyPlan p;
    for (int r = 1; r <= kSlots; ++r) p.rows.push_back(r);
    p.start = s.files.ScheduleProps.PeriodStart;
    p.blockDays = kBlock;
    p.destinations = CopyDestinations(p.start, kBlock, s.files.ScheduleProps.PeriodEnd);
    p.destinations.resize(kDestinations);
    p.options = CopyMultipleOptions{kTrue, kTrue, kTrue, kTrue, kTrue, kFalse, {}};
    return p;
}

void BM_CopyMultiple(benchmark::State& state)
{
    Schedule& s = Shared();
    const CopyPlan plan = BlockPlan(s);
    for (auto _ : state) {
        state.PauseTiming();
        s.Restore();
        state.ResumeTiming();
        if (!RunCopyMultiple(s.files, plan)) state.SkipWithError("copy failed");
    }
}

struct PlainCopyMultiple {
    OpenFiles files;
    DayRun run;
    NotesInMemory notesBuf;

    explicit PlainCopyMultiple(const Schedule& s) : files(s) {}

    void Run()
    {
        const auto fill = [](std::uint8_t& target, std::uint8_t value) {
            if (target == 0) target = value;
        };
        const auto note = [](const std::uint8_t* rec, int i) {
            return static_cast<std::int16_t>(rec[800 + 2 * i] | (rec[801 + 2 * i] << 8));
        };
        // The block and its destinations, which follow it, in one read.
        run.Read(files.days, 0, kBlock * (kDestinations + 1));
        notesBuf.Read(files.notes);
        int count = notesBuf.Count();
        for (int dest = 1; dest <= kDestinations; ++dest) {
            for (int k = 0; k < kBlock; ++k) {
                const std::uint8_t* from = run.Day(k);
                std::uint8_t* to = run.Day(dest * kBlock + k);
                for (int i = 0; i < kSlots; ++i) {
                    if (from[i] <= kUserShifts) fill(to[i], from[i]);
                    if (from[600 + i] <= kUserShifts) fill(to[600 + i], from[600 + i]);
                    if (from[i] == 0 || from[i] == kTimeOffCode) fill(to[i], from[i]);
                    if (from[600 + i] == 0 || from[600 + i] == kTimeOffCode) fill(to[600 + i], from[600 + i]);
                    fill(to[200 + i], from[200 + i]);
                    fill(to[400 + i], from[400 + i]);
                    std::int16_t n = note(to, i);
                    if (n >= 1) continue;
                    // The target has no active note: a source without one leaves it so.
                    const std::int16_t source = note(from, i);
                    if (source <= 0) continue;
                    n = static_cast<std::int16_t>(-n);
                    if (n == 0) {
                        if (count + 1 > kMaxNoteRecords) continue;
                        n = static_cast<std::int16_t>(++count);
                    }
                    std::uint8_t text[60];
                    std::memcpy(text, notesBuf.Text(source), sizeof text);
                    notesBuf.Store(n, text);
                    to[800 + 2 * i] = static_cast<std::uint8_t>(n & 0xff);
                    to[801 + 2 * i] = static_cast<std::uint8_t>((n >> 8) & 0xff);
                }
            }
        }
        notesBuf.Write(files.notes);
        run.Write(files.days, kBlock);
    }
};

void BM_CopyMultiple_Baseline(benchmark::State& state)
{
    Schedule& s = Shared();
    PlainCopyMultiple plain(s);
    for (auto _ : state) {
        state.PauseTiming();
        s.Restore();
        state.ResumeTiming();
        plain.Run();
    }
}

// Each baseline leaves the day and notes files the program leaves, and changed.
bool SameBulkWork()
{
    Schedule& s = Shared();
    const auto files = [&s] { return std::pair{s.Read(".SCH"), s.Read(".SNO")}; };
    s.Restore();
    const long ourChanges = ProgramScheduleMultiple(s, AssignPlan(s));
    const auto ours = files();
    s.Restore();
    const long theirChanges = PlainScheduleMultiple(s).Run();
    bool same = ourChanges > 0 && ourChanges == theirChanges && ours == files() && ours.first != s.days;
    if (!bench::SameWork(same, "Schedule Multiple")) return false;

    s.Restore();
    same = RunCopyMultiple(s.files, BlockPlan(s)).ok();
    const auto copied = files();
    s.Restore();
    PlainCopyMultiple(s).Run();
    same = same && copied == files() && copied.first != s.days;
    s.Restore();
    return bench::SameWork(same, "Copy Multiple");
}

}  // namespace

BENCHMARK(BM_ScheduleMultiple)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScheduleMultiple_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyMultiple)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyMultiple_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, SameBulkWork);
}
