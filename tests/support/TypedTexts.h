#pragma once
// Texts pasted into the boxes whose text the schedule keeps, each with the characters the refusal
// names; the last ones hold letters of the code page only and are kept as typed. Each fits the
// narrowest such box (a position, 10 characters).

#include <QString>
#include <vector>

namespace tavrin::test {

struct TypedText {
    QString text;
    QString named;  // "" for a text that is stored as typed
};

inline std::vector<TypedText> TypedTexts()
{
    return {
        {QStringLiteral("王小明"), QStringLiteral("\"王\", \"小\", \"明\"")},
        {QStringLiteral("Ann 😀"), QStringLiteral("\"😀\"")},
        {QStringLiteral("Rene\u0301e"), QStringLiteral("U+0301")},
        {QStringLiteral("Ann\tRN"), QStringLiteral("tab")},
        {QStringLiteral("Ann\nRN"), QStringLiteral("line feed")},
        {QStringLiteral("Ann") + QChar(0) + QStringLiteral("B"), QStringLiteral("NUL")},
        {QStringLiteral("Œ – € ÿ"), QString()},
        {QStringLiteral("Zoë"), QString()},
    };
}

inline QString RefusalOf(const QString& named)
{
    return QStringLiteral("The text cannot hold these characters: ") + named +
           QStringLiteral(". Please remove or replace them.");
}

}  // namespace tavrin::test
