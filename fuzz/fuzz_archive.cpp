// Any bytes as a schedule file: the archive check and extraction, then the settings and the
// completion and opening of the working files it brought, as the main window opens them.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "store/SchedFiles.h"

using namespace tavrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::Folders folders;
    static fuzz::QuietMsgBox msg;
    static QtPrinterDevice printer;
    folders.Clear();
    fuzz::Folders::Write(folders.sched + QStringLiteral("/in.QRD"), reinterpret_cast<const char*>(data),
                         static_cast<qsizetype>(size));

    SchedFiles files(folders.work, msg, printer);
    files.SchedFolder = folders.sched + QStringLiteral("/");
    files.SchedStem = QStringLiteral("in");
    if (files.OpenScheduleArchive()) {
        bool isNew = false;
        if (files.LoadScheduleSettings(isNew)) {
            files.CurrentFormatNo = files.ScheduleProps.CurrentFormat;
            if (files.OpenWorkingFiles()) {
                for (int c = 1; c <= files.VisibleDays; ++c) {
                    const DayRecord& d = files.ColumnDay(c);
                    for (int s = 1; s <= kSlots; ++s) (void)files.GetNoteText(d.NoteNumber[s]);
                }
                (void)files.CloseWorkingFiles();
            }
        }
    }
    files.ReleaseScheduleLock();
    return 0;
}
