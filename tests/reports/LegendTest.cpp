// The Legend: its list of shifts and explanations, its option boxes, Edit on one entry, and its
// pages of framed newspaper columns.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include "ReportFixture.h"
#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "platform/ListTabStops.h"
#include "printing/PGSetup.h"
#include "reports/Legend.h"
#include "support/Golden.h"

namespace tavrin::test {
namespace {

class LegendTest : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        ShiftRecord& day = files->ShiftTable[1];
        day.QuickKey = 68;  // D
        day.BreakHours = 0.5f;
        files->ShiftTable[2].QuickKey = 191;  // beyond the shifted keys
        files->ShiftTable[3].QuickKey = 165;  // Shift+A
        ShiftRecord& training = files->ShiftTable[7];
        training.Description = "Training";
        training.Abbreviation = "T";
        // Vacation and a blank explanation only.
        for (int code = 1; code <= kExplanations; ++code) {
            if (code != 2) files->ExplTable.Description[code] = "undefined";
        }
        files->ExplTable.QuickKey[2] = 150;  // Shift+2
        files->ExplTable.Description[5] = "";
        files->ExplTable.Abbreviation[5] = "";
        // Stored, as a cancelled shift editor reads them back.
        for (int code = 1; code <= kShiftCodes; ++code)
            ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, code, files->ShiftTable[code]));
        Block().Title = "Legend";
        Block().FontName = "Arial";
        Block().FontSize = 8;
        for (int i = 0; i <= 3; ++i) Block().Margins[i] = 360;
        for (int i = 1; i <= 5; ++i) Block().Options[i] = 0;
        files->ScheduleModified = false;
    }
    ReportSettingsRecord& Block() { return files->ScheduleProps.ReportSettings[kLegendBlock]; }
    static void Type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    static int RowOf(const QListWidget& list, int item)
    {
        for (int i = 0; i < list.count(); ++i) {
            if (list.item(i)->data(Qt::UserRole).toInt() == item) return i;
        }
        return -1;
    }
};

TEST(LegendLayoutTest, QuickKeyTexts)
{
    const struct {
        int code, key;
        const char* text;
    } cases[] = {
        {1, 0, "-"},           {1, 47, "-"},          {1, 48, "[0]"},   {1, 68, "[D]"},
        {1, 90, "[Z]"},        {1, 91, "-"},          {1, 147, "-"},    {1, 148, "[SHIFT-0]"},
        {1, 165, "[SHIFT-A]"}, {1, 190, "[SHIFT-Z]"}, {1, 191, "-"},    {1, 255, "-"},
        {100, 0, "[CTRL-X]"},  {101, 68, "[CTRL-O]"}, {102, 68, "[D]"}, {-3, 165, "[SHIFT-A]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(LegendKeyText(c.code, c.key), QString::fromLatin1(c.text));
    }
}

TEST_F(LegendTest, TheListHoldsEveryDefinedShiftAndExplanationSortedIgnoringCase)
{
    files->ShiftTable[2].Abbreviation = "e";  // sorts among the capitals
    Legend dlg(Context());
    const QStringList expected = {
        "     \t                    \t-\t-\t-\t-",  // a blank explanation is listed as stored
        "*\tSee Note\t-\t-\t-\t-",
        "D\tDay\t7:00a - 3:00p\t00.50\t08.00\t[D]",
        "e\tEvening\t3:00p - 11:00p\t00.00\t08.00\t-",
        "H\tHalf\t8:00a - 12:00p\t00.00\t04.00\t[SHIFT-A]",
        "N\tNight\t11:00p - 7:00a\t00.00\t07.50\t-",
        "OC\tOn-Call\t-\t-\t-\t[CTRL-O]",
        "T\tTraining\t-\t-\t-\t-",
        "VAC  \tVacation            \t-\t-\t-\t[SHIFT-2]",
        "X\tOFF\t-\t-\t-\t[CTRL-X]",
    };
    EXPECT_EQ(Entries(*dlg.List1), expected) << Entries(*dlg.List1).join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dlg.List1->item(0)->data(Qt::UserRole).toInt(), -5);
    EXPECT_EQ(dlg.List1->item(2)->data(Qt::UserRole).toInt(), 1);
    EXPECT_EQ(dlg.List1->item(8)->data(Qt::UserRole).toInt(), -2);
    EXPECT_EQ(dlg.List1->item(9)->data(Qt::UserRole).toInt(), kTimeOffCode);
    // Entry 0 is chosen, and Edit names what it edits.
    EXPECT_EQ(dlg.List1->currentRow(), 0);
    const struct {
        int row;
        const char* caption;
    } captions[] = {{0, "Edit Explanation..."}, {2, "Edit Shift..."}, {9, "Edit Tag..."}, {1, "Edit Tag..."}};
    for (const auto& c : captions) {
        dlg.List1->setCurrentRow(c.row);
        EXPECT_EQ(dlg.Edit->text(), QString::fromLatin1(c.caption));
    }
    EXPECT_TRUE(dlg.Command1->isEnabled());
    EXPECT_TRUE(dlg.Command6->isEnabled());
    EXPECT_EQ(dlg.Options[4]->text(), QStringLiteral("Separate Shifts && Explanations"));
    EXPECT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("Command7")), dlg.Command7);
}

TEST_F(LegendTest, TheTabStopsFollowTheColumnHeads)
{
    // Whole pixels of each head from the first, plus 2, in dialog units: 1.5 pixels a unit (at 15
    // twips per pixel) or 2 (at 12); halves go to the even unit.
    EXPECT_EQ(LegendTabStops({0, 600, 2100, 3000, 3450, 3900}, 15, 1.5), (std::vector<int>{28, 95, 135, 155, 175}));
    EXPECT_EQ(LegendTabStops({120, 600, 2100, 3000, 3450, 3900}, 12, 2), (std::vector<int>{21, 84, 121, 140, 158}));
    EXPECT_EQ(LegendTabStops({7, 22, 0, 0, 0, 0}, 15, 1.5), (std::vector<int>{2, 1, 1, 1, 1}));

    Legend dlg(Context());
    const auto* delegate = qobject_cast<ListTabStopDelegate*>(dlg.List1->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    ASSERT_EQ(delegate->Stops().size(), 5u);
    EXPECT_EQ(dlg.ListCaption[2]->text(), QStringLiteral(" Start/End Time"));
    // Each field starts under its head, in the list's font.
    const QFontMetrics fm(dlg.List1->font());
    for (int i = 1; i < 6; ++i) {
        const int head = dlg.ListCaption[static_cast<std::size_t>(i)]->x() - dlg.ListCaption[0]->x();
        EXPECT_NEAR(delegate->FieldOffset(fm, i), head, 4) << i;
    }
}

TEST_F(LegendTest, TickedBoxesAreStoredAgainAtOpeningAndEveryClickIsStored)
{
    {
        Legend dlg(Context());
        EXPECT_FALSE(files->ScheduleModified);
        dlg.Options[2]->click();
        EXPECT_EQ(Block().Options[3], kTrue);
        EXPECT_TRUE(files->ScheduleModified);
        dlg.Options[2]->click();
        EXPECT_EQ(Block().Options[3], 0);
    }
    files->ScheduleModified = false;
    Block().Options[1] = 1;
    Block().Options[5] = kTrue;
    Legend dlg(Context());
    EXPECT_TRUE(dlg.Options[0]->isChecked());
    EXPECT_FALSE(dlg.Options[1]->isChecked());
    EXPECT_TRUE(dlg.Options[4]->isChecked());
    EXPECT_EQ(Block().Options[1], kTrue);
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(LegendTest, EditIsDisabledWhileTheListIsEmpty)
{
    for (int code = 1; code <= kShiftCodes; ++code) files->ShiftTable[code].Description = "undefined";
    for (int code = 1; code <= kExplanations; ++code) files->ExplTable.Description[code] = "undefined";
    Legend dlg(Context());
    EXPECT_EQ(dlg.List1->count(), 0);
    EXPECT_FALSE(dlg.Edit->isEnabled());
    EXPECT_EQ(dlg.Edit->text(), QStringLiteral("Edit Explanation..."));
    dlg.Edit_Click();  // opens nothing
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(LegendTest, EditRewritesRemovesOrResortsTheEntry)
{
    // (The explanation editor would store a blank description as "undefined".)
    files->ExplTable.Description[5] = "undefined";
    Legend dlg(Context());
    const auto editExplanation = [&](std::function<void(DefExp*)> edit) {
        const auto defExpWait = OnNextDialog<DefExp>([edit](DefExp* d) {
            EXPECT_TRUE(d->List1->isHidden());
            EXPECT_EQ(d->Text1->text(), QStringLiteral("Vacation"));
            edit(d);
        });
        dlg.Edit_Click();
    };
    const int vac = RowOf(*dlg.List1, -2);
    dlg.List1->setCurrentRow(vac);

    // Cancelled: nothing changes.
    editExplanation([](DefExp* d) {
        Type(d->Abbr, QStringLiteral("AAA"));
        d->Command2_Click();
    });
    EXPECT_EQ(RowOf(*dlg.List1, -2), vac);

    // A new description is rewritten in place.
    editExplanation([](DefExp* d) {
        Type(d->Text1, QStringLiteral("Holiday"));
        d->Command1_Click();
    });
    EXPECT_EQ(dlg.List1->item(vac)->text(), QStringLiteral("VAC  \tHoliday             \t-\t-\t-\t[SHIFT-2]"));
    EXPECT_EQ(dlg.List1->currentRow(), vac);

    // A new abbreviation sorts the entry anew and keeps it chosen.
    auto defExpWait = OnNextDialog<DefExp>([](DefExp* d) {
        Type(d->Abbr, QStringLiteral("AAA"));
        d->Command1_Click();
    });
    dlg.Edit_Click();
    const int moved = RowOf(*dlg.List1, -2);
    EXPECT_EQ(moved, 1);  // after "*"
    EXPECT_EQ(dlg.List1->currentRow(), moved);
    EXPECT_TRUE(dlg.List1->item(moved)->text().startsWith(QLatin1String("AAA  \tHoliday")));

    // Removed: the entry that took its place is chosen.
    const int count = dlg.List1->count();
    defExpWait = OnNextDialog<DefExp>([](DefExp* d) {
        Type(d->Text1, QStringLiteral("undefined"));
        d->Command1_Click();
    });
    dlg.Edit_Click();
    EXPECT_EQ(dlg.List1->count(), count - 1);
    EXPECT_EQ(RowOf(*dlg.List1, -2), -1);
    EXPECT_EQ(dlg.List1->currentRow(), moved);

    // A shift through Define Shifts, with the list hidden.
    dlg.List1->setCurrentRow(RowOf(*dlg.List1, 7));
    auto defShft2Wait = OnNextDialog<DefShft2>([](DefShft2* d) {
        EXPECT_TRUE(d->List1->isHidden());
        EXPECT_EQ(d->EditedShiftCode, 7);
        Type(d->Abbr, QStringLiteral("A"));
        d->Command1_Click();
    });
    dlg.Edit_Click();
    EXPECT_EQ(RowOf(*dlg.List1, 7), 1);
    EXPECT_EQ(dlg.List1->currentRow(), 1);
    EXPECT_EQ(dlg.List1->item(1)->text(), QStringLiteral("A\tTraining\t-\t-\t-\t-"));
    // A double-click edits too.
    defShft2Wait = OnNextDialog<DefShft2>([](DefShft2* d) { d->Command2_Click(); });
    emit dlg.List1->itemDoubleClicked(dlg.List1->item(1));
    EXPECT_EQ(dlg.List1->item(1)->text(), QStringLiteral("A\tTraining\t-\t-\t-\t-"));
}

TEST_F(LegendTest, ReportSetupHidesTheScreenFontAndShading)
{
    Legend dlg(Context());
    bool shown = false;
    const auto pGSetupWait = OnNextDialog<PGSetup>([&](PGSetup* s) {
        shown = true;
        EXPECT_TRUE(s->UseScreenFont->isHidden());
        EXPECT_TRUE(s->Frame3->isHidden());
        EXPECT_EQ(s->SSTab1->tabText(2), QStringLiteral("Color"));
        s->Command5_Click();
    });
    dlg.Command7->click();
    EXPECT_TRUE(shown);
}

TEST(LegendLayoutTest, ColumnWidthsFollowTheOptionsAndTheLastEntry)
{
    ShiftTableArray shifts;
    shifts[1].Abbreviation = "DAY";
    shifts[1].Description = "Day shift";
    shifts[1].PaidHours = 8;
    shifts[2].Abbreviation = "OFF";
    shifts[2].Description = "No hours";
    ExplanationTable expl;
    expl.Abbreviation[4] = "SICK";
    expl.Description[4] = "Sick leave, absences";
    // 100 twips a character.
    const auto width = [](const QString& s) { return 100.0 * static_cast<double>(s.size()); };
    const auto measure = [&](std::vector<int> items, LegendOptions o) {
        return MeasureLegendColumns(items, shifts, expl, QStringLiteral("hh:nna/p"), o, width).Width;
    };
    const LegendOptions all{true, true, true, true, false};
    using W = std::array<double, 7>;
    EXPECT_EQ(measure({1, 2, -4}, all), (W{0, 400, 2000, 1500, 600, 500, 900}));
    // The key column of the last entry: a shift's is narrower.
    EXPECT_EQ(measure({-4, 1}, all)[6], 700);
    // Without hours no times, break or length columns; without keys no key column.
    EXPECT_EQ(measure({2, -4}, all), (W{0, 400, 2000, 0, 0, 0, 900}));
    EXPECT_EQ(measure({1}, LegendOptions{true, false, false, false, false}), (W{0, 300, 900, 1500, 0, 0, 0}));
    // Column 1 is never narrower than "MM".
    EXPECT_EQ(measure({}, all), (W{0, 200, 0, 0, 0, 0, 0}));
    const LegendColumns c = MeasureLegendColumns({1, 2, -4}, shifts, expl, QStringLiteral("hh:nna/p"), all, width);
    EXPECT_EQ(c.SetWidth, 400 + 2000 + 1500 + 600 + 500 + 900 + 6 * 100);
    EXPECT_EQ(c.Starts(1000), (W{0, 1000, 1500, 3600, 5200, 5900, 6500}));

    // Option 5: all shifts, the special codes among them, before all explanations.
    EXPECT_EQ(LegendOrder({-5, 102, 1, -2, 100}, true), (std::vector<int>{102, 1, 100, -5, -2}));
    EXPECT_EQ(LegendOrder({-5, 102, 1, -2, 100}, false), (std::vector<int>{-5, 102, 1, -2, 100}));
}

TEST(LegendLayoutTest, LineColours)
{
    VbArray<Byte, 1, kShiftCodes> colours;
    colours.fill(0);
    colours[1] = 4;
    colours[2] = 200;  // no such palette colour
    colours[kTimeOffCode] = 9;
    const struct {
        int item;
        bool inColour;
        std::uint32_t colour;
    } cases[] = {
        {1, true, 0x000080},    {1, false, 0}, {2, true, 0},   {kTimeOffCode, true, 0x0000FF},
        {kOnCallCode, true, 0}, {-1, true, 0}, {300, true, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(LegendLineColour(c.item, c.inColour, colours), c.colour) << c.item;
}

TEST(LegendLayoutTest, ColumnsFillDownThenAcrossThenOntoANewPage)
{
    // Three lines of 100 (130 apart) fit in a column; two sets fit on a page.
    LegendPages pages({0, 1000, 100, 500, 10, 5, 400, 100});
    using E = LegendPages::Event;
    using S = LegendPages::Step;
    std::vector<E> events;
    for (int i = 0; i < 8; ++i) {
        for (const E& e : pages.Next()) events.push_back(e);
    }
    EXPECT_EQ(events, (std::vector<E>{{S::Entry, 5, 110},
                                      {S::Entry, 5, 240},
                                      {S::Entry, 5, 370},
                                      {S::Rule, 405, 0},
                                      {S::Entry, 410, 110},
                                      {S::Entry, 410, 240},
                                      {S::Entry, 410, 370},
                                      {S::NewPage, 0, 0},
                                      {S::Entry, 5, 110},
                                      {S::Entry, 5, 240}}));
}

TEST_F(LegendTest, GoldenPreviewOverSeveralPagesEachFramedUnderItsHeader)
{
    for (int e = 10; e <= 70; ++e) {
        files->ExplTable.Description[e] = QStringLiteral("Reason %1").arg(e);
        files->ExplTable.Abbreviation[e] = QStringLiteral("R%1").arg(e);
    }
    Block().FontSize = 16;
    Block().PrintInColour = kTrue;
    Block().Options[2] = kTrue;
    Block().Options[3] = kTrue;
    Legend dlg(Context());
    const QString dump = Preview(dlg);
    const QStringList lines = dump.split(QLatin1Char('\n'));
    // Every page: its header with its number, then its frame before the next page begins.
    const int pages = static_cast<int>(lines.count(QStringLiteral("NewPage"))) + 1;
    ASSERT_GE(pages, 2);
    const QStringList texts = Texts(dump);
    for (int p = 1; p <= pages; ++p) EXPECT_TRUE(texts.contains(QStringLiteral("Page: %1").arg(p))) << p;
    EXPECT_FALSE(texts.contains(QStringLiteral("Page: %1").arg(pages + 1)));
    const QStringList frame = lines.mid(lines.indexOf(QStringLiteral("NewPage")) - 4, 4);
    ASSERT_EQ(frame.filter(QRegularExpression(QStringLiteral("^Line "))).size(), 4);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == QLatin1String("NewPage") || lines[i] == QLatin1String("EndDoc")) {
            EXPECT_EQ(lines.mid(i - 4, 4), frame) << i;
        }
    }
    // Besides the frames' sides, one rule between the columns of the first page.
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Line (\\d+) 534 \\1 15240$"))).size(), 2 * pages + 1);
    // The last page is counted: the window shows all of them.
    EXPECT_EQ(rec.PreviewPageCount, pages);
    // Day (colour 4) in dark red, Time-Off in palette red, each line back to black after it.
    const qsizetype day = lines.indexOf(QStringLiteral("ForeColor 0x000080"));
    ASSERT_GE(day, 0);
    EXPECT_TRUE(lines[day + 1].endsWith(QLatin1String("\"D\""))) << lines[day + 1].toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("ForeColor 0x0000FF")));
    // Break and length as printed, the break marked.
    EXPECT_TRUE(texts.contains(QStringLiteral("0.50b")));
    EXPECT_TRUE(texts.contains(QStringLiteral("8.00")));
    ExpectMatchesGolden(dump.toUtf8(), QStringLiteral(TAVRIN_TEST_DATA "/reports/Legend.txt"));
}

TEST_F(LegendTest, OptionFivePrintsShiftsBeforeExplanations)
{
    files->ExplTable.Description[5] = "undefined";
    const QStringList descriptions = {"See Note", "Day",      "Evening",  "Half", "Night",
                                      "On-Call",  "Training", "Vacation", "OFF"};
    const auto printed = [&](bool separate) {
        Block().Options[5] = separate ? kTrue : 0;
        Legend dlg(Context());
        QStringList out;
        for (const QString& t : Texts(Preview(dlg))) {
            if (descriptions.contains(t)) out << t;
        }
        return out;
    };
    // One alphabetical run by abbreviation, or the shifts (the special codes among them) first.
    EXPECT_EQ(printed(false), descriptions);
    EXPECT_EQ(printed(true),
              (QStringList{"See Note", "Day", "Evening", "Half", "Night", "On-Call", "Training", "OFF", "Vacation"}));
}

TEST_F(LegendTest, APrinterErrorEndsThePrintOnce)
{
    printer.Fail(QStringLiteral("Print"), 4, -1);
    Legend dlg(Context());
    dlg.Command1_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_EQ(printer.Count(QStringLiteral("Print")), 5);
    EXPECT_TRUE(dlg.isEnabled());
}

}  // namespace
}  // namespace tavrin::test
