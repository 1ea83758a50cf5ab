#include "platform/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>

#include "platform/FileReplace.h"

namespace tavrin {

namespace {

// A GIF's sizes are 16-bit.
constexpr int kMaxSide = 65535;

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int n)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), n);
    return n;
}

QString GifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? QString::fromLatin1(text) : QStringLiteral("GIF error %1").arg(code);
}

}  // namespace

void GifWriter::SetImage(const QImage& image)
{
    image_ = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    reduced_ = false;
    raster_.clear();
    palette_.clear();
}

void GifWriter::Crop(const QRect& r)
{
    const QRect inside = r.intersected(image_.rect());
    if (inside.isEmpty() || inside == image_.rect()) return;
    image_ = image_.copy(inside);
    reduced_ = false;
}

bool GifWriter::ExactPalette()
{
    // Open addressing over the few colours of a page; runs of one colour skip the lookup.
    constexpr std::size_t kSlots = 1024;
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour
    std::array<std::uint32_t, kSlots> keys;
    std::array<std::uint8_t, kSlots> values{};
    keys.fill(kEmpty);
    const int w = image_.width();
    const int h = image_.height();
    palette_.clear();
    std::uint32_t last = kEmpty;
    std::uint8_t lastIndex = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y));
        std::uint8_t* out = raster_.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = row[x] & 0xFFFFFFu;
            if (c != last) {
                std::size_t slot = (c * 2654435761u) >> 22;
                while (keys[slot] != kEmpty && keys[slot] != c) slot = (slot + 1) % kSlots;
                if (keys[slot] == kEmpty) {
                    if (palette_.size() == 256) return false;
                    keys[slot] = c;
                    values[slot] = static_cast<std::uint8_t>(palette_.size());
                    palette_.push_back(c);
                }
                last = c;
                lastIndex = values[slot];
            }
            out[x] = lastIndex;
        }
    }
    return true;
}

Status GifWriter::Quantize()
{
    const int w = image_.width();
    const int h = image_.height();
    const std::size_t n = std::size_t(w) * std::size_t(h);
    std::vector<GifByteType> red(n), green(n), blue(n);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        const std::size_t at = std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            red[at + x] = static_cast<GifByteType>(qRed(row[x]));
            green[at + x] = static_cast<GifByteType>(qGreen(row[x]));
            blue[at + x] = static_cast<GifByteType>(qBlue(row[x]));
        }
    }
    int size = 256;
    std::array<GifColorType, 256> map{};
    if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &size, red.data(), green.data(),
                          blue.data(), raster_.data(), map.data()) == GIF_ERROR) {
        return Status::error(QStringLiteral("The picture cannot be reduced to 256 colours."));
    }
    size = std::clamp(size, 1, 256);
    palette_.resize(std::size_t(size));
    for (int i = 0; i < size; ++i) {
        palette_[std::size_t(i)] = (std::uint32_t(map[std::size_t(i)].Red) << 16) |
                                   (std::uint32_t(map[std::size_t(i)].Green) << 8) | map[std::size_t(i)].Blue;
    }
    return {};
}

Status GifWriter::ColorReduce()
{
    if (reduced_) return {};
    raster_.assign(std::size_t(image_.width()) * std::size_t(image_.height()), 0);
    if (!ExactPalette()) TAVRIN_TRY(Quantize());
    reduced_ = true;
    return {};
}

Result<QByteArray> GifWriter::Encode()
{
    const int w = image_.width();
    const int h = image_.height();
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) {
        return Status::error(QStringLiteral("A GIF picture cannot be %1 by %2 pixels.").arg(w).arg(h));
    }
    TAVRIN_TRY(ColorReduce());

    // A palette of a power of two entries, at least 2.
    const int bits = GifBitSize(std::max<int>(2, static_cast<int>(palette_.size())));
    std::vector<GifColorType> colours(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(palette_[i] >> 16), static_cast<GifByteType>(palette_[i] >> 8),
                      static_cast<GifByteType>(palette_[i])};
    }

    QByteArray out;
    out.reserve(static_cast<qsizetype>(raster_.size() / 8 + 1024));
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendToBuffer, &error);
    if (!gif) return Status::error(GifError(error));
    gif->SWidth = w;
    gif->SHeight = h;
    gif->SColorResolution = 8;
    gif->SBackGroundColor = 0;
    // The screen descriptor keeps a copy of the palette, which giflib frees; this one is ours.
    ColorMapObject* palette = GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
    if (!palette) {
        EGifCloseFile(gif, nullptr);
        return Status::error(GifError(E_GIF_ERR_NOT_ENOUGH_MEM));
    }
    gif->SColorMap = palette;
    // The one image is ours: giflib writes it and leaves it alone when it closes.
    SavedImage image{};
    image.ImageDesc.Left = 0;
    image.ImageDesc.Top = 0;
    image.ImageDesc.Width = w;
    image.ImageDesc.Height = h;
    image.ImageDesc.Interlace = false;
    image.ImageDesc.ColorMap = nullptr;
    image.RasterBits = raster_.data();
    gif->ImageCount = 1;
    gif->SavedImages = &image;
    if (EGifSpew(gif) == GIF_ERROR) {
        // A failed spew leaves the file open, holding our palette until it took its copy.
        const int code = gif->Error;
        if (gif->SColorMap != palette) GifFreeMapObject(palette);
        gif->SavedImages = nullptr;
        gif->ImageCount = 0;
        EGifCloseFile(gif, nullptr);
        return Status::error(GifError(code));
    }
    GifFreeMapObject(palette);
    return out;
}

Status GifWriter::Save(const QString& path)
{
    Result<QByteArray> bytes = Encode();
    if (!bytes) return Status::error(QStringLiteral("Cannot write %1: %2").arg(path, bytes.message()));
    return WriteWholeFile(path, *bytes);
}

}  // namespace tavrin
