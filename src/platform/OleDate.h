#pragma once
// Dates as stored: a double counting days since 30 December 1899, the fraction the time of day.

#include <QDate>
#include <chrono>
#include <cmath>

namespace tavrin {

using OleDate = double;

namespace OleDates {

constexpr std::chrono::sys_days kEpoch = std::chrono::sys_days{std::chrono::year{1899} / 12 / 30};

inline OleDate FromYmd(int y, unsigned m, unsigned d)
{
    const std::chrono::sys_days day{std::chrono::year{y} / std::chrono::month{m} / std::chrono::day{d}};
    return static_cast<double>((day - kEpoch).count());
}

inline OleDate FromQDate(const QDate& d) { return FromYmd(d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day())); }

// Dates of years 100..9999 only; anything else (a damaged file) is held to that range.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.0;
inline double Clamped(OleDate v)
{
    if (!std::isfinite(v)) return 0;
    return v < kMinDate ? kMinDate : (v > kMaxDate ? kMaxDate : v);
}

// The calendar day of a date (the time of day dropped toward the earlier day).
inline std::chrono::sys_days ToSysDays(OleDate v)
{
    return kEpoch + std::chrono::days{static_cast<long>(std::floor(Clamped(v)))};
}

inline QDate ToQDate(OleDate v)
{
    const std::chrono::year_month_day ymd{ToSysDays(v)};
    return QDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}

// Whole days from a to b (b - a), on calendar days.
inline long DaysBetween(OleDate a, OleDate b) { return (ToSysDays(b) - ToSysDays(a)).count(); }

inline OleDate Today() { return FromQDate(QDate::currentDate()); }

}  // namespace OleDates

}  // namespace tavrin
