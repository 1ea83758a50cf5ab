// Page pictures written as GIF files and read back with giflib.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/GifWriter.h"
#include "support/GifReader.h"

namespace tavrin {
namespace {

using test::GifPicture;
using test::ReadGif;

class GifWriterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    GifPicture SaveAndRead(const QString& name = QStringLiteral("p.gif"))
    {
        const Status st = gif.Save(Path(name));
        EXPECT_TRUE(st) << st.message().toStdString();
        return ReadGif(Path(name));
    }
    // A page-like picture: white with a few flat colours, no antialiasing.
    static QImage Page()
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.fillRect(2, 2, 10, 5, QColor(255, 0, 0));
        p.fillRect(20, 10, 8, 8, QColor(0xC0, 0xC0, 0xC0));
        p.fillRect(5, 20, 30, 2, QColor(0, 0, 128));
        p.fillRect(30, 2, 3, 3, QColor(1, 2, 3));
        return image;
    }
    static std::uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

    QTemporaryDir dir;
    GifWriter gif;
};

TEST_F(GifWriterTest, FewColoursAreKeptExactly)
{
    const QImage page = Page();
    gif.SetImage(page);
    EXPECT_EQ(gif.BitsPerPixel(), 32);
    ASSERT_TRUE(gif.ColorReduce());
    EXPECT_EQ(gif.BitsPerPixel(), 8);
    EXPECT_EQ(gif.Palette().size(), 5u);
    const GifPicture read = SaveAndRead();
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_EQ(read.Width, 40);
    EXPECT_EQ(read.Height, 30);
    EXPECT_EQ(read.Palette.size(), 8u);  // a GIF palette has a power of two entries
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(read.Pixel(x, y), Rgb(page, x, y)) << x << "," << y;
}

TEST_F(GifWriterTest, OneColourAndOnePixel)
{
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(QColor(10, 20, 30, 0));  // alpha is ignored
    gif.SetImage(dot);
    const GifPicture read = SaveAndRead();
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_EQ(read.Pixel(0, 0), 0x0A141Eu);
}

TEST_F(GifWriterTest, MoreThan256ColoursAreQuantized)
{
    QImage ramp(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ramp.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
    gif.SetImage(ramp);
    const GifPicture read = SaveAndRead();
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_LE(read.Palette.size(), 256u);
    // Near the original everywhere, close on average.
    int worst = 0;
    long total = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t a = read.Pixel(x, y);
            const QRgb b = ramp.pixel(x, y);
            const int d = std::abs(int(a >> 16) - qRed(b)) + std::abs(int((a >> 8) & 0xFF) - qGreen(b)) +
                          std::abs(int(a & 0xFF) - qBlue(b));
            worst = std::max(worst, d);
            total += d;
        }
    EXPECT_LE(worst, 96);
    EXPECT_LE(total / (64 * 64), 24);
}

TEST_F(GifWriterTest, CropsAreClippedToThePicture)
{
    const QImage page = Page();
    struct Case {
        QRect crop;
        QRect expected;
    };
    const Case cases[] = {
        {QRect(2, 2, 10, 5), QRect(2, 2, 10, 5)},      // inside
        {QRect(35, 25, 20, 20), QRect(35, 25, 5, 5)},  // past the right and bottom edges
        {QRect(-5, -5, 10, 10), QRect(0, 0, 5, 5)},    // before the left and top edges
        {QRect(100, 100, 5, 5), QRect(0, 0, 40, 30)},  // outside: the picture stays whole
        {QRect(0, 0, 40, 30), QRect(0, 0, 40, 30)},    // the whole picture
    };
    for (const Case& c : cases) {
        gif.SetImage(page);
        gif.Crop(c.crop);
        const GifPicture read = SaveAndRead();
        ASSERT_TRUE(read.Ok);
        EXPECT_EQ(read.Width, c.expected.width()) << c.crop.x();
        EXPECT_EQ(read.Height, c.expected.height()) << c.crop.x();
        for (int y = 0; y < read.Height; ++y)
            for (int x = 0; x < read.Width; ++x)
                ASSERT_EQ(read.Pixel(x, y), Rgb(page, c.expected.x() + x, c.expected.y() + y));
    }
}

TEST_F(GifWriterTest, FailuresAreReturned)
{
    gif.SetImage(Page());
    // A folder that is a file: the file cannot be created.
    QFile plain(Path(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString inFile = Path(QStringLiteral("plain/p.gif"));
    const Status notDir = gif.Save(inFile);
    EXPECT_FALSE(notDir);
    EXPECT_TRUE(notDir.message().startsWith(QStringLiteral("Cannot write ") + inFile))
        << notDir.message().toStdString();

    // A path that is a folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.gif")));
    EXPECT_FALSE(gif.Save(Path(QStringLiteral("taken.gif"))));

    // Larger than a GIF can say: refused before anything is written.
    gif.SetImage(QImage(70000, 1, QImage::Format_RGB32));
    const Status tooWide = gif.Save(Path(QStringLiteral("wide.gif")));
    EXPECT_FALSE(tooWide);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("wide.gif"))));

    // A full disk.
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        gif.SetImage(Page());
        EXPECT_FALSE(gif.Save(QStringLiteral("/dev/full")));
    }
}

}  // namespace
}  // namespace tavrin
