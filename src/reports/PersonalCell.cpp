#include "reports/PersonalCell.h"

#include "platform/Runtime.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// Time-off is light red wherever it is printed in colour.
constexpr int kTimeOffColour = 12;

}  // namespace

PersonalContents PersonalContents::From(const ReportSettingsRecord& r)
{
    PersonalContents c;
    c.Description = r.Options[1] != 0;
    c.Explanation = r.Options[2] != 0;
    c.Times = r.Options[3] != 0;
    c.Length = r.Options[4] != 0;
    c.OnCall = r.Options[5] != 0;
    c.Notes = r.Options[6] != 0;
    c.Colour = r.PrintInColour != 0;
    return c;
}

PersonalCellLines::PersonalCellLines(const SchedFiles& files, const PersonalContents& contents,
                                     const QString& timeFormat, const std::function<QString(int)>& explanationText)
    : c_(contents), notes_(files, contents.Notes)
{
    for (int code = 1; code <= kTimeOffCode; ++code) {
        const ShiftRecord& s = files.ShiftTable[code];
        ShiftTexts& t = shifts_[static_cast<std::size_t>(code)];
        t.Description = Runtime::Trim(s.Description.str());
        t.Colour = PaletteColour(code == kTimeOffCode ? kTimeOffColour : files.ShiftColours[code]);
        if (IsUserShift(code) && s.PaidHours > 0) {
            if (c_.Times) {
                t.TimesLine = Runtime::FormatDate(s.StartTime, timeFormat) + QStringLiteral(" - ") +
                              Runtime::FormatDate(s.EndTime, timeFormat) + QLatin1Char(' ');
            }
            if (c_.Length) t.TimesLine += Runtime::FormatNumber(s.PaidHours, QStringLiteral("####.00"));
        }
    }
    onCall_ = Runtime::Trim(files.ShiftTable[kOnCallCode].Description.str());
    if (explanationText) {
        for (int e = 1; e <= kExplanations; ++e)
            explanations_[static_cast<std::size_t>(e)] = Runtime::Trim(explanationText(e));
    }
}

void PersonalCellLines::AddShift(std::vector<PersonalLine>& out, int code) const
{
    const ShiftTexts& t = shifts_[static_cast<std::size_t>(code)];
    if (c_.Description) out.push_back({t.Description, c_.Colour, c_.Colour ? t.Colour : 0, false});
    if (!t.TimesLine.isEmpty()) out.push_back({t.TimesLine, false, 0, false});
}

QString PersonalCellLines::NoteText(int n) const
{
    return Runtime::Trim(notes_(n));
}

std::vector<PersonalLine> PersonalCellLines::Lines(const DayRecord& day, int slot) const
{
    std::vector<PersonalLine> out;
    if (!IsSlot(slot)) return out;
    const int s1 = day.Shift1Code[slot];
    // A number cell keeps its hundredths where a second shift would be and its whole part
    // where a note number would be.
    const bool numberCell = s1 == kNumberCellCode;
    if (IsUserShift(s1) || s1 == kTimeOffCode) AddShift(out, s1);
    const int s2 = numberCell ? 0 : day.Shift2Code[slot];
    if (IsUserShift(s2)) AddShift(out, s2);

    QString block;
    const int e = day.ExplanationCode[slot];
    if (c_.Explanation && IsExplanationCode(e) && !explanations_[static_cast<std::size_t>(e)].isEmpty())
        block += explanations_[static_cast<std::size_t>(e)] + QLatin1Char('\r');
    if (c_.OnCall && day.OnCallFlag[slot] == 1) block += onCall_ + QLatin1Char('\r');
    if (c_.Notes && !numberCell) block += NoteText(day.NoteNumber[slot]);
    if (!block.isEmpty()) out.push_back({block, false, 0, true});
    return out;
}

}  // namespace tavrin
