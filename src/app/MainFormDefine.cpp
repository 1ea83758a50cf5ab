// The Define menu and View > Edit Schedule Format: the definition dialogs and the refresh of
// the window after each.
#include <QAction>
#include <QCoreApplication>
#include <cmath>

#include "app/MainForm.h"
#include "editing/ChgView.h"
#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "editing/Props.h"
#include "grid/GridPaint.h"
#include "platform/Runtime.h"
#include "printing/PrtMain.h"
#include "store/SchedFiles.h"

namespace tavrin {

void MainForm::RedrawAfterDefinitions(bool ruler)
{
    SetBusy(true);
    if (ruler) grid_.DrawDayColumns(1, files_.VisibleDays);
    grid_.DrawScheduleCells(1, files_.VisibleDays, 1, grid_.VisibleRows);
    grid_.DrawCoverageCounts(1, files_.VisibleDays, false);
    grid_.CursorDay = grid_.FirstTaggedDay > 0 ? grid_.FirstTaggedDay : 1;
    grid_.TagDayCells(grid_.CursorRow, grid_.CursorDay, 0);
    SetBusy(false);
}

void MainForm::Define_Shifts_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    DefShft2 dlg(files_, grid_, msg_, this);
    dlg.exec();
    // Only an OK after an edit changes what the window shows.
    if (dlg.DialogCancelled) return;
    FillShiftList();
    LoadHotKeyArray();
    RedrawAfterDefinitions(false);
}

void MainForm::Define_Explainations_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    DefExp dlg(files_, grid_, msg_, this);
    dlg.exec();
    if (dlg.DialogCancelled) return;
    FillExplanationList();
    LoadHotKeyArray();
    RedrawAfterDefinitions(false);
}

void MainForm::Define_Props_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    Props dlg(files_, grid_, msg_, s_.dialogs, false, this);
    dlg.exec();
    if (dlg.DialogCancelled) return;
    const OleDate start = std::floor(OleDates::Clamped(files_.ScheduleProps.PeriodStart));
    const OleDate end = std::floor(OleDates::Clamped(files_.ScheduleProps.PeriodEnd));
    if (dlg.NewPeriodStart != start || dlg.NewPeriodEnd != end) {
        files_.NewPeriodStart = dlg.NewPeriodStart;
        files_.NewPeriodEnd = dlg.NewPeriodEnd;
        // A refused or failed change reports itself and keeps the old period.
        files_.ChangeScheduleDates();
    }
    RedrawAfterDefinitions(true);
}

void MainForm::ShowPropsForNewSchedule()
{
    PropsForNewSchedule = true;
    Props dlg(files_, grid_, msg_, s_.dialogs, true, this);
    dlg.exec();
    PropsForNewSchedule = false;
    // A cancelled dialog keeps the default period.
    if (dlg.DialogCancelled) return;
    files_.ScheduleProps.PeriodStart = dlg.NewPeriodStart;
    files_.ScheduleProps.PeriodEnd = dlg.NewPeriodEnd;
}

void MainForm::View_Change_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QCoreApplication::processEvents();
    ChgView dlg(files_, grid_, msg_, s_.dialogs, *this, this);
    dlg.exec();
    const QString name = Runtime::Trim(files_.CurrentFormat.FormatName.str());
    files_.CurrentFormat.FormatName = name;
    const int current = files_.CurrentFormatNo;
    if (current >= 1 && current <= kFormats) View_format[static_cast<std::size_t>(current - 1)]->setText(name);
    View_Change->setText(QStringLiteral("Edit Schedule Format (") + name + QStringLiteral(")"));
    // The Reports menu names the current format too.
    Report_Current->setText(name);
}

void MainForm::ShowPrintDialog(QWidget* over)
{
    PrtMainServices services{*print_, files_, grid_, SelectQueryFunction(),
                             [this](int code) { return ExplanationListText(code); }};
    PrtMain dlg(std::move(services), over);
    if (over != this) grid_.PositionDialogOverForm(over, &dlg);
    dlg.exec();
    // The query dialogs share the query buffer with the highlighter.
    UpdateHighLighter();
}

void MainForm::File_Print_Click()
{
    ShowPrintDialog(this);
}

void MainForm::Report_Current_Click()
{
    ShowPrintDialog(this);
}

}  // namespace tavrin
