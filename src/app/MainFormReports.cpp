// The Reports menu: the report dialogs, opened modally over the window, and the query results
// that the Query dialog runs.
#include <QWidget>

#include "app/MainForm.h"
#include "grid/GridPaint.h"
#include "reports/CalRpt2.h"
#include "reports/Group.h"
#include "reports/Per42.h"
#include "reports/Legend.h"
#include "reports/QueryPrt.h"
#include "reports/Staff142.h"
#include "reports/StaffMC.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

template <class Dialog>
void ShowReport(MainForm& form, SchedFiles& files, GridPaint& grid)
{
    form.CancelToolTip();
    Dialog dlg(ReportContext{files, grid, form, form.Print(), form.SelectQueryFunction()}, &form);
    dlg.exec();
}

}  // namespace

void MainForm::Report_Staff_Day142_Click()
{
    ShowReport<Staff142>(*this, files_, grid_);
}

void MainForm::Report_Staff_Month_Click()
{
    ShowReport<StaffMC>(*this, files_, grid_);
}

void MainForm::Report_Staff_Group_Click()
{
    ShowReport<Group>(*this, files_, grid_);
}

void MainForm::Report_Personal_Day142_Click()
{
    ShowReport<Per42>(*this, files_, grid_);
}

void MainForm::Report_Personal_Month_Click()
{
    ShowReport<CalRpt2>(*this, files_, grid_);
}

void MainForm::Report_Legend_Click()
{
    ShowReport<Legend>(*this, files_, grid_);
    // Its Edit may have changed any shift or explanation.
    FillShiftList();
    FillExplanationList();
    LoadHotKeyArray();
    RedrawAfterDefinitions(false);
}

void MainForm::RunQueryReport(QWidget* over, int index, OleDate start, OleDate end)
{
    CancelToolTip();
    QueryPrt dlg(ReportContext{files_, grid_, *this, Print(), SelectQueryFunction()}, index, start, end, over);
    grid_.PositionDialogOverForm(over, &dlg);
    dlg.exec();
    // The results hold their query (the "[Notes]" one too) in the shared buffer while open.
    UpdateHighLighter();
}

}  // namespace tavrin
