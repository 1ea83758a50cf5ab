#pragma once
// The runs of Schedule Multiple and Copy Multiple over the day file. Both read the days they touch
// and the notes file with one read each, change them in memory and write them back with one
// write each (the caller has flushed the visible days first and reloads them afterwards); they
// stop at the first record that cannot be read or written, with the store's error, leaving the
// days before it written.

#include <functional>
#include <vector>

#include "platform/OleDate.h"
#include "platform/Result.h"
#include "store/CellActions.h"
#include "store/Records.h"

namespace tavrin {

class SchedFiles;

// One run of Schedule Multiple.
struct MultiSchedPlan {
    std::vector<int> rows;  // display rows chosen
    OleDate start = 0;
    int dayCount = 0;
    CellActions actions;
    const QueryRecord* query = nullptr;  // the applied query; none: every cell passes
    bool twoShiftMode = false;
};

// A shift that may overlap one already scheduled makes a trial pass first (two-shift formats).
inline bool NeedsTrialPass(const MultiSchedPlan& p)
{
    return p.twoShiftMode && IsUserShift(p.actions.shift);
}

struct MultiSchedPass {
    long changes = 0;
    bool conflict = false;
};

// Called before each day of a pass with the number of days of the range done so far.
using DayProgress = std::function<void(int daysDone)>;

// Applies the plan's actions to the chosen rows' cells that pass the query, day by day from the
// start through start + dayCount - 1; days before the period start are skipped (they have no
// records) and the pass ends after the period end. A trial pass writes no day and no note and
// stops at the first conflict. The real pass leaves a conflicting cell as it was.
Result<MultiSchedPass> RunScheduleMultiplePass(SchedFiles& files, const MultiSchedPlan& plan, bool trial,
                                               const DayProgress& progress = {});

// The destination dates of Copy Multiple: start + N, start + 2N, ... up to the period end, at most
// 100 of them. A block length of 0 gives the start itself 100 times; a negative one none.
std::vector<OleDate> CopyDestinations(OleDate start, int blockDays, OleDate periodEnd);
constexpr int kMaxCopyDestinations = 100;

// One run of Copy Multiple.
struct CopyPlan {
    std::vector<int> rows;  // display rows chosen
    OleDate start = 0;
    int blockDays = 0;
    std::vector<OleDate> destinations;  // each after the block, as CopyDestinations gives them
    CopyMultipleOptions options;
    bool requirementRow = false;  // the rows' cells are numbers: copied whole
};

// Copies the block start .. start + N - 1 to each destination, day by day; days after the period
// end are skipped.
Status RunCopyMultiple(SchedFiles& files, const CopyPlan& plan);

}  // namespace tavrin
