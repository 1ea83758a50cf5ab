#pragma once
// The single-byte code page of stored texts (Windows-1252) to and from QString.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>

namespace tavrin {

QString Cp1252ToString(const std::uint8_t* bytes, std::size_t n);
inline QString Cp1252ToString(const QByteArray& bytes)
{
    return Cp1252ToString(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
}
// Characters the code page lacks become "?".
QByteArray StringToCp1252(const QString& text);
// The same, one byte per character written from `out` on; returns the end of what it wrote.
char* StringToCp1252(QStringView text, char* out);

}  // namespace tavrin
