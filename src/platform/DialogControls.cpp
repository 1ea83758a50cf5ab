#include "platform/DialogControls.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <algorithm>

namespace tavrin {

namespace {

class SelectAllFilter final : public QObject {
public:
    explicit SelectAllFilter(QLineEdit* box) : QObject(box), box_(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == box_ && e->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    QLineEdit* box_;
};

}  // namespace

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout* NewOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel, const QString& okCaption,
                            const QString& cancelCaption)
{
    ok = new QPushButton(okCaption, dialog);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    cancel = NewButton(dialog, "Command2", cancelCaption);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void SelectAllOnFocus(QLineEdit* box)
{
    box->installEventFilter(new SelectAllFilter(box));
}

QLineEdit* NewSelectingBox(QWidget* parent, const char* name, int maxLength)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    SelectAllOnFocus(box);
    return box;
}

void KeepRoomFor(QLineEdit* box, const QStringList& texts)
{
    box->ensurePolished();
    const QFontMetrics fm(box->font());
    int widest = 0;
    for (const QString& t : texts) widest = std::max(widest, fm.horizontalAdvance(t));
    // The frame and margins around the text: the box's size hint is room for 17 "x" with them.
    const int around = box->sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    // The box scrolls once the text, its cursor and the glyphs' overhang no longer fit.
    const int overhang = std::max(0, -fm.minLeftBearing()) + std::max(0, -fm.minRightBearing());
    box->setMinimumWidth(widest + 1 + overhang + around);
}

}  // namespace tavrin
