// Change of the schedule period: the day file is rebuilt so that record n is again the day
// PeriodStart + n - 1, and the notes of the days kept are renumbered from 1 in day order.

#include "store/Adjust.h"
#include "store/SchedFiles.h"

#include <QApplication>
#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace tavrin {

namespace {

// The day record is handled as stored bytes here, for speed: the first shift codes are its first
// array and the note numbers (little-endian Integers) its last.
constexpr std::size_t kNoteOffset = 4 * kSlots;
static_assert(kNoteOffset + 2 * kSlots == DayRecord::Size);
constexpr int kBatchDays = 256;
constexpr std::size_t kNoteBatch = 4096;

struct Rebuilt {
    bool notesDropped = false;
    long lastCompleteDay = 0;  // offset from the new start of the last day whose notes are all kept
};

Status Rebuild(SchedFiles& f, long offset, int newDays, Rebuilt& out, const std::function<void(int)>& progress)
{
    WorkFile oldDays;
    WorkFile oldNotes;
    TAVRIN_TRY(oldDays.open(f.WorkPath(QStringLiteral(".SCH")), DayRecord::Size));
    TAVRIN_TRY(oldNotes.open(f.WorkPath(QStringLiteral(".SNO")), NoteRecord::Size));
    const QString nch = f.WorkPath(QStringLiteral(".NCH"));
    const QString nno = f.WorkPath(QStringLiteral(".NNO"));
    ::unlink(nch.toLocal8Bit().constData());
    ::unlink(nno.toLocal8Bit().constData());
    WorkFile newDaysFile;
    WorkFile newNotesFile;
    TAVRIN_TRY(newDaysFile.open(nch, DayRecord::Size));
    TAVRIN_TRY(newNotesFile.open(nno, NoteRecord::Size));

    // Note numbers are Integers: no cell can name a record past 32767.
    const std::int64_t noteRecords = std::min<std::int64_t>(oldNotes.recordCount(), 32767);
    std::vector<std::uint8_t> notes(static_cast<std::size_t>(noteRecords) * NoteRecord::Size);
    if (noteRecords > 0) TAVRIN_TRY(oldNotes.read(1, notes));

    const int oldCount = f.PeriodDays();
    std::vector<std::uint8_t> days(static_cast<std::size_t>(kBatchDays) * DayRecord::Size);
    std::vector<std::uint8_t> newNotes;
    newNotes.reserve(kNoteBatch * NoteRecord::Size);
    int count = 0;          // notes given out in the new file
    std::int64_t written = 0;  // notes already written
    const auto writeNotes = [&]() -> Status {
        if (newNotes.empty()) return {};
        TAVRIN_TRY(newNotesFile.write(written + 1, newNotes));
        written += static_cast<std::int64_t>(newNotes.size() / NoteRecord::Size);
        newNotes.clear();
        return {};
    };

    for (int i0 = 1; i0 <= newDays; i0 += kBatchDays) {
        const int n = std::min(kBatchDays, newDays - i0 + 1);
        std::fill(days.begin(), days.begin() + static_cast<std::ptrdiff_t>(n) * DayRecord::Size, 0);
        const long first = std::max<long>(i0 + offset, 1);
        const long last = std::min<long>(i0 + n - 1 + offset, oldCount);
        if (first <= last) {
            const std::size_t at = static_cast<std::size_t>(first - offset - i0) * DayRecord::Size;
            TAVRIN_TRY(oldDays.read(first, std::span<std::uint8_t>(days.data() + at,
                                                                   static_cast<std::size_t>(last - first + 1) * DayRecord::Size)));
        }
        for (int k = 0; k < n; ++k) {
            const long oldNo = i0 + k + offset;
            if (oldNo >= 1 && oldNo <= oldCount) {
                std::uint8_t* day = days.data() + static_cast<std::size_t>(k) * DayRecord::Size;
                for (int s = 0; s < kSlots; ++s) {
                    if (day[s] == kNumberCellCode) continue;  // a number, not a note
                    std::uint8_t* p = day + kNoteOffset + 2 * static_cast<std::size_t>(s);
                    const int note = static_cast<std::int16_t>(p[0] | (p[1] << 8));
                    int renumbered = 0;
                    if (note > 0) {
                        if (count < kMaxNoteRecords) {
                            renumbered = ++count;
                            if (note <= noteRecords) {
                                const auto* text = notes.data() + static_cast<std::size_t>(note - 1) * NoteRecord::Size;
                                newNotes.insert(newNotes.end(), text, text + NoteRecord::Size);
                            } else {
                                newNotes.insert(newNotes.end(), NoteRecord::Size, 0);  // as a read past the end gives
                            }
                        } else if (!out.notesDropped) {
                            out.notesDropped = true;
                            out.lastCompleteDay = i0 + k - 2;
                        }
                    }
                    p[0] = static_cast<std::uint8_t>(renumbered & 0xFF);
                    p[1] = static_cast<std::uint8_t>((renumbered >> 8) & 0xFF);
                }
            }
            if (progress) progress(static_cast<int>(static_cast<std::int64_t>(i0 + k) * 100 / newDays));
        }
        TAVRIN_TRY(newDaysFile.write(i0, std::span<const std::uint8_t>(days.data(), static_cast<std::size_t>(n) * DayRecord::Size)));
        if (newNotes.size() >= kNoteBatch * NoteRecord::Size) TAVRIN_TRY(writeNotes());
    }
    return writeNotes();
}

int Rename(const QString& from, const QString& to)
{
    return ::rename(from.toLocal8Bit().constData(), to.toLocal8Bit().constData()) == 0 ? 0 : errno;
}

// Puts the rebuilt files in place of the old ones; either both are replaced or neither.
Status Replace(SchedFiles& f)
{
    const QString sch = f.WorkPath(QStringLiteral(".SCH"));
    const QString sno = f.WorkPath(QStringLiteral(".SNO"));
    const QString nch = f.WorkPath(QStringLiteral(".NCH"));
    const QString nno = f.WorkPath(QStringLiteral(".NNO"));
    const QString ono = f.WorkPath(QStringLiteral(".ONO"));
    const auto failed = [](int err) {
        return Status::error(QStringLiteral("Cannot replace the working files: %1").arg(QString::fromLocal8Bit(std::strerror(err))));
    };
    ::unlink(ono.toLocal8Bit().constData());
    if (int err = Rename(sno, ono)) return failed(err);
    if (int err = Rename(nno, sno)) {
        Rename(ono, sno);
        return failed(err);
    }
    if (int err = Rename(nch, sch)) {
        Rename(sno, nno);
        Rename(ono, sno);
        return failed(err);
    }
    ::unlink(ono.toLocal8Bit().constData());
    return {};
}

}  // namespace

bool SchedFiles::ChangeScheduleDates()
{
    const auto refuse = [this](const QString& text) {
        msgBox_.beep();
        msgBox_.show(text, Mb::Exclamation, QStringLiteral("Error"));
        return false;
    };
    const bool datesOk = std::isfinite(NewPeriodStart) && std::isfinite(NewPeriodEnd) &&
                         OleDates::Clamped(NewPeriodStart) == NewPeriodStart && OleDates::Clamped(NewPeriodEnd) == NewPeriodEnd;
    const long newDays = datesOk ? OleDates::DaysBetween(NewPeriodStart, NewPeriodEnd) + 1 : 0;
    if (newDays < 1) return refuse(QStringLiteral("The end of the schedule period must not come before its start."));
    // Day numbers and offsets are Integers in the settings.
    if (newDays > kMaxPeriodDays) return refuse(QStringLiteral("The schedule period cannot be longer than 32767 days."));

    std::unique_ptr<Adjust> panel;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        panel = std::make_unique<Adjust>();
        panel->show();
        panel->repaint();
    }
    const bool wasModified = ScheduleModified;

    Rebuilt rebuilt;
    const long offset = OleDates::DaysBetween(ScheduleProps.PeriodStart, NewPeriodStart);
    Status s = CloseWorkingFiles();
    if (s) {
        s = Rebuild(*this, offset, static_cast<int>(newDays), rebuilt, [&panel](int p) {
            if (panel) panel->SetPercent(p);
        });
    }
    if (panel) panel->SetPercent(100);
    ResetPrinter();
    CloseAllFiles();
    if (s) s = Replace(*this);
    if (!s) {
        ::unlink(WorkPath(QStringLiteral(".NCH")).toLocal8Bit().constData());
        ::unlink(WorkPath(QStringLiteral(".NNO")).toLocal8Bit().constData());
        panel.reset();
        msgBox_.beep();
        msgBox_.show(QStringLiteral("The schedule period could not be changed; the schedule is left as it was.\n\n") + s.message(),
                     Mb::Exclamation, QStringLiteral("Error"));
        const Status reopened = OpenWorkingFiles();
        ScheduleModified = wasModified;
        if (!reopened) msgBox_.show(reopened.message(), Mb::Exclamation, QStringLiteral("Error"));
        return false;
    }

    // The first visible day keeps its date where the new period still has it.
    const long visible = -offset + ScheduleProps.FirstVisibleDay;
    ScheduleProps.FirstVisibleDay = static_cast<Int16>(visible >= 0 && visible < newDays ? visible : 0);
    ScheduleProps.PeriodStart = NewPeriodStart;
    ScheduleProps.PeriodEnd = NewPeriodEnd;
    {
        // The settings match the rebuilt files at once; a failure here is repaired by the next
        // flush, which writes the same record.
        WorkFile settings;
        if (settings.open(WorkPath(QStringLiteral(".SPR")), SchedulePropertiesRecord::Size)) {
            (void)WriteRecordTo(settings, 1, ScheduleProps);
        }
    }
    const Status reopened = OpenWorkingFiles();

    if (rebuilt.notesDropped) {
        NoteFileFull = false;
        const QDate last = OleDates::ToQDate(std::floor(NewPeriodStart) + rebuilt.lastCompleteDay);
        msgBox_.beep();
        msgBox_.show(QStringLiteral("Source file had too many notes. Entries after ") + QLocale().toString(last, DateFormat) +
                         QStringLiteral(" were truncated. Please use the (Save As) function and save this file under a "
                                        "different name.  Call tech support for more information."),
                     Mb::Exclamation, QStringLiteral("Too many notes"));
    }
    panel.reset();
    ScheduleModified = true;
    if (!reopened) {
        msgBox_.show(reopened.message(), Mb::Exclamation, QStringLiteral("Error"));
        return false;
    }
    return true;
}

}  // namespace tavrin
