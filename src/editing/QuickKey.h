#pragma once
// The quick-key boxes of the shift and explanation dialogs: a key pressed in the box is taken
// as the item's quick key (the physical key, plus 100 with Shift) and shown as text.

#include <QString>
#include <optional>

class QKeyEvent;

namespace tavrin {

// The quick key a key press stores: A..Z and 0..9 as their codes, plus 100 with Shift; 0 (no
// key) for any other key. nullopt for keys that leave the box alone: modifiers on their own,
// Tab and Shift+Tab, and Enter and Esc (which belong to the dialog's buttons).
std::optional<int> QuickKeyOf(const QKeyEvent& e);
std::optional<int> QuickKeyOf(int keyCode, int qtKey, bool shift);

// "A", "SHIFT-A", or "" for a stored byte.
QString QuickKeyText(int stored);

}  // namespace tavrin
