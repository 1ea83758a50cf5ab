// Editing in the main window: keys and hot keys in the grid, the clipboard across schedules,
// continuous name entry, requirement numbers, scrolling by a row or a day, Find Name.

#include "analysis/HourFRM.h"
#include "app/FindName.h"
#include "app/MainFormFixture.h"
#include "app/Pager.h"
#include "editing/QuerySel.h"
#include "app/SelPaste.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "store/Defaults.h"
#include "support/ModalDialogs.h"
#include "support/TypedTexts.h"

#include <QAbstractItemView>
#include <QAction>
#include <QBackingStore>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

namespace tavrin::test {
namespace {

class MainFormEditTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        grid().Panes().Grid->setFocus();
    }
    GridPaint& grid() { return form->Painter(); }
    // Shift `code` from 7:00 to 15:00 with a quick key.
    void DefineShift(int code, const char* abbreviation, int quickKey)
    {
        ShiftRecord s = MakeUnusedShift();
        s.Description = QStringLiteral("Shift %1").arg(code);
        s.Abbreviation = abbreviation;
        s.StartTime = 7.0 / 24;
        s.EndTime = 15.0 / 24;
        s.PaidHours = 8;
        s.QuickKey = static_cast<Byte>(quickKey);
        files->ShiftTable[code] = s;
        ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, code, s));
        form->LoadHotKeyArray();
    }
    void Tag(int row, int day)
    {
        grid().CursorRow = row;
        grid().CursorDay = day;
        grid().TagDayCells(row, day, 1);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(form->Grid, key, mods);
    }
    const DayRecord& Day(int column) { return files->ColumnDay(column); }
    int Slot(int displayRow) const { return files->ScheduleProps.RowMap[displayRow]; }
    // Pasted as the user pastes: the box's whole text replaced.
    static void Paste(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        box->insert(text);
    }
    EmployeeTable StoredEmployees() const
    {
        EmployeeTable t;
        EXPECT_TRUE(files->ReadRecord(FileNo::Employees, 1, t));
        return t;
    }
};

TEST_F(MainFormEditTest, HotKeysAssignAndAdvance_ScrollingAtTheLastVisibleDay)
{
    DefineShift(1, "D", 'D');
    DefineShift(2, "N", 'D' + 100);  // the same key with Shift
    Tag(1, 3);
    Key(Qt::Key_D);
    EXPECT_EQ(Day(3).Shift1Code[Slot(1)], 1);
    EXPECT_EQ(grid().FirstTaggedDay, 4);  // one day tagged: the tag moves on, which ends Undo
    EXPECT_FALSE(form->Edit_Undo->isEnabled());

    Key(Qt::Key_D, Qt::ShiftModifier);
    EXPECT_EQ(Day(4).Shift1Code[Slot(1)], 2);

    // At the last visible day the view scrolls one day and the tag stays on the last column.
    Tag(1, 28);
    Key(Qt::Key_D);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    EXPECT_EQ(Day(27).Shift1Code[Slot(1)], 1);  // the day that was last is now one column left
    EXPECT_EQ(grid().FirstTaggedDay, 28);
    EXPECT_EQ(grid().CursorDay, 28);

    // Several days tagged: all get the shift and the run stays.
    Tag(2, 5);
    grid().CursorDay = 7;
    grid().TagDayCells(2, 7, 2);
    Key(Qt::Key_D);
    for (int c = 5; c <= 7; ++c) EXPECT_EQ(Day(c).Shift1Code[Slot(2)], 1) << c;
    EXPECT_EQ(grid().FirstTaggedDay, 5);
    EXPECT_EQ(grid().LastTaggedDay, 7);
    EXPECT_EQ(form->Edit_Undo->text(), "&Undo Assign");
    EXPECT_TRUE(form->Edit_Undo->isEnabled());
}

TEST_F(MainFormEditTest, EnterIsTheRightArrow_ShiftExtendsTheRun)
{
    Tag(1, 27);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid().FirstTaggedDay, 28);
    Key(Qt::Key_Return);  // past the last visible day: one day forward
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    EXPECT_EQ(grid().FirstTaggedDay, 28);

    Key(Qt::Key_Right, Qt::ShiftModifier);  // at the end, Shift+Right neither scrolls nor extends
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    EXPECT_EQ(grid().LastTaggedDay, 28);

    Tag(1, 2);
    Key(Qt::Key_Left, Qt::ShiftModifier);  // one day tagged: nothing
    EXPECT_EQ(grid().FirstTaggedDay, 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid().DaysTagged(), 3);
    Key(Qt::Key_Left, Qt::ShiftModifier);  // shrinks from the right
    EXPECT_EQ(grid().LastTaggedDay, 3);
    Key(Qt::Key_Home);
    EXPECT_EQ(grid().FirstTaggedDay, 1);
    Key(Qt::Key_End);
    EXPECT_EQ(grid().FirstTaggedDay, 28);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid().CursorRow, 2);
}

TEST_F(MainFormEditTest, RightFromARunAtTheLastVisibleDayTagsTheNewLastDay)
{
    Tag(1, 26);
    grid().CursorDay = 28;
    grid().TagDayCells(1, 28, 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    EXPECT_EQ(grid().FirstTaggedDay, 28);
    EXPECT_EQ(grid().LastTaggedDay, 28);
    EXPECT_EQ(grid().CursorDay, 28);
}

TEST_F(MainFormEditTest, CtrlXMovesOnOnlyWhenTheKeyRanTheCommand)
{
    Tag(1, 3);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Day(3).Shift1Code[Slot(1)], kTimeOffCode);
    EXPECT_EQ(grid().FirstTaggedDay, 4);

    // In the note box Ctrl+X cuts text; a later click on the tool button must not move the tag.
    form->NotePad->setFocus();
    ASSERT_TRUE(form->NotePad->hasFocus());
    form->NotePad->setText("abc");
    form->NotePad->selectAll();
    QTest::keyClick(form->NotePad, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Day(4).Shift1Code[Slot(1)], 0);
    grid().Panes().Grid->setFocus();
    form->ButtonTimeOff_Click();
    EXPECT_EQ(Day(4).Shift1Code[Slot(1)], kTimeOffCode);
    EXPECT_EQ(grid().FirstTaggedDay, 4);
}

TEST_F(MainFormEditTest, CtrlLThenAChoiceFromTheListMovesOn)
{
    ASSERT_GT(form->Explainations->count(), 2);
    const int code1 = form->Explainations->itemData(1).toInt();
    const int code2 = form->Explainations->itemData(2).toInt();
    Tag(1, 3);
    Key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(form->Explainations->hasFocus());
    // The timer opens the list; the choice is made in it.
    QAbstractItemView* list = form->Explainations->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 2000));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Day(3).ExplanationCode[Slot(1)], code1);
    EXPECT_EQ(grid().FirstTaggedDay, 4);
    EXPECT_TRUE(grid().Panes().Grid->hasFocus());

    // In the closed list Down only browses; Enter applies, and moves on as Ctrl+L asked.
    Tag(1, 4);
    form->Explainations->setFocus();
    ASSERT_TRUE(form->Explainations->hasFocus());
    form->Explainations->setCurrentIndex(1);
    QTest::keyClick(form->Explainations, Qt::Key_Down);
    EXPECT_EQ(form->Explainations->currentIndex(), 2);
    EXPECT_EQ(Day(4).ExplanationCode[Slot(1)], 0);
    EXPECT_TRUE(form->Explainations->hasFocus());
    form->AdvanceAfterEntry = true;
    QTest::keyClick(form->Explainations, Qt::Key_Return);
    EXPECT_EQ(Day(4).ExplanationCode[Slot(1)], code2);
    EXPECT_EQ(grid().FirstTaggedDay, 5);
}

TEST_F(MainFormEditTest, TheSpinButton)
{
    // Slowly for the first days of a press, then fast; a new press starts slowly again.
    for (int i = 0; i < 4; ++i) form->SpinButton1_SpinUp();
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 4);
    EXPECT_EQ(form->SpinUp->autoRepeatInterval(), 25);
    form->SpinButton1_SpinDown();
    form->SpinButton1_SpinUp();
    EXPECT_EQ(form->SpinUp->autoRepeatInterval(), 175);

    // Held down at the end of the period: one question, not one with every repeat.
    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(files->PeriodDays() - files->VisibleDays);
    ASSERT_TRUE(files->LoadVisibleDays());
    msg.Clear();
    for (int i = 0; i < 20; ++i) msg.Answer(Mb::No);
    QTest::mousePress(form->SpinUp, Qt::LeftButton);
    QTest::qWait(900);
    QTest::mouseRelease(form->SpinUp, Qt::LeftButton);
    EXPECT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, files->PeriodDays() - files->VisibleDays);
}

TEST_F(MainFormEditTest, DraggingBackFromBeyondTheLastDayExtendsTheRun)
{
    const double y = grid().RowHeight / 2.0;
    const int days = files->VisibleDays;
    ASSERT_LT(days * grid().CellWidth, form->Grid->ScaleWidthTw());  // a margin right of the last day
    form->Grid_MouseDown(1, 0, 4 * grid().CellWidth + 10, y);
    form->Grid_MouseMove(1, 0, 10 * grid().CellWidth + 10, y);
    form->Grid_MouseMove(1, 0, days * grid().CellWidth + 1, y);  // beyond: the run stays
    EXPECT_EQ(grid().LastTaggedDay, 11);
    form->Grid_MouseMove(1, 0, (days - 1) * grid().CellWidth + 10, y);  // back on the last day
    form->Grid_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(grid().FirstTaggedDay, 5);
    EXPECT_EQ(grid().LastTaggedDay, days);
}

TEST_F(MainFormEditTest, SpaceErasesAndDeleteClears)
{
    DefineShift(1, "D", 'D');
    Tag(1, 1);
    Key(Qt::Key_D);
    Tag(1, 1);
    Key(Qt::Key_Space);
    EXPECT_EQ(Day(1).Shift1Code[Slot(1)], 0);
    EXPECT_EQ(grid().FirstTaggedDay, 2);  // Space advances one day too
    Tag(1, 1);
    form->ButtonCall_Click();
    EXPECT_EQ(Day(1).OnCallFlag[Slot(1)], 1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Day(1).OnCallFlag[Slot(1)], 0);
    EXPECT_EQ(form->Edit_Undo->text(), "&Undo Clear");
    form->Edit_Undo_Click();
    EXPECT_EQ(Day(1).OnCallFlag[Slot(1)], 1);
    EXPECT_FALSE(form->Edit_Undo->isEnabled());
}

TEST_F(MainFormEditTest, CutOnADividerRowIsRefusedOnce)
{
    files->EmpTable.Name[1] = "/Nights";
    Tag(1, 1);
    msg.Clear();
    form->Edit_Cut_Click();
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_FALSE(form->Edit_Paste->isEnabled());
}

TEST_F(MainFormEditTest, TheClipboardSurvivesCloseAndOpen)
{
    DefineShift(1, "D", 'D');
    Tag(1, 1);
    Key(Qt::Key_D);
    Tag(1, 1);
    DayRecord& d = files->ColumnDay(1);
    ASSERT_TRUE(files->StoreCellNote(d, Slot(1), "Bring keys"));
    form->Edit_Copy_Click();
    EXPECT_TRUE(form->Edit_Paste->isEnabled());
    form->File_Save_Click();
    form->File_Close_Click();

    Open(Doc("other.QRD"));
    ASSERT_FALSE(form->NoScheduleOpen);
    Tag(3, 5);
    form->Edit_Paste_Click();
    EXPECT_EQ(Day(5).Shift1Code[Slot(3)], 1);  // by code
    EXPECT_EQ(files->GetNoteText(Day(5).NoteNumber[Slot(3)]), "Bring keys");  // by text
    EXPECT_EQ(form->Edit_Undo->text(), "&Undo Paste");
}

TEST_F(MainFormEditTest, ContinuousNameEntrySkipsDividers)
{
    files->EmpTable.Name[2] = "/";
    form->EmpList_MouseDown(1, 0, 100, 10);  // row 1 of the name column
    ASSERT_TRUE(form->EmpText->isVisible());
    EXPECT_TRUE(form->EmpText->hasFocus());
    QTest::keyClicks(form->EmpText, "Ann");
    QTest::keyClick(form->EmpText, Qt::Key_Return);
    EXPECT_TRUE(form->EmpText2->hasFocus());
    QTest::keyClicks(form->EmpText2, "RN");
    QTest::keyClick(form->EmpText2, Qt::Key_Return);
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_EQ(files->EmpTable.Position[1].str(), "RN");
    EXPECT_TRUE(files->ScheduleModified);
    // The divider in row 2 is skipped: the editors are open on row 3.
    EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 3);
    EXPECT_TRUE(form->EmpText->isVisible());
    EXPECT_TRUE(form->EmpText->hasFocus());
    QTest::keyClicks(form->EmpText, "Bob");
    grid().Panes().Grid->setFocus();  // leaving the editor stores the name
    EXPECT_EQ(files->EmpTable.Name[3].str(), "Bob");
    EXPECT_FALSE(form->EmpText->isVisible());
}

TEST_F(MainFormEditTest, WhatIsTypedInTheEditorsIsKeptWhenAnotherRowIsClicked)
{
    const int h = grid().RowHeight;
    form->EmpList_MouseDown(1, 0, 100, 10);
    QTest::keyClicks(form->EmpText, "Ann");
    form->EmpList_MouseDown(1, 0, 100, 2 * h + 10);  // the name of row 3
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_TRUE(form->EmpText->hasFocus());
    EXPECT_EQ(form->EmpText->text(), "");
    QTest::keyClicks(form->EmpText, "Cy");
    form->EmpPos_MouseDown(1, 0, 100, 4 * h + 10);  // the position of row 5
    EXPECT_EQ(files->EmpTable.Name[3].str(), "Cy");
    EXPECT_FALSE(form->EmpText->isVisible());
    QTest::keyClicks(form->EmpText2, "RN");
    grid().Panes().Grid->setFocus();
    EXPECT_EQ(files->EmpTable.Position[5].str(), "RN");
    EXPECT_EQ(files->EmpTable.Name[5].str(), "");
    EXPECT_EQ(files->EmpTable.Position[3].str(), "");
}

TEST_F(MainFormEditTest, ScrollingTheRowsWhileANameIsTypedStoresIt)
{
    form->EmpList_MouseDown(1, 0, 100, 10);
    ASSERT_TRUE(form->EmpText2->isVisible());
    QTest::keyClicks(form->EmpText, "Ann");
    form->VScroll2->setValue(1);
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_EQ(grid().TopRow, 2);
    EXPECT_EQ(grid().CursorRow, 1);  // the tag keeps its screen row
    EXPECT_FALSE(form->EmpText->isVisible());
    EXPECT_FALSE(form->EmpText2->isVisible());
    EXPECT_TRUE(grid().Panes().Grid->hasFocus());
}

TEST_F(MainFormEditTest, ANameOrPositionTheFileCannotHoldStaysInItsEditor)
{
    for (const TypedText& t : TypedTexts()) {
        SCOPED_TRACE(t.text.toStdString());
        const bool kept = t.named.isEmpty();
        form->KillTextBoxes();
        files->EmpTable.Name[1] = "Ann";
        files->EmpTable.Position[1] = "RN";
        ASSERT_TRUE(files->WriteRecord(FileNo::Employees, 1, files->EmpTable));
        msg.Clear();
        form->EmpList_MouseDown(1, 0, 100, 10);
        ASSERT_TRUE(form->EmpText->hasFocus());

        // Enter moves on to the position, leaving the name to be stored.
        Paste(form->EmpText, t.text);
        QTest::keyClick(form->EmpText, Qt::Key_Return);
        if (kept) {
            EXPECT_TRUE(msg.shown.empty());
            EXPECT_EQ(StoredEmployees().Name[1].str(), t.text);
        } else {
            ASSERT_EQ(msg.shown.size(), 1u);
            EXPECT_EQ(msg.shown[0].prompt, RefusalOf(t.named));
            EXPECT_EQ(msg.shown[0].title, "Error");
            EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
            EXPECT_TRUE(form->EmpText->hasFocus());
            EXPECT_EQ(form->EmpText->text(), t.text);
            EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
            EXPECT_EQ(StoredEmployees().Name[1].str(), "Ann");
            // Corrected, it is stored.
            msg.Clear();
            Paste(form->EmpText, QStringLiteral("Ann B"));
            QTest::keyClick(form->EmpText, Qt::Key_Return);
            EXPECT_TRUE(msg.shown.empty());
            EXPECT_EQ(StoredEmployees().Name[1].str(), "Ann B");
        }
        ASSERT_TRUE(form->EmpText2->hasFocus());

        // Enter in the position ends the row: continuous entry goes on to the next one.
        Paste(form->EmpText2, t.text);
        QTest::keyClick(form->EmpText2, Qt::Key_Return);
        if (kept) {
            EXPECT_TRUE(msg.shown.empty());
            EXPECT_EQ(StoredEmployees().Position[1].str(), t.text);
            EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 2);
            continue;
        }
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, RefusalOf(t.named));
        EXPECT_TRUE(form->EmpText2->hasFocus());
        EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 1);
        EXPECT_EQ(StoredEmployees().Position[1].str(), "RN");
        // Neither scrolling nor a click in the grid takes it, and the rows and the tag stay.
        form->VScroll2->setValue(1);
        QTest::mouseClick(form->Grid, Qt::LeftButton, {}, QPoint(200, 3 * grid().RowHeight / grid().TPPY));
        EXPECT_EQ(msg.shown.size(), 3u);
        EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 1);
        EXPECT_EQ(grid().TopRow, 1);
        EXPECT_EQ(form->VScroll2->value(), 0);
        EXPECT_TRUE(form->EmpText2->hasFocus());
        EXPECT_EQ(form->EmpText2->text(), t.text);
        EXPECT_EQ(StoredEmployees().Position[1].str(), "RN");
    }
}

TEST_F(MainFormEditTest, ANoteTheFileCannotHoldIsNotSaved)
{
    ASSERT_TRUE(files->StoreCellNote(files->ColumnDay(1), Slot(1), "Bring keys"));
    for (const TypedText& t : TypedTexts()) {
        SCOPED_TRACE(t.text.toStdString());
        Tag(1, 1);
        const QString before = form->NotePad->text();
        const int noteNo = Day(1).NoteNumber[Slot(1)];
        const auto records = files->NoteRecordCount();
        msg.Clear();
        form->NotePad->setFocus();
        Paste(form->NotePad, t.text);
        QTest::mouseClick(form->NoteCheck, Qt::LeftButton);  // Save Note
        if (t.named.isEmpty()) {
            EXPECT_TRUE(msg.shown.empty());
            EXPECT_EQ(files->GetNoteText(Day(1).NoteNumber[Slot(1)]), t.text);
            continue;
        }
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, RefusalOf(t.named));
        EXPECT_EQ(msg.shown[0].title, "Error");
        EXPECT_TRUE(form->NotePad->hasFocus());
        EXPECT_EQ(form->NotePad->text(), t.text);
        EXPECT_EQ(Day(1).NoteNumber[Slot(1)], noteNo);
        EXPECT_EQ(files->GetNoteText(noteNo), before);
        EXPECT_EQ(files->NoteRecordCount(), records);
        // Esc still gives back the note the entry began with.
        QTest::keyClick(form->NotePad, Qt::Key_Escape);
        EXPECT_EQ(form->NotePad->text(), before);
    }
}

// A wheel turn over a widget: 120 a notch, positive away from the user.
void Wheel(QWidget* over, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent e(at, over->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &e);
}

// The system's wheel lines for one test.
class WheelLines {
public:
    explicit WheelLines(int lines) : old_(QApplication::wheelScrollLines())
    {
        QApplication::setWheelScrollLines(lines);
    }
    ~WheelLines() { QApplication::setWheelScrollLines(old_); }

private:
    int old_;
};

TEST_F(MainFormEditTest, TheWheelScrollsRowsAndWithShiftDaysUpToTheEnds)
{
    const WheelLines lines(3);
    for (int r = 1; r <= 200; ++r) files->EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
    grid().LayoutAndRedrawSchedule();
    Tag(2, 3);
    const auto showsTwin = [](Pane* pane, const Surface& twin, const char* what) {
        const QImage shown = pane->Screen().Image();
        EXPECT_EQ(shown, twin.Image().copy(0, 0, shown.width(), shown.height())) << what;
    };

    // A notch down over the cells, the names, the positions or the coverage lines moves the
    // rows by the wheel lines, as the scroll bar does; the tag keeps its screen row.
    const int maximum = form->VScroll2->maximum();
    int top = 1;
    QWidget* const panes[] = {form->Grid, form->EmpList, form->EmpPos, form->CoverageDesc, form->Coverage};
    for (QWidget* pane : panes) {
        if (!pane->isVisible()) continue;
        SCOPED_TRACE(pane->objectName().toStdString());
        Wheel(pane, {0, -120});
        top += 3;
        EXPECT_EQ(grid().TopRow, top);
        EXPECT_EQ(form->VScroll2->value(), top - 1);
        EXPECT_EQ(grid().CurrentRow, 2);
        EXPECT_EQ(grid().DisplayRow(grid().CurrentRow), top + 1);
    }
    // Turns of less than a line add up; up past the first row stops there, down past the last
    // at the end.
    Wheel(form->Grid, {0, 20});
    EXPECT_EQ(grid().TopRow, top);
    Wheel(form->Grid, {0, 20});
    EXPECT_EQ(grid().TopRow, top - 1);
    Wheel(form->Grid, {0, 120 * 20});
    EXPECT_EQ(grid().TopRow, 1);
    form->VScroll2->setValue(maximum - 1);
    Wheel(form->Grid, {0, -120});
    EXPECT_EQ(form->VScroll2->value(), maximum);

    // Shift+wheel, or a sideways wheel, moves the days as the spin button does, by the wheel
    // lines; the tag keeps its screen column.
    ASSERT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    Wheel(form->Grid, {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 3);
    EXPECT_EQ(grid().FirstTaggedDay, 3);
    Wheel(form->EmpList, {-120, 0});
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 6);
    Wheel(form->Grid, {0, 120}, Qt::ShiftModifier);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 3);
    // Only the days coming in were drawn, and the panes show their twins.
    const auto drawnAsAfterAFullRedraw = [&](const char* what) {
        SCOPED_TRACE(what);
        grid().TagDayCells(grid().CurrentRow, grid().CursorDay, 3);  // the highlight off
        const QImage cells = grid().GridBack.Image().copy();
        const QImage ruler = grid().DayRulerBack.Image().copy();
        const QImage coverage = grid().CoverageBack.Image().copy();
        grid().DrawScheduleCells(1, files->VisibleDays, 1, grid().VisibleRows);
        grid().DrawDayColumns(1, files->VisibleDays);
        if (grid().CoverageVisible) grid().DrawCoverageCounts(1, files->VisibleDays, false);
        EXPECT_EQ(cells, grid().GridBack.Image());
        EXPECT_EQ(ruler, grid().DayRulerBack.Image());
        // The coverage as far as its pane shows it.
        const QRect seen(0, 0, form->Coverage->Screen().Width(), form->Coverage->Screen().Height());
        EXPECT_EQ(coverage.copy(seen), grid().CoverageBack.Image().copy(seen));
        grid().TagDayCells(grid().CurrentRow, grid().CursorDay, 3);
        showsTwin(form->Grid, grid().GridBack, "cells");
        showsTwin(form->DayRuler, grid().DayRulerBack, "ruler");
        const int first = files->ScheduleProps.FirstVisibleDay;
        for (int c = 1; c <= files->VisibleDays; ++c) EXPECT_EQ(files->SlotDayNo[files->ColumnSlot[c]], first + c) << c;
    };
    drawnAsAfterAFullRedraw("three days");
    {
        // More days a notch than are shown.
        const WheelLines many(files->VisibleDays + 2);
        Wheel(form->Grid, {0, -120}, Qt::ShiftModifier);
        EXPECT_EQ(files->ScheduleProps.FirstVisibleDay,
                  std::min(3 + files->VisibleDays + 2, files->PeriodDays() - files->VisibleDays));
        drawnAsAfterAFullRedraw("more than a page");
    }
    // At either end of the period it stops there, without a question.
    msg.Clear();
    Wheel(form->Grid, {0, 120 * 100}, Qt::ShiftModifier);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    const int last = files->PeriodDays() - files->VisibleDays;
    for (int i = 0; i < 100 && files->ScheduleProps.FirstVisibleDay < last; ++i)
        Wheel(form->Grid, {0, -120 * 4}, Qt::ShiftModifier);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, last);
    Wheel(form->Grid, {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, last);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(msg.beeps, 0);
    for (int c = 1; c <= files->VisibleDays; ++c) EXPECT_EQ(files->SlotDayNo[files->ColumnSlot[c]], last + c) << c;
}

TEST_F(MainFormEditTest, WhatWasEditedBeforeAWheelScrollIsKept)
{
    const WheelLines lines(3);
    DefineShift(1, "D", 'D');
    Tag(1, 2);
    Key(Qt::Key_D);
    ASSERT_EQ(Day(2).Shift1Code[Slot(1)], 1);
    // The day edited leaves the window: it is in the day file.
    Wheel(form->Grid, {0, -120}, Qt::ShiftModifier);
    ASSERT_EQ(files->ScheduleProps.FirstVisibleDay, 3);
    DayRecord day;
    ASSERT_TRUE(files->ReadRecord(FileNo::Days, 2, day));
    EXPECT_EQ(day.Shift1Code[Slot(1)], 1);

    // A name being typed is stored as the scroll bar stores it, the wheel over the editor too.
    form->EmpList_MouseDown(1, 0, 100, 10);
    ASSERT_TRUE(form->EmpText->isVisible());
    QTest::keyClicks(form->EmpText, "Ann");
    Wheel(form->EmpText, {0, -120});
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_EQ(grid().TopRow, 4);
    EXPECT_FALSE(form->EmpText->isVisible());
    EXPECT_TRUE(grid().Panes().Grid->hasFocus());
}

TEST_F(MainFormEditTest, RequirementNumbersWithTheTwoButtonsAndTyped)
{
    files->EmpTable.Name[1] = "/Nurses needed";
    DividerPropertiesRecord req = MakeDefaultDivider();
    req.Style = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, Slot(1), req));
    Tag(1, 2);
    ASSERT_TRUE(grid().OnRequirementRow);
    EXPECT_EQ(form->NoteX->text(), "+");
    form->NoteX_Click();
    form->NoteX_Click();
    EXPECT_EQ(Day(2).Shift1Code[Slot(1)], kNumberCellCode);
    EXPECT_EQ(Day(2).NoteNumber[Slot(1)], 2);
    form->NoteCheck_Click();
    EXPECT_EQ(Day(2).NoteNumber[Slot(1)], 1);
    form->NoteCheck_Click();
    form->NoteCheck_Click();  // below 1 the cell is empty
    EXPECT_EQ(Day(2).Shift1Code[Slot(1)], 0);

    // A digit typed in the grid starts the entry; Enter stores it and moves on.
    grid().Panes().Grid->setFocus();
    QTest::keyClick(form->Grid, Qt::Key_1);
    EXPECT_TRUE(form->NotePad->hasFocus());
    QTest::keyClicks(form->NotePad, "2.5x");  // the letter is not taken
    EXPECT_EQ(form->NotePad->text(), "12.5");
    QTest::keyClick(form->NotePad, Qt::Key_Return);
    EXPECT_EQ(Day(2).NoteNumber[Slot(1)], 12);
    EXPECT_EQ(Day(2).Shift2Code[Slot(1)], 50);
    EXPECT_EQ(grid().FirstTaggedDay, 3);
}

TEST_F(MainFormEditTest, OneRowAndOneDayScrollsPaintWhatAFullRedrawPaints)
{
    DefineShift(1, "D", 'D');
    for (int r = 1; r <= grid().VisibleRows + 1; ++r) {
        files->EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
        files->ColumnDay(1 + r % 28).Shift1Code[Slot(r)] = 1;
        files->MarkColumnDirty(1 + r % 28);
    }
    grid().DrawScheduleCells(1, files->VisibleDays, 1, grid().VisibleRows);
    grid().DrawNameColumn(1, grid().VisibleRows);
    Tag(1, 1);

    const auto fullRedraw = [&] {
        grid().DrawScheduleCells(1, files->VisibleDays, 1, grid().VisibleRows);
        grid().DrawNameColumn(1, grid().VisibleRows);
        grid().DrawDayColumns(1, files->VisibleDays);
    };
    const auto imagesAfterFullRedraw = [&] {
        grid().TagDayCells(grid().CurrentRow, grid().CursorDay, 3);  // the highlight off
        const QImage scrolledGrid = grid().GridBack.Image().copy();
        const QImage scrolledNames = grid().EmpListBack.Image().copy();
        const QImage scrolledRuler = grid().DayRulerBack.Image().copy();
        fullRedraw();
        EXPECT_EQ(scrolledGrid, grid().GridBack.Image());
        EXPECT_EQ(scrolledNames, grid().EmpListBack.Image());
        EXPECT_EQ(scrolledRuler, grid().DayRulerBack.Image());
        grid().TagDayCells(grid().CurrentRow, grid().CursorDay, 3);
    };

    form->VScroll2->setValue(1);  // one row down
    EXPECT_EQ(grid().TopRow, 2);
    imagesAfterFullRedraw();
    form->VScroll2->setValue(0);  // one row up
    EXPECT_EQ(grid().TopRow, 1);
    imagesAfterFullRedraw();
    form->ScrollForwardOneDay();
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 1);
    imagesAfterFullRedraw();
    form->ScrollBackOneDay();
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
    imagesAfterFullRedraw();

    // Before the period start: a beep and the question, nothing moves.
    msg.Answer(Mb::No);
    form->ScrollBackOneDay();
    EXPECT_EQ(msg.Last(),
              "The requested date is not in this schedule file.  Do you wish to add additional days to this schedule file?");
    EXPECT_EQ(files->ScheduleProps.FirstVisibleDay, 0);
}

TEST_F(MainFormEditTest, NamesStayInsideTheirRowsAlsoAfterAPageScroll)
{
    // Glyphs that rise above their line box, on every row of the first page.
    const int firstPage = grid().VisibleRows;
    for (int r = 1; r <= firstPage; ++r) {
        files->EmpTable.Name[r] = QStringLiteral("\u0160imek, Mar\u00eda");
        files->EmpTable.Position[r] = QStringLiteral("\u00c5ngstr\u00f6m");
    }
    grid().DrawNameColumn(1, grid().VisibleRows);
    grid().DrawPositionColumn(1, grid().VisibleRows);
    const std::uint32_t line = PaletteColour(7);
    const auto linesClean = [&](const char* when) {
        for (Pane* column : {grid().Panes().EmpList, grid().Panes().EmpPos}) {
            const Surface& screen = column->Screen();
            for (int r = 2; r <= grid().VisibleRows; ++r) {
                const int y = ((r - 1) * grid().RowHeight) / grid().TPPY;
                int off = 0;
                for (int x = 0; x < screen.Width(); ++x) off += screen.Pixel(x, y) != line;
                EXPECT_EQ(off, 0) << when << ": " << column->objectName().toStdString() << ", line above row " << r;
            }
        }
    };
    linesClean("drawn");
    Key(Qt::Key_PageDown);
    ASSERT_EQ(grid().TopRow, firstPage);
    linesClean("after Page Down");
}

TEST_F(MainFormEditTest, ADividersTipAppearsBesideItsRow)
{
    files->EmpTable.Name[6] = "/Nurses";
    grid().DrawNameColumn(1, grid().VisibleRows);
    form->CancelToolTip();
    const int rowPx = grid().RowHeightPx;
    const double y = 5 * grid().RowHeight + grid().RowHeight / 2.0;  // in the middle of row 6
    form->EmpList_MouseMove(0, 0, 40 * grid().TPPX, y);
    EXPECT_GT(form->ToolTipDue, 0);
    EXPECT_EQ(form->ToolTipper->text(), " Divider ");
    form->UpdateToolTip();
    const int pointer = grid().Panes().EmpList->mapTo(form->Form, QPoint(0, static_cast<int>(y) / grid().TPPY)).y();
    const int tipTop = form->ToolTipper->y();
    EXPECT_GT(tipTop, pointer);
    EXPECT_LE(tipTop, pointer + rowPx + form->ToolTipper->height());
}

TEST_F(MainFormEditTest, ATwoShiftCellIsDescribedWholeInTheSmallFont)
{
    const auto shift = [this](int code, const char* name, int start, int end) {
        ShiftRecord s = MakeUnusedShift();
        s.Description = name;
        s.Abbreviation = QString::fromLatin1(name).left(1);
        s.StartTime = start / 24.0;
        s.EndTime = end / 24.0;
        s.PaidHours = 4;
        files->ShiftTable[code] = s;
    };
    shift(1, "Short AM", 7, 11);
    shift(2, "Night", 23, 7);
    files->ColumnDay(1).Shift1Code[Slot(1)] = 1;
    files->ColumnDay(1).Shift2Code[Slot(1)] = 2;
    files->ColumnDay(2).Shift1Code[Slot(1)] = 1;
    QLabel* panel = form->TopInfoShiftDesc;

    Tag(1, 1);
    const QString text = panel->text();
    EXPECT_EQ(text, "Short AM, 7:00a - 11:00a/Night, 11:00p - 7:00a");
    const auto small = fonts.Resolve({QStringLiteral("Small Fonts"), 7});
    ASSERT_TRUE(small);
    EXPECT_EQ(QFontInfo(panel->font()).family(), QFontInfo(small->font).family());
    EXPECT_EQ(QFontInfo(panel->font()).pixelSize(), QFontInfo(small->font).pixelSize());
    EXPECT_LE(QFontMetrics(panel->font()).horizontalAdvance(text), panel->contentsRect().width());

    Tag(1, 2);  // one shift: the date panel's font again
    EXPECT_EQ(panel->font(), form->DateOn->font());
}

TEST_F(MainFormEditTest, FindNameChangePageAndSelectivePasteOpenCentred)
{
    // Centred within a pixel or two (halves are rounded to whole twips), and the window frame,
    // which is not known before a window is first shown.
    const auto centredOn = [](QWidget* d, const QRect& on) {
        const QPoint off = d->frameGeometry().center() - on.center();
        const QSize frame = d->frameGeometry().size() - d->size();
        EXPECT_LE(std::abs(off.x()), 2 + frame.width()) << d->objectName().toStdString();
        EXPECT_LE(std::abs(off.y()), 2 + frame.height()) << d->objectName().toStdString();
    };
    const QRect screen = form->screen()->geometry();
    form->showNormal();
    form->setGeometry(40, 30, 900, 560);
    QTest::qWait(20);

    const auto findNameWait = OnNextDialog<FindName>([&](FindName* d) {
        centredOn(d, screen);
        d->close();
    });
    form->View_FindName_Click();

    const auto pagerWait = OnNextDialog<Pager>([&](Pager* d) {
        centredOn(d, screen);
        d->close();
    });
    form->ButtonCal_Click();

    Tag(1, 1);
    form->Edit_Copy_Click();
    Tag(1, 2);
    const QRect window = form->frameGeometry();
    const auto selPasteWait = OnNextDialog<SelPaste>([&](SelPaste* d) {
        centredOn(d, window);
        d->close();
    });
    form->Edit_SelPaste_Click();
}

TEST_F(MainFormEditTest, AfterAScrollEachMovedPaneShowsItsWholeTwin)
{
    DefineShift(1, "D", 'D');
    for (int r = 1; r <= grid().VisibleRows + 1; ++r) {
        files->EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
        files->ColumnDay(1 + r % 28).Shift1Code[Slot(r)] = 1;
    }
    grid().LayoutAndRedrawSchedule();
    Tag(2, 3);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // What the pane shows is its twin, as if the whole twin had been copied to it.
    const auto showsTwin = [](Pane* pane, const Surface& twin, const char* what) {
        const QImage shown = pane->Screen().Image();
        EXPECT_EQ(shown, twin.Image().copy(0, 0, shown.width(), shown.height())) << what;
    };
    const auto rowsShown = [&](const char* what) {
        showsTwin(form->EmpList, grid().EmpListBack, what);
        showsTwin(form->EmpPos, grid().EmpPosBack, what);
        showsTwin(form->Grid, grid().GridBack, what);
    };
    const auto daysShown = [&](const char* what) {
        showsTwin(form->Grid, grid().GridBack, what);
        showsTwin(form->DayRuler, grid().DayRulerBack, what);
        if (grid().CoverageVisible) showsTwin(form->Coverage, grid().CoverageBack, what);
    };
    form->VScroll2->setValue(1);
    rowsShown("one row down");
    form->VScroll2->setValue(0);
    rowsShown("one row up");
    form->ScrollForwardOneDay();
    daysShown("one day forward");
    QCoreApplication::processEvents();  // painted in between
    form->ScrollForwardOneDay();
    daysShown("another day forward");
    form->ScrollBackOneDay();
    daysShown("one day back");
}

TEST_F(MainFormEditTest, AfterScrollsTheWindowShowsWhatEachPaneShows)
{
    DefineShift(1, "D", 'D');
    for (int r = 1; r <= grid().VisibleRows + 4; ++r) {
        files->EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
        files->ColumnDay(1 + r % 28).Shift1Code[Slot(r)] = 1;
    }
    grid().LayoutAndRedrawSchedule();
    Tag(2, 3);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // The window's own pixels where each pane can be seen, painted by now, against what the
    // pane shows.
    const auto windowShows = [&](const char* what) {
        QCoreApplication::processEvents();
        QPaintDevice* device = form->backingStore()->paintDevice();
        ASSERT_EQ(device->devType(), QInternal::Image);
        const QImage& window = *static_cast<QImage*>(device);
        for (Pane* pane : {form->EmpList, form->EmpPos, form->Grid, form->DayRuler, form->Coverage}) {
            if (!pane->isVisible()) continue;
            const int b = pane->BorderPx();
            const QRect seen = pane->visibleRegion().boundingRect().translated(-b, -b) & pane->Screen().Image().rect();
            const QImage shown = window.copy(QRect(pane->mapTo(form.get(), seen.topLeft() + QPoint(b, b)), seen.size()))
                                     .convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(shown, pane->Screen().Image().copy(seen)) << what << ": " << pane->objectName().toStdString();
        }
    };
    windowShows("drawn");
    form->VScroll2->setValue(1);
    form->VScroll2->setValue(2);
    windowShows("two rows down");
    form->VScroll2->setValue(1);
    Key(Qt::Key_Right);
    windowShows("a row up, the tag moved");
    form->ScrollForwardOneDay();
    form->ScrollForwardOneDay();
    windowShows("two days forward");
    form->ScrollBackOneDay();
    Key(Qt::Key_Down);
    form->VScroll2->setValue(2);
    windowShows("a day back, a row down");
}

TEST_F(MainFormEditTest, FindNameScrollsToTheChosenRow)
{
    for (int r = 1; r <= 200; ++r) files->EmpTable.Name[r] = QStringLiteral("Person %1").arg(r, 3, 10, QLatin1Char('0'));
    files->EmpTable.Name[150] = "Zoe";
    const auto findNameWait = OnNextDialog<FindName>([](FindName* f) {
        QTest::keyClicks(f->Text1, "Zo");
        EXPECT_EQ(f->List1->currentItem()->text(), "Zoe");
        f->Command3->click();
    });
    form->View_FindName_Click();
    EXPECT_EQ(grid().TopRow, 150);
    EXPECT_EQ(grid().DisplayRow(grid().CursorRow), 150);
    EXPECT_EQ(grid().DisplayRow(grid().CurrentRow), 150);
}

TEST_F(MainFormEditTest, HourlyCoverageShowsTheTaggedDayAndKeepsItsPlaceUntilAScheduleOpens)
{
    Tag(1, 3);
    files->ScheduleModified = false;
    const OleDate day = grid().ColumnDate(3);
    bool shown = false;
    auto hourFRMWait = OnNextDialog<HourFRM>([&](HourFRM* d) {
        shown = true;
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Hourly Coverage - ") + Runtime::FormatDate(day, "ddd") + " " +
                                        Runtime::FormatDate(day, files->DateFormat));
        EXPECT_EQ(d->Day(), day);
        // The column's query is picked in Select Query, preset to the column's query.
        const auto querySelWait = OnNextDialog<QuerySel>([](QuerySel* q) {
            EXPECT_EQ(q->Combo1->currentIndex(), 0);
            q->Command2->click();
        });
        d->Grid1_HeaderClick(2);
        d->SetCurrentCell(5, 2);
        d->Command1->click();
    });
    form->ButtonHourCov->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(files->ScheduleModified);  // a column choice, even cancelled
    EXPECT_EQ(form->HourlyCoverage.SavedGridRow, 5);
    EXPECT_EQ(form->HourlyCoverage.SavedGridCol, 2);

    hourFRMWait = OnNextDialog<HourFRM>([](HourFRM* d) {
        EXPECT_EQ(d->CurrentRow(), 5);
        EXPECT_EQ(d->CurrentCol(), 2);
        d->close();
    });
    form->ButtonHourCov_Click();

    files->ScheduleModified = false;
    Open(Doc("other.QRD"));
    ASSERT_FALSE(form->NoScheduleOpen);
    EXPECT_EQ(form->HourlyCoverage.SavedGridRow, 0);
    EXPECT_EQ(form->HourlyCoverage.HourlyWinTop, 0);
    EXPECT_EQ(form->HourlyCoverage.HourlyWinLeft, 0);
}

}  // namespace
}  // namespace tavrin::test
