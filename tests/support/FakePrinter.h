#pragma once
// A scripted printer: fixed geometry (Letter at 600 dots per inch, a border of 100 device pixels
// on every side), fonts measured by a simple rule that needs no installed font, errors injected
// by operation name, and a call log written like a recording dump (see RecordingDump.h), so that
// a printed run and a previewed run of the same report can be compared line by line.
//
// Log lines: the drawing calls as in a recording dump (FontSize, DrawText, FontBold, FontItalic,
// ForeColor, DrawWidth, FilledBox, Line, Box, NewPage, EndDoc, Print, Ellipse) plus the calls a
// recording has not (FontName, BkMode, KillDoc, Copies, PaperSize, PaperBin, Orientation,
// PrintQuality, SetCurrent). A refused call ends in "  # refused".

#include <QStringList>
#include <map>
#include <set>
#include <vector>

#include "platform/PrinterDevice.h"

namespace tavrin::test {

class FakePrinter final : public PrinterDevice {
public:
    FakePrinter();

    // --- script
    // The next `times` calls of an operation (by its log name) fail after `skip` that succeed;
    // times < 0 fails every call from then on.
    void Fail(const QString& op, int skip = 0, int times = 1);
    // No printer installed: no printers, reading the orientation fails, every setting is refused.
    bool NoPrinter = false;
    std::vector<PrinterInfo> Installed;
    std::size_t CurrentIndex = 0;
    // Sheet in twips and the unprintable border in pixels at 600 dots per inch (portrait;
    // landscape turns both).
    int SheetWidth = 12240;
    int SheetHeight = 15840;
    int BorderLeftPx = 100;
    int BorderTopPx = 100;
    int BorderRightPx = 100;
    int BorderBottomPx = 100;
    // Offered settings; an empty bin list takes any bin 1..14.
    std::set<int> Papers;
    std::set<int> Bins;
    std::set<int> Qualities{-1, -2, -3, -4};
    QStringList FontList{QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("Times New Roman")};
    // A file target: the file an EndDoc that is not refused writes (none when empty).
    QString OutputFile;

    // --- what happened
    QStringList Log;
    QString Dump() const { return Log.join(QLatin1Char('\n')); }
    int Count(const QString& op) const;
    void ClearLog() { Log.clear(); }

    // --- PrinterDevice
    std::vector<PrinterInfo> Printers() override;
    PrinterInfo Current() override;
    Status SetCurrent(const PrinterInfo& printer) override;
    int Width() override;
    int Height() override;
    int ScaleWidth() override;
    int ScaleHeight() override;
    double TwipsPerPixelX() override { return 1440.0 / Dpi(); }
    double TwipsPerPixelY() override { return 1440.0 / Dpi(); }
    int GetDeviceCaps(int index) override;
    double TextWidth(const QString& text) override;
    double TextHeight(const QString& text) override;
    Status Print(const QString& text) override;
    Status DrawText(const QString& text, const PixelRect& r, int flags) override;
    void SetBkMode(int mode) override;
    int FontCount() override { return static_cast<int>(FontList.size()); }
    QString Fonts(int i) override { return i >= 0 && i < FontCount() ? FontList[i] : QString(); }
    Status SetFontName(const QString& name) override;
    Status SetFontSize(double points) override;
    Status SetFontBold(bool bold) override;
    Status SetFontItalic(bool italic) override;
    Status Line(double x1, double y1, double x2, double y2) override;
    Status Box(double x1, double y1, double x2, double y2) override;
    Status FilledBox(double x1, double y1, double x2, double y2, std::uint32_t colour) override;
    Status Ellipse(int left, int top, int right, int bottom) override;
    Status SetDrawWidth(int pixels) override;
    void SetForeColor(std::uint32_t colour) override;
    Status NewPage() override;
    Status EndDoc() override;
    void KillDoc() override;
    QString WrittenFile() const override { return written_; }
    int Copies() override { return copies_; }
    Status SetCopies(int copies) override;
    int PaperSize() override { return paper_; }
    Status SetPaperSize(int code) override;
    int PaperBin() override { return bin_; }
    Status SetPaperBin(int code) override;
    Result<int> Orientation() override;
    Status SetOrientation(int orientation) override;
    int PrintQuality() override { return quality_; }
    Status SetPrintQuality(int quality) override;

private:
    struct Rule {
        int skip;
        int times;
    };
    // Logs a call and says whether it is refused (by the script or by `refused`).
    Status Call(const QString& op, const QString& args, bool refused = false);
    int Dpi() const;
    double LineHeight() const;

    std::map<QString, Rule> rules_;
    QString written_;
    int copies_ = 1;
    int paper_ = 1;
    int bin_ = 7;
    int orientation_ = 1;
    int quality_ = -3;
};

}  // namespace tavrin::test
