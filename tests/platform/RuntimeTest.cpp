// The runtime rules: number and date patterns, Str and Val, rounding, parts of dates and the
// reading of typed dates and times. The shared test main pins English (United States).

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <climits>

#include "platform/Runtime.h"

namespace tavrin::test {
namespace {

using namespace Runtime;

OleDate At(int y, unsigned m, unsigned d, int h = 0, int mi = 0, int s = 0)
{
    return OleDates::FromYmd(y, m, d) + TimeSerial(h, mi, s);
}

struct NumberCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(RuntimeFormatNumber, Patterns)
{
    const NumberCase cases[] = {
        // Optional and required digits, the point always shown.
        {7.5, "#####.##", "7.5"},
        {7, "#####.##", "7."},
        {0, "#####", ""},
        {0.5, "####.00", ".50"},
        {0, "#0.00", "0.00"},
        {7.5, "#0.00", "7.50"},
        {2.5, "#####.#0", "2.50"},
        {3, "#####.0", "3.0"},
        {7, "00", "07"},
        {123456, "##0", "123456"},  // more digits than places
        {12.5, ".00", "12.50"},
        {99.99, "##.##", "99.99"},
        // Rounding halves away from zero on the typed digits.
        {2.5, "#####", "3"},
        {-2.5, "0", "-3"},
        {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"},
        {9.996, "#0.00", "10.00"},
        {0.4, "#", ""},
        // Sections: negative, empty negative, zero, literal zero text.
        {0, "##0.00;;\\-", "-"},
        {-7.5, "##0.00;;\\-", "-7.50"},
        {7.5, "##0.00;;\\-", "7.50"},
        {-7.5, "0.00;(0.00)", "(7.50)"},
        {0, "0.00;(0.00);\"nil\"", "nil"},
        {0, "0.00;(0.00);", "0.00"},
        {-0.001, "0.00", "0.00"},  // no minus before digits that are all zero
        // Grouping, scaling, percent, literals.
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {123, "#,##0", "123"},
        {1234, "#,###", "1,234"},
        {1234567, "#,##0,", "1,235"},
        {0.256, "0.0%", "25.6%"},
        {42, "\\#0 \"hrs\"", "#42 hrs"},
        {5, "$#0.00", "$5.00"},
        {-5, "$#0.00", "-$5.00"},
        {5551234, "000-0000", "555-1234"},
        // Empty pattern: the general number.
        {0.5, "", "0.5"},
        {-12, "", "-12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.value << " \"" << c.pattern << "\"";
}

struct DateCase {
    OleDate value;
    const char* pattern;
    const char* expected;
};

TEST(RuntimeFormatDate, Patterns)
{
    const OleDate eve = At(1999, 12, 31, 19, 5, 9);  // a Friday
    const OleDate morning = At(1998, 11, 30, 7, 30);
    const DateCase cases[] = {
        {eve, "d", "31"},
        {At(1999, 3, 4), "d/m/yy", "4/3/99"},
        {At(1999, 3, 4), "dd/mm/yyyy", "04/03/1999"},
        {eve, "ddd", "Fri"},
        {eve, "DDD", "Fri"},
        {eve, "dddd", "Friday"},
        {eve, "mmm", "Dec"},
        {eve, "mmmm, yyyy", "December, 1999"},
        {eve, "m-d", "12-31"},
        {eve, "d-m", "31-12"},
        {eve, "yy", "99"},
        {At(2005, 2, 1), "y", "32"},  // day of the year
        // Times: a/p and am/pm as written, 12-hour with them, 24-hour without.
        {eve, "h:nna/p", "7:05p"},
        {morning, "h:nna/p", "7:30a"},
        {morning, "hh:nnA/P", "07:30A"},
        {eve, "hh:nn", "19:05"},
        {eve, "h:nn:ss AM/PM", "7:05:09 PM"},
        {eve, "h:nn am/pm", "7:05 pm"},
        {eve, "h:nn AMPM", "7:05 PM"},
        {At(1999, 1, 1, 0, 15), "h:nna/p", "12:15a"},
        {At(1999, 1, 1, 12, 0), "h:nna/p", "12:00p"},
        {TimeSerial(0, 45, 0), "h:nn", "0:45"},
        // "m" after "h" is minutes, elsewhere the month.
        {eve, "h:mm", "19:05"},
        {eve, "hh:mm:ss", "19:05:09"},
        {eve, "h:mma/p m", "7:05p 12"},
        // Qt-style display formats built from the locale ("MM" is the month).
        {eve, "MM/dd/yyyy", "12/31/1999"},
        {At(1998, 11, 30), "dd.MM.yyyy", "30.11.1998"},
        {At(1998, 11, 3), "yyyy-MM-dd", "1998-11-03"},
        {At(1998, 11, 30), "dd-MMM-yyyy", "30-Nov-1998"},
        {eve, "DD/MM/YY", "31/12/99"},
        // Literals and named patterns.
        {eve, "\\d\\a\\y d", "day 31"},
        {eve, "\"Week of\" m/d", "Week of 12/31"},
        {eve, "Short Date", "12/31/99"},
        {eve, "Long Date", "Friday, December 31, 1999"},
        {eve, "long date", "Friday, December 31, 1999"},
        {eve, "Long Time", "7:05:09 PM"},
        {eve, "Short Time", "19:05"},
        {eve, "ddddd", "12/31/99"},
        {eve, "", "12/31/99 7:05:09 PM"},
        {OleDates::FromYmd(1999, 12, 31), "", "12/31/99"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDate(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.value << " \"" << c.pattern << "\"";
}

TEST(RuntimeFormatDate, TimeIsRoundedToWholeSeconds)
{
    const OleDate almostSeven = TimeSerial(6, 59, 59) + 0.9999 / 86400.0;
    EXPECT_EQ(FormatDate(almostSeven, "h:nna/p"), "7:00a");
    EXPECT_EQ(FormatDate(almostSeven, "hh:nn:ss"), "07:00:00");
    // Just before midnight rounds into the next day.
    EXPECT_EQ(FormatDate(OleDates::FromYmd(1999, 12, 31) + 0.9999999999, "m/d/yyyy hh:nn"), "1/1/2000 00:00");
}

TEST(RuntimeStrVal, Str)
{
    const std::pair<double, const char*> cases[] = {
        {5, " 5"},
        {-5, "-5"},
        {2.5, " 2.5"},
        {0, " 0"},
        {0.5, " .5"},
        {-0.25, "-.25"},
        {1234567, " 1234567"},
        {0.0001, " .0001"},
        {0.00001, " 1E-05"},
        {-1.5e-7, "-1.5E-07"},
        {1e15, " 1E+15"},
        {999999999999999, " 999999999999999"},
        {0.1 + 0.2, " .3"},  // 15 significant digits
    };
    for (const auto& [n, expected] : cases) EXPECT_EQ(Str(n), expected) << n;
}

TEST(RuntimeStrVal, Val)
{
    const std::pair<const char*, double> cases[] = {
        {" 12.5abc", 12.5}, {"", 0},         {"abc", 0},       {"-7", -7},         {"+3", 3},    {".5", 0.5},
        {"1,000", 1},       {"1 000", 1000}, {"12.5.3", 12.5}, {"1e3", 1000},      {"2D2", 200}, {"1e", 1},
        {"-", 0},           {"&H1F", 31},    {"&HFFFF", -1},   {"&H10000", 65536}, {"&O17", 15}, {"&Hx", 0},
        {" 5", 5},          {"3 days", 3},   {"\t\n42", 42},
    };
    for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(Val(text), expected) << '"' << text << '"';
    // Whatever the C locale says about decimal commas, "." is the point.
    EXPECT_DOUBLE_EQ(Val(Str(2.25)), 2.25);
}

TEST(RuntimeNumbers, CIntRoundsHalvesToEven)
{
    const std::pair<double, int> cases[] = {
        {2.5, 2},    {3.5, 4},    {-2.5, -2}, {-3.5, -4},      {0.5, 0},         {1.5, 2},
        {2.4999, 2}, {2.5001, 3}, {-0.4, 0},  {1e12, INT_MAX}, {-1e12, INT_MIN},
    };
    for (const auto& [v, expected] : cases) EXPECT_EQ(CInt(v), expected) << v;
    EXPECT_EQ(CInt(std::nan("")), 0);
}

TEST(RuntimeNumbers, IntDivRoundsOperandsThenTruncates)
{
    struct Case {
        double a, b;
        int expected;
    };
    const Case cases[] = {
        {7, 2, 3},
        {-7, 2, -3},
        {7.5, 2, 4},
        {6.5, 2, 3},
        {90, 15, 6},
        {90, 14.5, 6},  // 14.5 -> 14
        {90, 15.5, 5},
        {5, 0, 0},
        {5, 0.4, 0},  // 0.4 -> 0
        {-2147483648.0, -1, INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(IntDiv(c.a, c.b), c.expected) << c.a << " \\ " << c.b;
    EXPECT_EQ(Int(-2.5), -3);
    EXPECT_EQ(Fix(-2.5), -2);
    EXPECT_EQ(Int(2.5), 2);
}

TEST(RuntimeDates, PartsOfDatesAndTimes)
{
    const OleDate almostSeven = OleDates::FromYmd(2001, 5, 6) + TimeSerial(6, 59, 59) + 0.9999 / 86400.0;
    EXPECT_EQ(Hour(almostSeven), 7);
    EXPECT_EQ(Minute(almostSeven), 0);
    EXPECT_EQ(Second(almostSeven), 0);
    const OleDate t = At(2001, 5, 6, 13, 45, 30);
    EXPECT_EQ(Hour(t), 13);
    EXPECT_EQ(Minute(t), 45);
    EXPECT_EQ(Second(t), 30);
    EXPECT_EQ(Year(t), 2001);
    EXPECT_EQ(Month(t), 5);
    EXPECT_EQ(Day(t), 6);
    EXPECT_EQ(Hour(0.75), 18);

    // 1 = Sunday .. 7 = Saturday; the time of day does not change the day.
    EXPECT_EQ(Weekday(OleDates::FromYmd(2001, 5, 6)), 1);
    EXPECT_EQ(Weekday(At(2001, 5, 6, 23, 59)), 1);
    EXPECT_EQ(Weekday(OleDates::FromYmd(1999, 12, 31)), 6);
    EXPECT_EQ(Weekday(OleDates::FromYmd(2000, 1, 1)), 7);
    EXPECT_EQ(Weekday(0), 7);  // 30 December 1899

    EXPECT_DOUBLE_EQ(TimeSerial(18, 0, 0), 0.75);
    EXPECT_DOUBLE_EQ(DateSerial(2000, 1, 1), OleDates::FromYmd(2000, 1, 1));
    EXPECT_DOUBLE_EQ(DateSerial(1999, 13, 1), OleDates::FromYmd(2000, 1, 1));
    EXPECT_DOUBLE_EQ(DateSerial(2000, 3, 0), OleDates::FromYmd(2000, 2, 29));
    EXPECT_DOUBLE_EQ(DateSerial(2000, 0, 1), OleDates::FromYmd(1999, 12, 1));
    EXPECT_DOUBLE_EQ(DateSerial(2000, -11, 1), OleDates::FromYmd(1999, 1, 1));
    EXPECT_DOUBLE_EQ(DateSerial(2000, 1, 32), OleDates::FromYmd(2000, 2, 1));
    EXPECT_DOUBLE_EQ(DateSerial(29, 1, 1), OleDates::FromYmd(2029, 1, 1));
    EXPECT_DOUBLE_EQ(DateSerial(30, 1, 1), OleDates::FromYmd(1930, 1, 1));
}

TEST(RuntimeText, TrimRemovesBlanksOnly)
{
    const QString withNul = QStringLiteral("  a b") + QChar(0) + QStringLiteral("\t ");
    EXPECT_EQ(Trim(withNul), QStringLiteral("a b") + QChar(0) + QStringLiteral("\t"));
    EXPECT_EQ(LTrim("  x  "), "x  ");
    EXPECT_EQ(RTrim("  x  "), "  x");
    EXPECT_EQ(Trim("   "), "");
}

TEST(RuntimeParse, Dates)
{
    const int thisYear = QDate::currentDate().year();
    const std::pair<const char*, OleDate> cases[] = {
        {"12/31/1999", OleDates::FromYmd(1999, 12, 31)},
        {" 12-31-1999 ", OleDates::FromYmd(1999, 12, 31)},
        {"12.31.1999", OleDates::FromYmd(1999, 12, 31)},
        {"12 31 1999", OleDates::FromYmd(1999, 12, 31)},
        {"1/2/99", OleDates::FromYmd(1999, 1, 2)},  // month first in this locale
        {"1/1/29", OleDates::FromYmd(2029, 1, 1)},
        {"1/1/30", OleDates::FromYmd(1930, 1, 1)},
        {"1/1/00", OleDates::FromYmd(2000, 1, 1)},
        {"2/29/2000", OleDates::FromYmd(2000, 2, 29)},
        {"1999-12-31", OleDates::FromYmd(1999, 12, 31)},  // a leading year reads year, month, day
        {"Dec 31, 1999", OleDates::FromYmd(1999, 12, 31)},
        {"december 31 1999", OleDates::FromYmd(1999, 12, 31)},
        {"31-DEC-1999", OleDates::FromYmd(1999, 12, 31)},
        {"30-Nov-98", OleDates::FromYmd(1998, 11, 30)},
        {"30NOV1998", OleDates::FromYmd(1998, 11, 30)},
        {"Friday, December 31, 1999", OleDates::FromYmd(1999, 12, 31)},
        {"12/1999", OleDates::FromYmd(1999, 12, 1)},
        {"Dec 1999", OleDates::FromYmd(1999, 12, 1)},
        {"3/4", OleDates::FromYmd(thisYear, 3, 4)},
        {"Mar 4", OleDates::FromYmd(thisYear, 3, 4)},
        {"12/31/1999 7:30 PM", OleDates::FromYmd(1999, 12, 31) + TimeSerial(19, 30, 0)},
        {"12/31/1999 06:15", OleDates::FromYmd(1999, 12, 31) + TimeSerial(6, 15, 0)},
    };
    for (const auto& [text, expected] : cases) {
        const auto d = ParseDate(text);
        ASSERT_TRUE(d.has_value()) << '"' << text << '"';
        EXPECT_DOUBLE_EQ(*d, expected) << '"' << text << '"';
    }

    const char* invalid[] = {
        "",
        "   ",
        "abc",
        "5",
        "13/1/1999",
        "31/12/1999",
        "2/30/2000",
        "2/29/1999",
        "0/1/1999",
        "1/0/1999",
        "12//1999",
        "12/31/1999/5",
        "Foo 31 1999",
        "Dec Jan 1999",
        "12/31/19999",
        "1/1/99 25:00",
        "7:30",
        "12/31/1999 7:30 XM",
        "12;31;1999",
        "/12/31/1999",
        "1/1/0099",
        "Dec",
        "1999 2000 Dec",
    };
    for (const char* text : invalid) EXPECT_FALSE(ParseDate(text).has_value()) << '"' << text << '"';
}

TEST(RuntimeParse, DatesFollowTheLocaleOrder)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ParseDate("31.12.1999"), OleDates::FromYmd(1999, 12, 31));
    EXPECT_EQ(ParseDate("1.2.99"), OleDates::FromYmd(1999, 2, 1));
    EXPECT_EQ(ParseDate("31. Dez. 1999"), OleDates::FromYmd(1999, 12, 31));
    EXPECT_FALSE(ParseDate("12/31/1999").has_value());
    EXPECT_EQ(FormatDate(OleDates::FromYmd(1999, 3, 4), "dd/mm/yyyy"), "04.03.1999");  // the locale's separator
    QLocale::setDefault(saved);
}

TEST(RuntimeParse, DisplayedDatesReadBack)
{
    const OleDate d = OleDates::FromYmd(2004, 2, 29);
    for (const char* pattern : {"MM/dd/yyyy", "dd-MMM-yyyy", "yyyy-MM-dd", "Long Date", "Short Date"})
        EXPECT_EQ(ParseDate(FormatDate(d, pattern)), d) << pattern;
}

TEST(RuntimeParse, Times)
{
    const std::pair<const char*, OleDate> cases[] = {
        {"7:00", TimeSerial(7, 0, 0)},
        {"7:3", TimeSerial(7, 3, 0)},
        {"19:30", TimeSerial(19, 30, 0)},
        {"7:30 PM", TimeSerial(19, 30, 0)},
        {"7:30pm", TimeSerial(19, 30, 0)},
        {"7:30P", TimeSerial(19, 30, 0)},
        {"7:30 a", TimeSerial(7, 30, 0)},
        {"7A", TimeSerial(7, 0, 0)},
        {"7P", TimeSerial(19, 0, 0)},
        {"9 pm", TimeSerial(21, 0, 0)},
        {"12:00 AM", 0},
        {"12:00 PM", TimeSerial(12, 0, 0)},
        {"12:30A", TimeSerial(0, 30, 0)},
        {"0:00", 0},
        {"23:59:59", TimeSerial(23, 59, 59)},
        {"8:05:10 AM", TimeSerial(8, 5, 10)},
        {" 07:45 ", TimeSerial(7, 45, 0)},
    };
    for (const auto& [text, expected] : cases) {
        const auto t = ParseTime(text);
        ASSERT_TRUE(t.has_value()) << '"' << text << '"';
        EXPECT_DOUBLE_EQ(*t, expected) << '"' << text << '"';
    }

    const char* invalid[] = {
        "",       "7",        "730", "730P",  "24:00", "13:00 PM", "7:60", "7:30:60", "7:",    ":30",
        "7:30 X", "7:30 PMX", "abc", "7:30:", "7::30", "-1:00",    "7.30", "123:00",  "7:300",
    };
    for (const char* text : invalid) EXPECT_FALSE(ParseTime(text).has_value()) << '"' << text << '"';
}

}  // namespace
}  // namespace tavrin::test
