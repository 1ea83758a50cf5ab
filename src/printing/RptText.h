#pragma once
// Texts of the reports: a person's name in the styles the staff reports offer.

#include <QString>

namespace tavrin::RptText {

// A name as typed in the employee table ("John Smith", or "Smith, John") in one of seven styles:
// 1 "John Smith", 2 "John S.", 3 "J.Smith", 4 "JS", 5 "Smith, John", 6 "Smith, J.", 7 "Smith".
// Surname particles ("van", "de la", ...) stay with the surname; words between the first and the
// last are dropped. Any other style, or a name of one word, gives the name exactly as passed.
QString FormatPersonName(const QString& name, int style);

}  // namespace tavrin::RptText
