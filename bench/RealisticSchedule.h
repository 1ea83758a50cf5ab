#pragma once
// A schedule as a ward keeps it, for the benchmarks: eight shifts with times and colours, named
// and placed rows, days with one or two shifts, time off, on-call marks, explanations, and
// notes in a fifth of the cells (each note its own record), and four coverage lines.

#include <QString>
#include <cstdint>
#include <vector>

#include "store/Records.h"
#include "store/SchedFiles.h"

namespace tavrin::bench {

// A small repeatable random source.
struct Rng {
    std::uint32_t x = 7;
    std::uint32_t Next()
    {
        x = x * 1103515245u + 12345u;
        return x >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }
};

struct ShiftDef {
    const char* name;
    const char* abbr;
    int from;
    int to;
    int colour;
};
inline constexpr ShiftDef kShiftDefs[] = {
    {"Day", "D", 7, 15, 1},        {"Evening", "E", 15, 23, 2}, {"Night", "N", 23, 7, 4}, {"Day 12", "D12", 7, 19, 9},
    {"Night 12", "N12", 19, 7, 5}, {"Early", "EA", 6, 14, 3},   {"Late", "L", 11, 19, 6}, {"Charge", "CH", 7, 15, 12},
};
inline constexpr int kShiftCount = static_cast<int>(sizeof kShiftDefs / sizeof kShiftDefs[0]);

// The eight shifts, in memory and in the shift file when it is open.
inline void DefineShifts(SchedFiles& f)
{
    for (int code = 1; code <= kShiftCount; ++code) {
        const ShiftDef& d = kShiftDefs[code - 1];
        ShiftRecord& s = f.ShiftTable[code];
        s.Description = QString::fromLatin1(d.name);
        s.Abbreviation = QString::fromLatin1(d.abbr);
        s.StartTime = d.from / 24.0;
        s.EndTime = d.to / 24.0;
        s.ColourIndex = static_cast<Int16>(d.colour);
        s.BreakHours = 0.5f;
        s.PaidHours = static_cast<float>((d.to - d.from + 24) % 24) - 0.5f;
        f.ShiftColours[code] = static_cast<Byte>(d.colour);
        if (f.File(FileNo::Shifts).isOpen()) (void)f.WriteRecord(FileNo::Shifts, code, s);
    }
}

// Every row named, with positions of a few kinds.
inline void NameEveryRow(SchedFiles& f)
{
    static const char* const kLast[] = {"Abernathy", "Li",         "Okonkwo", "Martinez-Vega", "Brown",
                                        "Nakamura",  "Fitzgerald", "Ivanova", "Singh",         "O'Neil"};
    static const char* const kFirst[] = {"Ann", "Bo", "Chidi", "Dolores", "Eli", "Fumiko", "Gwen", "Hana", "Ira"};
    static const char* const kPos[] = {"RN", "LPN", "CNA", "RN Charge", "Unit Sec"};
    for (int r = 1; r <= kSlots; ++r) {
        f.EmpTable.Name[r] =
            QStringLiteral("%1, %2").arg(QString::fromLatin1(kLast[r % 10]), QString::fromLatin1(kFirst[r % 9]));
        f.EmpTable.Position[r] = QString::fromLatin1(kPos[r % 5]);
    }
}

// Four coverage lines counting the day, evening and night shifts and the on-call marks.
inline void DefineCoverageLines(ScheduleFormatRecord& fmt)
{
    static const char* const kTitles[] = {"Days", "Evenings", "Nights", "On call"};
    static const std::vector<int> kCodes[] = {{1, 4, 6, 8}, {2, 7}, {3, 5}, {101}};
    for (int k = 1; k <= 4; ++k) {
        CoverageTotalRecord& line = fmt.CoverageTotals[k];
        line.Title = QString::fromLatin1(kTitles[k - 1]);
        line.IgnoreNames = kTrue;
        line.IgnoreExplanations = kTrue;
        line.IgnoreShifts = 0;
        for (int c : kCodes[k - 1]) line.SelectedShifts[c] = 1;
    }
    fmt.VisibleCoverageTotals = 4;
}

// The format's first text line shows both shifts of a cell ("D,E").
inline void ShowBothShifts(ScheduleFormatRecord& fmt)
{
    fmt.CellItems[1].ContentCode = 122;
}

// Fills one day. A fifth of the cells get a note: the next record number while noteCount stays
// below maxNotes (a cell's note number is its own, as the program gives them out).
inline void FillDay(DayRecord& d, Rng& rng, int& noteCount, int maxNotes = kMaxNoteRecords, int noteOneIn = 5)
{
    d = DayRecord{};
    for (int s = 1; s <= kSlots; ++s) {
        const int roll = rng.Below(100);
        if (roll < 62) {
            d.Shift1Code[s] = static_cast<Byte>(1 + rng.Below(kShiftCount));
            if (rng.OneIn(8)) {
                // A second shift starting later the same day: early or day, then evening.
                d.Shift1Code[s] = static_cast<Byte>(rng.OneIn(2) ? 6 : 1);
                d.Shift2Code[s] = 2;
            }
        } else if (roll < 70) {
            d.Shift1Code[s] = kTimeOffCode;
            d.ExplanationCode[s] = static_cast<Byte>(1 + rng.Below(5));
        }
        if (rng.OneIn(20)) d.OnCallFlag[s] = 1;
        if (d.ExplanationCode[s] == 0 && rng.OneIn(12)) d.ExplanationCode[s] = static_cast<Byte>(1 + rng.Below(11));
        if (rng.OneIn(noteOneIn) && noteCount < maxNotes) d.NoteNumber[s] = static_cast<Int16>(++noteCount);
    }
}

// The text of note n.
inline QString NoteText(int n)
{
    return QStringLiteral("Note %1: swap with %2, call before %3pm").arg(n).arg(n % 200).arg(n % 12 + 1);
}

// Writes notes 1..count into the open notes file.
inline bool WriteNotes(SchedFiles& f, int count)
{
    std::vector<std::uint8_t> notes;
    notes.reserve(static_cast<std::size_t>(count) * NoteRecord::Size);
    for (int n = 1; n <= count; ++n) {
        NoteRecord r;
        r.NoteText = NoteText(n);
        const auto b = Encode(r);
        notes.insert(notes.end(), b.begin(), b.end());
    }
    if (notes.empty()) return true;
    if (!f.File(FileNo::Notes).write(1, notes)) return false;
    f.NextNoteNo = count + 1;
    return true;
}

// Fills every day of the open schedule's period (and its notes) and reloads the visible days.
inline bool FillPeriod(SchedFiles& f, Rng& rng, int noteOneIn = 5)
{
    const int days = f.PeriodDays();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(days) * DayRecord::Size);
    int notes = 0;
    DayRecord r;
    for (int d = 1; d <= days; ++d) {
        FillDay(r, rng, notes, kMaxNoteRecords, noteOneIn);
        const auto b = Encode(r);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    if (!f.File(FileNo::Days).write(1, bytes)) return false;
    if (!WriteNotes(f, notes)) return false;
    return f.LoadVisibleDays().ok();
}

}  // namespace tavrin::bench
