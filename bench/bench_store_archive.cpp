// Save and Open of the schedule file and the change of the schedule period, for a dense
// schedule of ten years by 200 rows holding as many notes as the notes file takes. Each has a
// baseline doing the least work for the same result: zlib deflating, checking and writing the
// same bytes as a fresh file synced and renamed into place (Save), reading, inflating and
// writing them as fresh files that take the place of the old ones, removed first, as the
// program's do (Open), and a plain read of the old files and a write of the two rebuilt ones,
// fresh and renamed into place (period change, which shows its progress panel as the user sees
// it).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <span>
#include <vector>

#include "BenchSupport.h"
#include "RealisticSchedule.h"
#include "platform/ZipArchive.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kLevel = 6;  // the level the schedule file is written with

void WriteAll(const QString& path, const char* data, std::size_t n)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    bench::WriteFd(fd, data, n);
    ::close(fd);
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
            contents.push_back(bench::FileBytes(work.path() + QStringLiteral("/") + n));
        }
    }
    // Puts the saved working files back, as fresh files, and opens them.
    void Restore()
    {
        files.CloseAllFiles();
        for (std::size_t i = 0; i < names.size(); ++i) {
            bench::WriteFresh(work.path() + QStringLiteral("/") + names[i], contents[i].constData(),
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
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> in, std::size_t size, uLong crc)
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

// Deflates, checks and writes the archive; the deflated size of each file.
std::vector<std::size_t> BaselineSave(const Dense& d, const QString& out)
{
    std::vector<std::uint8_t> archive;
    std::vector<std::size_t> sizes;
    for (const QByteArray& c : d.contents) {
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(c.constData()), static_cast<uInt>(c.size()));
        const std::vector<std::uint8_t> z = Deflate(c);
        benchmark::DoNotOptimize(Inflate(z, static_cast<std::size_t>(c.size()), crc).data());
        archive.insert(archive.end(), z.begin(), z.end());
        sizes.push_back(z.size());
    }
    bench::WriteFresh(out, reinterpret_cast<const char*>(archive.data()), archive.size(), true);
    return sizes;
}

void BM_SaveBaseline_ZlibDeflateTestWrite(benchmark::State& state)
{
    Dense& d = Schedule();
    const QString out = d.sched.path() + QStringLiteral("/baseline.bin");
    for (auto _ : state) benchmark::DoNotOptimize(BaselineSave(d, out));
    state.SetBytesProcessed(state.iterations() * d.Bytes());
}
BENCHMARK(BM_SaveBaseline_ZlibDeflateTestWrite)->Unit(benchmark::kMillisecond);

// The schedule as the baseline reads it: each working file's bytes deflated back to back in
// one file, with their sizes and CRCs.
struct Packed {
    std::vector<std::size_t> compressed;
    std::vector<uLong> crcs;
    QString path;

    explicit Packed(const Dense& d) : path(d.sched.path() + QStringLiteral("/baseline.bin"))
    {
        std::vector<std::uint8_t> all;
        for (const QByteArray& c : d.contents) {
            const std::vector<std::uint8_t> z = Deflate(c);
            compressed.push_back(z.size());
            crcs.push_back(crc32(0, reinterpret_cast<const Bytef*>(c.constData()), static_cast<uInt>(c.size())));
            all.insert(all.end(), z.begin(), z.end());
        }
        WriteAll(path, reinterpret_cast<const char*>(all.data()), all.size());
    }
};

// Reads and inflates every file, writes each fresh beside its old one, removes the old files and
// renames the fresh ones into place: the removals and renames the program makes.
void BaselineOpen(const Dense& d, const Packed& packed, const QString& outDir)
{
    const QByteArray in = bench::FileBytes(packed.path);
    std::size_t at = 0;
    std::vector<QByteArray> fresh;
    for (std::size_t i = 0; i < packed.compressed.size(); ++i) {
        // Straight from the bytes read.
        const std::span<const std::uint8_t> z(reinterpret_cast<const std::uint8_t*>(in.constData()) + at,
                                              packed.compressed[i]);
        at += packed.compressed[i];
        const auto out = Inflate(z, static_cast<std::size_t>(d.contents[i].size()), packed.crcs[i]);
        fresh.push_back((outDir + QStringLiteral("/") + d.names[i] + QStringLiteral(".new")).toLocal8Bit());
        const int fd = ::open(fresh.back().constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) std::abort();
        bench::WriteFd(fd, reinterpret_cast<const char*>(out.data()), out.size());
        ::close(fd);
    }
    for (const QString& name : d.names) ::unlink((outDir + QStringLiteral("/") + name).toLocal8Bit().constData());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const QByteArray target = (outDir + QStringLiteral("/") + d.names[i]).toLocal8Bit();
        if (::rename(fresh[i].constData(), target.constData()) != 0) std::abort();
    }
}

void ProgramOpen(Dense& d, benchmark::State* state = nullptr)
{
    d.files.CloseAllFiles();
    bool ok = d.files.OpenScheduleArchive();
    bool isNew = false;
    ok = ok && d.files.LoadScheduleSettings(isNew);
    d.files.CurrentFormatNo = d.files.ScheduleProps.CurrentFormat;
    ok = ok && d.files.OpenWorkingFiles();
    if (!ok && state) state->SkipWithError("open failed");
}

void BM_Open(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) ProgramOpen(d, &state);
    state.SetBytesProcessed(state.iterations() * d.Bytes());
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenBaseline_ZlibReadInflateWrite(benchmark::State& state)
{
    Dense& d = Schedule();
    const Packed packed(d);
    const QString outDir = d.work.path() + QStringLiteral("/baseline");
    QDir().mkpath(outDir);
    for (auto _ : state) BaselineOpen(d, packed, outDir);
    state.SetBytesProcessed(state.iterations() * d.Bytes());
    QDir(outDir).removeRecursively();
}
BENCHMARK(BM_OpenBaseline_ZlibReadInflateWrite)->Unit(benchmark::kMillisecond);

const OleDate kNewStart = OleDates::FromYmd(2014, 1, 1);
const OleDate kNewEnd = OleDates::FromYmd(2025, 12, 31);

// From the restored schedule, with the progress panel the program shows.
void ProgramPeriodChange(Dense& d, benchmark::State* state = nullptr)
{
    d.files.NewPeriodStart = kNewStart;
    d.files.NewPeriodEnd = kNewEnd;
    if (!d.files.ChangeScheduleDates() && state) state->SkipWithError("period change failed");
}

// From the restored schedule, its files closed: the old days read and written a year further on,
// with a blank year before and after, and the notes, which keep their numbers.
void BaselinePeriodChange(const Dense& d)
{
    const QString work = d.work.path();
    const auto newDays = static_cast<std::size_t>(OleDates::DaysBetween(kNewStart, kNewEnd) + 1);
    const QByteArray days = bench::FileBytes(work + QStringLiteral("/QORVANE2.SCH"));
    const QByteArray notes = bench::FileBytes(work + QStringLiteral("/QORVANE2.SNO"));
    std::vector<char> rebuilt(newDays * DayRecord::Size, 0);
    std::memcpy(rebuilt.data() + 365 * DayRecord::Size, days.constData(), static_cast<std::size_t>(days.size()));
    bench::WriteFresh(work + QStringLiteral("/QORVANE2.SCH"), rebuilt.data(), rebuilt.size());
    bench::WriteFresh(work + QStringLiteral("/QORVANE2.SNO"), notes.constData(),
                      static_cast<std::size_t>(notes.size()));
}

void BM_PeriodChangeOneYearEachEnd(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) {
        state.PauseTiming();
        d.Restore();
        state.ResumeTiming();
        ProgramPeriodChange(d, &state);
    }
    d.Restore();
}
BENCHMARK(BM_PeriodChangeOneYearEachEnd)->Unit(benchmark::kMillisecond);

void BM_PeriodChangeBaseline_ReadWriteRebuiltFiles(benchmark::State& state)
{
    Dense& d = Schedule();
    for (auto _ : state) {
        state.PauseTiming();
        d.Restore();
        d.files.CloseAllFiles();
        state.ResumeTiming();
        BaselinePeriodChange(d);
    }
    d.Restore();
}
BENCHMARK(BM_PeriodChangeBaseline_ReadWriteRebuiltFiles)->Unit(benchmark::kMillisecond);

// Each pair of sides does the same work: the members of the schedule file deflate to the sizes
// the baseline's do, an open leaves the bytes the baseline inflates, and a period change the
// rebuilt files the baseline writes.
bool SameArchiveWork()
{
    Dense& d = Schedule();
    const QString files = d.work.path() + QStringLiteral("/");
    bool same = d.files.SaveScheduleArchive();
    const std::vector<std::size_t> sizes = BaselineSave(d, d.sched.path() + QStringLiteral("/baseline.bin"));
    ZipArchive zip;
    same = same && zip.open(d.files.SchedulePath());
    const auto members = zip.members();
    same = same && members && members->size() == d.names.size();
    for (std::size_t i = 0; same && i < d.names.size(); ++i) {
        const ZipMember& m = (*members)[i];
        // The same level, though the library feeds zlib in pieces of its own: within 1%.
        const auto delta = static_cast<double>(m.compressedSize) - static_cast<double>(sizes[i]);
        same = m.name == d.names[i] && std::abs(delta) <= 0.01 * static_cast<double>(sizes[i]) &&
               m.size == static_cast<std::uint64_t>(d.contents[i].size());
    }
    zip.close();
    if (!bench::SameWork(same, "save")) return false;

    ProgramOpen(d);
    const QString outDir = d.work.path() + QStringLiteral("/baseline");
    QDir().mkpath(outDir);
    BaselineOpen(d, Packed(d), outDir);
    for (const QString& name : d.names) {
        const QByteArray ours = bench::FileBytes(files + name);
        same = same && !ours.isEmpty() && ours == bench::FileBytes(outDir + QStringLiteral("/") + name);
    }
    QDir(outDir).removeRecursively();
    if (!bench::SameWork(same, "open")) return false;

    d.Restore();
    ProgramPeriodChange(d);
    const QByteArray ourDays = bench::FileBytes(files + QStringLiteral("QORVANE2.SCH"));
    const QByteArray ourNotes = bench::FileBytes(files + QStringLiteral("QORVANE2.SNO"));
    d.Restore();
    d.files.CloseAllFiles();
    BaselinePeriodChange(d);
    same = ourDays.size() > d.contents[0].size() &&
           ourDays == bench::FileBytes(files + QStringLiteral("QORVANE2.SCH")) &&
           ourNotes == bench::FileBytes(files + QStringLiteral("QORVANE2.SNO"));
    d.Restore();
    return bench::SameWork(same, "period change");
}

}  // namespace

int main(int argc, char** argv)
{
    // The period change shows its progress panel, as it does to the user.
    return bench::RunInApplication(argc, argv, false, SameArchiveWork);
}
