#pragma once
// Stand-ins for the interactive parts in the benchmarks: message boxes that answer at once. The
// benchmarks use the real printer, which touches nothing until a report uses it.

#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"

namespace tavrin::bench {

class QuietMsgBox final : public MsgBox {
public:
    explicit QuietMsgBox(int answer = Mb::OK) : answer_(answer) {}
    int show(const QString&, int, const QString&) override { return answer_; }
    void beep() override {}

private:
    int answer_;
};

}  // namespace tavrin::bench
