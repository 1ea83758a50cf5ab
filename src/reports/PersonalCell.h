#pragma once
// What a day cell of the personal reports holds, free of any drawing: from the top of the cell,
// the first shift (time-off included) in its colour, its times and paid hours, the second shift
// and its times and hours, each on a line of its own; then one word-wrapped block of the
// explanation, the on-call mark and the note.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "store/Records.h"
#include "store/SchedFiles.h"

namespace tavrin {

// The contents boxes of a personal report (Options(1..6), ticked when not 0) and its colour
// switch.
struct PersonalContents {
    bool Description = false;  // Options(1) "Shift Description"
    bool Explanation = false;  // Options(2) "Explanations"
    bool Times = false;        // Options(3) "Start/End time"
    bool Length = false;       // Options(4) "Shift Length"
    bool OnCall = false;       // Options(5) "On-Call"
    bool Notes = false;        // Options(6) "Notes"
    bool Colour = false;       // PrintInColour

    static PersonalContents From(const ReportSettingsRecord& r);
};

// One text of a day cell.
struct PersonalLine {
    QString Text;
    // Drawn in Colour, then in black again.
    bool Coloured = false;
    std::uint32_t Colour = 0;
    // The block of explanation, on-call mark and note, lines ended by a carriage return; word-
    // wrapped from where the lines above end down to a line above the cell's foot. Always last.
    bool Wrapped = false;

    friend bool operator==(const PersonalLine&, const PersonalLine&) = default;
};

// The texts of one person's day cells. Shift texts and colours are made once, and the notes
// read in one go.
class PersonalCellLines {
public:
    // timeFormat: the program's time format; explanationText: the explanation list's text of a
    // code (empty for one it does not list).
    PersonalCellLines(const SchedFiles& files, const PersonalContents& contents, const QString& timeFormat,
                      const std::function<QString(int)>& explanationText);

    // The lines of data slot `slot` on `day`, top to bottom. Codes outside their ranges show
    // nothing; a number cell (a requirement row's) shows neither shifts nor a note.
    std::vector<PersonalLine> Lines(const DayRecord& day, int slot) const;

private:
    struct ShiftTexts {
        QString Description;
        std::uint32_t Colour = 0;
        QString TimesLine;  // start - end and paid hours as ticked; empty without paid hours
    };
    void AddShift(std::vector<PersonalLine>& out, int code) const;
    // The trimmed text of note n, "" for none.
    QString NoteText(int n) const;

    PersonalContents c_;
    std::array<ShiftTexts, kTimeOffCode + 1> shifts_;  // 1..99 and time-off
    QString onCall_;
    std::array<QString, kExplanations + 1> explanations_;
    // The notes file read in one go when Notes is ticked.
    NoteTexts notes_;
};

}  // namespace tavrin
