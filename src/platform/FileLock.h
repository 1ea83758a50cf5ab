#pragma once
// An exclusive lock on a file, held for as long as the lock keeps the file open.
//
// It is an open-file-description lock (fcntl F_OFD_SETLK): it belongs to this one open of the
// file, so closing any other descriptor of the same file (in this process too) leaves it in
// place, and every other open of the file (another copy of the program, also on another machine
// through a network folder) is refused the lock while it is held.

#include <QString>
#include <cstdint>

#include "platform/Result.h"

namespace tavrin {

class FileLock {
public:
    // Why the last Acquire failed.
    enum class Failure {
        None,
        InUse,       // another open of the file holds the lock
        CannotOpen,  // the file cannot be opened for reading and writing, or locks are refused
        NotAFile,    // a folder, device or pipe
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the file for reading and writing (creating it, mode 0666 less the umask, when
    // create is set and it is missing) and locks it whole, without waiting. Releases any lock
    // held before.
    Status Acquire(const QString& path, bool create = true);
    // Takes over a descriptor the caller opened and already locked (LockDescriptor); the lock
    // held before is released afterwards.
    void Adopt(int fd, const QString& path);
    // Closes the file, which ends the lock.
    void Release();
    // Hands the descriptor (still locked) to the caller, who then owns it; -1 when none is held.
    int Detach();

    bool IsHeld() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const QString& Path() const { return path_; }
    // Length of the locked file in bytes; -1 when none is held or it cannot be measured.
    std::int64_t Length() const;
    // True when the last Acquire created the file.
    bool Created() const { return created_; }
    Failure LastFailure() const { return failure_; }
    // The system's reason for the last failure ("" after success).
    const QString& LastError() const { return error_; }

    // Locks a whole open file exclusively without waiting: 0, or the errno of the failure
    // (EAGAIN or EACCES when another open holds a lock).
    static int LockDescriptor(int fd);

private:
    Status Fail(Failure f, const QString& why);

    int fd_ = -1;
    QString path_;
    bool created_ = false;
    Failure failure_ = Failure::None;
    QString error_;
};

}  // namespace tavrin
