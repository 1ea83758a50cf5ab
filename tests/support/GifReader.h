#pragma once
// Reads a GIF file back with giflib's DGifSlurp, for tests of written pictures.

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace tavrin::test {

struct GifPicture {
    bool Ok = false;
    QString Error;
    int Width = 0;
    int Height = 0;
    int Images = 0;
    // The colours of the global palette (0x00RRGGBB) and the first image's indexes.
    std::vector<std::uint32_t> Palette;
    std::vector<std::uint8_t> Raster;

    // A pixel of the first image as 0x00RRGGBB.
    std::uint32_t Pixel(int x, int y) const { return Palette[Raster[std::size_t(y) * std::size_t(Width) + x]]; }
    QImage ToImage() const;
};

GifPicture ReadGif(const QString& path);

}  // namespace tavrin::test
