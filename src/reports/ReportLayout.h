#pragma once
// The arithmetic of the staff reports' pages, free of any drawing: where each day of a calendar
// report lands (page, week row, day column), the column and row sizes and the truncation test,
// the month list of the calendar reports, the entry line of a person on a day, and the page
// breaks of the group schedule.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/OleDate.h"
#include "store/Records.h"

namespace tavrin {

class SchedFiles;

// "Sunday" .. "Saturday" for a weekday 1..7 (the weekday band is always in English).
QString WeekdayName(int weekday);
// The weekday after w, wrapping from Saturday (7) to Sunday (1).
constexpr int NextWeekday(int w)
{
    return w % 7 + 1;
}

// Stored options outside their lists read as their first entry.
constexpr int CheckedNameStyle(int style)
{
    return style >= 0 && style <= 7 ? style : 0;
}
constexpr int CheckedWeekday(int day)
{
    return day >= 1 && day <= 7 ? day : 1;
}

// The sizes every report page is measured with (twips).
struct ReportMetrics {
    double TitleHeight = 0;         // "Aj" at the title size
    double SubtitleLineHeight = 0;  // "Aj" at the subtitle size
    double HeaderHeight = 0;        // title + two subtitle lines, on whole printer pixels
    double BodyLineHeight = 0;      // "jyA" in the report font
    double DayBandHeight = 0;       // the weekday band: a subtitle line + 46
    std::uint32_t ShadeColour = 0;  // the grey of the shade percentage
};

// The grey of a shade percentage: 255 - 255 x percent / 100, halves to even (10 gives 230).
std::uint32_t ShadeColourOf(int percent);

// The page area of a run (twips from the printable area's corner).
struct PageArea {
    double Left = 0;
    double Right = 0;
    double Top = 0;
    double Bottom = 0;
};

// Twips on whole printer pixels.
struct PixelSnap {
    double TwipsPerPixelX = 1;
    double TwipsPerPixelY = 1;
    double X(double t) const;
    double Y(double t) const;
};

// A calendar page's frame: day columns and week rows.
struct CalendarGeometry {
    int Columns = 7;
    double ColumnWidth = 0;
    double WeekRowHeight = 0;
    double Y0 = 0;  // top of the weekday band
    // Left and right edge of day column c (0-based), 23 twips inside its lines.
    double CellLeft(const PageArea& a, int c) const { return a.Left + c * ColumnWidth + 23; }
    double CellRight(const PageArea& a, int c) const { return a.Left + (c + 1) * ColumnWidth - 23; }
    // Top of week row k (0-based), on its line.
    double RowTop(const ReportMetrics& m, int k) const { return Y0 + m.DayBandHeight + k * WeekRowHeight; }
    // Height a day cell has for its entry lines, under its date line.
    double CellTextHeight(const ReportMetrics& m) const { return WeekRowHeight - m.SubtitleLineHeight - 23; }
};

CalendarGeometry ComputeCalendarGeometry(const PageArea& area, const ReportMetrics& m, int columns, int weeksOnPage,
                                         const PixelSnap& snap);

// The busiest day's names do not fit in a day cell.
bool CellsTruncate(const CalendarGeometry& g, const ReportMetrics& m, int busiestDayCount);

// Where the days of a calendar run land. The first day column holds firstWeekday; a new week
// row begins after each day of the last column; a page holds weeksOnPage rows. The run has at
// most ceiling(6 / weeksOnPage) pages and ends with the page that holds its last day.
class CalendarLayout {
public:
    struct Placement {
        OleDate Day = 0;
        int Page = 1;    // 1-based
        int Row = 0;     // week row on its page, 0-based
        int Column = 0;  // day column, 0-based
    };

    // Days start .. end (whole dates); firstWeekday 1 = Sunday .. 7; weeksOnPage 1..6.
    CalendarLayout(OleDate start, OleDate end, int firstWeekday, int weeksOnPage);

    int MaxPages() const { return maxPages_; }
    // Pages the run produces.
    int Pages() const { return pages_; }
    const std::vector<Placement>& Days() const { return days_; }
    // The day column of a weekday (WeekdayColumn).
    int ColumnOf(int weekday) const { return (weekday - firstWeekday_ + 7) % 7; }
    // The weekday of a day column.
    int WeekdayOf(int column) const { return (firstWeekday_ - 1 + column) % 7 + 1; }

private:
    int firstWeekday_;
    int maxPages_;
    int pages_ = 1;
    std::vector<Placement> days_;
};

// One entry of a calendar report's month list: "March, 2024" with its month number.
struct MonthEntry {
    QString Text;
    int Month = 1;
};

// Every month of the period, from the month of its start to the month of its end.
std::vector<MonthEntry> MonthEntries(OleDate periodStart, OleDate periodEnd);
// The first and last day of an entry's month: the month from its number, the year from the
// entry's last four characters.
OleDate MonthFirstDay(const MonthEntry& e);
OleDate MonthLastDay(const MonthEntry& e);

// What a staff report shows after each name (Options(1..6) of its settings).
struct EntryOptions {
    bool Abbreviations = true;  // Options(1)
    bool Position = false;      // Options(2)
    bool OnCall = false;        // Options(3)
    bool Shift = false;         // Options(4)
    bool Explanation = false;   // Options(5)
    int NameStyle = 0;          // Options(6)

    static EntryOptions From(const ReportSettingsRecord& r);
};

// The entry lines of a run: a person's formatted name followed by the chosen parts, each after
// a comma ("Smith, John,D/E,VAC"). The parts of each row and code are made once per run.
class EntryLines {
public:
    EntryLines(const SchedFiles& files, const EntryOptions& options);
    // The line of display row `row` with its cell of `day`.
    QString Line(int row, const DayRecord& day) const;

private:
    const SchedFiles& files_;
    EntryOptions o_;
    std::vector<QString> names_;          // by display row: the name and the position part
    std::array<QString, 256> shifts_;     // by code: "," and the shift's text
    std::array<QString, 256> seconds_;    // by code: "/" and the shift's text
    std::array<QString, 256> explanations_;  // by code: "," and the explanation's text
    QString onCall_;
};

// The page breaks of the group schedule, as a list of steps for the drawing to follow.
//
// A group gets a heading band and then its rows; a group that does not fit on the rest of a page
// is closed and continued on the next under a repeated heading. After a page is begun, at least
// one row (or the heading of a group without rows) is placed before the page-break tests apply
// again, so that a page too small for a single row still moves on.
class GroupPagination {
public:
    struct Geometry {
        double RowsTop = 0;  // where the rows begin on every page
        double PageBottom = 0;
        double BodyLineHeight = 0;
        double HeadingHeight = 0;  // BodyLineHeight + 46
    };
    enum class Step {
        Heading,           // the group's band and title at Y
        ContinuedHeading,  // the same, "(continued)"
        ContinuationNote,  // ", continued on next page..." at Y, no band
        Row,               // row number RowIndex (0-based) of the group at Y
        CloseBlock,        // lines around the rows from BlockTop down to Y + BodyLineHeight / 2
        NewPage,           // the page ends; the next begins with its header and weekday band
    };
    struct Event {
        Step step;
        double Y = 0;
        double BlockTop = 0;
        int RowIndex = 0;
        friend bool operator==(const Event&, const Event&) = default;
    };

    explicit GroupPagination(const Geometry& g);
    // The page-break allowance: a heading and half a line.
    double Allowance() const;
    // The steps of a group of rowCount rows, from where the previous group ended.
    std::vector<Event> Place(int rowCount);
    double Y() const { return y_; }

private:
    void Heading(std::vector<Event>& out, Step kind);
    void Close(std::vector<Event>& out, int rowCount, int rowsPrinted);
    void NewPage(std::vector<Event>& out);

    Geometry g_;
    double y_;
    double blockTop_;
    bool pageHasRows_ = false;  // rows since the page's last heading
    bool lastWasHeading_ = false;
    bool pageJustBegun_ = true;  // nothing placed since the page was begun
};

}  // namespace tavrin
