// One-level undo, the clipboard (also past the last visible day and across schedules) and the
// selective paste with its dialog.

#include "app/EditFixture.h"
#include "app/SelPaste.h"

#include <QCheckBox>

namespace tavrin::test {
namespace {

class UndoPaste : public EditFixture {};

TEST_F(UndoPaste, UndoRestoresTheRunWithItsNote)
{
    SetCell(1, 1, 2, 0, 1, 4, 0);
    ASSERT_TRUE(files->StoreCellNote(Col(1), Slot(1), "Dentist"));
    const int note = Col(1).NoteNumber[Slot(1)];
    editor->ClearSelection({1, 1, 2});
    ASSERT_EQ(Col(1).NoteNumber[Slot(1)], -note);

    files->ScheduleModified = false;
    const EditResult r = editor->UndoLastEdit({1, 1, 2});
    EXPECT_TRUE(r.applied);
    EXPECT_FALSE(r.undoEnabled);
    EXPECT_EQ((std::pair{r.firstColumn, r.lastColumn}), (std::pair{1, 2}));
    EXPECT_EQ(Col(1).Shift1Code[Slot(1)], 2);
    EXPECT_EQ(Col(1).OnCallFlag[Slot(1)], 1);
    EXPECT_EQ(Col(1).ExplanationCode[Slot(1)], 4);
    EXPECT_EQ(Col(1).NoteNumber[Slot(1)], note);  // the same record, written again
    EXPECT_EQ(files->GetNoteText(note), "Dentist");
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(UndoPaste, PastePastTheLastVisibleDayWritesTheDayFileAndUndoRestoresIt)
{
    const int vd = files->VisibleDays;
    const int first = files->ScheduleProps.FirstVisibleDay;
    SetCell(1, 1, 1);
    SetCell(2, 1, 2, 0, 1);
    SetCell(3, 1, 3, 0, 0, 5);
    ASSERT_TRUE(editor->CopySelection({1, 1, 3}).applied);
    EXPECT_TRUE(buffers.PasteEnabled());
    EXPECT_TRUE(buffers.SelPasteEnabled());

    // The days after the window already hold something that undo must bring back.
    DayRecord later = DayInFile(first + vd + 1);
    later.Shift1Code[Slot(4)] = 4;
    ASSERT_TRUE(files->WriteRecord(FileNo::Days, first + vd + 1, later));

    const EditResult r = editor->PasteSelection({4, vd, vd}, false);
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(r.undoCaption, kUndoPaste);
    EXPECT_EQ((std::pair{r.firstColumn, r.lastColumn}), (std::pair{vd, vd}));
    EXPECT_EQ(Col(vd).Shift1Code[Slot(4)], 1);
    EXPECT_TRUE(Dirty(vd));
    EXPECT_EQ(DayInFile(first + vd + 1).Shift1Code[Slot(4)], 2);
    EXPECT_EQ(DayInFile(first + vd + 1).OnCallFlag[Slot(4)], 1);
    EXPECT_EQ(DayInFile(first + vd + 2).ExplanationCode[Slot(4)], 5);

    editor->UndoLastEdit({4, vd, vd});
    EXPECT_EQ(Col(vd).Shift1Code[Slot(4)], 0);
    EXPECT_EQ(DayInFile(first + vd + 1).Shift1Code[Slot(4)], 4);
    EXPECT_EQ(DayInFile(first + vd + 1).OnCallFlag[Slot(4)], 0);
    EXPECT_EQ(DayInFile(first + vd + 2).ExplanationCode[Slot(4)], 0);
}

TEST_F(UndoPaste, DaysAfterThePeriodEndAreSkipped)
{
    const int days = files->PeriodDays();
    const int vd = files->VisibleDays;
    for (int c = 1; c <= 3; ++c) SetCell(c, 1, c);
    editor->CopySelection({1, 1, 3});
    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(days - vd);  // last column = period end
    ASSERT_TRUE(files->LoadVisibleDays());
    const qint64 size = FileSize(".SCH");
    const EditResult r = editor->PasteSelection({1, vd - 1, vd - 1}, false);
    EXPECT_TRUE(r.status) << r.status.message().toStdString();
    EXPECT_EQ(Col(vd - 1).Shift1Code[Slot(1)], 1);
    EXPECT_EQ(Col(vd).Shift1Code[Slot(1)], 2);
    EXPECT_EQ(FileSize(".SCH"), size);  // nothing written past the period
}

TEST_F(UndoPaste, PasteAndUndoReachThePeriodsLastDay)
{
    const int days = files->PeriodDays();
    const int vd = files->VisibleDays;
    for (int c = 1; c <= 3; ++c) SetCell(c, 1, c);
    editor->CopySelection({1, 1, 3});

    // k days lie between the window's last column and the period end.
    for (const int k : {0, 1, 2}) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(files->FlushWorkingData());
        DayRecord end = DayInFile(days);
        end.Shift1Code[Slot(4)] = 4;
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, days, end));
        files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(days - vd - k);
        ASSERT_TRUE(files->LoadVisibleDays());
        const auto shift = [&](int recordNo) {
            const int c = recordNo - files->ScheduleProps.FirstVisibleDay;
            return c <= vd ? Col(c).Shift1Code[Slot(4)] : DayInFile(recordNo).Shift1Code[Slot(4)];
        };
        const qint64 size = FileSize(".SCH");

        ASSERT_TRUE(editor->PasteSelection({4, vd, vd}, false).applied);
        for (int j = 0; j <= k; ++j) EXPECT_EQ(shift(days - k + j), j + 1) << "day " << days - k + j;
        EXPECT_EQ(FileSize(".SCH"), size);

        editor->UndoLastEdit({4, vd, vd});
        EXPECT_EQ(shift(days), 4);
        EXPECT_EQ(FileSize(".SCH"), size);
    }
}

TEST_F(UndoPaste, NotesTravelByText)
{
    ASSERT_TRUE(files->StoreCellNote(Col(1), Slot(1), "Training"));
    const int note = Col(1).NoteNumber[Slot(1)];
    ASSERT_TRUE(files->StoreCellNote(Col(2), Slot(4), "Old note"));
    const int target = Col(2).NoteNumber[Slot(4)];
    editor->CopySelection({1, 1, 2});

    // Erased and pasted back: the text returns into the cell's own record.
    editor->ClearSelection({1, 1, 1});
    editor->PasteSelection({1, 1, 1}, false);
    EXPECT_EQ(Col(1).NoteNumber[Slot(1)], note);
    EXPECT_EQ(files->GetNoteText(note), "Training");

    // Pasted onto another row: the target keeps its own record, and a clipboard cell without
    // a note marks the target's note erased.
    ASSERT_TRUE(files->StoreCellNote(Col(3), Slot(4), "Another"));
    const int third = Col(3).NoteNumber[Slot(4)];
    editor->PasteSelection({4, 2, 3}, false);
    EXPECT_EQ(Col(2).NoteNumber[Slot(4)], target);
    EXPECT_EQ(files->GetNoteText(target), "Training");
    EXPECT_EQ(Col(3).NoteNumber[Slot(4)], -third);
}

TEST_F(UndoPaste, NumbersPasteOnlyIntoRequirementRowsAndUndoLeavesNoStrayNumbers)
{
    SetCell(1, 3, kNumberCellCode, 25, 0, 0, 3);
    editor->CopySelection({3, 1, 1});
    EXPECT_FALSE(buffers.SelPasteEnabled());
    msg.Clear();
    EXPECT_FALSE(editor->PasteSelection({1, 5, 5}, false).applied);
    EXPECT_FALSE(editor->PasteSelection({3, 5, 5}, true).applied);
    EXPECT_FALSE(editor->PasteSelection({2, 5, 5}, false).applied);
    EXPECT_EQ(msg.beeps, 3);

    EXPECT_TRUE(editor->PasteSelection({3, 5, 5}, false).applied);
    EXPECT_EQ(Col(5).Shift1Code[Slot(3)], kNumberCellCode);
    EXPECT_EQ(Col(5).NoteNumber[Slot(3)], 3);
    EXPECT_EQ(Col(5).Shift2Code[Slot(3)], 25);
    editor->UndoLastEdit({3, 5, 5});
    EXPECT_EQ(Col(5).Shift1Code[Slot(3)], 0);
    EXPECT_EQ(Col(5).NoteNumber[Slot(3)], 0);  // not -3: a number is no note

    // Cells of an employee row do not paste into a requirement row.
    editor->CopySelection({1, 1, 1});
    msg.Clear();
    EXPECT_FALSE(editor->PasteSelection({3, 5, 5}, false).applied);
    EXPECT_EQ(msg.beeps, 1);
}

TEST_F(UndoPaste, SelectivePasteFillsEmptyPartsUnlessOverwriting)
{
    SetCell(1, 1, 1, 0, 1, 4);
    ASSERT_TRUE(files->StoreCellNote(Col(1), Slot(1), "Clip note"));
    SetCell(2, 1, kTimeOffCode);
    editor->CopySelection({1, 1, 2});

    SetCell(10, 4, 3, 0, 0, 0);  // a shift already there
    SetCell(11, 4, 2, 0, 0, 6);
    CopyMultipleOptions& o = files->ScheduleProps.CopyOptions;
    o = CopyMultipleOptions{};
    o.CopyShifts = kTrue;
    o.CopyExplanations = kTrue;
    editor->PasteSelection({4, 10, 11}, true);
    EXPECT_EQ(Col(10).Shift1Code[Slot(4)], 3);  // filled fields stay
    EXPECT_EQ(Col(10).ExplanationCode[Slot(4)], 4);
    EXPECT_EQ(Col(10).OnCallFlag[Slot(4)], 0);  // on-call not chosen
    EXPECT_EQ(Col(10).NoteNumber[Slot(4)], 0);
    EXPECT_EQ(Col(11).Shift1Code[Slot(4)], 2);  // time-off is no shift for the Shifts part
    EXPECT_EQ(Col(11).ExplanationCode[Slot(4)], 6);

    o.Overwrite = kTrue;
    o.CopyTimeOff = kTrue;
    o.CopyNotes = kTrue;
    o.CopyOnCall = kTrue;
    editor->PasteSelection({4, 10, 11}, true);
    EXPECT_EQ(Col(10).Shift1Code[Slot(4)], 1);
    EXPECT_EQ(Col(10).OnCallFlag[Slot(4)], 1);
    EXPECT_EQ(files->GetNoteText(Col(10).NoteNumber[Slot(4)]), "Clip note");
    EXPECT_NE(Col(10).NoteNumber[Slot(4)], Col(1).NoteNumber[Slot(1)]);  // never shared
    EXPECT_EQ(Col(11).Shift1Code[Slot(4)], kTimeOffCode);
    EXPECT_EQ(Col(11).ExplanationCode[Slot(4)], 0);

    // Undo restores what was there before the second paste.
    editor->UndoLastEdit({4, 10, 11});
    EXPECT_EQ(Col(10).Shift1Code[Slot(4)], 3);
    EXPECT_EQ(Col(11).ExplanationCode[Slot(4)], 6);
}

TEST_F(UndoPaste, TheClipboardSurvivesCloseAndOpen)
{
    SetCell(1, 1, 2, 0, 1);
    ASSERT_TRUE(files->StoreCellNote(Col(1), Slot(1), "Swap with Bob"));
    editor->CopySelection({1, 1, 1});
    ASSERT_TRUE(files->CloseWorkingFiles());

    // Another schedule in another folder: the cells paste by code, the note by its text.
    QTemporaryDir other;
    SchedFiles second(other.path(), msg, printer);
    second.SetHost(&host);
    bool isNew = false;
    ASSERT_TRUE(second.LoadScheduleSettings(isNew));
    ASSERT_TRUE(second.OpenWorkingFiles());
    CellEditor otherEditor(second, msg, buffers);
    ASSERT_TRUE(otherEditor.PasteSelection({1, 3, 3}, false).applied);
    const DayRecord& d = second.ColumnDay(3);
    const int slot = second.ScheduleProps.RowMap[1];
    EXPECT_EQ(d.Shift1Code[slot], 2);
    EXPECT_EQ(d.OnCallFlag[slot], 1);
    EXPECT_EQ(second.GetNoteText(d.NoteNumber[slot]), "Swap with Bob");
}

TEST_F(UndoPaste, AFullNotesFileIsReportedOnceAndLeavesTheCellsWithoutNotes)
{
    ASSERT_TRUE(files->StoreCellNote(Col(1), Slot(1), "One"));
    ASSERT_TRUE(files->StoreCellNote(Col(2), Slot(1), "Two"));
    editor->CopySelection({1, 1, 2});
    ASSERT_TRUE(files->File(FileNo::Notes).writeRepeated(files->NoteRecordCount() + 1,
                                                         kMaxNoteRecords - files->NoteRecordCount(),
                                                         Encode(NoteRecord{})));
    files->NextNoteNo = kMaxNoteRecords + 1;
    msg.Clear();
    editor->PasteSelection({4, 1, 2}, false);
    EXPECT_EQ(Col(1).NoteNumber[Slot(4)], 0);
    EXPECT_EQ(Col(2).NoteNumber[Slot(4)], 0);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Note file full");
    EXPECT_FALSE(files->NoteFileFull);
}

TEST_F(UndoPaste, SelPasteDialogLoadsDefaultsOnceAndStoresWhatIsConfirmed)
{
    files->ScheduleProps.CopyOptions = CopyMultipleOptions{};
    SelPaste dlg(*files);
    EXPECT_TRUE(files->ScheduleModified);
    const CopyMultipleOptions& o = files->ScheduleProps.CopyOptions;
    EXPECT_EQ(o.CopyShifts, kTrue);
    EXPECT_EQ(o.CopyOnCall, kTrue);
    EXPECT_EQ(o.Overwrite, kFalse);
    for (int i = 0; i < 5; ++i) {
        auto* box = dlg.findChild<QCheckBox*>(QStringLiteral("Check1(%1)").arg(i));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
    }
    ASSERT_NE(dlg.findChild<QCheckBox*>("Check2"), nullptr);

    dlg.Check1[1]->setChecked(false);
    dlg.Check2->setChecked(true);
    dlg.show();
    dlg.Command1_Click();
    EXPECT_FALSE(dlg.DialogCancelled);
    EXPECT_EQ(o.CopyTimeOff, kFalse);
    EXPECT_EQ(o.Overwrite, kTrue);

    // Cancel keeps the options; the boxes are not reloaded from another schedule's settings.
    files->ScheduleProps.CopyOptions = CopyMultipleOptions{};
    dlg.show();
    EXPECT_FALSE(dlg.DialogCancelled);
    dlg.Check1[0]->setChecked(false);
    dlg.Command2_Click();
    EXPECT_TRUE(dlg.DialogCancelled);
    EXPECT_EQ(o.CopyShifts, 0);
    dlg.show();
    EXPECT_FALSE(dlg.Check1[1]->isChecked());
    EXPECT_TRUE(dlg.Check2->isChecked());
}

}  // namespace
}  // namespace tavrin::test
