#include "platform/Runtime.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace tavrin::Runtime {
namespace {

// ---------------------------------------------------------------- decimal digits

// The 15 significant digits of |v| (no trailing zeros) and the count of digits before the
// point, so that v == 0.digits * 10^point. Reading through 15 digits makes 2.675 round as typed.
struct Digits {
    std::string digits;
    int point = 0;
};

Digits SignificantDigits(double v)
{
    Digits d;
    v = std::fabs(v);
    if (v == 0 || !std::isfinite(v)) return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr);  // d.ddddddddddddddde+XX
    const auto e = s.find('e');
    d.digits = s.substr(0, 1) + s.substr(2, e - 2);
    d.point = std::stoi(s.substr(e + 1)) + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// |v| rounded at `decimals` places, halves away from zero: the integer digits without leading
// zeros (empty for 0) and exactly `decimals` fraction digits.
void RoundedDigits(double v, int decimals, std::string& intPart, std::string& fracPart)
{
    const Digits d = SignificantDigits(v);
    std::string all = d.digits;
    int point = d.point;
    if (all.empty()) point = 0;
    if (point < 0) {
        all.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    }
    const int keep = point + decimals;
    if (static_cast<int>(all.size()) < keep) all.append(static_cast<std::size_t>(keep) - all.size(), '0');
    const bool up = static_cast<int>(all.size()) > keep && all[static_cast<std::size_t>(keep)] >= '5';
    all.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') all[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            all.insert(all.begin(), '1');
            ++point;
        } else {
            ++all[static_cast<std::size_t>(i)];
        }
    }
    intPart = all.substr(0, static_cast<std::size_t>(point));
    fracPart = all.substr(static_cast<std::size_t>(point));
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
}

// The general text of a number: up to 15 significant digits, scientific below 1E-04 and from
// 1E+15. `leadingZero` writes 0.5 rather than .5.
QString GeneralText(double n, bool leadingZero)
{
    if (!std::isfinite(n)) n = 0;
    const Digits d = SignificantDigits(n);
    if (d.digits.empty()) return QStringLiteral("0");
    std::string out = n < 0 ? "-" : "";
    const int exp = d.point - 1;
    if (exp < -4 || exp >= 15) {
        out += d.digits.substr(0, 1);
        if (d.digits.size() > 1) out += "." + d.digits.substr(1);
        const std::string e = std::to_string(std::abs(exp));
        out += std::string("E") + (exp < 0 ? '-' : '+') + (e.size() < 2 ? "0" : "") + e;
    } else if (d.point <= 0) {
        out += leadingZero ? "0." : ".";
        out += std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
    } else {
        std::string digits = d.digits;
        if (static_cast<int>(digits.size()) < d.point)
            digits.append(static_cast<std::size_t>(d.point) - digits.size(), '0');
        out += digits.substr(0, static_cast<std::size_t>(d.point));
        if (static_cast<int>(digits.size()) > d.point) out += "." + digits.substr(static_cast<std::size_t>(d.point));
    }
    return QString::fromStdString(out);
}

// ---------------------------------------------------------------- number patterns

struct NumElem {
    enum Kind { Zero, Hash, Point, Comma, Lit } kind;
    QString text;
};

struct NumSection {
    std::vector<NumElem> elems;
    bool group = false;
    int thousands = 0;  // divisions by 1000
    int percents = 0;   // multiplications by 100
};

// Splits a pattern at the ";" that are not escaped or quoted.
std::vector<QString> SplitSections(const QString& pattern)
{
    std::vector<QString> out(1);
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
            out.back() += c;
            out.back() += pattern[++i];
            continue;
        }
        if (!quoted && c == u';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

NumSection ParseSection(const QString& s)
{
    NumSection sec;
    std::vector<NumElem> raw;
    bool havePoint = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\\') {
            if (i + 1 < s.size()) raw.push_back({NumElem::Lit, QString(s[++i])});
        } else if (c == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? s.size() : end;
            raw.push_back({NumElem::Lit, s.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == u'0') {
            raw.push_back({NumElem::Zero, {}});
        } else if (c == u'#') {
            raw.push_back({NumElem::Hash, {}});
        } else if (c == u'.' && !havePoint) {
            havePoint = true;
            raw.push_back({NumElem::Point, {}});
        } else if (c == u',' && !havePoint) {
            raw.push_back({NumElem::Comma, {}});
        } else {
            if (c == u'%') ++sec.percents;
            raw.push_back({NumElem::Lit, QString(c)});
        }
    }
    // A comma between digit places groups; one after the last integer place scales; any
    // other is a literal.
    const auto isDigit = [](const NumElem& e) { return e.kind == NumElem::Zero || e.kind == NumElem::Hash; };
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i].kind != NumElem::Comma) {
            sec.elems.push_back(raw[i]);
            continue;
        }
        const bool before = std::any_of(raw.begin(), raw.begin() + static_cast<long>(i), isDigit);
        bool after = false;
        for (std::size_t j = i + 1; j < raw.size() && raw[j].kind != NumElem::Point; ++j)
            after = after || isDigit(raw[j]);
        if (before && after) {
            sec.group = true;
        } else if (before) {
            ++sec.thousands;
        } else {
            sec.elems.push_back({NumElem::Lit, QStringLiteral(",")});
        }
    }
    return sec;
}

QString RenderSection(const NumSection& sec, double magnitude, bool minus)
{
    double v = magnitude * std::pow(100.0, sec.percents) / std::pow(1000.0, sec.thousands);
    int nInt = 0, nDec = 0, firstZero = -1, lastZero = -1;
    bool afterPoint = false;
    for (const NumElem& e : sec.elems) {
        if (e.kind == NumElem::Point) {
            afterPoint = true;
        } else if (e.kind == NumElem::Zero || e.kind == NumElem::Hash) {
            if (afterPoint) {
                if (e.kind == NumElem::Zero) lastZero = nDec;
                ++nDec;
            } else {
                if (e.kind == NumElem::Zero && firstZero < 0) firstZero = nInt;
                ++nInt;
            }
        }
    }
    if (!std::isfinite(v)) v = 0;
    std::string ip, fp;
    RoundedDigits(v, nDec, ip, fp);
    const int minInt = firstZero < 0 ? 0 : nInt - firstZero;
    if (static_cast<int>(ip.size()) < minInt) ip.insert(0, static_cast<std::size_t>(minInt) - ip.size(), '0');
    while (static_cast<int>(fp.size()) > lastZero + 1 && fp.back() == '0') fp.pop_back();

    QString out;
    const int len = static_cast<int>(ip.size());
    int remaining = len;  // integer digits not yet written
    const auto putDigits = [&](int count) {
        for (int k = 0; k < count; ++k) {
            out += QChar(ip[static_cast<std::size_t>(len - remaining)]);
            --remaining;
            if (sec.group && remaining > 0 && remaining % 3 == 0) out += u',';
        }
    };
    int intPlace = 0, decPlace = 0;
    afterPoint = false;
    for (const NumElem& e : sec.elems) {
        switch (e.kind) {
            case NumElem::Lit:
                out += e.text;
                break;
            case NumElem::Point:
                if (nInt == 0) putDigits(remaining);  // no integer places: the digits still show
                afterPoint = true;
                out += u'.';
                break;
            case NumElem::Zero:
            case NumElem::Hash:
                if (afterPoint) {
                    if (decPlace < static_cast<int>(fp.size())) out += QChar(fp[static_cast<std::size_t>(decPlace)]);
                    ++decPlace;
                } else {
                    // The first place takes every digit beyond the places that follow it.
                    const int placesLeft = nInt - intPlace;
                    putDigits(intPlace == 0 ? std::max(0, remaining - (placesLeft - 1))
                                            : (remaining >= placesLeft ? 1 : 0));
                    ++intPlace;
                }
                break;
            case NumElem::Comma:
                break;
        }
    }
    const bool nonZero = (ip + fp).find_first_not_of('0') != std::string::npos;
    return minus && nonZero ? u'-' + out : out;
}

// ---------------------------------------------------------------- dates

struct DayTime {
    long long days;  // calendar day, days since 30 December 1899
    int secs;        // seconds since midnight
};

// A stored date split into its calendar day and its time rounded to whole seconds. Days before
// 1899-12-30 count their time of day away from zero, so the day is the truncated value.
DayTime Split(OleDate v)
{
    v = OleDates::Clamped(v);
    const double whole = std::trunc(v);
    DayTime dt{static_cast<long long>(whole), static_cast<int>(std::llround(std::fabs(v - whole) * 86400.0))};
    if (dt.secs >= 86400) {
        dt.secs -= 86400;
        ++dt.days;
    }
    return dt;
}

std::chrono::year_month_day Ymd(long long days)
{
    return std::chrono::year_month_day{OleDates::kEpoch + std::chrono::days{days}};
}

int WeekdayOf(long long days)
{
    return static_cast<int>(std::chrono::weekday{OleDates::kEpoch + std::chrono::days{days}}.c_encoding()) + 1;
}

QDate QDateOf(long long days)
{
    const auto ymd = Ymd(days);
    return QDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}

QTime QTimeOf(int secs)
{
    return QTime(secs / 3600, secs / 60 % 60, secs % 60);
}

// The first separator of a Qt date or time format of the locale ("M/d/yy" gives "/").
QString SeparatorOf(const QString& format, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return QString(fallback);
}

QString DateSeparator()
{
    return SeparatorOf(QLocale().dateFormat(QLocale::ShortFormat), u'/');
}
QString TimeSeparator()
{
    return SeparatorOf(QLocale().timeFormat(QLocale::ShortFormat), u':');
}

QString ShortDateText(long long days)
{
    return QLocale().toString(QDateOf(days), QLocale::ShortFormat);
}
QString LongDateText(long long days)
{
    return QLocale().toString(QDateOf(days), QLocale::LongFormat);
}

// The locale's long time format without its time-zone field: stored times have no zone.
QString LongTimeText(int secs)
{
    const QString f = QLocale().timeFormat(QLocale::LongFormat);
    QString g;
    bool quoted = false;
    for (const QChar c : f) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        g += c;
    }
    return QLocale().toString(QTimeOf(secs), g.trimmed());
}

// clang-format off
enum class DT {
    Lit, Day, Day2, DayAbbr, DayName, ShortDate, LongDate, DayOfYear, Month, Month2, MonthAbbr, MonthName,
    Year2, Year4, Hour, Hour2, Minute, Minute2, Second, Second2, AmPm, DateSep, TimeSep
};
// clang-format on

struct DTok {
    DT kind;
    QString a, b;  // literal text, or the AM and PM texts
};

std::vector<DTok> ParseDatePattern(const QString& p)
{
    std::vector<DTok> toks;
    bool afterHour = false;
    const auto at = [&](qsizetype i, const char* word) {
        return p.mid(i, static_cast<qsizetype>(std::strlen(word))).compare(QLatin1String(word), Qt::CaseInsensitive) ==
               0;
    };
    for (qsizetype i = 0; i < p.size();) {
        const QChar c = p[i];
        const char16_t lc = c.toLower().unicode();
        if (c == u'\\') {
            if (i + 1 < p.size()) toks.push_back({DT::Lit, QString(p[i + 1]), {}});
            i += 2;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = p.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? p.size() : end;
            toks.push_back({DT::Lit, p.mid(i + 1, stop - i - 1), {}});
            i = stop + 1;
            continue;
        }
        if (at(i, "am/pm")) {
            toks.push_back({DT::AmPm, p.mid(i, 2), p.mid(i + 3, 2)});
            i += 5;
            continue;
        }
        if (at(i, "ampm")) {
            toks.push_back({DT::AmPm, QLocale().amText(), QLocale().pmText()});
            i += 4;
            continue;
        }
        if (at(i, "a/p")) {
            toks.push_back({DT::AmPm, p.mid(i, 1), p.mid(i + 2, 1)});
            i += 3;
            continue;
        }
        if (c == u'/') {
            toks.push_back({DT::DateSep, {}, {}});
            ++i;
            continue;
        }
        if (c == u':') {
            toks.push_back({DT::TimeSep, {}, {}});
            ++i;
            continue;
        }
        if (lc != u'd' && lc != u'm' && lc != u'y' && lc != u'h' && lc != u'n' && lc != u's') {
            toks.push_back({DT::Lit, QString(c), {}});
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < p.size() && p[i + run].toLower() == QChar(lc)) ++run;
        i += run;
        DT kind = DT::Lit;
        switch (lc) {
            case u'd': {
                static constexpr DT kDays[] = {DT::Day,     DT::Day2,      DT::DayAbbr,
                                               DT::DayName, DT::ShortDate, DT::LongDate};
                kind = kDays[std::min<qsizetype>(run, 6) - 1];
                break;
            }
            case u'm':
                if (afterHour) {
                    kind = run == 1 ? DT::Minute : DT::Minute2;
                } else {
                    static constexpr DT kMonths[] = {DT::Month, DT::Month2, DT::MonthAbbr, DT::MonthName};
                    kind = kMonths[std::min<qsizetype>(run, 4) - 1];
                }
                break;
            case u'y':
                kind = run == 1 ? DT::DayOfYear : (run < 4 ? DT::Year2 : DT::Year4);
                break;
            case u'h':
                kind = run == 1 ? DT::Hour : DT::Hour2;
                break;
            case u'n':
                kind = run == 1 ? DT::Minute : DT::Minute2;
                break;
            default:
                kind = run == 1 ? DT::Second : DT::Second2;
                break;
        }
        afterHour = kind == DT::Hour || kind == DT::Hour2;
        toks.push_back({kind, {}, {}});
    }
    return toks;
}

QString Two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// ---------------------------------------------------------------- reading typed dates

struct Tok {
    bool number;
    QString text;
};

int MonthFromName(const QString& word)
{
    const QLocale loc;
    for (int m = 1; m <= 12; ++m) {
        for (const QString& name :
             {loc.monthName(m, QLocale::LongFormat), loc.monthName(m, QLocale::ShortFormat),
              loc.standaloneMonthName(m, QLocale::LongFormat), loc.standaloneMonthName(m, QLocale::ShortFormat)}) {
            QString n = name;
            while (n.endsWith(u'.')) n.chop(1);
            if (!n.isEmpty() && word.compare(n, Qt::CaseInsensitive) == 0) return m;
        }
    }
    return 0;
}

bool IsWeekdayName(const QString& word)
{
    const QLocale loc;
    for (int d = 1; d <= 7; ++d) {
        for (const QString& name : {loc.dayName(d, QLocale::LongFormat), loc.dayName(d, QLocale::ShortFormat)}) {
            QString n = name;
            while (n.endsWith(u'.')) n.chop(1);
            if (!n.isEmpty() && word.compare(n, Qt::CaseInsensitive) == 0) return true;
        }
    }
    return false;
}

// 'D', 'M', 'Y' in the order of the locale's short date.
QString LocaleDateOrder()
{
    const QString f = QLocale().dateFormat(QLocale::ShortFormat);
    std::vector<std::pair<qsizetype, QChar>> at;
    for (const QChar c : {u'd', u'M', u'y'}) {
        const qsizetype i = f.indexOf(c);
        at.emplace_back(i < 0 ? f.size() : i, c.toUpper());
    }
    std::sort(at.begin(), at.end());
    if (at[0].first == at[1].first) return QStringLiteral("MDY");  // unreadable format
    return QString(at[0].second) + at[1].second + at[2].second;
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool YearLike(const QString& t)
{
    return t.size() >= 3 || t.toInt() > 31;
}

int FullYear(const QString& t)
{
    const int y = t.toInt();
    if (t.size() <= 2) return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

}  // namespace

// ---------------------------------------------------------------- public

QString FormatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value)) value = 0;
    const std::vector<QString> sections = SplitSections(pattern);
    const auto section = [&](std::size_t i) { return i < sections.size() ? sections[i] : QString(); };
    QString chosen = sections[0];
    bool minus = false;
    if (value < 0) {
        if (!section(1).isEmpty())
            chosen = section(1);
        else
            minus = true;
    } else if (value == 0 && !section(2).isEmpty()) {
        chosen = section(2);
    }
    if (chosen.isEmpty()) return GeneralText(value, true);
    return RenderSection(ParseSection(chosen), std::fabs(value), minus);
}

QString FormatDate(OleDate value, const QString& pattern)
{
    const DayTime dt = Split(value);
    const QString named = pattern.trimmed();
    if (named.compare(QLatin1String("Short Date"), Qt::CaseInsensitive) == 0) return ShortDateText(dt.days);
    if (named.compare(QLatin1String("Long Date"), Qt::CaseInsensitive) == 0) return LongDateText(dt.days);
    if (named.compare(QLatin1String("Long Time"), Qt::CaseInsensitive) == 0) return LongTimeText(dt.secs);
    if (named.compare(QLatin1String("Short Time"), Qt::CaseInsensitive) == 0)
        return Two(dt.secs / 3600) + TimeSeparator() + Two(dt.secs / 60 % 60);
    if (pattern.isEmpty()) {
        if (dt.days == 0 && dt.secs != 0) return LongTimeText(dt.secs);
        return dt.secs == 0 ? ShortDateText(dt.days) : ShortDateText(dt.days) + u' ' + LongTimeText(dt.secs);
    }

    const std::vector<DTok> toks = ParseDatePattern(pattern);
    const bool twelve = std::any_of(toks.begin(), toks.end(), [](const DTok& t) { return t.kind == DT::AmPm; });
    const auto ymd = Ymd(dt.days);
    const int y = static_cast<int>(ymd.year());
    const int mo = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const int h = dt.secs / 3600, mi = dt.secs / 60 % 60, s = dt.secs % 60;
    const int hShown = twelve ? (h % 12 == 0 ? 12 : h % 12) : h;
    const int qtDay = (WeekdayOf(dt.days) + 5) % 7 + 1;  // Qt counts 1 = Monday .. 7 = Sunday
    const QLocale loc;
    QString out;
    for (const DTok& t : toks) {
        // clang-format off
        switch (t.kind) {
        case DT::Lit: out += t.a; break;
        case DT::Day: out += QString::number(d); break;
        case DT::Day2: out += Two(d); break;
        case DT::DayAbbr: out += loc.dayName(qtDay, QLocale::ShortFormat); break;
        case DT::DayName: out += loc.dayName(qtDay, QLocale::LongFormat); break;
        case DT::ShortDate: out += ShortDateText(dt.days); break;
        case DT::LongDate: out += LongDateText(dt.days); break;
        case DT::DayOfYear: out += QString::number(QDateOf(dt.days).dayOfYear()); break;
        case DT::Month: out += QString::number(mo); break;
        case DT::Month2: out += Two(mo); break;
        case DT::MonthAbbr: out += loc.monthName(mo, QLocale::ShortFormat); break;
        case DT::MonthName: out += loc.monthName(mo, QLocale::LongFormat); break;
        case DT::Year2: out += Two(std::abs(y) % 100); break;
        case DT::Year4: out += QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0')); break;
        case DT::Hour: out += QString::number(hShown); break;
        case DT::Hour2: out += Two(hShown); break;
        case DT::Minute: out += QString::number(mi); break;
        case DT::Minute2: out += Two(mi); break;
        case DT::Second: out += QString::number(s); break;
        case DT::Second2: out += Two(s); break;
        case DT::AmPm: out += h < 12 ? t.a : t.b; break;
        case DT::DateSep: out += DateSeparator(); break;
        case DT::TimeSep: out += TimeSeparator(); break;
        }
        // clang-format on
    }
    return out;
}

QString Str(double n)
{
    if (!std::isfinite(n)) n = 0;
    const QString text = GeneralText(n, false);
    return n < 0 ? text : u' ' + text;
}

double Val(const QString& text)
{
    std::string s;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
        if (c.unicode() > 127) break;
        s += static_cast<char>(c.unicode());
    }
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::uint64_t v = 0;
        std::size_t n = 0;
        for (std::size_t i = 2; i < s.size(); ++i, ++n) {
            const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
            const int digit = ch >= '0' && ch <= '9' ? ch - '0' : (ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : 99);
            if (digit >= base) break;
            v = v * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            if (v > 0xFFFFFFFFull) return 0;  // beyond a 32-bit value: no number
        }
        const bool shortForm = base == 16 ? n <= 4 : v <= 0xFFFF;
        return shortForm ? static_cast<double>(static_cast<std::int16_t>(v))
                         : static_cast<double>(static_cast<std::int32_t>(v));
    }
    // The longest leading number: sign, digits, point, digits, then an exponent with digits.
    std::size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    bool any = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) num += s[i++], any = true;
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) num += s[i++], any = true;
    }
    if (!any) return 0;
    if (i < s.size() && std::strchr("eEdD", s[i])) {
        std::size_t j = i + 1;
        std::string e = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) e += s[j++];
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) e += s[j++];
            num += e;
        }
    }
    const char* first = num.data() + (num[0] == '+' ? 1 : 0);
    double v = 0;
    const auto res = std::from_chars(first, num.data() + num.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        const bool tiny = num.find("e-") != std::string::npos;
        return tiny ? 0.0 : (num[0] == '-' ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max());
    }
    return v;
}

int CInt(double v)
{
    if (std::isnan(v)) return 0;
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

int IntDiv(double a, double b)
{
    const long long x = CInt(a), y = CInt(b);
    if (y == 0) return 0;
    return static_cast<int>(std::clamp<long long>(x / y, INT_MIN, INT_MAX));
}

double Int(double v)
{
    return std::floor(v);
}
double Fix(double v)
{
    return std::trunc(v);
}

int Hour(OleDate t)
{
    return Split(t).secs / 3600;
}
int Minute(OleDate t)
{
    return Split(t).secs / 60 % 60;
}
int Second(OleDate t)
{
    return Split(t).secs % 60;
}
int Weekday(OleDate d)
{
    return WeekdayOf(Split(d).days);
}
int Year(OleDate d)
{
    return static_cast<int>(Ymd(Split(d).days).year());
}
int Month(OleDate d)
{
    return static_cast<int>(static_cast<unsigned>(Ymd(Split(d).days).month()));
}
int Day(OleDate d)
{
    return static_cast<int>(static_cast<unsigned>(Ymd(Split(d).days).day()));
}

OleDate TimeSerial(int h, int m, int s)
{
    return (h * 3600.0 + m * 60.0 + s) / 86400.0;
}

OleDate DateSerial(int y, int m, int d)
{
    long long year = y;
    if (year >= 0 && year < 100) year += year < 30 ? 2000 : 1900;
    long long m0 = static_cast<long long>(m) - 1;
    const long long carry = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);  // floor(m0 / 12)
    year += carry;
    m0 -= carry * 12;
    year = std::clamp<long long>(year, -30000, 30000);
    const std::chrono::sys_days first{std::chrono::year{static_cast<int>(year)} /
                                      std::chrono::month{static_cast<unsigned>(m0 + 1)} / 1};
    return static_cast<double>((first - OleDates::kEpoch).count()) + (static_cast<double>(d) - 1);
}

OleDate Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return OleDates::FromQDate(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

QString LTrim(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ') ++i;
    return s.mid(i);
}

QString RTrim(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ') --n;
    return s.left(n);
}

QString Trim(const QString& s)
{
    return LTrim(RTrim(s));
}

std::optional<OleDate> ParseTime(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const auto number = [&](int& out) {
        const qsizetype start = i;
        while (i < t.size() && i - start < 3 && IsDigit(t[i])) ++i;
        if (i == start || i - start > 2) return false;
        out = t.mid(start, i - start).toInt();
        return true;
    };
    int h = 0, m = 0, s = 0;
    if (!number(h)) return std::nullopt;
    bool colon = false;
    if (i < t.size() && t[i] == u':') {
        ++i;
        colon = true;
        if (!number(m)) return std::nullopt;
        if (i < t.size() && t[i] == u':') {
            ++i;
            if (!number(s)) return std::nullopt;
        }
    }
    const QString rest = t.mid(i).trimmed();
    int half = 0;  // 1 AM, 2 PM
    if (!rest.isEmpty()) {
        const QLocale loc;
        const auto is = [&](const QString& word) {
            return !word.isEmpty() && rest.compare(word, Qt::CaseInsensitive) == 0;
        };
        if (is(QStringLiteral("A")) || is(QStringLiteral("AM")) || is(loc.amText()))
            half = 1;
        else if (is(QStringLiteral("P")) || is(QStringLiteral("PM")) || is(loc.pmText()))
            half = 2;
        else
            return std::nullopt;
    }
    if (!colon && half == 0) return std::nullopt;
    if (m > 59 || s > 59 || h > (half ? 12 : 23)) return std::nullopt;
    if (half) h = h % 12 + (half == 2 ? 12 : 0);
    return (h * 3600 + m * 60 + s) / 86400.0;
}

std::optional<OleDate> ParseDate(const QString& text)
{
    QString t = text.trimmed();
    // A time after the date: from the number before the first ":" to the end.
    double time = 0;
    if (const qsizetype colon = t.indexOf(u':'); colon >= 0) {
        qsizetype start = colon;
        while (start > 0 && IsDigit(t[start - 1])) --start;
        if (start == 0 || !t[start - 1].isSpace()) return std::nullopt;
        const auto tm = ParseTime(t.mid(start));
        if (!tm) return std::nullopt;
        time = *tm;
        t = t.left(start).trimmed();
    }

    // Numbers and words, each pair separated by at most one punctuation mark among blanks.
    const QString localeSep = DateSeparator();
    std::vector<Tok> toks;
    int punct = 0;
    bool sepSeen = true;
    for (qsizetype i = 0; i < t.size();) {
        const QChar c = t[i];
        if (IsDigit(c) || c.isLetter()) {
            const bool num = IsDigit(c);
            const qsizetype start = i;
            while (i < t.size() && (num ? IsDigit(t[i]) : t[i].isLetter())) ++i;
            const bool touching = !sepSeen && !toks.empty() && toks.back().number != num;
            if (!sepSeen && !touching) return std::nullopt;
            toks.push_back({num, t.mid(start, i - start)});
            if (num && toks.back().text.size() > 4) return std::nullopt;
            punct = 0;
            sepSeen = false;
            continue;
        }
        if (c.isSpace()) {
        } else if (QStringLiteral("/-.,").contains(c) || localeSep == QString(c)) {
            if (++punct > 1 || toks.empty()) return std::nullopt;
        } else {
            return std::nullopt;
        }
        sepSeen = true;
        ++i;
    }
    if (punct > 0 && !(t.endsWith(u'.') && punct == 1)) return std::nullopt;  // only "31. Dez." may end in a mark
    if (!toks.empty() && !toks[0].number && IsWeekdayName(toks[0].text)) toks.erase(toks.begin());

    int month = 0;
    std::vector<QString> nums;
    for (const Tok& k : toks) {
        if (k.number) {
            nums.push_back(k.text);
        } else {
            if (month != 0) return std::nullopt;
            month = MonthFromName(k.text);
            if (month == 0) return std::nullopt;
        }
    }
    const QString order = LocaleDateOrder();
    const int thisYear = QDate::currentDate().year();
    int y = 0, d = 0;
    if (month != 0) {
        if (nums.size() == 1) {
            if (YearLike(nums[0]))
                y = FullYear(nums[0]), d = 1;
            else
                d = nums[0].toInt(), y = thisYear;
        } else if (nums.size() == 2) {
            const bool ya = YearLike(nums[0]), yb = YearLike(nums[1]);
            if (ya && yb) return std::nullopt;
            if (ya || (!yb && order.startsWith(u'Y')))
                y = FullYear(nums[0]), d = nums[1].toInt();
            else
                d = nums[0].toInt(), y = FullYear(nums[1]);
        } else {
            return std::nullopt;
        }
    } else if (nums.size() == 3) {
        const QString o = YearLike(nums[0]) ? QStringLiteral("YMD") : order;
        for (int k = 0; k < 3; ++k) {
            const QChar part = o[k];
            if (part == u'Y')
                y = FullYear(nums[static_cast<std::size_t>(k)]);
            else if (part == u'M')
                month = nums[static_cast<std::size_t>(k)].toInt();
            else
                d = nums[static_cast<std::size_t>(k)].toInt();
        }
    } else if (nums.size() == 2) {
        if (YearLike(nums[0])) {
            y = FullYear(nums[0]), month = nums[1].toInt(), d = 1;
        } else if (YearLike(nums[1])) {
            month = nums[0].toInt(), y = FullYear(nums[1]), d = 1;
        } else {
            const bool dayFirst = order.indexOf(u'D') < order.indexOf(u'M');
            d = nums[dayFirst ? 0 : 1].toInt();
            month = nums[dayFirst ? 1 : 0].toInt();
            y = thisYear;
        }
    } else {
        return std::nullopt;
    }
    if (y < 100 || y > 9999 || !QDate::isValid(y, month, d)) return std::nullopt;
    const OleDate date = OleDates::FromYmd(y, static_cast<unsigned>(month), static_cast<unsigned>(d));
    return date < 0 ? date - time : date + time;
}

}  // namespace tavrin::Runtime
