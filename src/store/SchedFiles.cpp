#include "store/SchedFiles.h"

#include "platform/Runtime.h"
#include "platform/Screen.h"
#include "store/Defaults.h"

#include <unistd.h>

#include <QDate>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tavrin {

namespace {

template <class R>
Status WriteRepeated(WorkFile& f, std::int64_t first, std::int64_t count, const R& r)
{
    const auto buf = Encode(r);
    return f.writeRepeated(first, count, buf);
}

}  // namespace

SchedFiles::SchedFiles(QString workDir, MsgBox& msgBox, PrinterDevice& printer)
    : WorkDir(std::move(workDir)), msgBox_(msgBox), printer_(printer)
{
    TwipsPerPixelX = ScreenTwipsPerPixelX();
    for (int i = 1; i <= kMaxVisibleDays; ++i) ColumnSlot[i] = i;
}

QString SchedFiles::WorkPath(const QString& ext) const { return WorkDir + QStringLiteral("/QORVANE2") + ext; }

Status SchedFiles::CheckRecordFile(FileNo f, std::size_t size) const
{
    const WorkFile& wf = File(f);
    if (!wf.isOpen()) return Status::error(QStringLiteral("Working file %1 is not open.").arg(static_cast<int>(f)));
    if (static_cast<std::size_t>(wf.recordLength()) != size) {
        return Status::error(QStringLiteral("Working file %1 holds records of another length.").arg(wf.path()));
    }
    return {};
}

Status SchedFiles::RefillShiftTable()
{
    TAVRIN_TRY(ReadRecords(FileNo::Shifts, 1, std::span<ShiftRecord>(ShiftTable.items)));
    for (int code = 1; code <= kShiftCodes; ++code) {
        ShiftColours[code] = static_cast<Byte>(CheckedPaletteIndex(ShiftTable[code].ColourIndex));
    }
    return {};
}

int SchedFiles::PeriodDays() const
{
    const double start = std::floor(OleDates::Clamped(ScheduleProps.PeriodStart));
    const double end = std::floor(OleDates::Clamped(ScheduleProps.PeriodEnd));
    const double days = end - start + 1;
    if (days < 0) return 0;
    if (days > kMaxPeriodDays) return kMaxPeriodDays;
    return static_cast<int>(days);
}

void SchedFiles::ResetPrinter()
{
    (void)printer_.SetFontSize(8);
    printer_.KillDoc();
}

// ---------------------------------------------------------------- completing the files

Status SchedFiles::InitDays(WorkFile& f)
{
    if (f.recordCount() > 0) return {};
    ScheduleModified = true;
    return WriteRepeated(f, 1, PeriodDays(), DayRecord{});
}

Status SchedFiles::InitShifts(WorkFile& f)
{
    if (f.recordCount() == 0) TAVRIN_TRY(WriteRepeated(f, 1, kUserShifts, MakeUnusedShift()));
    if (f.recordCount() < kShiftCodes) {
        for (int code = kTimeOffCode; code <= kNoteCode; ++code) TAVRIN_TRY(WriteRecordTo(f, code, MakeSpecialShift(code)));
    }
    return {};
}

Status SchedFiles::InitEmployees(WorkFile& f)
{
    if (f.length() == 0) TAVRIN_TRY(WriteRecordTo(f, 1, MakeDefaultEmployeeTable()));
    TAVRIN_TRY(ReadRecordFrom(f, 1, EmpTable));
    if (EmpTable.CostMarker != 2) {
        ScheduleModified = true;
        ResetPayData(EmpTable);
        TAVRIN_TRY(WriteRecordTo(f, 1, EmpTable));
    }
    return {};
}

Status SchedFiles::InitNotes(WorkFile& f)
{
    if (f.recordCount() > 0) return {};
    NoteRecord blank;
    blank.NoteText = "";
    return WriteRecordTo(f, 1, blank);
}

Status SchedFiles::InitExplanations(WorkFile& f)
{
    if (f.recordCount() > 0) return {};
    return WriteRecordTo(f, 1, MakeDefaultExplanations());
}

Status SchedFiles::InitFormats(WorkFile& f)
{
    if (f.recordCount() > 0) return {};
    SetWeeklyFormatDefaults();
    TAVRIN_TRY(WriteRecordTo(f, 2, CurrentFormat));
    SetDailyFormatDefaults();
    TAVRIN_TRY(WriteRecordTo(f, 3, CurrentFormat));
    Set28DayFormatDefaults();
    TAVRIN_TRY(WriteRecordTo(f, 1, CurrentFormat));
    CurrentFormat = MakeNotUsedFormat(TwipsPerPixelX);
    TAVRIN_TRY(WriteRecordTo(f, 4, CurrentFormat));
    return WriteRecordTo(f, 5, CurrentFormat);
}

Status SchedFiles::InitQueries(WorkFile& f)
{
    const QueryRecord unused = MakeUnusedQuery();
    if (f.recordCount() == 0) TAVRIN_TRY(WriteRepeated(f, 1, 10, unused));
    if (f.recordCount() < 11) {
        TAVRIN_TRY(WriteRepeated(f, 11, 40, unused));
        ScheduleModified = true;
    }
    if (f.recordCount() < 51) {
        TAVRIN_TRY(WriteRepeated(f, 51, 49, unused));
        ScheduleModified = true;
    }
    return {};
}

Status SchedFiles::InitDividers(WorkFile& f)
{
    // Whole records already there are kept: they hold the schedule's divider captions, colours
    // and requirement rows. Only the missing ones are added.
    const std::int64_t have = f.recordCount();
    if (have < kDayRulerRecord + 1) {
        TAVRIN_TRY(WriteRepeated(f, have + 1, kDividerRecords - have, MakeDefaultDivider()));
        ScheduleModified = true;
    }
    DividerPropertiesRecord ruler;
    TAVRIN_TRY(ReadRecordFrom(f, kDayRulerRecord, ruler));
    DayRulerColour = DayRulerColourOf(ruler);
    host_->SetColumnHeadingColour(DayRulerColour);
    return {};
}

Status SchedFiles::InitGroups(WorkFile& f)
{
    if (f.recordCount() > 0) return {};
    return WriteRepeated(f, 1, kGroups, MakeBlankGroup());
}

Status SchedFiles::CompleteLastRecord(WorkFile& f)
{
    // Part of a record at the end (as a failed write of an earlier version could leave) becomes
    // a whole record of what it already read as, so that the schedule can be saved again: a save
    // takes only whole records.
    const std::int64_t len = f.length();
    const std::int64_t rest = len > 0 ? len % f.recordLength() : 0;
    if (rest == 0) return {};
    return f.resize(len - rest + f.recordLength());
}

Status SchedFiles::InitWorkingFiles()
{
    ResetPrinter();
    if (rowMapRepaired_) {
        ScheduleModified = true;
        rowMapRepaired_ = false;
    }
    struct Step {
        FileNo handle;
        const char* ext;
        int recordLength;
        Status (SchedFiles::*init)(WorkFile&);
    };
    static const Step kSteps[] = {
        {FileNo::Days, ".SCH", DayRecord::Size, &SchedFiles::InitDays},
        {FileNo::Shifts, ".SSH", ShiftRecord::Size, &SchedFiles::InitShifts},
        {FileNo::Employees, ".SEM", EmployeeTable::Size, &SchedFiles::InitEmployees},
        {FileNo::Notes, ".SNO", NoteRecord::Size, &SchedFiles::InitNotes},
        {FileNo::Explanations, ".SEP", ExplanationTable::Size, &SchedFiles::InitExplanations},
        {FileNo::Formats, ".SSF", ScheduleFormatRecord::Size, &SchedFiles::InitFormats},
        {FileNo::Queries, ".SQ1", QueryRecord::Size, &SchedFiles::InitQueries},
        {FileNo::Dividers, ".SDV", DividerPropertiesRecord::Size, &SchedFiles::InitDividers},
        {FileNo::Groups, ".SGR", GroupRecord::Size, &SchedFiles::InitGroups},
    };
    // Each file is completed through its own handle, which then stays open: nothing else
    // writes it in between. A file that cannot be completed leaves every handle closed.
    for (const Step& step : kSteps) {
        Status s = OpenKept(step.handle, step.ext, step.recordLength);
        if (s) s = (this->*step.init)(File(step.handle));
        if (s) s = CompleteLastRecord(File(step.handle));
        if (!s) {
            CloseAllFiles();
            return s;
        }
    }
    return {};
}

// ---------------------------------------------------------------- settings and formats

void SchedFiles::Set28DayFormatDefaults() { CurrentFormat = Make28DayFormat(TwipsPerPixelX); }
void SchedFiles::SetWeeklyFormatDefaults() { CurrentFormat = MakeWeeklyFormat(TwipsPerPixelX, DateFormat); }
void SchedFiles::SetDailyFormatDefaults() { CurrentFormat = MakeDailyFormat(TwipsPerPixelX); }

void SchedFiles::RepairRowMap()
{
    VbArray<bool, 1, kSlots> used;
    VbArray<bool, 1, kSlots> keep;
    bool broken = false;
    for (int row = 1; row <= kSlots; ++row) {
        const int slot = ScheduleProps.RowMap[row];
        if (IsSlot(slot) && !used[slot]) {
            used[slot] = true;
            keep[row] = true;
        } else {
            broken = true;
        }
    }
    if (!broken) return;
    int next = 1;
    for (int row = 1; row <= kSlots; ++row) {
        if (keep[row]) continue;
        while (used[next]) ++next;
        used[next] = true;
        ScheduleProps.RowMap[row] = static_cast<Int16>(next);
    }
    rowMapRepaired_ = true;
}

Status SchedFiles::LoadScheduleSettings(bool& isNew)
{
    ScheduleProps = BlankScheduleProps;
    isNew = false;
    rowMapRepaired_ = false;
    WorkFile f;
    TAVRIN_TRY(f.open(WorkPath(QStringLiteral(".SPR")), SchedulePropertiesRecord::Size));
    if (f.length() > 0) {
        TAVRIN_TRY(ReadRecordFrom(f, 1, ScheduleProps));
        RepairRowMap();
        return {};
    }
    isNew = true;
    ScheduleProps = MakeNewScheduleProps(QDate::currentDate());
    return WriteRecordTo(f, 1, ScheduleProps);
}

void SchedFiles::ClampFormat(ScheduleFormatRecord& f)
{
    if (f.DaysOnScreen < 1) f.DaysOnScreen = 1;
    if (f.DaysOnScreen > kMaxVisibleDays) f.DaysOnScreen = kMaxVisibleDays;
    if (f.VisibleCoverageTotals < 0) f.VisibleCoverageTotals = 0;
    if (f.VisibleCoverageTotals > kCoverageLines) f.VisibleCoverageTotals = kCoverageLines;
}

Status SchedFiles::LoadCurrentFormat()
{
    if (CurrentFormatNo < 1 || CurrentFormatNo > kFormats) CurrentFormatNo = 1;
    TAVRIN_TRY(ReadRecord(FileNo::Formats, CurrentFormatNo, CurrentFormat));
    ClampFormat(CurrentFormat);
    return {};
}

// ---------------------------------------------------------------- opening and closing

Status SchedFiles::OpenKept(FileNo f, const char* ext, int recordLength)
{
    File(f).close();
    return File(f).open(WorkPath(QString::fromLatin1(ext)), recordLength);
}

Status SchedFiles::OpenDaysFile() { return OpenKept(FileNo::Days, ".SCH", DayRecord::Size); }
Status SchedFiles::OpenShiftsFile() { return OpenKept(FileNo::Shifts, ".SSH", ShiftRecord::Size); }
Status SchedFiles::OpenEmployeesFile() { return OpenKept(FileNo::Employees, ".SEM", EmployeeTable::Size); }
Status SchedFiles::OpenFormatsFile() { return OpenKept(FileNo::Formats, ".SSF", ScheduleFormatRecord::Size); }
Status SchedFiles::OpenNotesFile() { return OpenKept(FileNo::Notes, ".SNO", NoteRecord::Size); }
Status SchedFiles::OpenExplanationsFile() { return OpenKept(FileNo::Explanations, ".SEP", ExplanationTable::Size); }
Status SchedFiles::OpenQueriesFile() { return OpenKept(FileNo::Queries, ".SQ1", QueryRecord::Size); }
Status SchedFiles::OpenDividersFile() { return OpenKept(FileNo::Dividers, ".SDV", DividerPropertiesRecord::Size); }
Status SchedFiles::OpenGroupsFile() { return OpenKept(FileNo::Groups, ".SGR", GroupRecord::Size); }

void SchedFiles::CloseAllFiles()
{
    for (int h : {16, 13, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}) files_[h].close();
    CloseReportText();
}

Status SchedFiles::OpenWorkingFiles()
{
    CloseAllFiles();
    TAVRIN_TRY(InitWorkingFiles());

    ResetPrinter();
    // The files are open under their handles now, and EmpTable has been read.
    TAVRIN_TRY(RefillShiftTable());
    ShiftBuf = ShiftTable[kUserShifts];

    if (CurrentFormatNo < 1 || CurrentFormatNo > kFormats) CurrentFormatNo = 1;
    {
        // One read of all five formats: the menu needs their names, the window the current one.
        constexpr std::size_t kNameOffset = 2;
        const std::size_t n = kFormats * ScheduleFormatRecord::Size;
        const auto raw = std::make_unique_for_overwrite<std::uint8_t[]>(n);
        TAVRIN_TRY(CheckRecordFile(FileNo::Formats, ScheduleFormatRecord::Size));
        TAVRIN_TRY(File(FileNo::Formats).readRange(1, std::span<std::uint8_t>(raw.get(), n)));
        for (int i = 1; i <= kFormats; ++i) {
            FixedText<20> name;
            std::memcpy(name.bytes.data(), raw.get() + (i - 1) * ScheduleFormatRecord::Size + kNameOffset, 20);
            host_->SetFormatMenuItem(i, Runtime::Trim(name.str()), i == CurrentFormatNo);
        }
        Decode(std::span<const std::uint8_t>(raw.get() + (CurrentFormatNo - 1) * ScheduleFormatRecord::Size,
                                             ScheduleFormatRecord::Size),
               CurrentFormat);
        ClampFormat(CurrentFormat);
    }
    const QString name = Runtime::Trim(CurrentFormat.FormatName.str());
    host_->SetCurrentFormatCaptions(QStringLiteral("Edit Schedule Format (") + name + QStringLiteral(")"), name);
    host_->ApplyScheduleFormat();

    VisibleDays = CurrentFormat.DaysOnScreen;

    NextNoteNo = static_cast<int>(File(FileNo::Notes).length() / NoteRecord::Size) + 1;

    TAVRIN_TRY(ReadRecord(FileNo::Explanations, 1, ExplTable));

    TAVRIN_TRY(LoadVisibleDays());
    WorkingFilesOpen = true;
    return {};
}

Status SchedFiles::LoadVisibleDays()
{
    if (VisibleDays < 1) VisibleDays = 1;
    if (VisibleDays > kMaxVisibleDays) VisibleDays = kMaxVisibleDays;
    const int days = PeriodDays();
    int first = ScheduleProps.FirstVisibleDay;
    const int excess = first + VisibleDays - (days - 1);
    if (excess > 0) first = first - excess + 1;
    if (first < 0) first = 0;
    ScheduleProps.FirstVisibleDay = static_cast<Int16>(first);

    // Columns past the end of a period shorter than the window hold blank days never written.
    const int inPeriod = std::clamp(days - first, 0, VisibleDays);
    if (inPeriod > 0) {
        TAVRIN_TRY(ReadRecords(FileNo::Days, first + 1, std::span<DayRecord>(DayCache.items.data(), inPeriod)));
    }
    for (int i = 1; i <= VisibleDays; ++i) {
        ColumnSlot[i] = i;
        SlotDirty[i] = 0;
        SlotDayNo[i] = i <= inPeriod ? first + i : 0;
        if (i > inPeriod) DayCache[i] = DayRecord{};
    }
    return {};
}

Status SchedFiles::FlushWorkingData()
{
    // The lent period and cache are not the schedule's: writing them would misplace days.
    if (ViewLent) return Status::error(QStringLiteral("The schedule cannot be written while it is being printed."));
    TAVRIN_TRY(WriteRecord(FileNo::Employees, 1, EmpTable));
    TAVRIN_TRY(WriteDirtyDays());
    ScheduleProps.CurrentFormat = static_cast<Int16>(CurrentFormatNo);
    WorkFile settings;
    TAVRIN_TRY(settings.open(WorkPath(QStringLiteral(".SPR")), SchedulePropertiesRecord::Size));
    return WriteRecordTo(settings, 1, ScheduleProps);
}

Status SchedFiles::WriteDirtyDays()
{
    static_assert(kWireImage<DayRecord>, "the cached days are written as they lie in memory");
    const int days = PeriodDays();
    std::array<std::span<const std::uint8_t>, kMaxVisibleDays> run;
    for (int i = 1; i <= VisibleDays;) {
        const int s = ColumnSlot[i];
        const int first = SlotDayNo[s];
        if (!SlotDirty[s] || first < 1 || first > days) {
            SlotDirty[s] = 0;  // a column past the period is never written
            ++i;
            continue;
        }
        // Dirty columns showing the days that follow in the file go with it in one write; after
        // a scroll their slots need not lie side by side in the cache.
        int n = 0;
        std::size_t parts = 0;  // slots side by side in the cache make one part
        for (int c = i; c <= VisibleDays; ++c) {
            const int t = ColumnSlot[c];
            if (!SlotDirty[t] || SlotDayNo[t] != first + n || SlotDayNo[t] > days) break;
            const auto* rec = reinterpret_cast<const std::uint8_t*>(&DayCache[t]);
            if (parts > 0 && run[parts - 1].data() + run[parts - 1].size() == rec)
                run[parts - 1] = std::span(run[parts - 1].data(), run[parts - 1].size() + DayRecord::Size);
            else
                run[parts++] = std::span(rec, DayRecord::Size);
            ++n;
        }
        // A failed write leaves all of them dirty: any of them may not have reached the file.
        TAVRIN_TRY(CheckRecordFile(FileNo::Days, DayRecord::Size));
        TAVRIN_TRY(File(FileNo::Days).writeGathered(first, std::span(run.data(), parts)));
        for (int c = i; c < i + n; ++c) SlotDirty[ColumnSlot[c]] = 0;
        i += n;
    }
    return {};
}

Status SchedFiles::CloseWorkingFiles()
{
    // A flush that failed leaves the schedule open as it was, unsaved days still dirty, so that
    // the caller can try again; closing would strand them.
    TAVRIN_TRY(FlushWorkingData());
    ResetPrinter();
    CloseAllFiles();
    ScheduleModified = false;
    return {};
}

// ---------------------------------------------------------------- notes

int SchedFiles::NoteFileRecords() const
{
    const std::int64_t len = File(FileNo::Notes).length();
    return len > 0 ? static_cast<int>(std::min<std::int64_t>(len / NoteRecord::Size, 1 << 30)) : 0;
}

QString SchedFiles::GetNoteText(int n) const
{
    if (n <= 0 || n > NoteRecordCount()) return {};
    NoteRecord r;
    if (!ReadNote(n, r)) return {};
    return r.NoteText.str();
}

Status SchedFiles::ReadNote(int n, NoteRecord& r) const
{
    if (!noteBatch_) return ReadRecord(FileNo::Notes, n, r);
    if (n < 1) return Status::error(QStringLiteral("Cannot read note %1.").arg(n));
    if (n > NoteRecordCount()) {
        r = NoteRecord{};
        return {};
    }
    Decode(std::span<const std::uint8_t>(noteBatch_->bytes)
               .subspan(static_cast<std::size_t>(n - 1) * NoteRecord::Size, NoteRecord::Size),
           r);
    return {};
}

Status SchedFiles::ReadNotes(std::vector<NoteRecord>& out) const
{
    out.assign(static_cast<std::size_t>(NoteRecordCount()), NoteRecord{});
    if (out.empty()) return {};
    if (!noteBatch_) return ReadRecords(FileNo::Notes, 1, std::span<NoteRecord>(out));
    for (std::size_t i = 0; i < out.size(); ++i) {
        Decode(std::span<const std::uint8_t>(noteBatch_->bytes).subspan(i * NoteRecord::Size, NoteRecord::Size),
               out[i]);
    }
    return {};
}

NoteTexts::NoteTexts(const SchedFiles& files, bool readAll) : files_(files)
{
    if (readAll) read_ = static_cast<bool>(files.ReadNotes(notes_));
}

QString NoteTexts::operator()(int n) const
{
    if (!read_) return files_.GetNoteText(n);
    if (n <= 0 || n > static_cast<int>(notes_.size())) return {};
    return notes_[static_cast<std::size_t>(n - 1)].NoteText.str();
}

Status SchedFiles::BeginNoteBatch()
{
    TAVRIN_TRY(CheckRecordFile(FileNo::Notes, NoteRecord::Size));
    auto b = std::make_unique<NoteBatch>();
    b->fileRecords = NoteRecordCount();
    b->nextNoteNo = NextNoteNo;
    b->bytes.reserve(static_cast<std::size_t>(std::max(b->fileRecords, kMaxNoteRecords)) * NoteRecord::Size);
    b->bytes.resize(static_cast<std::size_t>(b->fileRecords) * NoteRecord::Size);
    if (b->fileRecords > 0) TAVRIN_TRY(File(FileNo::Notes).readRange(1, b->bytes));
    noteBatch_ = std::move(b);
    return {};
}

Status SchedFiles::WriteNoteBatch()
{
    NoteBatch& b = *noteBatch_;
    if (b.stored.empty()) return {};
    WorkFile& f = File(FileNo::Notes);
    const auto records = [&b](int first, int last) {
        return std::span<const std::uint8_t>(b.bytes).subspan(
            static_cast<std::size_t>(first - 1) * NoteRecord::Size,
            static_cast<std::size_t>(last - first + 1) * NoteRecord::Size);
    };
    const int count = NoteRecordCount();
    if (count > b.fileRecords) TAVRIN_TRY(f.write(b.fileRecords + 1, records(b.fileRecords + 1, count)));
    int lo = b.fileRecords + 1;
    int hi = 0;
    for (const int n : b.stored) {
        if (n > b.fileRecords) continue;
        lo = std::min(lo, n);
        hi = std::max(hi, n);
    }
    if (lo <= hi) TAVRIN_TRY(f.write(lo, records(lo, hi)));
    b.written = b.stored.size();
    return {};
}

Status SchedFiles::WriteBatchedNote(int i)
{
    NoteBatch& b = *noteBatch_;
    const int n = b.stored[static_cast<std::size_t>(i)];
    TAVRIN_TRY(File(FileNo::Notes)
                   .write(n, std::span<const std::uint8_t>(b.bytes).subspan(
                                 static_cast<std::size_t>(n - 1) * NoteRecord::Size, NoteRecord::Size)));
    b.written = std::max(b.written, static_cast<std::size_t>(i) + 1);
    return {};
}

Status SchedFiles::DropUnreferencedBatchNotes(std::int64_t firstDay, std::int64_t lastDay)
{
    if (!noteBatch_) return {};
    NoteBatch& b = *noteBatch_;
    const int inFile = NoteFileRecords();
    if (inFile <= b.fileRecords) {
        b.keptRecords = b.fileRecords;
        return {};
    }
    // The new records are the run's alone: only its days can name them. Any cell of those days
    // whose number names one keeps it (a number cell too: a note kept too many does no harm).
    int highest = b.fileRecords;
    constexpr std::int64_t kChunk = 256;
    std::vector<DayRecord> days;
    for (std::int64_t d = std::max<std::int64_t>(firstDay, 1); d <= lastDay; d += kChunk) {
        days.resize(static_cast<std::size_t>(std::min(kChunk, lastDay - d + 1)));
        TAVRIN_TRY(ReadRecords(FileNo::Days, d, std::span<DayRecord>(days)));
        for (const DayRecord& day : days) {
            for (int slot = 1; slot <= kSlots; ++slot) {
                const int n = std::abs(static_cast<int>(day.NoteNumber[slot]));
                if (n > highest && n <= inFile) highest = n;
            }
        }
    }
    TAVRIN_TRY(File(FileNo::Notes).resize(static_cast<std::int64_t>(highest) * NoteRecord::Size));
    b.keptRecords = highest;
    return {};
}

void SchedFiles::EndNoteBatch()
{
    if (!noteBatch_) return;
    const NoteBatch& b = *noteBatch_;
    if (b.keptRecords >= 0) {
        NextNoteNo = b.keptRecords > b.fileRecords ? b.keptRecords + 1 : b.nextNoteNo;
    } else if (b.written < b.stored.size()) {
        // New records are numbered on from the file's end: the counter follows the last one written.
        int last = 0;
        for (std::size_t i = 0; i < b.written; ++i) {
            if (b.stored[i] > b.fileRecords) last = std::max(last, b.stored[i]);
        }
        NextNoteNo = last > 0 ? last + 1 : b.nextNoteNo;
    }
    noteBatch_.reset();
}

Status SchedFiles::StoreCellNote(DayRecord& day, int slot, const QString& text)
{
    NoteRecord r;
    r.NoteText = text;
    return StoreCellNote(day, slot, r);
}

Status SchedFiles::StoreCellNote(DayRecord& day, int slot, const NoteRecord& note)
{
    int n = std::abs(static_cast<int>(day.NoteNumber[slot]));
    if (n > kMaxNoteRecords) n = 0;  // not a record a note can have: give it a new one
    const bool fresh = n == 0;
    if (fresh) {
        n = NoteRecordCount() + 1;
        if (n > kMaxNoteRecords) {
            NoteFileFull = true;
            return {};
        }
    }
    // The text is written first: a note that could not be stored leaves the cell and the
    // counter as they were, never a cell naming a record without its text.
    if (noteBatch_) {
        std::vector<std::uint8_t>& bytes = noteBatch_->bytes;
        const std::size_t at = static_cast<std::size_t>(n - 1) * NoteRecord::Size;
        if (bytes.size() < at + NoteRecord::Size) bytes.resize(at + NoteRecord::Size);
        Encode(note, std::span<std::uint8_t>(bytes.data() + at, NoteRecord::Size));
        noteBatch_->stored.push_back(n);
    } else {
        TAVRIN_TRY(WriteRecord(FileNo::Notes, n, note));
    }
    if (fresh) {
        if (n != NextNoteNo) {
            msgBox_.show(QStringLiteral("NOTE LOF>%1 CNT>%2").arg(n).arg(NextNoteNo));
            NextNoteNo = n + 1;
        } else {
            ++NextNoteNo;
        }
    }
    day.NoteNumber[slot] = static_cast<Int16>(n);
    return {};
}

void SchedFiles::ReportNoteFileFull()
{
    if (!NoteFileFull) return;
    NoteFileFull = false;
    msgBox_.beep();
    msgBox_.show(QStringLiteral("Note file full. Please adjust schedule file size. See Define/Properties or call tech "
                                "support for more information."),
                 Mb::Exclamation, QStringLiteral("Note file full"));
}

// ---------------------------------------------------------------- cost report text

Status SchedFiles::OpenReportTextForWrite()
{
    CloseReportText();
    const QString path = WorkPath(QStringLiteral(".RPT"));
    // Made afresh, never through whatever the name stood for: a link of that name is removed,
    // and the new file is created only where no file or link is (which follows no link).
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        const int err = errno;
        return Status::error(
            QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err))), err);
    }
    reportText_.setFileName(path);
    if (!reportText_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        return Status::error(QStringLiteral("Cannot write %1: %2").arg(path, reportText_.errorString()));
    }
    return {};
}

Status SchedFiles::WriteReportText(const QByteArray& bytes)
{
    int err = EBADF;
    if (reportText_.isOpen() && reportText_.isWritable() &&
        PwriteAll(reportText_.handle(), bytes.constData(), static_cast<std::size_t>(bytes.size()), 0, &err)) {
        return {};
    }
    return Status::error(
        QStringLiteral("Cannot write %1: %2").arg(reportText_.fileName(), QString::fromLocal8Bit(std::strerror(err))),
        err);
}

Status SchedFiles::OpenReportTextForRead()
{
    CloseReportText();
    reportText_.setFileName(WorkPath(QStringLiteral(".RPT")));
    if (!reportText_.open(QIODevice::ReadOnly)) {
        return Status::error(QStringLiteral("Cannot read %1: %2").arg(reportText_.fileName(), reportText_.errorString()));
    }
    return {};
}

void SchedFiles::CloseReportText()
{
    if (reportText_.isOpen()) reportText_.close();
}

}  // namespace tavrin
