#include "reports/QueryRuns.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/Runtime.h"

namespace tavrin {

QString QueryDatePattern(const QString& dateFormat)
{
    const QString sample = Runtime::FormatDate(Runtime::DateSerial(1999, 12, 31), dateFormat);
    if (sample.startsWith(QLatin1String("31"))) return QStringLiteral("dd/mm/yy");
    if (sample.startsWith(QLatin1String("19")) || sample.startsWith(QLatin1String("99"))) {
        return sample.endsWith(QLatin1String("12")) ? QStringLiteral("yy/dd/mm") : QStringLiteral("yy/mm/dd");
    }
    return QStringLiteral("mm/dd/yy");
}

QueryDates::QueryDates(const QString& pattern) : separator_(Runtime::FormatDate(0, QStringLiteral("/")))
{
    const QStringList parts = pattern.toLower().split(QLatin1Char('/'));
    if (parts.size() != 3) return;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        const QString& part = parts[static_cast<qsizetype>(i)];
        order_[i] = part.isEmpty() ? 'm' : part[0].toLatin1();
    }
}

QString QueryDates::operator()(OleDate d) const
{
    const double k = std::floor(d) - keptFrom_;
    if (k >= 0 && k < static_cast<double>(kept_.size())) return kept_[static_cast<std::size_t>(k)];
    return Make(d);
}

void QueryDates::Keep(OleDate first, int count)
{
    kept_.clear();
    keptFrom_ = std::floor(first);
    kept_.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) kept_.push_back(Make(keptFrom_ + k));
}

QString QueryDates::Make(OleDate d) const
{
    // Days from 1 January 1970, which is day 25569.
    const std::chrono::year_month_day ymd{std::chrono::sys_days{} +
                                          std::chrono::days(static_cast<long long>(std::floor(d)) - 25569)};
    const int year = static_cast<int>(ymd.year()) % 100;
    const int parts[3] = {static_cast<int>(static_cast<unsigned>(ymd.day())),
                          static_cast<int>(static_cast<unsigned>(ymd.month())), year < 0 ? year + 100 : year};
    QString text;
    text.reserve(6 + 2 * separator_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) {
        const int v = parts[order_[i] == 'd' ? 0 : order_[i] == 'm' ? 1 : 2];
        if (i > 0) text += separator_;
        text += QLatin1Char(char('0' + v / 10));
        text += QLatin1Char(char('0' + v % 10));
    }
    return text;
}

QString QueryDates::Run(OleDate first, OleDate last) const
{
    if (last == first) return (*this)(first);
    const QString from = (*this)(first);
    const QString to = (*this)(last);
    QString text;
    text.reserve(from.size() + 3 + to.size());
    text += from;
    text += QLatin1String(" - ");
    text += to;
    return text;
}

QString QueryRangeLine(OleDate start, OleDate end)
{
    const QString first = Runtime::FormatDate(start, QStringLiteral("Long Date"));
    if (end == start) return first;
    return first + QStringLiteral(" to ") + Runtime::FormatDate(end, QStringLiteral("Long Date"));
}

QueryDayTexts::QueryDayTexts(const ShiftTableArray& shifts, const std::function<QString(int)>& explanationText,
                             std::function<QString(int)> noteText, bool notesOnly)
    : noteText_(std::move(noteText)), notesOnly_(notesOnly)
{
    static const QString kComma = QStringLiteral(", ");
    for (int code = 1; code <= kTimeOffCode; ++code)
        shifts_[static_cast<std::size_t>(code)] = Runtime::Trim(shifts[code].Description.str()) + kComma;
    for (int code = 1; code <= kExplanations && explanationText; ++code)
        explanations_[static_cast<std::size_t>(code)] = Runtime::Trim(explanationText(code)) + kComma;
    onCall_ = Runtime::Trim(shifts[kOnCallCode].Description.str()) + kComma;
}

QString QueryDayTexts::operator()(const QueryCell& c) const
{
    QString t;
    if (!notesOnly_) {
        if (c.s1 >= 1 && c.s1 <= kTimeOffCode) t += shifts_[static_cast<std::size_t>(c.s1)];
        if (c.s2 >= 1 && c.s2 <= kTimeOffCode) t += shifts_[static_cast<std::size_t>(c.s2)];
        if (IsExplanationCode(c.e)) t += explanations_[static_cast<std::size_t>(c.e)];
        if (c.oc == 1) t += onCall_;
    }
    if (c.n > 0 && noteText_) t += Note(c.n);
    return t;
}

const QString& QueryDayTexts::Note(int n) const
{
    const auto i = static_cast<std::size_t>(n);
    if (i >= notes_.size()) {
        notes_.resize(i + 1);
        noteKnown_.resize(i + 1);
    }
    if (!noteKnown_[i]) {
        notes_[i] = Runtime::Trim(noteText_(n));
        noteKnown_[i] = true;
    }
    return notes_[i];
}

QString QueryRun::LineText() const
{
    if (Text.size() > 2 && Text.endsWith(QLatin1String(", "))) return Text.left(Text.size() - 2);
    return Text;
}

// ---------------------------------------------------------------- runs

QueryRuns::QueryRuns(OleDate first)
{
    run_.Start = run_.End = first;
}

void QueryRuns::Day(OleDate d, bool match, const QString& text)
{
    if (!match) {
        Close();
        run_ = {d + 1, d + 1, QString()};
        return;
    }
    if (run_.Start == d) {
        run_.Text = text;
    } else if (QString::compare(text, run_.Text, Qt::CaseInsensitive) != 0) {
        Close();
        run_ = {d, d, text};
    } else {
        run_.End = d;
    }
    pending_ = true;
}

void QueryRuns::Close()
{
    if (pending_) runs_.push_back(run_);
    pending_ = false;
}

std::vector<QueryRun> QueryRuns::Finish()
{
    Close();
    return std::move(runs_);
}

// ---------------------------------------------------------------- pages

QueryPages::QueryPages(const Geometry& g) : g_(g), y_(g.BodyTop) {}

void QueryPages::NewPage(std::vector<Event>& out)
{
    out.push_back({Step::NewPage});
    y_ = g_.BodyTop;
    firstOnPage_ = true;
}

std::vector<QueryPages::Event> QueryPages::Heading(bool namesOnly)
{
    std::vector<Event> out;
    if (y_ + 3 * g_.LineHeight >= g_.Bottom) NewPage(out);
    if (!firstOnPage_) y_ += g_.LineHeight;
    out.push_back({Step::Heading, y_});
    firstOnPage_ = false;
    if (!namesOnly) y_ += g_.LineHeight;
    return out;
}

std::vector<QueryPages::Event> QueryPages::Run()
{
    std::vector<Event> out;
    if (y_ + g_.LineHeight >= g_.Bottom) {
        NewPage(out);
        out.push_back({Step::Continued, y_});
        firstOnPage_ = false;
        y_ += g_.LineHeight;
    }
    out.push_back({Step::Run, y_});
    y_ += g_.LineHeight;
    return out;
}

}  // namespace tavrin
