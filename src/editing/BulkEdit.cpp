#include "editing/BulkEdit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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

// The day records a run reads and writes, held in memory from one read, with the notes it
// stores held in the store's note batch. Each step of the run writes one day record after the
// notes stored for it; Write puts all of them back with one write per file.
class DayRun {
public:
    // Records first .. last (none when last < first); notes: the run stores notes.
    DayRun(SchedFiles& files, std::int64_t first, std::int64_t last, bool notes)
        : files_(files),
          first_(first),
          days_(static_cast<std::size_t>(std::max<std::int64_t>(last - first + 1, 0))),
          notes_(notes)
    {
    }
    ~DayRun()
    {
        if (notes_) files_.EndNoteBatch();
    }
    DayRun(const DayRun&) = delete;
    DayRun& operator=(const DayRun&) = delete;

    Status Read()
    {
        if (notes_) TAVRIN_TRY(files_.BeginNoteBatch());
        if (days_.empty()) return {};
        return files_.ReadRecords(FileNo::Days, first_, std::span<DayRecord>(days_));
    }
    DayRecord& Day(std::int64_t n) { return days_[static_cast<std::size_t>(n - first_)]; }
    // Day n is done: it is written after the notes stored so far.
    void Step(std::int64_t n)
    {
        steps_.push_back({n, files_.BatchedNotes()});
        lo_ = std::min(lo_, n);
        hi_ = std::max(hi_, n);
    }
    // A write that fails part way leaves no new note that no day in the file names.
    Status Write()
    {
        const Status s = WriteSteps();
        if (!s && notes_) (void)files_.DropUnreferencedBatchNotes(lo_, hi_);
        return s;
    }

private:
    Status WriteSteps()
    {
        if (steps_.empty()) return {};
        Status s = notes_ ? files_.WriteNoteBatch() : Status{};
        if (s) {
            s = files_.WriteRecords(FileNo::Days, lo_,
                                    std::span<const DayRecord>(&Day(lo_), static_cast<std::size_t>(hi_ - lo_ + 1)));
        }
        if (s) return s;
        // Written again record by record in the run's order, the run stops where one writing
        // each day as it goes stops: the days before the first record that fails are written.
        int note = 0;
        for (const StepDone& step : steps_) {
            for (; note < step.notes; ++note) TAVRIN_TRY(files_.WriteBatchedNote(note));
            TAVRIN_TRY(files_.WriteRecord(FileNo::Days, step.day, Day(step.day)));
        }
        return {};
    }

    struct StepDone {
        std::int64_t day;
        int notes;  // notes stored up to it
    };
    SchedFiles& files_;
    std::int64_t first_;
    std::vector<DayRecord> days_;
    bool notes_;
    std::vector<StepDone> steps_;
    std::int64_t lo_ = INT64_MAX;
    std::int64_t hi_ = 0;
};

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
    const ShiftPlacement shift(plan.actions.shift, plan.twoShiftMode, ShiftTimes(files.ShiftTable));
    const bool storeNote = !trial && plan.actions.StoresNote();
    NoteRecord note;
    note.NoteText = plan.actions.noteText;
    const double first = RecordOf(files, plan.start);
    const int periodDays = files.PeriodDays();
    // Once a new note has been refused, the notes file stays full for the rest of the run.
    bool notesFull = false;
    DayRun run(files, static_cast<std::int64_t>(std::max(first, 1.0)),
               static_cast<std::int64_t>(std::min(first + plan.dayCount - 1, static_cast<double>(periodDays))),
               storeNote);
    TAVRIN_TRY(run.Read());
    for (int k = 0; k < plan.dayCount; ++k) {
        if (progress) progress(k);
        const double n = first + k;
        if (n < 1) continue;
        if (n > periodDays) break;
        const auto recordNo = static_cast<std::int64_t>(n);
        DayRecord& day = run.Day(recordNo);
        for (const Target& t : targets) {
            if (!t.candidate || (rule && !rule->CellMatches(day, t.slot))) continue;
            const CellActionOutcome r = ApplyCellActions(day, t.slot, plan.actions, shift);
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
        if (!trial) run.Step(recordNo);
    }
    TAVRIN_TRY(run.Write());
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
    // Each pair of source and target day in the copy's order; days after the period end and
    // before its start have no records.
    const auto eachDay = [&](auto&& copyDay) -> Status {
        for (const OleDate d : plan.destinations) {
            const double target = RecordOf(files, d);
            for (int k = 0; k < plan.blockDays; ++k) {
                if (target + k > periodDays) break;
                if (source + k < 1 || target + k < 1) continue;
                TAVRIN_TRY(copyDay(static_cast<std::int64_t>(source + k), static_cast<std::int64_t>(target + k)));
            }
        }
        return {};
    };
    std::int64_t lo = INT64_MAX;
    std::int64_t hi = 0;
    (void)eachDay([&](std::int64_t s, std::int64_t t) -> Status {
        lo = std::min({lo, s, t});
        hi = std::max({hi, s, t});
        return {};
    });
    if (hi == 0) return {};
    // The span in memory takes the copies in the same order as the file would: a block copied
    // over one it overlaps reads what the copies before it wrote.
    DayRun run(files, lo, hi, !plan.requirementRow && plan.options.CopyNotes != 0);
    TAVRIN_TRY(run.Read());
    // The cells of the block as sources, taken from a source day when it is first copied and
    // again only after a copy wrote over that day.
    const auto firstSource = static_cast<std::int64_t>(source);
    const auto blockDays = static_cast<std::size_t>(std::max(plan.blockDays, 0));
    std::vector<CellCopySource> sources(plan.requirementRow ? 0 : blockDays * targets.size());
    std::vector<bool> taken(blockDays, false);
    TAVRIN_TRY(eachDay([&](std::int64_t s, std::int64_t t) -> Status {
        DayRecord& targetDay = run.Day(t);
        if (plan.requirementRow) {
            for (const int slot : targets) CopyNumberCell(run.Day(s), targetDay, slot);
        } else {
            const auto k = static_cast<std::size_t>(s - firstSource);
            CellCopySource* const cells = sources.data() + k * targets.size();
            if (!taken[k]) {
                for (std::size_t i = 0; i < targets.size(); ++i) cells[i] = CopySourceOf(run.Day(s), targets[i]);
                taken[k] = true;
            }
            for (std::size_t i = 0; i < targets.size(); ++i) {
                TAVRIN_TRY(CopyCellParts(files, targetDay, targets[i], cells[i], plan.options));
            }
            if (t >= firstSource && static_cast<std::size_t>(t - firstSource) < blockDays) {
                taken[static_cast<std::size_t>(t - firstSource)] = false;
            }
        }
        run.Step(t);
        return {};
    }));
    return run.Write();
}

}  // namespace tavrin
