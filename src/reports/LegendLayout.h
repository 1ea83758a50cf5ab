#pragma once
// The legend's contents and page arithmetic, free of any drawing: the six texts of each shift
// and explanation, the list entries in their order, the list's tab stops under its column heads,
// the column widths of the print, and where each entry lands on the pages (newspaper columns
// with rules between them, a frame on each page).
//
// An entry is named by its item data: a shift code 1..102, or minus an explanation code.

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "store/CellCodes.h"
#include "store/Records.h"

namespace tavrin {

// The quick-key column: "[A]" for key bytes 48..90, "[SHIFT-A]" for 148..190, "-" for any
// other byte; Time-Off always "[CTRL-X]" and On-Call "[CTRL-O]".
QString LegendKeyText(int code, int keyByte);

// The print's time format: "hh:nna/p" for a 12-hour display format, else "hh:nn".
QString LegendTimeFormat(const QString& timeFormat);

// A shift whose trimmed description, or an explanation whose description without trailing
// blanks, is not "undefined" (a blank description is listed).
bool LegendListsShift(const ShiftRecord& s);
bool LegendListsExplanation(const ExplanationTable& t, int code);

// The six texts of an entry. The list shows the explanation's stored abbreviation and
// description and the hours as "00.00"; the print trims them and shows "#0.00", the break
// followed by "b". The times are formatted with timeFormat.
enum class LegendUse { List, Print };
std::array<QString, 6> LegendFields(const ShiftTableArray& shifts, const ExplanationTable& expl, int item,
                                    const QString& timeFormat, LegendUse use);
// The list text: the six fields joined by tabs.
QString LegendListText(const ShiftTableArray& shifts, const ExplanationTable& expl, int item,
                       const QString& timeFormat);

struct LegendItem {
    QString Text;
    int Item = 0;
    friend bool operator==(const LegendItem&, const LegendItem&) = default;
};
// Every listed shift 1..102, then every listed explanation 1..99, sorted by text ignoring
// case (as the main window's lists).
std::vector<LegendItem> LegendItems(const ShiftTableArray& shifts, const ExplanationTable& expl,
                                    const QString& timeFormat);

// The list's tab stops (dialog units) from the left edges of the column heads 0..5 in twips,
// the screen's twips per pixel and the pixels of a dialog unit in the list's font: each edge in
// whole pixels, relative to head 0, plus 2, in dialog units (a classic dialog font has 1.5
// pixels a unit at 15 twips per pixel and 2 at 12).
std::vector<int> LegendTabStops(const std::array<int, 6>& headLeftTwips, int twipsPerPixel, double pixelsPerUnit);

// The print options of the legend's settings block (Options(1..5)).
struct LegendOptions {
    bool Times = false;     // Options(1)
    bool Break = false;     // Options(2)
    bool Length = false;    // Options(3)
    bool Keys = false;      // Options(4)
    bool Separate = false;  // Options(5): shifts before explanations

    static LegendOptions From(const ReportSettingsRecord& r);
};

// The widths of the printed columns 1..6 (index 0 unused; 0 = not printed), in the report font.
struct LegendColumns {
    std::array<double, 7> Width{};
    double Space = 0;     // the width of "M" between columns
    double SetWidth = 0;  // one set of the printed columns, each followed by its space

    // Where each printed column starts in a set beginning at x; 0 for columns not printed.
    std::array<double, 7> Starts(double x) const;
};
// Columns 1 and 2 grow to the widest abbreviation and description; the times, break, length
// and key columns take the width of their sample text from the entries that show them, the
// last such entry in list order deciding (the key column of a shift is narrower than that of
// an explanation).
LegendColumns MeasureLegendColumns(const std::vector<int>& items, const ShiftTableArray& shifts,
                                   const ExplanationTable& expl, const QString& legendTimeFormat,
                                   const LegendOptions& o, const std::function<double(const QString&)>& width);

// The print order: the list order, or with `separate` the shifts first and then the
// explanations, each in list order.
std::vector<int> LegendOrder(const std::vector<int>& items, bool separate);

// The colour a printed line takes: with colour printing, a user shift's palette colour and
// palette colour 12 for Time-Off; 0 (black) otherwise.
std::uint32_t LegendLineColour(int item, bool printInColour, const VbArray<Byte, 1, kShiftCodes>& shiftColours);

// Where the entries land. A column is full when the next line would pass the page bottom; the
// next column starts after a rule, or, when no set fits beside the last, on a new page.
class LegendPages {
public:
    struct Geometry {
        double Left = 0;
        double Right = 0;
        double BodyTop = 0;  // the page top plus the header band
        double Bottom = 0;
        double Gap = 0;         // half the height of "jA", above the first line of a column
        double HalfSpace = 0;   // half the width of "M", left of each column
        double SetWidth = 0;    // LegendColumns::SetWidth
        double LineHeight = 0;  // "jyA" in the report font
    };
    enum class Step {
        Entry,    // the entry's line at X, Y
        Rule,     // a vertical line at X from BodyTop to Bottom, before a new column
        NewPage,  // the page's frame, then a new page with its header
    };
    struct Event {
        Step step;
        double X = 0;
        double Y = 0;
        friend bool operator==(const Event&, const Event&) = default;
    };

    explicit LegendPages(const Geometry& g);
    // The steps of the next entry.
    std::vector<Event> Next();

private:
    Geometry g_;
    double x_;
    double y_;
};

}  // namespace tavrin
