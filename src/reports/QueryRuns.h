#pragma once
// The query results' lines, free of any drawing: the text of a matching day, the runs of
// consecutive days that read the same, the date pattern of the day lines, the range line of
// the header, and where headings and run lines land on the pages.

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "grid/GridQuery.h"
#include "platform/OleDate.h"
#include "store/CellCodes.h"

namespace tavrin {

// The day lines' date pattern for a display date format, from how it shows 31 December 1999:
// "dd/mm/yy" when it begins with the day, "yy/dd/mm" or "yy/mm/dd" when it begins with the year
// (by whether it ends with the month), else "mm/dd/yy". "/" stands for the locale's separator.
QString QueryDatePattern(const QString& dateFormat);

// Dates in a day-line pattern: day, month and year two digits each, in the pattern's order, with
// the locale's date separator (as Runtime::FormatDate shows them), made without reading the
// pattern again for every line.
class QueryDates {
public:
    explicit QueryDates(const QString& pattern);
    QString operator()(OleDate d) const;
    // A run's dates: its first day, or its first and last day joined by " - ".
    QString Run(OleDate first, OleDate last) const;
    // Makes the texts of the days from `first` on once, for the lines that follow.
    void Keep(OleDate first, int count);

private:
    QString Make(OleDate d) const;

    std::array<char, 3> order_{'m', 'd', 'y'};
    QString separator_;
    OleDate keptFrom_ = 0;
    std::vector<QString> kept_;
};

// The header's range: the first day in the long date format, and " to " the last when it differs.
QString QueryRangeLine(OleDate start, OleDate end);

// What a matching day reads: with shifts and the rest (unless notesOnly) each shift's trimmed
// description, the explanation list's text and the on-call description, each followed by ", ";
// then the note's trimmed text. The texts of the codes are taken once.
class QueryDayTexts {
public:
    // explanationText: the explanation list's text of a code; noteText: the text of a note.
    QueryDayTexts(const ShiftTableArray& shifts, const std::function<QString(int)>& explanationText,
                  std::function<QString(int)> noteText, bool notesOnly);

    QString operator()(const QueryCell& c) const;

private:
    // The trimmed text of note n (n > 0), asked for once.
    const QString& Note(int n) const;

    std::array<QString, kTimeOffCode + 1> shifts_;  // codes 1..100
    std::array<QString, kExplanations + 1> explanations_;
    QString onCall_;
    std::function<QString(int)> noteText_;
    bool notesOnly_;
    // The notes' texts asked for so far, by number.
    mutable std::vector<QString> notes_;
    mutable std::vector<bool> noteKnown_;
};

// One line of an employee's results: the days Start..End read Text.
struct QueryRun {
    OleDate Start = 0;
    OleDate End = 0;
    QString Text;
    friend bool operator==(const QueryRun&, const QueryRun&) = default;

    // The text without a trailing ", " (kept on texts of two characters or fewer).
    QString LineText() const;
};

// Runs of consecutive matching days whose texts are equal ignoring letter case (a run keeps its
// first day's text). A day that does not match ends the run before it. Days are given in order
// from `first` on, one call each.
class QueryRuns {
public:
    explicit QueryRuns(OleDate first);
    // A day's result, with its text when it matches.
    void Day(OleDate d, bool match, const QString& text = QString());
    // The runs so far, the last one included.
    std::vector<QueryRun> Finish();

private:
    void Close();

    std::vector<QueryRun> runs_;
    QueryRun run_;
    bool pending_ = false;
};

// Where the headings and run lines land. An employee's heading needs room for three lines, a
// run for one; a run that does not fit goes on a new page under the name followed by
// " (cont...)". Between employees one line is left empty, unless only the names are printed.
class QueryPages {
public:
    struct Geometry {
        double BodyTop = 0;  // first line of a page (under the header and the gap)
        double Bottom = 0;
        double LineHeight = 0;
    };
    enum class Step {
        NewPage,    // a new page with its header
        Heading,    // the employee's heading at Y
        Continued,  // the name with " (cont...)" at Y
        Run,        // the next run line at Y
    };
    struct Event {
        Step step;
        double Y = 0;
        friend bool operator==(const Event&, const Event&) = default;
    };

    explicit QueryPages(const Geometry& g);
    // An employee's heading; with namesOnly no lines follow it.
    std::vector<Event> Heading(bool namesOnly);
    std::vector<Event> Run();

private:
    void NewPage(std::vector<Event>& out);

    Geometry g_;
    double y_;
    bool firstOnPage_ = true;
};

}  // namespace tavrin
