#include "platform/SysIo.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

namespace tavrin::SysIo {

namespace {

// The fault in force, if any. Writes may come from more than one thread (a print job's file is
// written while the window waits), so it is read under a lock; without a fault only one relaxed
// load is paid per call.
struct FaultState {
    std::atomic<bool> active{false};
    std::mutex mutex;
    Fault::Call call = Fault::Call::Write;
    int nth = 0;
    int err = 0;
    bool shortWrite = false;
    int calls = 0;
    bool struck = false;
};

FaultState& State()
{
    static FaultState state;
    return state;
}

// What a call of this kind must do under the fault: 0 go ahead, -1 fail with *err, 1 write short.
int Decide(Fault::Call call, int* err)
{
    FaultState& s = State();
    if (!s.active.load(std::memory_order_relaxed)) return 0;
    std::lock_guard lock(s.mutex);
    if (!s.active.load(std::memory_order_relaxed) || s.call != call) return 0;
    ++s.calls;
    if (s.calls < s.nth) return 0;
    *err = s.err;
    if (!s.struck && s.shortWrite && call == Fault::Call::Write) {
        s.struck = true;
        return 1;
    }
    s.struck = true;
    return -1;
}

}  // namespace

Fault::Fault(Call call, int nth, int err, bool shortWrite)
{
    FaultState& s = State();
    std::lock_guard lock(s.mutex);
    s.call = call;
    s.nth = nth < 1 ? 1 : nth;
    s.err = err;
    s.shortWrite = shortWrite;
    s.calls = 0;
    s.struck = false;
    s.active.store(true);
}

Fault::~Fault()
{
    FaultState& s = State();
    std::lock_guard lock(s.mutex);
    s.active.store(false);
}

int Fault::Calls() const
{
    FaultState& s = State();
    std::lock_guard lock(s.mutex);
    return s.calls;
}

bool Fault::Struck() const
{
    FaultState& s = State();
    std::lock_guard lock(s.mutex);
    return s.struck;
}

namespace {

// A write of n bytes under the fault: failed, cut to about half, or done as asked.
template <class Call>
ssize_t FaultedWrite(std::size_t n, Call&& write)
{
    int err = 0;
    switch (Decide(Fault::Call::Write, &err)) {
        case -1:
            errno = err;
            return -1;
        case 1:
            if (n > 1) return write(n / 2);
            errno = err;
            return -1;
        default:
            return write(n);
    }
}

}  // namespace

ssize_t Pwrite(int fd, const void* buf, std::size_t n, off_t offset)
{
    return FaultedWrite(n, [&](std::size_t k) { return ::pwrite(fd, buf, k, offset); });
}

ssize_t Pwritev(int fd, const iovec* iov, int count, off_t offset)
{
    int err = 0;
    switch (Decide(Fault::Call::Write, &err)) {
        case -1:
            errno = err;
            return -1;
        case 1: {
            // Half of the first part that holds anything.
            for (int i = 0; i < count; ++i) {
                if (iov[i].iov_len > 1) return ::pwrite(fd, iov[i].iov_base, iov[i].iov_len / 2, offset);
                if (iov[i].iov_len == 1) break;
            }
            errno = err;
            return -1;
        }
        default:
            return ::pwritev(fd, iov, count, offset);
    }
}

int Fsync(int fd)
{
    int err = 0;
    if (Decide(Fault::Call::Sync, &err) != 0) {
        errno = err;
        return -1;
    }
    return ::fsync(fd);
}

}  // namespace tavrin::SysIo
