#pragma once
// A random-access file of fixed-length records, read and written by record number (from 1).
// A record read past the end of the file reads as zero bytes, as the schedule's record files
// always have; every failed or short write is reported. A write that fails leaves the file no
// longer than it was before it, so that a full disk never leaves part of a record at the end.
// The length is measured once and then kept up by the handle's own writes: while a working
// file is open, nothing else writes it.

#include "platform/Result.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrin {

class WorkFile {
public:
    WorkFile() = default;
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    WorkFile(WorkFile&& other) noexcept;
    WorkFile& operator=(WorkFile&& other) noexcept;

    // Opens (creating when missing, mode 0600) for reading and writing.
    Status open(const QString& path, int recordLength);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const QString& path() const { return path_; }
    int recordLength() const { return recordLength_; }

    // Length of the file in bytes; -1 when it cannot be measured.
    std::int64_t length() const;
    // Whole records in the file.
    std::int64_t recordCount() const;

    // Reads record n into out (out.size() == recordLength); the part past the end is zeroed.
    Status read(std::int64_t recordNo, std::span<std::uint8_t> out) const;
    // Reads out.size() bytes from the start of record n on (several records at once).
    Status readRange(std::int64_t recordNo, std::span<std::uint8_t> out) const { return read(recordNo, out); }
    Status write(std::int64_t recordNo, std::span<const std::uint8_t> data);
    // Writes the parts one after another from the start of record n on, with one system call
    // for all of them as far as the system takes it (records that lie apart in memory).
    Status writeGathered(std::int64_t recordNo, std::span<const std::span<const std::uint8_t>> parts);
    // Writes the same record as records first .. first + count - 1.
    Status writeRepeated(std::int64_t first, std::int64_t count, std::span<const std::uint8_t> record);
    // Flushes the file's data to the disk.
    Status sync();
    // Cuts the file to a length in bytes, or lengthens it with zero bytes.
    Status resize(std::int64_t bytes);

private:
    Status ioError(const char* what, std::int64_t recordNo, int err) const;
    void noteWrite(std::int64_t offset, std::size_t bytes, bool ok);
    // After a failed write that started with the file `before` bytes long: whatever the write
    // added is cut off again.
    void undoGrowth(std::int64_t before);

    int fd_ = -1;
    int recordLength_ = 1;
    mutable std::int64_t knownLength_ = -1;  // -1: not measured since the open or a failed write
    QString path_;
};

// Reads or writes whole byte ranges of a file descriptor, retrying short transfers.
bool PreadAll(int fd, void* buf, std::size_t n, std::int64_t offset, std::size_t* got, int* err);
bool PwriteAll(int fd, const void* buf, std::size_t n, std::int64_t offset, int* err);

}  // namespace tavrin
