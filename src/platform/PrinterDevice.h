#pragma once
// The printer as the program's reports use it: the installed printers, the sheet and its
// printable area, fonts and text measures, drawing, the job and its settings.
//
// Positions are twips (1/1440 inch) from the printable area's top left corner, except where
// device pixels are named (text rectangles, ellipses, the physical offsets). Colours are
// 0x00BBGGRR. Every operation that the printer may refuse returns a Status: the caller tests it
// and decides (a set-up message, the printer-error stop).

#include <QPageLayout>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/FontService.h"
#include "platform/PrintingSystem.h"
#include "platform/Result.h"
#include "platform/Surface.h"

class QPagedPaintDevice;
class QPainter;

namespace tavrin {

// One installed printer as the Printer Setup list shows it.
struct PrinterInfo {
    QString DeviceName;
    QString Port;
    friend bool operator==(const PrinterInfo&, const PrinterInfo&) = default;
};

class PrinterDevice {
public:
    // Indexes of GetDeviceCaps: the physical offsets of the printable area, in device pixels.
    static constexpr int PHYSICALOFFSETX = 112;
    static constexpr int PHYSICALOFFSETY = 113;

    virtual ~PrinterDevice() = default;

    // --- device
    virtual std::vector<PrinterInfo> Printers() = 0;
    // The current printer; empty names when there is none.
    virtual PrinterInfo Current() = 0;
    QString DeviceName() { return Current().DeviceName; }
    QString Port() { return Current().Port; }
    // Makes one of Printers() the current printer.
    virtual Status SetCurrent(const PrinterInfo& printer) = 0;
    // Makes sure the current printer and its settings are known, asking the printing system when
    // they are not; fails when it did not answer (or the wait for it was cancelled).
    virtual Status Ready() { return {}; }
    // Why the last Printers() could list the PDF file target only: the printing system did not
    // answer. Empty when it answered, and when none is running.
    virtual QString ListFailure() const { return {}; }
    // True when that was because the wait for it was cancelled.
    virtual bool ListCancelled() const { return false; }

    // --- geometry: the whole sheet and its printable area in twips
    virtual int Width() = 0;
    virtual int Height() = 0;
    virtual int ScaleWidth() = 0;
    virtual int ScaleHeight() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
    // PHYSICALOFFSETX or PHYSICALOFFSETY; 0 for any other index.
    virtual int GetDeviceCaps(int index) = 0;

    // --- text in the current font
    virtual double TextWidth(const QString& text) = 0;
    // Line height times the number of lines (CR, LF and CR LF break lines).
    virtual double TextHeight(const QString& text) = 0;
    // Where Print writes next, in twips.
    double CurrentX = 0;
    double CurrentY = 0;
    // Text with its top at (CurrentX, CurrentY); CurrentX moves past it.
    virtual Status Print(const QString& text) = 0;
    // Text in a rectangle of device pixels, by the flags of DrawTextInRect.
    virtual Status DrawText(const QString& text, const PixelRect& r, int flags) = 0;
    // 1 transparent (the default), 2 opaque (white behind texts).
    virtual void SetBkMode(int mode) = 0;

    // --- font (the setting last taken; each device decides what it takes)
    virtual int FontCount() = 0;
    virtual QString Fonts(int i) = 0;
    QString FontName() const { return fontName_; }
    virtual Status SetFontName(const QString& name) = 0;
    double FontSize() const { return fontSize_; }
    virtual Status SetFontSize(double points) = 0;
    bool FontBold() const { return bold_; }
    virtual Status SetFontBold(bool bold) = 0;
    bool FontItalic() const { return italic_; }
    virtual Status SetFontItalic(bool italic) = 0;

    // --- drawing (twips; both ends and edges included)
    virtual Status Line(double x1, double y1, double x2, double y2) = 0;
    virtual Status Box(double x1, double y1, double x2, double y2) = 0;
    virtual Status FilledBox(double x1, double y1, double x2, double y2, std::uint32_t colour) = 0;
    // An ellipse in the box of device pixels (right and bottom excluded), filled with the fill
    // colour when the fill style is 0 (solid), outlined in the fore colour.
    virtual Status Ellipse(int left, int top, int right, int bottom) = 0;
    // Pen width in device pixels.
    int DrawWidth() const { return drawWidth_; }
    virtual Status SetDrawWidth(int pixels) = 0;
    std::uint32_t ForeColor() const { return fore_; }
    virtual void SetForeColor(std::uint32_t colour) = 0;
    std::uint32_t FillColor() const { return fill_; }
    void SetFillColor(std::uint32_t colour) { fill_ = colour & 0xFFFFFFu; }
    // 0 solid, 1 transparent.
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style) { fillStyle_ = style; }

    // --- job: begun by the first output; NewPage takes effect with the next output, so that
    // EndDoc right after it adds no blank sheet, and EndDoc with nothing drawn sends nothing
    virtual Status NewPage() = 0;
    // Ends the job; fails, with the printing system's reason, when the job was not taken whole.
    virtual Status EndDoc() = 0;
    // Abandons the job in progress, if any.
    virtual void KillDoc() = 0;
    // The name of the jobs from now on: the print queue lists it, a PDF keeps it as its title.
    // A job already begun keeps the name it began with.
    void SetDocName(const QString& name) { docName_ = name; }
    QString DocName() const { return docName_; }
    // The file the last EndDoc wrote; empty when the job went to a print queue or nothing was
    // drawn.
    virtual QString WrittenFile() const { return {}; }

    // --- job settings
    virtual int Copies() = 0;
    virtual Status SetCopies(int copies) = 0;
    // Standard paper codes 1..41 and bin codes 1..14.
    virtual int PaperSize() = 0;
    virtual Status SetPaperSize(int code) = 0;
    virtual int PaperBin() = 0;
    virtual Status SetPaperBin(int code) = 0;
    // 1 portrait, 2 landscape; reading fails when no printer is installed.
    virtual Result<int> Orientation() = 0;
    virtual Status SetOrientation(int orientation) = 0;
    // -1 draft, -2 low, -3 medium, -4 high (or a resolution in dots per inch).
    virtual int PrintQuality() = 0;
    virtual Status SetPrintQuality(int quality) = 0;

protected:
    QString docName_;
    // The font and drawing settings as the device took them.
    QString fontName_ = QStringLiteral("Arial");
    double fontSize_ = 8;
    bool bold_ = false;
    bool italic_ = false;
    int drawWidth_ = 1;
    std::uint32_t fore_ = 0;
    std::uint32_t fill_ = 0;
    int fillStyle_ = 1;
};

// The real printer: the queues of the printing system (CUPS), listed afresh each time they are
// asked for, and a "PDF file" target that always exists (its port the file written). The
// system's default printer is current, else the PDF target. Nothing is asked until the first
// operation that needs the printer, and then every question is bounded (see PrintingSystem): a
// printing system that does not answer leaves the current printer unknown for that command,
// and the operations work on the PDF target's sheet meanwhile. The PDF target never asks it.
//
// The sheet, its printable area and the resolution are the program's own model of the device:
// a queue's sheets, borders, resolutions and paper sources are what its scheduler says it offers.
// A job is drawn into a PDF file: the PDF target's own file (written beside it and renamed when
// complete and on the disk), or for a queue a file in the working folder that EndDoc hands to the
// printing system with the job's options (copies, paper, orientation, bin, quality) and then
// removes. EndDoc fails, with the reason, unless the file was written whole and, for a queue, the
// scheduler took the whole job.
class QtPrinterDevice final : public PrinterDevice {
public:
    // pdfPath: the file the PDF target writes; "Tavrin.pdf" in the user's documents when empty.
    // jobFolder: where a queue's job is drawn before it is sent; the working folder when empty.
    explicit QtPrinterDevice(QString pdfPath = {}, QString jobFolder = {});
    ~QtPrinterDevice() override;

    static QString PdfTargetName() { return QStringLiteral("PDF file"); }

    std::vector<PrinterInfo> Printers() override;
    PrinterInfo Current() override;
    Status SetCurrent(const PrinterInfo& printer) override;
    Status Ready() override;
    QString ListFailure() const override { return listFailure_; }
    bool ListCancelled() const override { return listCancelled_; }

    int Width() override;
    int Height() override;
    int ScaleWidth() override;
    int ScaleHeight() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    int GetDeviceCaps(int index) override;

    double TextWidth(const QString& text) override;
    double TextHeight(const QString& text) override;
    Status Print(const QString& text) override;
    Status DrawText(const QString& text, const PixelRect& r, int flags) override;
    void SetBkMode(int mode) override { bkMode_ = mode; }

    int FontCount() override;
    QString Fonts(int i) override;
    Status SetFontName(const QString& name) override;
    Status SetFontSize(double points) override;
    Status SetFontBold(bool bold) override;
    Status SetFontItalic(bool italic) override;

    Status Line(double x1, double y1, double x2, double y2) override;
    Status Box(double x1, double y1, double x2, double y2) override;
    Status FilledBox(double x1, double y1, double x2, double y2, std::uint32_t colour) override;
    Status Ellipse(int left, int top, int right, int bottom) override;
    Status SetDrawWidth(int pixels) override;
    void SetForeColor(std::uint32_t colour) override { fore_ = colour & 0xFFFFFFu; }

    Status NewPage() override;
    Status EndDoc() override;
    void KillDoc() override;
    QString WrittenFile() const override { return written_; }

    int Copies() override;
    Status SetCopies(int copies) override;
    int PaperSize() override;
    Status SetPaperSize(int code) override;
    int PaperBin() override;
    Status SetPaperBin(int code) override;
    Result<int> Orientation() override;
    Status SetOrientation(int orientation) override;
    int PrintQuality() override;
    Status SetPrintQuality(int quality) override;

private:
    struct Target {
        PrinterInfo info;
        QString queue;  // the printing system's name of the queue; empty for the PDF target
        bool isDefault = false;
        QueueCaps caps;  // what the queue offers, once it is chosen
    };
    class JobFile;
    class Metrics;

    Target PdfTarget() const;
    // The queues as the printing system lists them now, then the PDF target; notes why the
    // queues are missing when it did not answer.
    std::vector<Target> ListTargets();
    // Settles the current printer once: the system's default queue, else the PDF target.
    void Probe();
    void Choose(const Target& target);
    bool IsPdf() const;
    // Begins the job and any page asked for since the last output.
    Status BeginOutput();
    void EndJob();
    // Hands the finished job file to the current queue.
    Status Submit(const QString& file);
    // The sheet the queue offers that is this size, if any.
    const QueueMedia* Offered(const QPageSize& size) const;
    // Device pixels of a twips length.
    double PxX(double tw);
    double PxY(double tw);
    // The printer's font at the current settings, and its metrics on the printer.
    const QFont& PrinterFont();
    double LineSpacing();

    QString pdfPath_;
    QString jobFolder_;
    QString written_;
    PrintingSystem system_;
    bool settled_ = false;
    QString probeFailure_;
    QString listFailure_;
    bool listCancelled_ = false;
    std::vector<Target> listed_;
    Target current_;

    // The job's sheet (size, orientation and printable area: the device's own smallest
    // margins), resolution and copies.
    QPageLayout layout_;
    int resolution_ = 1200;
    int copies_ = 1;
    std::unique_ptr<Metrics> metrics_;
    // The file the job is drawn into and the PDF drawn there.
    std::unique_ptr<JobFile> file_;
    std::unique_ptr<QPagedPaintDevice> job_;
    std::unique_ptr<QPainter> painter_;
    int pendingPages_ = 0;
    int paperCode_ = 0;
    int binCode_ = 0;
    // The settings asked for since the printer was chosen; the others are left to the queue.
    bool orientationSet_ = false;
    bool binSet_ = false;
    bool qualitySet_ = false;
    int quality_ = 0;

    FontService fonts_;
    QStringList fontList_;
    QString family_;
    std::unique_ptr<QFont> font_;
    double lineSpacing_ = -1;

    int bkMode_ = 1;
};

}  // namespace tavrin
