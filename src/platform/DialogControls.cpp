#include "platform/DialogControls.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

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

}  // namespace tavrin
