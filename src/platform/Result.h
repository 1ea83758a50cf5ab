#pragma once
// Errors as values across modules: a Status says whether an operation worked and why not.

#include <QString>
#include <cstring>
#include <optional>
#include <utility>

namespace tavrin {

class Status {
public:
    Status() = default;
    static Status error(QString message) { Status s; s.ok_ = false; s.message_ = std::move(message); return s; }
    // A failure of a system call: err is its errno, kept so that a caller can say the
    // system's reason on its own ("No space left on device").
    static Status error(QString message, int err)
    {
        Status s = error(std::move(message));
        s.sysError_ = err;
        return s;
    }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const QString& message() const { return message_; }
    // The errno of the failed system call; 0 when the failure was none.
    int sysError() const { return sysError_; }
    // Why, in a few words: the system's reason when a system call failed, else the message.
    QString reason() const { return sysError_ != 0 ? QString::fromLocal8Bit(std::strerror(sysError_)) : message_; }

private:
    bool ok_ = true;
    int sysError_ = 0;
    QString message_;
};

template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure) : status_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    Status status() const { return value_ ? Status() : status_; }
    const QString& message() const { return status_.message(); }

private:
    std::optional<T> value_;
    Status status_;
};

// Returns early from the calling function when an expression yields a failed Status.
#define TAVRIN_TRY(expr)                                    \
    do {                                                    \
        ::tavrin::Status tavrin_try_status_ = (expr);       \
        if (!tavrin_try_status_) return tavrin_try_status_; \
    } while (false)

}  // namespace tavrin
