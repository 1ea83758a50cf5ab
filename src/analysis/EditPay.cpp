#include "analysis/EditPay.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/NameSelection.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {
constexpr double kHighestRate = 999.99;
}  // namespace

QString CostListEntryText(const EmployeeTable& emp, int row)
{
    return NameEntryText(emp, row) + QStringLiteral(", ") +
           Runtime::FormatNumber(Fixed4ToDouble(emp.PayRate[row]), QStringLiteral("###0.00")) +
           (IsDailyPay(emp.PayType[row]) ? QStringLiteral("/D") : QStringLiteral("/H"));
}

EditPay::EditPay(SchedFiles& files, QWidget* parent) : QDialog(parent), files_(files)
{
    setObjectName(QStringLiteral("EditPay"));
    setWindowTitle(QStringLiteral("Edit Employee Cost Information"));
    setModal(true);

    EmpName = new QLabel(this);
    EmpName->setObjectName(QStringLiteral("EmpName"));
    EmpName->setFrameShape(QFrame::Panel);
    EmpName->setFrameShadow(QFrame::Sunken);
    Position = new QLabel(this);
    Position->setObjectName(QStringLiteral("Position"));
    Position->setFrameShape(QFrame::Panel);
    Position->setFrameShadow(QFrame::Sunken);
    PayRate = new QLineEdit(this);
    PayRate->setObjectName(QStringLiteral("PayRate"));
    SelectAllOnFocus(PayRate);
    auto* costLabel = new QLabel(QStringLiteral("&Cost:"), this);
    costLabel->setBuddy(PayRate);

    auto* frame = new QGroupBox(QStringLiteral("Cost entered by"), this);
    PayType[0] = new QRadioButton(QStringLiteral("Hour"), frame);
    PayType[0]->setObjectName(QStringLiteral("PayType(0)"));
    PayType[1] = new QRadioButton(QStringLiteral("Day"), frame);
    PayType[1]->setObjectName(QStringLiteral("PayType(1)"));
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(PayType[0]);
    frameLayout->addWidget(PayType[1]);

    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral(" Name"), this), 0, 0);
    fields->addWidget(EmpName, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral(" Position"), this), 1, 0);
    fields->addWidget(Position, 1, 1);
    fields->addWidget(costLabel, 2, 0);
    fields->addWidget(PayRate, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    checks_ = new BoxChecks(this);
    checks_->Add(PayRate, [this] { return PayRate_LostFocus(); });
    checks_->Exempt(Command1);

    // Every edit marks the schedule modified, even one given up with Cancel.
    connect(PayRate, &QLineEdit::textChanged, this, [this] { files_.ScheduleModified = true; });
    for (QRadioButton* b : PayType) {
        connect(b, &QRadioButton::clicked, this, [this] { files_.ScheduleModified = true; });
    }
    connect(Command1, &QPushButton::clicked, this, &EditPay::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &EditPay::Command2_Click);
}

void EditPay::Fill(int row)
{
    const EmployeeTable& emp = files_.EmpTable;
    EmpName->setText(QStringLiteral(" ") + emp.Name[row].raw().replace(QChar(0), u' '));
    Position->setText(QStringLiteral(" ") + emp.Position[row].raw().replace(QChar(0), u' '));
    PayRate->setText(Runtime::FormatNumber(Fixed4ToDouble(emp.PayRate[row]), QStringLiteral("##0.00")));
    // A pay type other than 1 is priced by the hour, so it shows as Hour.
    PayType[IsDailyPay(emp.PayType[row]) ? 1 : 0]->setChecked(true);
    files_.ScheduleModified = true;
    DialogCancelled = false;
}

Fixed4 EditPay::Rate() const
{
    return ToFixed4(Runtime::Val(PayRate->text()));
}

int EditPay::Type() const
{
    return PayType[1]->isChecked() ? 1 : 0;
}

bool EditPay::PayRate_LostFocus()
{
    bool ok = true;
    const double v = Runtime::Val(PayRate->text());
    if (v < 0 || v > kHighestRate) {
        files_.Msg().beep();
        files_.Msg().show(QStringLiteral("Only values from 0.00 to 999.99 are valid."), Mb::Exclamation,
                          QStringLiteral("Error"));
        PayRate->setText(QStringLiteral("0.0"));
        ok = false;
    }
    PayRate->setText(Runtime::FormatNumber(Runtime::Val(PayRate->text()), QStringLiteral("##0.00")));
    return ok;
}

void EditPay::Command2_Click()
{
    // Enter on OK moves no focus, so the rate is checked here too.
    if (!checks_->RunAll()) return;
    DialogCancelled = false;
    accept();
}

void EditPay::Command1_Click()
{
    reject();
}

void EditPay::reject()
{
    // Cancel, Esc and the close box.
    DialogCancelled = true;
    QDialog::reject();
}

bool EditEmployeeCost(SchedFiles& files, GridPaint& grid, int row, QListWidgetItem* entry, QWidget* parent)
{
    if (!IsSlot(row)) return false;
    EditPay dlg(files, parent);
    dlg.Fill(row);
    dlg.adjustSize();
    grid.CenterFormOnMainForm(&dlg);
    dlg.exec();
    if (dlg.DialogCancelled) return false;

    EmployeeTable& emp = files.EmpTable;
    const Fixed4 rate = dlg.Rate();
    const auto type = static_cast<Int16>(dlg.Type());
    if (emp.PayRate[row] != rate || emp.PayType[row] != type) files.ScheduleModified = true;
    emp.PayRate[row] = rate;
    emp.PayType[row] = type;
    if (entry) entry->setText(CostListEntryText(emp, row));
    return true;
}

}  // namespace tavrin
