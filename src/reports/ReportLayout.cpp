#include "reports/ReportLayout.h"

#include <algorithm>
#include <cmath>

#include "platform/Runtime.h"
#include "printing/RptText.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

QString WeekdayName(int weekday)
{
    static const char* const kNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return QString::fromLatin1(kNames[CheckedWeekday(weekday) - 1]);
}

std::uint32_t ShadeColourOf(int percent)
{
    const int level = std::clamp(Runtime::CInt(255 - 255.0 * percent / 100), 0, 255);
    return Rgb(level, level, level);
}

double PixelSnap::X(double t) const
{
    return Runtime::CInt(t / TwipsPerPixelX) * TwipsPerPixelX;
}

double PixelSnap::Y(double t) const
{
    return Runtime::CInt(t / TwipsPerPixelY) * TwipsPerPixelY;
}

CalendarGeometry ComputeCalendarGeometry(const PageArea& area, const ReportMetrics& m, int columns, int weeksOnPage,
                                         const PixelSnap& snap)
{
    CalendarGeometry g;
    g.Columns = std::max(1, columns);
    g.ColumnWidth = snap.X(Runtime::IntDiv(area.Right - area.Left, g.Columns));
    g.WeekRowHeight =
        snap.Y(Runtime::IntDiv(area.Bottom - area.Top - m.HeaderHeight - m.DayBandHeight, std::max(1, weeksOnPage)));
    g.Y0 = area.Top + m.HeaderHeight;
    return g;
}

bool CellsTruncate(const CalendarGeometry& g, const ReportMetrics& m, int busiestDayCount)
{
    return m.BodyLineHeight * busiestDayCount > g.CellTextHeight(m);
}

// ---------------------------------------------------------------- calendar pages

CalendarLayout::CalendarLayout(OleDate start, OleDate end, int firstWeekday, int weeksOnPage)
    : firstWeekday_(CheckedWeekday(firstWeekday))
{
    const int weeks = std::clamp(weeksOnPage, 1, 6);
    maxPages_ = (6 + weeks - 1) / weeks;
    int page = 1;
    int row = 0;
    const OleDate first = std::floor(start);
    const OleDate last = std::floor(end);
    for (OleDate d = first; d <= last && page <= maxPages_; ++d) {
        const int column = ColumnOf(Runtime::Weekday(d));
        days_.push_back({d, page, row, column});
        pages_ = page;
        if (column == 6 && ++row == weeks) {
            row = 0;
            ++page;
        }
    }
}

// ---------------------------------------------------------------- months

std::vector<MonthEntry> MonthEntries(OleDate periodStart, OleDate periodEnd)
{
    std::vector<MonthEntry> out;
    const int y0 = Runtime::Year(periodStart);
    const int y1 = Runtime::Year(periodEnd);
    for (int y = y0; y <= y1; ++y) {
        const int from = y == y0 ? Runtime::Month(periodStart) : 1;
        const int to = y == y1 ? Runtime::Month(periodEnd) : 12;
        for (int m = from; m <= to; ++m) {
            const OleDate first = OleDates::FromYmd(y, static_cast<unsigned>(m), 1);
            out.push_back({Runtime::FormatDate(first, QStringLiteral("mmmm")) + QStringLiteral(", ") +
                               Runtime::FormatDate(first, QStringLiteral("yyyy")),
                           m});
        }
    }
    return out;
}

OleDate MonthFirstDay(const MonthEntry& e)
{
    const int year = std::clamp(Runtime::CInt(Runtime::Val(e.Text.right(4))), 100, 9999);
    return Runtime::DateSerial(year, std::clamp(e.Month, 1, 12), 1);
}

OleDate MonthLastDay(const MonthEntry& e)
{
    const OleDate first = MonthFirstDay(e);
    return Runtime::DateSerial(Runtime::Year(first), Runtime::Month(first) + 1, 1) - 1;
}

// ---------------------------------------------------------------- entry lines

EntryOptions EntryOptions::From(const ReportSettingsRecord& r)
{
    EntryOptions o;
    o.Abbreviations = r.Options[1] != 0;
    o.Position = r.Options[2] != 0;
    o.OnCall = r.Options[3] != 0;
    o.Shift = r.Options[4] != 0;
    o.Explanation = r.Options[5] != 0;
    o.NameStyle = CheckedNameStyle(r.Options[6]);
    return o;
}

EntryLines::EntryLines(const SchedFiles& files, const EntryOptions& options)
    : files_(files), o_(options), names_(kSlots + 1)
{
    for (int row = 1; row <= kSlots; ++row) {
        QString& name = names_[static_cast<std::size_t>(row)];
        name = RptText::FormatPersonName(Runtime::Trim(files.EmpTable.Name[row].str()), o_.NameStyle);
        if (o_.Position) name += QLatin1Char(',') + Runtime::Trim(files.EmpTable.Position[row].str());
    }
    const auto shiftText = [&](int code) {
        const ShiftRecord* s = ShiftFor(files.ShiftTable, code);
        if (!s) return QString();
        return Runtime::Trim(o_.Abbreviations ? s->Abbreviation.str() : s->Description.str());
    };
    for (int code = 1; code <= 255; ++code) {
        const auto c = static_cast<std::size_t>(code);
        const QString text = shiftText(code);
        shifts_[c] = QLatin1Char(',') + text;
        seconds_[c] = QLatin1Char('/') + text;
        if (IsExplanationCode(code)) {
            explanations_[c] =
                QLatin1Char(',') + Runtime::Trim(o_.Abbreviations ? files.ExplTable.Abbreviation[code].str()
                                                                   : files.ExplTable.Description[code].str());
        }
    }
    onCall_ = shifts_[kOnCallCode];
}

QString EntryLines::Line(int row, const DayRecord& day) const
{
    if (!IsSlot(row)) return {};
    const QString& name = names_[static_cast<std::size_t>(row)];
    const int slot = files_.ScheduleProps.RowMap[row];
    if (!IsSlot(slot)) return name;
    QString line;
    line.reserve(name.size() + 32);
    line += name;
    if (o_.OnCall && day.OnCallFlag[slot] == 1) line += onCall_;
    const int s1 = day.Shift1Code[slot];
    if (o_.Shift && IsUserShift(s1)) {
        line += shifts_[static_cast<std::size_t>(s1)];
        const int s2 = day.Shift2Code[slot];
        if (s2 > 0) line += seconds_[static_cast<std::size_t>(s2)];
    }
    const int e = day.ExplanationCode[slot];
    if (o_.Explanation && IsExplanationCode(e)) line += explanations_[static_cast<std::size_t>(e)];
    return line;
}

// ---------------------------------------------------------------- group pages

GroupPagination::GroupPagination(const Geometry& g) : g_(g), y_(g.RowsTop), blockTop_(g.RowsTop) {}

double GroupPagination::Allowance() const
{
    return g_.HeadingHeight + Runtime::Int(g_.BodyLineHeight / 2);
}

void GroupPagination::Heading(std::vector<Event>& out, Step kind)
{
    if (pageHasRows_) y_ += Runtime::Int(g_.BodyLineHeight / 2);
    out.push_back({kind, y_, 0, 0});
    y_ += g_.HeadingHeight;
    blockTop_ = y_;
    pageHasRows_ = false;
    lastWasHeading_ = true;
}

void GroupPagination::Close(std::vector<Event>& out, int rowCount, int rowsPrinted)
{
    if (rowCount > 0 && rowsPrinted > 0 && !lastWasHeading_) out.push_back({Step::CloseBlock, y_, blockTop_, 0});
}

void GroupPagination::NewPage(std::vector<Event>& out)
{
    out.push_back({Step::NewPage, 0, 0, 0});
    y_ = g_.RowsTop;
    blockTop_ = y_;
    pageHasRows_ = false;
    lastWasHeading_ = false;
    pageJustBegun_ = true;
}

std::vector<GroupPagination::Event> GroupPagination::Place(int rowCount)
{
    std::vector<Event> out;
    const double g = Allowance();
    int printed = 0;
    for (;;) {
        bool rowStep = true;
        // The page-break tests wait until something was placed on a page just begun.
        if (!pageJustBegun_) {
            if (y_ + g >= g_.PageBottom) {
                Close(out, rowCount, printed);
                NewPage(out);
                if (printed > 0) {
                    Heading(out, Step::ContinuedHeading);
                    rowStep = false;
                }
            } else if (printed > 0 && y_ + 2 * g >= g_.PageBottom && rowCount - printed > 1) {
                Close(out, rowCount, printed);
                Heading(out, Step::ContinuationNote);
                NewPage(out);
                Heading(out, Step::ContinuedHeading);
                rowStep = false;
            } else if (printed == 0 && y_ + 2 * g >= g_.PageBottom && rowCount > 1) {
                NewPage(out);
                rowStep = false;
            }
        }
        if (rowStep) {
            if (printed == 0) Heading(out, Step::Heading);
            if (printed < rowCount) {
                out.push_back({Step::Row, y_, 0, printed});
                y_ += g_.BodyLineHeight;
                ++printed;
                pageHasRows_ = true;
                lastWasHeading_ = false;
            }
            pageJustBegun_ = false;
        }
        if (printed >= rowCount) {
            Close(out, rowCount, printed);
            return out;
        }
    }
}

}  // namespace tavrin
