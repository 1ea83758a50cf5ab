#include "store/Adjust.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tavrin {

namespace {

QWidget* MainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("MainForm") && w->isVisible()) return w;
    }
    return QApplication::activeWindow();
}

}  // namespace

Adjust::Adjust(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("Adjust"));
    setWindowTitle(QStringLiteral("Tavrin"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    panel_ = new QLabel(QStringLiteral("Adjusting Schedule File"), this);
    panel_->setObjectName(QStringLiteral("Panel3D1"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setAlignment(Qt::AlignCenter);
    panel_->setMargin(6);

    done_ = new QProgressBar(this);
    done_->setObjectName(QStringLiteral("Done"));
    done_->setRange(0, 100);
    done_->setValue(0);
    done_->setTextVisible(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    layout->addWidget(done_);
    setFixedWidth(280);
    adjustSize();

    // Centred over the main window.
    QRect over;
    if (QWidget* main = MainWindow(); main && main != this)
        over = main->frameGeometry();
    else if (const QScreen* s = QGuiApplication::primaryScreen())
        over = s->availableGeometry();
    if (over.isValid()) move(over.center() - rect().center());
}

void Adjust::SetPercent(int percent)
{
    const int p = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    if (done_->value() == p) return;
    done_->setValue(p);
    if (isVisible()) repaint();
}

int Adjust::Percent() const
{
    return done_->value();
}

}  // namespace tavrin
