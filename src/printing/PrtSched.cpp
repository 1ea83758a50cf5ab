#include "printing/PrtSched.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/BusyPointer.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/PreScreen.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"

namespace tavrin {

namespace {

std::int16_t Twips16(double v)
{
    return static_cast<std::int16_t>(std::clamp(Runtime::CInt(v), -32768, 32767));
}

std::uint32_t Magnitude(std::int32_t colour)
{
    return static_cast<std::uint32_t>(std::llabs(static_cast<long long>(colour))) & 0xFFFFFFu;
}

const QString kError = QStringLiteral("Error");
const QString kWarning = QStringLiteral("Warning");

// The name of a report's print job: the program's and the report's title.
QString JobName(const QString& title)
{
    const QString program = QStringLiteral("Tavrin");
    const QString t = Runtime::Trim(title);
    return t.isEmpty() ? program : program + QStringLiteral(" - ") + t;
}

}  // namespace

PageSetup PageSetup::From(const ReportSettingsRecord& s, const QString& copies, double headingSize)
{
    PageSetup p;
    p.Title = Runtime::Trim(s.Title.str());
    p.FontName = Runtime::Trim(s.FontName.str());
    p.FontSize = s.FontSize;
    p.FontBold = s.FontBold != 0;
    p.FontItalic = s.FontItalic != 0;
    p.Orientation = s.Orientation;
    p.PrintQuality = s.PrintQuality;
    for (int i = 0; i < 4; ++i) p.Margins[static_cast<std::size_t>(i)] = s.Margins[i];
    p.PaperSize = s.Options[15];
    p.PaperBin = s.Options[16];
    p.Copies = copies;
    p.HeadingSize = headingSize;
    return p;
}

PrtSched::PrtSched(PrintServices& services)
    : s_(services), printer_(services.Printer()), rec_(services.Rec), preview_(services.Rec.PreviewMode)
{
}

PrtSched::~PrtSched()
{
    if (begun_ && !finished_) Finish(false);
    if (preview_) rec_.PreviewMode = false;
}

// ---------------------------------------------------------------- start and end

bool PrtSched::BeginRun()
{
    begun_ = true;
    PrtStopped = false;
    // The printer must be known before its pages are measured: a printing system that does not
    // answer ends the run here, as a printer error that says so.
    if (const Status ready = printer_.Ready(); !ready) {
        PrtStopped = true;
        ShowPrinterError(ready.message());
        return false;
    }
    if (!preview_) return true;
    rec_.CheckPrinterReady(printer_);
    if (rec_.PrinterAvailable) {
        if (const Result<int> o = printer_.Orientation()) savedOrientation_ = *o;
    }
    if (!rec_.OpenPreviewFiles()) {
        s_.Msg.show(QStringLiteral("The preview cannot be recorded: the working folder ") + rec_.WorkDir() +
                        QStringLiteral(" cannot be written."),
                    Mb::Exclamation, kError);
        return false;
    }
    return true;
}

void PrtSched::Finish(bool showWindow, bool countLastPage)
{
    finished_ = true;
    if (!preview_) {
        if (PrtStopped) return;
        if (const Status ended = printer_.EndDoc(); !ended) {
            // The document is ended already: the stop only tells.
            PrtStopped = true;
            ShowPrinterError(ended.message());
        } else if (const QString file = printer_.WrittenFile(); !file.isEmpty()) {
            // The main window has no status line: a short message says where the pages went.
            s_.Msg.show(QStringLiteral("The report was written to ") + file + QLatin1Char('.'),
                        Mb::OKOnly + Mb::Information);
        }
        return;
    }
    if (rec_.FilesOpen()) {
        // The last page is written here: a recording that cannot be written whole is not shown.
        const bool written = static_cast<bool>(rec_.PreviewEndDocument());
        if (!written) PrinterError();
        if (countLastPage) ++rec_.PreviewPageCount;
        if (showWindow && written) {
            // The arrow, not the hourglass, while the window is open.
            SetBusyPointer(false);
            ShowPreviewWindow(s_);
        }
    }
    rec_.ClosePreviewFiles();
    if (savedOrientation_ != 0) (void)printer_.SetOrientation(savedOrientation_);
    printer_.KillDoc();
    rec_.PreviewMode = false;
}

// ---------------------------------------------------------------- page set-up

void PrtSched::SetupPrinter(const PageSetup& in, bool& failed)
{
    failed = true;
    printer_.SetDocName(JobName(in.Title));
    const QString name = Runtime::Trim(in.FontName);
    if (preview_) {
        rec_.ReportFontName = name;
        rec_.ReportFontBold = in.FontBold;
        rec_.ReportFontItalic = in.FontItalic;
    }
    const auto warn = [this](const QString& text) {
        return s_.Msg.show(text, Mb::OKCancel + Mb::Exclamation, kWarning) == Mb::OK;
    };
    // Copies, paper and bin are applied however the set-up ends; refusals keep the printer's.
    const auto jobSettings = [&] {
        // Fewer than one copy would be refused and leave the last run's count.
        // The absolute value is taken in 64 bits: the most negative count has no 32-bit one.
        const long long asked = std::llabs(static_cast<long long>(Runtime::CInt(Runtime::Val(in.Copies))));
        const int copies = static_cast<int>(std::clamp<long long>(asked, 1, std::numeric_limits<int>::max()));
        (void)printer_.SetCopies(copies);
        if (in.PaperSize > 0) (void)printer_.SetPaperSize(in.PaperSize);
        if (in.PaperBin > 0) (void)printer_.SetPaperBin(in.PaperBin);
    };

    if (!printer_.SetFontName(name)) {
        s_.Msg.show(QStringLiteral("The printer does not support the selected font or cannot print this font at the "
                                   "current Print Quality setting."),
                    Mb::OKOnly + Mb::Exclamation, kError);
        jobSettings();
        return;
    }
    for (double size : {in.TitleSize, in.HeadingSize, double(Runtime::CInt(in.FontSize))}) {
        if (!printer_.SetFontSize(size)) {
            s_.Msg.show(QStringLiteral("Font size invalid for current printer"), Mb::OKOnly + Mb::Exclamation, kError);
            jobSettings();
            return;
        }
    }
    if (!printer_.SetFontBold(in.FontBold) && !warn(QStringLiteral("Bold font setting invalid for current printer"))) {
        jobSettings();
        return;
    }
    if (!printer_.SetFontItalic(in.FontItalic) &&
        !warn(QStringLiteral("Italic font setting invalid for current printer"))) {
        jobSettings();
        return;
    }
    if (in.Orientation != 0 && !printer_.SetOrientation(in.Orientation) &&
        !warn(QStringLiteral("Orientation setting invalid for current printer"))) {
        jobSettings();
        return;
    }
    if (in.PrintQuality != 0 && !printer_.SetPrintQuality(in.PrintQuality) &&
        !warn(QStringLiteral("Print quality setting invalid for current printer"))) {
        jobSettings();
        return;
    }
    failed = false;
    jobSettings();
}

void PrtSched::GetPrinterOffsets()
{
    PrtOffsetX = Twips16(printer_.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETX) * printer_.TwipsPerPixelX());
    PrtOffsetY = Twips16(printer_.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETY) * printer_.TwipsPerPixelY());
    rec_.PrinterOffsetX = PrtOffsetX;
    rec_.PrinterOffsetY = PrtOffsetY;
}

void PrtSched::ComputePageArea(const std::array<int, 4>& margins, int pullIn)
{
    GetPrinterOffsets();
    const int scaleWidth = printer_.ScaleWidth();
    const int scaleHeight = printer_.ScaleHeight();
    const double borderLeft = PrtOffsetX;
    const double borderRight = double(printer_.Width()) - scaleWidth - PrtOffsetX;
    const double borderTop = PrtOffsetY;
    const double borderBottom = double(printer_.Height()) - scaleHeight - PrtOffsetY;
    const double l = std::max(0.0, margins[2] - borderLeft);
    const double r = std::max(0.0, margins[3] - borderRight);
    const double t = std::max(0.0, margins[0] - borderTop);
    const double b = std::max(0.0, margins[1] - borderBottom);

    PrtPageLeft = Twips16(SnapToPrinterPixelX(l));
    PrtPageRight = Twips16(SnapToPrinterPixelX(scaleWidth - r));
    PrtPageTop = Twips16(SnapToPrinterPixelY(t));
    PrtPageBottom = Twips16(SnapToPrinterPixelY(scaleHeight - b));

    // Margins that leave less than two inches are dropped on that axis.
    if (PrtPageRight - PrtPageLeft < 2880) {
        PrtPageLeft = 0;
        PrtPageRight = Twips16(scaleWidth);
    }
    if (PrtPageBottom - PrtPageTop < 2880) {
        PrtPageTop = 0;
        PrtPageBottom = Twips16(scaleHeight);
    }
    // No edge lies on the printable area's border.
    if (PrtPageLeft == 0) PrtPageLeft = Twips16(printer_.TwipsPerPixelX());
    if (PrtPageTop == 0) PrtPageTop = Twips16(printer_.TwipsPerPixelY());
    if (PrtPageRight == scaleWidth) PrtPageRight = Twips16(scaleWidth - pullIn * printer_.TwipsPerPixelX());
    if (PrtPageBottom == scaleHeight) PrtPageBottom = Twips16(scaleHeight - pullIn * printer_.TwipsPerPixelY());
}

int PrtSched::TwipsToPrinterPixelsX(double t)
{
    return Runtime::CInt(t / printer_.TwipsPerPixelX());
}

int PrtSched::TwipsToPrinterPixelsY(double t)
{
    return Runtime::CInt(t / printer_.TwipsPerPixelY());
}

double PrtSched::SnapToPrinterPixelX(double t)
{
    return TwipsToPrinterPixelsX(t) * printer_.TwipsPerPixelX();
}

double PrtSched::SnapToPrinterPixelY(double t)
{
    return TwipsToPrinterPixelsY(t) * printer_.TwipsPerPixelY();
}

PixelRect PrtSched::PrinterRect(double left, double top, double right, double bottom)
{
    return {TwipsToPrinterPixelsX(left), TwipsToPrinterPixelsY(top), TwipsToPrinterPixelsX(right),
            TwipsToPrinterPixelsY(bottom)};
}

// ---------------------------------------------------------------- drawing

bool PrtSched::Check(const Status& s)
{
    if (s) return true;
    PrinterError();
    return false;
}

void PrtSched::PrinterError(const QString& reason)
{
    if (PrtStopped) return;
    PrtStopped = true;
    // What was sent so far is ended as a document.
    if (!preview_) (void)printer_.EndDoc();
    ShowPrinterError(reason);
}

void ShowPrinterError(MsgBox& msg, const QString& reason)
{
    QString text = QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT QUALITY "
                                  "setting.");
    if (!reason.isEmpty()) text += QStringLiteral("\n\n") + reason;
    msg.show(text, Mb::OKOnly + Mb::Exclamation, QStringLiteral("Printer Error"));
}

void PrtSched::ShowPrinterError(const QString& reason)
{
    tavrin::ShowPrinterError(s_.Msg, reason);
}

void PrtSched::FontSize(double points)
{
    if (PrtStopped || !Check(printer_.SetFontSize(points))) return;
    if (preview_) Check(rec_.PreviewFontSize(points));
}

void PrtSched::FontBold(bool bold)
{
    if (PrtStopped || !Check(printer_.SetFontBold(bold))) return;
    if (preview_) Check(rec_.PreviewFontBold(bold));
}

void PrtSched::FontItalic(bool italic)
{
    if (PrtStopped || !Check(printer_.SetFontItalic(italic))) return;
    if (preview_) Check(rec_.PreviewFontItalic(italic));
}

void PrtSched::ForeColor(std::uint32_t colour)
{
    if (PrtStopped) return;
    if (preview_)
        Check(rec_.PreviewForeColor(colour));
    else
        printer_.SetForeColor(colour);
}

void PrtSched::DrawWidth(int pixels)
{
    if (PrtStopped) return;
    if (preview_)
        Check(rec_.PreviewDrawWidth(pixels));
    else
        Check(printer_.SetDrawWidth(pixels));
}

void PrtSched::DrawText(const QString& text, const PixelRect& r, int flags)
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewDrawText(text, r, flags) : printer_.DrawText(text, r, flags));
}

void PrtSched::DrawRunLines(const PixelRect& r, const QString& dateFormat, const QString& timeFormat, int pageNumber,
                            const QString& rangeLine)
{
    const OleDate now = s_.Now();
    DrawText(QStringLiteral("Run Date: ") + Runtime::FormatDate(now, dateFormat), r, Surface::DT_SINGLELINE);
    DrawText(QStringLiteral("Run Time: ") + Runtime::FormatDate(now, timeFormat), r,
             Surface::DT_RIGHT | Surface::DT_SINGLELINE);
    DrawText(QStringLiteral("Page: ") + Runtime::FormatNumber(pageNumber, QStringLiteral("0")), r,
             Surface::DT_RIGHT | Surface::DT_SINGLELINE | Surface::DT_BOTTOM);
    DrawText(rangeLine, r, Surface::DT_CENTER | Surface::DT_SINGLELINE | Surface::DT_BOTTOM);
}

void PrtSched::PrintText(const QString& text)
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewPrintText(text, printer_.CurrentX, printer_.CurrentY) : printer_.Print(text));
}

void PrtSched::Line(double x1, double y1, double x2, double y2)
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewLine(x1, y1, x2, y2) : printer_.Line(x1, y1, x2, y2));
}

void PrtSched::Box(double x1, double y1, double x2, double y2)
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewBox(x1, y1, x2, y2) : printer_.Box(x1, y1, x2, y2));
}

void PrtSched::FilledBox(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewFilledBox(x1, y1, x2, y2, colour)
                   : printer_.FilledBox(x1, y1, x2, y2, Magnitude(colour)));
}

void PrtSched::Ellipse(int left, int top, int right, int bottom, std::int32_t colour)
{
    if (PrtStopped) return;
    if (preview_) {
        Check(rec_.PreviewEllipse(left, top, right, bottom, colour));
        return;
    }
    const std::uint32_t fill = printer_.FillColor();
    const int style = printer_.FillStyle();
    printer_.SetFillColor(Magnitude(colour));
    printer_.SetFillStyle(0);
    const Status drawn = printer_.Ellipse(left, top, right, bottom);
    printer_.SetFillColor(fill);
    printer_.SetFillStyle(style);
    Check(drawn);
}

void PrtSched::NewPage()
{
    if (PrtStopped) return;
    Check(preview_ ? rec_.PreviewNewPage() : printer_.NewPage());
}

}  // namespace tavrin
