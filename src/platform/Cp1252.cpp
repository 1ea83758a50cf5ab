#include "platform/Cp1252.h"

#include <QChar>
#include <algorithm>
#include <array>

namespace tavrin {

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined positions.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool InCodePage(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
    return c != 0 && std::find(kHigh.begin(), kHigh.end(), c) != kHigh.end();
}

}  // namespace

QString Cp1252ToString(const std::uint8_t* bytes, std::size_t n)
{
    QString s;
    s.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes[i];
        if (b >= 0x80 && b <= 0x9F) {
            const char16_t c = kHigh[b - 0x80];
            s.append(QChar(c ? c : char16_t(b)));
        } else {
            s.append(QChar(char16_t(b)));
        }
    }
    return s;
}

QByteArray StringToCp1252(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    StringToCp1252(text, out.data());
    return out;
}

void StringToCp1252(QStringView text, char* out)
{
    // One byte per character.
    char* to = out;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *to++ = static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == c && c != 0) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        // Undefined positions decode to their own code point; keep them round-trip safe.
        if (mapped == '?' && c >= 0x80 && c <= 0x9F && kHigh[c - 0x80] == 0) mapped = static_cast<char>(c);
        *to++ = mapped;
    }
}

std::vector<char32_t> UnstorableCharacters(QStringView text)
{
    std::vector<char32_t> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        // An emoji and other characters beyond the first plane are two units, one character.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const bool storable = InCodePage(c) && QChar::category(c) != QChar::Other_Control;
        if (!storable && std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    }
    return out;
}

}  // namespace tavrin
