#pragma once
// The records of the schedule's working files, field by field in stored order.
// Arrays keep the index ranges of the stored fields (data slots 1..200, formats' cell items
// 0..5, and so on).

#include "platform/OleDate.h"
#include "store/RecordCodec.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tavrin {

using Byte = std::uint8_t;
using Int16 = std::int16_t;
using Int32 = std::int32_t;

constexpr Int16 kTrue = -1;
constexpr Int16 kFalse = 0;

constexpr int kSlots = 200;        // rows and data slots
constexpr int kMaxVisibleDays = 42;
constexpr int kShiftCodes = 102;   // 1..99 user shifts, 100 Time-Off, 101 On-Call, 102 Note
constexpr int kUserShifts = 99;
constexpr int kExplanations = 99;
constexpr int kFormats = 5;
constexpr int kQueries = 99;
constexpr int kGroups = 99;
constexpr int kCoverageLines = 20;
constexpr int kDividerRecords = 301;
constexpr int kDayRulerRecord = 201;
constexpr int kMaxNoteRecords = 32766;
constexpr int kMaxPeriodDays = 32767;

// Cell codes of Shift1Code.
constexpr int kTimeOffCode = 100;
constexpr int kOnCallCode = 101;
constexpr int kNoteCode = 102;
constexpr int kNumberCellCode = 255;

// One day of the schedule period (file QORVANE2.SCH), arrays by data slot.
struct DayRecord {
    static constexpr std::size_t Size = 1200;
    VbArray<Byte, 1, 200> Shift1Code;
    VbArray<Byte, 1, 200> OnCallFlag;
    VbArray<Byte, 1, 200> ExplanationCode;
    VbArray<Byte, 1, 200> Shift2Code;   // hundredths in a number cell
    VbArray<Int16, 1, 200> NoteNumber;  // whole part in a number cell

    template <class S, class V>
    static constexpr void visit(S& s, V&& v) { v(s.Shift1Code, s.OnCallFlag, s.ExplanationCode, s.Shift2Code, s.NoteNumber); }
    friend bool operator==(const DayRecord&, const DayRecord&) = default;
};

// Runs of days are read straight into the visible-day cache.
template <>
inline constexpr bool kWireImage<DayRecord> = kBlockCopy<decltype(DayRecord::Shift1Code)> &&
                                       kBlockCopy<decltype(DayRecord::NoteNumber)> && sizeof(DayRecord) == 1200 &&
                                       std::is_standard_layout_v<DayRecord> &&
                                       std::is_trivially_copyable_v<DayRecord>;
static_assert(offsetof(DayRecord, OnCallFlag) == 200 && offsetof(DayRecord, ExplanationCode) == 400 &&
              offsetof(DayRecord, Shift2Code) == 600 && offsetof(DayRecord, NoteNumber) == 800);

// One shift definition (file QORVANE2.SSH, record number = shift code).
struct ShiftRecord {
    static constexpr std::size_t Size = 47;
    FixedText<15> Description;
    OleDate StartTime = 0;
    OleDate EndTime = 0;
    Int16 ColourIndex = 0;
    Byte QuickKey = 0;
    FixedText<5> Abbreviation;
    float BreakHours = 0;
    float PaidHours = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Description, s.StartTime, s.EndTime, s.ColourIndex, s.QuickKey, s.Abbreviation, s.BreakHours, s.PaidHours);
    }
    friend bool operator==(const ShiftRecord&, const ShiftRecord&) = default;
};

// Names, positions and pay of the rows (file QORVANE2.SEM, record 1), by display row.
struct EmployeeTable {
    static constexpr std::size_t Size = 8020;
    VbArray<FixedText<20>, 1, 200> Name;
    VbArray<FixedText<10>, 1, 200> Position;
    Int16 CostMarker = 0;
    float DailyOTThreshold = 0;
    float DailyOTFactor = 0;
    Int16 OTPeriodDays = 0;
    float PeriodOTThreshold = 0;
    float PeriodOTFactor = 0;
    VbArray<Currency, 1, 200> PayRate;
    VbArray<Int16, 1, 200> PayType;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Name, s.Position, s.CostMarker, s.DailyOTThreshold, s.DailyOTFactor, s.OTPeriodDays, s.PeriodOTThreshold,
          s.PeriodOTFactor, s.PayRate, s.PayType);
    }
    friend bool operator==(const EmployeeTable&, const EmployeeTable&) = default;
};

// One note text (file QORVANE2.SNO).
struct NoteRecord {
    static constexpr std::size_t Size = 60;
    FixedText<60> NoteText;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v) { v(s.NoteText); }
    friend bool operator==(const NoteRecord&, const NoteRecord&) = default;
};

// The 99 explanations (file QORVANE2.SEP, record 1).
struct ExplanationTable {
    static constexpr std::size_t Size = 2574;
    VbArray<FixedText<20>, 1, 99> Description;
    VbArray<FixedText<5>, 1, 99> Abbreviation;
    VbArray<Byte, 1, 99> QuickKey;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v) { v(s.Description, s.Abbreviation, s.QuickKey); }
    friend bool operator==(const ExplanationTable&, const ExplanationTable&) = default;
};

// Print settings and options of one report.
struct ReportSettingsRecord {
    static constexpr std::size_t Size = 136;
    FixedText<30> Title;
    Int16 PrintQuality = 0;
    Int16 Orientation = 0;
    Int16 HasShadingOptions = 0;
    Int16 HasMargins = 0;
    Int16 ShadePercent = 0;
    Int16 ShadeDayRuler = 0;
    Int16 ShadeCoverage = 0;
    Int16 PrintInColour = 0;
    VbArray<Int16, 0, 3> Margins;  // top, bottom, left, right (twips)
    Int16 Centimetres = 0;
    Int16 UseScreenFont = 0;
    FixedText<30> FontName;
    float FontSize = 0;
    Int16 FontBold = 0;
    Int16 FontItalic = 0;
    VbArray<Int16, 1, 20> Options;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Title, s.PrintQuality, s.Orientation, s.HasShadingOptions, s.HasMargins, s.ShadePercent, s.ShadeDayRuler,
          s.ShadeCoverage, s.PrintInColour, s.Margins, s.Centimetres, s.UseScreenFont, s.FontName, s.FontSize,
          s.FontBold, s.FontItalic, s.Options);
    }
    friend bool operator==(const ReportSettingsRecord&, const ReportSettingsRecord&) = default;
};

// Options shared by Copy Multiple and Selective Paste.
struct CopyMultipleOptions {
    static constexpr std::size_t Size = 22;
    Int16 CopyShifts = 0;
    Int16 CopyTimeOff = 0;
    Int16 CopyExplanations = 0;
    Int16 CopyNotes = 0;
    Int16 CopyOnCall = 0;
    Int16 Overwrite = 0;
    FixedText<10> Reserved;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.CopyShifts, s.CopyTimeOff, s.CopyExplanations, s.CopyNotes, s.CopyOnCall, s.Overwrite, s.Reserved);
    }
    friend bool operator==(const CopyMultipleOptions&, const CopyMultipleOptions&) = default;
};

// The settings of one schedule (file QORVANE2.SPR, record 1).
struct SchedulePropertiesRecord {
    static constexpr std::size_t Size = 2508;
    OleDate PeriodStart = 0;
    OleDate PeriodEnd = 0;
    FixedText<10> ReadWritePassword;
    Int16 FirstDayOfWeek = 0;
    Int16 FirstVisibleDay = 0;
    VbArray<Int16, 1, 200> RowMap;  // display row -> data slot
    Int16 CropReportImages = 0;
    FixedText<10> ReadOnlyPassword;
    FixedText<80> ExportFileName;
    FixedText<79> PublishFolder;
    Byte UppercaseFileNames = 0;
    ReportSettingsRecord CostReportSettings;
    ReportSettingsRecord EmployeeCalendarSettings;
    ReportSettingsRecord PersonalScheduleSettings;
    VbArray<ReportSettingsRecord, 1, 10> ReportSettings;
    CopyMultipleOptions CopyOptions;
    Int16 LegacyCoverageFlag = 0;
    Int16 CurrentFormat = 0;
    FixedText<100> SiblingAppPath;
    Int16 HighlightQuery = 0;
    Int16 ToolTipsOff = 0;
    VbArray<Byte, 1, 8> Reserved;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.PeriodStart, s.PeriodEnd, s.ReadWritePassword, s.FirstDayOfWeek, s.FirstVisibleDay, s.RowMap,
          s.CropReportImages, s.ReadOnlyPassword, s.ExportFileName, s.PublishFolder, s.UppercaseFileNames,
          s.CostReportSettings, s.EmployeeCalendarSettings, s.PersonalScheduleSettings, s.ReportSettings,
          s.CopyOptions, s.LegacyCoverageFlag, s.CurrentFormat, s.SiblingAppPath, s.HighlightQuery, s.ToolTipsOff,
          s.Reserved);
    }
    friend bool operator==(const SchedulePropertiesRecord&, const SchedulePropertiesRecord&) = default;
};

// Report blocks of SchedulePropertiesRecord::ReportSettings.
enum ReportBlock : int {
    kLegendBlock = 1,
    kQueryResultsBlock = 2,
    kStaffCalendarBlock = 3,
    kStaffScheduleBlock = 4,
    kHourlyCoverageBlock = 5,
    kExportBlock = 6,
    kGroupScheduleBlock = 7,
};

// One cell-content item of a display format.
struct CellItemRecord {
    static constexpr std::size_t Size = 12;
    Int16 ContentCode = 0;
    Int16 ShowOnScreen = 0;
    Int16 ShowOnReport = 0;
    Int16 LinkWithNext = 0;
    Int16 BandTop = 0;
    Int16 BandBottom = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.ContentCode, s.ShowOnScreen, s.ShowOnReport, s.LinkWithNext, s.BandTop, s.BandBottom);
    }
    friend bool operator==(const CellItemRecord&, const CellItemRecord&) = default;
};

// The filter shared by saved queries and coverage lines.
struct QueryFilter {
    static constexpr std::size_t Size = 440;
    FixedText<20> Title;
    Int16 IgnoreNames = 0;
    Int16 IgnoreExplanations = 0;
    Int16 IgnoreShifts = 0;
    Int16 ByPosition = 0;
    FixedText<10> Position;
    VbArray<Byte, 1, 200> SelectedNames;         // by data slot
    VbArray<Byte, 0, 99> SelectedExplanations;   // 0 = no explanation
    VbArray<Byte, 0, 101> SelectedShifts;        // 0 = not scheduled, 100 Time-Off, 101 On-Call

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Title, s.IgnoreNames, s.IgnoreExplanations, s.IgnoreShifts, s.ByPosition, s.Position, s.SelectedNames,
          s.SelectedExplanations, s.SelectedShifts);
    }
    friend bool operator==(const QueryFilter&, const QueryFilter&) = default;
};

// A coverage line's definition: the filter alone.
using CoverageTotalRecord = QueryFilter;

// A saved query (file QORVANE2.SQ1, records 1..99).
struct QueryRecord : QueryFilter {
    static constexpr std::size_t Size = 502;
    FixedText<60> NoteText;
    Int16 Reserved = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        QueryFilter::visit(static_cast<std::conditional_t<std::is_const_v<S>, const QueryFilter&, QueryFilter&>>(s), v);
        v(s.NoteText, s.Reserved);
    }
    friend bool operator==(const QueryRecord&, const QueryRecord&) = default;
};

// One display format (file QORVANE2.SSF, records 1..5).
struct ScheduleFormatRecord {
    static constexpr std::size_t Size = 9185;
    Int16 Reserved0 = 0;
    FixedText<20> FormatName;
    Int16 ShowCellStatusIcon = 0;
    FixedText<15> TimeFormat;
    Int16 HidePositionColumn = 0;
    Int16 IconStep = 0;
    Int16 ShowShiftIcon = 0;
    Int16 UseAbbreviations = 0;
    Int16 RulerDayNameStyle = 0;
    Int16 RulerDateStyle = 0;
    Int16 DaysOnScreen = 0;
    FixedText<30> ScreenFontName;
    float ScreenFontSize = 0;
    Int16 ScreenFontBold = 0;
    Int16 ScreenFontItalic = 0;
    Int16 ShowTimeOff = 0;
    Int16 VisibleCoverageTotals = 0;
    ReportSettingsRecord PrintSettings;
    Int16 DaysToPrint = 0;
    VbArray<CellItemRecord, 0, 5> CellItems;
    VbArray<CoverageTotalRecord, 1, 20> CoverageTotals;
    Int16 PrintQueryNumber = 0;
    Int16 NonMatchingCellsMode = 0;
    Int16 OmitCoverageTotals = 0;
    VbArray<Int16, 1, 7> Reserved1;
    VbArray<Int16, 1, 5> Reserved2;
    FixedText<50> Reserved3;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Reserved0, s.FormatName, s.ShowCellStatusIcon, s.TimeFormat, s.HidePositionColumn, s.IconStep,
          s.ShowShiftIcon, s.UseAbbreviations, s.RulerDayNameStyle, s.RulerDateStyle, s.DaysOnScreen,
          s.ScreenFontName, s.ScreenFontSize, s.ScreenFontBold, s.ScreenFontItalic, s.ShowTimeOff,
          s.VisibleCoverageTotals, s.PrintSettings, s.DaysToPrint, s.CellItems, s.CoverageTotals,
          s.PrintQueryNumber, s.NonMatchingCellsMode, s.OmitCoverageTotals, s.Reserved1, s.Reserved2, s.Reserved3);
    }
    friend bool operator==(const ScheduleFormatRecord&, const ScheduleFormatRecord&) = default;
};

// One group of the Group Schedule report (file QORVANE2.SGR, records 1..99).
struct GroupRecord {
    static constexpr std::size_t Size = 112;
    Int16 QueryNumber = 0;
    FixedText<60> Reserved0;
    Int32 Reserved1 = 0;
    Int32 Reserved2 = 0;
    Int16 Reserved3 = 0;
    VbArray<Int16, 1, 20> Reserved4;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v) { v(s.QueryNumber, s.Reserved0, s.Reserved1, s.Reserved2, s.Reserved3, s.Reserved4); }
    friend bool operator==(const GroupRecord&, const GroupRecord&) = default;
};

// Properties of a divider or requirement row (1..200 by data slot), the day ruler (201) and
// the coverage lines (202..301) (file QORVANE2.SDV).
struct DividerPropertiesRecord {
    static constexpr std::size_t Size = 263;
    Byte Reserved0 = 0;
    FixedText<200> Caption;
    Byte Justification = 0;
    Int32 Colour = 0;  // 0x00BBGGRR
    Byte UseDefaultColour = 0;
    Byte Reserved1 = 0;
    Int16 ColourIndex = 0;
    Int16 Style = 0;  // 0 divider, 1 requirement row
    Byte HideOnReports = 0;
    Int16 LinkedRequirementSlot = 0;
    Byte CountFormat = 0;
    FixedText<47> Reserved2;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Reserved0, s.Caption, s.Justification, s.Colour, s.UseDefaultColour, s.Reserved1, s.ColourIndex, s.Style,
          s.HideOnReports, s.LinkedRequirementSlot, s.CountFormat, s.Reserved2);
    }
    friend bool operator==(const DividerPropertiesRecord&, const DividerPropertiesRecord&) = default;
};

// The divider-file record of coverage line `line` (1..20) of format `format` (1..5).
constexpr int CoverageLineRecord(int format, int line) { return kDayRulerRecord + 20 * (format - 1) + line; }

static_assert(RecordSize<DayRecord> == 1200);
static_assert(RecordSize<ShiftRecord> == 47);
static_assert(RecordSize<EmployeeTable> == 8020);
static_assert(RecordSize<NoteRecord> == 60);
static_assert(RecordSize<ExplanationTable> == 2574);
static_assert(RecordSize<SchedulePropertiesRecord> == 2508);
static_assert(RecordSize<ReportSettingsRecord> == 136);
static_assert(RecordSize<CopyMultipleOptions> == 22);
static_assert(RecordSize<ScheduleFormatRecord> == 9185);
static_assert(RecordSize<CellItemRecord> == 12);
static_assert(RecordSize<QueryRecord> == 502);
static_assert(RecordSize<CoverageTotalRecord> == 440);
static_assert(RecordSize<GroupRecord> == 112);
static_assert(RecordSize<DividerPropertiesRecord> == 263);

}  // namespace tavrin
