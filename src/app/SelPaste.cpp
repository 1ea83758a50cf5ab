#include "app/SelPaste.h"

#include "store/SchedFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrin {

namespace {

Int16 Flag(const QCheckBox* b) { return b->isChecked() ? kTrue : kFalse; }

}  // namespace

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
    CopyMultipleOptions& o = files_.ScheduleProps.CopyOptions;
    if (o.CopyShifts == 0 && o.CopyTimeOff == 0 && o.CopyExplanations == 0 && o.CopyNotes == 0 &&
        o.CopyOnCall == 0 && o.Overwrite == 0) {
        o.CopyShifts = o.CopyTimeOff = o.CopyExplanations = o.CopyNotes = o.CopyOnCall = kTrue;
        o.Overwrite = kFalse;
        files_.ScheduleModified = true;
    }
    Check1[0]->setChecked(o.CopyShifts != 0);
    Check1[1]->setChecked(o.CopyTimeOff != 0);
    Check1[2]->setChecked(o.CopyExplanations != 0);
    Check1[3]->setChecked(o.CopyNotes != 0);
    Check1[4]->setChecked(o.CopyOnCall != 0);
    Check2->setChecked(o.Overwrite != 0);
}

void SelPaste::showEvent(QShowEvent* e)
{
    DialogCancelled = false;
    QDialog::showEvent(e);
}

void SelPaste::Command1_Click()
{
    CopyMultipleOptions& o = files_.ScheduleProps.CopyOptions;
    o.CopyShifts = Flag(Check1[0]);
    o.CopyTimeOff = Flag(Check1[1]);
    o.CopyExplanations = Flag(Check1[2]);
    o.CopyNotes = Flag(Check1[3]);
    o.CopyOnCall = Flag(Check1[4]);
    o.Overwrite = Flag(Check2);
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
