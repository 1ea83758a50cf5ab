#pragma once
// The estimated cost of chosen employees over 1 to 42 days, with daily and period overtime, and
// the report work file QORVANE2.RPT that the cost report prints from.
//
// Hours and money are signed counts of ten-thousandths, so that sums and products come out the
// same on every run. The work file holds one line per employee between a header line and a
// TOTALS line; each field is written as a quoted text followed by the byte 255, each line ends
// in CR LF, and the text is Windows-1252.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/OleDate.h"
#include "platform/Result.h"
#include "store/CellCodes.h"
#include "store/Records.h"

class QIODevice;

namespace tavrin {

class SchedFiles;

// ---------------------------------------------------------------- fixed point

using Fixed4 = std::int64_t;  // ten-thousandths
constexpr Fixed4 kFixed4One = 10000;
// The largest cost of one employee and the largest hour total that the report prints.
constexpr Fixed4 kCostLimit = 999999900;  // 99999.99
// The largest cost total that the report prints.
constexpr Fixed4 kCostTotalLimit = 9999999900;  // 999999.99

// A number rounded half to even to four decimals. Values from a damaged file cannot overflow
// the sums: not-a-number reads 0 and magnitudes are held to about 10^11.
Fixed4 ToFixed4(double v);
// a x b rounded half to even to four decimals, held to the same range.
Fixed4 MulFixed4(Fixed4 a, Fixed4 b);
inline double Fixed4ToDouble(Fixed4 v)
{
    return static_cast<double>(v) / kFixed4One;
}

// ---------------------------------------------------------------- the computation

// The schedule's overtime settings in fixed point.
struct OvertimeSettings {
    Fixed4 DailyThreshold = 0;
    Fixed4 DailyFactor = kFixed4One;
    int PeriodDays = 0;  // 0, or a length never reached: the whole range is one period
    Fixed4 PeriodThreshold = 0;
    Fixed4 PeriodFactor = kFixed4One;

    // A factor of exactly 1 switches its kind of overtime off.
    bool DailyOn() const { return DailyFactor != kFixed4One; }
    bool PeriodOn() const { return PeriodFactor != kFixed4One; }

    static OvertimeSettings From(const EmployeeTable& emp);
};

// Paid hours of the user shifts 1..99 (index 0 unused).
using PaidHoursTable = std::array<Fixed4, kUserShifts + 1>;
PaidHoursTable PaidHoursOf(std::span<const ShiftRecord> userShifts);

// Pay type 1 is paid by the day; any other is paid by the hour.
constexpr bool IsDailyPay(int payType)
{
    return payType == 1;
}

struct EmployeeCost {
    Fixed4 Regular = 0;      // R
    Fixed4 DailyOT = 0;      // D
    Fixed4 PeriodOT = 0;     // P
    Int16 DaysWorked = 0;    // W
    Fixed4 Cost = 0;         // C; 0 when CostError
    bool CostError = false;  // the cost exceeds 99999.99
};

// Prices one employee whose cells are data slot `slot` of `days` (day 1 first).
EmployeeCost PriceEmployee(const OvertimeSettings& ot, const PaidHoursTable& paid, Fixed4 rate, int payType,
                           std::span<const DayRecord> days, int slot);

// ---------------------------------------------------------------- the lines

// The fields of one work-file line.
struct ReportLine {
    VbArray<QString, 0, 10> Fields;
    // Separators found (9 for every line of the work file); Fields[FieldCount] holds what
    // follows the last one. At most 10: fields past index 10 are dropped.
    int FieldCount = 0;
};

// Splits a line (without its CR LF) at the bytes 255 that close a quoted field: one right after
// a double quote and before a double quote or the end of the line, so that a character 255
// inside a name stays in the name. A field that starts with a double quote loses it and its
// last character.
ReportLine SplitReportLine(const QString& line);

// The line holding the given field texts, each quoted and followed by the character 255.
QString JoinReportFields(std::span<const QString> fields);

using CostLineFields = std::array<QString, 9>;
CostLineFields CostHeaderFields();
// Name and position are the row's texts, trimmed.
CostLineFields CostEmployeeFields(const QString& name, const QString& position, Fixed4 rate, int payType,
                                  const EmployeeCost& cost, const OvertimeSettings& ot);

struct CostTotals {
    Fixed4 Regular = 0;
    Fixed4 DailyOT = 0;
    Fixed4 PeriodOT = 0;
    Fixed4 Cost = 0;
    bool AnyCostError = false;

    void Add(const EmployeeCost& c);
};
// A total beyond its limit, and the cost total when an employee's cost is unknown, read
// "error" rather than a wrong figure.
CostLineFields CostTotalsFields(const CostTotals& t, const OvertimeSettings& ot);

// ---------------------------------------------------------------- the work file

// Width of a text in twips, in the cost report's font, bold (the printer's measure).
using TextWidthFn = std::function<double(const QString&)>;
// Progress of a run, 0..100.
using ProgressFn = std::function<void(int percent)>;

// The widest text met per column, which the layout sizes the columns by.
class CostColumnWidths {
public:
    // Each field is measured once; the widest text of a column is kept with its width.
    void Track(const ReportLine& line, const TextWidthFn& textWidth);
    const VbArray<QString, 0, 10>& Widest() const { return widest_; }

private:
    VbArray<QString, 0, 10> widest_;
    VbArray<double, 0, 10> widths_;
};

struct CostReportRequest {
    OleDate Start = 0;      // first day of the range, inside the schedule period
    int Days = 1;           // 1..42
    std::vector<int> Rows;  // display rows of the chosen names, in list order
};

struct CostReportOutcome {
    int LineCount = 0;  // header, employee lines and the totals line
    VbArray<QString, 0, 10> WidestColumnText;
};

// The whole report for the given tables and day records (day 1 = the start date), written to
// `out` line by line.
Result<CostReportOutcome> WriteCostReport(QIODevice& out, const EmployeeTable& emp,
                                          const SchedulePropertiesRecord& props, const PaidHoursTable& paid,
                                          std::span<const DayRecord> days, std::span<const int> rows,
                                          const TextWidthFn& textWidth, const ProgressFn& progress = {});

// Writes the working data back, reads the range's day records and the shifts' paid hours from
// the working files, writes QORVANE2.RPT in the working folder and loads the visible days
// again. The caller has set the printer's font for `textWidth`. A range outside the schedule
// period, a failed read and a failed write stop the run with their message.
Result<CostReportOutcome> BuildCostReportFile(SchedFiles& files, const CostReportRequest& request,
                                              const TextWidthFn& textWidth, const ProgressFn& progress = {});

// The lines of QORVANE2.RPT, without their line ends.
Result<std::vector<QString>> ReadCostReportFile(SchedFiles& files);

}  // namespace tavrin
