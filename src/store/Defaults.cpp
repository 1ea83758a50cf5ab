#include "store/Defaults.h"

#include "platform/Runtime.h"
#include "store/CellCodes.h"

namespace tavrin {

ShiftRecord MakeUnusedShift()
{
    ShiftRecord s;
    s.Description = "undefined";
    s.Abbreviation = "";
    return s;
}

ShiftRecord MakeSpecialShift(int code)
{
    ShiftRecord s;
    switch (code) {
    case kTimeOffCode:
        s.Description = "OFF";
        s.Abbreviation = "X";
        s.ColourIndex = 12;
        break;
    case kOnCallCode:
        s.Description = "On-Call";
        s.Abbreviation = "+";
        break;
    default:
        s.Description = "See Note";
        s.Abbreviation = "*";
        break;
    }
    return s;
}

void ResetPayData(EmployeeTable& t)
{
    t.CostMarker = 2;
    t.DailyOTThreshold = 8;
    t.DailyOTFactor = 1.0f;
    t.OTPeriodDays = 7;
    t.PeriodOTThreshold = 40;
    t.PeriodOTFactor = 1.5f;
    t.PayRate.fill(0);
    t.PayType.fill(0);
}

EmployeeTable MakeDefaultEmployeeTable()
{
    EmployeeTable t;
    for (auto& n : t.Name) n.blank();
    for (auto& p : t.Position) p.blank();
    ResetPayData(t);
    return t;
}

ExplanationTable MakeDefaultExplanations()
{
    static const char* const kNames[11][2] = {
        {"Personal", "a"}, {"Vacation", "b"},      {"Sick", "c"},          {"Temp Leave", "d"},
        {"Comp", "e"},     {"Maternity", "f"},     {"Military", "g"},      {"Educational", "h"},
        {"Corp Function", "i"}, {"At other facility", "j"}, {"Other", "k"}};
    ExplanationTable t;
    for (int i = 1; i <= kExplanations; ++i) {
        if (i <= 11) {
            t.Description[i] = kNames[i - 1][0];
            t.Abbreviation[i] = kNames[i - 1][1];
        } else {
            t.Description[i] = "undefined";
            t.Abbreviation[i] = "";
        }
        t.QuickKey[i] = 0;
    }
    return t;
}

namespace {

void MakeUnusedFilter(QueryFilter& q)
{
    q.Title = "undefined";
    q.IgnoreNames = kTrue;
    q.IgnoreExplanations = kTrue;
    q.IgnoreShifts = kTrue;
    q.ByPosition = 0;
    q.Position = "";
}

ReportSettingsRecord BasePrintSettings()
{
    ReportSettingsRecord r;
    r.PrintQuality = 0;
    r.Orientation = 0;
    r.HasShadingOptions = kTrue;
    r.HasMargins = kTrue;
    r.ShadePercent = 10;
    r.ShadeDayRuler = kTrue;
    r.ShadeCoverage = kTrue;
    r.PrintInColour = 0;
    r.Margins.fill(360);
    r.Centimetres = 0;
    r.UseScreenFont = kTrue;
    r.FontName = "Arial";
    r.FontBold = 0;
    r.FontItalic = 0;
    return r;
}

ScheduleFormatRecord CommonFormat(int twipsPerPixelX)
{
    ScheduleFormatRecord f;
    f.ShowCellStatusIcon = kTrue;
    f.TimeFormat = "h:nna/p";
    f.HidePositionColumn = 0;
    f.IconStep = static_cast<Int16>(90 / (twipsPerPixelX > 0 ? twipsPerPixelX : 15));
    f.ShowShiftIcon = kTrue;
    f.ScreenFontBold = 0;
    f.ScreenFontItalic = 0;
    f.ShowTimeOff = kTrue;
    f.DaysToPrint = 0;
    f.PrintSettings = BasePrintSettings();
    for (auto& c : f.CoverageTotals) MakeUnusedFilter(c);
    return f;
}

CellItemRecord Item(int code, bool s, bool r, bool l)
{
    CellItemRecord c;
    c.ContentCode = static_cast<Int16>(code);
    c.ShowOnScreen = s ? kTrue : kFalse;
    c.ShowOnReport = r ? kTrue : kFalse;
    c.LinkWithNext = l ? kTrue : kFalse;
    return c;
}

}  // namespace

QueryRecord MakeUnusedQuery()
{
    QueryRecord q;
    MakeUnusedFilter(q);
    q.NoteText = "";
    q.Reserved = 0;
    return q;
}

DividerPropertiesRecord MakeDefaultDivider()
{
    DividerPropertiesRecord d;
    d.Caption = "";
    d.Justification = 0;
    d.Colour = static_cast<Int32>(PaletteColour(7));
    d.UseDefaultColour = 1;
    d.ColourIndex = 0;
    d.Style = 0;
    d.HideOnReports = 0;
    d.LinkedRequirementSlot = 0;
    d.CountFormat = 0;
    d.Reserved2 = "";
    return d;
}

GroupRecord MakeBlankGroup()
{
    GroupRecord g;
    g.Reserved0 = "";
    return g;
}

ScheduleFormatRecord Make28DayFormat(int twipsPerPixelX)
{
    ScheduleFormatRecord f = CommonFormat(twipsPerPixelX);
    f.FormatName = "28 Day";
    f.UseAbbreviations = kTrue;
    f.RulerDayNameStyle = 0;
    f.RulerDateStyle = 0;
    f.DaysOnScreen = 28;
    f.ScreenFontName = "MS Sans Serif";
    f.ScreenFontSize = 8;
    f.VisibleCoverageTotals = 4;
    f.PrintSettings.Title = "Schedule";
    f.PrintSettings.FontSize = 8;
    f.CellItems[0] = Item(999, true, false, true);
    f.CellItems[1] = Item(120, true, false, false);
    f.CellItems[2] = Item(500, false, true, false);
    f.CellItems[3] = Item(410, false, true, true);
    f.CellItems[4] = Item(320, false, true, false);
    f.CellItems[5] = Item(0, false, false, false);
    return f;
}

int WeeklyRulerDateStyle(const QString& dateFormat)
{
    // The display date format is one of the program's own patterns, formatted as every date is.
    const QString text = Runtime::FormatDate(OleDates::FromYmd(1999, 12, 31), dateFormat);
    if (text.startsWith(QLatin1String("31"))) return 2;
    if (text.startsWith(QLatin1String("19")) || text.startsWith(QLatin1String("99"))) {
        return text.endsWith(QLatin1String("12")) ? 2 : 1;
    }
    return 1;
}

ScheduleFormatRecord MakeWeeklyFormat(int twipsPerPixelX, const QString& dateFormat)
{
    ScheduleFormatRecord f = CommonFormat(twipsPerPixelX);
    f.FormatName = "Weekly";
    f.UseAbbreviations = 0;
    f.RulerDayNameStyle = 3;
    f.RulerDateStyle = static_cast<Int16>(WeeklyRulerDateStyle(dateFormat));
    f.DaysOnScreen = 7;
    f.ScreenFontName = "Small Fonts";
    f.ScreenFontSize = 7;
    f.VisibleCoverageTotals = 0;
    f.PrintSettings.Title = "Weekly";
    f.PrintSettings.FontSize = 7;
    f.CellItems[0] = Item(999, true, false, true);
    f.CellItems[1] = Item(120, true, true, false);
    f.CellItems[2] = Item(150, true, true, false);
    f.CellItems[3] = Item(220, false, true, false);
    f.CellItems[4] = Item(410, false, true, true);
    f.CellItems[5] = Item(1310, false, true, false);
    return f;
}

ScheduleFormatRecord MakeDailyFormat(int twipsPerPixelX)
{
    ScheduleFormatRecord f = CommonFormat(twipsPerPixelX);
    f.FormatName = "Daily";
    f.UseAbbreviations = 0;
    f.RulerDayNameStyle = 3;
    f.RulerDateStyle = 3;
    f.DaysOnScreen = 1;
    f.ScreenFontName = "MS Sans Serif";
    f.ScreenFontSize = 8;
    f.VisibleCoverageTotals = 0;
    f.PrintSettings.Title = "Daily";
    f.PrintSettings.FontSize = 8;
    f.CellItems[0] = Item(500, true, true, true);
    f.CellItems[1] = Item(150, true, true, true);
    f.CellItems[2] = Item(160, true, true, true);
    f.CellItems[3] = Item(410, true, true, true);
    f.CellItems[4] = Item(310, true, true, false);
    f.CellItems[5] = Item(0, false, false, false);
    return f;
}

ScheduleFormatRecord MakeNotUsedFormat(int twipsPerPixelX)
{
    ScheduleFormatRecord f = Make28DayFormat(twipsPerPixelX);
    f.FormatName = "Not Used";
    f.VisibleCoverageTotals = 0;
    f.CellItems[0].LinkWithNext = 0;
    for (int i = 1; i <= 5; ++i) f.CellItems[i] = Item(0, false, false, false);
    return f;
}

ReportSettingsRecord MakeReportBlock(const char* title, bool shading, bool margins, bool shadeRuler, float fontSize)
{
    ReportSettingsRecord r;
    r.Title = title;
    r.PrintQuality = 0;
    r.Orientation = 0;
    r.HasShadingOptions = shading ? kTrue : kFalse;
    r.HasMargins = margins ? kTrue : kFalse;
    r.ShadePercent = 10;
    r.ShadeDayRuler = shadeRuler ? kTrue : kFalse;
    r.ShadeCoverage = shadeRuler ? kTrue : kFalse;
    r.PrintInColour = 0;
    r.Margins.fill(360);
    r.Centimetres = 0;
    r.UseScreenFont = 0;
    r.FontName = "Arial";
    r.FontSize = fontSize;
    r.FontBold = 0;
    r.FontItalic = 0;
    return r;
}

SchedulePropertiesRecord MakeNewScheduleProps(const QDate& today)
{
    SchedulePropertiesRecord p;
    p.PeriodStart = OleDates::FromYmd(today.year(), 1, 1);
    p.PeriodEnd = OleDates::FromYmd(today.year() + 1, 12, 31);
    p.ReadWritePassword = "";
    p.FirstDayOfWeek = 1;
    p.FirstVisibleDay = 0;
    p.CurrentFormat = 0;
    for (int i = 1; i <= kSlots; ++i) p.RowMap[i] = static_cast<Int16>(i);
    p.CropReportImages = 1;

    ReportSettingsRecord& legend = p.ReportSettings[kLegendBlock];
    legend = MakeReportBlock("Legend", true, true, false, 8);
    const Int16 legendOptions[5] = {kTrue, 0, 0, 0, kTrue};
    for (int i = 1; i <= 5; ++i) legend.Options[i] = legendOptions[i - 1];
    ReportSettingsRecord& query = p.ReportSettings[kQueryResultsBlock];
    query = MakeReportBlock("", false, true, false, 8);

    p.PersonalScheduleSettings = MakeReportBlock("Personal Schedule", true, true, true, 8);
    const Int16 personalOptions[6] = {kTrue, kTrue, kTrue, kTrue, 0, kTrue};
    for (int i = 1; i <= 6; ++i) p.PersonalScheduleSettings.Options[i] = personalOptions[i - 1];
    p.EmployeeCalendarSettings = p.PersonalScheduleSettings;
    p.EmployeeCalendarSettings.Title = "Employee Calendar";
    p.EmployeeCalendarSettings.Options[10] = kTrue;
    p.CostReportSettings = MakeReportBlock("Estimated Cost", false, false, true, 12);

    p.ExportFileName = "";
    p.PublishFolder = "";
    p.UppercaseFileNames = 0;
    p.CopyOptions.CopyShifts = kTrue;
    p.CopyOptions.CopyTimeOff = kTrue;
    p.CopyOptions.CopyExplanations = kTrue;
    p.CopyOptions.CopyNotes = kTrue;
    p.CopyOptions.CopyOnCall = kTrue;
    p.CopyOptions.Overwrite = 0;
    p.LegacyCoverageFlag = 0;
    return p;
}

}  // namespace tavrin
