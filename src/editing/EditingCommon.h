#pragma once
// Small helpers shared by the definition dialogs.

#include <QColor>
#include <QString>
#include <cstdint>

#include "platform/MsgBox.h"
#include "platform/Result.h"
#include "platform/Surface.h"

namespace tavrin {

// A stored colour (0x00BBGGRR) as Qt's.
inline QColor ToQColor(std::uint32_t c)
{
    return QColor::fromRgb(ToQRgb(c));
}
inline QString ColourName(std::uint32_t c)
{
    return ToQColor(c).name();
}

// A failed record read or write: the store's message, after a beep.
inline void ShowStoreError(MsgBox& msg, const Status& s)
{
    msg.beep();
    msg.show(s.message(), Mb::Exclamation, QStringLiteral("Error"));
}

}  // namespace tavrin
