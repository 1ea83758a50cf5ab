#include "reports/QueryRuns.h"

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
    if (c.n > 0 && noteText_) t += Runtime::Trim(noteText_(c.n));
    return t;
}

QString QueryRun::Dates(const QString& pattern) const
{
    const QString first = Runtime::FormatDate(Start, pattern);
    if (End == Start) return first;
    return first + QStringLiteral(" - ") + Runtime::FormatDate(End, pattern);
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
