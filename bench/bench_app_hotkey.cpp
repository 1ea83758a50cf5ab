// A hot-key assignment to a tagged run of 42 days (undo state, the two-shift rule with its
// conflict test and ordering, dirty marks), beside a baseline that writes the same resulting
// bytes into the cached cells directly.

#include "BenchSupport.h"
#include "app/CellEditor.h"
#include "app/EditLists.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace tavrin;

namespace {


struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    EditBuffers buffers;
    HotKeyTable table;

    Schedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        ScheduleFormatRecord f = files.CurrentFormat;
        f.DaysOnScreen = 42;
        (void)files.WriteRecord(FileNo::Formats, 1, f);
        if (!files.OpenWorkingFiles()) std::abort();
        const auto shift = [&](int code, int from, int to, char key) {
            ShiftRecord& s = files.ShiftTable[code];
            s.StartTime = Runtime::TimeSerial(from, 0, 0);
            s.EndTime = Runtime::TimeSerial(to, 0, 0);
            s.PaidHours = 8;
            s.QuickKey = static_cast<Byte>(key);
        };
        shift(1, 6, 14, 'E');
        shift(2, 14, 22, 'L');
        files.EmpTable.Name[1] = "Ada";
        table = LoadHotKeyArray(files.ShiftTable, files.ExplTable);
    }
    // Every cell of the run holds the late shift, so that the early one is tested and put first.
    void Reset(int slot)
    {
        for (int c = 1; c <= 42; ++c) {
            files.ColumnDay(c).Shift1Code[slot] = 2;
            files.ColumnDay(c).Shift2Code[slot] = 0;
            files.SlotDirty[c] = 0;
        }
    }
};

void BM_HotKeyAssign42Days(benchmark::State& state)
{
    Schedule s;
    CellEditor editor(s.files, s.msg, s.buffers);
    const int slot = s.files.ScheduleProps.RowMap[1];
    for (auto _ : state) {
        s.Reset(slot);
        const EditResult r = editor.HotKey({1, 1, 42}, 'E', false, true, s.table);
        benchmark::DoNotOptimize(r.applied);
    }
}
BENCHMARK(BM_HotKeyAssign42Days)->Unit(benchmark::kMicrosecond);

void BM_Baseline_Assign42Days(benchmark::State& state)
{
    Schedule s;
    const int slot = s.files.ScheduleProps.RowMap[1];
    for (auto _ : state) {
        s.Reset(slot);
        for (int c = 1; c <= 42; ++c) {
            DayRecord& d = s.files.ColumnDay(c);
            d.Shift2Code[slot] = d.Shift1Code[slot];
            d.Shift1Code[slot] = 1;
            s.files.MarkColumnDirty(c);
        }
        benchmark::DoNotOptimize(s.files.DayCache[1].Shift1Code[slot]);
    }
}
BENCHMARK(BM_Baseline_Assign42Days)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
