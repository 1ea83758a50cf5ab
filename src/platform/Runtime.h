#pragma once
// The texts and numbers of the program follow one set of rules, kept here: number and date
// patterns, Str and Val, rounding, integer division, parts of a time, weekdays, blank trimming
// and the reading of dates and times typed by the user.

#include "platform/OleDate.h"

#include <QString>
#include <optional>

namespace tavrin::Runtime {

// Number patterns: "#" optional digit, "0" required digit, "." decimal point (always "."),
// "," grouping, ";" sections (positive;negative;zero; an empty section takes the first with a
// minus), "\" a literal character, other characters literal. Values are rounded to the
// pattern's decimals (halves away from zero). Format(0.5, "####.00") == ".50";
// Format(0, "##0.00;;\-") == "-".
QString FormatNumber(double value, const QString& pattern);

// Date patterns (tokens case-insensitive): d, dd, ddd, dddd, m, mm, mmm, mmmm, yy, yyyy, h, hh,
// n, nn, s, ss, a/p, am/pm ("m" right after an "h" token means minutes), and the named patterns
// "Short Date", "Long Date", "Short Time", "Long Time". Separators "/" and ":" come from the
// locale; month and day names from the locale (QLocale()).
QString FormatDate(OleDate value, const QString& pattern);

// A number as text with a leading blank when it is not negative (" 5", "-5", " 2.5").
QString Str(double n);
// The leading number of a text ("." as decimal point, leading blanks skipped, an optional sign,
// "&H" hex); 0 when there is none. Val(" 12.5abc") == 12.5.
double Val(const QString& text);

// Conversion to a 32-bit integer rounding halves to even (CInt(2.5) == 2, CInt(3.5) == 4),
// saturated at the int range.
int CInt(double v);
// Integer division: both operands rounded first (halves to even), then the quotient truncated.
// A zero divisor gives 0.
int IntDiv(double a, double b);
// Whole part toward minus infinity (Int) and toward zero (Fix).
double Int(double v);
double Fix(double v);

// Parts of a time of day; the fraction is rounded to whole seconds first (7:00 is not 6:59).
int Hour(OleDate t);
int Minute(OleDate t);
int Second(OleDate t);
// 1 = Sunday .. 7 = Saturday.
int Weekday(OleDate d);
// A time of day as a date fraction.
OleDate TimeSerial(int h, int m, int s);
// A date from its parts; months and days outside their range roll over as in DateSerial.
OleDate DateSerial(int y, int m, int d);
int Year(OleDate d);
int Month(OleDate d);
int Day(OleDate d);

// Blanks removed (never other characters, never zero bytes).
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// A date typed by the user: read in the locale's day/month/year order, with "/", "-", "." or a
// blank as separator, month names (full or abbreviated, any case) allowed, a two-digit year
// taken as 1930..2029, a missing year taken as the current year. Also accepts a time after the
// date. nullopt when the text is not a date.
std::optional<OleDate> ParseDate(const QString& text);
// A time typed by the user ("7", "7:30", "7:30 PM", "19:30", "7:30p", "730p"? no: see tests).
// nullopt when the text is not a time. The result is the fraction of a day.
std::optional<OleDate> ParseTime(const QString& text);

}  // namespace tavrin::Runtime
