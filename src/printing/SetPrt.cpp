#include "printing/SetPrt.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "grid/GridPaint.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "printing/PrintServices.h"

namespace tavrin {

SetPrt::SetPrt(PrintServices& services, GridPaint* grid, QWidget* parent) : QDialog(parent), s_(services), grid_(grid)
{
    setObjectName(QStringLiteral("SetPrt"));
    setWindowTitle(QStringLiteral("Printer Setup"));
    setModal(true);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    resize(420, 260);
    connect(Command1, &QPushButton::clicked, this, &SetPrt::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SetPrt::Command2_Click);

    PrinterDevice& printer = s_.Printer();
    printers_ = printer.Printers();
    if (printer.ListCancelled()) {
        listed_ = false;
        return;
    }
    if (const QString failure = printer.ListFailure(); !failure.isEmpty()) {
        s_.Msg.show(failure + QStringLiteral(" Only the PDF file target is listed."), Mb::OKOnly + Mb::Exclamation,
                    QStringLiteral("Printer Setup"));
    }
    const PrinterInfo current = printer.Current();
    for (const PrinterInfo& p : printers_) {
        List1->addItem(p.DeviceName + QStringLiteral(", ") + p.Port);
        if (p == current) List1->setCurrentRow(List1->count() - 1);
    }
}

void SetPrt::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (grid_) grid_->CenterFormOnScreen(this);
}

void SetPrt::Command1_Click()
{
    const int row = List1->currentRow();
    // With no entry chosen (no printer, or the current one not listed) nothing changes.
    if (row >= 0 && static_cast<std::size_t>(row) < printers_.size() && List1->item(row)->isSelected()) {
        PrinterDevice& printer = s_.Printer();
        (void)printer.SetCurrent(printers_[static_cast<std::size_t>(row)]);
        s_.ReadSavedPaper();
        printer.KillDoc();
    }
    accept();
}

void SetPrt::Command2_Click()
{
    reject();
}

}  // namespace tavrin
