#include "reports/Staff142.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/SchedFiles.h"

namespace tavrin {

Staff142::Staff142(const ReportContext& ctx, QWidget* parent)
    : StaffReport(ctx, parent, QStringLiteral("Staff 1 to 42 Day Schedule"), "Combo1", {1, 2, 3, 4, 5, 6})
{
    setObjectName(QStringLiteral("Staff142"));
    Combo1 = NameFormatList();
    ArrangeControls(MakeRangeRows(Label1, Label3));

    // The opening: options from the block, then the range, the query and the sort.
    loading_ = true;
    OpenOptions("Staff Schedule");
    InitRange();
    OpenSelection();
    UpdateSortButton();
    UpdatePrintButtons();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& Staff142::Block()
{
    return Files().ScheduleProps.ReportSettings[kStaffScheduleBlock];
}

int Staff142::RunColumns() const
{
    return DayCount <= 7 ? DayCount : 7;
}

}  // namespace tavrin
