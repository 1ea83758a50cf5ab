#pragma once
// The texts and numbers of the program follow one set of rules, kept here: number and date
// patterns, Str and Val, rounding, integer division, parts of a time, weekdays, blank trimming
// and the reading of dates and times typed by the user. Names and separators come from the
// default locale (QLocale()).

#include <QString>
#include <optional>

#include "platform/OleDate.h"

namespace tavrin::Runtime {

// Number patterns: "#" optional digit, "0" required digit, "." decimal point (always "."; a
// point in the pattern is always shown, so Format(3, "#.##") == "3."), "," between digit
// places groups thousands (always ","), "," right before the point or the end of the digits
// divides by 1000, "%" multiplies by 100, ";" sections (positive;negative;zero; an empty or
// missing negative section takes the first with a minus, an empty or missing zero section the
// first), "\" a literal character, "..." literal text, other characters literal. Values are
// rounded to the pattern's decimals, halves away from zero, on their 15 significant digits
// (Format(2.675, "0.00") == "2.68"). More integer digits than places are all shown. A minus
// is shown only when a digit shown is not zero. Format(0.5, "####.00") == ".50";
// Format(0, "##0.00;;\-") == "-". An empty pattern gives the general number ("0.5", "-12").
// A value that is not a number counts as 0.
QString FormatNumber(double value, const QString& pattern);

// Date patterns (tokens case-insensitive): d, dd, ddd, dddd, ddddd (short date), dddddd (long
// date), m, mm, mmm, mmmm, y (day of the year), yy, yyyy, h, hh, n, nn, s, ss; "m" and "mm"
// right after an "h" or "hh" token (literals between allowed) are minutes, so "h:mm" and
// Qt-style "MM/dd/yyyy" both read as expected. "AM/PM", "A/P" (any case, shown as written),
// "AMPM" (the locale's texts) switch the hours to 12-hour. "/" and ":" are the locale's date
// and time separators; "\" a literal character, "..." literal text, other characters literal.
// Whole named patterns: "Short Date", "Long Date", "Long Time" (the locale's formats, without a
// time zone), "Short Time" (24-hour "hh:nn"). An empty pattern gives the date, followed by the
// long time when there is a time of day (the time alone when the date part is 0). The time of
// day is rounded to whole seconds first.
QString FormatDate(OleDate value, const QString& pattern);

// A number as text with a leading blank when it is not negative (" 5", "-5", " 2.5", " .5"),
// up to 15 significant digits, scientific below 1E-04 and from 1E+15 (" 1E+15", "-1.5E-05").
QString Str(double n);
// The leading number of a text: blanks, tabs and line breaks anywhere are skipped, an optional
// sign, digits with "." as decimal point, an exponent (E or D), or "&H"/"&O" hex and octal
// (four digits or fewer read as a signed 16-bit value, as in "&HFFFF" == -1). 0 when there is
// none. Val(" 12.5abc") == 12.5, Val("1,000") == 1.
double Val(const QString& text);

// Conversion to a 32-bit integer rounding halves to even (CInt(2.5) == 2, CInt(3.5) == 4),
// saturated at the int range; not a number gives 0.
int CInt(double v);
// Integer division: both operands rounded first as CInt, then the quotient truncated.
// A zero divisor gives 0.
int IntDiv(double a, double b);
// Whole part toward minus infinity (Int) and toward zero (Fix).
double Int(double v);
double Fix(double v);

// Parts of a date and time; the time of day is rounded to whole seconds first, carrying into
// the next day (6:59:59.9999 reads 7:00; 23:59:59.9999 reads midnight of the next day).
int Hour(OleDate t);
int Minute(OleDate t);
int Second(OleDate t);
// 1 = Sunday .. 7 = Saturday.
int Weekday(OleDate d);
int Year(OleDate d);
int Month(OleDate d);
int Day(OleDate d);
// A time of day as a date fraction (h * 3600 + m * 60 + s seconds; no wrapping).
OleDate TimeSerial(int h, int m, int s);
// A date from its parts; months and days outside their range roll over (month 13 is January of
// the next year, day 0 the last day of the month before). Years 0..99 are taken as 1930..2029.
OleDate DateSerial(int y, int m, int d);
// The date and time now.
OleDate Now();

// Blanks (U+0020) removed (never other characters, never zero characters).
QString Trim(const QString& s);
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// A date typed by the user. Day, month and year are read in the locale's short-date order,
// separated by "/", "-", ".", ",", the locale's date separator or blanks (letters and digits
// may also touch: "30NOV1998"). A month may be a name, full or abbreviated, any case; a
// leading weekday name is skipped ("Friday, December 31, 1999"). A first number of three or
// more digits (or above 31) is a year and gives year, month, day ("1999-12-31"). A two-digit
// year is taken as 1930..2029, a missing year as the current year, a missing day (month and
// year only) as 1. A time after the date ("12/31/1999 7:30 PM") is added. The day and month are
// never swapped to make an impossible date fit. nullopt when the text is not a date.
std::optional<OleDate> ParseDate(const QString& text);
// A time typed by the user: hours, then ":" minutes and optionally ":" seconds, then optionally
// AM or PM ("A", "P", "AM", "PM" or the locale's texts, any case, blank optional); an hour with
// AM or PM needs no minutes ("7P"). Hours 0..23, or 0..12 with AM/PM (12 AM is midnight),
// minutes and seconds 0..59, each one or two digits. A bare number ("7", "730") is not a time.
// nullopt when the text is not a time. The result is the fraction of a day.
std::optional<OleDate> ParseTime(const QString& text);

}  // namespace tavrin::Runtime
