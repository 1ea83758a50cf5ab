// The estimated cost: pricing with overtime, the work file's lines and the file itself.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

#include "analysis/CostReport.h"
#include "platform/Cp1252.h"
#include "store/SchedFiles.h"
#include "support/FileSizeLimit.h"
#include "support/Golden.h"
#include "support/StoreFixture.h"

namespace tavrin {
namespace {

struct Overtime {
    float dailyThreshold = 8;
    float dailyFactor = 1.5f;
    Int16 periodDays = 7;
    float periodThreshold = 40;
    float periodFactor = 1.5f;
};

struct Cell {
    int s1;
    int s2 = 0;
};

std::vector<Cell> Repeat(int n, Cell c)
{
    return std::vector<Cell>(static_cast<std::size_t>(n), c);
}

std::vector<Cell> Concat(std::vector<Cell> a, const std::vector<Cell>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Paid hours of the shifts the cases use.
PaidHoursTable TestPaidHours()
{
    std::array<ShiftRecord, kUserShifts> shifts{};
    shifts[0].PaidHours = 10;
    shifts[1].PaidHours = 8;
    shifts[2].PaidHours = 4;
    shifts[3].PaidHours = 7.75f;
    shifts[49].PaidHours = 6;  // code 50: a number cell's hundredths must not read as this shift
    return PaidHoursOf(shifts);
}

constexpr int kSlot = 7;

std::vector<DayRecord> Days(const std::vector<Cell>& cells)
{
    std::vector<DayRecord> days(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        days[i].Shift1Code[kSlot] = static_cast<Byte>(cells[i].s1);
        days[i].Shift2Code[kSlot] = static_cast<Byte>(cells[i].s2);
    }
    return days;
}

void SetOvertime(EmployeeTable& emp, const Overtime& o)
{
    emp.DailyOTThreshold = o.dailyThreshold;
    emp.DailyOTFactor = o.dailyFactor;
    emp.OTPeriodDays = o.periodDays;
    emp.PeriodOTThreshold = o.periodThreshold;
    emp.PeriodOTFactor = o.periodFactor;
}

EmployeeTable WithOvertime(const Overtime& o)
{
    EmployeeTable emp;
    SetOvertime(emp, o);
    return emp;
}

struct PriceCase {
    const char* what;
    std::vector<Cell> cells;
    int payType;
    Fixed4 rate;
    Overtime ot;
    Fixed4 cost;
    // Type, rate, regular, daily OT, period OT, days worked, total cost.
    std::array<const char*, 7> texts;
};

TEST(CostPricing, ShiftsByPayTypeAndOvertime)
{
    const Overtime both;
    Overtime dailyOff = both;
    dailyOff.dailyFactor = 1.0f;
    Overtime dailyHalf = both;
    dailyHalf.dailyFactor = 0.5f;
    Overtime dailyLeast = both;
    dailyLeast.dailyFactor = 0.01f;
    Overtime tenDayPeriods = both;
    tenDayPeriods.periodThreshold = 30;
    tenDayPeriods.periodFactor = 2;
    Overtime onePeriod = tenDayPeriods;
    onePeriod.periodDays = 0;
    Overtime neverReached = tenDayPeriods;
    neverReached.periodDays = 99;
    // Days 1-3 hold no user shift in the first shift (empty with a second shift, Time-Off, a
    // number 0.50): nothing counts, but the period still advances.
    const auto tenDays = Concat({{0, 2}, {100, 2}, {255, 50}}, Repeat(7, {2}));

    // clang-format off
    const PriceCase cases[] = {
        // what, cells, pay type, rate, overtime, cost,
        //   {type, rate, regular, daily OT, period OT, days worked, total cost}
        {"10-hour week", Repeat(5, {1}), 0, 100000, both, 5500000,
            {"Hourly", "10.00", "40.00", "10.00", "-", "5", "550.00"}},
        {"daily factor 1.00", Repeat(5, {1}), 0, 100000, dailyOff, 5500000,
            {"Hourly", "10.00", "40.00", "N/A", "10.00", "5", "550.00"}},
        // Only exactly 1 switches daily overtime off: below 1 it is priced at less than the rate.
        {"daily factor .50", Repeat(5, {1}), 0, 100000, dailyHalf, 4500000,
            {"Hourly", "10.00", "40.00", "10.00", "-", "5", "450.00"}},
        {"daily factor .01", Repeat(5, {1}), 0, 100000, dailyLeast, 4010000,
            {"Hourly", "10.00", "40.00", "10.00", "-", "5", "401.00"}},
        {"two shifts, hourly", {{2, 3}}, 0, 100000, both, 1400000,
            {"Hourly", "10.00", "8.00", "4.00", "-", "1", "140.00"}},
        {"two shifts, daily", {{2, 3}}, 1, 1000000, both, 1000000,
            {"Daily", "100.00", "8.00", "N/A", "N/A", "1", "100.00"}},
        {"codes 0/100/255, period 7 over 10 days", tenDays, 0, 100000, tenDayPeriods, 5800000,
            {"Hourly", "10.00", "54.00", "-", "2.00", "7", "580.00"}},
        {"period 0", tenDays, 0, 100000, onePeriod, 8200000,
            {"Hourly", "10.00", "30.00", "-", "26.00", "7", "820.00"}},
        {"period never reached", tenDays, 0, 100000, neverReached, 8200000,
            {"Hourly", "10.00", "30.00", "-", "26.00", "7", "820.00"}},
        {"no shifts", Repeat(7, {0}), 0, 125000, both, 0,
            {"Hourly", "12.50", "-", "-", "-", "-", "-"}},
        {"daily pay ignores both factors", Repeat(3, {1}), 1, 1000000, both, 3000000,
            {"Daily", "100.00", "30.00", "N/A", "N/A", "3", "300.00"}},
        {"pay type 2 is priced by the hour", Repeat(5, {1}), 2, 100000, both, 5500000,
            {"Hourly", "10.00", "40.00", "10.00", "-", "5", "550.00"}},
        {"cost of exactly 99999.99", {{1}}, 1, kCostLimit, both, kCostLimit,
            {"Daily", "99999.99", "10.00", "N/A", "N/A", "1", "99,999.99"}},
        {"one ten-thousandth more", {{1}}, 1, kCostLimit + 1, both, 0,
            {"Daily", "99999.99", "10.00", "N/A", "N/A", "1", "error"}},
        // 8 x 0.0001 + 2 x round(1.5 x 0.0001): the factor's product is rounded (half to even)
        // before it meets the hours. Only an exact zero prints "-".
        {"factor times rate rounded first", {{1}}, 0, 1, both, 12,
            {"Hourly", "0.00", "8.00", "2.00", "-", "1", "0.00"}},
    };
    // clang-format on
    const PaidHoursTable paid = TestPaidHours();
    for (const PriceCase& c : cases) {
        SCOPED_TRACE(c.what);
        const OvertimeSettings ot = OvertimeSettings::From(WithOvertime(c.ot));
        const auto days = Days(c.cells);
        const EmployeeCost cost = PriceEmployee(ot, paid, c.rate, c.payType, days, kSlot);
        EXPECT_EQ(cost.Cost, c.cost);
        const CostLineFields f =
            CostEmployeeFields(QStringLiteral("N"), QStringLiteral("P"), c.rate, c.payType, cost, ot);
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(f[static_cast<std::size_t>(k) + 2].toStdString(), c.texts[static_cast<std::size_t>(k)])
                << "field " << k + 2;
    }
}

TEST(CostPricing, FixedPointRoundsHalvesToEven)
{
    EXPECT_EQ(ToFixed4(8.1f), 81000);  // a Single's noise is rounded away
    EXPECT_EQ(ToFixed4(1.5f), 15000);
    EXPECT_EQ(ToFixed4(std::nan("")), 0);
    EXPECT_EQ(MulFixed4(5000, 1), 0);   // 0.00005 -> 0.0000
    EXPECT_EQ(MulFixed4(15000, 1), 2);  // 0.00015 -> 0.0002
    EXPECT_EQ(MulFixed4(-15000, 1), -2);
    EXPECT_EQ(MulFixed4(25000, 1), 2);              // 0.00025 -> 0.0002
    EXPECT_EQ(MulFixed4(400000, 100000), 4000000);  // 40 x 10 = 400
}

TEST(CostPricing, DamagedFiguresReadAsErrorWithoutOverflow)
{
    std::array<ShiftRecord, kUserShifts> shifts{};
    shifts[0].PaidHours = 1e30f;
    EmployeeTable emp = WithOvertime({});
    emp.PeriodOTFactor = 1e30f;
    const OvertimeSettings ot = OvertimeSettings::From(emp);
    const auto days = Days(Repeat(42, {1, 1}));
    const EmployeeCost cost =
        PriceEmployee(ot, PaidHoursOf(shifts), std::numeric_limits<Fixed4>::max(), 0, days, kSlot);
    EXPECT_TRUE(cost.CostError);
    EXPECT_EQ(cost.Cost, 0);
    CostTotals totals;
    for (int i = 0; i < 200; ++i) totals.Add(cost);
    const CostLineFields f = CostTotalsFields(totals, ot);
    EXPECT_EQ(f[4], QStringLiteral("48000.00"));  // held at the period threshold
    EXPECT_EQ(f[5], QStringLiteral("error"));
    EXPECT_EQ(f[8], QStringLiteral("error"));
}

TEST(CostTotals, BeyondTheirLimitsOrAfterAnErrorReadError)
{
    const OvertimeSettings on = OvertimeSettings::From(WithOvertime({}));
    Overtime offSettings;
    offSettings.dailyFactor = 1;
    offSettings.periodFactor = 1;
    const OvertimeSettings off = OvertimeSettings::From(WithOvertime(offSettings));
    struct Case {
        const char* what;
        CostTotals totals;
        const OvertimeSettings* ot;
        std::array<const char*, 5> texts;  // regular, daily OT, period OT, blank, cost
    };
    const Case cases[] = {
        {"all zero", {}, &on, {"-", "-", "-", " ", "-"}},
        {"at the limits",
         {kCostLimit, kCostLimit, 10000, kCostTotalLimit, false},
         &on,
         {"99999.99", "99999.99", "1.00", " ", "999,999.99"}},
        {"one ten-thousandth beyond",
         {kCostLimit + 1, kCostLimit + 1, 0, kCostTotalLimit + 1, false},
         &on,
         {"error", "error", "-", " ", "error"}},
        {"an employee's cost was an error", {10000, 0, 0, 10000, true}, &on, {"1.00", "-", "-", " ", "error"}},
        {"factors of 1", {10000, 20000, 30000, 10000, false}, &off, {"1.00", "N/A", "N/A", " ", "1.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CostLineFields f = CostTotalsFields(c.totals, *c.ot);
        EXPECT_EQ(f[0], QStringLiteral("TOTALS"));
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(f[static_cast<std::size_t>(k)], QStringLiteral(" "));
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(f[static_cast<std::size_t>(k) + 4].toStdString(), c.texts[static_cast<std::size_t>(k)]);
    }
}

TEST(SplitReportLine, SplitsOnlyAtTheSeparatorsThatCloseAField)
{
    const QString name = QStringLiteral("J\u00ff\u00ff B\u00ff");
    // As a bare line nothing closes a quoted field: one field, kept whole.
    const ReportLine bare = SplitReportLine(name);
    EXPECT_EQ(bare.FieldCount, 0);
    EXPECT_EQ(bare.Fields[0], name);

    CostLineFields written = CostHeaderFields();
    written[0] = name;
    written[1] = QStringLiteral("\"Q\"");
    written[2] = QString();
    const ReportLine back = SplitReportLine(JoinReportFields(written));
    ASSERT_EQ(back.FieldCount, 9);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(back.Fields[k], written[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(back.Fields[9], QString());

    // More fields than the table holds: the rest is dropped.
    std::vector<QString> many;
    for (int k = 0; k < 14; ++k) many.push_back(QString::number(k));
    const ReportLine cut = SplitReportLine(JoinReportFields(many));
    EXPECT_EQ(cut.FieldCount, 10);
    EXPECT_EQ(cut.Fields[10], QStringLiteral("10"));
}

// ---------------------------------------------------------------- the work file

// Text width in twips: 100 a character, so the widest text is the longest.
double TestWidth(const QString& s)
{
    return 100.0 * static_cast<double>(s.size());
}

class CostReportFile : public test::StoreFixture {
protected:
    void SetUp() override
    {
        OpenNewSchedule();
        const std::pair<int, float> shifts[] = {{1, 10}, {2, 8}, {3, 4}};
        for (const auto& [code, hours] : shifts) {
            ShiftRecord s = files->ShiftTable[code];
            s.PaidHours = hours;
            ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, code, s));
        }
        SetOvertime(files->EmpTable, {});
        // Rows and slots differ, so the cells are reached through the row map.
        for (int r = 1; r <= kSlots; ++r) files->ScheduleProps.RowMap[r] = static_cast<Int16>(kSlots + 1 - r);
    }

    void Employee(int row, const QString& name, const QString& position, Fixed4 rate, int type)
    {
        files->EmpTable.Name[row] = name;
        files->EmpTable.Position[row] = position;
        files->EmpTable.PayRate[row] = rate;
        files->EmpTable.PayType[row] = static_cast<Int16>(type);
    }
    // Day d (1-based) of the period in the day file.
    void Cells(int row, int firstDay, const std::vector<Cell>& cells)
    {
        const int slot = files->ScheduleProps.RowMap[row];
        for (std::size_t i = 0; i < cells.size(); ++i) {
            DayRecord d;
            const int n = firstDay + static_cast<int>(i);
            ASSERT_TRUE(files->ReadRecord(FileNo::Days, n, d));
            d.Shift1Code[slot] = static_cast<Byte>(cells[i].s1);
            d.Shift2Code[slot] = static_cast<Byte>(cells[i].s2);
            ASSERT_TRUE(files->WriteRecord(FileNo::Days, n, d));
        }
    }
    CostReportRequest Request(int firstDay, int days, std::vector<int> rows) const
    {
        return {files->ScheduleProps.PeriodStart + firstDay - 1, days, std::move(rows)};
    }
};

TEST_F(CostReportFile, MatchesTheGoldenFile)
{
    Employee(1, QStringLiteral("Adams, Ann"), QStringLiteral("RN"), 200000, 0);
    Employee(2, QStringLiteral("J\u00ff\u00ff B\u00ff"), QStringLiteral("Aide"), 1000000, 1);
    Employee(3, QStringLiteral("  Zo\u00eb  Pl\u00e9"), QStringLiteral("  LPN"), 0, 0);
    Employee(4, QStringLiteral("Not chosen"), QStringLiteral("RN"), 100000, 0);
    Cells(1, 3, Repeat(5, {1}));
    Cells(2, 3, {{2, 3}, {100}, {1}});
    Cells(4, 3, Repeat(5, {1}));
    // A cell changed on screen and not yet written must count: the run writes the cache first.
    files->VisibleDays = 14;
    ASSERT_TRUE(files->LoadVisibleDays());
    files->ColumnDay(10).Shift1Code[files->ScheduleProps.RowMap[1]] = 2;
    files->MarkColumnDirty(10);

    std::vector<int> progress;
    const auto r =
        BuildCostReportFile(*files, Request(3, 14, {2, 1, 3}), TestWidth, [&](int p) { progress.push_back(p); });
    ASSERT_TRUE(r) << r.message().toStdString();
    EXPECT_EQ(r->LineCount, 5);
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(r->WidestColumnText[0], QStringLiteral("Adams, Ann"));
    EXPECT_EQ(r->WidestColumnText[1], QStringLiteral("Position"));
    EXPECT_EQ(r->WidestColumnText[8], QStringLiteral("Total Cost"));

    test::ExpectMatchesGolden(ReadFile(QStringLiteral(".RPT")),
                              QStringLiteral(TAVRIN_TEST_DATA "/analysis/CostReport.rpt"));

    // Read back, every line splits into the nine fields written.
    const auto lines = ReadCostReportFile(*files);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 5u);
    for (const QString& line : *lines) EXPECT_EQ(SplitReportLine(line).FieldCount, 9);
    EXPECT_EQ(SplitReportLine((*lines)[1]).Fields[0], QStringLiteral("J\u00ff\u00ff B\u00ff"));
    EXPECT_EQ(SplitReportLine((*lines)[3]).Fields[0], QStringLiteral("Zo\u00eb  Pl\u00e9"));
    // The cache is loaded again afterwards.
    EXPECT_EQ(files->SlotDirty[files->ColumnSlot[10]], 0);
}

TEST_F(CostReportFile, ARangeOutsideThePeriodIsRefused)
{
    const int last = files->PeriodDays();
    for (const auto& [first, days] : {std::pair{0, 5}, {last - 2, 5}, {1, 0}, {1, 43}}) {
        const auto r = BuildCostReportFile(*files, Request(first, days, {1}), TestWidth);
        EXPECT_FALSE(r) << first << " " << days;
        EXPECT_EQ(r.message(), QStringLiteral("Data not available for date entered"));
    }
    EXPECT_TRUE(BuildCostReportFile(*files, Request(last - 41, 42, {1}), TestWidth));
}

TEST_F(CostReportFile, AFailedWriteStopsWithTheMessage)
{
    Employee(1, QStringLiteral("Adams, Ann"), QStringLiteral("RN"), 200000, 0);
    const QString path = Path(QStringLiteral(".RPT"));
    // A file that cannot be opened, then a disk that is full.
    ASSERT_TRUE(QDir().mkpath(path));
    auto r = BuildCostReportFile(*files, Request(1, 7, {1}), TestWidth);
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.message().startsWith(QStringLiteral("Cannot write ") + path)) << r.message().toStdString();
    ASSERT_TRUE(QDir().rmdir(path));

    // A disk that fills up: the working files' writes fit, the report's many lines do not.
    std::vector<int> rows;
    for (int row = 1; row <= kSlots; ++row) {
        Employee(row, QStringLiteral("Employee %1").arg(row), QStringLiteral("RN"), 200000, 0);
        rows.push_back(row);
    }
    {
        test::FileSizeLimit full(EmployeeTable::Size + 1000);
        r = BuildCostReportFile(*files, Request(1, 7, rows), TestWidth);
    }
    EXPECT_FALSE(r);
    EXPECT_EQ(r.message(), QStringLiteral("Cannot write ") + path + QStringLiteral(": File too large"))
        << r.message().toStdString();
}

TEST_F(CostReportFile, ALinkInItsPlaceIsReplacedNeverFollowed)
{
    Employee(1, QStringLiteral("Adams, Ann"), QStringLiteral("RN"), 200000, 0);
    const QString path = Path(QStringLiteral(".RPT"));
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("keep.txt"));
    const QString missing = elsewhere.filePath(QStringLiteral("made.txt"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not the report's");
    }
    for (const QString& linked : {target, missing}) {
        ASSERT_TRUE(QFile::link(linked, path));
        const auto r = BuildCostReportFile(*files, Request(1, 7, {1}), TestWidth);
        ASSERT_TRUE(r) << r.message().toStdString();
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_TRUE(ReadFile(QStringLiteral(".RPT")).startsWith("\"Name\""));
        ASSERT_TRUE(QFile::remove(path));
    }
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("not the report's"));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

}  // namespace
}  // namespace tavrin
