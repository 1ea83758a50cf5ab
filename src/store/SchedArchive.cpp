// The schedule file: its lock, opening it into the working folder and saving the working files
// back into it.

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <climits>

#include "platform/FileReplace.h"
#include "platform/ZipArchive.h"
#include "store/SchedFiles.h"
#include "store/ZipArch.h"

namespace tavrin {

namespace {

const QString kWorkingFilePattern = QStringLiteral("QORVANE2.S??");
// Where an archive is unpacked before its files replace the working files.
const QString kStagingFolder = QStringLiteral("/QORVANE2.UNZ");

QStringList WorkingFileNames(const QString& folder)
{
    QStringList names;
    const QDir dir(folder);
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (ZipArchive::WildcardMatch(kWorkingFilePattern, fi.fileName(), true)) names << fi.fileName();
    }
    return names;
}

void NotProtectedMessage(MsgBox& msg, const QString& path)
{
    msg.beep();
    msg.show(
        QStringLiteral("Tavrin could not lock ") + path +
            QStringLiteral(" again. The file is no longer protected against being opened by another copy of Tavrin."),
        Mb::Exclamation, QStringLiteral("Error"));
}

}  // namespace

QString SchedFiles::TempArchivePath(const QString& stem) const
{
    return WorkDir + QStringLiteral("/") + stem + QStringLiteral(".TSC");
}

bool SchedFiles::IsRemovableFolder(const QString& folder)
{
    return folder.size() > 2 && (folder.startsWith(QLatin1String("A:")) || folder.startsWith(QLatin1String("B:")));
}

void SchedFiles::DeleteWorkingFileSet(const QString& folder)
{
    for (const QString& name : WorkingFileNames(folder))
        ::unlink(QString(folder + QStringLiteral("/") + name).toLocal8Bit().constData());
}

void SchedFiles::ReleaseScheduleLock()
{
    ResetPrinter();
    scheduleLock_.Release();
}

bool SchedFiles::CheckScheduleFileAccess()
{
    ArchiveSizeTenths = 0;
    ArchiveLength = 0;
    ResetPrinter();
    ReleaseScheduleLock();
    if (!scheduleLock_.Acquire(SchedulePath(), true)) return false;
    const std::int64_t len = scheduleLock_.Length();
    if (len > 0) {
        ArchiveLength = len;
        ArchiveSizeTenths = static_cast<std::int32_t>(std::min<std::int64_t>(len / 10, INT32_MAX));
    }
    return true;
}

void SchedFiles::CloseSaveAsTarget()
{
    ResetPrinter();
    saveAsLock_.Release();
}

bool SchedFiles::CheckSaveAsTargetAccess()
{
    ResetPrinter();
    CloseSaveAsTarget();
    return saveAsLock_.Acquire(SaveAsPath(), true).ok();
}

namespace {

bool IsTempArchiveCopy(const QString& name)
{
    // libzip writes an archive as its name + "." + six letters or digits, then renames it.
    constexpr qsizetype kTail = 6;
    const QString stem = name.left(name.size() - kTail);
    return stem.endsWith(QLatin1String(".TSC.")) && IsTempNameOf(name, stem);
}

}  // namespace

void SchedFiles::RemoveStaleTempArchives(const QString& workDir)
{
    RemoveStaleTempFiles(workDir, IsTempArchiveCopy);
}

bool SchedFiles::OpenScheduleArchive()
{
    const QString path = SchedulePath();
    const bool removable = IsRemovableFolder(SchedFolder);
    RemoveStaleTempArchives(WorkDir);

    // The lock is taken once and kept while the archive is read: it does not keep this program
    // from reading the file, and no other copy can take the file in between.
    if (!CheckScheduleFileAccess() && !removable) {
        const FileLock::Failure why = scheduleLock_.LastFailure();
        const QString reason = scheduleLock_.LastError();
        ReleaseScheduleLock();
        msgBox_.beep();
        if (why == FileLock::Failure::InUse) {
            msgBox_.show(path + QStringLiteral(" is in use by another copy of Tavrin or by another program."),
                         Mb::Exclamation, QStringLiteral("Error"));
        } else if (why == FileLock::Failure::NotAFile) {
            msgBox_.show(path + QStringLiteral(" is not a valid schedule file"), Mb::Exclamation,
                         QStringLiteral("Error"));
        } else {
            msgBox_.show(QStringLiteral("Tavrin cannot open ") + path + QStringLiteral(" for reading and writing: ") +
                             reason + QStringLiteral("."),
                         Mb::Exclamation, QStringLiteral("Error"));
        }
        return false;
    }
    // On a removable drive a file that cannot be opened counts as empty.
    if (removable) ReleaseScheduleLock();

    if (ArchiveLength == 0) {
        DeleteWorkingFileSet(WorkDir);
        return true;
    }

    if (!ZipArch::IsValidScheduleArchive(path)) {
        ReleaseScheduleLock();
        msgBox_.beep();
        msgBox_.show(path + QStringLiteral(" is not a valid schedule file"), Mb::Exclamation, QStringLiteral("Error"));
        return false;
    }

    // Unpacked beside the working files first: they are replaced only once every member has
    // been extracted and checked, so that a failure leaves the previous schedule's files.
    const QString staging = WorkDir + kStagingFolder;
    RemovePath(staging);
    bool ok = QDir().mkdir(staging) && ::chmod(staging.toLocal8Bit().constData(), 0700) == 0 &&
              ZipArch::ExtractFromArchive(path, kWorkingFilePattern, staging + QStringLiteral("/")).ok();
    host_->ProcessEvents();
    if (ok) {
        DeleteWorkingFileSet(WorkDir);
        for (const QString& name : WorkingFileNames(staging)) {
            const QByteArray from = QString(staging + QStringLiteral("/") + name).toLocal8Bit();
            const QByteArray to = QString(WorkDir + QStringLiteral("/") + name).toLocal8Bit();
            if (::rename(from.constData(), to.constData()) != 0) ok = false;
        }
    }
    RemovePath(staging);
    if (!ok) {
        ReleaseScheduleLock();
        msgBox_.beep();
        msgBox_.show(QStringLiteral("Could not open ") + path + QStringLiteral(" to ") + WorkDir, Mb::Exclamation,
                     QStringLiteral("Error"));
        return false;
    }
    return true;
}

namespace {

// Zips the working files into a fresh temporary archive and checks it as an open would, so
// that a save never puts an archive that cannot be opened again in place of a schedule.
Status WriteTestedArchive(const QString& workDir, const QString& tsc)
{
    TAVRIN_TRY(ZipArch::CheckWholeRecords(workDir));
    ::unlink(tsc.toLocal8Bit().constData());
    TAVRIN_TRY(ZipArch::AddToArchive(tsc, workDir + QStringLiteral("/") + kWorkingFilePattern));
    TAVRIN_TRY(ZipArch::TestArchive(tsc, kWorkingFilePattern));
    return ZipArch::CheckScheduleArchive(tsc);
}

}  // namespace

bool SchedFiles::SaveScheduleArchive()
{
    const bool removable = IsRemovableFolder(SchedFolder);
    const QString tsc = TempArchivePath(SchedStem);
    // The lock stays on the old file until the new one, locked already, has taken its name.
    Status s = WriteTestedArchive(WorkDir, tsc);
    if (s) {
        RemoveStaleCopies(SchedulePath());
        s = ReplaceFileWithCopy(tsc, SchedulePath(), removable ? nullptr : &scheduleLock_);
    }
    LastSaveFailure = s ? QString() : s.reason();

    if (!removable) {
        if (scheduleLock_.IsHeld()) {
            const std::int64_t len = scheduleLock_.Length();
            ArchiveLength = len > 0 ? len : 0;
            ArchiveSizeTenths = static_cast<std::int32_t>(std::min<std::int64_t>(ArchiveLength / 10, INT32_MAX));
        } else if (!CheckScheduleFileAccess()) {
            NotProtectedMessage(msgBox_, SchedulePath());
        }
    }
    return s.ok();
}

bool SchedFiles::SaveScheduleArchiveAs()
{
    const bool removable = IsRemovableFolder(SaveAsFolder);
    const QString target = SaveAsPath();
    bool created = false;
    LastSaveFailure.clear();
    if (!removable) {
        // The probe keeps the target locked until it has been replaced.
        if (!CheckSaveAsTargetAccess()) {
            LastSaveFailure =
                saveAsLock_.LastFailure() == FileLock::Failure::InUse
                    ? QStringLiteral("The file is in use by another copy of Tavrin or by another program.")
                    : saveAsLock_.LastError();
            CloseSaveAsTarget();
            return false;
        }
        created = saveAsLock_.Created();
    }

    Status s = WriteTestedArchive(WorkDir, TempArchivePath(SaveAsStem));
    if (s) {
        RemoveStaleCopies(target);
        s = ReplaceFileWithCopy(TempArchivePath(SaveAsStem), target, removable ? nullptr : &saveAsLock_);
    }
    if (!s) {
        LastSaveFailure = s.reason();
        if (!removable) {
            // A target the probe created is not left behind empty.
            if (created && saveAsLock_.Length() == 0) ::unlink(target.toLocal8Bit().constData());
            CloseSaveAsTarget();
        }
        return false;
    }

    ReleaseScheduleLock();
    SchedFolder = SaveAsFolder;
    SchedStem = SaveAsStem;
    SchedExt = SaveAsExt;
    if (!removable) {
        if (saveAsLock_.IsHeld()) {
            scheduleLock_.Adopt(saveAsLock_.Detach(), target);
            const std::int64_t len = scheduleLock_.Length();
            ArchiveLength = len > 0 ? len : 0;
            ArchiveSizeTenths = static_cast<std::int32_t>(std::min<std::int64_t>(ArchiveLength / 10, INT32_MAX));
        } else if (!CheckScheduleFileAccess()) {
            NotProtectedMessage(msgBox_, SchedulePath());
        }
    }
    return true;
}

}  // namespace tavrin
