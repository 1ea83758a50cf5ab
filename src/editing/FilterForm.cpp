#include "editing/FilterForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

#include "editing/NameSelection.h"
#include "platform/DialogControls.h"
#include "platform/Runtime.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kUndefined = QStringLiteral("undefined");

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QCheckBox(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

void AddEntry(QListWidget* list, const QString& text, int data, bool selected)
{
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, data);
    item->setSelected(selected);
}

Int16 Flag(const QCheckBox* b)
{
    return b->isChecked() ? kTrue : kFalse;
}

QPushButton* Button(QDialog* dialog, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, dialog);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

void FilterForm::CreateFilterForm(QDialog* dialog)
{
    CoverageDesc = new QLineEdit(dialog);
    CoverageDesc->setObjectName(QStringLiteral("CoverageDesc"));
    CoverageDesc->setMaxLength(20);
    SelectAllOnFocus(CoverageDesc);
    SSTab1 = new QTabWidget(dialog);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // A tab: its list over its Ignore box.
    const auto tab = [this](const char* list, QListWidget*& l, const char* box, const QString& caption, QCheckBox*& b) {
        auto* page = new QWidget(SSTab1);
        l = NewMultiSelectList(page, list);
        b = Box(page, box, caption);
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(l);
        layout->addWidget(b);
        return std::pair{page, layout};
    };
    const auto [names, namesLayout] =
        tab("List1", List1, "NameFilterOff", QStringLiteral("Ignore Name Checking"), NameFilterOff);
    ByPosition = Box(names, "ByPosition", QStringLiteral("Check by Position:"));
    Position = new QComboBox(names);
    Position->setObjectName(QStringLiteral("Position"));
    auto* byPosition = new QHBoxLayout;
    byPosition->addWidget(ByPosition);
    byPosition->addWidget(Position, 1);
    namesLayout->addLayout(byPosition);
    QWidget* explanations =
        tab("List2", List2, "ExpFilterOff", QStringLiteral("Ignore Explanation Checking"), ExpFilterOff).first;
    QWidget* shifts =
        tab("List3", List3, "ShiftFilterOff", QStringLiteral("Ignore Shift Checking"), ShiftFilterOff).first;
    SSTab1->addTab(names, QStringLiteral("Names"));
    SSTab1->addTab(explanations, QStringLiteral("Explanations"));
    SSTab1->addTab(shifts, QStringLiteral("Shifts"));

    Command2 = Button(dialog, "Command2", QStringLiteral("OK"));
    Command2->setDefault(true);
    Command1 = Button(dialog, "Command1", QStringLiteral("Cancel"));
    Command3 = Button(dialog, "Command3", QStringLiteral("Remove"));

    auto* title = new QHBoxLayout;
    title->addWidget(new QLabel(QStringLiteral("Title:"), dialog));
    title->addWidget(CoverageDesc, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(title);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);
}

void FilterForm::FillLists(const SchedFiles& files, const QueryFilter& f)
{
    // Names and positions, in row order; a position is listed once, in the first form met.
    const EmployeeTable& emp = files.EmpTable;
    for (const int r : EmployeeRows(emp)) {
        const int slot = files.ScheduleProps.RowMap[r];
        AddEntry(List1, NameEntryText(emp, r), r, IsSlot(slot) && f.SelectedNames[slot] == 1);
    }
    List1->scrollToTop();
    QStringList positions{QString()};
    QStringList seen{QString()};
    for (int r = 1; r <= kSlots; ++r) {
        const QString position = Runtime::Trim(emp.Position[r].str());
        if (!position.isEmpty() && !seen.contains(position.toUpper())) {
            positions << position;
            seen << position.toUpper();
        }
    }
    positions[0] = QStringLiteral("None");
    Position->addItems(positions);
    const int at = static_cast<int>(seen.indexOf(Runtime::Trim(f.Position.str()).toUpper()));
    Position->setCurrentIndex(at > 0 ? at : 0);

    for (int e = 1; e <= kExplanations; ++e) {
        const QString desc = Runtime::RTrim(files.ExplTable.Description[e].str());
        if (desc == kUndefined) continue;
        AddEntry(List2, desc, e, f.SelectedExplanations[e] == 1);
    }

    const ShiftTableArray& shifts = files.ShiftTable;
    AddEntry(List3, QStringLiteral("Not Scheduled"), 0, f.SelectedShifts[0] == 1);
    for (const int code : {kTimeOffCode, kOnCallCode}) {
        AddEntry(List3, Runtime::Trim(shifts[code].Description.str()), code, f.SelectedShifts[code] == 1);
    }
    for (int s = 1; s <= kUserShifts; ++s) {
        const QString desc = Runtime::Trim(shifts[s].Description.str());
        if (desc == kUndefined) continue;
        AddEntry(List3, desc, s, f.SelectedShifts[s] == 1);
    }
}

void FilterForm::EnableLists()
{
    // Unticking the by-position box runs its click, which comes back here.
    if (enabling_) return;
    enabling_ = true;
    if (NameFilterOff->isChecked()) {
        ByPosition->setChecked(false);
        ByPosition->setEnabled(false);
        Position->setEnabled(false);
    } else {
        ByPosition->setEnabled(true);
    }
    if (ByPosition->isChecked()) {
        Position->setEnabled(true);
    } else {
        if (Position->count() > 0) Position->setCurrentIndex(0);
        Position->setEnabled(false);
    }
    List1->setEnabled(!NameFilterOff->isChecked() && !ByPosition->isChecked());
    List2->setEnabled(!ExpFilterOff->isChecked());
    List3->setEnabled(!ShiftFilterOff->isChecked());
    enabling_ = false;
}

void FilterForm::StoreFilter(const SchedulePropertiesRecord& props, QueryFilter& f) const
{
    f.IgnoreNames = Flag(NameFilterOff);
    f.ByPosition = Flag(ByPosition);
    f.Position = Runtime::Trim(Position->currentText());
    f.SelectedNames = {};
    for (const QListWidgetItem* item : List1->selectedItems()) {
        const int row = item->data(Qt::UserRole).toInt();
        const int slot = IsSlot(row) ? props.RowMap[row] : 0;
        if (IsSlot(slot)) f.SelectedNames[slot] = 1;
    }
    f.IgnoreExplanations = Flag(ExpFilterOff);
    f.SelectedExplanations = {};
    for (const QListWidgetItem* item : List2->selectedItems()) {
        const int code = item->data(Qt::UserRole).toInt();
        if (IsExplanationCode(code)) f.SelectedExplanations[code] = 1;
    }
    f.IgnoreShifts = Flag(ShiftFilterOff);
    f.SelectedShifts = {};
    for (const QListWidgetItem* item : List3->selectedItems()) {
        const int code = item->data(Qt::UserRole).toInt();
        if (code >= 0 && code <= kOnCallCode) f.SelectedShifts[code] = 1;
    }
}

}  // namespace tavrin
