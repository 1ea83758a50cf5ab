#pragma once
// The system calls that put the program's bytes on the disk: every write and every flush of a
// file the program keeps (working files, archives, exports, PDFs, published pages) goes through
// here, so that each caller sees the same errors, and tests can make the disk fail on purpose.

#include <sys/types.h>
#include <sys/uio.h>

#include <cstddef>

namespace tavrin::SysIo {

// As the system calls of the same names, retrying nothing (EINTR included): the callers' loops
// decide.
ssize_t Pwrite(int fd, const void* buf, std::size_t n, off_t offset);
ssize_t Pwritev(int fd, const iovec* iov, int count, off_t offset);
int Fsync(int fd);

// For tests: makes the disk fail from the nth call of one kind on (counted from the fault's
// start, 1 = the next call). From then on every call of that kind fails with err, as a full or
// broken disk keeps failing; with shortWrite, the first failing write instead writes about half
// of what it was given and reports that, as a disk that fills up in the middle of a write does.
// One fault at a time; it ends with its scope.
class Fault {
public:
    enum class Call { Write, Sync };
    Fault(Call call, int nth, int err, bool shortWrite = false);
    ~Fault();
    Fault(const Fault&) = delete;
    Fault& operator=(const Fault&) = delete;
    // The calls of the fault's kind made since it started, failed ones included.
    int Calls() const;
    // Whether the fault has struck.
    bool Struck() const;
};

}  // namespace tavrin::SysIo
