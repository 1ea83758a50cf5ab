// Schedule Multiple, Copy Multiple, the Query dialog and the saved queries, and the properties
// of dividers and the day ruler, with the refresh of the window after each.
#include <QCoreApplication>
#include <algorithm>

#include "app/MainForm.h"
#include "editing/Mcopy.h"
#include "editing/Multisch.h"
#include "editing/ObjProps.h"
#include "editing/Query.h"
#include "editing/QuerySel.h"
#include "grid/GridPaint.h"
#include "platform/Pane.h"
#include "store/SchedFiles.h"

namespace tavrin {

std::optional<int> MainForm::SelectQuery(QWidget* over, int preset)
{
    bool edited = false;
    const std::optional<int> chosen = tavrin::SelectQuery(files_, grid_, msg_, over, preset, &edited);
    AfterQueryEdits(edited);
    return chosen;
}

QueryPicker MainForm::SelectQueryFunction()
{
    return [this](QWidget* over, int preset) { return SelectQuery(over, preset); };
}

void MainForm::AfterQueryEdits(bool edited)
{
    UpdateHighLighter();
    if (!edited || CheckedQueryNo(files_.ScheduleProps.HighlightQuery) == 0) return;
    SetBusy(true);
    grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
    grid_.CursorDay = std::max(grid_.FirstTaggedDay, 1);
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    SetBusy(false);
}

void MainForm::Edit_MSched_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    // Each run redraws the window itself.
    Multisch dlg(files_, grid_, msg_, this);
    dlg.exec();
    AfterQueryEdits(dlg.QueryEdited);
}

void MainForm::Edit_Mcopy_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    Mcopy dlg(files_, grid_, msg_, this);
    dlg.exec();
    if (dlg.DialogCancelled) return;
    FillShiftList();
    RedrawAfterDefinitions(false);
}

void MainForm::Report_Query_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    Query dlg(files_, grid_, msg_, *this, this);
    dlg.exec();
    AfterQueryEdits(dlg.QueryEdited);
}

std::optional<DividerPropertiesRecord> MainForm::EditDividerProperties(int recordNo)
{
    SetBusy(true);
    ObjProps dlg(files_, grid_, msg_, recordNo, this);
    dlg.exec();
    SetBusy(false);
    if (dlg.DialogCancelled) return std::nullopt;
    return dlg.Record();
}

void MainForm::DayRuler_Click()
{
    CancelToolTip();
    const std::optional<DividerPropertiesRecord> ruler = EditDividerProperties(kDayRulerRecord);
    if (!ruler) {
        if (Grid->isVisible()) Grid->setFocus();
        return;
    }
    files_.DayRulerColour = DayRulerColourOf(*ruler);
    SetColumnHeadingColour(files_.DayRulerColour);
    grid_.LayoutAndRedrawSchedule();
}

}  // namespace tavrin
