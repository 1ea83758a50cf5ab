#pragma once
// What a cell item shows: the text of a cell content code for one cell, and the colour its
// line takes. Shared by the screen painter and whoever prints cells the same way.

#include <QString>
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>

#include "store/CellCodes.h"
#include "store/Records.h"

namespace tavrin {

// Cell content codes of a CellItemRecord.
namespace CellCode {
constexpr int None = 0;
constexpr int ScreenCellIcon = 999;
constexpr int Shift1 = 120, Shift2 = 121, Shift1And2 = 122, Shift1Times = 124, Shift2Times = 125;
constexpr int Start1 = 130, Start2 = 131, End1 = 140, End2 = 141, StartEnd1 = 150, StartEnd2 = 151;
constexpr int Length1 = 160, Length2 = 161, Length1And2 = 162;
constexpr int Explanation = 220;
constexpr int NoteText = 310, NoteText2Line = 1310, NoteText3Line = 2310, NoteStatus = 320;
constexpr int OnCallStatus = 410;
constexpr int Shift1Explanation = 500, Shift1And2Explanation = 501;
}  // namespace CellCode

// Codes that show second-shift data (they switch the two-shift mode on).
bool ShowsSecondShift(int code);
// Lines of text a code takes in a cell: 3 above 1999, 2 above 999, else 1.
int CodeLines(int code);

// One cell's entries (an erased note already counted as 0).
struct CellValues {
    int s1 = 0;
    int s2 = 0;
    int oc = 0;
    int e = 0;
    int n = 0;
    bool FirstPresent() const { return IsUserShift(s1); }
    bool SecondPresent() const { return IsUserShift(s2) && FirstPresent(); }
};

// What the texts are built from.
struct CellTextContext {
    const ShiftTableArray* shifts = nullptr;
    const VbArray<Byte, 1, kShiftCodes>* shiftColours = nullptr;
    const ExplanationTable* explanations = nullptr;
    bool useAbbreviations = false;
    bool showTimeOff = false;
    // The format's own time format text, trimmed ("n" for minutes).
    QString timeFormat;
    // The explanation list's text for a code (names without abbreviations).
    std::function<QString(int)> explanationListText;
    // The text of note n.
    std::function<QString(int)> noteText;

    // Abbreviation or description of a shift-table code, trimmed ("" for no such code).
    const QString& ShiftName(int code) const;
    const QString& ExplanationName(int e) const;
    std::uint32_t ShiftColour(int code) const;

    // Names are looked up once per context: a grid repeats the same few in every cell. A
    // context lives for one drawing, while the tables do not change.
private:
    mutable std::array<QString, kShiftCodes + 1> shiftNames_;
    mutable std::bitset<kShiftCodes + 1> shiftNamed_;
    mutable std::array<QString, kExplanations + 1> explanationNames_;
    mutable std::bitset<kExplanations + 1> explanationNamed_;
};

// The colour state of a text line: its colour, and whether a first-shift item set it.
struct LineColour {
    std::uint32_t colour = 0;
    bool mark = false;
};

// The text of one item (an effective code above 0) for a cell; sets the line's colour as the
// item asks.
QString CellItemText(int code, const CellValues& v, const CellTextContext& ctx, LineColour& line);
// The same text, appended to out (a line being built reuses its buffer).
void AppendCellItemText(int code, const CellValues& v, const CellTextContext& ctx, LineColour& line, QString& out);

}  // namespace tavrin
