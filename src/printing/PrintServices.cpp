#include "printing/PrintServices.h"

#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"

namespace tavrin {

PrintServices::PrintServices(PrinterDevice& printer, PreviewRec& rec, FontService& fonts, MsgBox& msg,
                             FileDialogs& dialogs)
    : Rec(rec), Fonts(fonts), Msg(msg), Dialogs(dialogs), Now(&Runtime::Now), printer_(printer)
{
}

PrinterDevice& PrintServices::Printer()
{
    if (!saved_) ReadSavedPaper();
    return printer_;
}

void PrintServices::ReadSavedPaper()
{
    // Only a known printer's paper is kept: while the printing system has not said which printer
    // is current, it is read again at the next use.
    if (!printer_.Ready()) return;
    saved_ = true;
    savedPaperSize_ = static_cast<std::int16_t>(printer_.PaperSize());
    savedPaperBin_ = static_cast<std::int16_t>(printer_.PaperBin());
}

int PrintServices::SavedPaperSize()
{
    if (!saved_) ReadSavedPaper();
    return savedPaperSize_;
}

int PrintServices::SavedPaperBin()
{
    if (!saved_) ReadSavedPaper();
    return savedPaperBin_;
}

}  // namespace tavrin
