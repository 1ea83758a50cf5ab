#pragma once
// Stand-ins for the interactive parts in the benchmarks: message boxes that answer at once and
// a printer that does nothing.

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

class NoPrinter final : public PrinterDevice {
public:
    void setFontSize(double) override {}
    void killDoc() override {}
};

}  // namespace tavrin::bench
