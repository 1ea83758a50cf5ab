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

QString QueryDayTexts::operator()(const QueryCell& c) const
{
    static const QString kComma = QStringLiteral(", ");
    QString t;
    if (!NotesOnly) {
        const auto shift = [this, &t](int code) {
            if (const ShiftRecord* s = Shifts && code <= kTimeOffCode ? ShiftFor(*Shifts, code) : nullptr)
                t += Runtime::Trim(s->Description.str()) + kComma;
        };
        shift(c.s1);
        shift(c.s2);
        if (IsExplanationCode(c.e) && ExplanationText) t += Runtime::Trim(ExplanationText(c.e)) + kComma;
        if (c.oc == 1 && Shifts) t += Runtime::Trim((*Shifts)[kOnCallCode].Description.str()) + kComma;
    }
    if (c.n > 0 && NoteText) t += Runtime::Trim(NoteText(c.n));
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
