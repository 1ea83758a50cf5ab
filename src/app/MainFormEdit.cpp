// The editing commands of the main window: cells, undo and the clipboard, notes and
// requirement numbers, rows, Find Name, the highlighter, Change Page and the sibling link.

#include "app/MainForm.h"

#include "app/ButtonPictures.h"
#include "app/DayScroll.h"
#include "app/FindName.h"
#include "app/Pager.h"
#include "app/RowCommands.h"
#include "app/SelPaste.h"
#include "app/SiblingApp.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/Cp1252.h"
#include "platform/MsgBox.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "platform/SiblingLink.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace tavrin {

// ---------------------------------------------------------------- the tagged run

int MainForm::CursorDisplayRow() const { return grid_.DisplayRow(grid_.CursorRow); }

EditRun MainForm::CurrentRun() const
{
    EditRun run;
    run.row = grid_.DisplayRow(grid_.CurrentRow);
    run.first = grid_.FirstTaggedDay;
    run.last = grid_.LastTaggedDay;
    return run;
}

bool MainForm::CurrentRowIsDivider() const
{
    const int row = CursorDisplayRow();
    return IsSlot(row) && IsDividerRow(files_.EmpTable, row);
}

bool MainForm::OnRequirementRow() const { return grid_.OnRequirementRow; }

void MainForm::AfterEdit(const EditResult& r, bool recount)
{
    if (!r.status) ReportStoreError(r.status);
    if (!r.applied && r.firstColumn == 0) return;
    if (r.firstColumn > 0) {
        grid_.DrawScheduleCells(r.firstColumn, r.lastColumn, grid_.CurrentRow, grid_.CurrentRow);
        SetBusy(true);
        if (recount) grid_.DrawCoverageCounts(r.firstColumn, r.lastColumn, false);
        grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    }
    if (r.undoEnabled) SetUndoItem(true, r.undoCaption);
    SetBusy(false);
}

void MainForm::AdvanceAfterKeyCommand(bool& pending)
{
    const bool fromKeyboard = pending;
    pending = false;
    if (fromKeyboard && files_.VisibleDays > 1 && grid_.FirstTaggedDay == grid_.LastTaggedDay) MoveRight(false, true);
}

// ---------------------------------------------------------------- cell commands

void MainForm::Edit_DrawShift_Click() { ButtonAssign_Click(); }
void MainForm::Edit_TimeOff_Click() { ButtonTimeOff_Click(); }
void MainForm::Edit_EraseShift_Click() { ButtonErase_Click(); }
void MainForm::Edit_OnCall_Click() { ButtonCall_Click(); }

void MainForm::ButtonAssign_Click()
{
    CancelToolTip();
    AfterEdit(editor_->AssignShift(CurrentRun(), currentShiftCode_, grid_.TwoShiftMode));
    AdvanceAfterKeyCommand(AssignKeyPending);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::ButtonTimeOff_Click()
{
    CancelToolTip();
    AfterEdit(editor_->MarkTimeOff(CurrentRun()));
    AdvanceAfterKeyCommand(TimeOffKeyPending);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::ButtonErase_Click()
{
    CancelToolTip();
    AfterEdit(editor_->EraseSelection(CurrentRun()));
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::ButtonCall_Click()
{
    CancelToolTip();
    AfterEdit(editor_->ToggleOnCall(CurrentRun()));
    AdvanceAfterKeyCommand(OnCallKeyPending);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::Edit_Clear_Click() { AfterEdit(editor_->ClearSelection(CurrentRun())); }

void MainForm::Edit_Undo_Click() { AfterEdit(editor_->UndoLastEdit(CurrentRun())); }

void MainForm::Edit_Copy_Click() { CopyToClipboard(); }

bool MainForm::CopyToClipboard()
{
    const EditResult r = editor_->CopySelection(CurrentRun());
    if (!r.status) ReportStoreError(r.status);
    Edit_Paste->setEnabled(Buffers.PasteEnabled());
    Edit_SelPaste->setEnabled(Buffers.SelPasteEnabled());
    return r.applied;
}

void MainForm::Edit_Cut_Click()
{
    if (!CopyToClipboard()) return;  // refused with a beep: nothing is cleared either
    EditResult r = editor_->ClearSelection(CurrentRun());
    if (r.undoEnabled) r.undoCaption = kUndoCut;
    AfterEdit(r);
}

void MainForm::Edit_Paste_Click()
{
    const EditRun run = CurrentRun();
    if (!editor_->CanPaste(run, false)) return;
    grid_.CursorDay = grid_.FirstTaggedDay;
    grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    AfterEdit(editor_->PasteSelection(run, false));
}

void MainForm::Edit_SelPaste_Click()
{
    const EditRun run = CurrentRun();
    if (!editor_->CanPaste(run, true)) return;
    grid_.CursorDay = grid_.FirstTaggedDay;
    grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    selPaste_->DialogCancelled = false;
    // Over the window where it is now; the dialog itself is kept from one paste to the next.
    grid_.CenterFormOnMainForm(selPaste_);
    selPaste_->exec();
    if (selPaste_->DialogCancelled) {
        grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);  // the highlight back on
        return;
    }
    AfterEdit(editor_->PasteSelection(run, true));
}

void MainForm::Explainations_Click(int index)
{
    if (ExplListBrowsing || index < 0) return;
    if (!Explainations->hasFocus()) return;
    // Taken first: leaving the list clears it. A choice from the list that Ctrl+L opened
    // moves the tag on as Enter does.
    const bool advance = AdvanceAfterEntry;
    explComboBusy_ = true;
    AfterEdit(editor_->ApplyExplanation(CurrentRun(), Explainations->itemData(index).toInt()));
    explComboBusy_ = false;
    if (Grid->isVisible()) Grid->setFocus();
    AdvanceAfterEntry = false;
    if (advance) MoveRight(false, true);
}

void MainForm::ShiftSelector_Click(int index)
{
    if (ShiftListBrowsing || index < 0) return;
    currentShiftCode_ = ShiftSelector->itemData(index).toInt();
    if (Grid->isVisible()) Grid->setFocus();
}

// ---------------------------------------------------------------- notes and requirement numbers

void MainForm::SetNoteButtonsActive(bool active)
{
    if (OnRequirementRow()) return;
    const NoteButtonsShown shown = active ? NoteButtonsShown::NoteActive : NoteButtonsShown::Note;
    if (shown == noteButtonsShown_) return;
    // Over the requirement look only the pictures change: the next look is set in full.
    noteButtonsShown_ = noteButtonsShown_ == NoteButtonsShown::Requirement ? NoteButtonsShown::Unknown : shown;
    NoteCheck->setIcon(QIcon(active ? ButtonPictures::CheckActive() : ButtonPictures::CheckInactive()));
    NoteX->setIcon(QIcon(active ? ButtonPictures::XActive() : ButtonPictures::XInactive()));
}

void MainForm::SaveNote()
{
    const bool advance = AdvanceAfterEntry;
    if (!UnstorableCharacters(NotePad->text()).empty()) {
        // The entry goes on: Esc still brings back the text the box had when it began.
        const QString atFocus = noteTextAtFocus_;
        AcceptStorableText(NotePad, msg_);
        noteTextAtFocus_ = atFocus;
        AdvanceAfterEntry = advance;
        return;
    }
    CancelToolTip();
    SetBusy(true);
    EditResult r = editor_->SaveNote(CurrentRun(), NotePad->text());
    if (!r.status) ReportStoreError(r.status);
    if (r.firstColumn > 0) {
        grid_.DrawScheduleCells(r.firstColumn, r.lastColumn, grid_.CurrentRow, grid_.CurrentRow);
        grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    }
    if (Grid->isVisible()) Grid->setFocus();
    if (r.undoEnabled) SetUndoItem(true, r.undoCaption);
    KeyPreview = true;
    SetBusy(false);
    AdvanceAfterEntry = false;
    if (advance) MoveRight(false, true);
}

void MainForm::RestoreNote() { NotePad->setText(noteTextAtFocus_); }

void MainForm::StoreNumber(bool upOrDown)
{
    // Taken first: redrawing the selection may move the focus out of the note box.
    const bool pending = AdvanceAfterEntry;
    AdvanceAfterEntry = false;
    AfterEdit(editor_->StoreNumber(CurrentRun(), NotePad->text()));
    if (pending && !upOrDown) {
        if (Grid->isVisible()) Grid->setFocus();
        MoveRight(false, true);
    } else {
        msg_.beep();
        AdvanceAfterEntry = pending;  // Up and Down leave a pending advance for the next Enter
    }
}

void MainForm::NoteCheck_Click()
{
    if (OnRequirementRow()) {
        AfterEdit(editor_->SubtractOne(CurrentRun()));
        return;
    }
    if (NoteEditing) {
        SaveNote();
    } else if (Grid->isVisible()) {
        Grid->setFocus();
    }
}

void MainForm::NoteX_Click()
{
    if (OnRequirementRow()) {
        AfterEdit(editor_->AddOne(CurrentRun()));
        return;
    }
    if (NoteEditing) {
        RestoreNote();
        NotePad->setFocus();
    } else if (Grid->isVisible()) {
        Grid->setFocus();
    }
}

// ---------------------------------------------------------------- rows

void MainForm::RedrawRows()
{
    grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    grid_.CursorDay = grid_.FirstTaggedDay;
    grid_.TopRow = VScroll2->value() + 1;
    grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
    grid_.DrawPositionColumn(1, grid_.VisibleRows);
    grid_.DrawNameColumn(1, grid_.VisibleRows);
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    files_.ScheduleModified = true;
}

void MainForm::MenuEdit_Show()
{
    const int row = CursorDisplayRow();
    Edit_MoveName->setEnabled(grid_.MoveNameRow > 0);
    const bool blank = IsSlot(row) && Runtime::Trim(files_.EmpTable.Name[row].str()).isEmpty() &&
                       !RowHasVisibleContent(files_, row);
    Edit_MarkName->setEnabled(!(CurrentRowIsDivider() || blank));
    Edit_RemoveLine->setEnabled(true);
    Edit_InsertLine->setEnabled(true);
    Edit_Divider->setEnabled(KeyPreview);
    Edit_Divider->setText(QStringLiteral("Insert &Divider..."));
    if (!RowIsFree(files_, kSlots)) {
        Edit_Divider->setEnabled(false);
        Edit_InsertLine->setEnabled(false);
    }
}

void MainForm::Edit_InsertLine_Click() { InsertRowOrDivider(false); }
void MainForm::Edit_Divider_Click() { InsertRowOrDivider(true); }

void MainForm::InsertRowOrDivider(bool divider)
{
    SetBusy(true);
    if (Grid->isVisible()) Grid->setFocus();
    if (!RowIsFree(files_, kSlots)) {
        // No row may be pushed out of the table.
        msg_.beep();
        SetBusy(false);
        return;
    }
    if (divider) {
        // The new divider's properties are asked first, on the free last row whose data slot
        // it takes.
        if (!EditDividerProperties(kSlots)) {
            SetBusy(false);
            return;
        }
        SetBusy(true);
        InsertDividerRow(files_, CursorDisplayRow());
    } else {
        InsertRow(files_, CursorDisplayRow());
    }
    RedrawRows();
    if (divider) grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    SetBusy(false);
}

void MainForm::Edit_RemoveLine_Click()
{
    const int row = CursorDisplayRow();
    if (!IsSlot(row)) return;
    const Result<bool> removed = RemoveRow(files_, msg_, row);
    if (!removed) {
        ReportStoreError(removed.status());
        return;
    }
    if (!removed.value()) {
        if (Grid->isVisible()) Grid->setFocus();
        return;
    }
    SetBusy(true);
    grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    RedrawRows();
    SetBusy(false);
}

void MainForm::Edit_MarkName_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    EmpText->hide();
    EmpText2->hide();
    grid_.MoveNameRow = ToggleMarkedRow(grid_.MoveNameRow, CursorDisplayRow());
    grid_.DrawNameColumn(1, grid_.VisibleRows);
    grid_.DrawPositionColumn(1, grid_.VisibleRows);
}

void MainForm::Edit_MoveName_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    EmpText->hide();
    EmpText2->hide();
    if (grid_.MoveNameRow <= 0) return;
    SetBusy(true);
    RelocateRow(files_, grid_.MoveNameRow, CursorDisplayRow());
    grid_.MoveNameRow = 0;
    RedrawRows();
    grid_.DrawNameColumn(1, grid_.VisibleRows);
    grid_.DrawPositionColumn(1, grid_.VisibleRows);
    SetBusy(false);
}

void MainForm::View_Alpha_Click() { SortRows(1); }
void MainForm::View_ByPos_Click() { SortRows(2); }

void MainForm::SortRows(int mode)
{
    SetBusy(true);
    if (Grid->isVisible()) Grid->setFocus();
    const Status s =
        SortRowsByBlocks(files_, mode, [this](int m, int lo, int hi) { return grid_.SortEmployeeRows(m, lo, hi); });
    if (!s) ReportStoreError(s);
    RedrawRows();
    SetBusy(false);
}

// ---------------------------------------------------------------- the name and position editors

void MainForm::SelectRowAt(double y)
{
    grid_.CursorRow = Runtime::IntDiv(y, grid_.RowHeight) + 1;
    if (grid_.CursorRow < 1) grid_.CursorRow = 1;
    if (grid_.CursorRow > grid_.VisibleRows) grid_.CursorRow = grid_.VisibleRows;
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
}

void MainForm::OpenRowEditors(int visibleRow, bool positionOnly)
{
    const int row = grid_.DisplayRow(visibleRow);
    if (!IsSlot(row)) return;
    // Editors still open on another row keep what was typed there: stored first, or, when it
    // cannot be stored, kept open for correction.
    for (QLineEdit* e : {EmpText, EmpText2}) {
        if (e->isVisible() && !CommitEditor(e)) return;
    }
    Tabitha->setEnabled(true);
    grid_.CursorRow = visibleRow;
    grid_.TagDayCells(visibleRow, grid_.CursorDay, 1);
    EditorRow = visibleRow;
    const int top = ((visibleRow - 1) * grid_.RowHeight + 15) / grid_.TPPY;
    if (!positionOnly) {
        EmpText->setText(Runtime::Trim(files_.EmpTable.Name[row].str()));
        EmpText->move(EmpText->x(), top);
        EmpText->show();
        EmpText->raise();
    }
    if (!files_.CurrentFormat.HidePositionColumn) {
        EmpText2->setText(Runtime::Trim(files_.EmpTable.Position[row].str()));
        EmpText2->move(EmpText2->x(), top);
        EmpText2->show();
        EmpText2->raise();
    }
    QLineEdit* first = positionOnly ? EmpText2 : EmpText;
    if (first->isVisible()) {
        first->setFocus();
        first->selectAll();
    }
}

bool MainForm::CommitEditor(QLineEdit* editor, bool quiet)
{
    if (editor->isVisible()) {
        if (refusingEditorText_) return false;
        // A text the file cannot hold stays in its editor for correction.
        if (!UnstorableCharacters(editor->text()).empty()) {
            if (quiet) return false;
            refusingEditorText_ = true;
            AcceptStorableText(editor, msg_);
            refusingEditorText_ = false;
            return false;
        }
    }
    KeyPreview = true;
    if (!editor->isVisible()) return true;
    // Hiding the editor that has the focus would hand the focus on along the tab order, to
    // the catcher of continuous entry among others, which would open the editors on the next
    // row. The grid takes it first; its focus handler stores the open editors.
    if (editor->hasFocus() && Grid->isVisible()) {
        Grid->setFocus();
        if (!editor->isVisible()) return true;
    }
    const bool position = editor == EmpText2;
    const QString text = Runtime::Trim(editor->text());
    editor->hide();
    const int row = grid_.DisplayRow(EditorRow);
    if (!IsSlot(row)) return true;
    const Result<RowTextCommit> c = CommitRowText(files_, row, position, text, editorTextAtFocus_);
    if (!c) {
        ReportStoreError(c.status());
        return true;
    }
    if (position) {
        grid_.DrawPositionColumn(EditorRow, EditorRow);
    } else {
        grid_.DrawNameColumn(EditorRow, EditorRow);
    }
    if (c->changed && (c->hasContent || grid_.CoverageDescDrawn)) grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    return true;
}

void MainForm::ContinueEntry()
{
    Tabitha->setEnabled(false);
    // Continuous entry: the next row that is not a divider, or the editors close.
    const int next = NextEntryRow(files_, grid_.DisplayRow(grid_.CursorRow));
    if (next == 0) {
        KillTextBoxes();
        return;
    }
    if (Grid->isVisible()) Grid->setFocus();
    while (grid_.DisplayRow(grid_.CursorRow) < next) {
        const int before = grid_.DisplayRow(grid_.CursorRow);
        MoveDown();
        if (grid_.DisplayRow(grid_.CursorRow) == before) break;  // nothing moved
    }
    OpenRowEditors(grid_.CursorRow, false);
}

// ---------------------------------------------------------------- Find Name, highlighter, pages

void MainForm::View_FindName_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    FindName dlg(files_, FindNameQueryNo, grid_.FirstTaggedDay, grid_.LastTaggedDay, this);
    grid_.CenterFormOnScreen(&dlg);
    dlg.SetQueryPicker(SelectQueryFunction());
    dlg.exec();
    UpdateHighLighter();
    if (dlg.DialogCancelled || dlg.FindNameRow <= 0) return;
    const int r = dlg.FindNameRow - 1;
    VScroll2->setValue(std::min(r, VScroll2->maximum()));
    grid_.CursorRow = dlg.FindNameRow - grid_.TopRow + 1;
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
}

void MainForm::SSCommand2_Click()
{
    CancelToolTip();
    const std::optional<int> chosen = SelectQuery(this, CheckedQueryNo(files_.ScheduleProps.HighlightQuery));
    if (!chosen) {
        if (Grid->isVisible()) Grid->setFocus();
        return;
    }
    files_.ScheduleProps.HighlightQuery = static_cast<Int16>(*chosen);
    files_.ScheduleModified = true;
    UpdateHighLighter();
    SetBusy(true);
    grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
    grid_.CursorDay = grid_.FirstTaggedDay;
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    SetBusy(false);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::ButtonCal_Click()
{
    CancelToolTip();
    pager_->exec();
    if (!pager_->DialogCancelled) {
        SetBusy(true);
        grid_.DrawCoverageDescLines();
        grid_.DrawDayColumns(1, files_.VisibleDays);
        grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
        grid_.DrawCoverageDescriptions();
        grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
        grid_.CursorDay = grid_.FirstTaggedDay;
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    }
    if (Grid->isVisible()) Grid->setFocus();
    SetBusy(false);
}

void MainForm::ButtonHourCov_Click()
{
    CancelToolTip();
    SetBusy(true);
    HourFRM dlg(files_, grid_, *this, HourlyCoverage, ButtonPictures::HourlyCoverage(), SelectQueryFunction(), this);
    if (dlg.LoadForm()) dlg.exec();
    SetBusy(false);
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::ReportDateOutOfRangeAndOffer()
{
    // Yes opens the file properties, where the period is lengthened.
    if (ReportDateOutOfRange(msg_)) Define_Props_Click();
}

// ---------------------------------------------------------------- the sibling application

void MainForm::SSCommand1_Click()
{
    // Window events run while the link waits for the program: a second click waits its turn.
    if (siblingLinkBusy_) return;
    siblingLinkBusy_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{siblingLinkBusy_};
    CancelToolTip();
    if (Grid->isVisible()) Grid->setFocus();
    SetBusy(true);
    const QString name = SiblingTargetName(files_, grid_.DisplayRow(grid_.CurrentRow));
    const QString program = SiblingProgramPath(files_);
    const bool removable = SchedFiles::IsRemovableFolder(files_.SchedFolder);
    bool released = false;
    SiblingLink link;
    SiblingLink::Hooks hooks;
    hooks.beforeStart = [&] {
        LOADSF->move(Form->width() / 2 - LOADSF->width() / 2, Form->height() / 3 - LOADSF->height() / 3);
        LOADSF->show();
        LOADSF->raise();
        LOADSF->repaint();
        if (!removable) {
            files_.ReleaseScheduleLock();
            released = true;
        }
    };
    hooks.afterStart = [&] {
        if (released) {
            files_.ResetPrinter();
            files_.CheckScheduleFileAccess();
        }
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.finished = [this] { LOADSF->hide(); };
    const SiblingLink::Outcome outcome = link.Run(program, name, hooks);
    LOADSF->hide();
    SetBusy(false);
    if (outcome == SiblingLink::Outcome::NotFound) {
        // Yes opens the file properties, where the path is set.
        if (AskConnectSibling(msg_, program)) Define_Props_Click();
    }
}

void MainForm::BringToFront()
{
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

}  // namespace tavrin
