#pragma once
// Another process for tests of the schedule file's lock: it opens a file and tries to take or
// holds the same exclusive lock a second copy of the program would.

#include <sys/types.h>

#include <QString>

namespace tavrin::test {

// True when a separate process can open the file for reading and writing and lock it.
bool OtherProcessCanLock(const QString& path);

// A separate process that holds the lock on a file until this object is destroyed.
class OtherProcessLock {
public:
    explicit OtherProcessLock(const QString& path);
    ~OtherProcessLock();
    OtherProcessLock(const OtherProcessLock&) = delete;
    OtherProcessLock& operator=(const OtherProcessLock&) = delete;
    // True when the other process got the lock.
    bool Held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool held_ = false;
};

// Files of this process may not grow past `bytes` while it lives (writes past it fail with
// EFBIG instead of a signal): a full disk, for the tests.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    long long oldSoft_ = 0;
    long long oldHard_ = 0;
};

}  // namespace tavrin::test
