#include "editing/BulkEdit.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "grid/GridQuery.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

OleDate Day(OleDate d)
{
    return std::floor(OleDates::Clamped(d));
}

// The day-file record of a date (1 = the period's first day); may lie outside the file.
double RecordOf(const SchedFiles& files, OleDate d)
{
    return Day(d) - Day(files.ScheduleProps.PeriodStart) + 1;
}

struct Target {
    int slot;
    bool candidate;  // the query's row stage passed
};

}  // namespace

Result<MultiSchedPass> RunScheduleMultiplePass(SchedFiles& files, const MultiSchedPlan& plan, bool trial,
                                               const DayProgress& progress)
{
    MultiSchedPass out;
    std::optional<QueryRule> rule;
    if (plan.query) rule.emplace(*plan.query, QueryVariant::ScheduleMultipleRun);
    std::vector<Target> targets;
    for (const int row : plan.rows) {
        if (!IsSlot(row)) continue;
        const int slot = files.ScheduleProps.RowMap[row];
        if (!IsSlot(slot)) continue;
        targets.push_back({slot, !rule || rule->RowQualifies(files.EmpTable, files.ScheduleProps, row)});
    }
    const ShiftTimes times(files.ShiftTable);
    const bool storeNote = !trial && plan.actions.StoresNote();
    NoteRecord note;
    note.NoteText = plan.actions.noteText;
    const double first = RecordOf(files, plan.start);
    const int periodDays = files.PeriodDays();
    // Once a new note has been refused, the notes file stays full for the rest of the run.
    bool notesFull = false;
    DayRecord day;
    for (int k = 0; k < plan.dayCount; ++k) {
        if (progress) progress(k);
        const double n = first + k;
        if (n < 1) continue;
        if (n > periodDays) break;
        const auto recordNo = static_cast<std::int64_t>(n);
        TAVRIN_TRY(files.ReadRecord(FileNo::Days, recordNo, day));
        for (const Target& t : targets) {
            if (!t.candidate || (rule && !rule->CellMatches(day, t.slot))) continue;
            const CellActionOutcome r = ApplyCellActions(day, t.slot, plan.actions, plan.twoShiftMode, times);
            out.changes += r.changes;
            if (r.conflict) {
                out.conflict = true;
                if (trial) return out;
            }
            if (!storeNote) continue;
            if (notesFull && day.NoteNumber[t.slot] == 0) {
                files.NoteFileFull = true;
                continue;
            }
            TAVRIN_TRY(files.StoreCellNote(day, t.slot, note));
            if (day.NoteNumber[t.slot] > 0) {
                ++out.changes;
            } else {
                notesFull = true;
            }
        }
        if (!trial) TAVRIN_TRY(files.WriteRecord(FileNo::Days, recordNo, day));
    }
    return out;
}

std::vector<OleDate> CopyDestinations(OleDate start, int blockDays, OleDate periodEnd)
{
    std::vector<OleDate> out;
    if (blockDays < 0) return out;
    const OleDate end = Day(periodEnd);
    for (OleDate d = Day(start) + blockDays; d <= end && out.size() < kMaxCopyDestinations; d += blockDays) {
        out.push_back(d);
    }
    return out;
}

Status RunCopyMultiple(SchedFiles& files, const CopyPlan& plan)
{
    std::vector<int> targets;
    for (const int row : plan.rows) {
        if (!IsSlot(row)) continue;
        const int slot = files.ScheduleProps.RowMap[row];
        if (IsSlot(slot)) targets.push_back(slot);
    }
    const int periodDays = files.PeriodDays();
    const double source = RecordOf(files, plan.start);
    // The destinations lie after the block, so its days stay as they are: each is read once.
    std::vector<std::optional<DayRecord>> block(static_cast<std::size_t>(std::max(plan.blockDays, 0)));
    DayRecord targetDay;
    for (const OleDate d : plan.destinations) {
        const double target = RecordOf(files, d);
        for (int k = 0; k < plan.blockDays; ++k) {
            if (target + k > periodDays) break;
            // Days before the period have no records.
            if (source + k < 1 || target + k < 1) continue;
            const auto s = static_cast<std::int64_t>(source + k);
            const auto t = static_cast<std::int64_t>(target + k);
            std::optional<DayRecord>& kept = block[static_cast<std::size_t>(k)];
            if (!kept) {
                DayRecord read;
                TAVRIN_TRY(files.ReadRecord(FileNo::Days, s, read));
                kept = read;
            }
            const DayRecord& sourceDay = *kept;
            TAVRIN_TRY(files.ReadRecord(FileNo::Days, t, targetDay));
            for (const int slot : targets) {
                if (plan.requirementRow) {
                    CopyNumberCell(sourceDay, targetDay, slot);
                } else {
                    TAVRIN_TRY(CopyCellParts(files, targetDay, slot, CopySourceOf(sourceDay, slot), plan.options));
                }
            }
            TAVRIN_TRY(files.WriteRecord(FileNo::Days, t, targetDay));
        }
    }
    return {};
}

}  // namespace tavrin
