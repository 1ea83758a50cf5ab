#pragma once
// Replacing a file by a copy of another without ever leaving it half written: the copy goes to
// a new file in the target's folder, is flushed to the disk and is then renamed over the target.
// A failure at any point (a full disk, a crash) leaves the previous target whole.

#include <QByteArray>
#include <QString>
#include <functional>

#include "platform/Result.h"

namespace tavrin {

class FileLock;

// Replaces target (a symbolic link is followed: the file it points to is replaced) by a copy of
// source, keeping the target's permission bits (a new target gets 0666 less the umask). The copy
// is written as "." + the target's name + "." + six letters or digits beside the (real) target,
// locked from its creation until it has taken the target's name.
// When lock is given, the new file is locked before it takes the target's name and the lock
// holds it afterwards (the file the lock held before is released after the rename); when the new
// file could not be locked, the replacement still happens and lock is left released.
Status ReplaceFileWithCopy(const QString& source, const QString& target, FileLock* lock = nullptr);

// Writes bytes as the whole of path (a symbolic link is followed). A file is written beside the
// target and renamed over it, keeping the target's permission bits (a new file gets 0666 less
// the umask), so that a failure leaves the previous file whole and no partial file behind; a
// device is written in place. Every write and the flush to the disk are checked. A failure of
// any step says "Cannot write " + path + ": " and the system's reason.
Status WriteWholeFile(const QString& path, const QByteArray& bytes);

// Whether name is stem followed by the six letters or digits that mkstemp puts for "XXXXXX".
bool IsTempNameOf(const QString& name, const QString& stem);
// Removes the temporary files of folder that a write cut off (the program killed) left behind:
// the plain files whose names isTempName accepts, except those still being written, that is
// empty ones and those whose lock (FileLock) is held. Errors are ignored.
void RemoveStaleTempFiles(const QString& folder, const std::function<bool(const QString&)>& isTempName);
// The same for the copies ReplaceFileWithCopy leaves beside target when it is cut off.
void RemoveStaleCopies(const QString& target);

// Removes a file, a link (not what it points to) or a folder with everything in it; errors are
// ignored.
void RemovePath(const QString& path);

}  // namespace tavrin
