#pragma once
// What every printed output works with: the printer, the preview recorder, the screen fonts (for
// the preview window), message boxes and a clock for run dates and times, plus the printer's own
// paper size and bin, which the "Default" entries of Report Setup put back.

#include <functional>

#include "platform/OleDate.h"

class QWidget;

namespace tavrin {

class FileDialogs;
class FontService;
class GridPaint;
class MsgBox;
class PrinterDevice;
class PreviewRec;
class SchedFiles;

class PrintServices {
public:
    PrintServices(PrinterDevice& printer, PreviewRec& rec, FontService& fonts, MsgBox& msg, FileDialogs& dialogs);
    PrintServices(const PrintServices&) = delete;
    PrintServices& operator=(const PrintServices&) = delete;

    // The printer; its first use remembers its paper size and bin.
    PrinterDevice& Printer();
    PreviewRec& Rec;
    FontService& Fonts;
    MsgBox& Msg;
    FileDialogs& Dialogs;
    // The date and time of a run (the run date and time of page headers); tests pin it.
    std::function<OleDate()> Now;
    // The window the preview window and the setup dialogs belong to.
    QWidget* Window = nullptr;
    // The open schedule, whose settings keep the publishing folder and options, and the painter
    // that places dialogs (either may be missing where only the printing core is used).
    SchedFiles* Files = nullptr;
    GridPaint* Grid = nullptr;

    // The printer's paper size and bin as found at its first use or by the last Printer Setup.
    int SavedPaperSize();
    int SavedPaperBin();
    // Reads both again from the current printer.
    void ReadSavedPaper();

private:
    PrinterDevice& printer_;
    bool saved_ = false;
    int savedPaperSize_ = 0;
    int savedPaperBin_ = 0;
};

}  // namespace tavrin
