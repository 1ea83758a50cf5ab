#pragma once
// The Names, Explanations and Shifts tabs of a filter (a saved query or a coverage line): their
// controls, the lists filled from the schedule with a filter's choices, which controls can be
// used, and the choices put back into a filter. Edit Query and the coverage line editor are built
// on them; each connects the boxes to its own click handlers.

#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QTabWidget;

namespace tavrin {

class SchedFiles;

struct FilterTabs {
    QListWidget* List1 = nullptr;
    QCheckBox* NameFilterOff = nullptr;
    QCheckBox* ByPosition = nullptr;
    QComboBox* Position = nullptr;
    QListWidget* List2 = nullptr;
    QCheckBox* ExpFilterOff = nullptr;
    QListWidget* List3 = nullptr;
    QCheckBox* ShiftFilterOff = nullptr;

    // Adds the three tabs to `tabs`.
    void CreateFilterTabs(QTabWidget* tabs);
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
