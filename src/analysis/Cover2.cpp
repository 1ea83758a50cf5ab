#include "analysis/Cover2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <span>
#include <vector>

#include "editing/EditingCommon.h"
#include "editing/ObjProps.h"
#include "grid/GridPaint.h"
#include "platform/BusyPointer.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kUndefined = QStringLiteral("undefined");
constexpr int kCountFormats = 4;

}  // namespace

Cover2::Cover2(SchedFiles& files, GridPaint& grid, MsgBox& msg, int line, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), line_(line)
{
    setObjectName(QStringLiteral("Cover2"));
    setWindowTitle(QStringLiteral("Coverage Watch"));
    setModal(true);

    CreateFilterForm(this);

    auto* other = new QWidget(SSTab1);
    Command4 = new QPushButton(QStringLiteral("Color properties..."), other);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setAutoDefault(false);
    ReqSelector = new QComboBox(other);
    ReqSelector->setObjectName(QStringLiteral("ReqSelector"));
    CFormat = new QComboBox(other);
    CFormat->setObjectName(QStringLiteral("CFormat"));
    CFormat->addItems({QStringLiteral("Standard count"), QStringLiteral("Hours 9999.99"),
                       QStringLiteral("Hours 9999.9"), QStringLiteral("Hours 9999")});
    auto* otherFields = new QFormLayout;
    otherFields->addRow(QStringLiteral("Requirement:"), ReqSelector);
    otherFields->addRow(QStringLiteral("Format:"), CFormat);
    auto* otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(Command4, 0, Qt::AlignLeft);
    otherLayout->addLayout(otherFields);
    otherLayout->addStretch();
    SSTab1->addTab(other, QStringLiteral("Other"));
    // The dialog is made wide enough for all four tabs, rather than scrolling them.
    SSTab1->setUsesScrollButtons(false);

    connect(NameFilterOff, &QCheckBox::toggled, this, &Cover2::NameFilterOff_Click);
    connect(ExpFilterOff, &QCheckBox::toggled, this, &Cover2::ExpFilterOff_Click);
    connect(ShiftFilterOff, &QCheckBox::toggled, this, &Cover2::ShiftFilterOff_Click);
    connect(ByPosition, &QCheckBox::toggled, this, &Cover2::ByPosition_Click);
    connect(ReqSelector, &QComboBox::currentIndexChanged, this, &Cover2::ReqSelector_Click);
    connect(CFormat, &QComboBox::currentIndexChanged, this, &Cover2::CFormat_Click);
    connect(Command4, &QPushButton::clicked, this, &Cover2::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &Cover2::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Cover2::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Cover2::Command3_Click);

    // Opening.
    grid_.CenterFormOnMainForm(this);
    DialogCancelled = false;
    SavedFormat = files_.CurrentFormat;
    SetBusyPointer(true);
    readFailed_ = !Fill();
    if (readFailed_) DialogCancelled = true;
    SetBusyPointer(false);
}

int Cover2::exec()
{
    // Without the line's records there is nothing to edit or write back.
    if (readFailed_) return Rejected;
    return QDialog::exec();
}

QString Cover2::LineTitle() const
{
    return QStringLiteral("C") + Runtime::FormatNumber(line_, QStringLiteral("#0"));
}

bool Cover2::Fill()
{
    if (line_ < 1 || line_ > kCoverageLines || files_.CurrentFormatNo < 1 || files_.CurrentFormatNo > kFormats) {
        ShowStoreError(msg_, Status::error(QStringLiteral("There is no coverage line %1.").arg(line_)));
        return false;
    }
    recordNo_ = CoverageLineRecord(files_.CurrentFormatNo, line_);
    const CoverageTotalRecord& c = files_.CurrentFormat.CoverageTotals[line_];

    // A box ticked here runs its click, so a line never defined is named after its number.
    CoverageDesc->setText(Runtime::Trim(c.Title.str()));
    NameFilterOff->setChecked(c.IgnoreNames != 0);
    ExpFilterOff->setChecked(c.IgnoreExplanations != 0);
    ShiftFilterOff->setChecked(c.IgnoreShifts != 0);
    ByPosition->setChecked(c.ByPosition != 0);

    // The requirement rows: divider rows whose properties make them one.
    std::vector<DividerPropertiesRecord> rows(kSlots);
    Status read = files_.ReadRecords(FileNo::Dividers, 1, std::span(rows));
    if (read) read = files_.ReadRecord(FileNo::Dividers, recordNo_, divider_);
    if (!read) {
        ShowStoreError(msg_, read);
        return false;
    }
    {
        const QSignalBlocker block(ReqSelector);
        ReqSelector->addItem(QStringLiteral("[none]"), 0);
        for (int r = 1; r <= kSlots; ++r) {
            const int slot = files_.ScheduleProps.RowMap[r];
            if (!IsSlot(slot) || !Runtime::Trim(files_.EmpTable.Name[r].str()).startsWith(QLatin1Char('/'))) continue;
            const DividerPropertiesRecord& row = rows[static_cast<std::size_t>(slot - 1)];
            if (row.Style != 1) continue;
            const QString caption = Runtime::Trim(row.Caption.str());
            ReqSelector->addItem(caption.isEmpty() ? QStringLiteral("unnamed") : caption, slot);
        }
    }
    FillLists(files_, c);

    // Choosing the stored format and requirement runs their clicks, as the user's choice does.
    if (divider_.CountFormat >= kCountFormats) divider_.CountFormat = 0;
    {
        const QSignalBlocker block(CFormat);
        CFormat->setCurrentIndex(divider_.CountFormat);
    }
    CFormat_Click();
    // Only requirement rows are listed: a link to a row that is no longer one, or to no row at
    // all, reads as none.
    {
        const QSignalBlocker block(ReqSelector);
        const int at = ReqSelector->findData(static_cast<int>(divider_.LinkedRequirementSlot));
        ReqSelector->setCurrentIndex(at > 0 ? at : 0);
    }
    ReqSelector_Click();
    EnableLists();
    return true;
}

void Cover2::DefaultCoverageTitle()
{
    if (Runtime::Trim(CoverageDesc->text()) == kUndefined) CoverageDesc->setText(LineTitle());
}

void Cover2::IgnoreClick(QListWidget* list)
{
    DefaultCoverageTitle();
    list->clearSelection();
    EnableLists();
}

void Cover2::NameFilterOff_Click()
{
    IgnoreClick(List1);
}
void Cover2::ExpFilterOff_Click()
{
    IgnoreClick(List2);
}
void Cover2::ShiftFilterOff_Click()
{
    IgnoreClick(List3);
}

void Cover2::ByPosition_Click()
{
    List1->clearSelection();
    EnableLists();
}

void Cover2::ReqSelector_Click()
{
    divider_.LinkedRequirementSlot = static_cast<Int16>(ReqSelector->currentData().toInt());
    files_.ScheduleModified = true;
}

void Cover2::CFormat_Click()
{
    // Taken on OK.
    files_.ScheduleModified = true;
}

bool Cover2::WriteDivider(const DividerPropertiesRecord& d)
{
    const Status written = files_.WriteRecord(FileNo::Dividers, recordNo_, d);
    if (!written) {
        ShowStoreError(msg_, written);
        return false;
    }
    files_.ScheduleModified = true;
    return true;
}

void Cover2::Command4_Click()
{
    // The Properties dialog edits the colour of the same record: a requirement chosen here must
    // reach the file first, and the new colour is read back afterwards.
    if (!WriteDivider(divider_)) return;
    SetBusyPointer(true);
    ObjProps props(files_, grid_, msg_, recordNo_, this);
    props.exec();
    DialogCancelled = false;
    const Status read = files_.ReadRecord(FileNo::Dividers, recordNo_, divider_);
    SetBusyPointer(false);
    if (!read) ShowStoreError(msg_, read);
}

void Cover2::Command3_Click()
{
    // A line that ignores names, explanations and shifts counts nobody.
    for (QCheckBox* b : {NameFilterOff, ExpFilterOff, ShiftFilterOff}) b->setChecked(true);
    CoverageDesc->setText(LineTitle());
}

void Cover2::Command2_Click()
{
    if (!AcceptStorableText(CoverageDesc, msg_)) return;
    CoverageTotalRecord c = files_.CurrentFormat.CoverageTotals[line_];
    c.Title = Runtime::Trim(CoverageDesc->text()).left(20);
    StoreFilter(files_.ScheduleProps, c);
    DividerPropertiesRecord d = divider_;
    d.CountFormat = static_cast<Byte>(std::clamp(CFormat->currentIndex(), 0, kCountFormats - 1));
    // The properties record first: when the format cannot be written after it, the record
    // stays written as after Color properties..., and the dialog stays open.
    if (!WriteDivider(d)) return;
    divider_ = d;
    ScheduleFormatRecord f = files_.CurrentFormat;
    f.CoverageTotals[line_] = c;
    const Status written = files_.WriteRecord(FileNo::Formats, files_.CurrentFormatNo, f);
    if (!written) {
        ShowStoreError(msg_, written);
        return;
    }
    files_.CurrentFormat = f;
    files_.ScheduleModified = true;
    grid_.CoverageRowToRedraw = line_;
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void Cover2::Command1_Click()
{
    files_.CurrentFormat = SavedFormat;
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void Cover2::reject()
{
    if (!closing_) Command1_Click();
}

}  // namespace tavrin
