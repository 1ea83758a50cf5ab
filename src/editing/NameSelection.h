#pragma once
// The name lists of the dialogs (one entry per employee row, the display row as item data), and
// selecting the names a query matches (Schedule Multiple, the print dialog, the staff reports).

#include <vector>

#include "grid/GridQuery.h"

class QListWidget;
class QWidget;

namespace tavrin {

// The rows a name list offers: a name that is neither blank nor a divider's.
std::vector<int> EmployeeRows(const EmployeeTable& emp);
// "Ada, RN": the trimmed name and position of a row.
QString NameEntryText(const EmployeeTable& emp, int row);
// A list in which several entries are chosen by clicking them.
QListWidget* NewMultiSelectList(QWidget* parent, const char* objectName);
// The item data (display rows) of the chosen entries, in list order.
std::vector<int> SelectedRows(const QListWidget& list);

// Selects each entry of `list` (item data: the display row) whose row has a matching cell in
// `counts`, and deselects the others.
void SelectMatchingNames(QListWidget& list, const QueryDayCounts& counts);

}  // namespace tavrin
