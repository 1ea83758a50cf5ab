#include "platform/PrintWaitPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace tavrin {

PrintWaitPanel::PrintWaitPanel(const QString& server)
    : QFrame(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PrintWait"));
    setWindowTitle(QStringLiteral("Tavrin"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    Label1 = new QLabel(QStringLiteral("Waiting for the printing system at ") + server + QChar(0x2026), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, [this] { Cancel(); });
}

void PrintWaitPanel::Show()
{
    const QSize size(std::max(320, sizeHint().width()), sizeHint().height());
    QRect over;
    if (const QWidget* w = QApplication::activeWindow(); w && w != this) {
        over = w->frameGeometry();
    } else if (const QScreen* s = QGuiApplication::primaryScreen()) {
        over = s->availableGeometry();
    }
    resize(size);
    if (over.isValid()) move(over.center() - QPoint(size.width() / 2, size.height() / 2));
    show();
    raise();
    activateWindow();
    Command1->setFocus();
}

void PrintWaitPanel::Cancel()
{
    if (OnCancel) OnCancel();
}

void PrintWaitPanel::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QFrame::keyPressEvent(e);
}

void PrintWaitPanel::closeEvent(QCloseEvent* e)
{
    e->ignore();
    Cancel();
}

}  // namespace tavrin
