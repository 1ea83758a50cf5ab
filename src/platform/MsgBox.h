#pragma once
// Message boxes with the classic button sets, icons and answer codes, and the beep.

#include <QString>

class QWidget;

namespace tavrin {

namespace Mb {
// Button sets, icons and default buttons, combined by addition.
enum Flags : int {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};
// Answers.
enum Answer : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
}  // namespace Mb

class MsgBox {
public:
    virtual ~MsgBox() = default;
    // Shows a modal box; a box without a title shows "Tavrin". Returns an Mb::Answer.
    virtual int show(const QString& prompt, int flags = Mb::OKOnly, const QString& title = QString()) = 0;
    virtual void beep() = 0;
};

// The real boxes, on QMessageBox.
class QtMsgBox final : public MsgBox {
public:
    explicit QtMsgBox(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    int show(const QString& prompt, int flags = Mb::OKOnly, const QString& title = QString()) override;
    void beep() override;

private:
    QWidget* parent_;
};

}  // namespace tavrin
