#pragma once
// Tab stops in a list: entries hold fields separated by tabs, and each field starts at its stop.
// Stops are in dialog units, a quarter of the average character width of the list's font, so a
// list keeps its columns whatever font it shows.

#include <QStyledItemDelegate>
#include <vector>

class QAbstractItemView;

namespace tavrin {

class ListTabStopDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    // No stops: a stop every 32 units. One stop: every multiple of it. More: the stops given,
    // then every 32 units past the last.
    explicit ListTabStopDelegate(std::vector<int> stops, QObject* parent = nullptr);

    const std::vector<int>& Stops() const { return stops_; }
    // The x offset in pixels of field `field` (0 = before the first tab) for a font.
    int FieldOffset(const QFontMetrics& fm, int field) const;
    // Pixels per dialog unit times 4 (the average character width) of a font.
    static int AverageCharWidth(const QFontMetrics& fm);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::vector<int> stops_;
};

// Sets a list's tab stops (in dialog units); the list draws its entries through a
// ListTabStopDelegate from then on. True when the stops were taken.
bool SetListTabStops(QAbstractItemView* list, const std::vector<int>& stops);

}  // namespace tavrin
