#include "store/ZipArch.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <array>
#include <vector>

#include "platform/ZipArchive.h"
#include "store/Records.h"

namespace tavrin::ZipArch {

namespace {

constexpr std::uint64_t Bytes(std::uint64_t records, std::size_t size)
{
    return records * size;
}

const std::array<WorkingFileSpec, 10> kWorkingFiles = {{
    {"QORVANE2.SCH", Bytes(kMaxPeriodDays, DayRecord::Size), true, DayRecord::Size},
    {"QORVANE2.SSH", Bytes(kShiftCodes, ShiftRecord::Size), true, ShiftRecord::Size},
    {"QORVANE2.SEM", Bytes(1, EmployeeTable::Size), true, EmployeeTable::Size},
    {"QORVANE2.SSF", Bytes(kFormats, ScheduleFormatRecord::Size), true, ScheduleFormatRecord::Size},
    {"QORVANE2.SNO", Bytes(kMaxNoteRecords, NoteRecord::Size), true, NoteRecord::Size},
    {"QORVANE2.SEP", Bytes(1, ExplanationTable::Size), true, ExplanationTable::Size},
    {"QORVANE2.SPR", Bytes(1, SchedulePropertiesRecord::Size), true, SchedulePropertiesRecord::Size},
    {"QORVANE2.SQ1", Bytes(kQueries, QueryRecord::Size), true, QueryRecord::Size},
    {"QORVANE2.SDV", Bytes(kDividerRecords, DividerPropertiesRecord::Size), false, DividerPropertiesRecord::Size},
    {"QORVANE2.SGR", Bytes(kGroups, GroupRecord::Size), false, GroupRecord::Size},
}};

struct Chosen {
    std::uint64_t index;
    const WorkingFileSpec* file;
};

// The working-file members of an open archive, each checked; an error names the first fault.
Status ScanMembers(const ZipArchive& zip, const QString& archive, std::vector<Chosen>& chosen)
{
    const auto invalid = [&](const QString& why) { return Status::error(QStringLiteral("%1: %2").arg(archive, why)); };
    if (zip.count() <= 6) return invalid(QStringLiteral("6 members or fewer"));
    auto members = zip.members();
    if (!members) return members.status();
    std::array<bool, kWorkingFiles.size()> seen{};
    for (const ZipMember& m : members.value()) {
        const WorkingFileSpec* file = WorkingFileFor(m.name);
        if (!file) continue;
        const auto slot = static_cast<std::size_t>(file - kWorkingFiles.data());
        if (seen[slot]) return invalid(QStringLiteral("%1 appears twice").arg(QString::fromLatin1(file->name)));
        seen[slot] = true;
        if (m.kind != ZipMember::Kind::File) return invalid(QStringLiteral("%1 is not a plain file").arg(m.name));
        if (!m.readable) return invalid(QStringLiteral("%1 cannot be read").arg(m.name));
        if (m.size > file->maxBytes) return invalid(QStringLiteral("%1 is too large").arg(m.name));
        chosen.push_back({m.index, file});
    }
    for (std::size_t i = 0; i < kWorkingFiles.size(); ++i) {
        if (kWorkingFiles[i].required && !seen[i]) {
            return invalid(QStringLiteral("%1 is missing").arg(QString::fromLatin1(kWorkingFiles[i].name)));
        }
    }
    return {};
}

}  // namespace

std::span<const WorkingFileSpec> WorkingFiles()
{
    return kWorkingFiles;
}

const WorkingFileSpec* WorkingFileFor(const QString& memberName)
{
    for (const WorkingFileSpec& f : kWorkingFiles) {
        if (memberName.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) return &f;
    }
    return nullptr;
}

Status CheckScheduleArchive(const QString& archive)
{
    ZipArchive zip;
    TAVRIN_TRY(zip.open(archive));
    std::vector<Chosen> chosen;
    return ScanMembers(zip, archive, chosen);
}

bool IsValidScheduleArchive(const QString& archive)
{
    return CheckScheduleArchive(archive).ok();
}

Status ExtractFromArchive(const QString& archive, const QString& pattern, const QString& destFolder)
{
    ZipArchive zip;
    TAVRIN_TRY(zip.open(archive));
    std::vector<Chosen> chosen;
    TAVRIN_TRY(ScanMembers(zip, archive, chosen));
    for (const Chosen& c : chosen) {
        const QString name = QString::fromLatin1(c.file->name);
        if (!ZipArchive::WildcardMatch(pattern, name, false)) continue;
        TAVRIN_TRY(zip.extract(c.index, destFolder + name, c.file->maxBytes));
    }
    return {};
}

Status TestArchive(const QString& archive, const QString& pattern)
{
    ZipArchive zip;
    TAVRIN_TRY(zip.open(archive));
    auto members = zip.members();
    if (!members) return members.status();
    int tested = 0;
    for (const ZipMember& m : members.value()) {
        if (!ZipArchive::WildcardMatch(pattern, m.name, false)) continue;
        TAVRIN_TRY(zip.test(m.index));
        ++tested;
    }
    if (tested == 0) return Status::error(QStringLiteral("%1: no member matches %2").arg(archive, pattern));
    return {};
}

Status AddToArchive(const QString& archive, const QString& filePattern)
{
    const qsizetype slash = filePattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : filePattern.left(slash + 1);
    return ZipArchive::create(archive, folder, filePattern.mid(slash + 1));
}

Status CheckWholeRecords(const QString& folder)
{
    for (const WorkingFileSpec& f : kWorkingFiles) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(f.name));
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const auto size = static_cast<std::uint64_t>(st.st_size);
        if (size % f.recordSize == 0) continue;
        return Status::error(
            QStringLiteral("The working file %1 ends in an incomplete record (%2 bytes after record %3).")
                .arg(path)
                .arg(size % f.recordSize)
                .arg(size / f.recordSize));
    }
    return {};
}

}  // namespace tavrin::ZipArch
