#include "analysis/CostReport.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <algorithm>
#include <cmath>

#include "platform/Cp1252.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// Inputs are held to 10^9 so that no sum or product of a report can overflow 64 bits.
constexpr Fixed4 kFixedLimit = 10'000'000'000'000;

Fixed4 Held(Fixed4 v)
{
    return std::clamp(v, -kFixedLimit, kFixedLimit);
}

QString Formatted(Fixed4 v, const QString& pattern)
{
    return Runtime::Trim(Runtime::FormatNumber(Fixed4ToDouble(v), pattern));
}

const QString kHours = QStringLiteral("##0.00;;\\-");
const QString kDays = QStringLiteral("##;;\\-");
const QString kCost = QStringLiteral("##,##0.00;;\\-");
const QString kHourTotal = QStringLiteral("####0.00;;\\-");
const QString kCostTotal = QStringLiteral("###,##0.00;;\\-");
const QString kNotApplicable = QStringLiteral("N/A");
const QString kError = QStringLiteral("error");

bool Beyond(Fixed4 v, Fixed4 limit)
{
    return v > limit || v < -limit;
}

QString StripQuotes(QString field)
{
    if (field.startsWith(u'"')) {
        field.remove(0, 1);
        field.chop(1);
    }
    return field;
}

Status WriteFailure(QIODevice& out)
{
    const auto* file = qobject_cast<QFile*>(&out);
    const QString name = file ? file->fileName() : QStringLiteral("the cost report");
    return Status::error(QStringLiteral("Cannot write %1: %2").arg(name, out.errorString()));
}

}  // namespace

// ---------------------------------------------------------------- fixed point

Fixed4 ToFixed4(double v)
{
    if (std::isnan(v)) return 0;
    const double scaled =
        std::clamp(v * kFixed4One, -static_cast<double>(kFixedLimit), static_cast<double>(kFixedLimit));
    return static_cast<Fixed4>(std::nearbyint(scaled));  // the default rounding: halves to even
}

Fixed4 MulFixed4(Fixed4 a, Fixed4 b)
{
    const __int128 p = static_cast<__int128>(a) * b;
    __int128 q = p / kFixed4One;
    const __int128 r = p % kFixed4One;  // carries the sign of p
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > kFixed4One || (twice == kFixed4One && (q & 1) != 0)) q += p < 0 ? -1 : 1;
    if (q > kFixedLimit) return kFixedLimit;
    if (q < -kFixedLimit) return -kFixedLimit;
    return static_cast<Fixed4>(q);
}

// ---------------------------------------------------------------- the computation

OvertimeSettings OvertimeSettings::From(const EmployeeTable& emp)
{
    OvertimeSettings ot;
    ot.DailyThreshold = ToFixed4(emp.DailyOTThreshold);
    ot.DailyFactor = ToFixed4(emp.DailyOTFactor);
    ot.PeriodDays = emp.OTPeriodDays;
    ot.PeriodThreshold = ToFixed4(emp.PeriodOTThreshold);
    ot.PeriodFactor = ToFixed4(emp.PeriodOTFactor);
    return ot;
}

PaidHoursTable PaidHoursOf(std::span<const ShiftRecord> userShifts)
{
    PaidHoursTable paid{};
    const std::size_t n = std::min<std::size_t>(userShifts.size(), kUserShifts);
    for (std::size_t i = 0; i < n; ++i) paid[i + 1] = ToFixed4(userShifts[i].PaidHours);
    return paid;
}

EmployeeCost PriceEmployee(const OvertimeSettings& ot, const PaidHoursTable& paid, Fixed4 rate, int payType,
                           std::span<const DayRecord> days, int slot)
{
    EmployeeCost out;
    if (!IsSlot(slot)) return out;
    const bool daily = IsDailyPay(payType);
    rate = Held(rate);
    Fixed4 periodHours = 0;    // H
    Fixed4 periodDailyOT = 0;  // E
    int counter = 0;           // c
    const auto closePeriod = [&] {
        if (!daily && ot.PeriodOn() && periodHours > ot.PeriodThreshold) {
            out.PeriodOT += periodHours - ot.PeriodThreshold;
            out.Regular += ot.PeriodThreshold;
        } else {
            out.Regular += periodHours;
        }
        if (!daily) out.DailyOT += periodDailyOT;
        periodHours = 0;
        periodDailyOT = 0;
        counter = 0;
    };
    for (const DayRecord& day : days) {
        const int s1 = day.Shift1Code[slot];
        // Time-Off, number cells and empty cells count no hours but still take a day of the period.
        if (IsUserShift(s1)) {
            Fixed4 h = paid[static_cast<std::size_t>(s1)];
            if (!daily) {
                const int s2 = day.Shift2Code[slot];
                if (IsUserShift(s2)) h += paid[static_cast<std::size_t>(s2)];
                // Daily overtime leaves the day before its hours enter the period.
                if (ot.DailyOn() && h > ot.DailyThreshold) {
                    periodDailyOT += h - ot.DailyThreshold;
                    h = ot.DailyThreshold;
                }
            }
            periodHours += h;
            ++out.DaysWorked;
        }
        if (++counter == ot.PeriodDays) closePeriod();
    }
    if (counter > 0) closePeriod();

    Fixed4 cost = 0;
    if (daily) {
        cost = rate * out.DaysWorked;
    } else {
        cost = MulFixed4(out.Regular, rate) + MulFixed4(out.DailyOT, MulFixed4(ot.DailyFactor, rate)) +
               MulFixed4(out.PeriodOT, MulFixed4(ot.PeriodFactor, rate));
    }
    if (Beyond(cost, kCostLimit)) {
        out.CostError = true;
        cost = 0;
    }
    out.Cost = cost;
    return out;
}

// ---------------------------------------------------------------- the lines

ReportLine SplitReportLine(const QString& line)
{
    ReportLine out;
    constexpr QChar kSeparator(0xFF);
    int count = 0;
    qsizetype start = 0;
    const qsizetype n = line.size();
    for (qsizetype p = 0; p < n; ++p) {
        if (line[p] != kSeparator) continue;
        // Only a separator that closes a quoted field splits; a 255 inside a name does not.
        if (p == 0 || line[p - 1] != u'"' || (p + 1 < n && line[p + 1] != u'"')) continue;
        if (count <= 10) out.Fields[count] = StripQuotes(line.mid(start, p - start));
        ++count;
        start = p + 1;
    }
    if (count <= 10) out.Fields[count] = StripQuotes(line.mid(start));
    out.FieldCount = std::min(count, 10);
    return out;
}

QString JoinReportFields(std::span<const QString> fields)
{
    QString line;
    for (const QString& f : fields) {
        line += u'"';
        line += f;
        line += u'"';
        line += QChar(0xFF);
    }
    return line;
}

CostLineFields CostHeaderFields()
{
    return {QStringLiteral("Name"),          QStringLiteral("Position"),    QStringLiteral("Type"),
            QStringLiteral("Cost"),          QStringLiteral("Regular Hrs"), QStringLiteral("Daily OT Hrs"),
            QStringLiteral("Period OT Hrs"), QStringLiteral("Days Worked"), QStringLiteral("Total Cost")};
}

CostLineFields CostEmployeeFields(const QString& name, const QString& position, Fixed4 rate, int payType,
                                  const EmployeeCost& cost, const OvertimeSettings& ot)
{
    const bool hourly = !IsDailyPay(payType);
    return {name,
            position,
            hourly ? QStringLiteral("Hourly") : QStringLiteral("Daily"),
            Formatted(Held(rate), kHours),
            Formatted(cost.Regular, kHours),
            ot.DailyOn() && hourly ? Formatted(cost.DailyOT, kHours) : kNotApplicable,
            ot.PeriodOn() && hourly ? Formatted(cost.PeriodOT, kHours) : kNotApplicable,
            Formatted(cost.DaysWorked * kFixed4One, kDays),
            cost.CostError ? kError : Formatted(cost.Cost, kCost)};
}

void CostTotals::Add(const EmployeeCost& c)
{
    Regular += c.Regular;
    DailyOT += c.DailyOT;
    PeriodOT += c.PeriodOT;
    Cost += c.Cost;
    AnyCostError = AnyCostError || c.CostError;
}

CostLineFields CostTotalsFields(const CostTotals& t, const OvertimeSettings& ot)
{
    const auto hours = [](Fixed4 v) { return Beyond(v, kCostLimit) ? kError : Formatted(v, kHourTotal); };
    const QString blank = QStringLiteral(" ");
    return {QStringLiteral("TOTALS"),
            blank,
            blank,
            blank,
            hours(t.Regular),
            ot.DailyOn() ? hours(t.DailyOT) : kNotApplicable,
            ot.PeriodOn() ? hours(t.PeriodOT) : kNotApplicable,
            blank,
            t.AnyCostError || Beyond(t.Cost, kCostTotalLimit) ? kError : Formatted(t.Cost, kCostTotal)};
}

// ---------------------------------------------------------------- the work file

void CostColumnWidths::Track(const ReportLine& line, const TextWidthFn& textWidth)
{
    if (!textWidth) return;
    for (int k = 0; k <= line.FieldCount; ++k) {
        const QString& text = line.Fields[k];
        if (text.isEmpty()) continue;  // never wider than anything
        const double w = textWidth(text);
        if (w > widths_[k]) {
            widths_[k] = w;
            widest_[k] = text;
        }
    }
}

Result<CostReportOutcome> WriteCostReport(QIODevice& out, const EmployeeTable& emp,
                                          const SchedulePropertiesRecord& props, const PaidHoursTable& paid,
                                          std::span<const DayRecord> days, std::span<const int> rows,
                                          const TextWidthFn& textWidth, const ProgressFn& progress)
{
    const OvertimeSettings ot = OvertimeSettings::From(emp);
    CostColumnWidths columns;
    int lineCount = 0;
    QByteArray bytes;
    const auto put = [&](const CostLineFields& fields) -> Status {
        const QString line = JoinReportFields(fields);
        bytes = StringToCp1252(line);
        bytes += "\r\n";
        if (out.write(bytes) != bytes.size()) return WriteFailure(out);
        // Measured as the printing side will read it back.
        columns.Track(SplitReportLine(line), textWidth);
        ++lineCount;
        return {};
    };

    TAVRIN_TRY(put(CostHeaderFields()));
    CostTotals totals;
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (progress) progress(static_cast<int>(i * 100 / count));
        const int row = rows[i];
        if (!IsSlot(row)) continue;
        const Fixed4 rate = emp.PayRate[row];
        const int type = emp.PayType[row];
        const EmployeeCost cost = PriceEmployee(ot, paid, rate, type, days, props.RowMap[row]);
        TAVRIN_TRY(put(CostEmployeeFields(Runtime::Trim(emp.Name[row].str()), Runtime::Trim(emp.Position[row].str()),
                                          rate, type, cost, ot)));
        totals.Add(cost);
    }
    TAVRIN_TRY(put(CostTotalsFields(totals, ot)));
    if (progress) progress(100);

    CostReportOutcome outcome;
    outcome.LineCount = lineCount;
    outcome.WidestColumnText = columns.Widest();
    return outcome;
}

Result<CostReportOutcome> BuildCostReportFile(SchedFiles& files, const CostReportRequest& request,
                                              const TextWidthFn& textWidth, const ProgressFn& progress)
{
    // The caller refuses such a range first; this keeps a bad one from reading past the period.
    const double offset = request.Start - files.ScheduleProps.PeriodStart;
    const int first = std::isfinite(offset) && std::fabs(offset) < kMaxPeriodDays ? Runtime::CInt(offset) + 1 : 0;
    if (request.Days < 1 || request.Days > kMaxVisibleDays || first < 1 ||
        first + request.Days - 1 > files.PeriodDays()) {
        return Status::error(QStringLiteral("Data not available for date entered"));
    }

    TAVRIN_TRY(files.FlushWorkingData());
    std::vector<DayRecord> days(static_cast<std::size_t>(request.Days));
    TAVRIN_TRY(files.ReadRecords(FileNo::Days, first, std::span<DayRecord>(days)));
    std::array<ShiftRecord, kUserShifts> shifts;
    TAVRIN_TRY(files.ReadRecords(FileNo::Shifts, 1, std::span<ShiftRecord>(shifts)));

    TAVRIN_TRY(files.OpenReportTextForWrite());
    // Made in memory and written in one go, so that a full disk is seen, and said, for what it is.
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    Result<CostReportOutcome> written = WriteCostReport(text, files.EmpTable, files.ScheduleProps, PaidHoursOf(shifts),
                                                        days, request.Rows, textWidth, progress);
    const Status flushed = written ? files.WriteReportText(text.data()) : Status();
    files.CloseReportText();
    if (!written) return written;
    if (!flushed) return flushed;
    TAVRIN_TRY(files.LoadVisibleDays());
    return written;
}

Result<std::vector<QString>> ReadCostReportFile(SchedFiles& files)
{
    TAVRIN_TRY(files.OpenReportTextForRead());
    QFile& file = files.ReportText();
    std::vector<QString> lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(Cp1252ToString(line));
    }
    files.CloseReportText();
    return lines;
}

}  // namespace tavrin
