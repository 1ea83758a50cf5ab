#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "PrintFixture.h"
#include "platform/Cp1252.h"
#include "support/FileSizeLimit.h"

namespace tavrin::test {
namespace {

class PreviewRecTest : public PrintFixture {
protected:
    void SetUp() override { ASSERT_TRUE(rec.OpenPreviewFiles()); }
};

PreviewCommandRecord Rec(int code, int a, int b, int c, int d, int value, int pos, int len)
{
    return {static_cast<std::int16_t>(code), a, b, c, d, value, pos, static_cast<std::int16_t>(len)};
}

TEST_F(PreviewRecTest, EachCommandWritesOneRecordOfItsFields)
{
    // Each step leaves the fields the command does not set as the record before it had them.
    struct Step {
        std::function<Status()> op;
        PreviewCommandRecord expected;
    };
    const Step steps[] = {
        {[&] { return rec.PreviewFontSize(8.5); }, Rec(1, 0, 0, 0, 0, 8, 0, 0)},
        {[&] {
             return rec.PreviewDrawText(QStringLiteral("Run"), {10, 20, 300, 40}, 33);
         },
         Rec(2, 10, 20, 300, 40, 33, 1, 3)},
        {[&] { return rec.PreviewFontBold(true); }, Rec(3, 10, 20, 300, 40, -1, 1, 3)},
        {[&] { return rec.PreviewFontItalic(false); }, Rec(4, 10, 20, 300, 40, 0, 1, 3)},
        {[&] { return rec.PreviewForeColor(0x0000FF); }, Rec(5, 10, 20, 300, 40, 255, 1, 3)},
        {[&] { return rec.PreviewDrawWidth(2.5); }, Rec(6, 10, 20, 300, 40, 2, 1, 3)},
        // Both x values first, then both y values.
        {[&] { return rec.PreviewFilledBox(100.5, 200, 300, 400.5, -255); }, Rec(7, 100, 300, 200, 400, -255, 1, 3)},
        {[&] { return rec.PreviewLine(1, 2, 3, 4); }, Rec(8, 1, 3, 2, 4, -255, 1, 3)},
        {[&] { return rec.PreviewBox(5, 6, 7, 8); }, Rec(9, 5, 7, 6, 8, -255, 1, 3)},
        {[&] { return rec.PreviewPrintText(QStringLiteral("Page"), 1440.5, 720); }, Rec(12, 1440, 0, 720, 0, 0, 4, 4)},
        {[&] { return rec.PreviewEllipse(11, 12, 31, 32, 230); }, Rec(13, 11, 12, 31, 32, 230, 4, 4)},
        {[&] { return rec.PreviewNewPage(); }, Rec(10, 11, 12, 31, 32, 230, 4, 4)},
        {[&] { return rec.PreviewEndDocument(); }, Rec(11, 11, 12, 31, 32, 230, 4, 4)},
    };
    int n = 0;
    for (const Step& s : steps) {
        ASSERT_TRUE(s.op());
        ++n;
        EXPECT_EQ(rec.PreviewCmdCount, n);
        EXPECT_EQ(Record(n), s.expected) << "record " << n;
    }
    EXPECT_EQ(Commands().size(), n * 28);
    EXPECT_EQ(Texts(), QByteArray("RunPage"));
    // The byte layout: code at 0, A at 2, Value at 18, TextPos at 22, TextLen at 26.
    const QByteArray bytes = Commands().mid(28, 28);
    EXPECT_EQ(bytes.toHex(), QByteArray("0200"
                                        "0a000000"
                                        "14000000"
                                        "2c010000"
                                        "28000000"
                                        "21000000"
                                        "01000000"
                                        "0300"));
}

TEST_F(PreviewRecTest, NumbersRoundHalvesToEven)
{
    for (auto [size, stored] : {std::pair{8.5, 8}, {9.5, 10}, {10.49, 10}, {-0.5, 0}}) {
        ASSERT_TRUE(rec.PreviewFontSize(size));
        EXPECT_EQ(Record(int(rec.PreviewCmdCount)).Value, stored) << size;
    }
    ASSERT_TRUE(rec.PreviewLine(2.5, 3.5, 1e12, -1e12));
    const PreviewCommandRecord r = Record(int(rec.PreviewCmdCount));
    EXPECT_EQ(r.A, 2);
    EXPECT_EQ(r.C, 4);
    EXPECT_EQ(r.B, INT32_MAX);
    EXPECT_EQ(r.D, INT32_MIN);
}

TEST_F(PreviewRecTest, TextsChainAndEmptyTextsTakeNoRoom)
{
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("Fish & Chips"), {0, 0, 10, 10}, 0));
    ASSERT_TRUE(rec.PreviewDrawText(QString(), {0, 0, 10, 10}, 0));
    ASSERT_TRUE(rec.PreviewPrintText(QStringLiteral("Zoë €"), 0, 0));
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("Łódź"), {0, 0, 10, 10}, 0));
    EXPECT_EQ(Record(1).TextPos, 1);
    EXPECT_EQ(Record(1).TextLen, 12);
    EXPECT_EQ(Record(2).TextPos, 13);
    EXPECT_EQ(Record(2).TextLen, 0);
    EXPECT_EQ(Record(3).TextPos, 13);
    EXPECT_EQ(Record(3).TextLen, 5);
    EXPECT_EQ(Record(4).TextPos, 18);
    EXPECT_EQ(rec.PreviewTextPos, 22);
    // Windows-1252 bytes; characters it lacks are "?".
    EXPECT_EQ(Texts(), QByteArray("Fish & ChipsZo\xeb \x80?\xf3"
                                  "d?"));
    EXPECT_EQ(ReadPreviewText(rec.TextFile(), Record(3)), QStringLiteral("Zoë €"));
}

TEST_F(PreviewRecTest, PageCountContractBothWays)
{
    // (a) an end of page after every page: the index points past each one.
    ASSERT_TRUE(rec.PreviewLine(0, 0, 1, 1));
    ASSERT_TRUE(rec.PreviewNewPage());
    ASSERT_TRUE(rec.PreviewEndDocument());
    EXPECT_EQ(rec.PreviewPageCount, 2);
    EXPECT_EQ(rec.PreviewPageIndex(1), 1);
    EXPECT_EQ(rec.PreviewPageIndex(2), 3);
    EXPECT_EQ(Record(3).Command, Pv::EndDocument);

    // (b) ends of page only between pages; the end of the document does not count a page.
    ASSERT_TRUE(rec.OpenPreviewFiles());
    ASSERT_TRUE(rec.PreviewLine(0, 0, 1, 1));
    ASSERT_TRUE(rec.PreviewEndDocument());
    EXPECT_EQ(rec.PreviewPageCount, 1);
    EXPECT_EQ(ReadPreviewPage(rec.CommandFile(), rec.PreviewPageIndex(1)).size(), 2u);
}

TEST_F(PreviewRecTest, OpeningAgainDiscardsTheOpenRecording)
{
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("old"), {0, 0, 1, 1}, 0));
    ASSERT_TRUE(rec.PreviewNewPage());
    ASSERT_TRUE(rec.OpenPreviewFiles());
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_TRUE(Texts().isEmpty());
    EXPECT_EQ(rec.PreviewCmdCount, 0);
    EXPECT_EQ(rec.PreviewTextPos, 1);
    EXPECT_EQ(rec.PreviewPageCount, 1);
    EXPECT_EQ(rec.PreviewPageIndex(2), 0);
    // The buffer starts over: a first bold carries no old coordinates.
    ASSERT_TRUE(rec.PreviewFontBold(true));
    EXPECT_EQ(Record(1), Rec(3, 0, 0, 0, 0, -1, 0, 0));
}

TEST_F(PreviewRecTest, LargeRecordingsKeepEveryPageAndCutLongTexts)
{
    // 250 pages of 160 commands: more pages and records than 16-bit counters hold.
    for (int page = 1; page <= 250; ++page) {
        for (int i = 0; i < 159; ++i) ASSERT_TRUE(rec.PreviewLine(page, i, page, i));
        ASSERT_TRUE(rec.PreviewNewPage());
    }
    ASSERT_TRUE(rec.PreviewEndDocument());
    EXPECT_EQ(rec.PreviewCmdCount, 40001);
    EXPECT_EQ(rec.PreviewPageCount, 251);
    EXPECT_EQ(rec.PreviewPageIndex(250), 249 * 160 + 1);
    const auto last = ReadPreviewPage(rec.CommandFile(), rec.PreviewPageIndex(250));
    ASSERT_EQ(last.size(), 160u);
    EXPECT_EQ(last.front().A, 250);
    EXPECT_EQ(last.back().Command, Pv::NewPage);

    ASSERT_TRUE(rec.PreviewPrintText(QString(40000, QLatin1Char('x')), 0, 0));
    EXPECT_EQ(Record(int(rec.PreviewCmdCount)).TextLen, 32767);
    EXPECT_EQ(Texts().size(), 32767);
}

TEST_F(PreviewRecTest, FilesThatCannotBeMadeAreReported)
{
    PreviewRec lost(dir.path() + QStringLiteral("/missing"));
    EXPECT_FALSE(lost.OpenPreviewFiles());
    EXPECT_FALSE(lost.FilesOpen());
    EXPECT_FALSE(lost.PreviewLine(0, 0, 1, 1));
}

TEST_F(PreviewRecTest, LinksInThePlaceOfThePreviewFilesAreReplacedNeverFollowed)
{
    rec.ClosePreviewFiles();
    QTemporaryDir elsewhere;
    const QString kept = elsewhere.filePath(QStringLiteral("kept"));
    const QString made = elsewhere.filePath(QStringLiteral("made"));
    {
        QFile f(kept);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a recording");
    }
    // One link to a file of the user's, one to a file that does not exist yet.
    ASSERT_TRUE(QFile::remove(rec.CommandPath()) && QFile::remove(rec.TextPath()));
    ASSERT_TRUE(QFile::link(kept, rec.CommandPath()));
    ASSERT_TRUE(QFile::link(made, rec.TextPath()));
    ASSERT_TRUE(rec.OpenPreviewFiles());
    ASSERT_TRUE(rec.PreviewPrintText(QStringLiteral("Week 1"), 0, 0));
    rec.ClosePreviewFiles();
    for (const QString& path : {rec.CommandPath(), rec.TextPath()}) {
        EXPECT_FALSE(QFileInfo(path).isSymLink()) << path.toStdString();
        EXPECT_GT(QFileInfo(path).size(), 0) << path.toStdString();
    }
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("not a recording"));
    EXPECT_FALSE(QFileInfo::exists(made));
}

TEST_F(PreviewRecTest, TheRecordingIsWrittenAPageAtATime)
{
    const auto onDisk = [this] { return QFileInfo(rec.CommandPath()).size(); };
    constexpr qint64 kSize = PreviewCommandRecord::Size;
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("Ann"), {1, 2, 3, 4}, 32));
    ASSERT_TRUE(rec.PreviewLine(1, 2, 3, 4));
    EXPECT_EQ(onDisk(), 0);  // gathered until the page ends
    ASSERT_TRUE(rec.PreviewNewPage());
    EXPECT_EQ(onDisk(), 3 * kSize);
    EXPECT_EQ(rec.PreviewPageIndex(2), 4);
    ASSERT_TRUE(rec.PreviewDrawText(QStringLiteral("Carl"), {5, 6, 7, 8}, 33));
    ASSERT_TRUE(rec.PreviewEndDocument());
    EXPECT_EQ(onDisk(), 5 * kSize);
    EXPECT_EQ(Texts(), QByteArray("AnnCarl"));

    // A write that fails is reported at the end of its page.
    const FileSizeLimit full(5 * kSize + 10);
    EXPECT_TRUE(rec.PreviewLine(1, 2, 3, 4));
    EXPECT_FALSE(rec.PreviewNewPage());
}

TEST_F(PreviewRecTest, CheckPrinterReady)
{
    rec.CheckPrinterReady(printer);
    EXPECT_TRUE(rec.PrinterAvailable);
    printer.NoPrinter = true;
    rec.CheckPrinterReady(printer);
    EXPECT_FALSE(rec.PrinterAvailable);
}

}  // namespace
}  // namespace tavrin::test
