// Any bytes as a first-version schedule: the settings file (the first 526 bytes), then the
// employee, shift, explanation and notes files (each a 16-bit little-endian length and its
// bytes) and the day file (the rest), converted and then opened as working files.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "store/LegacyConvert.h"
#include "store/SchedFiles.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::Folders folders;
    static fuzz::QuietMsgBox msg;
    static QtPrinterDevice printer;
    folders.Clear();

    const char* p = reinterpret_cast<const char*>(data);
    std::size_t left = size;
    const auto take = [&](std::size_t n) {
        const std::size_t k = std::min(n, left);
        const char* at = p;
        p += k;
        left -= k;
        return std::pair<const char*, qsizetype>(at, static_cast<qsizetype>(k));
    };
    const QString stem = folders.sched + QStringLiteral("/old");
    const auto [spr, sprLen] = take(526);
    fuzz::Folders::Write(stem + QStringLiteral(".SPR"), spr, sprLen);
    for (const char* ext : {".SEM", ".SSH", ".SEP", ".sno"}) {
        const auto [len, lenLen] = take(2);
        const std::size_t n =
            lenLen == 2 ? static_cast<std::uint8_t>(len[0]) | (static_cast<std::uint8_t>(len[1]) << 8) : 0;
        const auto [bytes, count] = take(n);
        fuzz::Folders::Write(stem + QLatin1String(ext), bytes, count);
    }
    const auto [days, dayLen] = take(left);
    fuzz::Folders::Write(stem + QStringLiteral(".SCH"), days, dayLen);

    SchedFiles files(folders.work, msg, printer);
    files.SchedFolder = folders.sched + QStringLiteral("/");
    files.SchedStem = QStringLiteral("old");
    LegacyConverter conv(files);
    if (conv.HasValidSettings() && conv.ConvertAll()) {
        (void)conv.OldNote(1);
        bool isNew = false;
        if (files.LoadScheduleSettings(isNew)) {
            files.CurrentFormatNo = files.ScheduleProps.CurrentFormat;
            if (files.OpenWorkingFiles()) (void)files.CloseWorkingFiles();
        }
    }
    files.NoteFileFull = false;
    return 0;
}
