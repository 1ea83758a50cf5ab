// Applying a display format: caption, ruler styles, time format, fonts and the cell layout.
#include <QFontMetrics>

#include "GridFixture.h"

namespace tavrin::test {
namespace {

class FormatTest : public GridFixture {
protected:
    void SetUp() override { OpenSchedule(); }
    int LineHeight() const { return QFontMetrics(grid->FormFont.font).height(); }
    const CellItemRecord& Item(int i) const { return files->CurrentFormat.CellItems[i]; }
};

TEST_F(FormatTest, BandsAndRowHeight)
{
    struct Case {
        const char* what;
        std::vector<std::tuple<int, bool, bool>> items;
        int lineCount;       // expected CellLineCount
        int firstText;       // index of the first text item
        int rowHeightLines;  // row height = lineCount + lines * LH + extra
        int extra;
    };
    const int icon = files->CurrentFormat.IconStep;
    ASSERT_EQ(icon, 6);
    const std::vector<Case> cases = {
        {"shift and two-line note", {{120, true, false}, {1310, true, false}}, 0, 0, 3, 1},
        {"icon on its own line", {{999, true, false}, {120, true, false}, {1310, true, false}}, icon + 2, 1, 3, 1},
        {"icon beside the text", {{999, true, true}, {120, true, false}, {1310, true, false}}, 0, 1, 3, 1},
        {"three-line note", {{2310, true, false}}, 0, 0, 3, 1},
        {"hidden items take no band", {{120, false, false}, {310, true, false}}, 0, 1, 1, 1},
        {"everything linked", {{120, true, true}, {150, true, true}}, 0, 0, 1, 1},
        {"nothing shown", {{0, false, false}}, 0, 0, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScheduleFormatRecord& f = files->CurrentFormat;
        int i = 0;
        for (auto [code, shown, linked] : c.items) {
            f.CellItems[i].ContentCode = static_cast<Int16>(code);
            f.CellItems[i].ShowOnScreen = shown ? kTrue : kFalse;
            f.CellItems[i].LinkWithNext = linked ? kTrue : kFalse;
            ++i;
        }
        for (; i <= 5; ++i) f.CellItems[i] = CellItemRecord{};
        grid->ApplyScheduleFormat();
        const int lh = LineHeight();
        EXPECT_EQ(grid->CellLineCount, c.lineCount);
        EXPECT_EQ(grid->RowHeightPx, c.lineCount + c.rowHeightLines * lh + c.extra);
        EXPECT_EQ(grid->RowHeight, grid->RowHeightPx * 15);
        if (c.items.size() >= 2 && std::get<0>(c.items[c.firstText]) == 120 && std::get<1>(c.items[c.firstText])) {
            EXPECT_EQ(Item(c.firstText).BandTop, c.lineCount);
            EXPECT_EQ(Item(c.firstText).BandBottom, c.lineCount + lh);
        }
    }
    // Shift1 then a two-line note: bands [c, c + LH] and [c + LH, c + 3 LH].
    SetItems({{999, true, false}, {120, true, false}, {1310, true, false}});
    grid->ApplyScheduleFormat();
    const int lh = LineHeight();
    EXPECT_EQ(Item(2).BandTop, icon + 2 + lh);
    EXPECT_EQ(Item(2).BandBottom, icon + 2 + 3 * lh);
    EXPECT_EQ(grid->CellItemRow, 2);
    EXPECT_EQ(files->CurrentFormat.ShowCellStatusIcon, kTrue);
}

TEST_F(FormatTest, SecondShiftItemsSwitchTwoShiftModeOn)
{
    struct Case {
        int code;
        bool shown;
        bool twoShifts;
    };
    for (const Case& c : {Case{131, true, true}, Case{122, true, true}, Case{501, true, true}, Case{131, false, false},
                          Case{120, true, false}, Case{150, true, false}, Case{500, true, false}}) {
        SCOPED_TRACE(c.code);
        SetItems({{c.code, c.shown, false}});
        grid->ApplyScheduleFormat();
        EXPECT_EQ(grid->TwoShiftMode, c.twoShifts);
    }
}

TEST_F(FormatTest, FlagsSayWhatNoItemShows)
{
    files->CurrentFormat.ShowTimeOff = kTrue;
    SetItems({{999, true, true}, {120, true, false}, {410, true, false}});
    grid->ApplyScheduleFormat();
    EXPECT_FALSE(grid->CellFlagA);
    EXPECT_TRUE(grid->CellFlagB);
    EXPECT_TRUE(grid->CellFlagC);
    EXPECT_FALSE(grid->CellFlagD);
    EXPECT_EQ(files->CurrentFormat.ShowShiftIcon, kFalse);

    files->CurrentFormat.ShowTimeOff = 0;
    SetItems({{999, true, true}, {121, true, false}, {220, true, false}, {1310, true, false}});
    grid->ApplyScheduleFormat();
    EXPECT_TRUE(grid->CellFlagA);  // time-off is then the X mark
    EXPECT_FALSE(grid->CellFlagB);
    EXPECT_FALSE(grid->CellFlagC);
    EXPECT_TRUE(grid->CellFlagD);
    EXPECT_EQ(files->CurrentFormat.ShowShiftIcon, kTrue);
}

TEST_F(FormatTest, TimeFormatRule)
{
    for (auto [text, expected] : {std::pair{"h:mma/p", "h:nna/p"}, std::pair{"HH:mm", "hh:nn"},
                                  std::pair{"h:nn AM/PM", "hh:nn"}, std::pair{"hh:nn am", "h:nna/p"}}) {
        files->CurrentFormat.TimeFormat = text;
        grid->ApplyScheduleFormat();
        EXPECT_EQ(grid->TimeFormat, QString::fromLatin1(expected)) << text;
    }
}

TEST_F(FormatTest, CaptionRulerStylesAndCoverage)
{
    gridHost.stem = QStringLiteral("   ");
    grid->ApplyScheduleFormat();
    EXPECT_EQ(gridHost.caption, QStringLiteral("Tavrin"));
    gridHost.stem = QStringLiteral(" Ward 5 ");
    files->CurrentFormat.FormatName = "  Weekly";
    grid->ApplyScheduleFormat();
    EXPECT_EQ(gridHost.caption, QStringLiteral("Ward 5 - Tavrin [Weekly]"));

    files->CurrentFormat.RulerDayNameStyle = 1;
    files->CurrentFormat.RulerDateStyle = 2;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(grid->WeekdayNames[2], QStringLiteral("Mo"));
    EXPECT_EQ(grid->RulerDateFormat, QStringLiteral("d-m"));
    files->CurrentFormat.RulerDayNameStyle = 7;
    files->CurrentFormat.RulerDateStyle = 9;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(grid->WeekdayNames[2], QStringLiteral("Mo"));  // unknown styles keep the names
    EXPECT_EQ(grid->RulerDateFormat, QStringLiteral("d-m"));

    files->CurrentFormat.VisibleCoverageTotals = -3;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(files->CurrentFormat.VisibleCoverageTotals, 0);
    EXPECT_FALSE(grid->CoverageVisible);
    EXPECT_FALSE(panes.CoverageDesc->isEnabled());
    files->CurrentFormat.VisibleCoverageTotals = 2;
    grid->ApplyScheduleFormat();
    EXPECT_TRUE(grid->CoverageVisible);
    EXPECT_TRUE(panes.CoverageDesc->isEnabled());
}

TEST_F(FormatTest, ASevenPointBitmapFontMissingOnTheDisplayIsSwapped)
{
    fonts.SetFaceSizes(QStringLiteral("Small Fonts"), {6});
    files->CurrentFormat.ScreenFontName = "Small Fonts";
    files->CurrentFormat.ScreenFontSize = 7;
    files->ScheduleModified = false;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(files->CurrentFormat.ScreenFontName.str(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(grid->FormFont.name, QStringLiteral("MS Sans Serif"));
    EXPECT_TRUE(files->ScheduleModified);
    ScheduleFormatRecord stored;
    ASSERT_TRUE(files->ReadRecord(FileNo::Formats, files->CurrentFormatNo, stored));
    EXPECT_EQ(stored.ScreenFontName.str(), QStringLiteral("MS Sans Serif"));
}

TEST_F(FormatTest, AFontThatOffersSevenPointsIsKept)
{
    files->CurrentFormat.ScreenFontName = "Small Fonts";
    files->CurrentFormat.ScreenFontSize = 7;
    files->ScheduleModified = false;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(files->CurrentFormat.ScreenFontName.str(), QStringLiteral("Small Fonts"));
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(FormatTest, WhenNeitherFaceOffersTheSizeOneSwapEndsIt)
{
    fonts.SetFaceSizes(QStringLiteral("Small Fonts"), {6});
    for (auto [start, swapped] :
         {std::pair{"MS Sans Serif", "Small Fonts"}, std::pair{"Small Fonts", "MS Sans Serif"}}) {
        SCOPED_TRACE(start);
        files->CurrentFormat.ScreenFontName = start;
        files->CurrentFormat.ScreenFontSize = 7;
        grid->ApplyScheduleFormat();  // returns: no endless swapping
        EXPECT_EQ(files->CurrentFormat.ScreenFontName.str(), QString::fromLatin1(swapped));
        EXPECT_EQ(grid->FormFont.name, QString::fromLatin1(swapped));
    }
}

TEST_F(FormatTest, AnUnusableFontTakesTheGridsFont)
{
    const ScreenFont gridFont = panes.Grid->ScreenFontUsed();
    files->CurrentFormat.ScreenFontName = "";
    files->CurrentFormat.ScreenFontSize = 9;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(files->CurrentFormat.ScreenFontName.str(), gridFont.name);
    EXPECT_EQ(files->CurrentFormat.ScreenFontSize, 8.0f);  // 8.25 rounded
    EXPECT_EQ(grid->FormFont.name, gridFont.name);

    files->CurrentFormat.ScreenFontName = "Arial";
    files->CurrentFormat.ScreenFontSize = 5000;
    grid->ApplyScheduleFormat();
    EXPECT_EQ(files->CurrentFormat.ScreenFontSize, 8.0f);
}

}  // namespace
}  // namespace tavrin::test
