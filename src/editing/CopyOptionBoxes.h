#pragma once
// The boxes of the copy options that Copy Multiple and Selective Paste share: five parts
// (shifts, time-off, explanations, notes, on-call) and Overwrite.

#include <array>

#include "store/Records.h"

class QCheckBox;

namespace tavrin {

using CopyPartBoxes = std::array<QCheckBox*, 5>;

// Ticks the boxes from the options. Options never set (all six 0) first become the defaults,
// every part without Overwrite; true when they did.
bool ShowCopyOptions(CopyMultipleOptions& o, const CopyPartBoxes& parts, QCheckBox* overwrite);
// The options from the boxes (ticked = True).
void StoreCopyOptions(CopyMultipleOptions& o, const CopyPartBoxes& parts, const QCheckBox* overwrite);

}  // namespace tavrin
