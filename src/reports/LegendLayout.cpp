#include "reports/LegendLayout.h"

#include <algorithm>

#include "platform/Runtime.h"

namespace tavrin {

namespace {

const QString kDash = QStringLiteral("-");
const QString kUndefined = QStringLiteral("undefined");

bool HasHours(const ShiftRecord& s)
{
    return s.BreakHours > 0 || s.PaidHours > 0;
}

// A stored text in full, as the list shows it (zero bytes of a never-written field as blanks).
template <std::size_t N>
QString Stored(const FixedText<N>& t)
{
    QString s = t.raw();
    s.replace(QChar(0), QLatin1Char(' '));
    return s;
}

}  // namespace

QString LegendKeyText(int code, int keyByte)
{
    if (code == kTimeOffCode) return QStringLiteral("[CTRL-X]");
    if (code == kOnCallCode) return QStringLiteral("[CTRL-O]");
    if (keyByte >= 48 && keyByte <= 90) return QLatin1Char('[') + QChar(keyByte) + QLatin1Char(']');
    if (keyByte >= 148 && keyByte <= 190) return QStringLiteral("[SHIFT-") + QChar(keyByte - 100) + QLatin1Char(']');
    return kDash;
}

QString LegendTimeFormat(const QString& timeFormat)
{
    return timeFormat.contains(QLatin1Char('a')) ? QStringLiteral("hh:nna/p") : QStringLiteral("hh:nn");
}

bool LegendListsShift(const ShiftRecord& s)
{
    return Runtime::Trim(s.Description.str()) != kUndefined;
}

bool LegendListsExplanation(const ExplanationTable& t, int code)
{
    return IsExplanationCode(code) && Runtime::RTrim(Stored(t.Description[code])) != kUndefined;
}

std::array<QString, 6> LegendFields(const ShiftTableArray& shifts, const ExplanationTable& expl, int item,
                                    const QString& timeFormat, LegendUse use)
{
    const bool print = use == LegendUse::Print;
    std::array<QString, 6> f;
    if (const ShiftRecord* s = ShiftFor(shifts, item)) {
        f[0] = Runtime::Trim(s->Abbreviation.str());
        f[1] = Runtime::Trim(s->Description.str());
        if (HasHours(*s)) {
            const QString hours = print ? QStringLiteral("#0.00") : QStringLiteral("00.00");
            f[2] = Runtime::FormatDate(s->StartTime, timeFormat) + QStringLiteral(" - ") +
                   Runtime::FormatDate(s->EndTime, timeFormat);
            f[3] = Runtime::FormatNumber(s->BreakHours, hours) + (print ? QStringLiteral("b") : QString());
            f[4] = Runtime::FormatNumber(s->PaidHours, hours);
        } else {
            f[2] = f[3] = f[4] = kDash;
        }
        f[5] = LegendKeyText(item, s->QuickKey);
        return f;
    }
    const int code = -item;
    if (!IsExplanationCode(code)) return f;
    f[0] = print ? Runtime::Trim(expl.Abbreviation[code].str()) : Stored(expl.Abbreviation[code]);
    f[1] = print ? Runtime::Trim(expl.Description[code].str()) : Stored(expl.Description[code]);
    f[2] = f[3] = f[4] = kDash;
    f[5] = LegendKeyText(code, expl.QuickKey[code]);
    return f;
}

QString LegendListText(const ShiftTableArray& shifts, const ExplanationTable& expl, int item, const QString& timeFormat)
{
    const std::array<QString, 6> f = LegendFields(shifts, expl, item, timeFormat, LegendUse::List);
    return QStringList(f.begin(), f.end()).join(QLatin1Char('\t'));
}

std::vector<LegendItem> LegendItems(const ShiftTableArray& shifts, const ExplanationTable& expl,
                                    const QString& timeFormat)
{
    std::vector<LegendItem> items;
    for (int code = 1; code <= kShiftCodes; ++code) {
        if (LegendListsShift(shifts[code])) items.push_back({LegendListText(shifts, expl, code, timeFormat), code});
    }
    for (int code = 1; code <= kExplanations; ++code) {
        if (LegendListsExplanation(expl, code))
            items.push_back({LegendListText(shifts, expl, -code, timeFormat), -code});
    }
    std::stable_sort(items.begin(), items.end(), [](const LegendItem& a, const LegendItem& b) {
        return QString::compare(a.Text, b.Text, Qt::CaseInsensitive) < 0;
    });
    return items;
}

std::vector<int> LegendTabStops(const std::array<int, 6>& headLeftTwips, int twipsPerPixel, double pixelsPerUnit)
{
    const int p = std::max(twipsPerPixel, 1);
    const double f = pixelsPerUnit > 0 ? pixelsPerUnit : 1.5;
    std::vector<int> stops;
    for (std::size_t i = 1; i < headLeftTwips.size(); ++i) {
        stops.push_back(Runtime::CInt((headLeftTwips[i] / p - headLeftTwips[0] / p + 2) / f));
    }
    return stops;
}

LegendOptions LegendOptions::From(const ReportSettingsRecord& r)
{
    LegendOptions o;
    o.Times = r.Options[1] != 0;
    o.Break = r.Options[2] != 0;
    o.Length = r.Options[3] != 0;
    o.Keys = r.Options[4] != 0;
    o.Separate = r.Options[5] != 0;
    return o;
}

std::array<double, 7> LegendColumns::Starts(double x) const
{
    std::array<double, 7> starts{};
    for (std::size_t c = 1; c < Width.size(); ++c) {
        if (Width[c] <= 0) continue;
        starts[c] = x;
        x += Width[c] + Space;
    }
    return starts;
}

LegendColumns MeasureLegendColumns(const std::vector<int>& items, const ShiftTableArray& shifts,
                                   const ExplanationTable& expl, const QString& legendTimeFormat,
                                   const LegendOptions& o, const std::function<double(const QString&)>& width)
{
    LegendColumns c;
    c.Width[1] = width(QStringLiteral("MM"));
    const auto raise = [&c, &width](std::size_t col, const QString& text) {
        c.Width[col] = std::max(c.Width[col], width(text));
    };
    for (int item : items) {
        if (const ShiftRecord* s = ShiftFor(shifts, item)) {
            raise(1, Runtime::Trim(s->Abbreviation.str()));
            raise(2, Runtime::Trim(s->Description.str()));
            if (HasHours(*s)) {
                const QString zero = Runtime::FormatDate(0, legendTimeFormat);
                if (o.Times) c.Width[3] = width(zero + QStringLiteral(" - ") + zero);
                if (o.Break) c.Width[4] = width(Runtime::FormatNumber(99.99, QStringLiteral("##.##")) + u'b');
                if (o.Length) c.Width[5] = width(Runtime::FormatNumber(99.99, QStringLiteral("##.##")));
            }
            if (o.Keys) c.Width[6] = width(QStringLiteral("SHIFT-W"));
        } else if (IsExplanationCode(-item)) {
            raise(1, Runtime::Trim(expl.Abbreviation[-item].str()));
            raise(2, Runtime::Trim(expl.Description[-item].str()));
            if (o.Keys) c.Width[6] = width(QStringLiteral("[SHIFT-W]"));
        }
    }
    c.Space = width(QStringLiteral("M"));
    for (std::size_t col = 1; col < c.Width.size(); ++col) {
        if (c.Width[col] > 0) c.SetWidth += c.Width[col] + c.Space;
    }
    return c;
}

std::vector<int> LegendOrder(const std::vector<int>& items, bool separate)
{
    std::vector<int> order = items;
    if (separate) std::stable_partition(order.begin(), order.end(), [](int item) { return item > 0; });
    return order;
}

std::uint32_t LegendLineColour(int item, bool printInColour, const VbArray<Byte, 1, kShiftCodes>& shiftColours)
{
    if (!printInColour) return PaletteColour(0);
    if (IsUserShift(item)) return PaletteColour(CheckedPaletteIndex(shiftColours[item]));
    if (item == kTimeOffCode) return PaletteColour(12);
    return PaletteColour(0);
}

// ---------------------------------------------------------------- pages

LegendPages::LegendPages(const Geometry& g) : g_(g), x_(g.Left + g.HalfSpace), y_(g.BodyTop + g.Gap) {}

std::vector<LegendPages::Event> LegendPages::Next()
{
    std::vector<Event> out;
    if (y_ + g_.LineHeight > g_.Bottom) {
        y_ = g_.BodyTop + g_.Gap;
        x_ += g_.SetWidth + g_.HalfSpace;
        if (x_ + g_.SetWidth > g_.Right) {
            x_ = g_.Left + g_.HalfSpace;
            out.push_back({Step::NewPage});
        } else {
            out.push_back({Step::Rule, x_ - g_.HalfSpace, 0});
        }
    }
    out.push_back({Step::Entry, x_, y_});
    y_ = Runtime::CInt(y_ + 1.3 * g_.LineHeight);
    return out;
}

}  // namespace tavrin
