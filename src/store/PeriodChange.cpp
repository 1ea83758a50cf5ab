// Change of the schedule period: the day file is rebuilt so that record n is again the day
// PeriodStart + n - 1, and the notes of the days kept are renumbered from 1 in day order.

#include <unistd.h>

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Runtime.h"
#include "store/Adjust.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// The day record is handled as stored bytes here, for speed: the first shift codes are its first
// array and the note numbers (little-endian Integers) its last.
constexpr std::size_t kNoteOffset = 4 * kSlots;
static_assert(kNoteOffset + 2 * kSlots == DayRecord::Size);
static_assert(kSlots % 4 == 0);
constexpr int kBatchDays = 256;
constexpr std::size_t kNoteBatch = 4096;

// Renumbers the notes of one day record from count + 1 on (number cells are left alone), noting
// in source which old note each new one is; true when a note had to be dropped. Cells are
// looked at without branches (notes lie at random, which no branch predicts), but four cells
// without any note are passed over at once.
bool RenumberNotes(std::uint8_t* day, std::int16_t* source, int& counter)
{
    int count = counter;
    if (count >= kMaxNoteRecords) {
        // The new notes file is full: every note is dropped, numbers stay.
        static_assert(std::endian::native == std::endian::little);
        std::int16_t notes[kSlots];
        std::memcpy(notes, day + kNoteOffset, sizeof notes);
        int dropped = 0;
        for (int s = 0; s < kSlots; ++s) {
            const int number = day[s] == kNumberCellCode;
            dropped |= static_cast<int>(notes[s] > 0) & (number ^ 1);
            notes[s] = static_cast<std::int16_t>(notes[s] * number);
        }
        std::memcpy(day + kNoteOffset, notes, sizeof notes);
        return dropped != 0;
    }
    int dropped = 0;
    for (int s = 0; s < kSlots; ++s) {
        if (s % 4 == 0) {
            // Most cells have no note at all: four of them that hold none change nothing.
            std::uint64_t four;
            std::memcpy(&four, day + kNoteOffset + 2 * static_cast<std::size_t>(s), sizeof four);
            if (four == 0) {
                s += 3;
                continue;
            }
        }
        std::uint8_t* p = day + kNoteOffset + 2 * static_cast<std::size_t>(s);
        const int note = static_cast<std::int16_t>(p[0] | (p[1] << 8));
        const int number = day[s] == kNumberCellCode;
        const int hasNote = static_cast<int>(note > 0) & (number ^ 1);
        const int take = hasNote & static_cast<int>(count < kMaxNoteRecords);
        source[count + 1] = static_cast<std::int16_t>(note);  // overwritten unless taken
        count += take;
        const int renumbered = take * count + number * note;
        dropped |= hasNote & (take ^ 1);
        p[0] = static_cast<std::uint8_t>(renumbered & 0xFF);
        p[1] = static_cast<std::uint8_t>((renumbered >> 8) & 0xFF);
    }
    counter = count;
    return dropped != 0;
}

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
    // source[k]: the old note that becomes new note k.
    std::vector<std::int16_t> source(static_cast<std::size_t>(kMaxNoteRecords) + 2);
    int count = 0;    // notes given out in the new file
    int written = 0;  // of those, notes already in the file
    std::vector<std::uint8_t> texts;
    const auto writeNotes = [&]() -> Status {
        if (count == written) return {};
        texts.assign(static_cast<std::size_t>(count - written) * NoteRecord::Size, 0);
        for (int k = written + 1; k <= count; ++k) {
            const int old = source[static_cast<std::size_t>(k)];
            if (old <= noteRecords) {  // past the end a note reads as zero bytes
                std::memcpy(texts.data() + static_cast<std::size_t>(k - written - 1) * NoteRecord::Size,
                            notes.data() + static_cast<std::size_t>(old - 1) * NoteRecord::Size, NoteRecord::Size);
            }
        }
        TAVRIN_TRY(newNotesFile.write(written + 1, texts));
        written = count;
        return {};
    };

    for (int i0 = 1; i0 <= newDays; i0 += kBatchDays) {
        const int n = std::min(kBatchDays, newDays - i0 + 1);
        const std::size_t end = static_cast<std::size_t>(n) * DayRecord::Size;
        const long first = std::max<long>(i0 + offset, 1);
        const long last = std::min<long>(i0 + n - 1 + offset, oldCount);
        // Days the old period had are read; the others are blank.
        std::size_t from = 0;
        std::size_t to = 0;
        if (first <= last) {
            from = static_cast<std::size_t>(first - offset - i0) * DayRecord::Size;
            to = from + static_cast<std::size_t>(last - first + 1) * DayRecord::Size;
            TAVRIN_TRY(oldDays.read(first, std::span<std::uint8_t>(days.data() + from, to - from)));
        }
        std::fill(days.begin(), days.begin() + static_cast<std::ptrdiff_t>(from), 0);
        std::fill(days.begin() + static_cast<std::ptrdiff_t>(to), days.begin() + static_cast<std::ptrdiff_t>(end), 0);

        for (std::size_t at = from; at < to; at += DayRecord::Size) {
            std::uint8_t* day = days.data() + at;
            const int dayNo = i0 + static_cast<int>(at / DayRecord::Size);
            if (RenumberNotes(day, source.data(), count) && !out.notesDropped) {
                out.notesDropped = true;
                out.lastCompleteDay = dayNo - 2;
            }
        }
        for (int k = 0; k < n && progress; ++k)
            progress(static_cast<int>(static_cast<std::int64_t>(i0 + k) * 100 / newDays));
        TAVRIN_TRY(newDaysFile.write(i0, std::span<const std::uint8_t>(days.data(), end)));
        if (count - written >= static_cast<int>(kNoteBatch)) TAVRIN_TRY(writeNotes());
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
        return Status::error(
            QStringLiteral("Cannot replace the working files: %1").arg(QString::fromLocal8Bit(std::strerror(err))));
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
                         OleDates::Clamped(NewPeriodStart) == NewPeriodStart &&
                         OleDates::Clamped(NewPeriodEnd) == NewPeriodEnd;
    const long newDays = datesOk ? OleDates::DaysBetween(NewPeriodStart, NewPeriodEnd) + 1 : 0;
    if (newDays < 1) return refuse(QStringLiteral("The end of the schedule period must not come before its start."));
    // Day numbers and offsets are Integers in the settings.
    if (newDays > kMaxPeriodDays)
        return refuse(QStringLiteral("The schedule period cannot be longer than 32767 days."));

    const auto notChanged = [this](const Status& why) {
        msgBox_.beep();
        msgBox_.show(QStringLiteral("The schedule period could not be changed; the schedule is left as it was.\n\n") +
                         why.message(),
                     Mb::Exclamation, QStringLiteral("Error"));
    };
    const bool wasModified = ScheduleModified;
    // Edits that cannot be written must stay in memory: nothing is closed or reloaded until
    // the flush has succeeded.
    Status s = CloseWorkingFiles();
    if (!s) {
        notChanged(s);
        return false;
    }

    std::unique_ptr<Adjust> panel;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        panel = std::make_unique<Adjust>();
        panel->show();
        panel->repaint();
    }
    NoteFileFull = false;

    Rebuilt rebuilt;
    const long offset = OleDates::DaysBetween(ScheduleProps.PeriodStart, NewPeriodStart);
    s = Rebuild(*this, offset, static_cast<int>(newDays), rebuilt, [&panel](int p) {
        if (panel) panel->SetPercent(p);
    });
    if (panel) panel->SetPercent(100);
    ResetPrinter();
    CloseAllFiles();
    if (s) s = Replace(*this);
    if (!s) {
        ::unlink(WorkPath(QStringLiteral(".NCH")).toLocal8Bit().constData());
        ::unlink(WorkPath(QStringLiteral(".NNO")).toLocal8Bit().constData());
        panel.reset();
        notChanged(s);
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
        const OleDate last = std::floor(NewPeriodStart) + rebuilt.lastCompleteDay;
        msgBox_.beep();
        msgBox_.show(QStringLiteral("Source file had too many notes. Entries after ") +
                         Runtime::FormatDate(last, DateFormat) +
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
