// A hot-key assignment to a tagged run of 42 days (undo state, the two-shift rule with its
// conflict test and ordering, dirty marks), beside a baseline that does the same plainly: the
// run's cells copied into an undo record, the rule tested on each cell with the shifts' times
// worked out once per code, the codes written into the cached cells and the changed ones marked.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <cstdlib>

#include "BenchSupport.h"
#include "app/CellEditor.h"
#include "app/EditLists.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kDays = 42;
constexpr int kEarly = 1;

struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    EditBuffers buffers;
    HotKeyTable table;
    int slot = 0;

    Schedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        ScheduleFormatRecord f = files.CurrentFormat;
        f.DaysOnScreen = kDays;
        (void)files.WriteRecord(FileNo::Formats, 1, f);
        if (!files.OpenWorkingFiles()) std::abort();
        const auto shift = [&](int code, int from, int to, char key) {
            ShiftRecord& s = files.ShiftTable[code];
            s.StartTime = Runtime::TimeSerial(from, 0, 0);
            s.EndTime = Runtime::TimeSerial(to, 0, 0);
            s.PaidHours = 8;
            s.QuickKey = static_cast<Byte>(key);
        };
        shift(kEarly, 6, 14, 'E');
        shift(2, 14, 22, 'L');
        files.EmpTable.Name[1] = "Ada";
        table = LoadHotKeyArray(files.ShiftTable, files.ExplTable);
        slot = files.ScheduleProps.RowMap[1];
    }
    // Every cell of the run holds the late shift, so that the early one is tested and put first.
    void Reset()
    {
        for (int c = 1; c <= kDays; ++c) {
            files.ColumnDay(c).Shift1Code[slot] = 2;
            files.ColumnDay(c).Shift2Code[slot] = 0;
            files.SlotDirty[c] = 0;
        }
    }
};

bool ProgramAssign(Schedule& s, CellEditor& editor)
{
    return editor.HotKey({1, 1, kDays}, 'E', false, true, s.table).applied;
}

// ---------------------------------------------------------------- the plain way

struct UndoCell {
    Byte s1, oc, e, s2;
    Int16 note;
    QString text;
};

struct PlainAssign {
    Schedule& s;
    std::array<UndoCell, kDays + 1> undo{};
    std::array<bench::ShiftSpan, 256> times{};
    std::array<bool, 256> timed{};

    const bench::ShiftSpan& Of(int code)
    {
        if (!timed[static_cast<std::size_t>(code)]) {
            times[static_cast<std::size_t>(code)] = bench::SpanOf(s.files.ShiftTable[code]);
            timed[static_cast<std::size_t>(code)] = true;
        }
        return times[static_cast<std::size_t>(code)];
    }

    // Assigns `code` to the run with two shifts a cell; false when a day conflicted and the run
    // was put back.
    bool Run(int code)
    {
        SchedFiles& f = s.files;
        const int slot = s.slot;
        timed.fill(false);
        for (int c = 1; c <= kDays; ++c) {
            const DayRecord& d = f.ColumnDay(c);
            UndoCell& u = undo[static_cast<std::size_t>(c)];
            u = {d.Shift1Code[slot], d.OnCallFlag[slot], d.ExplanationCode[slot],
                 d.Shift2Code[slot], d.NoteNumber[slot], QString()};
            if (u.note > 0 && u.s1 != kNumberCellCode) u.text = f.GetNoteText(u.note);
        }
        const bench::ShiftSpan& add = Of(code);
        bool conflict = false;
        for (int c = 1; c <= kDays; ++c) {
            DayRecord& d = f.ColumnDay(c);
            Byte& first = d.Shift1Code[slot];
            Byte& second = d.Shift2Code[slot];
            const int s1 = first;
            const int s2 = second;
            if (s1 == kTimeOffCode || s1 == code) continue;
            if (s1 == 0) {
                first = static_cast<Byte>(code);
            } else {
                const bench::ShiftSpan& one = Of(s1);
                const bool clash = one.paid && add.paid && bench::Overlap(one, add);
                conflict |= clash;
                if (!clash && one.paid && add.paid && add.start < one.start) {
                    second = first;
                    first = static_cast<Byte>(code);
                } else {
                    second = static_cast<Byte>(code);
                }
            }
            if (first != s1 || second != s2) f.MarkColumnDirty(c);
        }
        if (!conflict) return true;
        for (int c = 1; c <= kDays; ++c) {
            DayRecord& d = f.ColumnDay(c);
            const UndoCell& u = undo[static_cast<std::size_t>(c)];
            d.Shift1Code[slot] = u.s1;
            d.OnCallFlag[slot] = u.oc;
            d.ExplanationCode[slot] = u.e;
            d.Shift2Code[slot] = u.s2;
            d.NoteNumber[slot] = u.note;
        }
        return false;
    }
};

// Both sides leave the same cells, dirty marks and undo record.
bool SameAssignWork()
{
    Schedule ours;
    Schedule theirs;
    ours.Reset();
    theirs.Reset();
    CellEditor editor(ours.files, ours.msg, ours.buffers);
    PlainAssign plain{theirs};
    if (!ProgramAssign(ours, editor) || !plain.Run(kEarly)) return bench::SameWork(false, "hot-key assignment");
    bool same = ours.buffers.Undo.Count == kDays;
    for (int c = 1; c <= kDays; ++c) {
        const DayRecord& a = ours.files.ColumnDay(c);
        const DayRecord& b = theirs.files.ColumnDay(c);
        const CellRecord& u = ours.buffers.Undo.Cells[c];
        const UndoCell& v = plain.undo[static_cast<std::size_t>(c)];
        same = same && a == b && a.Shift1Code[ours.slot] == kEarly && a.Shift2Code[ours.slot] == 2 &&
               ours.files.SlotDirty[c] == theirs.files.SlotDirty[c] && ours.files.SlotDirty[c] != 0 &&
               u.Shift == v.s1 && u.Mark == v.oc && u.Explanation == v.e && u.Extra == v.s2 &&
               ours.buffers.Undo.Notes[c] == v.text;
    }
    return bench::SameWork(same, "hot-key assignment");
}

void BM_HotKeyAssign42Days(benchmark::State& state)
{
    Schedule s;
    CellEditor editor(s.files, s.msg, s.buffers);
    for (auto _ : state) {
        s.Reset();
        benchmark::DoNotOptimize(ProgramAssign(s, editor));
    }
}
BENCHMARK(BM_HotKeyAssign42Days)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Assign42Days(benchmark::State& state)
{
    Schedule s;
    PlainAssign plain{s};
    for (auto _ : state) {
        s.Reset();
        benchmark::DoNotOptimize(plain.Run(kEarly));
    }
}
BENCHMARK(BM_Baseline_Assign42Days)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return bench::RunBenchmarks(argc, argv, SameAssignWork);
}
