#include "support/GifReader.h"

#include <gif_lib.h>

#include <QFile>

namespace tavrin::test {

QImage GifPicture::ToImage() const
{
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) image.setPixel(x, y, 0xFF000000u | Pixel(x, y));
    return image;
}

GifPicture ReadGif(const QString& path)
{
    GifPicture out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif) {
        out.Error = QString::fromLatin1(GifErrorString(error));
        return out;
    }
    if (DGifSlurp(gif) == GIF_ERROR) {
        out.Error = QString::fromLatin1(GifErrorString(gif->Error));
    } else if (gif->ImageCount < 1 || !gif->SColorMap) {
        out.Error = QStringLiteral("no image or no palette");
    } else {
        out.Ok = true;
        out.Width = gif->SWidth;
        out.Height = gif->SHeight;
        out.Images = gif->ImageCount;
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType c = gif->SColorMap->Colors[i];
            out.Palette.push_back((std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue);
        }
        const SavedImage& image = gif->SavedImages[0];
        const std::size_t n = std::size_t(image.ImageDesc.Width) * std::size_t(image.ImageDesc.Height);
        out.Raster.assign(image.RasterBits, image.RasterBits + n);
        // Indexes past the palette would read outside it.
        for (std::uint8_t& v : out.Raster) {
            if (v >= out.Palette.size()) {
                out.Ok = false;
                out.Error = QStringLiteral("an index past the palette");
                break;
            }
        }
        if (image.ImageDesc.Width != out.Width || image.ImageDesc.Height != out.Height) {
            out.Ok = false;
            out.Error = QStringLiteral("the image is not the size of the screen");
        }
    }
    DGifCloseFile(gif, nullptr);
    return out;
}

}  // namespace tavrin::test
