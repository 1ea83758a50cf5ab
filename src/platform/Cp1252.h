#pragma once
// The single-byte code page of stored texts (Windows-1252) to and from QString.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

QString Cp1252ToString(const std::uint8_t* bytes, std::size_t n);
inline QString Cp1252ToString(const QByteArray& bytes)
{
    return Cp1252ToString(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
}
// Characters the code page lacks become "?".
QByteArray StringToCp1252(const QString& text);
// The same bytes written to `out`, which has room for one byte per UTF-16 unit of text.
void StringToCp1252(QStringView text, char* out);

// The characters of `text` that a stored text cannot hold, each once, in the order they first
// come: those the code page lacks (they would be stored as "?") and the control characters (tab,
// line feed, NUL, ...), which have no place in a one-line text and would split exported lines.
// Empty when the text can be stored as it is.
std::vector<char32_t> UnstorableCharacters(QStringView text);

}  // namespace tavrin
