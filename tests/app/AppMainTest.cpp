// The command line and the date display format.

#include "app/AppMain.h"

#include <gtest/gtest.h>
#include <set>

namespace tavrin {
namespace {

TEST(CommandLine, SwitchesQuotesAndBareNames)
{
    const std::set<QString> existing = {"/home/ann/My Plans/week 1.QRD", "/work/plan.qrd", "/work/b.QRD"};
    const auto exists = [&](const QString& p) { return existing.count(p) > 0; };
    const struct {
        const char* text;
        const char* file;
        bool lowCpu;
        bool crewbook;
    } cases[] = {
        {"/lowcpu \"/home/ann/My Plans/week 1.QRD\"", "/home/ann/My Plans/week 1.QRD", true, false},
        {"plan.qrd", "/work/plan.qrd", false, false},               // bare name: the current folder
        {"/READONLY b.QRD", "/work/b.QRD", false, false},            // the switch is only removed
        {"\\readonly /work/plan.qrd", "/work/plan.qrd", false, false},
        {"[Crewbook] /work/plan.qrd", "", false, true},               // no file, whatever else it holds
        {"/work/plan.sch", "", false, false},                         // no ".QRD": ignored
        {"missing.QRD", "", false, false},                            // a missing file is ignored
        {"", "", false, false},
        {"/LOWCPU", "", true, false},
    };
    for (const auto& c : cases) {
        const auto cl = AppMain::ParseCommandLine(QString::fromUtf8(c.text), "/work", exists);
        EXPECT_EQ(cl.CmdLineFile, QString::fromUtf8(c.file)) << c.text;
        EXPECT_EQ(cl.LowCpuMode, c.lowCpu) << c.text;
        EXPECT_EQ(cl.Crewbook, c.crewbook) << c.text;
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

}  // namespace
}  // namespace tavrin
