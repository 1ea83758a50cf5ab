#pragma once
// The boxes of one dialog that are checked when they lose the focus (dates, times, numbers).
//
// A check runs when the focus moves from its box to another control of the same dialog; focus
// lost to another window or a pop-up (a message box, a list's drop-down) does not count, and a
// check never runs while another one is showing its message. A check shows its own message and
// puts its own text back; a refused box gets the focus back. Buttons that act on the boxes (OK,
// Print, Run, Execute) call RunAll first, because Enter on a default button moves no focus.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace tavrin {

class BoxChecks final : public QObject {
    Q_OBJECT
public:
    // The check of one box: true when the box holds an acceptable value.
    using Check = std::function<bool()>;

    explicit BoxChecks(QWidget* dialog);

    void Add(QWidget* box, Check check);
    // Focus moving to w does not check the box it leaves (Cancel, Close, Help).
    void Exempt(QWidget* w);

    // Runs the check of one box now; false when refused (the box then has the focus).
    bool Run(QWidget* box);
    // Runs every box's check in the order they were added, stopping at the first refusal.
    bool RunAll();
    // True while a check is running (its message box is open).
    bool Busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    struct Entry {
        QPointer<QWidget> box;
        Check check;
    };
    Entry* Find(QObject* box);
    bool RunEntry(Entry& e);

    QWidget* dialog_;
    std::vector<Entry> entries_;
    std::vector<QPointer<QWidget>> exempt_;
    bool busy_ = false;
};

}  // namespace tavrin
