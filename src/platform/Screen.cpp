#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tavrin {

namespace {
int TwipsFor(qreal dpi)
{
    if (dpi <= 0) return 15;
    const int t = static_cast<int>(std::lround(1440.0 / dpi));
    return t > 0 ? t : 1;
}
}  // namespace

int ScreenTwipsPerPixelX()
{
    const QScreen* s = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    return s ? TwipsFor(s->logicalDotsPerInchX()) : 15;
}

int ScreenTwipsPerPixelY()
{
    const QScreen* s = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    return s ? TwipsFor(s->logicalDotsPerInchY()) : 15;
}

}  // namespace tavrin
