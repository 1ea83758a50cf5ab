// The schedule file's lock against a second process, and the replacement of a file that never
// leaves it half written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "platform/FileLock.h"
#include "platform/FileReplace.h"
#include "platform/SysIo.h"
#include "support/OtherProcess.h"

namespace tavrin::test {
namespace {

class FileLockTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.path() + QStringLiteral("/") + name; }
    void Write(const QString& path, const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray Read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Files of the folder, hidden ones included.
    QStringList Entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static ino_t Inode(int fd)
    {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? st.st_ino : 0;
    }
    static ino_t Inode(const QString& path)
    {
        struct stat st {};
        return ::stat(path.toLocal8Bit().constData(), &st) == 0 ? st.st_ino : 0;
    }
    QTemporaryDir dir;
};

TEST_F(FileLockTest, HeldLockKeepsAnotherProcessOutUntilReleased)
{
    const QString path = Path(QStringLiteral("plan.QRD"));
    FileLock lock;
    ASSERT_TRUE(lock.Acquire(path));
    EXPECT_TRUE(lock.Created());
    EXPECT_EQ(lock.Length(), 0);
    EXPECT_FALSE(OtherProcessCanLock(path));

    // Closing other descriptors of the same file, in this process, leaves the lock in place.
    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        other.write("abc");
    }
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_FALSE(OtherProcessCanLock(path));
    EXPECT_EQ(lock.Length(), 3);

    lock.Release();
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_TRUE(OtherProcessCanLock(path));
}

TEST_F(FileLockTest, LockHeldByAnotherProcessIsReportedInUse)
{
    const QString path = Path(QStringLiteral("plan.QRD"));
    Write(path, "archive");
    {
        OtherProcessLock other(path);
        ASSERT_TRUE(other.Held());
        FileLock lock;
        EXPECT_FALSE(lock.Acquire(path));
        EXPECT_EQ(lock.LastFailure(), FileLock::Failure::InUse);
        EXPECT_FALSE(lock.IsHeld());
        EXPECT_FALSE(lock.Created());
    }
    FileLock lock;
    ASSERT_TRUE(lock.Acquire(path));
    // A second open in this process is refused too: each open of the file is separate.
    FileLock second;
    EXPECT_FALSE(second.Acquire(path));
    EXPECT_EQ(Read(path), QByteArray("archive"));
}

TEST_F(FileLockTest, FailuresSayWhy)
{
    FileLock lock;
    EXPECT_FALSE(lock.Acquire(Path(QStringLiteral("missing.QRD")), false));
    EXPECT_EQ(lock.LastFailure(), FileLock::Failure::CannotOpen);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("missing.QRD"))));

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.QRD")));
    EXPECT_FALSE(lock.Acquire(Path(QStringLiteral("folder.QRD"))));
    EXPECT_EQ(lock.LastFailure(), FileLock::Failure::NotAFile);

    ASSERT_EQ(::mkfifo(Path(QStringLiteral("pipe.QRD")).toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(lock.Acquire(Path(QStringLiteral("pipe.QRD"))));
    EXPECT_EQ(lock.LastFailure(), FileLock::Failure::NotAFile);

    EXPECT_FALSE(lock.Acquire(Path(QStringLiteral("no/such/folder.QRD"))));
    EXPECT_EQ(lock.LastFailure(), FileLock::Failure::CannotOpen);
    EXPECT_FALSE(lock.LastError().isEmpty());
}

TEST_F(FileLockTest, ReplaceKeepsPermissionsAndLeavesNoTemporaryFile)
{
    const QString target = Path(QStringLiteral("plan.QRD"));
    const QString source = Path(QStringLiteral("new.TSC"));
    Write(target, "old contents");
    ASSERT_EQ(::chmod(target.toLocal8Bit().constData(), 0640), 0);
    Write(source, "new contents");

    ASSERT_TRUE(ReplaceFileWithCopy(source, target));
    EXPECT_EQ(Read(target), QByteArray("new contents"));
    struct stat st {};
    ASSERT_EQ(::stat(target.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("new.TSC"), QStringLiteral("plan.QRD")}));

    // A new target.
    ASSERT_TRUE(ReplaceFileWithCopy(source, Path(QStringLiteral("fresh.QRD"))));
    EXPECT_EQ(Read(Path(QStringLiteral("fresh.QRD"))), QByteArray("new contents"));
}

TEST_F(FileLockTest, FailedReplaceLeavesTargetWhole)
{
    const QString target = Path(QStringLiteral("plan.QRD"));
    Write(target, "old contents");
    EXPECT_FALSE(ReplaceFileWithCopy(Path(QStringLiteral("missing.TSC")), target));
    EXPECT_EQ(Read(target), QByteArray("old contents"));

    // A full disk while copying.
    const QString big = Path(QStringLiteral("big.TSC"));
    Write(big, QByteArray(200000, 'x'));
    {
        FileSizeLimit limit(100000);
        EXPECT_FALSE(ReplaceFileWithCopy(big, target));
    }
    EXPECT_EQ(Read(target), QByteArray("old contents"));
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("big.TSC"), QStringLiteral("plan.QRD")}));
}

TEST_F(FileLockTest, ReplaceFollowsALinkAndMovesTheLockToTheNewFile)
{
    const QString real = Path(QStringLiteral("real.QRD"));
    const QString link = Path(QStringLiteral("link.QRD"));
    const QString source = Path(QStringLiteral("new.TSC"));
    Write(real, "old");
    Write(source, "new");
    ASSERT_TRUE(QFile::link(real, link));

    FileLock lock;
    ASSERT_TRUE(lock.Acquire(link));
    const ino_t oldInode = Inode(lock.Descriptor());
    ASSERT_TRUE(ReplaceFileWithCopy(source, link, &lock));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Read(real), QByteArray("new"));
    ASSERT_TRUE(lock.IsHeld());
    EXPECT_NE(Inode(lock.Descriptor()), oldInode);
    EXPECT_EQ(Inode(lock.Descriptor()), Inode(real));
    EXPECT_FALSE(OtherProcessCanLock(real));
    lock.Release();
    EXPECT_TRUE(OtherProcessCanLock(real));
}

TEST_F(FileLockTest, AWholeFileThatCannotBeWrittenLeavesTheOldOneAndSaysWhy)
{
    const QString path = Path(QStringLiteral("week.csv"));
    Write(path, "last week");
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0640), 0);
    // Less than one buffer of a stream: a write that fails must not pass unseen.
    const QByteArray text(10000, 'x');
    const struct {
        const char* name;
        SysIo::Fault::Call call;
        int err;
        bool shortWrite;
    } faults[] = {
        {"full disk", SysIo::Fault::Call::Write, ENOSPC, false},
        {"filled while writing", SysIo::Fault::Call::Write, ENOSPC, true},
        {"broken disk", SysIo::Fault::Call::Write, EIO, false},
        {"flush to the disk", SysIo::Fault::Call::Sync, EIO, false},
    };
    for (const auto& f : faults) {
        Status s;
        {
            SysIo::Fault disk(f.call, 1, f.err, f.shortWrite);
            s = WriteWholeFile(path, text);
            EXPECT_TRUE(disk.Struck()) << f.name;
        }
        EXPECT_FALSE(s) << f.name;
        EXPECT_EQ(s.message(), QStringLiteral("Cannot write ") + path + QStringLiteral(": ") +
                                   QString::fromLocal8Bit(std::strerror(f.err)))
            << f.name;
        EXPECT_EQ(Read(path), QByteArray("last week")) << f.name;
        EXPECT_EQ(Entries(), QStringList{QStringLiteral("week.csv")}) << f.name;
    }

    ASSERT_TRUE(WriteWholeFile(path, text));
    EXPECT_EQ(Read(path), text);
    struct stat st {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("week.csv")});
}

TEST_F(FileLockTest, StaleCopiesBesideAFileAreRemovedButNotOnesStillBeingWritten)
{
    const QString target = Path(QStringLiteral("plan.QRD"));
    Write(target, "schedule");
    const QStringList stale = {QStringLiteral(".plan.QRD.a1B2c3"), QStringLiteral(".plan.QRD.ZZ9yx0")};
    for (const QString& name : stale) Write(Path(name), "half a copy");
    // Copies still being written: locked by another process, or by another open in this one.
    Write(Path(QStringLiteral(".plan.QRD.bus1ed")), "being written");
    OtherProcessLock other(Path(QStringLiteral(".plan.QRD.bus1ed")));
    ASSERT_TRUE(other.Held());
    Write(Path(QStringLiteral(".plan.QRD.mine01")), "being written");
    FileLock mine;
    ASSERT_TRUE(mine.Acquire(Path(QStringLiteral(".plan.QRD.mine01")), false));
    // Just created, not yet locked by its writer.
    Write(Path(QStringLiteral(".plan.QRD.empty0")), "");
    // Other names, and a link, are never touched.
    const QStringList others = {QStringLiteral(".plan.QRD.abc"),     QStringLiteral(".plan.QRD.abc-12"),
                                QStringLiteral(".plan.QRD.1234567"), QStringLiteral(".plan.qrd.a1b2c3"),
                                QStringLiteral(".copy.QRD.a1b2c3"),  QStringLiteral("plan.QRD.a1b2c3")};
    for (const QString& name : others) Write(Path(name), "someone else's");
    Write(Path(QStringLiteral("elsewhere")), "linked to");
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("elsewhere")), Path(QStringLiteral(".plan.QRD.link00"))));

    const QStringList before = Entries();
    RemoveStaleCopies(target);
    QStringList expected = before;
    for (const QString& name : stale) expected.removeAll(name);
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(Read(Path(QStringLiteral("elsewhere"))), QByteArray("linked to"));
    EXPECT_TRUE(OtherProcessCanLock(target));

    // Through a link to the schedule, the copies beside the schedule itself are the ones.
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    Write(Path(QStringLiteral("sub/real.QRD")), "schedule");
    Write(Path(QStringLiteral("sub/.real.QRD.q1w2e3")), "half a copy");
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("sub/real.QRD")), Path(QStringLiteral("alias.QRD"))));
    Write(Path(QStringLiteral(".alias.QRD.q1w2e3")), "not a copy of it");
    RemoveStaleCopies(Path(QStringLiteral("alias.QRD")));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("sub/.real.QRD.q1w2e3"))));
    EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral(".alias.QRD.q1w2e3"))));
}

}  // namespace
}  // namespace tavrin::test
