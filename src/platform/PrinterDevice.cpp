#include "platform/PrinterDevice.h"

#include <QPrinter>

namespace tavrin {

QtPrinterDevice::QtPrinterDevice() = default;
QtPrinterDevice::~QtPrinterDevice() = default;

QPrinter& QtPrinterDevice::printer()
{
    // Made on first use: probing the print system can be slow and is not needed to start.
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void QtPrinterDevice::setFontSize(double points) { fontSize_ = points; }

void QtPrinterDevice::killDoc()
{
    if (printer_ && printer_->printerState() == QPrinter::Active) printer_->abort();
}

}  // namespace tavrin
