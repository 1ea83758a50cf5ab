#pragma once
// The records a new schedule starts with, and those added to a working file that lacks them.

#include "store/Records.h"

#include <QString>

namespace tavrin {

ShiftRecord MakeUnusedShift();
// Time-Off (100), On-Call (101) and Note (102).
ShiftRecord MakeSpecialShift(int code);
EmployeeTable MakeDefaultEmployeeTable();
// Resets the overtime settings and all pay data, keeping names and positions.
void ResetPayData(EmployeeTable& t);
ExplanationTable MakeDefaultExplanations();
QueryRecord MakeUnusedQuery();
DividerPropertiesRecord MakeDefaultDivider();
GroupRecord MakeBlankGroup();

// The display formats; iconStep comes from the screen (90 twips / twips per pixel).
ScheduleFormatRecord Make28DayFormat(int twipsPerPixelX);
// The Weekly format's ruler date style follows the order of the display date format.
ScheduleFormatRecord MakeWeeklyFormat(int twipsPerPixelX, const QString& dateFormat);
ScheduleFormatRecord MakeDailyFormat(int twipsPerPixelX);
ScheduleFormatRecord MakeNotUsedFormat(int twipsPerPixelX);
// 1 (mm-dd) or 2 (dd-mm) for the Weekly format, from the display date format.
int WeeklyRulerDateStyle(const QString& dateFormat);

// A report's print settings: Arial at fontSize, quarter-inch margins, 10 % shading (of the day
// ruler and coverage when shadeRuler), nothing in colour; the options all 0.
ReportSettingsRecord MakeReportBlock(const char* title, bool shading, bool margins, bool shadeRuler, float fontSize);

// The settings of a new schedule; today is the date the period is taken from.
SchedulePropertiesRecord MakeNewScheduleProps(const QDate& today);

}  // namespace tavrin
