#include "app/ButtonPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace tavrin::ButtonPictures {

namespace {

constexpr int kSize = 20;

QPixmap Draw(const std::function<void(QPainter&)>& paint, int size = kSize)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return pm;
}

void Letter(QPainter& p, const QString& text, const QColor& colour, int px = 13)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    f.setBold(true);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

QPixmap Check(const QColor& c)
{
    return Draw([&](QPainter& p) {
        p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path;
        path.moveTo(4, 11);
        path.lineTo(8, 15);
        path.lineTo(16, 5);
        p.drawPath(path);
    });
}

QPixmap Cross(const QColor& c)
{
    return Draw([&](QPainter& p) {
        p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
    });
}

QPixmap Arrow(bool up)
{
    return Draw(
        [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            QPolygon tri;
            if (up) tri << QPoint(2, 8) << QPoint(10, 8) << QPoint(6, 3);
            else tri << QPoint(2, 3) << QPoint(10, 3) << QPoint(6, 8);
            p.drawPolygon(tri);
        },
        12);
}

}  // namespace

QPixmap Assign()
{
    return Draw([](QPainter& p) {
        p.fillRect(QRect(3, 3, 14, 14), QColor(0, 128, 0));
        Letter(p, QStringLiteral("S"), Qt::white, 11);
    });
}

QPixmap TimeOff() { return Draw([](QPainter& p) { Letter(p, QStringLiteral("X"), QColor(255, 0, 0), 15); }); }

QPixmap Erase()
{
    return Draw([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 192, 203));
        QPolygon eraser;
        eraser << QPoint(3, 13) << QPoint(10, 5) << QPoint(17, 11) << QPoint(11, 17) << QPoint(6, 17);
        p.drawPolygon(eraser);
    });
}

QPixmap OnCall() { return Draw([](QPainter& p) { Letter(p, QStringLiteral("+"), QColor(0, 0, 128), 17); }); }

QPixmap ChangePage()
{
    return Draw([](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(2, 4, 15, 13);
        p.fillRect(QRect(2, 4, 16, 4), QColor(255, 0, 0));
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 4; ++c) p.fillRect(QRect(4 + c * 3, 10 + r * 3, 2, 2), Qt::black);
        }
    });
}

QPixmap HourlyCoverage()
{
    return Draw([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.drawLine(QPointF(10, 10), QPointF(10, 5));
        p.drawLine(QPointF(10, 10), QPointF(14, 12));
    });
}

QPixmap HighlighterOn()
{
    return Draw([](QPainter& p) {
        p.fillRect(QRect(2, 12, 16, 5), QColor(255, 255, 0));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 0));
        p.drawRect(7, 2, 6, 9);
    });
}

QPixmap HighlighterOff()
{
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(128, 128, 128), 1));
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(7, 2, 6, 9);
    });
}

QPixmap Sibling()
{
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        p.drawEllipse(QPointF(10, 6), 3.5, 3.5);
        p.drawRoundedRect(QRectF(4, 11, 12, 7), 3, 3);
    });
}

QPixmap CheckActive() { return Check(QColor(0, 128, 0)); }
QPixmap CheckInactive() { return Check(QColor(160, 160, 160)); }
QPixmap XActive() { return Cross(QColor(255, 0, 0)); }
QPixmap XInactive() { return Cross(QColor(160, 160, 160)); }
QPixmap SpinUp() { return Arrow(true); }
QPixmap SpinDown() { return Arrow(false); }

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(QColor(0, 0, 128));
        QPainter p(&pm);
        const int cell = size / 4;
        for (int r = 1; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                p.fillRect(QRect(c * cell + 1, r * cell, cell - 2, cell - 2),
                           (r + c) % 3 == 0 ? QColor(255, 255, 0) : QColor(192, 192, 192));
            }
        }
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace tavrin::ButtonPictures
