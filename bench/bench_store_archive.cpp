// Save and Open of the schedule file and the change of the schedule period, for a dense
// schedule of ten years by 200 rows holding as many notes as the notes file takes. Each has a
// baseline doing the least work for the same result: zlib deflating, checking and writing the
// same bytes as a fresh file synced and renamed into place (Save), reading, inflating and
// writing them as fresh files put in place by a rename (Open), and a plain read of the old files
// and a write of the two rebuilt ones, fresh and renamed into place (period change).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

#include "BenchSupport.h"
#include "RealisticSchedule.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kLevel = 6;  // the level the schedule file is written with

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFd(int fd, const char* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd, data + done, n - done);
        if (w <= 0) std::abort();
        done += static_cast<std::size_t>(w);
    }
}

void WriteAll(const QString& path, const char* data, std::size_t n)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    WriteFd(fd, data, n);
    ::close(fd);
}

// Writes a fresh file beside the target and renames it over the target, as the program puts
// its working files in place; synced, with the rename, as the program puts the schedule file.
void WriteFresh(const QString& path, const char* data, std::size_t n, bool sync = false)
{
    const QByteArray target = path.toLocal8Bit();
    const QByteArray fresh = target + ".new";
    ::unlink(fresh.constData());
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    WriteFd(fd, data, n);
    if (sync) ::fsync(fd);
    ::close(fd);
    if (::rename(fresh.constData(), target.constData()) != 0) std::abort();
    if (sync) {
        const int dir = ::open(QFileInfo(path).absolutePath().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        ::fsync(dir);
        ::close(dir);
    }
}

// The dense schedule, built once, saved as a schedule file.
struct Dense {
    QTemporaryDir work;
    QTemporaryDir sched;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{work.path(), msg, printer};
    std::vector<QString> names;        // working files
    std::vector<QByteArray> contents;  // their bytes

    Dense()
    {
        files.SchedFolder = sched.path() + QStringLiteral("/");
        files.SchedStem = QStringLiteral("dense");
        if (!files.OpenScheduleArchive()) std::abort();
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2015, 1, 1);
        files.ScheduleProps.PeriodEnd = OleDates::FromYmd(2024, 12, 31);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        bench::DefineShifts(files);
        bench::NameEveryRow(files);
        // Notes spread over the ten years, one record each, until the notes file is full.
        bench::Rng rng;
        const int cells = files.PeriodDays() * kSlots;
        const int noteOneIn = (cells + kMaxNoteRecords - 1) / kMaxNoteRecords;
        if (!bench::FillPeriod(files, rng, noteOneIn)) std::abort();
        if (!files.CloseWorkingFiles() || !files.SaveScheduleArchive()) std::abort();
        for (const QString& n :
             QDir(work.path()).entryList({QStringLiteral("QORVANE2.S??")}, QDir::Files, QDir::Name)) {
            names.push_back(n);
            contents.push_back(ReadAll(work.path() + QStringLiteral("/") + n));
        }
    }
    // Puts the saved working files back, as fresh files, and opens them.
    void Restore()
    {
        files.CloseAllFiles();
        for (std::size_t i = 0; i < names.size(); ++i) {
            WriteFresh(work.path() + QStringLiteral("/") + names[i], contents[i].constData(),
                       static_cast<std::size_t>(contents[i].size()));
        }
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
    }
    std::int64_t Bytes() const
    {
        std::int64_t n = 0;
        for (const QByteArray& c : contents) n += c.size();
        return n;
    }
};

Dense& Schedule()
{
    static Dense d;
    return d;
}

std::vector<std::uint8_t> Deflate(const QByteArray& in)
{
    z_stream z{};
    deflateInit2(&z, kLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(in.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Inflates and checks the CRC, as a test of the archive does.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& in, std::size_t size, uLong crc)
{
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    std::vector<std::uint8_t> out(size);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (crc32(0, out.data(), static_cast<uInt>(out.size())) != crc) std::abort();
    return out;
}

void BM_Save(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) {
        if (!d.files.SaveScheduleArchive()) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * d.Bytes());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_SaveBaseline_ZlibDeflateTestWrite(benchmark::State& state)
{
    Dense& d = Schedule();
    const QString out = d.sched.path() + QStringLiteral("/baseline.bin");
    for (auto _ : state) {
        std::vector<std::uint8_t> archive;
        for (const QByteArray& c : d.contents) {
            const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(c.constData()), static_cast<uInt>(c.size()));
            const std::vector<std::uint8_t> z = Deflate(c);
            benchmark::DoNotOptimize(Inflate(z, static_cast<std::size_t>(c.size()), crc).data());
            archive.insert(archive.end(), z.begin(), z.end());
        }
        WriteFresh(out, reinterpret_cast<const char*>(archive.data()), archive.size(), true);
    }
    state.SetBytesProcessed(state.iterations() * d.Bytes());
}
BENCHMARK(BM_SaveBaseline_ZlibDeflateTestWrite)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) {
        d.files.CloseAllFiles();
        if (!d.files.OpenScheduleArchive()) state.SkipWithError("open failed");
        bool isNew = false;
        (void)d.files.LoadScheduleSettings(isNew);
        d.files.CurrentFormatNo = d.files.ScheduleProps.CurrentFormat;
        if (!d.files.OpenWorkingFiles()) state.SkipWithError("open failed");
    }
    state.SetBytesProcessed(state.iterations() * d.Bytes());
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenBaseline_ZlibReadInflateWrite(benchmark::State& state)
{
    Dense& d = Schedule();
    std::vector<std::vector<std::uint8_t>> compressed;
    std::vector<uLong> crcs;
    for (const QByteArray& c : d.contents) {
        compressed.push_back(Deflate(c));
        crcs.push_back(crc32(0, reinterpret_cast<const Bytef*>(c.constData()), static_cast<uInt>(c.size())));
    }
    const QString packed = d.sched.path() + QStringLiteral("/baseline.bin");
    {
        std::vector<std::uint8_t> all;
        for (const auto& z : compressed) all.insert(all.end(), z.begin(), z.end());
        WriteAll(packed, reinterpret_cast<const char*>(all.data()), all.size());
    }
    const QString outDir = d.work.path() + QStringLiteral("/baseline");
    QDir().mkpath(outDir);
    for (auto _ : state) {
        const QByteArray in = ReadAll(packed);
        std::size_t at = 0;
        for (std::size_t i = 0; i < compressed.size(); ++i) {
            const std::vector<std::uint8_t> z(in.constData() + at, in.constData() + at + compressed[i].size());
            at += compressed[i].size();
            const auto out = Inflate(z, static_cast<std::size_t>(d.contents[i].size()), crcs[i]);
            WriteFresh(outDir + QStringLiteral("/") + d.names[i], reinterpret_cast<const char*>(out.data()),
                       out.size());
        }
    }
    state.SetBytesProcessed(state.iterations() * d.Bytes());
    QDir(outDir).removeRecursively();
}
BENCHMARK(BM_OpenBaseline_ZlibReadInflateWrite)->Unit(benchmark::kMillisecond);

void BM_PeriodChangeOneYearEachEnd(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) {
        state.PauseTiming();
        d.Restore();
        d.files.NewPeriodStart = OleDates::FromYmd(2014, 1, 1);
        d.files.NewPeriodEnd = OleDates::FromYmd(2025, 12, 31);
        state.ResumeTiming();
        if (!d.files.ChangeScheduleDates()) state.SkipWithError("period change failed");
    }
    d.Restore();
}
BENCHMARK(BM_PeriodChangeOneYearEachEnd)->Unit(benchmark::kMillisecond);

void BM_PeriodChangeBaseline_ReadWriteRebuiltFiles(benchmark::State& state)
{
    Dense& d = Schedule();
    const QString work = d.work.path();
    const std::size_t newDays = static_cast<std::size_t>(
        OleDates::DaysBetween(OleDates::FromYmd(2014, 1, 1), OleDates::FromYmd(2025, 12, 31)) + 1);
    for (auto _ : state) {
        state.PauseTiming();
        d.Restore();
        d.files.CloseAllFiles();
        state.ResumeTiming();
        const QByteArray days = ReadAll(work + QStringLiteral("/QORVANE2.SCH"));
        const QByteArray notes = ReadAll(work + QStringLiteral("/QORVANE2.SNO"));
        std::vector<char> rebuilt(newDays * DayRecord::Size, 0);
        std::memcpy(rebuilt.data() + 365 * DayRecord::Size, days.constData(), static_cast<std::size_t>(days.size()));
        WriteFresh(work + QStringLiteral("/QORVANE2.SCH"), rebuilt.data(), rebuilt.size());
        WriteFresh(work + QStringLiteral("/QORVANE2.SNO"), notes.constData(), static_cast<std::size_t>(notes.size()));
    }
    d.Restore();
}
BENCHMARK(BM_PeriodChangeBaseline_ReadWriteRebuiltFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
