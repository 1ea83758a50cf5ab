#include "editing/QuickKey.h"

#include <QKeyEvent>

#include "platform/KeyCodes.h"

namespace tavrin {

std::optional<int> QuickKeyOf(int keyCode, int qtKey, bool shift)
{
    switch (qtKey) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return std::nullopt;
        default:
            break;
    }
    const bool letter = keyCode >= 'A' && keyCode <= 'Z';
    const bool digit = keyCode >= '0' && keyCode <= '9';
    if (!letter && !digit) return 0;
    return shift ? keyCode + 100 : keyCode;
}

std::optional<int> QuickKeyOf(const QKeyEvent& e)
{
    return QuickKeyOf(KeyCodeOf(e), e.key(), (e.modifiers() & Qt::ShiftModifier) != 0);
}

QString QuickKeyText(int stored)
{
    if (stored >= 48 && stored <= 90) return QString(QChar(stored));
    if (stored >= 148 && stored <= 190) return QStringLiteral("SHIFT-") + QChar(stored - 100);
    return {};
}

}  // namespace tavrin
