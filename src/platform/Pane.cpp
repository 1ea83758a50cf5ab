#include "platform/Pane.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <utility>

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

Pane::~Pane()
{
    if (const Surface* twin = std::exchange(twin_, nullptr)) twin->SetWatcher(nullptr);
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
    if (w != screen_.Width() || h != screen_.Height()) {
        screen_.Resize(w, h);
        shownFromTwin_ = QRegion();
        ForgetAlike();
    }
}

void Pane::ForgetAlike() const
{
    mayDiffer_ = ScreenRect();
    changes_.clear();
}

void Pane::Watch(const Surface& s)
{
    if (twin_ == &s) return;
    if (const Surface* old = twin_) {
        KeepShown(shownFromTwin_);
        twin_ = nullptr;
        old->SetWatcher(nullptr);
    }
    twin_ = &s;
    s.SetWatcher(this);
    ForgetAlike();
}

void Pane::KeepShown(const QRegion& part) const
{
    if (!twin_ || part.isEmpty()) return;
    const QRegion kept = part;  // may be shownFromTwin_ itself
    for (const QRect& r : kept)
        screen_.BitBlt(r.x(), r.y(), r.width(), r.height(), *twin_, r.x(), r.y(), Surface::SRCCOPY);
    shownFromTwin_ -= kept;
}

void Pane::MayDiffer(const QRect& r)
{
    // Past a few thousand changes not copied over (a redraw of every cell), nothing is known alike.
    constexpr std::size_t kChanges = 4096;
    const QRect part = r & ScreenRect();
    if (part.isEmpty()) return;
    if (changes_.size() >= kChanges)
        ForgetAlike();
    else
        changes_.push_back(part);
}

void Pane::SurfaceChanging(const Surface& s, const QRect& r)
{
    if (&s != twin_) return;
    MayDiffer(r);
    if (!shownFromTwin_.intersects(r)) return;
    // A redraw of many cells would cut what is shown into ever more pieces: past a few, all of
    // it is kept at once.
    constexpr int kPieces = 32;
    KeepShown(shownFromTwin_.rectCount() > kPieces ? shownFromTwin_ : shownFromTwin_ & r);
}

void Pane::SurfaceLeaving(const Surface& s)
{
    if (&s != twin_) return;
    KeepShown(shownFromTwin_);
    twin_ = nullptr;
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
    shownFromTwin_ = QRegion();
    ForgetAlike();
    Dirty(rect());
}

void Pane::CopyFrom(const Surface& twin, int x, int y, int w, int h)
{
    SyncScreen();
    Watch(twin);
    screen_.BitBlt(x, y, w, h, twin, x, y, Surface::SRCCOPY);
    const QRect copied = QRect(x, y, w, h) & QRect(0, 0, twin.Width(), twin.Height());
    shownFromTwin_ -= copied;
    mayDiffer_ -= copied;
    std::erase_if(changes_, [&copied](const QRect& c) { return copied.contains(c); });
    Dirty(QRect(x + border_, y + border_, w, h));
}

void Pane::ScrollWithTwin(Surface& twin, int dx, int dy, const PixelRect& r)
{
    SyncScreen();
    Watch(twin);
    // Where the screen may not show the twin, before the move.
    QRegion differs = mayDiffer_;
    for (const QRect& c : changes_) differs += c;
    // The screen shows the twin's pixels in the block at its new place, without a copy: the
    // move itself is no change to what it shows there.
    const QRect whole(0, 0, twin.Width(), twin.Height());
    const QRect moved = (QRect(r.Left, r.Top, r.Width(), r.Height()) & whole).translated(dx, dy) & whole & ScreenRect();
    shownFromTwin_ -= moved;
    twin.BitBlt(r.Left + dx, r.Top + dy, r.Width(), r.Height(), twin, r.Left, r.Top, Surface::SRCCOPY);
    shownFromTwin_ += moved;
    mayDiffer_ = differs - moved;
    changes_.clear();
    const QRect from = QRect(r.Left, r.Top, r.Width(), r.Height()) & ScreenRect();
    if (from.isEmpty()) return;
    const QRect area = (from | from.translated(dx, dy)).translated(border_, border_);
    // The window's pixels move; what it still had to paint moves with them, and so does what it
    // showed other than the twin, which the block shows now.
    const QRegion owed = (pending_ & from.translated(border_, border_)).translated(dx, dy) & area;
    const QRegion stale = ((differs & from).translated(dx, dy) & moved).translated(border_, border_);
    scroll(dx, dy, area);
    for (const QRect& o : owed) Dirty(o);
    for (const QRect& o : stale) Dirty(o);
}

void Pane::Invert(const PixelRect& r)
{
    SyncScreen();
    const QRect inverted(r.Left, r.Top, r.Width(), r.Height());
    KeepShown(shownFromTwin_ & inverted);
    MayDiffer(inverted);
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
    // Only what was asked for: a scroll or a changed cell repaints a strip, not the pane. Each
    // rectangle is clipped to itself, so that it is one block copy however tall it is.
    const QRegion wanted = e->region() & QRect(border_, border_, screen_.Width(), screen_.Height());
    const bool clip = e->region().rectCount() > 1;
    const auto draw = [&](const QImage& image, const QRegion& part) {
        for (const QRect& r : part) {
            if (clip) p.setClipRect(r);
            p.drawImage(r.topLeft(), image, r.translated(-border_, -border_));
        }
    };
    if (twin_ && !shownFromTwin_.isEmpty()) {
        const QRegion fromTwin = shownFromTwin_.translated(border_, border_);
        draw(twin_->Image(), wanted & fromTwin);
        draw(screen_.Image(), wanted - fromTwin);
    } else {
        draw(screen_.Image(), wanted);
    }
    if (clip) p.setClipping(false);
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
