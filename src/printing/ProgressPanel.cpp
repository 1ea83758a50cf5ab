#include "printing/ProgressPanel.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/BusyPointer.h"

namespace tavrin {

ProgressPanel::ProgressPanel(QWidget* dialog) : QFrame(dialog), dialog_(dialog)
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    Panel3D1 = new QLabel(this);
    Panel3D1->setObjectName(QStringLiteral("Panel3D1"));
    Panel3D1->setAlignment(Qt::AlignCenter);
    Done = new QProgressBar(this);
    Done->setObjectName(QStringLiteral("Done"));
    Done->setRange(0, 100);
    Done->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel3D1);
    layout->addWidget(Done);
    hide();
}

void ProgressPanel::Begin(const QString& caption, QWidget* printButton)
{
    Panel3D1->setText(caption);
    Done->setValue(0);
    const QSize size(std::max(260, sizeHint().width()), sizeHint().height());
    setGeometry((dialog_->width() - size.width()) / 2, (dialog_->height() - size.height()) / 2, size.width(),
                size.height());
    raise();
    show();
    button_ = printButton;
    if (button_) button_->setEnabled(false);
    dialog_->setEnabled(false);
    SetBusyPointer(true);
    QApplication::processEvents();
}

void ProgressPanel::SetPercent(int percent)
{
    Done->setValue(std::clamp(percent, 0, 100));
}

void ProgressPanel::End()
{
    hide();
    Done->setValue(0);
    SetBusyPointer(false);
    if (button_) button_->setEnabled(true);
    dialog_->setEnabled(true);
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
}

}  // namespace tavrin
