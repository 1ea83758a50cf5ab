#pragma once
// The schedule archive's zip operations: which members a schedule file may hold, and the four
// wrappers the store uses (check, extract, test, add).

#include <QString>
#include <cstdint>
#include <span>

#include "platform/Result.h"

namespace tavrin::ZipArch {

// A working file as an archive member: its name, the most bytes it can legitimately hold and
// whether every schedule has it.
struct WorkingFileSpec {
    const char* name;  // "QORVANE2.SCH"
    std::uint64_t maxBytes;
    bool required;
    std::uint64_t recordSize;
};

std::span<const WorkingFileSpec> WorkingFiles();
// The working file a member stands for: its whole name equal to a working file's name, ignoring
// case (no folders, no other characters); nullptr for every other member.
const WorkingFileSpec* WorkingFileFor(const QString& memberName);

// True when the archive can be opened as a schedule: more than 6 members, among them the eight
// files every schedule has (.SCH .SSH .SEM .SSF .SNO .SEP .SPR .SQ1), each working file at most
// once, as a plain readable file no larger than it can legitimately be. Other members are
// ignored.
bool IsValidScheduleArchive(const QString& archive);
// Why IsValidScheduleArchive refused an archive; ok when it would accept it.
Status CheckScheduleArchive(const QString& archive);

// Extracts the working-file members whose names match pattern (ignoring case) into destFolder
// (ending with "/"), under their upper-case names; the archive must pass the check above, and
// every member is checked again while it is written (its CRC, its real size). Files already in
// destFolder under those names make it fail.
Status ExtractFromArchive(const QString& archive, const QString& pattern, const QString& destFolder);
// Reads every member matching pattern (ignoring case) to its end with CRC checks; at least one
// must match.
Status TestArchive(const QString& archive, const QString& pattern);
// Creates archive from the files matching a path pattern ("folder/QORVANE2.S??").
Status AddToArchive(const QString& archive, const QString& filePattern);

// Refuses a folder whose working files do not all hold whole records: such a file would make
// an archive that cannot be read as a schedule.
Status CheckWholeRecords(const QString& folder);

}  // namespace tavrin::ZipArch
