#pragma once
// The records of a first-version schedule: six files of one stem (".SCH", ".SEM", ".SSH",
// ".SEP", ".SNO", ".SPR") for 50 rows, 35 shifts and 20 explanations.

#include "store/Records.h"

namespace tavrin::legacy {

constexpr int kSlots = 50;
constexpr int kShifts = 35;
constexpr int kExplanations = 20;

// One day (".SCH", record n = day n of the period).
struct DayRecord {
    static constexpr std::size_t Size = 350;
    VbArray<Byte, 1, kSlots> Shift1Code;
    VbArray<Byte, 1, kSlots> OnCallFlag;
    VbArray<Byte, 1, kSlots> ExplanationCode;
    VbArray<Byte, 1, kSlots> Shift2Code;
    VbArray<Byte, 1, kSlots> Reserved;
    VbArray<Int16, 1, kSlots> NoteNumber;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Shift1Code, s.OnCallFlag, s.ExplanationCode, s.Shift2Code, s.Reserved, s.NoteNumber);
    }
};

// One shift (".SSH", records 1..35).
struct ShiftRecord {
    static constexpr std::size_t Size = 33;
    FixedText<15> Description;
    OleDate StartTime = 0;
    OleDate EndTime = 0;
    Int16 ColourIndex = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Description, s.StartTime, s.EndTime, s.ColourIndex);
    }
};

// Names and pay (".SEM", record 1), by display row.
struct EmployeeTable {
    static constexpr std::size_t Size = 2016;
    VbArray<FixedText<20>, 1, kSlots> Name;
    VbArray<FixedText<10>, 1, kSlots> Position;
    Int16 CostMarker = 0;
    Int16 DailyOTThreshold = 0;
    float DailyOTFactor = 0;
    Int16 OTPeriodDays = 0;
    Int16 PeriodOTThreshold = 0;
    float PeriodOTFactor = 0;
    VbArray<Currency, 1, kSlots> PayRate;
    VbArray<Int16, 1, kSlots> PayType;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Name, s.Position, s.CostMarker, s.DailyOTThreshold, s.DailyOTFactor, s.OTPeriodDays, s.PeriodOTThreshold,
          s.PeriodOTFactor, s.PayRate, s.PayType);
    }
};

// The explanations (".SEP", record 1).
struct ExplanationTable {
    static constexpr std::size_t Size = 400;
    VbArray<FixedText<20>, 1, kExplanations> Description;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.Description);
    }
};

// The settings (".SPR"): exactly one record of 526 bytes.
struct SettingsRecord {
    static constexpr std::size_t Size = 526;
    OleDate PeriodStart = 0;
    OleDate PeriodEnd = 0;
    FixedText<10> ReadWritePassword;
    Int16 FirstDayOfWeek = 0;
    Int16 FirstVisibleDay = 0;
    VbArray<Int16, 1, kSlots> RowMap;
    Int16 CropReportImages = 0;
    FixedText<30> WeeklyTitle;
    FixedText<10> Unused1;
    FixedText<30> DailyTitle;
    FixedText<10> Unused2;
    FixedText<30> Unused3;
    FixedText<10> Unused4;
    FixedText<30> Day28Title;
    FixedText<10> Day28Marker;  // first byte 0: the 28 Day printout prints the current month
    FixedText<30> CostTitle;
    FixedText<10> Unused5;
    FixedText<50> Unused6;
    FixedText<80> Unused7;
    FixedText<30> CalendarTitle;
    FixedText<10> Unused8;
    CopyMultipleOptions CopyOptions;
    Int16 LegacyCoverageFlag = 0;

    template <class S, class V>
    static constexpr void visit(S& s, V&& v)
    {
        v(s.PeriodStart, s.PeriodEnd, s.ReadWritePassword, s.FirstDayOfWeek, s.FirstVisibleDay, s.RowMap,
          s.CropReportImages, s.WeeklyTitle, s.Unused1, s.DailyTitle, s.Unused2, s.Unused3, s.Unused4, s.Day28Title,
          s.Day28Marker, s.CostTitle, s.Unused5, s.Unused6, s.Unused7, s.CalendarTitle, s.Unused8, s.CopyOptions,
          s.LegacyCoverageFlag);
    }
};

static_assert(RecordSize<DayRecord> == 350);
static_assert(RecordSize<ShiftRecord> == 33);
static_assert(RecordSize<EmployeeTable> == 2016);
static_assert(RecordSize<ExplanationTable> == 400);
static_assert(RecordSize<SettingsRecord> == 526);

}  // namespace tavrin::legacy
