#pragma once
// A message box that answers from a script and records what it was asked.

#include "platform/MsgBox.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace tavrin::test {

struct ShownBox {
    QString prompt;
    int flags;
    QString title;
};

class FakeMsgBox final : public MsgBox {
public:
    // Answers given in order; when the script runs out, the first button's answer.
    void Answer(int answer) { answers_.push_back(answer); }
    int show(const QString& prompt, int flags, const QString& title) override;
    void beep() override { ++beeps; }

    std::vector<ShownBox> shown;
    int beeps = 0;
    void Clear() { shown.clear(); beeps = 0; answers_.clear(); }
    // Runs while a box is shown, before it is answered (to change the world between tries).
    std::function<void(const ShownBox&)> onShow;
    // The prompt of the last box, or "" when none was shown.
    QString Last() const { return shown.empty() ? QString() : shown.back().prompt; }

private:
    std::deque<int> answers_;
};

}  // namespace tavrin::test
