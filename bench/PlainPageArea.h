#pragma once
// The page area of a printed run as the baselines take it from the printer: the margins less the
// printer's borders, on whole printer pixels, and edges kept off the printable area's border.

#include <algorithm>
#include <array>

#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"

namespace tavrin::bench {

struct PlainPageArea {
    double tpx = 1, tpy = 1;
    int left = 0, right = 0, top = 0, bottom = 0;

    int Px(double t) const { return Runtime::CInt(t / tpx); }
    int Py(double t) const { return Runtime::CInt(t / tpy); }
    double SnapX(double t) const { return Px(t) * tpx; }
    double SnapY(double t) const { return Py(t) * tpy; }
    PixelRect Rect(double l, double t, double r, double b) const { return {Px(l), Py(t), Px(r), Py(b)}; }
};

// margins: top, bottom, left and right in twips; pullIn: printer pixels a right or bottom edge on
// the border moves in.
inline PlainPageArea MeasurePageArea(PrinterDevice& p, const std::array<int, 4>& margins, int pullIn)
{
    PlainPageArea a;
    a.tpx = p.TwipsPerPixelX();
    a.tpy = p.TwipsPerPixelY();
    const double offX = static_cast<int>(p.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETX) * a.tpx);
    const double offY = static_cast<int>(p.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETY) * a.tpy);
    const int sw = p.ScaleWidth(), sh = p.ScaleHeight();
    a.left = Runtime::CInt(a.SnapX(std::max(0.0, margins[2] - offX)));
    a.right = Runtime::CInt(a.SnapX(sw - std::max(0.0, margins[3] - (double(p.Width()) - sw - offX))));
    a.top = Runtime::CInt(a.SnapY(std::max(0.0, margins[0] - offY)));
    a.bottom = Runtime::CInt(a.SnapY(sh - std::max(0.0, margins[1] - (double(p.Height()) - sh - offY))));
    if (a.left == 0) a.left = Runtime::CInt(a.tpx);
    if (a.top == 0) a.top = Runtime::CInt(a.tpy);
    if (a.right == sw) a.right = Runtime::CInt(sw - pullIn * a.tpx);
    if (a.bottom == sh) a.bottom = Runtime::CInt(sh - pullIn * a.tpy);
    return a;
}

}  // namespace tavrin::bench
