// The two-shift rule: which second shifts conflict, and how a cell takes a shift.

#include "platform/Runtime.h"
#include "store/TwoShiftRule.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

ShiftRecord Shift(int h1, int m1, int h2, int m2, float paid = 8)
{
    ShiftRecord r;
    r.StartTime = Runtime::TimeSerial(h1, m1, 0);
    r.EndTime = Runtime::TimeSerial(h2, m2, 0);
    r.PaidHours = paid;
    return r;
}

TEST(TwoShiftRule, ConflictCases)
{
    struct Case {
        const char* what;
        ShiftRecord first, second;
        bool conflict;
    };
    const Case cases[] = {
        {"overlap", Shift(6, 0, 14, 0), Shift(10, 0, 18, 0), true},
        {"overlap, second earlier", Shift(10, 0, 18, 0), Shift(6, 0, 14, 0), true},
        {"one inside the other", Shift(6, 0, 22, 0), Shift(10, 0, 14, 0), true},
        {"touching ends", Shift(6, 0, 14, 0), Shift(14, 0, 22, 0), false},
        {"touching, second first", Shift(14, 0, 22, 0), Shift(6, 0, 14, 0), false},
        {"night shift and a morning", Shift(22, 0, 6, 0), Shift(5, 0, 13, 0), false},
        {"night shift and an evening", Shift(22, 0, 6, 0), Shift(18, 0, 23, 0), true},
        {"identical times", Shift(6, 0, 14, 0), Shift(6, 0, 14, 0), false},
        {"no paid hours", Shift(6, 0, 14, 0, 0), Shift(10, 0, 18, 0), false},
        {"no paid hours second", Shift(6, 0, 14, 0), Shift(10, 0, 18, 0, 0), false},
        // Times computed differently for the same minute are the same time.
        {"seconds rounding", Shift(6, 0, 14, 0), [] {
             ShiftRecord r = Shift(14, 0, 22, 0);
             r.StartTime = 14.0 / 24.0 + 1e-12;
             return r;
         }(), false},
    };
    for (const Case& c : cases) EXPECT_EQ(ShiftsConflict(c.first, c.second), c.conflict) << c.what;
}

class TwoShiftCell : public ::testing::Test {
protected:
    TwoShiftCell()
    {
        shifts[1] = Shift(6, 0, 14, 0);    // early
        shifts[2] = Shift(14, 0, 22, 0);   // late
        shifts[3] = Shift(10, 0, 18, 0);   // middle, overlaps both
        shifts[4] = Shift(22, 0, 6, 0);    // night
        shifts[5] = Shift(5, 0, 13, 0);    // morning
        shifts[6] = Shift(8, 0, 12, 0, 0); // unpaid
    }
    void Cell(int s1, int s2 = 0)
    {
        day.Shift1Code[kSlot] = static_cast<Byte>(s1);
        day.Shift2Code[kSlot] = static_cast<Byte>(s2);
    }
    std::pair<int, int> Shifts() const { return {day.Shift1Code[kSlot], day.Shift2Code[kSlot]}; }

    static constexpr int kSlot = 9;
    ShiftTableArray shifts;
    DayRecord day;
};

TEST_F(TwoShiftCell, FirstShiftSecondShiftAndOrder)
{
    Cell(0);
    EXPECT_TRUE(ApplyTwoShiftRule(day, kSlot, 2, true, shifts).changed);
    EXPECT_EQ(Shifts(), std::make_pair(2, 0));

    // The same shift again changes nothing.
    EXPECT_FALSE(ApplyTwoShiftRule(day, kSlot, 2, true, shifts).changed);

    // The earlier shift assigned second is put first.
    const TwoShiftOutcome o = ApplyTwoShiftRule(day, kSlot, 1, true, shifts);
    EXPECT_TRUE(o.changed);
    EXPECT_FALSE(o.conflict);
    EXPECT_EQ(Shifts(), std::make_pair(1, 2));

    // A third shift replaces the second; the pair is tested and ordered again.
    Cell(4, 2);
    EXPECT_FALSE(ApplyTwoShiftRule(day, kSlot, 5, true, shifts).conflict);
    EXPECT_EQ(Shifts(), std::make_pair(5, 4));
    Cell(1, 2);
    const TwoShiftOutcome third = ApplyTwoShiftRule(day, kSlot, 3, true, shifts);
    EXPECT_TRUE(third.conflict);
    EXPECT_EQ(Shifts(), std::make_pair(1, 3));  // the caller undoes the run
}

TEST_F(TwoShiftCell, TimeOffOneShiftFormatsAndUnpaidShifts)
{
    Cell(kTimeOffCode);
    EXPECT_FALSE(ApplyTwoShiftRule(day, kSlot, 1, true, shifts).changed);
    EXPECT_EQ(Shifts(), std::make_pair(kTimeOffCode, 0));

    Cell(1);
    EXPECT_TRUE(ApplyTwoShiftRule(day, kSlot, 3, false, shifts).changed);
    EXPECT_EQ(Shifts(), std::make_pair(3, 0));  // one shift shown: replaced, no test

    Cell(1);
    const TwoShiftOutcome unpaid = ApplyTwoShiftRule(day, kSlot, 6, true, shifts);
    EXPECT_FALSE(unpaid.conflict);
    EXPECT_EQ(Shifts(), std::make_pair(1, 6));  // no test, no reordering
}

}  // namespace
}  // namespace tavrin
