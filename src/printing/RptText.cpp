#include "printing/RptText.h"

#include <algorithm>
#include <iterator>

#include "platform/Runtime.h"

namespace tavrin::RptText {

namespace {

// Letters of the single-byte code page names are stored in, and the marks names keep.
bool KeptInName(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')) return true;
    if (u == u'.' || u == u'\'' || u == u'`' || u == u'-') return true;
    if (u >= 0xC0 && u <= 0xFF) return u != 0xD7 && u != 0xF7;  // all but the multiplication and division signs
    // The letters of the code page outside Latin-1: Š š Œ œ Ž ž Ÿ.
    static constexpr char16_t kOthers[] = {0x0160, 0x0161, 0x0152, 0x0153, 0x017D, 0x017E, 0x0178};
    return std::find(std::begin(kOthers), std::end(kOthers), u) != std::end(kOthers);
}

// Upper case letter for letter, so that positions in the upper-cased text are those of the text.
QString UpperSameLength(const QString& s)
{
    QString out = s;
    for (QChar& c : out) c = c.toUpper();
    return out;
}

QString First(const QString& s)
{
    return s.left(1);
}

}  // namespace

QString FormatPersonName(const QString& name, int style)
{
    if (style < 1 || style > 7) return name;
    QString s = Runtime::Trim(name);

    // Surname first ("Smith, John"): moved behind the first name.
    const qsizetype blank = s.indexOf(QLatin1Char(' '));
    const qsizetype comma = s.indexOf(QLatin1String(", "));
    if (blank >= 0 && comma >= 0 && blank > comma) s = s.mid(comma) + QLatin1Char(' ') + s.left(comma);

    for (QChar& c : s) {
        if (!KeptInName(c)) c = QLatin1Char(' ');
    }
    s = Runtime::Trim(s);

    // Particles are bound to the word after them, so that the surname stays whole.
    static const char* const kParticles[] = {" DER ", " LA ", " DE ", " DI ", " DEL ", " VAN ", " VON ", " DES "};
    for (const char* particle : kParticles) {
        const QString p = QString::fromLatin1(particle);
        const qsizetype at = UpperSameLength(s).indexOf(p);
        if (at >= 0) s[at + p.size() - 1] = QLatin1Char('.');
    }

    const qsizetype firstBlank = s.indexOf(QLatin1Char(' '));
    if (firstBlank < 0) return name;
    const QString first = s.left(firstBlank);
    QString last = Runtime::Trim(s.mid(s.lastIndexOf(QLatin1Char(' ')) + 1));

    static const char* const kBound[] = {"DER.", "LA.", "DE.", "DI.", "DEL.", "VAN.", "VON.", "DES."};
    for (const char* bound : kBound) {
        const QString b = QString::fromLatin1(bound);
        const qsizetype at = UpperSameLength(last).indexOf(b);
        if (at >= 0) last[at + b.size() - 1] = QLatin1Char(' ');
    }

    switch (style) {
        case 1:
            return first + QLatin1Char(' ') + last;
        case 2:
            return first + QLatin1Char(' ') + First(last) + QLatin1Char('.');
        case 3:
            return First(first) + QLatin1Char('.') + last;
        case 4:
            return First(first) + First(last);
        case 5:
            return last + QStringLiteral(", ") + first;
        case 6:
            return last + QStringLiteral(", ") + First(first) + QLatin1Char('.');
        default:
            return last;
    }
}

}  // namespace tavrin::RptText
