#pragma once
// Selecting the names of a dialog's list that a query matches (Schedule Multiple, the print
// dialog, the staff reports).

#include "grid/GridQuery.h"

class QListWidget;

namespace tavrin {

// Selects each entry of `list` (item data: the display row) whose row has a matching cell in
// `counts`, and deselects the others.
void SelectMatchingNames(QListWidget& list, const QueryDayCounts& counts);

}  // namespace tavrin
