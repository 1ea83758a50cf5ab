#pragma once
// Zip archives of any content for tests: members with any names, kinds and data.

#include <QByteArray>
#include <QString>
#include <vector>

namespace tavrin::test {

struct ZipEntry {
    QString name;
    QByteArray data;
    unsigned mode = 0100644;  // Unix type and permission bits (0120777 a link, 040755 a folder)
    bool msdos = false;       // mode is then the MS-DOS attribute byte (0x10 a folder, 0x20 archive)
};

// Writes the archive; false when libzip refused.
bool WriteZip(const QString& path, const std::vector<ZipEntry>& entries);
// The members of an archive with their data, read with libzip; empty when it cannot be read.
std::vector<ZipEntry> ReadZip(const QString& path);

}  // namespace tavrin::test
