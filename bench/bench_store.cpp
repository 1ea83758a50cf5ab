// Opening the working files, loading the visible days and flushing them, each beside a
// baseline that reads or writes the same bytes with plain pread/pwrite.

#include "BenchSupport.h"
#include "store/SchedFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace tavrin;

namespace {


struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};

    explicit Schedule(int days)
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + days - 1;
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        // A 42-day format so that the cache holds the most days it can.
        ScheduleFormatRecord f = files.CurrentFormat;
        f.DaysOnScreen = 42;
        (void)files.WriteRecord(FileNo::Formats, 1, f);
        if (!files.OpenWorkingFiles()) std::abort();
    }
};

// The bytes OpenWorkingFiles reads, read with plain system calls (opens included).
void RawOpenRead(const QString& dir)
{
    static const struct { const char* ext; int recLen; int first; int count; } kReads[] = {
        {".SCH", 1200, 1, 42}, {".SSH", 47, 1, 102}, {".SEM", 8020, 1, 2}, {".SSF", 9185, 1, 6},
        {".SNO", 60, 1, 0},    {".SEP", 2574, 1, 1}, {".SQ1", 502, 1, 0},  {".SDV", 263, 201, 1},
        {".SGR", 112, 1, 0},
    };
    std::vector<char> buf(9185 * 6 + 1200 * 42);
    for (const auto& r : kReads) {
        const QByteArray path = (dir + "/QORVANE2" + r.ext).toLocal8Bit();
        // Opened twice, as completing and then keeping the files open do.
        int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        ::close(fd);
        fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
        if (r.count > 0) {
            const ssize_t n = ::pread(fd, buf.data(), static_cast<size_t>(r.recLen) * r.count,
                                      static_cast<off_t>(r.first - 1) * r.recLen);
            benchmark::DoNotOptimize(n);
        }
        ::close(fd);
    }
}

void BM_OpenWorkingFiles(benchmark::State& state)
{
    Schedule s(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!s.files.OpenWorkingFiles()) state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenWorkingFiles)->Arg(731)->Arg(32767)->Unit(benchmark::kMicrosecond);

void BM_Baseline_OpenWorkingFiles(benchmark::State& state)
{
    Schedule s(static_cast<int>(state.range(0)));
    s.files.CloseAllFiles();
    for (auto _ : state) RawOpenRead(s.dir.path());
}
BENCHMARK(BM_Baseline_OpenWorkingFiles)->Arg(731)->Arg(32767)->Unit(benchmark::kMicrosecond);

void BM_LoadVisibleDays(benchmark::State& state)
{
    Schedule s(32767);
    for (auto _ : state) {
        if (!s.files.LoadVisibleDays()) state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadVisibleDays)->Unit(benchmark::kMicrosecond);

void BM_Baseline_LoadVisibleDays(benchmark::State& state)
{
    // The same 42 records, read with one call into a buffer kept between calls.
    Schedule s(32767);
    const int fd = ::open((s.files.WorkPath(".SCH")).toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    const off_t at = off_t(s.files.ScheduleProps.FirstVisibleDay) * DayRecord::Size;
    std::vector<char> buf(42 * DayRecord::Size);
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pread(fd, buf.data(), buf.size(), at));
        benchmark::ClobberMemory();
    }
    ::close(fd);
}
BENCHMARK(BM_Baseline_LoadVisibleDays)->Unit(benchmark::kMicrosecond);

void BM_FlushWorkingData(benchmark::State& state)
{
    Schedule s(32767);
    for (auto _ : state) {
        for (int i = 1; i <= 42; ++i) s.files.SlotDirty[i] = 1;
        if (!s.files.FlushWorkingData()) state.SkipWithError("flush failed");
    }
}
BENCHMARK(BM_FlushWorkingData)->Unit(benchmark::kMicrosecond);

void BM_Baseline_FlushWorkingData(benchmark::State& state)
{
    Schedule s(32767);
    const int days = ::open(s.files.WorkPath(".SCH").toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    const int emp = ::open(s.files.WorkPath(".SEM").toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    const QByteArray props = s.files.WorkPath(".SPR").toLocal8Bit();
    std::vector<char> buf(8020);
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pwrite(emp, buf.data(), 8020, 0));
        for (int i = 0; i < 42; ++i) benchmark::DoNotOptimize(::pwrite(days, buf.data(), 1200, off_t(i) * 1200));
        const int p = ::open(props.constData(), O_RDWR | O_CLOEXEC);
        benchmark::DoNotOptimize(::pwrite(p, buf.data(), 2508, 0));
        ::close(p);
    }
    ::close(days);
    ::close(emp);
}
BENCHMARK(BM_Baseline_FlushWorkingData)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
