#pragma once
// The printer as the program uses it.

#include <memory>

class QPrinter;

namespace tavrin {

class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;
    // Sets the font size of the printer's drawing context.
    virtual void setFontSize(double points) = 0;
    // Abandons the print job in progress, if any.
    virtual void killDoc() = 0;
};

// The real printer, on QPrinter (CUPS printers and PDF files).
class QtPrinterDevice final : public PrinterDevice {
public:
    QtPrinterDevice();
    ~QtPrinterDevice() override;
    void setFontSize(double points) override;
    void killDoc() override;
    QPrinter& printer();

private:
    std::unique_ptr<QPrinter> printer_;
    double fontSize_ = 8;
};

}  // namespace tavrin
