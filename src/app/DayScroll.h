#pragma once
// The visible-day cache's part of a one-day scroll: the day leaving the window is written back
// when changed and its cache slot reused for the day coming in, so that only one day is read.
// The caller shifts the painted pictures and draws the new column.

#include "platform/Result.h"

namespace tavrin {

class SchedFiles;

// Moves the window one day forward (+1) or back (-1). False when that would leave the period
// (the caller beeps and asks ReportDateOutOfRange); the schedule is marked modified either way.
Result<bool> ScrollVisibleDays(SchedFiles& files, int direction);

}  // namespace tavrin
