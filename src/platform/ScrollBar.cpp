#include "platform/ScrollBar.h"

#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace tavrin {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

QRect ScrollBar::Part(const QStyleOptionSlider& opt, int subControl) const
{
    return style()->subControlRect(QStyle::CC_ScrollBar, &opt, static_cast<QStyle::SubControl>(subControl), this);
}

QRegion ScrollBar::Moved(const QRect& from, const QRect& to) const
{
    // Spans along the bar, widened by a few pixels for the handle's outline.
    constexpr int kEdge = 3;
    const bool across = orientation() == Qt::Horizontal;
    const auto span = [&](int a, int b) {
        const int lo = std::min(a, b) - kEdge;
        const int hi = std::max(a, b) + kEdge;
        return across ? QRect(lo, 0, hi - lo + 1, height()) : QRect(0, lo, width(), hi - lo + 1);
    };
    // The styles made for this platform draw a handle and the groove the same all along their
    // length: only the handle's two ends move over what changes. Other styles may draw a grip
    // in the handle's middle: the whole of the old and the new handle is painted again there.
    const QString name = style()->name();
    if (name.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0) {
        return QRegion(across ? span(from.left(), to.left()) : span(from.top(), to.top())) +
               (across ? span(from.right(), to.right()) : span(from.bottom(), to.bottom()));
    }
    return QRegion(across ? span(std::min(from.left(), to.left()), std::max(from.right(), to.right()))
                          : span(std::min(from.top(), to.top()), std::max(from.bottom(), to.bottom())));
}

void ScrollBar::sliderChange(SliderChange change)
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    // Bars that fade in and out, and every other change, repaint as a scroll bar does.
    if (change != SliderValueChange || shownHandle_.isNull() ||
        style()->styleHint(QStyle::SH_ScrollBar_Transient, &opt, this)) {
        QScrollBar::sliderChange(change);
        return;
    }
    const QRect handle = Part(opt, QStyle::SC_ScrollBarSlider);
    if (handle != shownHandle_) update(Moved(shownHandle_, handle));
    shownHandle_ = handle;
}

void ScrollBar::paintEvent(QPaintEvent* e)
{
    QScrollBar::paintEvent(e);
    // Any part painted shows the handle where it is now, and so will any part still to be
    // painted: every move of the handle has asked for what it changes.
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    shownHandle_ = Part(opt, QStyle::SC_ScrollBarSlider);
}

}  // namespace tavrin
