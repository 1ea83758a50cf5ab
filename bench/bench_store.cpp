// Opening the working files, loading the visible days and flushing them, each beside a
// baseline that reads or writes the same bytes with plain pread/pwrite.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "store/SchedFiles.h"

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
    QByteArray Path(const char* ext) const { return files.WorkPath(QString::fromLatin1(ext)).toLocal8Bit(); }
};

// What opening the working files reads: the records of each file that the schedule keeps in
// memory, by record length, first record and count.
struct OpenRead {
    const char* ext;
    int recLen;
    int first;
    int count;
};
constexpr OpenRead kOpenReads[] = {
    {".SCH", DayRecord::Size, 1, 42},    {".SSH", ShiftRecord::Size, 1, kShiftCodes},
    {".SEM", EmployeeTable::Size, 1, 1}, {".SSF", ScheduleFormatRecord::Size, 1, kFormats},
    {".SNO", NoteRecord::Size, 1, 0},    {".SEP", ExplanationTable::Size, 1, 1},
    {".SQ1", QueryRecord::Size, 1, 0},   {".SDV", DividerPropertiesRecord::Size, kDayRulerRecord, 1},
    {".SGR", GroupRecord::Size, 1, 0},
};
constexpr int kOpenFiles = static_cast<int>(std::size(kOpenReads));

// The same bytes read with plain system calls: each file opened once, measured (to know that
// it is complete) and its records read with one pread; the files stay open, as the program's do.
struct RawOpen {
    std::vector<std::vector<std::uint8_t>> bytes;
    int fds[kOpenFiles];

    RawOpen()
    {
        for (const OpenRead& r : kOpenReads) bytes.emplace_back(static_cast<std::size_t>(r.recLen) * r.count);
        std::fill(std::begin(fds), std::end(fds), -1);
    }
    ~RawOpen() { Close(); }
    void Close()
    {
        for (int& fd : fds) {
            if (fd >= 0) ::close(fd);
            fd = -1;
        }
    }
    bool Read(const QString& dir)
    {
        Close();
        bool ok = true;
        for (int i = 0; i < kOpenFiles; ++i) {
            const OpenRead& r = kOpenReads[i];
            const QByteArray path = (dir + QStringLiteral("/QORVANE2") + QLatin1String(r.ext)).toLocal8Bit();
            const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
            fds[i] = fd;
            struct stat st {};
            ok &= fd >= 0 && ::fstat(fd, &st) == 0;
            std::vector<std::uint8_t>& b = bytes[static_cast<std::size_t>(i)];
            if (!b.empty())
                ok &= ::pread(fd, b.data(), b.size(), static_cast<off_t>(r.first - 1) * r.recLen) ==
                      static_cast<ssize_t>(b.size());
        }
        return ok;
    }
};

template <class R>
bool SameBytes(const std::vector<std::uint8_t>& raw, std::size_t at, const R& r)
{
    const auto b = Encode(r);
    return raw.size() >= at + b.size() && std::memcmp(raw.data() + at, b.data(), b.size()) == 0;
}

// The program holds in memory what the baseline read.
bool SameOpenWork()
{
    Schedule s(731);
    if (!s.files.OpenWorkingFiles()) return false;
    RawOpen raw;
    if (!raw.Read(s.dir.path())) return false;
    const auto& b = raw.bytes;
    bool same = std::memcmp(b[0].data(), s.files.DayCache.items.data(), b[0].size()) == 0;
    for (int code = 1; code <= kShiftCodes; ++code)
        same &= SameBytes(b[1], static_cast<std::size_t>(code - 1) * ShiftRecord::Size, s.files.ShiftTable[code]);
    same &= SameBytes(b[2], 0, s.files.EmpTable);
    same &= SameBytes(b[3], static_cast<std::size_t>(s.files.CurrentFormatNo - 1) * ScheduleFormatRecord::Size,
                      s.files.CurrentFormat);
    same &= SameBytes(b[5], 0, s.files.ExplTable);
    return bench::SameWork(same, "open of the working files");
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
    RawOpen raw;
    for (auto _ : state) {
        if (!raw.Read(s.dir.path())) state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_Baseline_OpenWorkingFiles)->Arg(731)->Arg(32767)->Unit(benchmark::kMicrosecond);

// The same 42 records, read with one call into a buffer kept between calls.
bool RawLoad(int fd, const SchedFiles& f, std::vector<char>& buf)
{
    const off_t at = off_t(f.ScheduleProps.FirstVisibleDay) * DayRecord::Size;
    return ::pread(fd, buf.data(), buf.size(), at) == static_cast<ssize_t>(buf.size());
}

bool SameLoadWork()
{
    Schedule s(32767);
    s.files.ScheduleProps.FirstVisibleDay = 100;
    if (!s.files.LoadVisibleDays()) return false;
    const int fd = ::open(s.Path(".SCH").constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buf(42 * DayRecord::Size);
    const bool read = RawLoad(fd, s.files, buf);
    ::close(fd);
    return bench::SameWork(read && std::memcmp(buf.data(), s.files.DayCache.items.data(), buf.size()) == 0,
                           "load of the visible days");
}

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
    Schedule s(32767);
    const int fd = ::open(s.Path(".SCH").constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buf(42 * DayRecord::Size);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RawLoad(fd, s.files, buf));
        benchmark::ClobberMemory();
    }
    ::close(fd);
}
BENCHMARK(BM_Baseline_LoadVisibleDays)->Unit(benchmark::kMicrosecond);

// Flushing 42 dirty days: the employee table, the 42 consecutive day records with one write (as
// they lie in the cache) and the settings into the settings file, opened for the write.
struct RawFlush {
    const SchedFiles& f;
    int days;
    int emp;
    QByteArray props;
    std::array<std::uint8_t, EmployeeTable::Size> empBytes;
    std::array<std::uint8_t, SchedulePropertiesRecord::Size> propBytes;

    explicit RawFlush(const Schedule& s)
        : f(s.files),
          days(::open(s.Path(".SCH").constData(), O_RDWR | O_CLOEXEC)),
          emp(::open(s.Path(".SEM").constData(), O_RDWR | O_CLOEXEC)),
          props(s.Path(".SPR")),
          empBytes(Encode(s.files.EmpTable)),
          propBytes(Encode(s.files.ScheduleProps))
    {
    }
    ~RawFlush()
    {
        ::close(days);
        ::close(emp);
    }
    bool Run()
    {
        bool ok = ::pwrite(emp, empBytes.data(), empBytes.size(), 0) == static_cast<ssize_t>(empBytes.size());
        const std::size_t n = 42 * DayRecord::Size;
        ok &= ::pwrite(days, f.DayCache.items.data(), n, off_t(f.SlotDayNo[1] - 1) * DayRecord::Size) ==
              static_cast<ssize_t>(n);
        const int p = ::open(props.constData(), O_RDWR | O_CLOEXEC);
        ok &= ::pwrite(p, propBytes.data(), propBytes.size(), 0) == static_cast<ssize_t>(propBytes.size());
        ::close(p);
        return ok;
    }
};

void Edit(Schedule& s)
{
    for (int c = 1; c <= 42; ++c) {
        s.files.ColumnDay(c).Shift1Code[c] = static_cast<Byte>(c);
        s.files.MarkColumnDirty(c);
    }
    s.files.EmpTable.Name[3] = "Flushed";
    s.files.ScheduleProps.CurrentFormat = static_cast<Int16>(s.files.CurrentFormatNo);
}

// Both sides leave the same bytes in the three files, edits included.
bool SameFlushWork()
{
    Schedule ours(32767);
    Schedule theirs(32767);
    Edit(ours);
    Edit(theirs);
    if (!ours.files.FlushWorkingData() || !RawFlush(theirs).Run()) return false;
    bool same = bench::FileBytes(ours.files.WorkPath(".SCH")).mid(41 * DayRecord::Size + 41, 1) == QByteArray(1, 42);
    for (const char* ext : {".SCH", ".SEM", ".SPR"})
        same &= bench::FileBytes(ours.files.WorkPath(ext)) == bench::FileBytes(theirs.files.WorkPath(ext));
    return bench::SameWork(same, "flush of 42 dirty days");
}

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
    RawFlush raw(s);
    for (auto _ : state) {
        if (!raw.Run()) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_Baseline_FlushWorkingData)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return bench::RunBenchmarks(argc, argv, [] { return SameOpenWork() && SameLoadWork() && SameFlushWork(); });
}
