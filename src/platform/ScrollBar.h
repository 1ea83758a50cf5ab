#pragma once
// A scroll bar whose value changes repaint only what the handle's move changes, not the whole
// bar: a one-row scroll then paints a few rows of pixels here.

#include <QRegion>
#include <QScrollBar>

class QStyleOptionSlider;

namespace tavrin {

class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QRect Part(const QStyleOptionSlider& opt, int subControl) const;
    // What a handle's move from one place to another changes.
    QRegion Moved(const QRect& from, const QRect& to) const;
    // Where the handle was last painted, or will be by the paint asked for; null while unknown.
    QRect shownHandle_;
};

}  // namespace tavrin
