#include "support/LegacyBuilder.h"

#include <QFile>

namespace tavrin::test {

namespace {

template <class R>
QByteArray Bytes(const R& r)
{
    const auto b = Encode(r);
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

}  // namespace

LegacyBuilder::LegacyBuilder(QDate first, int dayCount)
    : shifts(legacy::kShifts), days(static_cast<std::size_t>(dayCount))
{
    settings.PeriodStart = OleDates::FromQDate(first);
    settings.PeriodEnd = OleDates::FromQDate(first.addDays(dayCount - 1));
    settings.FirstDayOfWeek = 1;
    for (int i = 1; i <= legacy::kSlots; ++i) settings.RowMap[i] = static_cast<Int16>(i);
    settings.Day28Marker = "x";
    employees.CostMarker = 2;
    for (auto& n : employees.Name) n.blank();
    for (auto& p : employees.Position) p.blank();
    for (auto& s : shifts) s.Description = "UNDEFINED";
    for (auto& d : explanations.Description) d = "UNDEFINED";
}

void LegacyBuilder::Write(const QString& folder, const QString& stem) const
{
    std::map<QString, QByteArray> contents;
    contents[QStringLiteral(".SPR")] = Bytes(settings);
    contents[QStringLiteral(".SEM")] = Bytes(employees);
    contents[QStringLiteral(".SEP")] = Bytes(explanations);
    for (const auto& s : shifts) contents[QStringLiteral(".SSH")] += Bytes(s);
    for (const auto& d : days) contents[QStringLiteral(".SCH")] += Bytes(d);
    QByteArray& n = contents[QStringLiteral(".SNO")];
    for (const QString& text : notes) {
        NoteRecord r;
        r.NoteText = text;
        n += Bytes(r);
    }
    for (const auto& [ext, bytes] : contents) {
        const auto it = spelling.find(ext);
        const QString written = it == spelling.end() ? ext : it->second;
        if (written.isEmpty()) continue;
        QFile f(folder + QStringLiteral("/") + stem + written);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    }
}

}  // namespace tavrin::test
