#include "editing/DefShft2.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "editing/EditingCommon.h"
#include "editing/QuickKey.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/Cp1252.h"
#include "platform/DialogControls.h"
#include "platform/ListTabStops.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

bool DefShft2::breakHintShown_ = false;

namespace {

constexpr int kSwatches[7] = {0, 8, 4, 2, 1, 3, 5};  // black, dark grey, red, green, blue, cyan, magenta

double HoursOf(OleDate t)
{
    return Runtime::Hour(t) + Runtime::Minute(t) / 60.0;
}

}  // namespace

float ShiftPaidHours(OleDate start, OleDate end, double breakHours)
{
    const double s = HoursOf(start);
    double e = HoursOf(end);
    if (e <= s && !(s == 0 && e == 0)) e += 24;
    const double paid = e - s - std::max(breakHours, 0.0);
    return static_cast<float>(std::max(paid, 0.0));
}

int DefShft2::SwatchColour(int i)
{
    return i >= 0 && i <= 6 ? kSwatches[i] : 0;
}

DefShft2::DefShft2(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("DefShft2"));
    setWindowTitle(QStringLiteral("Define Shifts"));
    setModal(true);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMinimumWidth(230);
    SetListTabStops(List1, {44});

    const auto box = [this](QLineEdit*& b, const char* name, int limit) {
        b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(limit);
        b->installEventFilter(this);
    };
    box(Description, "Description", 15);
    box(Abbr, "Abbr", 5);
    box(StartTime, "StartTime", 8);
    box(EndTime, "EndTime", 8);
    box(BreakLength, "BreakLength", 5);
    box(Text1, "Text1", 20);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Description:"), Description);
    form->addRow(QStringLiteral("Abbreviation:"), Abbr);
    const char* timedCaptions[4] = {"Start Time:", "End Time:", "Break Length:", "Quick Key:"};
    QLineEdit* timedBoxes[4] = {StartTime, EndTime, BreakLength, Text1};
    for (int i = 0; i < 4; ++i) {
        timedLabels_[static_cast<std::size_t>(i)] = new QLabel(QString::fromLatin1(timedCaptions[i]), this);
        form->addRow(timedLabels_[static_cast<std::size_t>(i)], timedBoxes[i]);
    }

    Frame1 = new QGroupBox(QStringLiteral("Color"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* swatches = new QHBoxLayout(Frame1);
    for (int i = 0; i < 7; ++i) {
        auto* b = new QPushButton(Frame1);
        b->setObjectName(QStringLiteral("Colors(%1)").arg(i));
        b->setFixedSize(22, 22);
        b->setAutoDefault(false);
        b->setStyleSheet(QStringLiteral("background-color: %1;").arg(ColourName(PaletteColour(kSwatches[i]))));
        connect(b, &QPushButton::clicked, this, [this, i] { Colors_Click(i); });
        swatches->addWidget(b);
        Colors[static_cast<std::size_t>(i)] = b;
    }

    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2);

    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(Frame1);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(right);

    checks_ = new BoxChecks(this);
    checks_->Add(StartTime, [this] { return CheckTime(StartTime, start_, startAtFocus_); });
    checks_->Add(EndTime, [this] { return CheckTime(EndTime, end_, endAtFocus_); });
    checks_->Add(BreakLength, [this] { return CheckBreak(); });
    checks_->Exempt(Command2);

    connect(Command1, &QPushButton::clicked, this, &DefShft2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DefShft2::Command2_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &DefShft2::List1_Click);
    connect(Description, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (QListWidgetItem* item = List1->currentItem(); item && EditedShiftCode > 0)
            item->setText(EntryText(EditedShiftCode, text, false));
        Edited();
    });
    connect(Abbr, &QLineEdit::textEdited, this, [this] { Edited(); });
    connect(BreakLength, &QLineEdit::textEdited, this, [this] { Edited(); });

    // Loading.
    DialogCancelled = true;
    EditedShiftCode = -1;
    FillList();
    List1->setCurrentRow(0);
}

QString DefShft2::EntryText(int code, const QString& description, bool trimmed) const
{
    const QString text = trimmed ? Runtime::Trim(description) : description;
    switch (code) {
        case kTimeOffCode:
            return QStringLiteral("Time-Off\t") + Runtime::Trim(description);
        case kOnCallCode:
            return QStringLiteral("On-Call\t") + Runtime::Trim(description);
        case kNoteCode:
            return QStringLiteral("Note\t") + Runtime::Trim(description);
        default:
            return QStringLiteral("Shift ") + Runtime::FormatNumber(code, QStringLiteral("#0")) + QLatin1Char('\t') +
                   text;
    }
}

void DefShft2::FillList()
{
    const QSignalBlocker block(List1);
    List1->clear();
    const auto add = [this](int code) {
        auto* item = new QListWidgetItem(EntryText(code, files_.ShiftTable[code].Description.str(), true));
        item->setData(Qt::UserRole, code);
        List1->addItem(item);
    };
    for (int code = kTimeOffCode; code <= kNoteCode; ++code) add(code);
    for (int code = 1; code <= kUserShifts; ++code) add(code);
}

void DefShft2::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!placed_) grid_.CenterFormOnMainForm(this);
    placed_ = true;
    if (Description->isVisible()) Description->setFocus();
}

void DefShft2::EditOneCode(int code, QWidget* over)
{
    if (!IsShiftCode(code)) return;
    List1->setCurrentRow(code >= kTimeOffCode ? code - kTimeOffCode : code + 2);
    List1->hide();
    adjustSize();
    grid_.PositionDialogOverForm(over, this);
    placed_ = true;
}

void DefShft2::List1_Click()
{
    if (!EditedTextsStorable()) return;
    StoreEditedShift();
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return;
    ShowEntry(item->data(Qt::UserRole).toInt());
}

void DefShft2::ShowEntry(int code)
{
    if (!IsShiftCode(code)) return;
    EditedShiftCode = code;
    const ShiftRecord& r = files_.ShiftTable[code];
    ColourBoxes(r.ColourIndex);
    Description->setText(Runtime::Trim(r.Description.str()));
    Abbr->setText(Runtime::Trim(r.Abbreviation.str()));
    start_ = r.StartTime;
    end_ = r.EndTime;
    StartTime->setText(Runtime::FormatDate(start_, grid_.TimeFormat));
    EndTime->setText(Runtime::FormatDate(end_, grid_.TimeFormat));
    startAtFocus_ = StartTime->text();
    endAtFocus_ = EndTime->text();
    BreakLength->setText(Runtime::FormatNumber(r.BreakHours, QStringLiteral("#0.00")));
    Text1->setText(QuickKeyText(r.QuickKey));
    const bool timed = IsUserShift(code);
    for (QWidget* w :
         {static_cast<QWidget*>(StartTime), static_cast<QWidget*>(EndTime), static_cast<QWidget*>(BreakLength),
          static_cast<QWidget*>(Text1), static_cast<QWidget*>(Frame1)}) {
        w->setVisible(timed);
    }
    for (QLabel* l : timedLabels_) l->setVisible(timed);
    if (isVisible()) Description->setFocus();
}

bool DefShft2::EditedTextsStorable()
{
    const int code = EditedShiftCode;
    if (!IsShiftCode(code)) return true;
    for (QLineEdit* box : {Description, Abbr}) {
        if (UnstorableCharacters(box->text()).empty()) continue;
        {
            const QSignalBlocker block(List1);
            List1->setCurrentRow(code >= kTimeOffCode ? code - kTimeOffCode : code + 2);
        }
        return AcceptStorableText(box, msg_);
    }
    return true;
}

void DefShft2::StoreEditedShift()
{
    const int code = EditedShiftCode;
    if (!IsShiftCode(code)) return;
    ShiftRecord& r = files_.ShiftTable[code];
    r.Description = Description->text().left(15);
    r.Abbreviation = Abbr->text().left(5);
    r.StartTime = start_;
    r.EndTime = end_;
    // The hidden boxes of the special codes, and an unchanged break, keep the stored value
    // exactly (the box shows it rounded to hundredths).
    double brk = r.BreakHours;
    if (IsUserShift(code) && BreakLength->text() != Runtime::FormatNumber(r.BreakHours, QStringLiteral("#0.00"))) {
        brk = std::max(Runtime::Val(BreakLength->text()), 0.0);
    }
    if (!std::isfinite(brk) || brk < 0) brk = 0;
    r.BreakHours = static_cast<float>(brk);
    r.PaidHours = ShiftPaidHours(start_, end_, brk);
    files_.ScheduleModified = true;
}

void DefShft2::ColourBoxes(int colourIndex)
{
    const QColor c = ToQColor(PaletteColour(CheckedPaletteIndex(colourIndex)));
    for (QLineEdit* b : {Description, Abbr, StartTime, EndTime, BreakLength, Text1}) {
        QPalette p = b->palette();
        p.setColor(QPalette::Text, c);
        b->setPalette(p);
    }
}

bool DefShft2::CheckTime(QLineEdit* box, OleDate& value, const QString& remembered)
{
    const std::optional<OleDate> t = Runtime::ParseTime(GridPaint::NormalizeTimeText(box->text()));
    if (!t) {
        box->setText(remembered);
        {
            // Back to the entry the box belongs to, without storing anything.
            const QSignalBlocker block(List1);
            List1->setCurrentRow(indexAtFocus_);
        }
        msg_.beep();
        msg_.show(QStringLiteral("Invalid Time Entered"), Mb::Exclamation, QStringLiteral("Error"));
        box->setText(remembered);
        return false;
    }
    value = *t;
    box->setText(Runtime::FormatDate(value, grid_.TimeFormat));
    return true;
}

bool DefShft2::CheckBreak()
{
    const double typed = Runtime::Val(BreakLength->text());
    BreakLength->setText(Runtime::FormatNumber(std::max(typed, 0.0), QStringLiteral("#0.00")));
    // OK checks the box too; only a box the user has been in counts for the hint.
    const bool left = breakEntered_;
    breakEntered_ = false;
    if (left && !breakHintShown_) {
        breakHintShown_ = true;
        if (typed > 1 || typed == 0.3) {
            msg_.beep();
            msg_.show(
                QStringLiteral("Break lengths should be entered in decimal hours. Example: A half hour break "
                               "would be entered as 0.5"));
        }
    }
    return true;
}

bool DefShft2::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box == StartTime || box == EndTime) {
            (box == StartTime ? startAtFocus_ : endAtFocus_) = box->text();
            indexAtFocus_ = List1->currentRow();
            Edited();
        }
        if (box == BreakLength) breakEntered_ = true;
        if (box) QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (watched == Text1 && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (!QuickKeyOf(*k)) return false;  // Tab moves on, Enter and Esc reach the buttons
        QuickKeyPressed(*k);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void DefShft2::QuickKeyPressed(const QKeyEvent& e)
{
    const std::optional<int> key = QuickKeyOf(e);
    if (!key || !IsUserShift(EditedShiftCode)) return;
    files_.ShiftTable[EditedShiftCode].QuickKey = static_cast<Byte>(*key);
    Text1->setText(QuickKeyText(*key));
    Text1->selectAll();
    Edited();
}

void DefShft2::Colors_Click(int i)
{
    if (!IsUserShift(EditedShiftCode) || i < 0 || i > 6) return;
    const int colour = SwatchColour(i);
    files_.ShiftTable[EditedShiftCode].ColourIndex = static_cast<Int16>(colour);
    files_.ShiftColours[EditedShiftCode] = static_cast<Byte>(colour);
    ColourBoxes(colour);
    Edited();
}

void DefShft2::Command1_Click()
{
    if (!checks_->RunAll() || !EditedTextsStorable()) return;
    StoreEditedShift();
    for (int code = 1; code <= kShiftCodes; ++code) {
        ShiftRecord& r = files_.ShiftTable[code];
        if (Runtime::Trim(r.Description.str()).isEmpty()) r.Description = "undefined";
        const Status written = files_.WriteRecord(FileNo::Shifts, code, r);
        if (!written) {
            ShowStoreError(msg_, written);
            return;
        }
    }
    closing_ = true;
    accept();
}

void DefShft2::Command2_Click()
{
    const Status reread = files_.RefillShiftTable();
    if (!reread) ShowStoreError(msg_, reread);
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void DefShft2::reject()
{
    if (!closing_) Command2_Click();
}

}  // namespace tavrin
