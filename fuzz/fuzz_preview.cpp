// Any bytes as a preview recording: a command file and a text file, with a page index as the
// recorder would have kept it plus one entry from the input, replayed page by page as the
// preview window plays them (full size, then the thumbnail's lines).
//
// Input: 2 bytes (little-endian) the length of the text file, 1 byte of switches (bit 0 the
// report font missing), 4 bytes an extra page-index entry, then the text file and the command
// file.

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "platform/FontService.h"
#include "platform/Surface.h"
#include "platform/WorkFile.h"
#include "printing/PageReplay.h"
#include "printing/PreviewRec.h"

using namespace tavrin;

namespace {

// Made once and kept to the end: fonts need it, and the font caches it holds stay reachable.
void App()
{
    static int argc = 1;
    static char name[] = "fuzz_preview";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

}  // namespace

// Fontconfig keeps the patterns of the fallback fonts it finds for new characters and never frees
// them; those are not this program's leaks.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    App();
    static const fuzz::Folders folders;
    static FontService fonts(96);
    constexpr std::size_t kHeader = 7;
    if (size < kHeader) return 0;
    const std::size_t textLength = std::min<std::size_t>(data[0] | (data[1] << 8), size - kHeader);
    const bool fontMissing = (data[2] & 1) != 0;
    std::int32_t extra = 0;
    std::memcpy(&extra, data + 3, 4);
    const char* texts = reinterpret_cast<const char*>(data + kHeader);
    const char* commands = texts + textLength;
    const std::size_t commandLength = size - kHeader - textLength;

    folders.Clear();
    PreviewRec names(folders.work);
    fuzz::Folders::Write(names.TextPath(), texts, static_cast<qsizetype>(textLength));
    fuzz::Folders::Write(names.CommandPath(), commands, static_cast<qsizetype>(commandLength));
    WorkFile commandFile;
    WorkFile textFile;
    if (!commandFile.open(names.CommandPath(), int(PreviewCommandRecord::Size)) ||
        !textFile.open(names.TextPath(), 1)) {
        return 0;
    }

    // The page index the recorder keeps: record 1, and the record after each end of page.
    std::vector<std::int64_t> index{1};
    for (std::int64_t n = 1; n <= commandFile.recordCount(); ++n) {
        const auto page = ReadPreviewPage(commandFile, n);
        if (page.empty()) break;
        n += static_cast<std::int64_t>(page.size()) - 1;
        if (page.back().Command == Pv::NewPage) index.push_back(n + 1);
    }
    index.push_back(extra);

    Surface page(15, 15);
    page.Resize(408, 528);
    Surface thumb(15, 15);
    thumb.Resize(102, 132);
    PageReplay replay(fonts);
    replay.PrinterTppX = replay.PrinterTppY = 2.4;
    replay.PrinterOffsetX = replay.PrinterOffsetY = 240;
    replay.TextNudgeX = 1;
    replay.ReportFontName = fontMissing ? QString() : QStringLiteral("Arial");
    replay.LoadFont(page, 8, false, false);
    for (std::int64_t first : index) {
        const std::vector<PreviewCommandRecord> records = ReadPreviewPage(commandFile, first);
        replay.Render(page, records, textFile, true);
        replay.DrawThumbLines(thumb, records, 0.25, 0.25);
    }
    return 0;
}
