// The command line, the date display format and the working folder at start.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <set>

#include "app/AppMain.h"
#include "platform/AppPaths.h"
#include "platform/FileLock.h"
#include "support/FakeMsgBox.h"

namespace tavrin {
namespace {

TEST(CommandLine, SwitchesQuotesAndBareNames)
{
    const std::set<QString> existing = {
        "/home/ann/My Plans/week 1.QRD", "/work/plan.qrd",           "/work/b.QRD", "/home/ann/plan.QRD",
        "/home/ann/readonly/plan.QRD",   "/home/ann/LowCpu/plan.QRD"};
    const auto exists = [&](const QString& p) { return existing.count(p) > 0; };
    const struct {
        QStringList args;
        const char* file;
        bool lowCpu;
        bool crewbook;
    } cases[] = {
        {{"/lowcpu", "/home/ann/My Plans/week 1.QRD"}, "/home/ann/My Plans/week 1.QRD", true, false},
        {{"/LOWCPU", "\"/home/ann/My", "Plans/week 1.QRD\""}, "/home/ann/My Plans/week 1.QRD", true, false},
        {{"plan.qrd"}, "/work/plan.qrd", false, false},         // bare name: the current folder
        {{"/READONLY", "b.QRD"}, "/work/b.QRD", false, false},  // the switch is only removed
        {{"\\readonly", "/work/plan.qrd"}, "/work/plan.qrd", false, false},
        {{"[Crewbook]", "/work/plan.qrd"}, "", false, true},  // no file, whatever else it holds
        {{"/work/plan.sch"}, "", false, false},               // no ".QRD": ignored
        {{"missing.QRD"}, "", false, false},                  // a missing file is ignored
        {{}, "", false, false},
        {{"/LOWCPU"}, "", true, false},
        // Folders that are named like a switch are part of the path.
        {{"/home/ann/readonly/plan.QRD"}, "/home/ann/readonly/plan.QRD", false, false},
        {{"/home/ann/LowCpu/plan.QRD"}, "/home/ann/LowCpu/plan.QRD", false, false},
        {{"/LowCpu", "/home/ann/LowCpu/plan.QRD", "/ReadOnly"}, "/home/ann/LowCpu/plan.QRD", true, false},
    };
    for (const auto& c : cases) {
        const QString text = c.args.join(QLatin1Char('|'));
        const auto cl = AppMain::ParseCommandLine(c.args, "/work", exists);
        EXPECT_EQ(cl.CmdLineFile, QString::fromUtf8(c.file)) << text.toStdString();
        EXPECT_EQ(cl.LowCpuMode, c.lowCpu) << text.toStdString();
        EXPECT_EQ(cl.Crewbook, c.crewbook) << text.toStdString();
    }
}

TEST(ShortDateFormat, FollowsTheLocalesOrderAndSeparator)
{
    const struct { const char* sample; const char* format; } cases[] = {
        {"11/30/1998", "MM/dd/yyyy"},  {"30.11.98", "dd.MM.yyyy"},   {"1998-11-30", "yyyy-MM-dd"},
        {"30-NOV-98", "dd-MMM-yyyy"},  {"30/11/1998", "dd/MM/yyyy"}, {"11/30/98", "MM/dd/yyyy"},
        {"30 11 1998", "dd MM yyyy"},  {"November 30, 1998", "MM/dd/yyyy"},  // too long: the fallback
        {"", "MM/dd/yyyy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppMain::ShortDateFormatFromSample(QString::fromUtf8(c.sample)), QString::fromUtf8(c.format)) << c.sample;
    }
    EXPECT_EQ(AppMain::GetShortDateFormat(), "MM/dd/yyyy");  // English (United States)
}

TEST(Shell, TrimNullsAndTheZipLibraryCheck)
{
    EXPECT_EQ(AppMain::TrimNulls(QString::fromLatin1("ab\0\0 ", 5)), "ab");
    EXPECT_EQ(AppMain::TrimNulls(""), "");
    EXPECT_EQ(AppMain::FindMisplacedZipDll(), "");  // libzip is loaded from where it was installed
}

TEST(WorkingFolder, AtStartWhatACutOffRunLeftIsRemovedAndNothingElse)
{
    QTemporaryDir work;
    const auto plant = [&](const QString& name) {
        QFile f(work.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("left behind");
    };
    // A temporary archive of a save, and a print job never sent.
    const QStringList stale = {"plan.TSC.a1b2c3", "week 2.TSC.Zx9Qw8", "job-Ab12Cd.pdf"};
    const QStringList others = {"plan.TSC",     "plan.TSC.abc", "job-Ab12Cd.pdf.bak",
                                "job-Ab12.pdf", "QORVANE2.SNO", "notes.txt.a1b2c3"};
    for (const QString& n : stale + others) plant(n);
    // Still being written by another open of its own.
    plant("plan.TSC.held00");
    FileLock held;
    ASSERT_TRUE(held.Acquire(work.filePath("plan.TSC.held00"), false));

    AppMain::RemoveStaleWorkingFiles(work.path());
    for (const QString& n : stale) EXPECT_FALSE(QFileInfo::exists(work.filePath(n))) << n.toStdString();
    for (const QString& n : others) EXPECT_TRUE(QFileInfo::exists(work.filePath(n))) << n.toStdString();
    EXPECT_TRUE(QFileInfo::exists(work.filePath("plan.TSC.held00")));
}

#ifdef TAVRIN_PROGRAM
// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const std::optional<QString>& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name)) old_ = qEnvironmentVariable(name);
        Set(value);
    }
    ~EnvVar() { Set(old_); }

private:
    void Set(const std::optional<QString>& v)
    {
        if (v)
            qputenv(name_, v->toLocal8Bit());
        else
            qunsetenv(name_);
    }
    const char* name_;
    std::optional<QString> old_;
};

TEST(SingleCopy, TwoStartsShareNoWorkingFolderWhateverTheirRuntimeFolders)
{
    QTemporaryDir tmp;
    const QString work = tmp.path() + QStringLiteral("/work");
    for (const char* d : {"/work", "/run1", "/run2"}) {
        ASSERT_EQ(::mkdir((tmp.path() + QLatin1String(d)).toLocal8Bit().constData(), 0700), 0);
    }
    const QString plan = tmp.path() + QStringLiteral("/plan.QRD");
    ASSERT_TRUE(QFile(plan).open(QIODevice::WriteOnly));  // an empty file: a new schedule

    // The first copy, started in a desktop session, runs on the schedule.
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TAVRIN_WORKDIR"), work);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), tmp.path() + QStringLiteral("/run1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(TAVRIN_PROGRAM), {plan});
    ASSERT_TRUE(first.waitForStarted());
    // It holds the working folder before it writes a working file; a busy machine only slows it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(work + QStringLiteral("/QORVANE2.SPR")); }, 120000));

    // The second, from another session and from a shell without a runtime folder, ends.
    EnvVar workDir("TAVRIN_WORKDIR", work);
    for (const std::optional<QString>& runtime :
         {std::optional<QString>(tmp.path() + QStringLiteral("/run2")), std::optional<QString>()}) {
        EnvVar runtimeDir("XDG_RUNTIME_DIR", runtime);
        test::FakeMsgBox msg;
        FileLock lock;
        EXPECT_FALSE(AppMain::HoldWorkingFolder(AppPaths::DefaultWorkDir(), lock, msg));
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, "Tavrin is already running.");
        EXPECT_EQ(msg.shown[0].title, "Tavrin");
        EXPECT_EQ(msg.beeps, 1);
    }

    first.kill();
    ASSERT_TRUE(first.waitForFinished(120000));
    test::FakeMsgBox msg;
    FileLock lock;
    EXPECT_TRUE(AppMain::HoldWorkingFolder(AppPaths::DefaultWorkDir(), lock, msg));
    EXPECT_TRUE(msg.shown.empty());
}
#endif

}  // namespace
}  // namespace tavrin
