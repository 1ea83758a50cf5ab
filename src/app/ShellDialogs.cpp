#include "app/ShellDialogs.h"

#include "platform/MsgBox.h"
#include "platform/Runtime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavrin {

namespace {

// The splash picture: drawn here so that nothing outside the program is needed.
QPixmap SplashPicture()
{
    QPixmap pm(420, 180);
    pm.fill(QColor(0, 0, 128));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A small calendar grid as the program's mark.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 7; ++c) {
            const QRect cell(24 + c * 16, 40 + r * 16, 14, 14);
            p.fillRect(cell, (r * 7 + c) % 5 == 0 ? QColor(255, 255, 0) : QColor(192, 192, 192));
        }
    }
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(150, 30, 260, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavrin"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.drawText(QRect(150, 92, 260, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Staff Scheduling"));
    return pm;
}

void CenterOn(QWidget* w, const QWidget* over)
{
    QRect area;
    if (over && over->isVisible()) {
        area = over->frameGeometry();
    } else if (const QScreen* s = QGuiApplication::primaryScreen()) {
        area = s->availableGeometry();
    }
    if (area.isValid()) w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace

QString VersionText() { return QStringLiteral("Version %1").arg(QStringLiteral(TAVRIN_VERSION)); }

Startup::Startup(int twipsPerPixel, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), twipsPerPixel_(twipsPerPixel)
{
    setObjectName(QStringLiteral("Startup"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(SplashPicture());
    layout->addWidget(Image1);
    Label2 = new QLabel(Runtime::Trim(VersionText()), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = new QLabel(QStringLiteral("This program is protected by copyright law. Unauthorised copying or "
                                       "distribution of it, or of any part of it, is prohibited."),
                        this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label5 = new QLabel(QStringLiteral("Licensed to the user of this copy."), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label3 = new QLabel(QStringLiteral("All rights reserved."), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    for (QLabel* l : {Label2, Label4, Label5, Label3}) {
        l->setContentsMargins(10, 0, 10, 0);
        l->setTextFormat(Qt::PlainText);
        layout->addWidget(l);
    }
    // As wide as the picture, centred on the screen.
    setFixedWidth(Image1->pixmap().width());
    adjustSize();
    CenterOn(this, nullptr);
}

void Startup::MarkShown()
{
    if (SplashShown) return;
    repaint();
    SplashShown = true;
    // Large fonts: the notices get smaller so that they still fit.
    if (twipsPerPixel_ == 12) {
        for (QLabel* l : {Label4, Label5}) {
            QFont f = l->font();
            f.setPointSize(7);
            l->setFont(f);
        }
        Label4->setFixedWidth(static_cast<int>(Label4->width() * 0.8));
    }
}

bool Startup::event(QEvent* e)
{
    const bool handled = QWidget::event(e);
    // Any of these means the window has been put on the screen; a window manager need not
    // activate a splash window at all.
    switch (e->type()) {
    case QEvent::Show:
    case QEvent::Expose:
    case QEvent::WindowActivate:
        MarkShown();
        break;
    default:
        break;
    }
    return handled;
}

About::About(QWidget* mainForm) : QDialog(mainForm)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Tavrin"));
    auto* layout = new QVBoxLayout(this);
    auto* Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    layout->addWidget(Image1, 0, Qt::AlignHCenter);
    auto* Label3 = new QLabel(QStringLiteral("Tavrin"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont big = Label3->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    Label3->setFont(big);
    layout->addWidget(Label3, 0, Qt::AlignHCenter);
    auto* Label2 = new QLabel(Runtime::Trim(VersionText()), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(Label2, 0, Qt::AlignHCenter);
    const char* panels[] = {"Panel3D1", "Panel3D2", "Panel3D3"};
    const char* texts[] = {"Staff scheduling for one scheduler at a time.", "All rights reserved.", ""};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(texts[i]), this);
        panel->setObjectName(QString::fromLatin1(panels[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        if (i == 2) panel->setFixedHeight(4);
        layout->addWidget(panel);
    }
    auto* Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    layout->addWidget(Command1, 0, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, &About::Command1_Click);
    adjustSize();
    CenterOn(this, mainForm);
}

void About::Command1_Click() { accept(); }

PassWRD::PassWRD(const QString& storedPassword, const QString& schedStem, MsgBox& msgBox, QWidget* mainForm)
    : QDialog(mainForm), stored_(storedPassword), msgBox_(msgBox)
{
    setObjectName(QStringLiteral("PassWRD"));
    DialogCancelled = false;
    HelpAvailable = false;
    setWindowTitle(QStringLiteral("Password? [ ") + schedStem + QStringLiteral(" ]"));
    auto* layout = new QVBoxLayout(this);
    auto* Label1 = new QLabel(QStringLiteral("Access Password:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(10);
    Text1->setEchoMode(QLineEdit::Password);
    layout->addWidget(Text1);
    auto* buttons = new QHBoxLayout;
    auto* ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    auto* ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);
    connect(ButtonOK, &QPushButton::clicked, this, &PassWRD::ButtonOK_Click);
    connect(ButtonCancel, &QPushButton::clicked, this, &PassWRD::ButtonCancel_Click);
    adjustSize();
    CenterOn(this, mainForm);
}

void PassWRD::ButtonOK_Click()
{
    HelpAvailable = true;
    const QString typed = Runtime::Trim(Text1->text().toUpper());
    if (typed != Runtime::Trim(stored_)) {
        msgBox_.beep();
        Text1->clear();
        Text1->setFocus();
        return;
    }
    DialogCancelled = false;
    accept();
}

void PassWRD::ButtonCancel_Click() { reject(); }

void PassWRD::reject()
{
    DialogCancelled = true;
    HelpAvailable = true;
    QDialog::reject();
}

}  // namespace tavrin
