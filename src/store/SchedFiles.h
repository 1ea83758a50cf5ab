#pragma once
// The open schedule: its settings and tables in memory, the visible-day cache and the working
// files they are read from and written to.

#include "platform/FileLock.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Result.h"
#include "platform/WorkFile.h"
#include "store/CellCodes.h"
#include "store/Records.h"
#include "store/StoreHost.h"

#include <QFile>
#include <QString>
#include <array>
#include <memory>
#include <span>
#include <vector>

namespace tavrin {

// The working files kept open while a schedule is open, under their fixed numbers.
enum class FileNo : int {
    Days = 1,
    Shifts = 2,
    Employees = 3,
    Formats = 4,
    Notes = 5,
    Explanations = 6,
    Queries = 11,
    Dividers = 13,
    Groups = 16,
};

// Writes a record to a file opened by the caller.
template <class R>
Status WriteRecordTo(WorkFile& f, std::int64_t n, const R& r)
{
    const auto buf = Encode(r);
    return f.write(n, buf);
}

template <class R>
Status ReadRecordFrom(const WorkFile& f, std::int64_t n, R& r)
{
    std::array<std::uint8_t, R::Size> buf;
    TAVRIN_TRY(f.read(n, buf));
    Decode(std::span<const std::uint8_t>(buf), r);
    return {};
}

// Reads records first .. first + out.size() - 1 with one read.
template <class R>
Status ReadRecordsFrom(const WorkFile& f, std::int64_t first, std::span<R> out)
{
    if constexpr (kWireImage<R>) {
        // Straight into the records: their bytes are the stored ones.
        return f.readRange(first,
                           std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(out.data()), out.size() * R::Size));
    }
    const std::size_t n = out.size() * R::Size;
    const auto buf = std::make_unique_for_overwrite<std::uint8_t[]>(n);
    TAVRIN_TRY(f.readRange(first, std::span<std::uint8_t>(buf.get(), n)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        Decode(std::span<const std::uint8_t>(buf.get() + i * R::Size, R::Size), out[i]);
    }
    return {};
}

// Writes records first .. first + records.size() - 1 with one write.
template <class R>
Status WriteRecordsTo(WorkFile& f, std::int64_t first, std::span<const R> records)
{
    if constexpr (kWireImage<R>) {
        return f.write(first, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(records.data()),
                                                            records.size() * R::Size));
    }
    std::vector<std::uint8_t> buf(records.size() * R::Size);
    for (std::size_t i = 0; i < records.size(); ++i) {
        Encode(records[i], std::span<std::uint8_t>(buf.data() + i * R::Size, R::Size));
    }
    return f.write(first, buf);
}

class SchedFiles {
public:
    // workDir: the private working folder (without a trailing separator).
    SchedFiles(QString workDir, MsgBox& msgBox, PrinterDevice& printer);
    SchedFiles(const SchedFiles&) = delete;
    SchedFiles& operator=(const SchedFiles&) = delete;

    void SetHost(StoreHost* host) { host_ = host ? host : &nullHost_; }
    StoreHost& Host() { return *host_; }
    MsgBox& Msg() { return msgBox_; }
    PrinterDevice& Printer() { return printer_; }

    // --- Working files ---
    // Path of a working file: "QORVANE2" + ext (".SCH", ...) in the working folder.
    QString WorkPath(const QString& ext) const;
    WorkFile& File(FileNo f) { return files_[static_cast<int>(f)]; }
    const WorkFile& File(FileNo f) const { return files_[static_cast<int>(f)]; }

    // Reads or writes record n of a kept-open working file.
    template <class R>
    Status ReadRecord(FileNo f, std::int64_t n, R& r) const
    {
        TAVRIN_TRY(CheckRecordFile(f, R::Size));
        return ReadRecordFrom(File(f), n, r);
    }
    template <class R>
    Status ReadRecords(FileNo f, std::int64_t first, std::span<R> out) const
    {
        TAVRIN_TRY(CheckRecordFile(f, R::Size));
        return ReadRecordsFrom(File(f), first, out);
    }
    template <class R>
    Status WriteRecord(FileNo f, std::int64_t n, const R& r)
    {
        TAVRIN_TRY(CheckRecordFile(f, R::Size));
        return WriteRecordTo(File(f), n, r);
    }
    template <class R>
    Status WriteRecords(FileNo f, std::int64_t first, std::span<const R> records)
    {
        TAVRIN_TRY(CheckRecordFile(f, R::Size));
        return WriteRecordsTo(File(f), first, records);
    }

    // Brings every working file but the settings file to a usable state (defaults written
    // into missing or short files) and leaves it open under its handle; reads EmpTable.
    Status InitWorkingFiles();
    // Loads ScheduleProps, or writes the settings of a new schedule when the file is empty.
    Status LoadScheduleSettings(bool& isNew);
    void Set28DayFormatDefaults();
    void SetWeeklyFormatDefaults();
    void SetDailyFormatDefaults();
    // Printer font size 8 and any print job abandoned; printer errors are ignored.
    void ResetPrinter();

    Status OpenWorkingFiles();
    Status LoadVisibleDays();
    Status FlushWorkingData();
    Status CloseWorkingFiles();
    void CloseAllFiles();
    // The kept-open working files are open (a close whose flush failed leaves them open).
    bool WorkingFilesAreOpen() const { return File(FileNo::Days).isOpen(); }

    Status OpenDaysFile();
    Status OpenShiftsFile();
    Status OpenEmployeesFile();
    Status OpenFormatsFile();
    Status OpenNotesFile();
    Status OpenExplanationsFile();
    Status OpenQueriesFile();
    Status OpenDividersFile();
    Status OpenGroupsFile();
    void CloseDaysFile() { File(FileNo::Days).close(); }
    void CloseShiftsFile() { File(FileNo::Shifts).close(); }
    void CloseEmployeesFile() { File(FileNo::Employees).close(); }
    void CloseFormatsFile() { File(FileNo::Formats).close(); }
    void CloseNotesFile() { File(FileNo::Notes).close(); }
    void CloseExplanationsFile() { File(FileNo::Explanations).close(); }
    void CloseQueriesFile() { File(FileNo::Queries).close(); }
    void CloseDividersFile() { File(FileNo::Dividers).close(); }
    void CloseGroupsFile() { File(FileNo::Groups).close(); }

    // Reads all 102 shift records from the shift file into ShiftTable and their colours into
    // ShiftColours (a cancelled shift dialog puts the stored shifts back this way).
    Status RefillShiftTable();

    // Reads format n (1..5) into CurrentFormat with its day and coverage counts held in range.
    Status LoadCurrentFormat();
    // Days and coverage lines a format shows, held to 1..42 and 0..20.
    static void ClampFormat(ScheduleFormatRecord& f);

    // --- Notes ---
    // Text of note n, right-trimmed; "" for 0, a negative number or one past the last record.
    QString GetNoteText(int n) const;
    // Records in the notes file.
    int NoteRecordCount() const
    {
        return noteBatch_ ? static_cast<int>(noteBatch_->bytes.size() / NoteRecord::Size) : NoteFileRecords();
    }
    // Reads note n; past the end of the notes file it reads as zero bytes.
    Status ReadNote(int n, NoteRecord& r) const;
    // Every note, 1..NoteRecordCount(), in one read.
    Status ReadNotes(std::vector<NoteRecord>& out) const;
    // Stores text as the note of one cell by the numbering rule (a new record for a cell without
    // a note, the cell's own record otherwise). A full notes file sets NoteFileFull and changes
    // nothing.
    Status StoreCellNote(DayRecord& day, int slot, const QString& text);
    // The same with the text already in a note record (one text stored in many cells).
    Status StoreCellNote(DayRecord& day, int slot, const NoteRecord& note);
    // Erasing a note keeps its text for the cell's next note.
    static void EraseCellNote(DayRecord& day, int slot)
    {
        if (day.NoteNumber[slot] > 0) day.NoteNumber[slot] = static_cast<Int16>(-day.NoteNumber[slot]);
    }
    // Ends an operation that stored notes: reports and clears NoteFileFull.
    void ReportNoteFileFull();

    // A bulk edit holds the notes file in memory: between BeginNoteBatch and EndNoteBatch notes
    // are read from and stored in a copy read with one read, and WriteNoteBatch writes the
    // records stored back, the file's new records with one write and then the ones it had with
    // another (a failure in the growth leaves the old records as they were).
    Status BeginNoteBatch();
    Status WriteNoteBatch();
    // Records stored in the batch so far, in order; WriteBatchedNote writes the i-th alone.
    int BatchedNotes() const { return noteBatch_ ? static_cast<int>(noteBatch_->stored.size()) : 0; }
    Status WriteBatchedNote(int i);
    // After a bulk edit's writes failed part way: the new records of the batch that no day
    // firstDay..lastDay of the day file (as it now is) names are cut off the notes file again,
    // so that a failed run leaves no note that no cell points to.
    Status DropUnreferencedBatchNotes(std::int64_t firstDay, std::int64_t lastDay);
    // A batch not written in full leaves the note counter after the last new record kept.
    void EndNoteBatch();

    // --- Cost report text file ---
    // Creates the file afresh (never writing through a link of its name) and keeps it open.
    Status OpenReportTextForWrite();
    // Writes the whole text into the file opened for writing, every byte checked.
    Status WriteReportText(const QByteArray& bytes);
    Status OpenReportTextForRead();
    void CloseReportText();
    QFile& ReportText() { return reportText_; }

    // --- Period ---
    // Days of the period, PeriodEnd - PeriodStart + 1, held to 0..32767.
    int PeriodDays() const;

    // --- The schedule file (SchedArchive.cpp) ---
    // The open schedule is SchedFolder + SchedStem + SchedExt; the extension is kept as chosen
    // or found (a new name without one gets ".QRD").
    QString SchedFolder;  // ends with "/"
    QString SchedStem;
    QString SchedExt = QStringLiteral(".QRD");
    // Target of Save As, set by the caller; it becomes the open schedule when Save As succeeds.
    QString SaveAsFolder;
    QString SaveAsStem;
    QString SaveAsExt = QStringLiteral(".QRD");
    // Length of the schedule file as the access check measured it (0: empty, a new schedule).
    std::int64_t ArchiveLength = 0;
    std::int32_t ArchiveSizeTenths = 0;  // ArchiveLength / 10

    QString SchedulePath() const { return SchedFolder + SchedStem + SchedExt; }
    QString SaveAsPath() const { return SaveAsFolder + SaveAsStem + SaveAsExt; }
    // The temporary archive of a save: stem + ".TSC" in the working folder.
    QString TempArchivePath(const QString& stem) const;
    // A folder on a removable drive ("A:" or "B:" and more): its schedule is never locked.
    static bool IsRemovableFolder(const QString& folder);

    // Opens the schedule file (creating it when missing) and takes its lock; measures it.
    bool CheckScheduleFileAccess();
    void ReleaseScheduleLock();
    bool ScheduleLocked() const { return scheduleLock_.IsHeld(); }
    // Brings the working files of the schedule file into the working folder; false (after a
    // message) when it cannot be opened, leaving the previous working files in place.
    bool OpenScheduleArchive();
    // The caller has flushed and closed the working files; it reopens them afterwards.
    bool SaveScheduleArchive();
    bool SaveScheduleArchiveAs();
    // Why the last save or Save As failed, in a few words (the system's reason where a system
    // call failed: "No space left on device").
    QString LastSaveFailure;
    // Removes the temporary archives that saves cut off (the program killed) left in a working
    // folder; one still being written is left alone.
    static void RemoveStaleTempArchives(const QString& workDir);
    bool CheckSaveAsTargetAccess();
    void CloseSaveAsTarget();
    // Deletes every QORVANE2.S?? file of a folder.
    static void DeleteWorkingFileSet(const QString& folder);

    // --- Change of the schedule period (PeriodChange.cpp) ---
    OleDate NewPeriodStart = 0;  // set by the caller
    OleDate NewPeriodEnd = 0;
    // Rebuilds the day and notes files for the new period; false (after a message) when the
    // period was refused or a file error stopped it, with the old period and files kept.
    bool ChangeScheduleDates();

    // --- The schedule in memory ---
    QString WorkDir;
    QString DateFormat = QStringLiteral("MM/dd/yyyy");
    int TwipsPerPixelX = 15;

    SchedulePropertiesRecord ScheduleProps;
    const SchedulePropertiesRecord BlankScheduleProps{};
    ScheduleFormatRecord CurrentFormat;
    int CurrentFormatNo = 1;
    EmployeeTable EmpTable;
    ExplanationTable ExplTable;
    ShiftRecord ShiftBuf;
    ShiftTableArray ShiftTable;
    VbArray<Byte, 1, kShiftCodes> ShiftColours;  // palette number of each shift
    QueryRecord QueryBuf;
    DividerPropertiesRecord DividerBuf;
    GroupRecord GroupBuf;
    NoteRecord NoteBuf;
    DayRecord DayBuf;
    std::uint32_t DayRulerColour = PaletteColour(7);

    // Visible-day cache.
    VbArray<DayRecord, 1, kMaxVisibleDays> DayCache;
    VbArray<int, 1, kMaxVisibleDays> ColumnSlot;  // cache slot shown in each visible column
    VbArray<int, 1, kMaxVisibleDays> SlotDayNo;   // day-file record of each slot (0 = past the period)
    VbArray<int, 1, kMaxVisibleDays> SlotDirty;
    int VisibleDays = 1;

    int NextNoteNo = 1;
    bool NoteFileFull = false;
    bool WorkingFilesOpen = false;
    bool ScheduleModified = false;
    // Set while a printout borrows the view state (another period and range in the cache):
    // nothing may be flushed or saved until it is put back.
    bool ViewLent = false;

    // The day record shown in visible column c (1..VisibleDays).
    DayRecord& ColumnDay(int c) { return DayCache[ColumnSlot[c]]; }
    void MarkColumnDirty(int c) { SlotDirty[ColumnSlot[c]] = 1; }

private:
    struct NoteBatch {
        std::vector<std::uint8_t> bytes;  // the notes file from record 1 on
        int fileRecords = 0;              // records in the file when read
        int nextNoteNo = 0;               // NextNoteNo when read
        std::vector<int> stored;          // records stored, in order
        std::size_t written = 0;          // of those, the first ones known to be in the file
        int keptRecords = -1;             // records left after DropUnreferencedBatchNotes
    };

    Status CheckRecordFile(FileNo f, std::size_t size) const;
    // Writes the dirty cached days that lie in the period, each run of consecutive days with one
    // write, and clears their marks.
    Status WriteDirtyDays();
    int NoteFileRecords() const;
    Status OpenKept(FileNo f, const char* ext, int recordLength);
    // Makes the RowMap a permutation of 1..200, keeping each valid slot's first row.
    void RepairRowMap();

    static Status CompleteLastRecord(WorkFile& f);
    Status InitDays(WorkFile& f);
    Status InitShifts(WorkFile& f);
    Status InitEmployees(WorkFile& f);
    Status InitNotes(WorkFile& f);
    Status InitExplanations(WorkFile& f);
    Status InitFormats(WorkFile& f);
    Status InitQueries(WorkFile& f);
    Status InitDividers(WorkFile& f);
    Status InitGroups(WorkFile& f);

    MsgBox& msgBox_;
    PrinterDevice& printer_;
    NullStoreHost nullHost_;
    StoreHost* host_ = &nullHost_;
    std::array<WorkFile, 17> files_;
    QFile reportText_;
    bool rowMapRepaired_ = false;
    std::unique_ptr<NoteBatch> noteBatch_;
    FileLock scheduleLock_;  // the open schedule file, held as its lock
    FileLock saveAsLock_;    // the probe of a Save As target
};

// The texts of the notes for a run that reads many: the notes file read in one go, or, should
// that read fail or not be wanted, each note read when asked. Reads as GetNoteText.
class NoteTexts {
public:
    explicit NoteTexts(const SchedFiles& files, bool readAll = true);
    QString operator()(int n) const;

private:
    const SchedFiles& files_;
    std::vector<NoteRecord> notes_;
    bool read_ = false;
};

}  // namespace tavrin
