#include "editing/ObjProps.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "editing/EditingCommon.h"
#include "grid/GridColours.h"
#include "grid/GridPaint.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr int kDefaultSwatch = 2;
constexpr int kRequirementTitleLength = 20;

}  // namespace

ObjProps::ObjProps(SchedFiles& files, GridPaint& grid, MsgBox& msg, int dividerRecNo, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("ObjProps"));
    setWindowTitle(QStringLiteral("Properties"));
    setModal(true);

    DividerStyle = new QComboBox(this);
    DividerStyle->setObjectName(QStringLiteral("DividerStyle"));
    DividerStyle->addItems({QStringLiteral("Normal Divider"), QStringLiteral("Requirement Row")});

    SSFrame1 = new QGroupBox(QStringLiteral("Background Color"), this);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    ColorDefault = new QCheckBox(QStringLiteral("Default"), SSFrame1);
    ColorDefault->setObjectName(QStringLiteral("ColorDefault"));
    ActiveColor = new QLabel(SSFrame1);
    ActiveColor->setObjectName(QStringLiteral("ActiveColor"));
    ActiveColor->setFixedSize(48, 24);
    ActiveColor->setFrameShape(QFrame::Panel);
    ActiveColor->setFrameShadow(QFrame::Sunken);
    ActiveColor->setAutoFillBackground(true);
    auto* swatches = new QGridLayout;
    swatches->setSpacing(2);
    auto* swatchGroup = new QButtonGroup(this);
    for (int i = 0; i < kSwatches; ++i) {
        auto* b = new QToolButton(SSFrame1);
        b->setObjectName(QStringLiteral("ColorSel(%1)").arg(i));
        b->setFixedSize(18, 18);
        b->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid gray;").arg(ColourName(SwatchColour(i))));
        swatchGroup->addButton(b, i);
        swatches->addWidget(b, i / 6, i % 6);
        ColorSel[static_cast<std::size_t>(i)] = b;
    }
    auto* colourTop = new QHBoxLayout;
    colourTop->addWidget(ColorDefault);
    colourTop->addStretch();
    colourTop->addWidget(ActiveColor);
    auto* colourLayout = new QVBoxLayout(SSFrame1);
    colourLayout->addLayout(colourTop);
    colourLayout->addLayout(swatches);

    SSFrame2 = new QGroupBox(QStringLiteral("Caption"), this);
    SSFrame2->setObjectName(QStringLiteral("SSFrame2"));
    Text1 = new QLineEdit(SSFrame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(200);
    auto* captionLayout = new QVBoxLayout(SSFrame2);
    captionLayout->addWidget(Text1);

    SSFrame3 = new QGroupBox(QStringLiteral("Appearance on Reports"), this);
    SSFrame3->setObjectName(QStringLiteral("SSFrame3"));
    Check1 = new QCheckBox(QStringLiteral("Never show on reports"), SSFrame3);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto* appearance = new QVBoxLayout(SSFrame3);
    appearance->addWidget(Check1);
    auto* justify = new QHBoxLayout;
    const char* sides[3] = {"Left", "Center", "Right"};
    for (std::size_t i = 0; i < Justify.size(); ++i) {
        Justify[i] = new QRadioButton(QString::fromLatin1(sides[i]), SSFrame3);
        Justify[i]->setObjectName(QStringLiteral("Justify(%1)").arg(i));
        justify->addWidget(Justify[i]);
    }
    appearance->addLayout(justify);

    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DividerStyle);
    layout->addWidget(SSFrame1);
    layout->addWidget(SSFrame2);
    layout->addWidget(SSFrame3);
    layout->addLayout(buttons);

    connect(DividerStyle, &QComboBox::currentIndexChanged, this, &ObjProps::DividerStyle_Click);
    connect(swatchGroup, &QButtonGroup::idClicked, this, &ObjProps::ColorSel_Click);
    connect(ColorDefault, &QCheckBox::toggled, this, &ObjProps::ColorDefault_Click);
    connect(Command1, &QPushButton::clicked, this, &ObjProps::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ObjProps::Command2_Click);

    // Opening.
    DialogCancelled = false;
    const int n = dividerRecNo > 0 ? dividerRecNo : grid_.DisplayRow(grid_.CurrentRow);
    recordNo_ = n > kSlots ? n : (IsSlot(n) ? files_.ScheduleProps.RowMap[n] : 0);
    if (n > kSlots) {
        // The day ruler and the coverage lines have a colour only.
        DividerStyle->hide();
        SSFrame2->hide();
        SSFrame3->hide();
    }
    ShowColour(SwatchColour(kDefaultSwatch));
    if (!files_.WorkingFilesAreOpen()) {
        noSchedule_ = true;
        loading_ = false;
        return;
    }
    grid_.CenterFormOnMainForm(this);
    Justify[0]->setChecked(true);
    ColorDefault->setChecked(true);
    Text1->clear();
    setWindowTitle(n <= kSlots            ? QStringLiteral("Divider Properties")
                   : n == kDayRulerRecord ? QStringLiteral("Day Ruler Properties")
                                          : QStringLiteral("Coverage Total Properties"));
    if (!IsSlot(recordNo_) && (recordNo_ <= kSlots || recordNo_ > kDividerRecords)) {
        // No record of the divider file: nothing to show or write.
        readFailed_ = true;
        DialogCancelled = true;
        return;
    }
    const Status read = files_.ReadRecord(FileNo::Dividers, recordNo_, record_);
    if (!read) {
        readFailed_ = true;
        DialogCancelled = true;
        ShowStoreError(msg_, read);
        return;
    }
    if (IsRow() && record_.Style != 1) record_.Style = 0;
    ShowFields();
    loading_ = false;
}

int ObjProps::exec()
{
    if (readFailed_) return Rejected;
    return QDialog::exec();
}

void ObjProps::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    SetBusyPointer(false);
}

void ObjProps::ShowColour(std::uint32_t colour)
{
    active_ = colour & 0xFFFFFFu;
    QPalette p = ActiveColor->palette();
    p.setColor(QPalette::Window, ToQColor(active_));
    ActiveColor->setPalette(p);
}

void ObjProps::ShowFields()
{
    const bool requirement = record_.Style == 1;
    DividerStyle->setCurrentIndex(requirement ? 1 : 0);
    for (QRadioButton* b : Justify) b->setVisible(!requirement);
    if (requirement) {
        SSFrame2->setTitle(QStringLiteral("Requirement Title"));
        Text1->setMaxLength(kRequirementTitleLength);
        Text1->setText(record_.Caption.str().left(kRequirementTitleLength));
    } else {
        SSFrame2->setTitle(QStringLiteral("Caption"));
        Text1->setMaxLength(200);
        Text1->setText(record_.Caption.str());
    }
    if (!loading_) return;
    const int j = record_.Justification <= 2 ? record_.Justification : 0;
    Justify[static_cast<std::size_t>(j)]->setChecked(true);
    Check1->setChecked(record_.HideOnReports != 0);
    if (record_.Colour != 0) ShowColour(static_cast<std::uint32_t>(record_.Colour));
    ColorDefault->setChecked(record_.UseDefaultColour == 1);
}

void ObjProps::DividerStyle_Click(int index)
{
    if (loading_ || noSchedule_ || index < 0) return;
    // A caption typed before the switch is kept, whole; one the file cannot hold keeps the style.
    if (Text1->isModified()) {
        if (!AcceptStorableText(Text1, msg_)) {
            const QSignalBlocker block(DividerStyle);
            DividerStyle->setCurrentIndex(record_.Style == 1 ? 1 : 0);
            return;
        }
        record_.Caption = Text1->text();
    }
    record_.Style = static_cast<Int16>(index == 1 ? 1 : 0);
    ShowFields();
    files_.ScheduleModified = true;
}

void ObjProps::ColorSel_Click(int index)
{
    ShowColour(SwatchColour(index));
    ColorDefault->setChecked(false);
}

void ObjProps::ColorDefault_Click()
{
    if (loading_) return;
    if (ColorDefault->isChecked()) ShowColour(SwatchColour(kDefaultSwatch));
}

bool ObjProps::WriteBack()
{
    if (noSchedule_ || readFailed_) return true;
    if (IsRow() && !AcceptStorableText(Text1, msg_)) return false;
    DividerPropertiesRecord r = record_;
    r.Colour = static_cast<Int32>(active_);
    r.UseDefaultColour = ColorDefault->isChecked() ? 1 : 0;
    for (int i = 0; i < kSwatches; ++i) {
        if (SwatchColour(i) == active_) {
            r.ColourIndex = static_cast<Int16>(i);
            break;
        }
    }
    if (IsRow()) {
        r.Caption = Text1->text();
        r.HideOnReports = Check1->isChecked() ? 1 : 0;
        r.Justification = 0;
        for (std::size_t i = 0; i < Justify.size(); ++i) {
            if (Justify[i]->isChecked()) {
                r.Justification = static_cast<Byte>(i);
                break;
            }
        }
    }
    const Status written = files_.WriteRecord(FileNo::Dividers, recordNo_, r);
    if (!written) {
        ShowStoreError(msg_, written);
        return false;
    }
    record_ = r;
    files_.ScheduleModified = true;
    return true;
}

void ObjProps::Command1_Click()
{
    if (!WriteBack()) return;
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void ObjProps::Command2_Click()
{
    DialogCancelled = true;
    closing_ = true;
    if (!noSchedule_ && !readFailed_) {
        // The record goes back as the file holds it; one that cannot be read is left alone.
        DividerPropertiesRecord stored;
        Status s = files_.ReadRecord(FileNo::Dividers, recordNo_, stored);
        if (s) s = files_.WriteRecord(FileNo::Dividers, recordNo_, stored);
        if (s) {
            record_ = stored;
            files_.ScheduleModified = true;
        } else {
            ShowStoreError(msg_, s);
        }
    }
    QDialog::reject();
}

void ObjProps::reject()
{
    if (!closing_) Command2_Click();
}

void ObjProps::closeEvent(QCloseEvent* e)
{
    if (closing_) {
        e->accept();
        return;
    }
    // The close box keeps the edits, as OK does.
    if (!WriteBack()) {
        e->ignore();
        return;
    }
    closing_ = true;
    e->accept();
    done(Accepted);
}

}  // namespace tavrin
