// Record files, the private working folder and the code page of stored texts.

#include "platform/AppPaths.h"
#include "platform/Cp1252.h"
#include "platform/WorkFile.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
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

    // A write cut short by a file size limit leaves part of a record on the disk.
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
    EXPECT_EQ(f.length(), 18);
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

    // Cut short by a file size limit in the second part: reported, and the length measured again.
    Status cut;
    {
        test::FileSizeLimit limit(30);
        cut = f.writeGathered(6, parts);
    }
    EXPECT_FALSE(cut);
    EXPECT_TRUE(cut.message().contains("record 8")) << cut.message().toStdString();
    EXPECT_EQ(f.length(), 30);

    WorkFile full;
    ASSERT_TRUE(full.open(QStringLiteral("/dev/full"), 4));
    EXPECT_FALSE(full.writeGathered(1, parts));
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
