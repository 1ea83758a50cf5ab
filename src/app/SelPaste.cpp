#include "app/SelPaste.h"

#include "editing/CopyOptionBoxes.h"
#include "store/SchedFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin {

SelPaste::SelPaste(SchedFiles& files, QWidget* parent) : QDialog(parent), files_(files)
{
    setObjectName(QStringLiteral("SelPaste"));
    setWindowTitle(QStringLiteral("Selective Paste"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Paste"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame);
    const char* captions[5] = {"Shifts", "Time Off", "Explanations", "Notes", "On Call"};
    for (int i = 0; i < 5; ++i) {
        Check1[i] = new QCheckBox(QString::fromLatin1(captions[i]), frame);
        Check1[i]->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        frameLayout->addWidget(Check1[i]);
    }
    Check2 = new QCheckBox(QStringLiteral("Overwrite?"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(Check2);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &SelPaste::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SelPaste::Command2_Click);

    // Options never set: every part, without Overwrite.
    if (ShowCopyOptions(files_.ScheduleProps.CopyOptions, Check1, Check2)) files_.ScheduleModified = true;
}

void SelPaste::showEvent(QShowEvent* e)
{
    DialogCancelled = false;
    QDialog::showEvent(e);
}

void SelPaste::Command1_Click()
{
    StoreCopyOptions(files_.ScheduleProps.CopyOptions, Check1, Check2);
    DialogCancelled = false;
    accept();
}

void SelPaste::Command2_Click() { reject(); }

void SelPaste::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
