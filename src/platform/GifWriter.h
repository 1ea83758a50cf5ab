#pragma once
// Page pictures as GIF files: a picture is taken in, cropped to a pixel rectangle, reduced to an
// 8-bit palette and written. A picture of at most 256 colours (page pictures are drawn without
// antialiasing) keeps its colours exactly; one with more is reduced by giflib's quantizer.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/Result.h"

namespace tavrin {

class GifWriter {
public:
    // Takes the picture in (any format; alpha is ignored), dropping a previous reduction.
    void SetImage(const QImage& image);
    // Crops to r clipped to the picture; a rectangle that misses the picture leaves it whole.
    void Crop(const QRect& r);
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // 8 once reduced, else 32.
    int BitsPerPixel() const { return reduced_ ? 8 : 32; }
    // Reduces the picture to an 8-bit palette; a failure of giflib's quantizer is returned.
    Status ColorReduce();
    // The picture as a GIF file's bytes (reduced first when it is not yet).
    Result<QByteArray> Encode();
    // Writes the GIF to path, replacing a file of that name; any failure of giflib or of the
    // file is returned as "Cannot write " + path + the reason.
    Status Save(const QString& path);

    // The reduced picture: one palette index per pixel, row after row, and the palette
    // (0x00RRGGBB).
    const std::vector<std::uint8_t>& Raster() const { return raster_; }
    const std::vector<std::uint32_t>& Palette() const { return palette_; }

private:
    bool ExactPalette();
    Status Quantize();

    QImage image_;
    bool reduced_ = false;
    std::vector<std::uint8_t> raster_;
    std::vector<std::uint32_t> palette_;
};

}  // namespace tavrin
