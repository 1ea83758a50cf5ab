#pragma once
// The form of a filter (a saved query or a coverage line): the title box, the Names, Explanations
// and Shifts tabs, and OK, Cancel and Remove; the lists filled from the schedule with a filter's
// choices, which controls can be used, and the choices put back into a filter. Edit Query and the
// coverage line editor are built on it; each adds its own tab and connects the controls to its
// own handlers.

#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace tavrin {

class SchedFiles;

struct FilterForm {
    QLineEdit* CoverageDesc = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QListWidget* List1 = nullptr;
    QCheckBox* NameFilterOff = nullptr;
    QCheckBox* ByPosition = nullptr;
    QComboBox* Position = nullptr;
    QListWidget* List2 = nullptr;
    QCheckBox* ExpFilterOff = nullptr;
    QListWidget* List3 = nullptr;
    QCheckBox* ShiftFilterOff = nullptr;
    QPushButton* Command2 = nullptr;  // OK
    QPushButton* Command1 = nullptr;  // Cancel
    QPushButton* Command3 = nullptr;  // Remove

    // Lays the form out on `dialog`. The title box selects its whole text when it gets the focus.
    void CreateFilterForm(QDialog* dialog);
    // The employee rows (item data: the display row), the positions ("None" first), the
    // explanations and shifts in use (item data: the code), chosen as `f` chooses them. A stored
    // position is found ignoring case, as the query rule compares positions.
    void FillLists(const SchedFiles& files, const QueryFilter& f);
    // The by-position box and the lists are usable only where the Ignore boxes leave them a say.
    void EnableLists();
    // The boxes and chosen entries into `f` (names by data slot); the title is the dialog's.
    void StoreFilter(const SchedulePropertiesRecord& props, QueryFilter& f) const;

private:
    bool enabling_ = false;
};

}  // namespace tavrin
