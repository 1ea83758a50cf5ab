#include "platform/ListTabStops.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace tavrin {

namespace {

constexpr int kDefaultStop = 32;  // dialog units between default stops
constexpr int kMargin = 2;        // pixels before the first field

}  // namespace

ListTabStopDelegate::ListTabStopDelegate(std::vector<int> stops, QObject* parent)
    : QStyledItemDelegate(parent), stops_(std::move(stops))
{
}

int ListTabStopDelegate::AverageCharWidth(const QFontMetrics& fm)
{
    static const QString kSample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (fm.horizontalAdvance(kSample) / 26 + 1) / 2;
}

int ListTabStopDelegate::FieldOffset(const QFontMetrics& fm, int field) const
{
    if (field <= 0) return 0;
    int units = 0;
    if (stops_.empty()) {
        units = kDefaultStop * field;
    } else if (stops_.size() == 1) {
        units = stops_.front() * field;
    } else if (static_cast<std::size_t>(field) <= stops_.size()) {
        units = stops_[static_cast<std::size_t>(field - 1)];
    } else {
        units = stops_.back() + kDefaultStop * (field - static_cast<int>(stops_.size()));
    }
    return units * AverageCharWidth(fm) / 4;
}

void ListTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);

    painter->save();
    painter->setFont(opt.font);
    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetrics fm(opt.font);
    const QStringList fields = text.split(QLatin1Char('\t'));
    const QRect r = opt.rect.adjusted(kMargin, 0, 0, 0);
    for (int i = 0; i < fields.size(); ++i) {
        const int x = r.left() + FieldOffset(fm, i);
        if (x >= r.right()) break;
        painter->drawText(QRect(x, r.top(), r.right() - x, r.height()), Qt::AlignLeft | Qt::AlignVCenter, fields[i]);
    }
    painter->restore();
}

QSize ListTabStopDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    const QFontMetrics fm(option.font);
    const QStringList fields = index.data(Qt::DisplayRole).toString().split(QLatin1Char('\t'));
    const int last = static_cast<int>(fields.size()) - 1;
    s.setWidth(kMargin + FieldOffset(fm, last) + fm.horizontalAdvance(fields.value(last)) + kMargin);
    return s;
}

bool SetListTabStops(QAbstractItemView* list, const std::vector<int>& stops)
{
    if (!list) return false;
    QAbstractItemDelegate* old = list->itemDelegate();
    list->setItemDelegate(new ListTabStopDelegate(stops, list));
    if (old && old->parent() == list) old->deleteLater();
    list->viewport()->update();
    return true;
}

}  // namespace tavrin
