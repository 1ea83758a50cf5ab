// The query rule over the day file: the query-results count over 10 years by 200 rows, and the
// name selection over 999 days, each beside a baseline that reads the same records with one
// pread and tests the same codes by hand.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "RealisticSchedule.h"
#include "grid/GridQuery.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

constexpr int kDays = 3650;
constexpr int kSelectionDays = 999;

// A realistic schedule (RealisticSchedule.h) of 10 years by 200 named rows.
struct Schedule {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};

    Schedule()
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.ScheduleProps.PeriodStart = OleDates::FromYmd(2020, 1, 1);
        files.ScheduleProps.PeriodEnd = files.ScheduleProps.PeriodStart + kDays - 1;
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        bench::DefineShifts(files);
        bench::NameEveryRow(files);
        bench::Rng rng;
        if (!bench::FillPeriod(files, rng)) std::abort();
    }
};

Schedule& Shared()
{
    static Schedule s;
    return s;
}

// The evening and 12-hour night shifts, anyone, any explanation.
QueryFilter ResultsQuery()
{
    QueryFilter q;
    q.IgnoreNames = kTrue;
    q.IgnoreExplanations = kTrue;
    q.SelectedShifts[2] = 1;
    q.SelectedShifts[5] = 1;
    return q;
}

// Every other person (by data slot), the night shift, any explanation.
QueryFilter SelectionQuery()
{
    QueryFilter q;
    q.IgnoreExplanations = kTrue;
    for (int s = 1; s <= kSlots; s += 2) q.SelectedNames[s] = 1;
    q.SelectedShifts[3] = 1;
    return q;
}

// The counts of every data slot (index 0..199) and the busiest day.
struct SlotCounts {
    std::array<int, kSlots> perSlot{};
    int busiest = 0;
    friend bool operator==(const SlotCounts&, const SlotCounts&) = default;
};

SlotCounts RuleCounts(const QueryRule& rule, int days)
{
    Schedule& s = Shared();
    const Result<QueryDayCounts> counts = CountQueryMatches(s.files, rule, s.files.ScheduleProps.PeriodStart, days);
    SlotCounts out;
    if (!counts) return out;
    for (int r = 1; r <= kSlots; ++r)
        out.perSlot[static_cast<std::size_t>(s.files.ScheduleProps.RowMap[r] - 1)] = counts->perRow[r];
    out.busiest = counts->busiestDay;
    return out;
}

// The same counts by hand: one pread of the records, the query's codes tested inline.
template <class Test>
SlotCounts BaselineCounts(int days, std::uint8_t* buf, Test test)
{
    Schedule& s = Shared();
    const std::size_t bytes = static_cast<std::size_t>(days) * DayRecord::Size;
    // The day file the schedule keeps open.
    const bool read = s.files.File(FileNo::Days).readRange(1, std::span<std::uint8_t>(buf, bytes)).ok();
    SlotCounts out;
    if (!read) return out;
    for (int d = 0; d < days; ++d) {
        const std::uint8_t* rec = buf + static_cast<std::size_t>(d) * DayRecord::Size;
        int onDay = 0;
        // The hit is added, not branched on: matches lie at random, which no branch predicts.
        for (int slot = 0; slot < kSlots; ++slot) {
            const int hit = test(slot, rec[slot], rec[600 + slot]);
            out.perSlot[static_cast<std::size_t>(slot)] += hit;
            onDay += hit;
        }
        out.busiest = std::max(out.busiest, onDay);
    }
    return out;
}

const auto kResultsTest = [](int, int s1, int s2) { return s1 == 2 || s1 == 5 || s2 == 2 || s2 == 5; };
const auto kSelectionTest = [](int slot, int s1, int s2) { return slot % 2 == 0 && (s1 == 3 || s2 == 3); };

std::unique_ptr<std::uint8_t[]> DayBuffer(int days)
{
    return std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(days) * DayRecord::Size);
}

void Rule(benchmark::State& state, const QueryFilter& q, QueryVariant v, int days)
{
    const QueryRule rule(q, v);
    for (auto _ : state) benchmark::DoNotOptimize(RuleCounts(rule, days));
}

template <class Test>
void Baseline(benchmark::State& state, int days, Test test)
{
    const auto buf = DayBuffer(days);
    for (auto _ : state) benchmark::DoNotOptimize(BaselineCounts(days, buf.get(), test));
}

void BM_QueryResultsCount_Rule(benchmark::State& state)
{
    Rule(state, ResultsQuery(), QueryVariant::QueryResults, kDays);
}
void BM_QueryResultsCount_Baseline(benchmark::State& state)
{
    Baseline(state, kDays, kResultsTest);
}
void BM_NameSelection_Rule(benchmark::State& state)
{
    Rule(state, SelectionQuery(), QueryVariant::NameSelection, kSelectionDays);
}
void BM_NameSelection_Baseline(benchmark::State& state)
{
    Baseline(state, kSelectionDays, kSelectionTest);
}

// Both sides count the same cells (and some: a failed read counts none on either side).
bool SameCounts()
{
    const auto buf = DayBuffer(kDays);
    const auto same = [&buf](const QueryRule& rule, int days, auto test, const char* what) {
        const SlotCounts ours = RuleCounts(rule, days);
        return bench::SameWork(ours.busiest > 0 && ours == BaselineCounts(days, buf.get(), test), what);
    };
    return same(QueryRule(ResultsQuery(), QueryVariant::QueryResults), kDays, kResultsTest, "query-results count") &&
           same(QueryRule(SelectionQuery(), QueryVariant::NameSelection), kSelectionDays, kSelectionTest,
                "name selection");
}

BENCHMARK(BM_QueryResultsCount_Rule)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryResultsCount_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameSelection_Rule)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameSelection_Baseline)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv)
{
    return bench::RunBenchmarks(argc, argv, SameCounts);
}
