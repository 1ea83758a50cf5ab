#include "platform/Pane.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "platform/Screen.h"

namespace tavrin {

namespace {
int ToPixels(int tw, int tpp)
{
    return static_cast<int>(std::lround(static_cast<double>(tw) / tpp));
}
}  // namespace

Pane::Pane(QWidget* parent, const QString& objectName)
    : QWidget(parent), tppX_(ScreenTwipsPerPixelX()), tppY_(ScreenTwipsPerPixelY()), screen_(tppX_, tppY_)
{
    if (!objectName.isEmpty()) setObjectName(objectName);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SyncScreen();
}

void Pane::SetTwipsPerPixel(int x, int y)
{
    tppX_ = x > 0 ? x : 15;
    tppY_ = y > 0 ? y : 15;
    screen_.SetTwipsPerPixel(tppX_, tppY_);
}

void Pane::SetBorderPx(int px)
{
    border_ = px < 0 ? 0 : px;
    SyncScreen();
    update();
}

void Pane::SetLeftTw(int tw)
{
    move(ToPixels(tw, tppX_), y());
}
void Pane::SetTopTw(int tw)
{
    move(x(), ToPixels(tw, tppY_));
}
void Pane::SetWidthTw(int tw)
{
    resize(std::max(0, ToPixels(tw, tppX_)), height());
}
void Pane::SetHeightTw(int tw)
{
    resize(width(), std::max(0, ToPixels(tw, tppY_)));
}

void Pane::SetScreenFont(const ScreenFont& f)
{
    screen_.SetFont(f);
    QWidget::setFont(f.font);
}

void Pane::SyncScreen() const
{
    const int w = std::max(1, width() - 2 * border_);
    const int h = std::max(1, height() - 2 * border_);
    if (w != screen_.Width() || h != screen_.Height()) screen_.Resize(w, h);
}

void Pane::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    SyncScreen();
}

void Pane::Dirty(const QRect& r)
{
    // The screen fills the client area: the border (which neighbours overlap) never changes.
    const QRect part = r & QRect(border_, border_, screen_.Width(), screen_.Height());
    if (part.isEmpty()) return;
    pending_ += part;
    update(part);
}

void Pane::Clear()
{
    SyncScreen();
    screen_.Clear();
    Dirty(rect());
}

void Pane::CopyFrom(const Surface& twin, int x, int y, int w, int h)
{
    SyncScreen();
    screen_.BitBlt(x, y, w, h, twin, x, y, Surface::SRCCOPY);
    Dirty(QRect(x + border_, y + border_, w, h));
}

void Pane::ScrollWithTwin(Surface& twin, int dx, int dy, const PixelRect& r)
{
    SyncScreen();
    twin.MoveBlockShowing(r.Left + dx, r.Top + dy, r.Width(), r.Height(), r.Left, r.Top, screen_);
    const QRect from = QRect(r.Left, r.Top, r.Width(), r.Height()).translated(border_, border_) &
                       QRect(border_, border_, screen_.Width(), screen_.Height());
    if (from.isEmpty()) return;
    const QRect area = from | from.translated(dx, dy);
    // The window's pixels move; what it still had to paint moves with them.
    const QRegion owed = (pending_ & from).translated(dx, dy) & area;
    scroll(dx, dy, area);
    for (const QRect& o : owed) Dirty(o);
}

void Pane::Invert(const PixelRect& r)
{
    SyncScreen();
    screen_.InvertRect(r);
    Dirty(QRect(r.Left + border_, r.Top + border_, r.Width(), r.Height()));
}

void Pane::Changed()
{
    Dirty(rect());
}

void Pane::paintEvent(QPaintEvent* e)
{
    pending_ -= e->region();
    QPainter p(this);
    SyncScreen();
    // Only what was asked for: a scroll or a changed cell repaints a strip, not the pane.
    const QImage& image = screen_.Image();
    const QRect inside(border_, border_, image.width(), image.height());
    for (const QRect& r : e->region()) {
        const QRect part = r & inside;
        if (!part.isEmpty()) p.drawImage(part.topLeft(), image, part.translated(-border_, -border_));
    }
    if (border_ > 0) {
        const QColor frame(128, 128, 128);
        p.fillRect(QRect(0, 0, width(), border_), frame);
        p.fillRect(QRect(0, height() - border_, width(), border_), frame);
        p.fillRect(QRect(0, 0, border_, height()), frame);
        p.fillRect(QRect(width() - border_, 0, border_, height()), frame);
    }
}

void Pane::Emit(QMouseEvent* e, int kind)
{
    const auto code = [](Qt::MouseButtons b) {
        return ((b & Qt::LeftButton) ? 1 : 0) | ((b & Qt::RightButton) ? 2 : 0) | ((b & Qt::MiddleButton) ? 4 : 0);
    };
    // A move names the buttons held; a press or release the one button that changed.
    const int button = kind == 1 ? code(e->buttons()) : code(e->button());
    int shift = 0;
    if (e->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (e->modifiers() & Qt::ControlModifier) shift |= 2;
    if (e->modifiers() & Qt::AltModifier) shift |= 4;
    const double x = (e->position().x() - border_) * tppX_;
    const double y = (e->position().y() - border_) * tppY_;
    if (kind == 0)
        emit MouseDown(button, shift, x, y);
    else if (kind == 1)
        emit MouseMove(button, shift, x, y);
    else
        emit MouseUp(button, shift, x, y);
}

void Pane::mousePressEvent(QMouseEvent* e)
{
    Emit(e, 0);
}
void Pane::mouseMoveEvent(QMouseEvent* e)
{
    Emit(e, 1);
}
void Pane::mouseReleaseEvent(QMouseEvent* e)
{
    Emit(e, 2);
}
void Pane::mouseDoubleClickEvent(QMouseEvent*)
{
    emit DblClick();
}

}  // namespace tavrin
