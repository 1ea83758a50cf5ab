#pragma once
#include "platform/PrinterDevice.h"

namespace tavrin::test {

class FakePrinter final : public PrinterDevice {
public:
    void setFontSize(double points) override { fontSize = points; }
    void killDoc() override { ++kills; }
    double fontSize = 0;
    int kills = 0;
};

}  // namespace tavrin::test
