#pragma once
// Plays the command records of one recorded page on a page picture the size of the sheet, as
// the preview window shows it, and draws a page's lines again on a reduced thumbnail.
//
// Text rectangles and ellipses are device pixels of the printer: a value v lands on screen pixel
// (v x printer twips per pixel) \ screen twips per pixel, plus the printer's offset \ screen
// twips per pixel (integer division rounds both operands, then truncates). Boxes, lines and
// printed texts are twips plus the offsets. Line widths are not played: lines are one pixel.

#include <QString>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "platform/FontService.h"
#include "printing/PreviewRec.h"

namespace tavrin {

class Surface;
class WorkFile;

class PageReplay {
public:
    explicit PageReplay(FontService& fonts) : fonts_(fonts) {}

    // --- the recording context
    int PrinterOffsetX = 0;  // twips
    int PrinterOffsetY = 0;
    int TextNudgeX = 0;  // screen pixels added to the left edge of text rectangles
    double PrinterTppX = 1;
    double PrinterTppY = 1;
    int ScreenTppX = 15;
    int ScreenTppY = 15;
    QString ReportFontName;
    bool ReportFontBold = false;
    bool ReportFontItalic = false;

    // --- state kept between pages
    // The report font could not be had: "Arial" in the printer's font stays, font commands are
    // ignored.
    bool FontLocked = false;
    bool LastBold = false;
    bool LastItalic = false;
    // The box around everything drawn on the page picture, in screen pixels.
    double InkLeft = 99999;
    double InkTop = 99999;
    double InkRight = 0;
    double InkBottom = 0;
    void ResetInk();

    // Takes the report font for the page picture; when there is none of that name, "Arial" at
    // the printer's size, bold and italic, and FontLocked.
    void LoadFont(Surface& page, double printerSize, bool printerBold, bool printerItalic);
    // Clears the page picture and plays a page's records on it; lines and boxes only when
    // `lines` (in fit mode they go on the thumbnail instead).
    void Render(Surface& page, const std::vector<PreviewCommandRecord>& records, const WorkFile& texts, bool lines);
    // Lines and boxes of a page on a thumbnail, twips scaled by scaleX and scaleY.
    void DrawThumbLines(Surface& thumb, const std::vector<PreviewCommandRecord>& records, double scaleX,
                        double scaleY) const;

    // A printer-pixel rectangle of a record on the page picture (left, top, right, bottom).
    std::tuple<int, int, int, int> ScreenRect(const PreviewCommandRecord& r) const;

private:
    void SetFont(Surface& page, double size, bool bold, bool italic);
    void Ink(double left, double top, double right, double bottom);
    int PxX(std::int32_t v) const;
    int PxY(std::int32_t v) const;
    // Twips of a record plus an offset, kept inside the range the picture's arithmetic takes.
    static int Tw(std::int64_t v);

    FontService& fonts_;
    double size_ = 10;
    bool bold_ = false;
    bool italic_ = false;
    std::map<std::tuple<long, bool, bool>, ScreenFont> cache_;
};

}  // namespace tavrin
