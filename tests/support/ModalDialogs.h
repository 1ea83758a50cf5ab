#pragma once
// Answers the next modal dialog of a kind once it is shown, with a deadline, so that a dialog
// left open fails the test instead of hanging it.
//
// The wait belongs to the scope that keeps what OnNextDialog returns: when that scope ends, so
// does the wait. A dialog that had not come by then fails the test there, and nothing of the
// wait runs later, so that its action never writes into a frame that is gone nor answers a
// dialog of a later step or test:
//
//     const auto wait = OnNextDialog<Props>([&](Props* p) { p->ButtonOK->click(); });
//     form->Define_Props->trigger();

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <source_location>
#include <string>
#include <utility>

namespace tavrin::test {

class [[nodiscard]] DialogWait {
public:
    DialogWait() = default;
    DialogWait(const QMetaObject& kind, std::function<void(QWidget*)> act, int timeoutMs, std::source_location at)
        : s_(std::make_unique<State>())
    {
        s_->kind = &kind;
        s_->act = std::move(act);
        s_->left = timeoutMs / 10;
        s_->at = at;
        s_->timer.setInterval(10);
        State* s = s_.get();
        QObject::connect(&s->timer, &QTimer::timeout, [s] { Poll(*s); });
        s_->timer.start();
    }
    DialogWait(DialogWait&&) noexcept = default;
    // A new wait in its place ends this one first.
    DialogWait& operator=(DialogWait&& other) noexcept
    {
        if (this != &other) {
            End();
            s_ = std::move(other.s_);
        }
        return *this;
    }
    ~DialogWait() { End(); }

    // The dialog came and was answered.
    bool Answered() const { return s_ && s_->answered; }

private:
    struct State {
        QTimer timer;
        const QMetaObject* kind = nullptr;
        std::function<void(QWidget*)> act;
        int left = 0;
        std::source_location at;
        bool over = false;
        bool answered = false;
    };

    static void Fail(const State& s)
    {
        ADD_FAILURE_AT(s.at.file_name(), static_cast<int>(s.at.line()))
            << "no " << s.kind->className() << " was shown";
    }
    static void Poll(State& s)
    {
        if (s.over) return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && s.kind->cast(modal)) {
            s.timer.stop();
            s.over = true;
            s.answered = true;
            // The action may open dialogs of its own and wait on them.
            const std::function<void(QWidget*)> act = std::move(s.act);
            act(modal);
            return;
        }
        if (--s.left <= 0) {
            s.timer.stop();
            s.over = true;
            Fail(s);
            // Whatever is modal now is closed, so that the test can go on and fail.
            if (modal) modal->close();
        }
    }
    void End()
    {
        if (!s_) return;
        s_->timer.stop();
        if (!s_->over) Fail(*s_);
        s_.reset();
    }

    std::unique_ptr<State> s_;
};

template <class Dialog>
DialogWait OnNextDialog(std::function<void(Dialog*)> act, int timeoutMs = 5000,
                        std::source_location at = std::source_location::current())
{
    return DialogWait(
        Dialog::staticMetaObject, [act = std::move(act)](QWidget* w) { act(static_cast<Dialog*>(w)); }, timeoutMs,
        at);
}

}  // namespace tavrin::test
