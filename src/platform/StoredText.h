#pragma once
// Boxes whose text the schedule keeps (names, positions, notes, titles): the message naming the
// characters such a text cannot hold, and the check that shows it and keeps the box for
// correction.

#include <QString>
#include <QStringView>

class QLineEdit;

namespace tavrin {

class MsgBox;

// A character as the message names it: itself in quotes, or, for one that shows nothing of its
// own, a name ("tab", "line feed", "carriage return", "NUL", "U+0301").
QString StoredTextCharacterName(char32_t c);

// "The text cannot hold these characters: "中", tab. Please remove or replace them.", or "" when
// the text can be stored.
QString UnstorableTextMessage(QStringView text);

// True when the box's text can be stored. Otherwise the box is brought into view and given the
// focus, and after a beep the message above is shown (title "Error", exclamation icon); nothing
// of the text is taken.
bool AcceptStorableText(QLineEdit* box, MsgBox& msg);

}  // namespace tavrin
