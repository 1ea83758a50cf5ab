// The stored layout of every record: fields at their offsets, little-endian, texts blank-padded.

#include "store/CellCodes.h"
#include "store/Records.h"

#include <gtest/gtest.h>
#include <cstring>
#include <functional>

namespace tavrin {
namespace {

template <class R>
std::vector<std::uint8_t> Bytes(const R& r)
{
    const auto a = Encode(r);
    return {a.begin(), a.end()};
}

std::int64_t LeAt(const std::vector<std::uint8_t>& b, std::size_t off, int width)
{
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i) v |= static_cast<std::uint64_t>(b[off + i]) << (8 * i);
    if (width > 1 && width < 8 && (v >> (8 * width - 1)) & 1) v |= ~0ull << (8 * width);  // Byte is unsigned
    return static_cast<std::int64_t>(v);
}

struct FieldCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> encode;  // a record with one field set to `value`
    std::size_t offset;
    int width;
    std::int64_t value;
};

TEST(Records, FieldsSitAtTheirStoredOffsets)
{
    const FieldCase cases[] = {
        {"Day.Shift1Code[1]", [] { DayRecord d; d.Shift1Code[1] = 7; return Bytes(d); }, 0, 1, 7},
        {"Day.OnCallFlag[200]", [] { DayRecord d; d.OnCallFlag[200] = 1; return Bytes(d); }, 399, 1, 1},
        {"Day.ExplanationCode[1]", [] { DayRecord d; d.ExplanationCode[1] = 9; return Bytes(d); }, 400, 1, 9},
        {"Day.Shift2Code[2]", [] { DayRecord d; d.Shift2Code[2] = 50; return Bytes(d); }, 601, 1, 50},
        {"Day.NoteNumber[200]", [] { DayRecord d; d.NoteNumber[200] = -7; return Bytes(d); }, 1198, 2, -7},
        {"Shift.StartTime", [] { ShiftRecord s; s.StartTime = 0.25; return Bytes(s); }, 15, 8, 0x3FD0000000000000},
        {"Shift.ColourIndex", [] { ShiftRecord s; s.ColourIndex = 12; return Bytes(s); }, 31, 2, 12},
        {"Shift.QuickKey", [] { ShiftRecord s; s.QuickKey = 165; return Bytes(s); }, 33, 1, 165},
        {"Shift.PaidHours", [] { ShiftRecord s; s.PaidHours = 8.0f; return Bytes(s); }, 43, 4, 0x41000000},
        {"Emp.CostMarker", [] { EmployeeTable e; e.CostMarker = 2; return Bytes(e); }, 6000, 2, 2},
        {"Emp.OTPeriodDays", [] { EmployeeTable e; e.OTPeriodDays = 7; return Bytes(e); }, 6010, 2, 7},
        {"Emp.PayRate[1]", [] { EmployeeTable e; e.PayRate[1] = 123400; return Bytes(e); }, 6020, 8, 123400},
        {"Emp.PayType[200]", [] { EmployeeTable e; e.PayType[200] = 1; return Bytes(e); }, 8018, 2, 1},
        {"Expl.QuickKey[1]", [] { ExplanationTable x; x.QuickKey[1] = 65; return Bytes(x); }, 2475, 1, 65},
        {"Props.PeriodEnd", [] { SchedulePropertiesRecord p; p.PeriodEnd = 1.0; return Bytes(p); }, 8, 8, 0x3FF0000000000000},
        {"Props.FirstVisibleDay", [] { SchedulePropertiesRecord p; p.FirstVisibleDay = 5; return Bytes(p); }, 28, 2, 5},
        {"Props.RowMap[1]", [] { SchedulePropertiesRecord p; p.RowMap[1] = 200; return Bytes(p); }, 30, 2, 200},
        {"Props.CropReportImages", [] { SchedulePropertiesRecord p; p.CropReportImages = 1; return Bytes(p); }, 430, 2, 1},
        {"Props.UppercaseFileNames", [] { SchedulePropertiesRecord p; p.UppercaseFileNames = 1; return Bytes(p); }, 601, 1, 1},
        {"Props.Cost.PrintQuality", [] { SchedulePropertiesRecord p; p.CostReportSettings.PrintQuality = -4; return Bytes(p); }, 632, 2, -4},
        {"Props.Personal.Options[1]", [] { SchedulePropertiesRecord p; p.PersonalScheduleSettings.Options[1] = -1; return Bytes(p); }, 874 + 96, 2, -1},
        {"Props.ReportSettings[10].Options[20]", [] { SchedulePropertiesRecord p; p.ReportSettings[10].Options[20] = 3; return Bytes(p); }, 2368, 2, 3},
        {"Props.CopyOptions.Overwrite", [] { SchedulePropertiesRecord p; p.CopyOptions.Overwrite = -1; return Bytes(p); }, 2380, 2, -1},
        {"Props.CurrentFormat", [] { SchedulePropertiesRecord p; p.CurrentFormat = 3; return Bytes(p); }, 2394, 2, 3},
        {"Props.HighlightQuery", [] { SchedulePropertiesRecord p; p.HighlightQuery = 4; return Bytes(p); }, 2496, 2, 4},
        {"Props.ToolTipsOff", [] { SchedulePropertiesRecord p; p.ToolTipsOff = 1; return Bytes(p); }, 2498, 2, 1},
        {"Props.Reserved[8]", [] { SchedulePropertiesRecord p; p.Reserved[8] = 0x5A; return Bytes(p); }, 2507, 1, 0x5A},
        {"Report.Margins[3]", [] { ReportSettingsRecord r; r.Margins[3] = 360; return Bytes(r); }, 52, 2, 360},
        {"Report.FontSize", [] { ReportSettingsRecord r; r.FontSize = 8.0f; return Bytes(r); }, 88, 4, 0x41000000},
        {"Format.IconStep", [] { ScheduleFormatRecord f; f.IconStep = 6; return Bytes(f); }, 41, 2, 6},
        {"Format.DaysOnScreen", [] { ScheduleFormatRecord f; f.DaysOnScreen = 28; return Bytes(f); }, 51, 2, 28},
        {"Format.VisibleCoverageTotals", [] { ScheduleFormatRecord f; f.VisibleCoverageTotals = 4; return Bytes(f); }, 93, 2, 4},
        {"Format.DaysToPrint", [] { ScheduleFormatRecord f; f.DaysToPrint = 2; return Bytes(f); }, 231, 2, 2},
        {"Format.CellItems[0].ContentCode", [] { ScheduleFormatRecord f; f.CellItems[0].ContentCode = 999; return Bytes(f); }, 233, 2, 999},
        {"Format.CellItems[5].BandBottom", [] { ScheduleFormatRecord f; f.CellItems[5].BandBottom = 77; return Bytes(f); }, 303, 2, 77},
        {"Format.CoverageTotals[1].IgnoreNames", [] { ScheduleFormatRecord f; f.CoverageTotals[1].IgnoreNames = -1; return Bytes(f); }, 325, 2, -1},
        {"Format.CoverageTotals[20].SelectedShifts[101]", [] { ScheduleFormatRecord f; f.CoverageTotals[20].SelectedShifts[101] = 1; return Bytes(f); }, 9104, 1, 1},
        {"Format.PrintQueryNumber", [] { ScheduleFormatRecord f; f.PrintQueryNumber = 9; return Bytes(f); }, 9105, 2, 9},
        {"Format.OmitCoverageTotals", [] { ScheduleFormatRecord f; f.OmitCoverageTotals = -1; return Bytes(f); }, 9109, 2, -1},
        {"Query.ByPosition", [] { QueryRecord q; q.ByPosition = -1; return Bytes(q); }, 26, 2, -1},
        {"Query.SelectedNames[1]", [] { QueryRecord q; q.SelectedNames[1] = 1; return Bytes(q); }, 38, 1, 1},
        {"Query.SelectedExplanations[0]", [] { QueryRecord q; q.SelectedExplanations[0] = 1; return Bytes(q); }, 238, 1, 1},
        {"Query.SelectedShifts[0]", [] { QueryRecord q; q.SelectedShifts[0] = 1; return Bytes(q); }, 338, 1, 1},
        {"Query.Reserved", [] { QueryRecord q; q.Reserved = 5; return Bytes(q); }, 500, 2, 5},
        {"Group.QueryNumber", [] { GroupRecord g; g.QueryNumber = 12; return Bytes(g); }, 0, 2, 12},
        {"Divider.Justification", [] { DividerPropertiesRecord d; d.Justification = 2; return Bytes(d); }, 201, 1, 2},
        {"Divider.Colour", [] { DividerPropertiesRecord d; d.Colour = 0xC0C0C0; return Bytes(d); }, 202, 4, 0xC0C0C0},
        {"Divider.ColourIndex", [] { DividerPropertiesRecord d; d.ColourIndex = 23; return Bytes(d); }, 208, 2, 23},
        {"Divider.LinkedRequirementSlot", [] { DividerPropertiesRecord d; d.LinkedRequirementSlot = 150; return Bytes(d); }, 213, 2, 150},
        {"Divider.CountFormat", [] { DividerPropertiesRecord d; d.CountFormat = 3; return Bytes(d); }, 215, 1, 3},
    };
    for (const FieldCase& c : cases) {
        const auto b = c.encode();
        EXPECT_EQ(LeAt(b, c.offset, c.width), c.value) << c.name;
        // Nothing else of the record is touched by the field.
        std::size_t others = 0;
        for (std::size_t i = 0; i < b.size(); ++i) {
            if ((i < c.offset || i >= c.offset + c.width) && b[i] != 0) ++others;
        }
        EXPECT_EQ(others, 0u) << c.name;
    }
}

TEST(Records, TextsAreBlankPaddedCutAndTrimmed)
{
    ShiftRecord s;
    s.Description = "Day";
    const auto b = Bytes(s);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), 15), "Day            ");
    EXPECT_EQ(Decode<ShiftRecord>(b).Description.str(), "Day");

    s.Abbreviation = "Overnight";  // longer than its 5 bytes
    EXPECT_EQ(s.Abbreviation.str(), "Overn");

    // A field never assigned holds zero bytes and reads as an empty text.
    ShiftRecord fresh;
    EXPECT_EQ(Bytes(fresh)[0], 0);
    EXPECT_EQ(fresh.Description.str(), "");

    // The code page is Windows-1252: the euro sign is byte 0x80, e-acute 0xE9.
    NoteRecord n;
    n.NoteText = QString::fromUtf8("€5 café");
    const auto nb = Bytes(n);
    EXPECT_EQ(nb[0], 0x80);
    EXPECT_EQ(nb[6], 0xE9);
    EXPECT_EQ(Decode<NoteRecord>(nb).NoteText.str(), QString::fromUtf8("€5 café"));
}

TEST(Records, RoundTripKeepsEveryByte)
{
    // Reserved fields and unknown values are carried unchanged through a read and a write.
    std::vector<std::uint8_t> raw(ScheduleFormatRecord::Size);
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const auto f = Decode<ScheduleFormatRecord>(raw);
    EXPECT_EQ(Bytes(f), raw);

    std::vector<std::uint8_t> props(SchedulePropertiesRecord::Size);
    for (std::size_t i = 0; i < props.size(); ++i) props[i] = static_cast<std::uint8_t>(i * 13 + 5);
    EXPECT_EQ(Bytes(Decode<SchedulePropertiesRecord>(props)), props);
}

TEST(Records, CellCodesAndCheckedLookups)
{
    DayRecord d;
    d.Shift1Code[3] = kNumberCellCode;
    d.NoteNumber[3] = 12;
    d.Shift2Code[3] = 50;
    EXPECT_DOUBLE_EQ(NumberCellValue(d, 3), 12.5);

    ShiftTableArray table;
    table[102].Description = "See Note";
    EXPECT_EQ(ShiftFor(table, 0), nullptr);
    EXPECT_EQ(ShiftFor(table, 103), nullptr);
    EXPECT_EQ(ShiftFor(table, 255), nullptr);
    ASSERT_NE(ShiftFor(table, 102), nullptr);
    EXPECT_EQ(ShiftFor(table, 102)->Description.str(), "See Note");

    EXPECT_EQ(PaletteColour(12), Rgb(255, 0, 0));
    EXPECT_EQ(PaletteColour(99), Rgb(0, 0, 0));
    EXPECT_EQ(PaletteColour(-1), Rgb(0, 0, 0));
    EXPECT_EQ(CheckedCountFormat(7), 0);
    EXPECT_EQ(CheckedQueryNo(100), 0);
    EXPECT_FALSE(IsQuickKey(191));
    EXPECT_FALSE(IsExplanationCode(100));
    EXPECT_EQ(CoverageLineRecord(5, 20), 301);
    EXPECT_EQ(CoverageLineRecord(1, 1), 202);
}

}  // namespace
}  // namespace tavrin
