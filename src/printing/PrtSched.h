#pragma once
// One run of a printed output (the schedule printout, a report): the page set-up every output
// shares, the drawing it sends to the printer or, in preview mode, to the preview recorder, and
// the stop when the printer fails.
//
// A run, in this order:
//   PrtSched run(services);              // preview mode as the caller set it on the recorder
//   if (run.BeginRun()) {                // preview: check the printer, open the recording
//       bool failed = false;
//       run.SetupPrinter(setup, failed); // messages of its own
//       if (!failed) {
//           run.ComputePageArea(setup.Margins, pullIn);
//           ... pages: measure on run.Printer(), draw through run, run.NewPage() at page ends;
//               after each drawing step: if (run.PrtStopped) break;
//       }
//       run.Finish(!failed);             // ends the document, shows the preview
//   }
// Measuring, fonts and settings always go to the printer; only drawing is recorded. The first
// error of a drawing call stops the run ("Printer Error"); later calls do nothing.

#include <QString>
#include <array>
#include <cstdint>

#include "platform/Surface.h"
#include "store/Records.h"

namespace tavrin {

class MsgBox;
class PrintServices;
class PrinterDevice;
class PreviewRec;
class Status;

// The inputs of the page set-up, from a report's settings record.
struct PageSetup {
    QString FontName = QStringLiteral("Arial");
    double FontSize = 8;
    bool FontBold = false;
    bool FontItalic = false;
    int Orientation = 0;                   // 0 the printer's own, 1 portrait, 2 landscape
    int PrintQuality = 0;                  // 0 the printer's own, -1 draft .. -4 high
    std::array<int, 4> Margins{};          // top, bottom, left, right in twips
    int PaperSize = 0;                     // 0 the printer's own
    int PaperBin = 0;                      // 0 the printer's own
    QString Copies = QStringLiteral("1");  // the text of the dialog's copies box
    double TitleSize = 16;
    double HeadingSize = 10;
    // The report's title as its pages show it; the print job is named after it.
    QString Title;

    // Title, font, orientation, quality, margins, paper (option 15) and bin (option 16) of a
    // settings record; the copies text and the heading size are the caller's.
    static PageSetup From(const ReportSettingsRecord& s, const QString& copies, double headingSize);
};

// "Printer Error": the advice every printed output gives when its printer fails, and the
// printer's or printing system's own reason, when there is one, in a paragraph of its own.
void ShowPrinterError(MsgBox& msg, const QString& reason);

class PrtSched {
public:
    explicit PrtSched(PrintServices& services);
    // A run left without Finish still ends its recording and leaves preview mode.
    ~PrtSched();
    PrtSched(const PrtSched&) = delete;
    PrtSched& operator=(const PrtSched&) = delete;

    PrintServices& Services() { return s_; }
    PrinterDevice& Printer() { return printer_; }
    PreviewRec& Rec() { return rec_; }
    // True when this run records a preview.
    bool Preview() const { return preview_; }

    // --- the run's start and end
    // Makes sure the printer is known: a printing system that did not answer ends the run with
    // the printer error (false). Preview: then checks the printer, remembers its orientation and
    // opens the recording; false (after a message naming the working folder) when the recording
    // cannot be opened, which ends the run as a failed set-up.
    bool BeginRun();
    // Printing: ends the document (after a stop the stop has ended it); a document the printer
    // did not take is a printer error, one written to a file is reported with the file's path.
    // Preview: records the end of the document (and, when the producer ended only the pages
    // between pages, counts the last one), shows the preview window when showWindow and the run
    // did not stop, closes the recording, gives the printer its orientation back and abandons
    // any printer job. Either way preview mode is off afterwards.
    void Finish(bool showWindow, bool countLastPage = false);

    // --- page set-up
    // Names the job after the program and the title, then applies the inputs to the printer;
    // failed when the run must stop (after the message). Copies (at least 1), paper and bin are
    // applied whether or not it failed.
    void SetupPrinter(const PageSetup& in, bool& failed);
    void GetPrinterOffsets();
    // The page area from the margins; edges on the printable area's right and bottom border
    // are pulled in by pullIn device pixels (1 for the schedule printout, 2 for the reports).
    void ComputePageArea(const std::array<int, 4>& margins, int pullIn);
    // Results, in twips from the printable area's top left corner.
    std::int16_t PrtOffsetX = 0;
    std::int16_t PrtOffsetY = 0;
    std::int16_t PrtPageLeft = 0;
    std::int16_t PrtPageRight = 0;
    std::int16_t PrtPageTop = 0;
    std::int16_t PrtPageBottom = 0;

    // Twips to whole device pixels (halves to the even neighbour), and back onto a pixel.
    int TwipsToPrinterPixelsX(double t);
    int TwipsToPrinterPixelsY(double t);
    double SnapToPrinterPixelX(double t);
    double SnapToPrinterPixelY(double t);
    // A rectangle given in twips, in device pixels.
    PixelRect PrinterRect(double left, double top, double right, double bottom);

    // --- drawing, on the printer or into the recording
    // Set on the printer in both modes (it measures); recorded in preview mode.
    void FontSize(double points);
    void FontBold(bool bold);
    void FontItalic(bool italic);
    void ForeColor(std::uint32_t colour);
    void DrawWidth(int pixels);
    // Text in a rectangle of device pixels.
    void DrawText(const QString& text, const PixelRect& r, int flags);
    // The lines of a page header's band r, at the size set: the run date at the top left, the
    // run time at the top right, the page number at the bottom right and the range line centred
    // at the bottom.
    void DrawRunLines(const PixelRect& r, const QString& dateFormat, const QString& timeFormat, int pageNumber,
                      const QString& rangeLine);
    // Text at the printer's current position.
    void PrintText(const QString& text);
    void Line(double x1, double y1, double x2, double y2);
    void Box(double x1, double y1, double x2, double y2);
    // colour signed: a shade positive, an exact colour negated (0 black); the printer gets the
    // colour itself, the preview shows a shade light grey.
    void FilledBox(double x1, double y1, double x2, double y2, std::int32_t colour);
    // An ellipse in a box of device pixels, filled as FilledBox, outlined in the drawing colour.
    void Ellipse(int left, int top, int right, int bottom, std::int32_t colour);
    // Ends a page (the printer begins the next one with the next output).
    void NewPage();

    // A printer or recorder error stopped the run: nothing more is drawn.
    bool PrtStopped = false;
    // Runs the stop for an error met outside the calls above; reason, when given, is the
    // printer's own account, shown below the message.
    void PrinterError(const QString& reason = {});

private:
    bool Check(const Status& s);
    void ShowPrinterError(const QString& reason);

    PrintServices& s_;
    PrinterDevice& printer_;
    PreviewRec& rec_;
    bool preview_;
    bool begun_ = false;
    bool finished_ = false;
    int savedOrientation_ = 0;
};

}  // namespace tavrin
