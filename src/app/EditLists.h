#pragma once
// The hot-key table and the contents of the tool panel's shift and explanation lists, built
// from the schedule's shift and explanation tables.

#include "platform/Result.h"
#include "store/CellCodes.h"
#include "store/Records.h"

#include <QString>
#include <vector>

namespace tavrin {

// Entry k for key code k (1..90) without Shift, k + 100 with Shift: i > 0 shift code i, -i
// explanation code i, 0 no hot key.
using HotKeyTable = VbArray<int, 1, 190>;

// Shifts first, then explanations, so that an explanation wins a key both use. Quick keys
// outside 1..190 are ignored.
HotKeyTable LoadHotKeyArray(const ShiftTableArray& shifts, const ExplanationTable& explanations);

// The table entry for a key code (1..90) with or without Shift; 0 for any other key.
int HotKeyEntry(const HotKeyTable& table, int keyCode, bool shift);

// One entry of a drop-down list: its text and its item data.
struct ListItem {
    QString text;
    int code = 0;
    friend bool operator==(const ListItem&, const ListItem&) = default;
};

// ShiftSelector: every shift 1..99 whose trimmed description is neither "undefined" nor blank,
// by its description padded to 15 characters, sorted ignoring case; one entry "undefined" with
// code 1 when there is none. The first entry is the current shift.
std::vector<ListItem> ShiftListItems(const ShiftTableArray& shifts);

// Explainations: "None" (code 0) first, then every explanation 1..99 whose right-trimmed
// description is neither "undefined" nor blank, sorted ignoring case.
std::vector<ListItem> ExplanationListItems(const ExplanationTable& explanations);

// List index of each explanation code's entry (0 for "None" and for codes not listed).
VbArray<int, 0, 99> ExplListIndexes(const std::vector<ListItem>& items);

}  // namespace tavrin
