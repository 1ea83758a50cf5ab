#pragma once
// Watches, for as long as it lives, what the program shows while it waits for the printing
// system: whether the waiting panel came, after how long, whether the busy pointer showed, and
// whether a window went on being painted. It can end the wait as soon as the panel shows: with
// its Cancel button, with Esc or with its close box.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/PrintWaitPanel.h"

namespace tavrin::test {

// Runs a command as the window does: from within its event loop, which waits for events again
// once the command has ended (so a command that met a silent printing system has ended when the
// next one runs).
inline void FromTheWindow(const std::function<void()>& command)
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        command();
        loop.quit();
    });
    loop.exec();
}

// Lets an event loop wait for events once, as the window's loop does between two commands.
inline void WaitForEvents()
{
    FromTheWindow([] {});
}

class PrintWaitWatch final : public QObject {
public:
    enum class End { None, Cancel, Escape, CloseBox };
    // painted: a window to keep asking to paint, counting its paint events (none when null).
    explicit PrintWaitWatch(End end, QWidget* painted = nullptr) : end_(end), painted_(painted)
    {
        clock_.start();
        if (painted_) painted_->installEventFilter(this);
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
        timer_.start();
    }
    ~PrintWaitWatch() override
    {
        if (painted_) painted_->removeEventFilter(this);
    }

    bool PanelShown() const { return shownAfterMs_ >= 0; }
    qint64 PanelShownAfterMs() const { return shownAfterMs_; }
    QString PanelText() const { return text_; }
    bool BusyPointerSeen() const { return busySeen_; }
    int PaintsWhileWaiting() const { return paints_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == painted_ && e->type() == QEvent::Paint && Panel()) ++paints_;
        return false;
    }

private:
    static PrintWaitPanel* Panel()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = dynamic_cast<PrintWaitPanel*>(w); p && p->isVisible()) return p;
        }
        return nullptr;
    }
    void Look()
    {
        PrintWaitPanel* panel = Panel();
        if (!panel) return;
        if (shownAfterMs_ < 0) {
            shownAfterMs_ = clock_.elapsed();
            text_ = panel->Label1->text();
        }
        if (QApplication::overrideCursor()) busySeen_ = true;
        if (painted_) painted_->update();
        switch (end_) {
            case End::None:
                break;
            case End::Cancel:
                panel->Command1->click();
                break;
            case End::Escape:
                QTest::keyClick(panel, Qt::Key_Escape);
                break;
            case End::CloseBox:
                panel->close();
                break;
        }
    }

    End end_;
    QWidget* painted_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 shownAfterMs_ = -1;
    QString text_;
    bool busySeen_ = false;
    int paints_ = 0;
};

}  // namespace tavrin::test
