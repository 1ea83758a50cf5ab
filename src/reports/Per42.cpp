#include "reports/Per42.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "store/SchedFiles.h"

namespace tavrin {

Per42::Per42(const ReportContext& ctx, QWidget* parent)
    : PersonalReport(ctx, parent, QStringLiteral("Personal 1 to 42 Day Schedule"), QStringLiteral("Start/End time"))
{
    setObjectName(QStringLiteral("Per42"));
    ArrangeControls(MakeRangeRows(Label1, Label3));

    // The block keeps the defaults of a new schedule; the working data are flushed by the run.
    loading_ = true;
    OpenOptions();
    InitRange();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& Per42::Block()
{
    return Files().ScheduleProps.PersonalScheduleSettings;
}

}  // namespace tavrin
