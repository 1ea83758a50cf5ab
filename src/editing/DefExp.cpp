#include "editing/DefExp.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "editing/EditingCommon.h"
#include "editing/QuickKey.h"
#include "grid/GridPaint.h"
#include "platform/Cp1252.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

DefExp::DefExp(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg)
{
    setObjectName(QStringLiteral("DefExp"));
    setWindowTitle(QStringLiteral("Define Explanations"));
    setModal(true);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMinimumWidth(200);
    List1->installEventFilter(this);
    const auto box = [this](QLineEdit*& b, const char* name, int limit) {
        b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(limit);
        b->installEventFilter(this);
    };
    box(Text1, "Text1", 20);
    box(Abbr, "Abbr", 5);
    box(Text2, "Text2", 20);
    QHBoxLayout* buttons = NewOkCancelRow(this, Command1, Command2);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Description:"), Text1);
    form->addRow(QStringLiteral("Abbreviation:"), Abbr);
    form->addRow(QStringLiteral("Quick Key:"), Text2);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(List1);
    layout->addLayout(right);

    connect(Command1, &QPushButton::clicked, this, &DefExp::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DefExp::Command2_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &DefExp::List1_Click);
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) {
        // Filling the box from a list click is no edit: the list has the focus then.
        if (List1->hasFocus()) return;
        if (QListWidgetItem* item = List1->currentItem()) item->setText(EntryText(List1->currentRow() + 1, text));
    });
    connect(Abbr, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (const int n = Selected()) abbr_[n] = text.left(5);
    });

    // Loading.
    DialogCancelled = false;
    for (int n = 1; n <= kExplanations; ++n) {
        List1->addItem(EntryText(n, Runtime::RTrim(files_.ExplTable.Description[n].str())));
        abbr_[n] = files_.ExplTable.Abbreviation[n];
        keys_[n] = files_.ExplTable.QuickKey[n];
    }
    List1->setCurrentRow(0);
}

QString DefExp::EntryText(int n, const QString& description)
{
    return Runtime::FormatNumber(n, QStringLiteral("00")) + QStringLiteral(", ") + description;
}

int DefExp::Selected() const
{
    const int n = List1->currentRow() + 1;
    return n >= 1 && n <= kExplanations ? n : 0;
}

void DefExp::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!placed_) grid_.CenterFormOnMainForm(this);
    placed_ = true;
    Text1->setFocus();
    Text1->selectAll();
}

void DefExp::EditOneCode(int code, QWidget* over)
{
    if (code < 1 || code > kExplanations) return;
    List1->setCurrentRow(code - 1);
    List1->hide();
    adjustSize();
    grid_.PositionDialogOverForm(over, this);
    placed_ = true;
}

void DefExp::List1_Click()
{
    const int n = Selected();
    if (!n || !ShownTextsStorable()) return;
    shown_ = n;
    Text1->setText(List1->item(n - 1)->text().mid(4));
    Abbr->setText(Runtime::Trim(abbr_[n].str()));
    Text2->setText(QuickKeyText(keys_[n]));
    if (List1->hasFocus()) {
        Text1->selectAll();
        Text1->setFocus();
    }
}

bool DefExp::ShownTextsStorable()
{
    for (QLineEdit* box : {Text1, Abbr}) {
        if (UnstorableCharacters(box->text()).empty()) continue;
        if (shown_ > 0) {
            const QSignalBlocker block(List1);
            List1->setCurrentRow(shown_ - 1);
        }
        return AcceptStorableText(box, msg_);
    }
    return true;
}

bool DefExp::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn && (watched == Abbr || watched == Text2)) {
        auto* box = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (watched == Text2 && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        const std::optional<int> key = QuickKeyOf(*k);
        if (!key) return false;  // Tab moves on, Enter and Esc reach the buttons
        if (const int n = Selected()) {
            keys_[n] = static_cast<Byte>(*key);
            Text2->setText(QuickKeyText(*key));
            Text2->selectAll();
        }
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void DefExp::Command1_Click()
{
    if (!ShownTextsStorable()) return;
    ExplanationTable t = files_.ExplTable;
    for (int n = 1; n <= kExplanations; ++n) {
        const QString desc = List1->item(n - 1)->text().mid(4).left(20);
        t.Description[n] = Runtime::Trim(desc).isEmpty() ? QStringLiteral("undefined") : desc;
        t.Abbreviation[n] = abbr_[n];
        t.QuickKey[n] = keys_[n];
    }
    const Status written = files_.WriteRecord(FileNo::Explanations, 1, t);
    if (!written) {
        ShowStoreError(msg_, written);
        return;
    }
    files_.ExplTable = t;
    files_.ScheduleModified = true;
    DialogCancelled = false;
    closing_ = true;
    accept();
}

void DefExp::Command2_Click()
{
    DialogCancelled = true;
    closing_ = true;
    QDialog::reject();
}

void DefExp::reject()
{
    if (!closing_) Command2_Click();
}

}  // namespace tavrin
