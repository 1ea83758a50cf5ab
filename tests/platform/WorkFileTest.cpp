// Record files, the private working folder and the code page of stored texts.

#include "platform/AppPaths.h"
#include "platform/Cp1252.h"
#include "platform/SysIo.h"
#include "platform/WorkFile.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {
namespace {

TEST(WorkFile, ReadsPastTheEndAsZeroAndWritesByRecordNumber)
{
    QTemporaryDir dir;
    WorkFile f;
    ASSERT_TRUE(f.open(dir.filePath("r.dat"), 4));
    const std::uint8_t rec[4] = {1, 2, 3, 4};
    ASSERT_TRUE(f.write(3, rec));
    EXPECT_EQ(f.length(), 12);
    EXPECT_EQ(f.recordCount(), 3);

    std::uint8_t out[4] = {9, 9, 9, 9};
    ASSERT_TRUE(f.read(1, out));  // the hole before record 3
    EXPECT_EQ(out[0] + out[1] + out[2] + out[3], 0);
    ASSERT_TRUE(f.read(3, out));
    EXPECT_EQ(out[3], 4);
    ASSERT_TRUE(f.read(10, out));  // past the end
    EXPECT_EQ(out[0] + out[3], 0);

    // A partial last record reads as far as it goes, the rest as zero.
    ASSERT_EQ(::truncate(dir.filePath("r.dat").toLocal8Bit().constData(), 10), 0);
    ASSERT_TRUE(f.read(3, out));
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 0);

    ASSERT_TRUE(f.writeRepeated(1, 5, rec));
    EXPECT_EQ(f.recordCount(), 5);
    EXPECT_FALSE(f.read(0, out));
}

TEST(WorkFile, KeepsItsLengthUpWithItsOwnWritesAndMeasuresAgainAfterAFailedOne)
{
    QTemporaryDir dir;
    WorkFile f;
    ASSERT_TRUE(f.open(dir.filePath("r.dat"), 4));
    const std::uint8_t rec[4] = {1, 2, 3, 4};
    EXPECT_EQ(f.length(), 0);
    ASSERT_TRUE(f.write(2, rec));
    EXPECT_EQ(f.length(), 8);
    ASSERT_TRUE(f.write(1, rec));
    EXPECT_EQ(f.length(), 8);
    ASSERT_TRUE(f.writeRepeated(3, 2, rec));
    EXPECT_EQ(f.recordCount(), 4);

    // A write cut short by a file size limit leaves no part of a record on the disk.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 18;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status cut = f.write(5, rec);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(cut);
    EXPECT_EQ(f.length(), 16);
}

TEST(WorkFile, GatheredWritesPutThePartsInOrderAndReportOneCutShort)
{
    QTemporaryDir dir;
    WorkFile f;
    ASSERT_TRUE(f.open(dir.filePath("r.dat"), 4));
    const std::uint8_t a[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::uint8_t b[4] = {9, 10, 11, 12};
    const std::span<const std::uint8_t> parts[] = {b, a, std::span<const std::uint8_t>(), b};
    ASSERT_TRUE(f.writeGathered(2, parts));
    EXPECT_EQ(f.length(), 20);
    std::uint8_t out[16];
    ASSERT_TRUE(f.readRange(2, out));
    const std::uint8_t expected[16] = {9, 10, 11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_TRUE(std::equal(out, out + 16, expected));

    // Cut short by a file size limit in the second part: reported, and what it added cut off.
    Status cut;
    {
        test::FileSizeLimit limit(30);
        cut = f.writeGathered(6, parts);
    }
    EXPECT_FALSE(cut);
    EXPECT_TRUE(cut.message().contains("record 8")) << cut.message().toStdString();
    EXPECT_EQ(f.length(), 20);

    WorkFile full;
    ASSERT_TRUE(full.open(QStringLiteral("/dev/full"), 4));
    EXPECT_FALSE(full.writeGathered(1, parts));
}

TEST(WorkFile, AWriteThatFailsLeavesTheFileAtTheWholeRecordsItHad)
{
    // Each way of writing, each way a disk fails: the records already there stay as they were,
    // whatever the failing write added is gone, and the message says why.
    const std::uint8_t rec[4] = {7, 7, 7, 7};
    const std::uint8_t two[8] = {5, 5, 5, 5, 6, 6, 6, 6};
    const std::span<const std::uint8_t> parts[] = {rec, two};
    const struct {
        const char* name;
        std::function<Status(WorkFile&)> write;
    } writes[] = {
        {"one record", [&](WorkFile& f) { return f.write(3, two); }},
        {"past the end", [&](WorkFile& f) { return f.write(6, two); }},
        {"gathered", [&](WorkFile& f) { return f.writeGathered(3, parts); }},
        {"repeated", [&](WorkFile& f) { return f.writeRepeated(3, 5, rec); }},
    };
    const struct {
        int err;
        bool shortWrite;
    } faults[] = {{ENOSPC, false}, {ENOSPC, true}, {EIO, true}, {EFBIG, false}};
    for (const auto& w : writes) {
        for (const auto& fault : faults) {
            QTemporaryDir dir;
            WorkFile f;
            ASSERT_TRUE(f.open(dir.filePath("r.dat"), 4));
            const std::uint8_t first[8] = {1, 2, 3, 4, 1, 2, 3, 4};
            ASSERT_TRUE(f.write(1, std::span<const std::uint8_t>(first)));
            Status s;
            {
                SysIo::Fault disk(SysIo::Fault::Call::Write, 1, fault.err, fault.shortWrite);
                s = w.write(f);
                EXPECT_TRUE(disk.Struck()) << w.name;
            }
            EXPECT_FALSE(s) << w.name;
            EXPECT_EQ(s.sysError(), fault.err) << w.name;
            EXPECT_TRUE(s.message().endsWith(QString::fromLocal8Bit(std::strerror(fault.err)))) << w.name;
            EXPECT_EQ(QFileInfo(dir.filePath("r.dat")).size(), 8) << w.name << " " << fault.shortWrite;
            EXPECT_EQ(f.length(), 8) << w.name;
            std::uint8_t out[8];
            ASSERT_TRUE(f.readRange(1, out));
            EXPECT_TRUE(std::equal(out, out + 8, first)) << w.name;
        }
    }
}

TEST(WorkFile, FailedWritesAndOpensAreReported)
{
    WorkFile full;
    ASSERT_TRUE(full.open(QStringLiteral("/dev/full"), 4));
    const std::uint8_t rec[4] = {1, 2, 3, 4};
    const Status s = full.write(1, rec);
    EXPECT_FALSE(s);
    EXPECT_TRUE(s.message().contains("/dev/full"));

    WorkFile none;
    EXPECT_FALSE(none.open(QStringLiteral("/nonexistent-folder/x.dat"), 4));
    EXPECT_FALSE(none.write(1, rec));
}

TEST(WorkingFolder, IsCreatedPrivateAndRefusedWhenNot)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath("work");
    ASSERT_TRUE(AppPaths::PreparePrivateFolder(fresh));
    struct stat st {};
    ASSERT_EQ(::stat(fresh.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(AppPaths::PreparePrivateFolder(fresh));  // an existing private folder is fine

    const QString open = dir.filePath("open");
    ASSERT_TRUE(QDir().mkdir(open));
    ::chmod(open.toLocal8Bit().constData(), 0755);
    const Status notPrivate = AppPaths::PreparePrivateFolder(open);
    EXPECT_FALSE(notPrivate);
    EXPECT_TRUE(notPrivate.message().contains(open));

    const QString link = dir.filePath("link");
    ASSERT_EQ(::symlink(fresh.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    const Status linked = AppPaths::PreparePrivateFolder(link);
    EXPECT_FALSE(linked);
    EXPECT_TRUE(linked.message().contains(link));

    const QString file = dir.filePath("plain");
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(AppPaths::PreparePrivateFolder(file));
    EXPECT_FALSE(AppPaths::PreparePrivateFolder(dir.filePath("missing/deeper")));

    qputenv("TAVRIN_WORKDIR", fresh.toLocal8Bit());
    EXPECT_EQ(AppPaths::DefaultWorkDir(), fresh);
    qunsetenv("TAVRIN_WORKDIR");
    EXPECT_TRUE(AppPaths::DefaultWorkDir().endsWith(QStringLiteral("/tavrin-%1").arg(::getuid())));
}

TEST(WorkingFolder, IsAFullPathThatAChangeOfFolderDoesNotMove)
{
    // Opening a schedule changes the current folder; the working folder must stay where it was
    // checked.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("tmp"));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString here = QDir::currentPath();
    const QByteArray oldTmp = qgetenv("TMPDIR");
    const struct { const char* var; const char* value; QString expected; } cases[] = {
        {"TAVRIN_WORKDIR", "work", here + "/work"},
        {"TAVRIN_WORKDIR", "./a/../work", here + "/work"},
        {"TMPDIR", "tmp", here + QStringLiteral("/tmp/tavrin-%1").arg(::getuid())},
    };
    for (const auto& c : cases) {
        qunsetenv("TAVRIN_WORKDIR");
        qputenv(c.var, c.value);
        EXPECT_EQ(AppPaths::DefaultWorkDir(), c.expected) << c.var << "=" << c.value;
    }
    qunsetenv("TAVRIN_WORKDIR");
    if (oldTmp.isNull()) qunsetenv("TMPDIR");
    else qputenv("TMPDIR", oldTmp);
    QDir::setCurrent(before);
}

TEST(Cp1252, RoundTripsEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t byte = static_cast<std::uint8_t>(b);
        const QByteArray back = StringToCp1252(Cp1252ToString(&byte, 1));
        ASSERT_EQ(back.size(), 1) << b;
        EXPECT_EQ(static_cast<std::uint8_t>(back[0]), byte) << b;
    }
    EXPECT_EQ(StringToCp1252(QString::fromUtf8("\u4e2d")), QByteArray("?"));
}

}  // namespace
}  // namespace tavrin
