#pragma once
// A visible drawing pane: a widget that shows the pixels of its own Surface (its "screen"),
// into which the painter copies blocks from the pane's hidden twin.
//
// The pane watches the twin it copies from. A scroll moves the twin and the window's pixels;
// the screen then shows the twin's own pixels in the moved block instead of a copy of them,
// until they are about to change in the twin (the twin tells the pane, which then copies what
// it shows) or something else is copied there: the pane shows exactly what it would show with a
// copy, without copying the whole block. Where the screen may show other pixels than the twin
// (never copied, or changed since on either side), the window is painted again after a scroll,
// since what it moved there is not what the screen now shows.
//
// Geometry can be read and set in twips (in the parent's coordinates); the client (scale)
// area lies inside a border of BorderPx() pixels. Mouse events are passed on as signals with
// client positions in twips.

#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/FontService.h"
#include "platform/Surface.h"

namespace tavrin {

class Pane : public QWidget, private SurfaceWatcher {
    Q_OBJECT
public:
    explicit Pane(QWidget* parent = nullptr, const QString& objectName = QString());
    ~Pane() override;

    // The visible pixels, sized to the client area.
    Surface& Screen()
    {
        SyncScreen();
        KeepShown(shownFromTwin_);
        return screen_;
    }
    const Surface& Screen() const
    {
        SyncScreen();
        KeepShown(shownFromTwin_);
        return screen_;
    }

    int TwipsPerPixelX() const { return tppX_; }
    int TwipsPerPixelY() const { return tppY_; }
    void SetTwipsPerPixel(int x, int y);

    int BorderPx() const { return border_; }
    void SetBorderPx(int px);

    // Outer geometry in twips, in the parent's coordinates.
    int LeftTw() const { return x() * tppX_; }
    int TopTw() const { return y() * tppY_; }
    int WidthTw() const { return width() * tppX_; }
    int HeightTw() const { return height() * tppY_; }
    void SetLeftTw(int tw);
    void SetTopTw(int tw);
    void SetWidthTw(int tw);
    void SetHeightTw(int tw);
    // The client area inside the border, in twips.
    int ScaleWidthTw() const { return std::max(0, width() - 2 * border_) * tppX_; }
    int ScaleHeightTw() const { return std::max(0, height() - 2 * border_) * tppY_; }

    // Font and colours of the screen.
    void SetScreenFont(const ScreenFont& f);
    const ScreenFont& ScreenFontUsed() const { return screen_.Font(); }
    void SetBackColour(std::uint32_t c) { screen_.SetBackColour(c); }
    std::uint32_t BackColour() const { return screen_.BackColour(); }
    void SetForeColour(std::uint32_t c) { screen_.SetForeColour(c); }
    std::uint32_t ForeColour() const { return screen_.ForeColour(); }
    int TextWidthTw(const QString& s) const { return screen_.TextWidth(s); }
    int TextHeightTw(const QString& s) const { return screen_.TextHeight(s); }

    // Clears the screen to the background colour.
    void Clear();
    // Copies the block (x, y, w, h) of a twin to the same place on the screen.
    void CopyFrom(const Surface& twin, int x, int y, int w, int h);
    // Moves the block r of a twin by (dx, dy) within it; the screen shows the block at its new
    // place, and the window's pixels move with it, so that only what comes into view is
    // painted again.
    void ScrollWithTwin(Surface& twin, int dx, int dy, const PixelRect& r);
    // Inverts a rectangle of the screen.
    void Invert(const PixelRect& r);
    // Shows what was drawn straight onto Screen().
    void Changed();

signals:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; x, y in twips.
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    // Hidden widgets get their resize events late: the screen follows the size on every use.
    void SyncScreen() const;
    QRect ScreenRect() const { return QRect(0, 0, screen_.Width(), screen_.Height()); }
    // Makes s the twin, watched from now on.
    void Watch(const Surface& s);
    // Copies into the screen what it shows of the twin in part, which it then shows itself.
    void KeepShown(const QRegion& part) const;
    // The screen may no longer show the twin's pixels in r.
    void MayDiffer(const QRect& r);
    // Nothing is known alike on the screen and the twin.
    void ForgetAlike() const;
    void SurfaceChanging(const Surface& s, const QRect& r) override;
    void SurfaceLeaving(const Surface& s) override;
    // Asks for a repaint of part of the window (widget coordinates), remembering it until painted.
    void Dirty(const QRect& r);
    void Emit(QMouseEvent* e, int kind);

    int tppX_;
    int tppY_;
    int border_ = 1;
    mutable Surface screen_;
    // The twin watched, and where the screen shows its pixels (screen coordinates, which are the
    // twin's).
    mutable const Surface* twin_ = nullptr;
    mutable QRegion shownFromTwin_;
    // Where the screen may show other pixels than the twin: this region, and the changes on
    // either side since (kept as a list until a scroll needs them: most are copied over first).
    mutable QRegion mayDiffer_;
    mutable std::vector<QRect> changes_;
    // What has been asked to be painted and not painted yet: a scroll moves it along.
    QRegion pending_;
};

}  // namespace tavrin
