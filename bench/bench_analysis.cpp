// The estimated cost report's work file for 200 employees over 42 days (two-shift days, daily
// and period overtime, some paid by the day), beside a baseline that does the same work
// plainly: the same bytes flushed and read with pread/pwrite, the same sums in int64, the lines
// written with snprintf to a fresh file and each field measured once with QFontMetricsF.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "analysis/CostReport.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kDays = 42;
constexpr int kTwipsPerPixel = 15;

QFont ReportFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(10);
    f.setBold(true);
    return f;
}

// An open schedule whose 200 rows work five or six days in seven over the report's 42 days.
struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    std::vector<int> rows;

    Schedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();

        const float paid[] = {8, 8, 10, 12, 4};
        for (int code = 1; code <= 5; ++code) {
            ShiftRecord s = files.ShiftTable[code];
            s.PaidHours = paid[code - 1];
            if (!files.WriteRecord(FileNo::Shifts, code, s)) std::abort();
        }
        EmployeeTable& emp = files.EmpTable;
        emp.DailyOTThreshold = 8;
        emp.DailyOTFactor = 1.5f;
        emp.OTPeriodDays = 7;
        emp.PeriodOTThreshold = 40;
        emp.PeriodOTFactor = 1.5f;
        const char* positions[] = {"RN", "LPN", "Aide", "Clerk"};
        for (int r = 1; r <= kSlots; ++r) {
            emp.Name[r] = QStringLiteral("Employee, Name %1").arg(r, 3, 10, QLatin1Char('0'));
            emp.Position[r] = QString::fromLatin1(positions[r % 4]);
            emp.PayRate[r] = 80000 + (r % 20) * 3500;
            emp.PayType[r] = r % 10 == 0 ? 1 : 0;
            rows.push_back(r);
        }
        for (int k = 1; k <= kDays; ++k) {
            DayRecord d;
            for (int r = 1; r <= kSlots; ++r) {
                const int slot = files.ScheduleProps.RowMap[r];
                const int phase = (k + r) % 7;
                // A quarter of the rows work six days in seven, into period overtime.
                if (phase < (r % 4 == 0 ? 6 : 5)) {
                    d.Shift1Code[slot] = static_cast<Byte>(1 + (k + r) % 4);
                    if ((k + r) % 5 == 0) d.Shift2Code[slot] = 5;  // a fifth of the days hold two shifts
                } else if (phase == 5 && r % 3 == 0) {
                    d.Shift1Code[slot] = kTimeOffCode;
                }
            }
            if (!files.WriteRecord(FileNo::Days, k, d)) std::abort();
        }
        if (!files.LoadVisibleDays()) std::abort();
    }

    CostReportRequest Request() const { return {files.ScheduleProps.PeriodStart, kDays, rows}; }
};

// ---------------------------------------------------------------- the baseline

struct Baseline {
    const Schedule& s;
    QFontMetricsF metrics{ReportFont()};
    int semFd = -1;
    int schFd = -1;
    int sshFd = -1;
    QByteArray settingsPath;
    QByteArray reportPath;
    std::vector<char> out;

    explicit Baseline(const Schedule& sched) : s(sched)
    {
        const QString dir = s.dir.path();
        // The working files stay open, as the program keeps them.
        semFd = ::open(QFile::encodeName(dir + "/QORVANE2.SEM").constData(), O_RDWR | O_CLOEXEC);
        schFd = ::open(QFile::encodeName(dir + "/QORVANE2.SCH").constData(), O_RDWR | O_CLOEXEC);
        sshFd = ::open(QFile::encodeName(dir + "/QORVANE2.SSH").constData(), O_RDWR | O_CLOEXEC);
        settingsPath = QFile::encodeName(dir + "/QORVANE2.SPR");
        reportPath = QFile::encodeName(dir + "/QORVANE2.RPT");
        out.reserve(64 * 1024);
    }
    ~Baseline()
    {
        ::close(semFd);
        ::close(schFd);
        ::close(sshFd);
    }

    static std::int64_t Fixed(double v) { return static_cast<std::int64_t>(std::nearbyint(v * 10000)); }
    static std::int64_t Mul(std::int64_t a, std::int64_t b)
    {
        const __int128 p = static_cast<__int128>(a) * b;
        __int128 q = p / 10000;
        const __int128 r = p % 10000;
        const __int128 twice = (r < 0 ? -r : r) * 2;
        if (twice > 10000 || (twice == 10000 && (q & 1) != 0)) q += p < 0 ? -1 : 1;
        return static_cast<std::int64_t>(q);
    }
    // "##0.00;;\-" and its grouped forms: hundredths rounded half away from zero; zero is "-".
    static int Money(char* buf, std::int64_t v, bool group)
    {
        if (v == 0) return std::snprintf(buf, 32, "-");
        const bool neg = v < 0;
        const std::int64_t c = ((neg ? -v : v) + 50) / 100;
        const std::int64_t whole = c / 100;
        if (!group || whole < 1000) {
            return std::snprintf(buf, 32, "%s%lld.%02lld", neg ? "-" : "", static_cast<long long>(whole),
                                 static_cast<long long>(c % 100));
        }
        return std::snprintf(buf, 32, "%s%lld,%03lld.%02lld", neg ? "-" : "", static_cast<long long>(whole / 1000),
                             static_cast<long long>(whole % 1000), static_cast<long long>(c % 100));
    }

    std::array<double, 11> widths{};
    std::array<QString, 11> widest;

    void Field(const char* text, int len, int k)
    {
        out.push_back('"');
        out.insert(out.end(), text, text + len);
        out.push_back('"');
        out.push_back('\xff');
        const QString q = QString::fromLatin1(text, len);
        const double w = metrics.horizontalAdvance(q) * kTwipsPerPixel;
        if (w > widths[static_cast<std::size_t>(k)]) {
            widths[static_cast<std::size_t>(k)] = w;
            widest[static_cast<std::size_t>(k)] = q;
        }
    }
    void Field(const char* text, int k) { Field(text, static_cast<int>(std::strlen(text)), k); }
    void EndLine()
    {
        out.push_back('\r');
        out.push_back('\n');
    }
    static int TrimmedLength(const std::uint8_t* b, int n)
    {
        while (n > 0 && (b[n - 1] == ' ' || b[n - 1] == 0)) --n;
        return n;
    }

    void Run()
    {
        const EmployeeTable& emp = s.files.EmpTable;
        // The flush: employee table into its kept-open file, the settings into a reopened one.
        std::array<std::uint8_t, EmployeeTable::Size> empBytes;
        Encode(emp, std::span<std::uint8_t>(empBytes));
        (void)!::pwrite(semFd, empBytes.data(), empBytes.size(), 0);
        const auto propBytes = Encode(s.files.ScheduleProps);
        const int sprFd = ::open(settingsPath.constData(), O_RDWR | O_CLOEXEC);
        (void)!::pwrite(sprFd, propBytes.data(), propBytes.size(), 0);
        ::close(sprFd);

        static std::uint8_t days[kDays * DayRecord::Size];
        (void)!::pread(schFd, days, sizeof days, 0);
        static std::uint8_t shifts[kUserShifts * ShiftRecord::Size];
        (void)!::pread(sshFd, shifts, sizeof shifts, 0);
        std::int64_t paid[100] = {};
        for (int c = 1; c <= kUserShifts; ++c) {
            float h;
            std::memcpy(&h, shifts + (c - 1) * ShiftRecord::Size + 43, sizeof h);
            paid[c] = Fixed(h);
        }

        const std::int64_t dThr = Fixed(emp.DailyOTThreshold), dFac = Fixed(emp.DailyOTFactor);
        const std::int64_t pThr = Fixed(emp.PeriodOTThreshold), pFac = Fixed(emp.PeriodOTFactor);
        const int pDays = emp.OTPeriodDays;
        const bool dOn = dFac != 10000, pOn = pFac != 10000;

        out.clear();
        widths.fill(0);
        const char* header[] = {"Name",         "Position",      "Type",        "Cost",      "Regular Hrs",
                                "Daily OT Hrs", "Period OT Hrs", "Days Worked", "Total Cost"};
        for (int k = 0; k < 9; ++k) Field(header[k], k);
        EndLine();

        std::int64_t tr = 0, td = 0, tp = 0, tc = 0;
        bool anyError = false;
        char buf[32];
        for (int row : s.rows) {
            const int slot = s.files.ScheduleProps.RowMap[row];
            const bool daily = emp.PayType[row] == 1;
            const std::int64_t rate = emp.PayRate[row];
            std::int64_t R = 0, D = 0, P = 0, H = 0, E = 0;
            int W = 0, c = 0;
            const auto close = [&] {
                if (!daily && pOn && H > pThr) {
                    P += H - pThr;
                    R += pThr;
                } else {
                    R += H;
                }
                if (!daily) D += E;
                H = E = 0;
                c = 0;
            };
            for (int k = 0; k < kDays; ++k) {
                const std::uint8_t* d = days + k * DayRecord::Size;
                const int s1 = d[slot - 1];
                if (s1 >= 1 && s1 <= 99) {
                    std::int64_t h = paid[s1];
                    if (!daily) {
                        const int s2 = d[600 + slot - 1];
                        if (s2 >= 1 && s2 <= 99) h += paid[s2];
                        if (dOn && h > dThr) {
                            E += h - dThr;
                            h = dThr;
                        }
                    }
                    H += h;
                    ++W;
                }
                if (++c == pDays) close();
            }
            if (c > 0) close();
            std::int64_t C = daily ? rate * W : Mul(R, rate) + Mul(D, Mul(dFac, rate)) + Mul(P, Mul(pFac, rate));
            const bool err = C > 999999900;
            if (err) C = 0;
            anyError = anyError || err;

            const auto* name = emp.Name[row].bytes.data();
            Field(reinterpret_cast<const char*>(name), TrimmedLength(name, 20), 0);
            const auto* pos = emp.Position[row].bytes.data();
            Field(reinterpret_cast<const char*>(pos), TrimmedLength(pos, 10), 1);
            Field(daily ? "Daily" : "Hourly", 2);
            Field(buf, Money(buf, rate, false), 3);
            Field(buf, Money(buf, R, false), 4);
            if (dOn && !daily)
                Field(buf, Money(buf, D, false), 5);
            else
                Field("N/A", 5);
            if (pOn && !daily)
                Field(buf, Money(buf, P, false), 6);
            else
                Field("N/A", 6);
            Field(buf, W ? std::snprintf(buf, sizeof buf, "%d", W) : std::snprintf(buf, sizeof buf, "-"), 7);
            if (err)
                Field("error", 8);
            else
                Field(buf, Money(buf, C, true), 8);
            EndLine();
            tr += R;
            td += D;
            tp += P;
            tc += C;
        }
        Field("TOTALS", 0);
        Field(" ", 1);
        Field(" ", 2);
        Field(" ", 3);
        const auto hours = [&](std::int64_t v, int k) {
            if (v > 999999900)
                Field("error", k);
            else
                Field(buf, Money(buf, v, false), k);
        };
        hours(tr, 4);
        if (dOn)
            hours(td, 5);
        else
            Field("N/A", 5);
        if (pOn)
            hours(tp, 6);
        else
            Field("N/A", 6);
        Field(" ", 7);
        if (anyError || tc > 9999999900)
            Field("error", 8);
        else
            Field(buf, Money(buf, tc, true), 8);
        EndLine();

        // A fresh file each run, written through stdio.
        FILE* f = std::fopen(reportPath.constData(), "wb");
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);

        // The visible days read again.
        static std::uint8_t visible[kMaxVisibleDays * DayRecord::Size];
        const int first = s.files.ScheduleProps.FirstVisibleDay;
        (void)!::pread(schFd, visible, static_cast<std::size_t>(s.files.VisibleDays) * DayRecord::Size,
                       static_cast<off_t>(first) * DayRecord::Size);
    }
};

TextWidthFn Measure(const QFontMetricsF& fm)
{
    return [&fm](const QString& text) { return fm.horizontalAdvance(text) * kTwipsPerPixel; };
}

QByteArray ReportBytes(const Schedule& s)
{
    QFile f(s.files.WorkPath(QStringLiteral(".RPT")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void BM_BuildCostReportFile(benchmark::State& state)
{
    Schedule s;
    const QFontMetricsF fm(ReportFont());
    const TextWidthFn measure = Measure(fm);
    const CostReportRequest request = s.Request();
    for (auto _ : state) {
        const auto r = BuildCostReportFile(s.files, request, measure);
        if (!r) state.SkipWithError("run failed");
        benchmark::DoNotOptimize(r->LineCount);
    }
}
BENCHMARK(BM_BuildCostReportFile)->Unit(benchmark::kMillisecond);

void BM_BuildCostReportFile_Baseline(benchmark::State& state)
{
    Schedule s;
    Baseline b(s);
    for (auto _ : state) {
        b.Run();
        benchmark::DoNotOptimize(b.out.data());
    }
}
BENCHMARK(BM_BuildCostReportFile_Baseline)->Unit(benchmark::kMillisecond);

// Both sides must write the same file and find the same widest texts, or the comparison means
// nothing.
bool SameWork()
{
    Schedule s;
    const QFontMetricsF fm(ReportFont());
    const auto r = BuildCostReportFile(s.files, s.Request(), Measure(fm));
    if (!r) return false;
    const QByteArray ours = ReportBytes(s);
    Baseline b(s);
    b.Run();
    if (ours != ReportBytes(s)) {
        std::fprintf(stderr, "The baseline writes other bytes than the program.\n");
        return false;
    }
    for (int k = 0; k <= 9; ++k) {
        if (r->WidestColumnText[k] != b.widest[static_cast<std::size_t>(k)]) {
            std::fprintf(stderr, "The baseline finds another widest text in column %d.\n", k);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!SameWork()) return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
