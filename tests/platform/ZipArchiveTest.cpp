// Zip archives on libzip: creation from a wildcard, member listing, and extraction and tests
// that check the data instead of trusting the archive.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/ZipArchive.h"
#include "support/ZipBuilder.h"

namespace tavrin::test {
namespace {

class ZipArchiveTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.path() + QStringLiteral("/") + name; }
    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray Read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Bytes that do not compress, so that the data fills most of an archive.
    static QByteArray Pattern(int n)
    {
        QByteArray b;
        std::uint32_t x = 12345;
        for (int i = 0; i < n; ++i) {
            x = x * 1103515245u + 12345u;
            b.append(static_cast<char>(x >> 24));
        }
        return b;
    }
    QTemporaryDir dir;
};

TEST_F(ZipArchiveTest, CreatesFromMatchingRegularFilesOnlyAndUnzipAcceptsIt)
{
    const QString src = Path(QStringLiteral("src"));
    ASSERT_TRUE(QDir().mkdir(src));
    const auto put = [&](const QString& name, const QByteArray& data) { Write(QStringLiteral("src/") + name, data); };
    put(QStringLiteral("QORVANE2.SSH"), Pattern(4794));
    // Only the first: the rest of the names are not working files or not plain files.
    put(QStringLiteral("QORVANE2.SCH"), QByteArray(120000, '\0'));
    put(QStringLiteral("QORVANE2.SXYZ"), "no: four characters");
    put(QStringLiteral("qorvane2.sgr"), "no: another spelling");
    put(QStringLiteral("other.txt"), "no");
    ASSERT_TRUE(QDir(src).mkdir(QStringLiteral("QORVANE2.SDR")));
    ASSERT_TRUE(QFile::link(src + QStringLiteral("/other.txt"), src + QStringLiteral("/QORVANE2.SLN")));

    const QString zip = Path(QStringLiteral("out.zip"));
    const Status s = ZipArchive::create(zip, src, QStringLiteral("QORVANE2.S??"));
    ASSERT_TRUE(s) << s.message().toStdString();

    ZipArchive a;
    ASSERT_TRUE(a.open(zip));
    EXPECT_EQ(a.count(), 2);
    const auto members = a.members();
    ASSERT_TRUE(members);
    ASSERT_EQ(members->size(), 2u);
    EXPECT_EQ((*members)[0].name, QStringLiteral("QORVANE2.SCH"));
    EXPECT_EQ((*members)[0].size, 120000u);
    EXPECT_LT((*members)[0].compressedSize, 2000u);
    EXPECT_EQ((*members)[1].name, QStringLiteral("QORVANE2.SSH"));
    for (const ZipMember& m : *members) {
        EXPECT_EQ(m.kind, ZipMember::Kind::File);
        EXPECT_TRUE(m.readable);
    }

    if (!QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip});
        ASSERT_TRUE(unzip.waitForFinished(30000));
        EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAll().toStdString();
    }

    EXPECT_FALSE(ZipArchive::create(Path(QStringLiteral("none.zip")), src, QStringLiteral("NOTHING.*")));
}

TEST_F(ZipArchiveTest, ExtractsExactlyAndRefusesOverLimitOrExistingTarget)
{
    const QByteArray data = Pattern(70000);
    const QString zip = Path(QStringLiteral("a.zip"));
    ASSERT_TRUE(WriteZip(zip, {{QStringLiteral("A.BIN"), data}}));
    ZipArchive a;
    ASSERT_TRUE(a.open(zip));

    const QString out = Path(QStringLiteral("a.bin"));
    ASSERT_TRUE(a.extract(0, out, 70000));
    EXPECT_EQ(Read(out), data);
    // An existing file is never overwritten or followed.
    EXPECT_FALSE(a.extract(0, out, 70000));
    EXPECT_EQ(Read(out), data);

    const QString small = Path(QStringLiteral("small.bin"));
    EXPECT_FALSE(a.extract(0, small, 69999));
    EXPECT_FALSE(QFile::exists(small));
    EXPECT_TRUE(a.test(0));
    EXPECT_FALSE(a.test(0, 100));
}

TEST_F(ZipArchiveTest, DamagedDataFailsTestAndExtraction)
{
    const QByteArray data = Pattern(50000);
    const QString zip = Path(QStringLiteral("a.zip"));
    ASSERT_TRUE(WriteZip(zip, {{QStringLiteral("A.BIN"), data}}));
    QByteArray bytes = Read(zip);
    // Flip a byte in the middle of the compressed data (the local header is 30 + 5 bytes).
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x55);
    Write(QStringLiteral("bad.zip"), bytes);

    ZipArchive a;
    ASSERT_TRUE(a.open(Path(QStringLiteral("bad.zip"))));
    EXPECT_FALSE(a.test(0));
    const QString out = Path(QStringLiteral("out.bin"));
    EXPECT_FALSE(a.extract(0, out, 1 << 20));
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(ZipArchiveTest, OpenRefusesWhatIsNotAWholeArchive)
{
    ASSERT_TRUE(WriteZip(Path(QStringLiteral("a.zip")),
                         {{QStringLiteral("A"), Pattern(5000)}, {QStringLiteral("B"), Pattern(300)}}));
    const QByteArray whole = Read(Path(QStringLiteral("a.zip")));
    Write(QStringLiteral("cut.zip"), whole.left(whole.size() - 30));
    Write(QStringLiteral("text.zip"), "This is not an archive at all.");
    Write(QStringLiteral("empty.zip"), "");
    const char* bad[] = {"cut.zip", "text.zip", "empty.zip", "missing.zip", ""};
    for (const char* name : bad) {
        ZipArchive a;
        EXPECT_FALSE(a.open(Path(QString::fromLatin1(name)))) << name;
        EXPECT_FALSE(a.isOpen());
    }
}

TEST_F(ZipArchiveTest, ListsKindsOfMembers)
{
    const QString zip = Path(QStringLiteral("k.zip"));
    ASSERT_TRUE(WriteZip(zip, {{QStringLiteral("plain"), "x"},
                               {QStringLiteral("link"), "target", 0120777},
                               {QStringLiteral("folder/"), "", 040755},
                               {QStringLiteral("fifo"), "", 010644},
                               {QStringLiteral("../up/QORVANE2.SCH"), "x"},
                               {QStringLiteral("permissions only"), "x", 0600},
                               {QStringLiteral("dos file"), "x", 0x20, true},
                               {QStringLiteral("dos folder"), "", 0x10, true}}));
    ZipArchive a;
    ASSERT_TRUE(a.open(zip));
    const auto m = a.members();
    ASSERT_TRUE(m);
    ASSERT_EQ(m->size(), 8u);
    EXPECT_EQ((*m)[0].kind, ZipMember::Kind::File);
    EXPECT_EQ((*m)[1].kind, ZipMember::Kind::Symlink);
    EXPECT_EQ((*m)[2].kind, ZipMember::Kind::Directory);
    EXPECT_EQ((*m)[3].kind, ZipMember::Kind::Other);
    EXPECT_EQ((*m)[4].name, QStringLiteral("../up/QORVANE2.SCH"));
    EXPECT_EQ((*m)[5].kind, ZipMember::Kind::File);
    EXPECT_EQ((*m)[6].kind, ZipMember::Kind::File);
    EXPECT_EQ((*m)[7].kind, ZipMember::Kind::Directory);
}

TEST(ZipWildcard, MatchesWholeNames)
{
    const struct {
        const char* pattern;
        const char* name;
        bool cs;
        bool match;
    } cases[] = {
        {"QORVANE2.S??", "QORVANE2.SCH", true, true},
        {"QORVANE2.S??", "QORVANE2.SC", true, false},
        {"QORVANE2.S??", "QORVANE2.SCHX", true, false},
        {"QORVANE2.S??", "qorvane2.sch", true, false},
        {"QORVANE2.S??", "qorvane2.sch", false, true},
        {"*.TSC", "plan.TSC", true, true},
        {"*.TSC", "plan.TSC.x", true, false},
        {"a*b*c", "aXXbYYc", true, true},
        {"a*b*c", "aXXbYY", true, false},
        {"*", "", true, true},
        {"?", "", true, false},
        {"QORVANE2.S??", "x/QORVANE2.SCH", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZipArchive::WildcardMatch(QString::fromLatin1(c.pattern), QString::fromLatin1(c.name), c.cs), c.match)
            << c.pattern << " " << c.name;
    }
}

}  // namespace
}  // namespace tavrin::test
