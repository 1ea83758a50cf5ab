// The main window's mouse and keyboard handling in the grid and panes, and scrolling by rows
// and days.

#include "app/MainForm.h"

#include "analysis/Cover2.h"
#include "app/ButtonPictures.h"
#include "app/DayScroll.h"
#include "platform/Cp1252.h"
#include "platform/KeyCodes.h"
#include "app/Pager.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/MsgBox.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

namespace tavrin {

// ---------------------------------------------------------------- copying twins to the screen

void MainForm::ScrollTwin(Pane* pane, Surface& twin, int dx, int dy, const PixelRect& block)
{
    if (pane && pane->isVisible())
        pane->ScrollWithTwin(twin, dx, dy, block);
    else
        twin.BitBlt(block.Left + dx, block.Top + dy, block.Width(), block.Height(), twin, block.Left, block.Top,
                    Surface::SRCCOPY);
}

void MainForm::ShowTwinBeside(Pane* pane, const Surface& twin, const PixelRect& kept)
{
    if (!pane || !pane->isVisible()) return;
    // The screen already shows the kept block (moved with the twin): the rest is copied.
    const int w = twin.Width();
    const int h = twin.Height();
    const auto copy = [&](int l, int t, int r, int b) {
        if (l < r && t < b) pane->CopyFrom(twin, l, t, r - l, b - t);
    };
    const int l = std::clamp(kept.Left, 0, w);
    const int r = std::clamp(kept.Right, l, w);
    const int t = std::clamp(kept.Top, 0, h);
    const int b = std::clamp(kept.Bottom, t, h);
    copy(0, 0, w, t);
    copy(0, b, w, h);
    copy(0, t, l, b);
    copy(r, t, w, b);
}

// ---------------------------------------------------------------- rows

void MainForm::VScroll2_Change(int value)
{
    CancelToolTip();
    if (grid_.LayoutInProgress || !Grid->isEnabled()) return;
    // A name or position being edited is stored first; one that cannot be stored keeps the rows
    // where they are, and its editor open.
    if ((EmpText->isVisible() && !CommitEditor(EmpText)) || (EmpText2->isVisible() && !CommitEditor(EmpText2))) {
        const QSignalBlocker block(VScroll2);
        VScroll2->setValue(grid_.TopRow - 1);
        return;
    }
    if (Grid->isVisible()) Grid->setFocus();
    if (value == grid_.TopRow) {
        grid_.TopRow = value + 1;
        ScrollDownOneRow();
    } else if (grid_.TopRow - value == 2) {
        grid_.TopRow = value + 1;
        ScrollUpOneRow();
    } else {
        SetBusy(true);
        grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
        grid_.CursorDay = grid_.FirstTaggedDay;
        grid_.TopRow = value + 1;
        grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
        grid_.DrawPositionColumn(1, grid_.VisibleRows);
        grid_.DrawNameColumn(1, grid_.VisibleRows);
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
        SetBusy(false);
    }
}

void MainForm::ScrollUpOneRow() { ScrollOneRow(-1); }
void MainForm::ScrollDownOneRow() { ScrollOneRow(+1); }

void MainForm::ScrollOneRow(int direction)
{
    grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
    grid_.CursorDay = grid_.FirstTaggedDay;
    // The painted rows move one row; only the row coming in is drawn.
    const int rowPx = grid_.RowHeightPx;
    const int blockH = (grid_.VisibleRows - 1) * rowPx;
    const int from = direction > 0 ? rowPx : 0;
    const int to = direction > 0 ? 0 : rowPx;
    const int incoming = direction > 0 ? grid_.VisibleRows : 1;
    const bool positions = !files_.CurrentFormat.HidePositionColumn;
    // The screens and the window move with their twins: only the row coming in is painted.
    const struct {
        Pane* pane;
        Surface* twin;
    } moved[] = {{EmpList, &grid_.EmpListBack}, {positions ? EmpPos : nullptr, positions ? &grid_.EmpPosBack : nullptr},
                 {Grid, &grid_.GridBack}};
    for (const auto& m : moved) {
        if (!m.twin) continue;
        ScrollTwin(m.pane, *m.twin, 0, to - from, {0, from, m.twin->Width(), from + blockH});
    }
    grid_.DrawScheduleCells(1, files_.VisibleDays, incoming, incoming);
    if (positions) grid_.DrawPositionColumn(incoming, incoming);
    grid_.DrawNameColumn(incoming, incoming);
    for (const auto& m : moved) {
        if (m.twin) ShowTwinBeside(m.pane, *m.twin, {0, to, m.twin->Width(), to + blockH});
    }
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
}

// ---------------------------------------------------------------- days

void MainForm::ScrollForwardOneDay() { ScrollOneDay(+1); }
void MainForm::ScrollBackOneDay() { ScrollOneDay(-1); }

void MainForm::ScrollDays(int direction, int count)
{
    int moved = 0;
    Status failure;
    bool outOfRange = false;
    for (; moved < count; ++moved) {
        const Result<bool> r = ScrollVisibleDays(files_, direction);
        if (!r) {
            failure = r.status();
            break;
        }
        if (!r.value()) {
            outOfRange = true;
            break;
        }
    }
    if (moved < count) {
        // A spin button held down would go on repeating behind the message, one more message
        // with every repeat.
        SpinUp->setDown(false);
        SpinDown->setDown(false);
    }
    if (moved > 0) {
        grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
        grid_.CursorDay = grid_.FirstTaggedDay;
        // The painted days move by the days moved; only the days coming in are drawn.
        const int shown = std::min(moved, files_.VisibleDays);
        const int colPx = grid_.CellWidthPx;
        const int blockW = (files_.VisibleDays - shown) * colPx;
        const int from = direction > 0 ? shown * colPx : 0;
        const int to = direction > 0 ? 0 : shown * colPx;
        const int first = direction > 0 ? files_.VisibleDays - shown + 1 : 1;
        const int last = direction > 0 ? files_.VisibleDays : shown;
        // The screens and the window move with their twins: only the days coming in are painted.
        const auto shift = [&](Pane* pane, Surface& twin, int height) {
            if (blockW > 0) ScrollTwin(pane, twin, to - from, 0, {from, 0, from + blockW, height});
        };
        const int coverageH = grid_.CoverageRowHeightPx * files_.CurrentFormat.VisibleCoverageTotals + 1;
        if (grid_.CoverageVisible) shift(Coverage, grid_.CoverageBack, coverageH);
        shift(Grid, grid_.GridBack, grid_.GridBack.Height());
        shift(DayRuler, grid_.DayRulerBack, grid_.DayRulerBack.Height());
        grid_.DrawDayColumns(first, last);
        grid_.DrawScheduleCells(first, last, 1, grid_.VisibleRows);
        if (grid_.CoverageVisible) grid_.DrawCoverageCounts(first, last, false);
        SetBusy(false);
        ShowTwinBeside(Grid, grid_.GridBack, {to, 0, to + blockW, grid_.GridBack.Height()});
        if (grid_.CoverageVisible) ShowTwinBeside(Coverage, grid_.CoverageBack, {to, 0, to + blockW, coverageH});
        ShowTwinBeside(DayRuler, grid_.DayRulerBack, {to, 0, to + blockW, grid_.DayRulerBack.Height()});
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    }
    if (!failure) {
        ReportStoreError(failure);
    } else if (outOfRange) {
        msg_.beep();
        ReportDateOutOfRangeAndOffer();
    }
}

bool MainForm::FilterWheelEvent(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::Wheel) return false;
    // The name and position editors stand over their columns.
    const QObject* const over[] = {Grid, EmpList, EmpPos, Coverage, CoverageDesc, EmpText, EmpText2};
    if (std::find(std::begin(over), std::end(over), watched) == std::end(over)) return false;
    const auto& wheel = *static_cast<QWheelEvent*>(e);
    CancelToolTip();
    if (NoScheduleOpen || grid_.LayoutInProgress || !Grid->isEnabled()) return true;

    // One notch is 120 units of angle and moves the system's wheel lines, as the scroll bars
    // do; Shift turns the wheel sideways (some platforms turn it themselves).
    const QPoint angle = wheel.angleDelta();
    const bool sideways = wheel.modifiers() & Qt::ShiftModifier;
    const int down = sideways ? 0 : angle.y();
    const int across = sideways ? angle.x() + angle.y() : angle.x();
    const auto steps = [](int delta, double& rest) {
        rest += delta / 120.0 * QApplication::wheelScrollLines();
        const int n = static_cast<int>(rest);
        rest -= n;
        return n;
    };
    // Rows through the scroll bar, whose change scrolls them (and commits an open editor).
    const int rows = steps(down, wheelRestRows_);
    if (rows != 0) VScroll2->setValue(std::clamp(VScroll2->value() - rows, VScroll2->minimum(), VScroll2->maximum()));
    // Days as the spin button moves them, up to either end of the period without a question.
    const int days = -steps(across, wheelRestDays_);
    if (days != 0) {
        const int room = days > 0 ? files_.PeriodDays() - files_.ScheduleProps.FirstVisibleDay - files_.VisibleDays
                                  : files_.ScheduleProps.FirstVisibleDay;
        const int count = std::min(std::abs(days), std::max(room, 0));
        if (count > 0) {
            ScrollDays(days > 0 ? +1 : -1, count);
            if (Grid->isVisible()) Grid->setFocus();
        }
    }
    return true;
}

void MainForm::SpinButton1_SpinUp()
{
    CancelToolTip();
    SpinDownCount = 0;
    // Slowly for the first days of a press, then fast.
    if (SpinUpCount == 0) {
        SpinUp->setAutoRepeatDelay(175);
        SpinUp->setAutoRepeatInterval(175);
    }
    if (SpinUpCount > 2) {
        SpinUpCount = 4;
        SpinUp->setAutoRepeatInterval(25);
    }
    ScrollForwardOneDay();
    ++SpinUpCount;
    if (Grid->isVisible()) Grid->setFocus();
}

void MainForm::SpinButton1_SpinDown()
{
    CancelToolTip();
    SpinUpCount = 0;
    if (SpinDownCount == 0) {
        SpinDown->setAutoRepeatDelay(175);
        SpinDown->setAutoRepeatInterval(175);
    }
    if (SpinDownCount > 2) {
        SpinDownCount = 4;
        SpinDown->setAutoRepeatInterval(25);
    }
    ScrollBackOneDay();
    ++SpinDownCount;
    if (Grid->isVisible()) Grid->setFocus();
}

// ---------------------------------------------------------------- moving the tag

void MainForm::MoveRight(bool shift, bool advance)
{
    const int v = files_.VisibleDays;
    if (advance && v == 1) return;
    if (!shift && grid_.LastTaggedDay > grid_.FirstTaggedDay) grid_.CursorDay = grid_.LastTaggedDay;
    grid_.CursorDay += 1;
    if (grid_.CursorDay > v) {
        grid_.CursorDay = v;
        if (!shift) {
            ScrollForwardOneDay();
            // The scroll restarts the tag at the run's first day; it goes on the new last day.
            grid_.CursorDay = v;
            grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
        }
        return;
    }
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, shift ? 2 : 1);
}

void MainForm::MoveLeft(bool shift)
{
    if (shift && grid_.FirstTaggedDay == grid_.LastTaggedDay) return;
    if (!shift && grid_.LastTaggedDay > grid_.FirstTaggedDay) grid_.CursorDay = grid_.FirstTaggedDay;
    grid_.CursorDay -= 1;
    if (grid_.CursorDay < 1) {
        grid_.CursorDay = 1;
        if (!shift) ScrollBackOneDay();
        return;
    }
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, shift ? 2 : 1);
}

void MainForm::MoveDown()
{
    grid_.CursorRow += 1;
    if (grid_.CursorRow > grid_.VisibleRows) {
        grid_.CursorRow = grid_.VisibleRows;
        if (VScroll2->value() + 1 < kSlots - grid_.VisibleRows + 1) VScroll2->setValue(VScroll2->value() + 1);
    } else {
        grid_.CursorDay = grid_.FirstTaggedDay;
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
    }
}

void MainForm::MoveUp()
{
    grid_.CursorRow -= 1;
    if (grid_.CursorRow < 1) {
        grid_.CursorRow = 1;
        if (VScroll2->value() > 0) VScroll2->setValue(VScroll2->value() - 1);
    } else {
        grid_.CursorDay = grid_.FirstTaggedDay;
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
    }
}

// ---------------------------------------------------------------- keys

bool MainForm::Form_KeyDown(int keyCode, bool shift, bool ctrl, bool alt)
{
    const bool gridFocused = Grid->hasFocus();
    // 1. Enter in the grid is the Right arrow.
    if (keyCode == kKeyEnter && gridFocused) keyCode = kKeyRight;

    // 3. and 4. Ctrl+N starts a note, Ctrl+L opens the explanation list.
    if (ctrl && (keyCode == 'N' || keyCode == 'L')) {
        if (!NotePad->isEnabled() || !gridFocused || CurrentRowIsDivider()) return false;
        if (grid_.DaysTagged() == 1 && files_.VisibleDays > 1) AdvanceAfterEntry = true;
        if (keyCode == 'N') {
            NotePad->setFocus();
        } else {
            ComboDropPending = true;
            Explainations->setFocus();
        }
        return true;
    }

    // 5.
    CancelToolTip();
    ExplListBrowsing = false;
    ShiftListBrowsing = false;

    // 6. Only the grid itself takes the rest.
    if ((ctrl || alt) && !shift) return false;
    if (!gridFocused) return false;

    switch (keyCode) {
    case kKeyPageDown:  // 7.
        VScroll2->setValue(std::min(VScroll2->value() + VScroll2->pageStep(), VScroll2->maximum()));
        return true;
    case kKeyPageUp:
        VScroll2->setValue(std::max(VScroll2->value() - VScroll2->pageStep(), VScroll2->minimum()));
        return true;
    case kKeyEnd:  // 8.
        if (shift) {
            if (grid_.CursorDay < files_.VisibleDays) {
                grid_.CursorDay = files_.VisibleDays;
                grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 2);
            }
        } else {
            grid_.CursorDay = files_.VisibleDays;
            grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
        }
        return true;
    case kKeyHome:
        grid_.CursorDay = 1;
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 1);
        return true;
    case kKeyRight:  // 10.
        MoveRight(shift, false);
        return true;
    case kKeyLeft:  // 11.
        MoveLeft(shift);
        return true;
    case kKeyDown:  // 12.
        MoveDown();
        return true;
    case kKeyUp:  // 13.
        MoveUp();
        return true;
    default:
        break;
    }

    // 9. Space, Delete and the hot keys. On a requirement row digits go to the note box.
    const bool typingNumber = OnRequirementRow() && ((keyCode >= '0' && keyCode <= '9'));
    if (typingNumber) return false;
    if (keyCode == kKeySpace || keyCode == kKeyDelete || (keyCode > 0 && keyCode < 91)) {
        const EditResult r = editor_->HotKey(CurrentRun(), keyCode, shift, grid_.TwoShiftMode, HotKeyTable);
        AfterEdit(r);
        if (r.advance) MoveRight(false, true);  // after a hot key the Shift state counts as released
        return r.applied || keyCode == kKeySpace || keyCode == kKeyDelete || (keyCode >= 'A' && keyCode <= 'Z') ||
               (keyCode >= '0' && keyCode <= '9');
    }
    return false;
}

bool MainForm::Form_KeyPress(QChar c)
{
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) return true;  // swallowed, no beep
    if (Grid->hasFocus() && OnRequirementRow() && (c.isDigit() || c == QLatin1Char('.'))) {
        NotePad->setFocus();
        NotePad->setText(QString(c));
        if (files_.VisibleDays > 1) AdvanceAfterEntry = true;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- the mouse on the panes

void MainForm::Grid_MouseDown(int, int, double x, double y)
{
    // The click gave the grid the focus, and a name or position being typed was refused: it is
    // still being corrected.
    for (const QLineEdit* e : {EmpText, EmpText2}) {
        if (e->isVisible() && !UnstorableCharacters(e->text()).empty()) return;
    }
    if (x < 0 || y < 0 || x >= Grid->ScaleWidthTw() || y >= Grid->ScaleHeightTw()) return;
    const int oldRow = grid_.CursorRow;
    const int oldDay = grid_.CursorDay;
    int row = 0, slot = 0, day = 0;
    grid_.GridHitTest(x, y, row, slot, day);
    CancelToolTip();
    if (day > files_.VisibleDays || row > grid_.VisibleRows || slot == 0) {
        grid_.CursorRow = oldRow;
        grid_.CursorDay = oldDay;
        return;
    }
    GridDragging = true;
    files_.ScheduleModified = true;
    grid_.CursorRow = row;
    grid_.CursorDay = day;
    grid_.TagDayCells(row, day, 1);
    Grid->setFocus();
}

void MainForm::Grid_MouseMove(int, int, double x, double y)
{
    if (Grid->WidthTw() - x < 1000) Tabitha->setEnabled(false);
    if (x < 0 || y < 0 || x >= Grid->ScaleWidthTw() || y >= Grid->ScaleHeightTw()) return;
    CancelToolTip();
    if (!GridDragging) return;
    int row = 0, slot = 0, day = 0;
    grid_.GridHitTest(x, (grid_.CursorRow - 1) * grid_.RowHeight + 1, row, slot, day);
    if (day > files_.VisibleDays) {
        grid_.CursorDay = files_.VisibleDays;
    } else if (day < 1) {
        grid_.CursorDay = 1;
    } else {
        // Compared with the run's end: the cursor day may have been held at an edge without
        // a tag call.
        grid_.CursorDay = day;
        if (day != grid_.LastTaggedDay) grid_.TagDayCells(grid_.CursorRow, day, 2);
    }
}

void MainForm::Grid_MouseUp(int, int, double, double) { GridDragging = false; }

void MainForm::EmpList_MouseMove(int, int, double x, double y)
{
    CancelToolTip();
    const int row = grid_.TopRow + Runtime::IntDiv(y, grid_.RowHeight);
    if (!IsSlot(row)) return;
    if (IsDividerRow(files_.EmpTable, row)) {
        EmpList->setCursor(Qt::UpArrowCursor);
        DividerPropertiesRecord d;
        QString caption;
        if (files_.ReadRecord(FileNo::Dividers, files_.ScheduleProps.RowMap[row], d)) caption = Runtime::Trim(d.Caption.str());
        ShowToolTip(EmpList, caption.isEmpty() ? QStringLiteral("Divider") : caption, static_cast<int>(x),
                    static_cast<int>(y));
    } else {
        EmpList->setCursor(Qt::IBeamCursor);
    }
}

void MainForm::EmpList_MouseDown(int, int, double, double y)
{
    const int visible = Runtime::IntDiv(y, grid_.RowHeight) + 1;
    if (visible < 1 || visible > grid_.VisibleRows) return;
    const int row = grid_.DisplayRow(visible);
    if (!IsSlot(row)) return;
    if (IsDividerRow(files_.EmpTable, row)) {
        if (Grid->isVisible()) Grid->setFocus();
        SelectRowAt(y);
        CancelToolTip();
        if (!EditDividerProperties(0)) return;
        // Its caption, colour or style may have changed, and with the style its coverage.
        SetBusy(true);
        const int r = grid_.CursorRow;
        grid_.DrawNameColumn(r, r);
        grid_.DrawPositionColumn(r, r);
        grid_.DrawScheduleCells(1, files_.VisibleDays, r, r);
        grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
        grid_.CursorDay = std::max(grid_.FirstTaggedDay, 1);
        grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
        SetBusy(false);
        return;
    }
    OpenRowEditors(visible, false);
}

void MainForm::EmpPos_MouseMove(int, int, double, double y)
{
    const int row = grid_.TopRow + Runtime::IntDiv(y, grid_.RowHeight);
    if (!IsSlot(row)) return;
    EmpPos->setCursor(IsDividerRow(files_.EmpTable, row) ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void MainForm::EmpPos_MouseDown(int, int, double, double y)
{
    const int visible = Runtime::IntDiv(y, grid_.RowHeight) + 1;
    if (visible < 1 || visible > grid_.VisibleRows) return;
    const int row = grid_.DisplayRow(visible);
    if (!IsSlot(row) || IsDividerRow(files_.EmpTable, row)) return;
    OpenRowEditors(visible, true);
}

void MainForm::CoverageDesc_MouseDown(int, int, double, double y)
{
    if (isMinimized()) return;
    const int k = Runtime::IntDiv(y, grid_.CoverageRowHeight) + 1;
    // Below the last line shown there is nothing to edit.
    if (k < 1 || k > files_.CurrentFormat.VisibleCoverageTotals) return;
    SetBusy(true);
    Cover2 dlg(files_, grid_, msg_, k, this);
    dlg.exec();
    // After OK only the edited line is counted again; its title and colour may have changed.
    SetBusy(true);
    grid_.DrawCoverageDescriptions();
    grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    SetBusy(false);
}

// ---------------------------------------------------------------- combos

bool MainForm::ComboKey(QComboBox* combo, QKeyEvent* e)
{
    const bool shifts = combo == ShiftSelector;
    bool& browsing = shifts ? ShiftListBrowsing : ExplListBrowsing;
    int& saved = shifts ? ShiftListSavedIndex : ExplListSavedIndex;
    switch (e->key()) {
    case Qt::Key_Escape:
        if (shifts) msg_.beep();
        {
            const QSignalBlocker block(combo);
            combo->setCurrentIndex(saved);
        }
        browsing = false;
        if (Grid->isVisible()) Grid->setFocus();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        browsing = false;
        // Taken first: leaving the list clears it.
        const bool advance = AdvanceAfterEntry;
        if (shifts) {
            currentShiftCode_ = combo->currentData().toInt();
            if (Grid->isVisible()) Grid->setFocus();
            SetBusy(true);
            grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
            grid_.DrawCoverageDescriptions();
            SetBusy(false);
        } else {
            explComboBusy_ = true;
            AfterEdit(editor_->ApplyExplanation(CurrentRun(), combo->currentData().toInt()));
            explComboBusy_ = false;
            if (Grid->isVisible()) Grid->setFocus();
            AdvanceAfterEntry = false;
            if (advance) MoveRight(false, true);
        }
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
        browsing = true;
        return false;
    default: {
        // A first letter that more than one entry starts with only moves the selection.
        const QString t = e->text().toUpper();
        if (t.size() == 1 && t[0].isLetterOrNumber()) {
            int count = 0;
            for (int i = 0; i < combo->count(); ++i) {
                if (combo->itemText(i).trimmed().toUpper().startsWith(t)) ++count;
            }
            browsing = count > 1;
        }
        return false;
    }
    }
}

// ---------------------------------------------------------------- the window's event filter

bool MainForm::FilterEditingEvent(QObject* watched, QEvent* e)
{
    const QEvent::Type t = e->type();

    // Ctrl+A, Ctrl+X and Ctrl+O from the keyboard move the tag on after the command. The flag
    // is set when the shortcut really runs the command, not when a text box takes the key
    // (Ctrl+X cuts there), which would leave it for a later click on a tool button.
    if (t == QEvent::Shortcut) {
        if (KeyPreview && files_.VisibleDays > 1) {
            if (watched == Edit_TimeOff) TimeOffKeyPending = true;
            if (watched == Edit_OnCall) OnCallKeyPending = true;
            if (watched == Edit_DrawShift) AssignKeyPending = true;
        }
        return false;
    }

    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;

    if (t == QEvent::KeyPress && w->window() == this) {
        auto* k = static_cast<QKeyEvent*>(e);
        // The window sees the key before its focused control.
        if (KeyPreview) {
            const Qt::KeyboardModifiers m = k->modifiers();
            const int code = KeyCodeOf(*k);
            if (code != 0 && Form_KeyDown(code, m & Qt::ShiftModifier, m & Qt::ControlModifier, m & Qt::AltModifier)) {
                return true;
            }
        }
        if (w == ShiftSelector || w == Explainations) {
            if (ComboKey(static_cast<QComboBox*>(w), k)) return true;
        }
        if (w == NotePad) {
            if (NotePadKey(k)) return true;
        }
        if (KeyPreview && !k->text().isEmpty() && w == Grid && Form_KeyPress(k->text()[0])) return true;
        return false;
    }

    if (t == QEvent::FocusIn) {
        if (w == Grid) {
            // Back in the grid: an editor left open beside the one that had the focus closes too.
            for (QLineEdit* editor : {EmpText, EmpText2}) {
                // A text refused there keeps its editor, and the focus goes back to it.
                if (editor->isVisible() && !CommitEditor(editor)) return false;
            }
            KeyPreview = true;
            MenuEdit->setEnabled(!NoScheduleOpen);
            grid_.UpdateNoteButtons();
            NoteEditing = false;
        } else if (w == EmpText || w == EmpText2) {
            MenuEdit->setEnabled(false);
            KeyPreview = false;
            editorTextAtFocus_ = static_cast<QLineEdit*>(w)->text();
        } else if (w == NotePad) {
            CancelToolTip();
            if (!OnRequirementRow()) {
                KeyPreview = false;
                // Back from another window (a message box among them) the entry goes on.
                if (static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason)
                    noteTextAtFocus_ = NotePad->text();
                SetNoteButtonsActive(true);
                NoteEditing = true;
            }
        } else if (w == NoteCheck || w == NoteX) {
            if (!NoteEditing || OnRequirementRow()) {
                if (Grid->isVisible()) Grid->setFocus();
            }
        } else if (w == Tabitha) {
            ContinueEntry();
        } else if (w == ShiftSelector) {
            ShiftListSavedIndex = ShiftSelector->currentIndex();
        } else if (w == Explainations) {
            ExplListSavedIndex = Explainations->currentIndex();
        }
        return false;
    }

    if (t == QEvent::FocusOut) {
        auto* f = static_cast<QFocusEvent*>(e);
        if (w == EmpText || w == EmpText2) {
            // A click elsewhere in the window, or Tab: the text is stored.
            if (f->reason() != Qt::PopupFocusReason)
                CommitEditor(static_cast<QLineEdit*>(w), f->reason() == Qt::ActiveWindowFocusReason);
        } else if (w == NoteCheck && NoteEditing) {
            SetNoteButtonsActive(false);
            NoteEditing = false;
        } else if (w == NotePad) {
            KeyPreview = true;
            if (QApplication::focusWidget() != NoteCheck && QApplication::focusWidget() != NoteX) {
                SetNoteButtonsActive(false);
                NoteEditing = false;
                AdvanceAfterEntry = false;
            }
        } else if (w == Explainations && f->reason() != Qt::PopupFocusReason && !Explainations->view()->isVisible()) {
            // Not when its own list opens (Ctrl+L): the entry is still to come.
            AdvanceAfterEntry = false;
        }
        return false;
    }
    return false;
}

bool MainForm::NotePadKey(QKeyEvent* k)
{
    const int key = k->key();
    if (OnRequirementRow()) {
        if (key == Qt::Key_Escape) {
            if (Grid->isVisible()) Grid->setFocus();
            grid_.DrawScheduleCells(grid_.FirstTaggedDay, grid_.LastTaggedDay, grid_.CurrentRow, grid_.CurrentRow);
            grid_.TagDayCells(grid_.CurrentRow, grid_.CursorDay, 3);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
            StoreNumber(key == Qt::Key_Up || key == Qt::Key_Down);
            return true;
        }
        // Only digits, the decimal point and Backspace are typed.
        const QString text = k->text();
        if (key == Qt::Key_Backspace || key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Delete ||
            key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Tab) {
            return false;
        }
        if (text.size() == 1 && (text[0].isDigit() || text[0] == QLatin1Char('.'))) return false;
        return true;
    }
    if (key == Qt::Key_Escape) {
        RestoreNote();
        if (Grid->isVisible()) Grid->setFocus();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up || key == Qt::Key_Down) {
        if (!AdvanceAfterEntry) msg_.beep();
        SaveNote();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- wiring

void MainForm::ConnectEditing()
{
    connect(Edit_Undo, &QAction::triggered, this, &MainForm::Edit_Undo_Click);
    connect(Edit_Cut, &QAction::triggered, this, &MainForm::Edit_Cut_Click);
    connect(Edit_Copy, &QAction::triggered, this, &MainForm::Edit_Copy_Click);
    connect(Edit_Paste, &QAction::triggered, this, &MainForm::Edit_Paste_Click);
    connect(Edit_SelPaste, &QAction::triggered, this, &MainForm::Edit_SelPaste_Click);
    connect(Edit_Clear, &QAction::triggered, this, &MainForm::Edit_Clear_Click);
    connect(Edit_InsertLine, &QAction::triggered, this, &MainForm::Edit_InsertLine_Click);
    connect(Edit_RemoveLine, &QAction::triggered, this, &MainForm::Edit_RemoveLine_Click);
    connect(Edit_Divider, &QAction::triggered, this, &MainForm::Edit_Divider_Click);
    connect(Edit_MarkName, &QAction::triggered, this, &MainForm::Edit_MarkName_Click);
    connect(Edit_MoveName, &QAction::triggered, this, &MainForm::Edit_MoveName_Click);
    connect(Edit_DrawShift, &QAction::triggered, this, &MainForm::Edit_DrawShift_Click);
    connect(Edit_TimeOff, &QAction::triggered, this, &MainForm::Edit_TimeOff_Click);
    connect(Edit_EraseShift, &QAction::triggered, this, &MainForm::Edit_EraseShift_Click);
    connect(Edit_OnCall, &QAction::triggered, this, &MainForm::Edit_OnCall_Click);
    connect(MenuEdit, &QMenu::aboutToShow, this, &MainForm::MenuEdit_Show);
    for (QAction* a : {Edit_DrawShift, Edit_TimeOff, Edit_OnCall}) a->installEventFilter(this);
    connect(View_Alpha, &QAction::triggered, this, &MainForm::View_Alpha_Click);
    connect(View_ByPos, &QAction::triggered, this, &MainForm::View_ByPos_Click);
    connect(View_FindName, &QAction::triggered, this, &MainForm::View_FindName_Click);

    connect(ButtonAssign, &QToolButton::clicked, this, &MainForm::ButtonAssign_Click);
    connect(ButtonTimeOff, &QToolButton::clicked, this, &MainForm::ButtonTimeOff_Click);
    connect(ButtonErase, &QToolButton::clicked, this, &MainForm::ButtonErase_Click);
    connect(ButtonCall, &QToolButton::clicked, this, &MainForm::ButtonCall_Click);
    connect(ButtonCal, &QToolButton::clicked, this, &MainForm::ButtonCal_Click);
    connect(ButtonHourCov, &QToolButton::clicked, this, &MainForm::ButtonHourCov_Click);
    connect(SSCommand1, &QToolButton::clicked, this, &MainForm::SSCommand1_Click);
    connect(SSCommand2, &QToolButton::clicked, this, &MainForm::SSCommand2_Click);
    connect(SpinUp, &QToolButton::clicked, this, &MainForm::SpinButton1_SpinUp);
    connect(SpinDown, &QToolButton::clicked, this, &MainForm::SpinButton1_SpinDown);
    connect(ShiftSelector, qOverload<int>(&QComboBox::activated), this, &MainForm::ShiftSelector_Click);
    connect(Explainations, qOverload<int>(&QComboBox::activated), this, &MainForm::Explainations_Click);
    connect(NoteCheck, &QPushButton::clicked, this, &MainForm::NoteCheck_Click);
    connect(NoteX, &QPushButton::clicked, this, &MainForm::NoteX_Click);
    connect(VScroll2, &QScrollBar::valueChanged, this, &MainForm::VScroll2_Change);

    connect(Grid, &Pane::MouseDown, this, &MainForm::Grid_MouseDown);
    connect(Grid, &Pane::MouseMove, this, &MainForm::Grid_MouseMove);
    connect(Grid, &Pane::MouseUp, this, &MainForm::Grid_MouseUp);
    connect(EmpList, &Pane::MouseMove, this, &MainForm::EmpList_MouseMove);
    connect(EmpList, &Pane::MouseDown, this, &MainForm::EmpList_MouseDown);
    connect(EmpPos, &Pane::MouseMove, this, &MainForm::EmpPos_MouseMove);
    connect(EmpPos, &Pane::MouseDown, this, &MainForm::EmpPos_MouseDown);
    connect(CoverageDesc, &Pane::MouseDown, this, &MainForm::CoverageDesc_MouseDown);
    connect(DayRuler, &Pane::MouseUp, this, [this](int, int, double, double) { DayRuler_Click(); });
    connect(Coverage, &Pane::MouseMove, this, [this](int, int, double x, double) {
        CancelToolTip();
        if (Coverage->WidthTw() - x < 1000) Tabitha->setEnabled(false);
    });

    // Typing in the editors is a change; Enter moves on.
    connect(EmpText, &QLineEdit::textEdited, this, [this] { files_.ScheduleModified = true; });
    connect(EmpText2, &QLineEdit::textEdited, this, [this] { files_.ScheduleModified = true; });
    connect(EmpText, &QLineEdit::returnPressed, this, [this] {
        if (EmpText2->isVisible()) EmpText2->setFocus();
        else Tabitha->setFocus();
    });
    connect(EmpText2, &QLineEdit::returnPressed, this, [this] { Tabitha->setFocus(); });
    for (QWidget* w : {static_cast<QWidget*>(Grid), static_cast<QWidget*>(EmpText), static_cast<QWidget*>(EmpText2),
                       static_cast<QWidget*>(NotePad), static_cast<QWidget*>(NoteCheck), static_cast<QWidget*>(NoteX),
                       static_cast<QWidget*>(Tabitha), static_cast<QWidget*>(ShiftSelector),
                       static_cast<QWidget*>(Explainations)}) {
        w->installEventFilter(this);
    }
    // The wheel over the panes of the grid.
    for (QWidget* w : {static_cast<QWidget*>(EmpList), static_cast<QWidget*>(EmpPos), static_cast<QWidget*>(Coverage),
                       static_cast<QWidget*>(CoverageDesc)}) {
        w->installEventFilter(this);
    }
    QWidget::setTabOrder(EmpText, EmpText2);
    QWidget::setTabOrder(EmpText2, Tabitha);
}

}  // namespace tavrin
