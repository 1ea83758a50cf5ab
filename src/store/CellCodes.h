#pragma once
// Checked lookups of the codes stored in cells and records. A value read from a file is never
// used as an index before it passes one of these.

#include "store/Records.h"

#include <cstdint>

namespace tavrin {

using ShiftTableArray = VbArray<ShiftRecord, 1, kShiftCodes>;

// A shift code 1..102 names a shift record; anything else counts as no shift.
constexpr bool IsShiftCode(int code) { return code >= 1 && code <= kShiftCodes; }
constexpr bool IsUserShift(int code) { return code >= 1 && code <= kUserShifts; }
inline const ShiftRecord* ShiftFor(const ShiftTableArray& table, int code)
{
    return IsShiftCode(code) ? &table[code] : nullptr;
}

// An explanation code 1..99; anything else counts as none.
constexpr bool IsExplanationCode(int code) { return code >= 1 && code <= kExplanations; }

// A quick key: a key code (48..57, 65..90) plus 100 with Shift; anything outside 1..190 is
// ignored.
constexpr bool IsQuickKey(int key) { return key >= 1 && key <= 190; }

// A query number 1..99, or 0 for none.
constexpr int CheckedQueryNo(int q) { return q >= 1 && q <= kQueries ? q : 0; }

// The 16 basic colours as 0x00BBGGRR; an index outside 0..15 is colour 0.
constexpr std::uint32_t Rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}
constexpr std::uint32_t PaletteColour(int index)
{
    constexpr std::uint32_t kPalette[16] = {
        Rgb(0, 0, 0),       Rgb(0, 0, 128),     Rgb(0, 128, 0),   Rgb(0, 128, 128),
        Rgb(128, 0, 0),     Rgb(128, 0, 128),   Rgb(128, 128, 0), Rgb(192, 192, 192),
        Rgb(128, 128, 128), Rgb(0, 0, 255),     Rgb(0, 255, 0),   Rgb(0, 255, 255),
        Rgb(255, 0, 0),     Rgb(255, 0, 255),   Rgb(255, 255, 0), Rgb(255, 255, 255)};
    return index >= 0 && index <= 15 ? kPalette[index] : kPalette[0];
}
constexpr int CheckedPaletteIndex(int index) { return index >= 0 && index <= 15 ? index : 0; }

// The day ruler's colour from its divider record: the palette's light grey while none is set.
constexpr std::uint32_t DayRulerColourOf(const DividerPropertiesRecord& ruler)
{
    return ruler.Colour == 0 ? PaletteColour(7) : static_cast<std::uint32_t>(ruler.Colour) & 0xFFFFFFu;
}

// A coverage line's count format 0..3; other values read as 0 (standard count).
constexpr int CheckedCountFormat(int f) { return f >= 0 && f <= 3 ? f : 0; }

// A data slot or display row 1..200.
constexpr bool IsSlot(int s) { return s >= 1 && s <= kSlots; }

// Value of a number cell (requirement rows): whole part in NoteNumber, hundredths in Shift2Code.
inline double NumberCellValue(const DayRecord& d, int slot)
{
    return d.NoteNumber[slot] + d.Shift2Code[slot] / 100.0;
}

}  // namespace tavrin
