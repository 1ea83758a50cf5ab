#pragma once
// Standard zip archives on libzip: create one from the files matching a wildcard, and read one
// member by member (count, list with names, sizes and kinds, extract, test with CRC check).
//
// Reading never trusts the sizes an archive states: extraction and tests count the bytes they
// get and stop at the limit the caller gives.

#include <QString>
#include <cstdint>
#include <vector>

#include "platform/Result.h"

struct zip;

namespace tavrin {

struct ZipMember {
    enum class Kind { File, Directory, Symlink, Other };
    std::uint64_t index = 0;
    QString name;            // as stored, with any folders
    std::uint64_t size = 0;  // uncompressed, as the archive states it
    std::uint64_t compressedSize = 0;
    Kind kind = Kind::File;
    bool encrypted = false;
    bool readable = true;  // compression method and encryption supported
};

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Opens an existing archive (a regular file) for reading, with the format's consistency
    // checks.
    Status open(const QString& path);
    void close();
    bool isOpen() const { return za_ != nullptr; }

    std::int64_t count() const;
    Result<std::vector<ZipMember>> members() const;

    // Writes member `index` to destPath, which must not exist yet (it is created with mode
    // 0600 and no symbolic link is followed). The data's CRC is checked; more than maxBytes
    // or a size other than the stated one fails. A failed extraction removes destPath.
    Status extract(std::uint64_t index, const QString& destPath, std::uint64_t maxBytes);
    // Reads member `index` to its end and checks its CRC and size, writing nothing.
    Status test(std::uint64_t index, std::uint64_t maxBytes = UINT64_MAX);

    // Creates archivePath (replacing an archive of that name) holding the regular files of
    // folder whose names match the wildcard ("?" one character, "*" any run; case-sensitive),
    // in name order, each under its own name, deflated at the given level (1..9).
    static Status create(const QString& archivePath, const QString& folder, const QString& wildcard, int level = 6);

    // Wildcard match of a whole name.
    static bool WildcardMatch(const QString& pattern, const QString& name, bool caseSensitive);

private:
    Status read(std::uint64_t index, int fd, std::uint64_t maxBytes);
    Status error(const QString& what) const;

    zip* za_ = nullptr;
    QString path_;
};

}  // namespace tavrin
