// The estimated cost report's work file for 200 employees over 42 days (two-shift days, daily
// and period overtime, some paid by the day), beside a baseline that does the same work
// plainly: the same bytes flushed and read with pread/pwrite, the same sums in int64, the lines
// written with snprintf to a fresh file and each field measured once with QFontMetricsF.
//
// The hourly coverage window's counting of ten query columns over 200 rows, beside a baseline
// that reads the ten query records with one pread and the two day records with another, and
// counts the minutes plainly.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "analysis/CostReport.h"
#include "analysis/HourFRM.h"
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
    return bench::FileBytes(s.files.WorkPath(QStringLiteral(".RPT")));
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
bool SameCostWork()
{
    Schedule s;
    const QFontMetricsF fm(ReportFont());
    const auto r = BuildCostReportFile(s.files, s.Request(), Measure(fm));
    if (!r) return false;
    const QByteArray ours = ReportBytes(s);
    Baseline b(s);
    b.Run();
    bool same = !ours.isEmpty() && ours == ReportBytes(s);
    for (int k = 0; k <= 9; ++k) same = same && r->WidestColumnText[k] == b.widest[static_cast<std::size_t>(k)];
    return bench::SameWork(same, "estimated cost report file and widest texts");
}

// ---------------------------------------------------------------- hourly coverage

constexpr int kCoverageDay = 20;  // the day shown; the day before is examined too

// 200 rows on the days around the day shown: day, evening, night, half and 12-hour shifts, a
// fifth of the cells with two shifts, explanations and notes; ten queries of every kind.
struct CoverageSchedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    std::array<QueryRecord, kCoverageColumns> queries{};

    CoverageSchedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        struct Shift {
            double start, end;
            float paid;
        };
        const Shift shifts[] = {{7, 15, 8}, {15, 23, 8}, {23, 7, 7.5f}, {8, 12, 4}, {7, 19, 11.5f}, {19, 7, 11.5f}};
        for (int code = 1; code <= 6; ++code) {
            ShiftRecord& s = files.ShiftTable[code];
            s.StartTime = shifts[code - 1].start / 24;
            s.EndTime = shifts[code - 1].end / 24;
            s.PaidHours = shifts[code - 1].paid;
        }
        const char* positions[] = {"RN", "LPN", "Aide", "Clerk"};
        for (int r = 1; r <= kSlots; ++r) {
            files.EmpTable.Name[r] = QStringLiteral("Employee, Name %1").arg(r, 3, 10, QLatin1Char('0'));
            files.EmpTable.Position[r] = QString::fromLatin1(positions[r % 4]);
        }
        for (int k = kCoverageDay - 1; k <= kCoverageDay; ++k) {
            DayRecord d;
            for (int r = 1; r <= kSlots; ++r) {
                const int slot = files.ScheduleProps.RowMap[r];
                const int phase = (k + r) % 7;
                if (phase < 5) {
                    d.Shift1Code[slot] = static_cast<Byte>(1 + (k + r) % 6);
                    if ((k + r) % 5 == 0 && d.Shift1Code[slot] == 1) d.Shift2Code[slot] = 2;
                    if ((k + r) % 5 == 1 && d.Shift1Code[slot] == 4) d.Shift2Code[slot] = 2;
                } else if (phase == 5) {
                    d.Shift1Code[slot] = kTimeOffCode;
                }
                if ((k + r) % 9 == 0) d.ExplanationCode[slot] = static_cast<Byte>(1 + r % 3);
                if ((k + r) % 5 == 2) d.NoteNumber[slot] = 1;
            }
            if (!files.WriteRecord(FileNo::Days, k, d)) std::abort();
        }

        const auto shiftsQuery = [](const char* title, std::initializer_list<int> codes) {
            QueryRecord q;
            q.Title = QString::fromLatin1(title);
            q.IgnoreNames = kTrue;
            q.IgnoreExplanations = kTrue;
            for (int c : codes) q.SelectedShifts[c] = 1;
            return q;
        };
        queries[0] = shiftsQuery("Days", {1, 4, 5});
        queries[1] = shiftsQuery("Evenings", {2});
        queries[2] = shiftsQuery("Nights", {3, 6});
        queries[3] = shiftsQuery("Everyone", {1, 2, 3, 4, 5, 6});
        queries[4] = shiftsQuery("RN", {1, 2, 3, 4, 5, 6});
        queries[4].IgnoreNames = kFalse;
        queries[4].ByPosition = kTrue;
        queries[4].Position = QStringLiteral("rn");
        queries[5] = shiftsQuery("Chosen", {1, 2, 3, 5, 6});
        queries[5].IgnoreNames = kFalse;
        for (int s = 1; s <= kSlots; s += 3) queries[5].SelectedNames[s] = 1;
        queries[6] = shiftsQuery("Explained", {1, 2, 3, 4, 5, 6});
        queries[6].IgnoreExplanations = kFalse;
        queries[6].SelectedExplanations[1] = queries[6].SelectedExplanations[2] = 1;
        queries[7] = shiftsQuery("Not sched + 12h", {0, 5, 6});
        queries[8] = shiftsQuery("Nobody", {});
        queries[8].IgnoreShifts = kTrue;
        queries[9] = shiftsQuery("Any shift", {1, 3});
        queries[9].IgnoreNames = kFalse;
        queries[9].IgnoreShifts = kTrue;
        for (int s = 1; s <= kSlots; s += 2) queries[9].SelectedNames[s] = 1;
        for (int n = 1; n <= kCoverageColumns; ++n) {
            if (!files.WriteRecord(FileNo::Queries, n, queries[static_cast<std::size_t>(n - 1)])) std::abort();
        }
    }

    OleDate Day() const { return std::floor(files.ScheduleProps.PeriodStart) + kCoverageDay - 1; }
};

using CoverageCounts = std::array<MinuteCountColumn, kCoverageColumns>;

// What the window does for each column: its query read into the window's own buffer, then
// the minutes counted.
bool ProgramCount(const CoverageSchedule& s, CoverageCounts& counts)
{
    // As the window counts its columns: the two days once, then each column's query.
    const Result<CoverageDays> days = ReadCoverageDays(s.files, s.Day());
    if (!days) return false;
    QueryRecord buf;
    for (int col = 1; col <= kCoverageColumns; ++col) {
        if (!s.files.ReadRecord(FileNo::Queries, col, buf)) return false;
        CountCoverageMinutes(s.files, buf, *days, counts[static_cast<std::size_t>(col - 1)]);
    }
    return true;
}

struct CoverageBaseline {
    const CoverageSchedule& s;
    int sq1Fd = -1;
    int schFd = -1;

    explicit CoverageBaseline(const CoverageSchedule& sched) : s(sched)
    {
        const QString dir = s.dir.path();
        sq1Fd = ::open(QFile::encodeName(dir + "/QORVANE2.SQ1").constData(), O_RDONLY | O_CLOEXEC);
        schFd = ::open(QFile::encodeName(dir + "/QORVANE2.SCH").constData(), O_RDONLY | O_CLOEXEC);
    }
    ~CoverageBaseline()
    {
        ::close(sq1Fd);
        ::close(schFd);
    }

    static int Minute(double t)
    {
        const double frac = std::fabs(t - std::trunc(t));
        return static_cast<int>(std::llround(frac * 86400.0) % 86400 / 60);
    }

    void Run(CoverageCounts& counts)
    {
        const EmployeeTable& emp = s.files.EmpTable;
        const auto& rowMap = s.files.ScheduleProps.RowMap;
        int lastNamed = 0;
        for (int r = 1; r <= kSlots; ++r)
            if (emp.Name[r].bytes[0] > 47) lastNamed = r;

        int start[100] = {}, end[100] = {};
        bool paid[100] = {};
        for (int c = 1; c <= kUserShifts; ++c) {
            start[c] = Minute(s.files.ShiftTable[c].StartTime);
            end[c] = Minute(s.files.ShiftTable[c].EndTime);
            paid[c] = s.files.ShiftTable[c].PaidHours > 0;
        }
        // The day before and the day shown, in one read.
        std::uint8_t days[2 * DayRecord::Size];
        (void)!::pread(schFd, days, sizeof days, static_cast<off_t>(kCoverageDay - 2) * DayRecord::Size);

        // The ten queries in one read.
        std::uint8_t queries[kCoverageColumns * QueryRecord::Size];
        (void)!::pread(sq1Fd, queries, sizeof queries, 0);
        for (int col = 0; col < kCoverageColumns; ++col) {
            const std::uint8_t* q = queries + col * QueryRecord::Size;
            const bool ignoreNames = q[20] | q[21], ignoreExpl = q[22] | q[23], ignoreShifts = q[24] | q[25];
            const bool byPosition = q[26] | q[27];
            const std::uint8_t* names = q + 38;
            const std::uint8_t* expl = q + 238;
            const std::uint8_t* sel = q + 338;
            auto& out = counts[static_cast<std::size_t>(col)];
            out.fill(0);
            if (ignoreNames && ignoreExpl && ignoreShifts) continue;
            // Each shift marks the minute it comes on and the one after it goes off; the running
            // sum of the marks is the count.
            int marks[kMinutesPerDay + 1] = {};
            const bool notScheduled = sel[0] == 1;
            for (int k = 0; k < 2; ++k) {
                const std::uint8_t* d = days + k * DayRecord::Size;
                for (int r = 1; r <= lastNamed; ++r) {
                    if (emp.Name[r].bytes[0] <= 47) continue;
                    const int slot = rowMap[r];
                    if (!ignoreNames) {
                        if (byPosition) {
                            bool same = true;
                            for (int i = 0; i < 10 && same; ++i) {
                                const auto a = emp.Position[r].bytes[static_cast<std::size_t>(i)];
                                const std::uint8_t b = q[28 + i];
                                same = std::toupper(a ? a : ' ') == std::toupper(b ? b : ' ');
                            }
                            if (!same) continue;
                        } else if (names[slot - 1] == 0) {
                            continue;
                        }
                    }
                    const std::size_t i = static_cast<std::size_t>(slot - 1);
                    const int s1 = d[i], s2 = d[600 + i];
                    if (s1 < 1 || s1 > 99) continue;
                    if (!ignoreExpl && expl[d[400 + i]] != 1) continue;
                    const int t2 = notScheduled ? s1 : s2;
                    const bool shiftHit = ignoreShifts || (s1 <= 100 && sel[s1] == 1) || (t2 <= 100 && sel[t2] == 1) ||
                                          (sel[101] == 1 && d[200 + i] == 1);
                    if (!shiftHit) continue;
                    for (const int code : {s1, s2}) {
                        if (code < 1 || code > 99 || sel[code] == 0 || !paid[code]) continue;
                        const int a = start[code], e = end[code];
                        const bool night = e <= a;
                        int lo = a, hi = night ? 1439 : e - 1;
                        if (k == 0) {
                            if (!night) continue;
                            lo = 0;
                            hi = e - 1;
                        }
                        ++marks[lo];
                        --marks[hi + 1];
                    }
                }
            }
            int onDuty = 0;
            for (int m = 0; m < kMinutesPerDay; ++m) {
                onDuty += marks[m];
                out[static_cast<std::size_t>(m)] = static_cast<std::uint16_t>(onDuty);
            }
        }
    }
};

void BM_HourlyCoverageCount(benchmark::State& state)
{
    CoverageSchedule s;
    CoverageCounts counts;
    for (auto _ : state) {
        if (!ProgramCount(s, counts)) state.SkipWithError("count failed");
        benchmark::DoNotOptimize(counts.data());
    }
}
BENCHMARK(BM_HourlyCoverageCount)->Unit(benchmark::kMicrosecond);

void BM_HourlyCoverageCount_Baseline(benchmark::State& state)
{
    CoverageSchedule s;
    CoverageBaseline b(s);
    CoverageCounts counts;
    for (auto _ : state) {
        b.Run(counts);
        benchmark::DoNotOptimize(counts.data());
    }
}
BENCHMARK(BM_HourlyCoverageCount_Baseline)->Unit(benchmark::kMicrosecond);

bool SameCoverageWork()
{
    CoverageSchedule s;
    CoverageCounts ours{}, theirs{};
    if (!ProgramCount(s, ours)) return false;
    CoverageBaseline(s).Run(theirs);
    return bench::SameWork(ours == theirs && ours != CoverageCounts{}, "hourly coverage counts");
}

}  // namespace

int main(int argc, char** argv)
{
    return tavrin::bench::RunInApplication(argc, argv, false, [] { return SameCostWork() && SameCoverageWork(); });
}
