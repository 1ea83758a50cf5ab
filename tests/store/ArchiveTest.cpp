// The schedule file: opening it into the working folder, refusing what is not a schedule,
// saving without ever leaving it damaged, Save As, and its lock against a second process.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/SysIo.h"
#include "store/ZipArch.h"
#include "support/OtherProcess.h"
#include "support/StoreFixture.h"
#include "support/ZipBuilder.h"

namespace tavrin::test {
namespace {

const char* const kAllFiles[] = {".SCH", ".SSH", ".SEM", ".SSF", ".SNO", ".SEP", ".SPR", ".SQ1", ".SDV", ".SGR"};

class Archive : public StoreFixture {
protected:
    Archive()
    {
        files->SchedFolder = schedDir.path() + QStringLiteral("/");
        files->SchedStem = QStringLiteral("plan");
    }
    QString SchedPath() const { return files->SchedulePath(); }
    static QByteArray ReadPath(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void WritePath(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    // The working files as they are now, by extension.
    std::map<QString, QByteArray> WorkingSet() const
    {
        std::map<QString, QByteArray> set;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            if (name.startsWith(QLatin1String("QORVANE2.S")))
                set[name] = ReadPath(dir.path() + QStringLiteral("/") + name);
        }
        return set;
    }
    QStringList WorkDirEntries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // A new schedule with a few changes, saved as the schedule file and open again.
    void MakeSavedSchedule()
    {
        ASSERT_TRUE(files->OpenScheduleArchive());
        OpenNewSchedule();
        files->EmpTable.Name[3] = "Ann Lee";
        files->ColumnDay(2).Shift1Code[files->ScheduleProps.RowMap[3]] = 7;
        files->MarkColumnDirty(2);
        ASSERT_TRUE(files->StoreCellNote(files->ColumnDay(2), 3, QStringLiteral("bring keys")));
        Save();
    }
    void Save()
    {
        ASSERT_TRUE(files->CloseWorkingFiles());
        ASSERT_TRUE(files->SaveScheduleArchive());
        ASSERT_TRUE(files->OpenWorkingFiles());
    }
    // The working files of a saved schedule, each as an archive member.
    std::vector<ZipEntry> Members() const
    {
        std::vector<ZipEntry> entries;
        for (const auto& [name, data] : WorkingSet()) entries.push_back({name, data});
        return entries;
    }

    QTemporaryDir schedDir;
};

TEST_F(Archive, NewNameGivesAnEmptyLockedScheduleFileAndClearsTheWorkingFolder)
{
    WriteFile(QStringLiteral(".SCH"), "stale");
    WriteFile(QStringLiteral(".SGR"), "stale");
    ASSERT_TRUE(files->OpenScheduleArchive());
    EXPECT_TRUE(QFileInfo::exists(SchedPath()));
    EXPECT_EQ(QFileInfo(SchedPath()).size(), 0);
    EXPECT_EQ(files->ArchiveSizeTenths, 0);
    EXPECT_TRUE(WorkingSet().empty());
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_FALSE(OtherProcessCanLock(SchedPath()));
    EXPECT_TRUE(msg.shown.empty());
    files->ReleaseScheduleLock();
    EXPECT_TRUE(OtherProcessCanLock(SchedPath()));
}

TEST_F(Archive, SavedScheduleOpensWithItsDataInAnotherWorkingFolder)
{
    MakeSavedSchedule();
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_FALSE(OtherProcessCanLock(SchedPath()));
    EXPECT_GT(files->ArchiveLength, 0);
    EXPECT_EQ(files->ArchiveSizeTenths, files->ArchiveLength / 10);

    // Ten members under their upper-case names, a standard archive.
    const std::vector<ZipEntry> members = ReadZip(SchedPath());
    ASSERT_EQ(members.size(), 10u);
    for (const ZipEntry& m : members)
        EXPECT_TRUE(m.name.startsWith(QLatin1String("QORVANE2.S"))) << m.name.toStdString();
    if (!QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), SchedPath()});
        ASSERT_TRUE(unzip.waitForFinished(30000));
        EXPECT_EQ(unzip.exitCode(), 0);
    }
    const auto saved = WorkingSet();
    files->ReleaseScheduleLock();

    QTemporaryDir otherWork;
    FakeMsgBox otherMsg;
    SchedFiles other(otherWork.path(), otherMsg, printer);
    other.SchedFolder = files->SchedFolder;
    other.SchedStem = files->SchedStem;
    ASSERT_TRUE(other.OpenScheduleArchive());
    bool isNew = true;
    ASSERT_TRUE(other.LoadScheduleSettings(isNew));
    EXPECT_FALSE(isNew);
    ASSERT_TRUE(other.OpenWorkingFiles());
    EXPECT_EQ(other.EmpTable.Name[3].str(), QStringLiteral("Ann Lee"));
    DayRecord day;
    ASSERT_TRUE(other.ReadRecord(FileNo::Days, 2, day));
    EXPECT_EQ(day.Shift1Code[other.ScheduleProps.RowMap[3]], 7);
    EXPECT_EQ(other.GetNoteText(day.NoteNumber[3]), QStringLiteral("bring keys"));
    for (const auto& [name, data] : saved) {
        QFile f(otherWork.path() + QStringLiteral("/") + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    }
    EXPECT_TRUE(otherMsg.shown.empty());
}

TEST_F(Archive, SavingTwiceLeavesOneTemporaryArchiveAndNoStrayFiles)
{
    MakeSavedSchedule();
    Save();
    EXPECT_EQ(WorkDirEntries().filter(QStringLiteral(".TSC")), QStringList{QStringLiteral("plan.TSC")});
    EXPECT_EQ(WorkDirEntries().filter(QStringLiteral("QORVANE2.")).size(), 10);
    EXPECT_EQ(QDir(schedDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("plan.QRD")});
}

TEST_F(Archive, SaveKeepsTheFilesPermissionBits)
{
    MakeSavedSchedule();
    ASSERT_EQ(::chmod(SchedPath().toLocal8Bit().constData(), 0604), 0);
    Save();
    struct stat st {};
    ASSERT_EQ(::stat(SchedPath().toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST_F(Archive, ArchivesThatAreNoScheduleAreRefusedAndThePreviousFilesStay)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    const std::vector<ZipEntry> good = Members();
    const auto previous = WorkingSet();
    const QByteArray whole = ReadPath(SchedPath());

    const auto without = [&](const QStringList& drop) {
        std::vector<ZipEntry> e;
        for (const ZipEntry& m : good) {
            if (!drop.contains(m.name)) e.push_back(m);
        }
        return e;
    };
    const auto renamed = [&](const QString& from, const QString& to, unsigned mode = 0100644) {
        std::vector<ZipEntry> e = good;
        for (ZipEntry& m : e) {
            if (m.name == from) {
                m.name = to;
                m.mode = mode;
            }
        }
        return e;
    };
    std::vector<ZipEntry> oversized = good;
    for (ZipEntry& m : oversized) {
        if (m.name == QLatin1String("QORVANE2.SPR")) m.data.append('\0');
    }
    std::vector<ZipEntry> twice = good;
    twice.push_back({QStringLiteral("qorvane2.sch"), good[0].data});
    std::vector<ZipEntry> sevenOthers;
    for (int i = 0; i < 7; ++i) sevenOthers.push_back({QStringLiteral("file%1.txt").arg(i), "x"});

    const struct {
        const char* what;
        std::vector<ZipEntry> entries;  // empty: the raw bytes below
        QByteArray raw;
    } cases[] = {
        {"not a zip", {}, "This is a letter, not a schedule."},
        {"a few bytes", {}, "PK"},
        {"truncated", {}, whole.left(whole.size() / 2)},
        {"6 members", without({"QORVANE2.SDV", "QORVANE2.SGR", "QORVANE2.SQ1", "QORVANE2.SPR"}), {}},
        {"7 files of something else", sevenOthers, {}},
        {"a required file missing", without({"QORVANE2.SPR"}), {}},
        {"a member in a folder", renamed("QORVANE2.SEM", "sub/QORVANE2.SEM"), {}},
        {"a member above the folder", renamed("QORVANE2.SEM", "../QORVANE2.SEM"), {}},
        {"an absolute member", renamed("QORVANE2.SEM", "/tmp/QORVANE2.SEM"), {}},
        {"a link member", renamed("QORVANE2.SEM", "QORVANE2.SEM", 0120777), {}},
        {"a folder member", renamed("QORVANE2.SEM", "QORVANE2.SEM", 040755), {}},
        {"a member over its size", oversized, {}},
        {"a member twice", twice, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.entries.empty())
            WritePath(SchedPath(), c.raw);
        else
            ASSERT_TRUE(WriteZip(SchedPath(), c.entries));
        msg.Clear();
        EXPECT_FALSE(files->OpenScheduleArchive());
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, SchedPath() + QStringLiteral(" is not a valid schedule file"));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(msg.beeps, 1);
        EXPECT_EQ(WorkingSet(), previous);
        EXPECT_FALSE(files->ScheduleLocked());
        EXPECT_EQ(WorkDirEntries().filter(QStringLiteral("UNZ")).size(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(schedDir.path() + QStringLiteral("/../QORVANE2.SEM")));
}

TEST_F(Archive, DamagedMemberDataGivesTheCouldNotOpenMessageAndKeepsThePreviousFiles)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    const auto previous = WorkingSet();

    // Stored members of data that does not compress, so that a byte in the middle is data.
    std::vector<ZipEntry> entries = Members();
    QByteArray noise(200000, '\0');
    std::uint32_t x = 1;
    for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    for (ZipEntry& m : entries) {
        if (m.name == QLatin1String("QORVANE2.SCH")) m.data = noise;
    }
    ASSERT_TRUE(WriteZip(SchedPath(), entries));
    QByteArray bytes = ReadPath(SchedPath());
    const qsizetype at = bytes.indexOf(noise.mid(100000, 16));
    ASSERT_GT(at, 0);
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    WritePath(SchedPath(), bytes);

    EXPECT_FALSE(files->OpenScheduleArchive());
    EXPECT_EQ(msg.Last(), QStringLiteral("Could not open ") + SchedPath() + QStringLiteral(" to ") + files->WorkDir);
    EXPECT_EQ(WorkingSet(), previous);
    EXPECT_EQ(WorkDirEntries().filter(QStringLiteral("UNZ")).size(), 0);
}

TEST_F(Archive, ConvertedArchiveOfEightMembersOpensAndGainsTheOtherFiles)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    std::vector<ZipEntry> eight;
    for (const ZipEntry& m : Members()) {
        if (m.name != QLatin1String("QORVANE2.SDV") && m.name != QLatin1String("QORVANE2.SGR")) eight.push_back(m);
    }
    ASSERT_EQ(eight.size(), 8u);
    ASSERT_TRUE(WriteZip(SchedPath(), eight));
    ASSERT_TRUE(files->OpenScheduleArchive());
    EXPECT_EQ(WorkingSet().size(), 8u);
    OpenExisting();
    EXPECT_EQ(FileSize(QStringLiteral(".SDV")), 301 * 263);
    EXPECT_EQ(FileSize(QStringLiteral(".SGR")), 99 * 112);
    EXPECT_EQ(files->EmpTable.Name[3].str(), QStringLiteral("Ann Lee"));
}

TEST_F(Archive, MembersAreMatchedIgnoringCaseAndOtherMembersAreLeftAlone)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    std::vector<ZipEntry> entries;
    for (const ZipEntry& m : Members()) entries.push_back({m.name.toLower(), m.data});
    entries.push_back({QStringLiteral("../../escaped.txt"), "x"});
    entries.push_back({QStringLiteral("readme.txt"), "x"});
    entries.push_back({QStringLiteral("QORVANE2.SXX"), "x"});
    ASSERT_TRUE(WriteZip(SchedPath(), entries));

    SchedFiles::DeleteWorkingFileSet(dir.path());
    ASSERT_TRUE(files->OpenScheduleArchive());
    QStringList names;
    for (const auto& [name, data] : WorkingSet()) names << name;
    EXPECT_EQ(names.size(), 10);
    for (const char* ext : kAllFiles)
        EXPECT_TRUE(names.contains(QStringLiteral("QORVANE2") + QLatin1String(ext))) << ext;
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/readme.txt")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/../../escaped.txt")));
    OpenExisting();
    EXPECT_EQ(files->EmpTable.Name[3].str(), QStringLiteral("Ann Lee"));
}

TEST_F(Archive, MembersArePlainFilesUnlessTheirAttributesSayOtherwise)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    const std::vector<ZipEntry> good = Members();
    const struct {
        const char* what;
        unsigned mode;
        bool msdos;
        bool opens;
    } cases[] = {
        {"Unix regular file 0100644", 0100644, false, true},
        {"Unix permissions only, 0600", 0600, false, true},
        {"no attributes at all", 0, false, true},
        {"MS-DOS archive bit", 0x20, true, true},
        {"MS-DOS read-only", 0x01, true, true},
        {"MS-DOS folder bit", 0x10, true, false},
        {"Unix link", 0120777, false, false},
        {"Unix folder", 040755, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<ZipEntry> entries = good;
        for (ZipEntry& e : entries) {
            e.mode = c.mode;
            e.msdos = c.msdos;
        }
        ASSERT_TRUE(WriteZip(SchedPath(), entries));
        SchedFiles::DeleteWorkingFileSet(dir.path());
        msg.Clear();
        EXPECT_EQ(files->OpenScheduleArchive(), c.opens);
        if (c.opens) {
            EXPECT_TRUE(msg.shown.empty());
            OpenExisting();
            EXPECT_EQ(files->EmpTable.Name[3].str(), QStringLiteral("Ann Lee"));
            files->CloseAllFiles();
        } else {
            ASSERT_EQ(msg.shown.size(), 1u);
            EXPECT_EQ(msg.shown[0].prompt, SchedPath() + QStringLiteral(" is not a valid schedule file"));
        }
        files->ReleaseScheduleLock();
    }
}

TEST_F(Archive, ScheduleOpenInAnotherProcessIsRefusedWithAMessageNamingIt)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    files->ReleaseScheduleLock();
    const auto previous = WorkingSet();
    {
        OtherProcessLock other(SchedPath());
        ASSERT_TRUE(other.Held());
        EXPECT_FALSE(files->OpenScheduleArchive());
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt,
                  SchedPath() + QStringLiteral(" is in use by another copy of Tavrin or by another program."));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(WorkingSet(), previous);
        EXPECT_FALSE(files->ScheduleLocked());
    }
    EXPECT_TRUE(files->OpenScheduleArchive());
    EXPECT_TRUE(files->ScheduleLocked());
}

TEST_F(Archive, ExtensionIsKeptAsChosen)
{
    files->SchedExt = QStringLiteral(".qrd");
    MakeSavedSchedule();
    EXPECT_TRUE(QFileInfo::exists(schedDir.path() + QStringLiteral("/plan.qrd")));
    EXPECT_FALSE(QFileInfo::exists(schedDir.path() + QStringLiteral("/plan.QRD")));
    EXPECT_EQ(ReadZip(schedDir.path() + QStringLiteral("/plan.qrd")).size(), 10u);
}

TEST_F(Archive, FailedSaveLeavesTheScheduleFileWholeAndLocked)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    const QByteArray before = ReadPath(SchedPath());

    // A working file lost: the archive would not open again, so it never replaces the file.
    const QByteArray settings = ReadFile(QStringLiteral(".SPR"));
    ASSERT_TRUE(QFile::remove(Path(QStringLiteral(".SPR"))));
    EXPECT_FALSE(files->SaveScheduleArchive());
    EXPECT_EQ(ReadPath(SchedPath()), before);
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_FALSE(OtherProcessCanLock(SchedPath()));
    WriteFile(QStringLiteral(".SPR"), settings);

    // A full disk while the temporary archive is written.
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(files->SaveScheduleArchive());
    }
    EXPECT_EQ(ReadPath(SchedPath()), before);
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_TRUE(files->SaveScheduleArchive());
}

TEST_F(Archive, AFailedSaveSaysWhyAndLeavesNothingPartialBehind)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    const QByteArray before = ReadPath(SchedPath());
    const auto besideTheSchedule = [&] {
        return QDir(schedDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    // The disk fills or breaks while the new archive is copied beside the schedule file, or
    // when it is flushed to the disk.
    const struct {
        SysIo::Fault::Call call;
        int err;
        bool shortWrite;
    } faults[] = {{SysIo::Fault::Call::Write, ENOSPC, false},
                  {SysIo::Fault::Call::Write, ENOSPC, true},
                  {SysIo::Fault::Call::Sync, EIO, false}};
    for (const auto& f : faults) {
        {
            SysIo::Fault disk(f.call, 1, f.err, f.shortWrite);
            EXPECT_FALSE(files->SaveScheduleArchive());
            EXPECT_TRUE(disk.Struck());
        }
        EXPECT_EQ(files->LastSaveFailure, QString::fromLocal8Bit(std::strerror(f.err)));
        EXPECT_EQ(ReadPath(SchedPath()), before);
        EXPECT_EQ(besideTheSchedule(), QStringList{QStringLiteral("plan.QRD")});
        EXPECT_TRUE(files->ScheduleLocked());
    }

    // A working file that ends in part of a record is never archived.
    const QByteArray notes = ReadFile(QStringLiteral(".SNO"));
    WriteFile(QStringLiteral(".SNO"), notes + QByteArray(56, 'x'));
    EXPECT_FALSE(files->SaveScheduleArchive());
    EXPECT_EQ(files->LastSaveFailure,
              QStringLiteral("The working file ") + Path(QStringLiteral(".SNO")) +
                  QStringLiteral(" ends in an incomplete record (56 bytes after record %1).").arg(notes.size() / 60));
    EXPECT_EQ(ReadPath(SchedPath()), before);
    EXPECT_TRUE(files->ScheduleLocked());

    // Save As says why too.
    files->SaveAsFolder = files->SchedFolder;
    files->SaveAsStem = QStringLiteral("copy");
    EXPECT_FALSE(files->SaveScheduleArchiveAs());
    EXPECT_TRUE(files->LastSaveFailure.contains(QStringLiteral("incomplete record")));
    WriteFile(QStringLiteral(".SNO"), notes);
    {
        SysIo::Fault disk(SysIo::Fault::Call::Write, 1, ENOSPC);
        EXPECT_FALSE(files->SaveScheduleArchiveAs());
    }
    EXPECT_EQ(files->LastSaveFailure, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(besideTheSchedule(), QStringList{QStringLiteral("plan.QRD")});
    const QString busy = schedDir.path() + QStringLiteral("/busy.QRD");
    WritePath(busy, "someone else's schedule");
    OtherProcessLock other(busy);
    ASSERT_TRUE(other.Held());
    files->SaveAsStem = QStringLiteral("busy");
    EXPECT_FALSE(files->SaveScheduleArchiveAs());
    EXPECT_EQ(files->LastSaveFailure,
              QStringLiteral("The file is in use by another copy of Tavrin or by another program."));

    EXPECT_TRUE(files->SaveScheduleArchive());
    EXPECT_TRUE(files->LastSaveFailure.isEmpty());
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(Archive, StaleTemporaryFilesAreRemovedAtOpenAndSaveUnlessStillBeingWritten)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    const auto plant = [](const QString& path) { WritePath(path, "left by a save that was cut off"); };
    const QString work = dir.path() + QStringLiteral("/");
    const QString beside = schedDir.path() + QStringLiteral("/");
    // In the working folder, temporary archives of any schedule; beside the schedule, its copies.
    const QStringList staleWork = {QStringLiteral("plan.TSC.a1b2c3"), QStringLiteral("other.TSC.ZZ9yx0")};
    const QStringList staleBeside = {QStringLiteral(".plan.QRD.a1b2c3"), QStringLiteral(".plan.QRD.Q8w7e6")};
    // Other names: a file of the user's, a working file, another schedule's copy.
    const QStringList keepWork = {QStringLiteral("plan.TSC.bak"), QStringLiteral("plan.TSC.a1b2c3d"),
                                  QStringLiteral("QORVANE2.SNO.a1b2c3"), QStringLiteral(".plan.QRD.a1b2c3")};
    const QStringList keepBeside = {QStringLiteral(".other.QRD.a1b2c3"), QStringLiteral("plan.QRD.a1b2c3"),
                                    QStringLiteral("plan.TSC.a1b2c3")};
    for (const QString& n : staleWork + keepWork) plant(work + n);
    for (const QString& n : staleBeside + keepBeside) plant(beside + n);
    // Still being written by another copy: its lock is held. (The schedule's own lock is
    // released first: the other process would inherit it.)
    files->ReleaseScheduleLock();
    plant(work + QStringLiteral("plan.TSC.held01"));
    plant(beside + QStringLiteral(".plan.QRD.held01"));
    OtherProcessLock heldWork(work + QStringLiteral("plan.TSC.held01"));
    OtherProcessLock heldBeside(beside + QStringLiteral(".plan.QRD.held01"));
    ASSERT_TRUE(heldWork.Held() && heldBeside.Held());

    ASSERT_TRUE(files->OpenScheduleArchive()) << msg.Last().toStdString();
    for (const QString& n : staleWork) EXPECT_FALSE(QFileInfo::exists(work + n)) << n.toStdString();
    for (const QString& n : keepWork) EXPECT_TRUE(QFileInfo::exists(work + n)) << n.toStdString();
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("plan.TSC.held01")));
    // Opening leaves the schedule's folder alone; saving clears its own copies there.
    for (const QString& n : staleBeside) EXPECT_TRUE(QFileInfo::exists(beside + n)) << n.toStdString();
    OpenExisting();
    Save();
    for (const QString& n : staleBeside) EXPECT_FALSE(QFileInfo::exists(beside + n)) << n.toStdString();
    for (const QString& n : keepBeside) EXPECT_TRUE(QFileInfo::exists(beside + n)) << n.toStdString();
    EXPECT_TRUE(QFileInfo::exists(beside + QStringLiteral(".plan.QRD.held01")));
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(Archive, SaveAsMovesTheScheduleAndItsLockToTheNewFile)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    const QString old = SchedPath();
    files->SaveAsFolder = files->SchedFolder;
    files->SaveAsStem = QStringLiteral("copy");
    ASSERT_TRUE(files->SaveScheduleArchiveAs());
    EXPECT_EQ(files->SchedStem, QStringLiteral("copy"));
    EXPECT_EQ(SchedPath(), schedDir.path() + QStringLiteral("/copy.QRD"));
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_FALSE(OtherProcessCanLock(SchedPath()));
    EXPECT_TRUE(OtherProcessCanLock(old));
    EXPECT_EQ(ReadZip(SchedPath()).size(), 10u);
    EXPECT_TRUE(WorkDirEntries().contains(QStringLiteral("copy.TSC")));
}

TEST_F(Archive, FailedSaveAsLeavesNoNewFileAndKeepsTheCurrentLock)
{
    MakeSavedSchedule();
    ASSERT_TRUE(files->CloseWorkingFiles());
    ASSERT_TRUE(QFile::remove(Path(QStringLiteral(".SEM"))));
    files->SaveAsFolder = files->SchedFolder;
    files->SaveAsStem = QStringLiteral("copy");
    EXPECT_FALSE(files->SaveScheduleArchiveAs());
    EXPECT_FALSE(QFileInfo::exists(schedDir.path() + QStringLiteral("/copy.QRD")));
    EXPECT_EQ(files->SchedStem, QStringLiteral("plan"));
    EXPECT_TRUE(files->ScheduleLocked());
    EXPECT_FALSE(OtherProcessCanLock(SchedPath()));

    // An existing target in use elsewhere is not touched.
    const QString target = schedDir.path() + QStringLiteral("/busy.QRD");
    WritePath(target, "someone else's schedule");
    OtherProcessLock other(target);
    ASSERT_TRUE(other.Held());
    files->SaveAsStem = QStringLiteral("busy");
    EXPECT_FALSE(files->SaveScheduleArchiveAs());
    EXPECT_EQ(ReadPath(target), QByteArray("someone else's schedule"));
}

TEST(ArchiveRules, RemovableDriveFolders)
{
    const struct {
        const char* folder;
        bool removable;
    } cases[] = {
        {"A:\\data\\", true}, {"B:/", true},     {"A:", false},     {"a:/plans/", false},
        {"C:/plans/", false}, {"/A:/x/", false}, {"/home/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SchedFiles::IsRemovableFolder(QString::fromLatin1(c.folder)), c.removable) << c.folder;
}

TEST(ArchiveRules, WorkingFileLimits)
{
    const struct {
        const char* name;
        std::uint64_t max;
        bool required;
    } cases[] = {
        {"QORVANE2.SCH", 32767ull * 1200, true},
        {"qorvane2.sno", 32766ull * 60, true},
        {"QORVANE2.SDV", 301 * 263, false},
        {"QORVANE2.SGR", 99 * 112, false},
        {"QORVANE2.SPR", 2508, true},
    };
    for (const auto& c : cases) {
        const auto* file = ZipArch::WorkingFileFor(QString::fromLatin1(c.name));
        ASSERT_NE(file, nullptr) << c.name;
        EXPECT_EQ(file->maxBytes, c.max) << c.name;
        EXPECT_EQ(file->required, c.required) << c.name;
    }
    for (const char* name : {"QORVANE2.SXX", "dir/QORVANE2.SCH", "QORVANE2.SCH ", "QORVANE2.TSC"}) {
        EXPECT_EQ(ZipArch::WorkingFileFor(QString::fromLatin1(name)), nullptr) << name;
    }
}

}  // namespace
}  // namespace tavrin::test
