// The schedule printout and Printer Setup on the print queues of a scheduler of the test's own:
// jobs read back from its spool, refusals as the run's printer error.
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "PrintoutFixture.h"
#include "platform/PrinterDevice.h"
#include "printing/SetPrt.h"
#include "support/CupsScheduler.h"

namespace tavrin::test {
namespace {

using Outcome = SchedulePrintout::Outcome;

const QString kPrinterError =
    QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT QUALITY setting.");

QString Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The queue "Office" on a scheduler of the test's own, the real printer on it and the services
// of a run on that printer.
class QueuePrintingTest : public PrintoutFixture {
protected:
    void SetUp() override
    {
        PrintoutFixture::SetUp();
        ASSERT_TRUE(out.isValid());
        // A scheduler that cannot start fails the test: nothing here passes by skipping.
        const Status up = cups.Start();
        ASSERT_TRUE(up) << up.message().toStdString();
        ASSERT_TRUE(cups.AddQueue(QStringLiteral("Office"), QStringLiteral("Room 12")));
        cups.Use();
        device = std::make_unique<QtPrinterDevice>(Pdf(), out.filePath(QStringLiteral("work")));
        ASSERT_TRUE(device->SetCurrent({QStringLiteral("Office"), QStringLiteral("Room 12")}));
        services = std::make_unique<PrintServices>(*device, rec, fonts, msg, dialogs);
        services->Now = print.Now;
        SmallSchedule();
    }
    void TearDown() override
    {
        services.reset();
        device.reset();
        CupsScheduler::UseDefault();
    }
    QString Pdf() const { return out.filePath(QStringLiteral("Tavrin.pdf")); }
    Outcome PrintSmall()
    {
        SchedulePrintout p(*services, *files, *grid, [this](int code) { return ExplanationText(code); });
        PrintoutRequest request;
        request.rows = {1, 2, 3, 4, 5, 6};
        return p.PrintSchedule(request);
    }
    QStringList Entries(const SetPrt& d) const
    {
        QStringList texts;
        for (int i = 0; i < d.List1->count(); ++i) texts << d.List1->item(i)->text();
        return texts;
    }

    QTemporaryDir out;
    CupsScheduler cups{out.filePath(QStringLiteral("cups"))};
    std::unique_ptr<QtPrinterDevice> device;
    std::unique_ptr<PrintServices> services;
};

TEST_F(QueuePrintingTest, TheScheduleReachesTheQueueUnderItsName)
{
    ASSERT_EQ(PrintSmall(), Outcome::Done);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    const std::vector<CupsScheduler::Job> jobs = cups.Jobs(QStringLiteral("Office"));
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].Attribute("job-name"), QStringLiteral("Tavrin - Schedule"));
    const QString document = cups.DocumentOf(jobs[0].id);
    EXPECT_TRUE(
        Tool(QStringLiteral("pdfinfo"), {document}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QString text = Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), document, QStringLiteral("-")});
    for (const char* s : {"Schedule", "Page: 1", "Ann Baker", "Carl Diaz", "Nurses", "Day staff", "VAC"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(s))) << s << "\n" << text.toStdString();
}

TEST_F(QueuePrintingTest, AJobTheQueueDoesNotTakeIsAPrinterErrorWithItsReason)
{
    // The queue rejects jobs, then it is deleted while it is still the current printer: each run
    // ends with the printer error, which names the printer and gives the scheduler's reason, and
    // no job exists. The preview still works.
    struct Step {
        const char* what;
        std::function<Status()> change;
        const char* reason;
    };
    const Step steps[] = {
        {"rejecting",
         [this] {
             return cups.Run(QStringLiteral("cupsreject"),
                             {QStringLiteral("-r"), QStringLiteral("Out of paper"), QStringLiteral("Office")});
         },
         "The printer Office did not take the job: Destination \"Office\" is not accepting jobs."},
        {"deleted", [this] { return cups.DeleteQueue(QStringLiteral("Office")); },
         "The printer Office did not take the job: The printer or class does not exist."},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        msg.Clear();
        ASSERT_TRUE(s.change());
        EXPECT_EQ(PrintSmall(), Outcome::Stopped);
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, kPrinterError + QStringLiteral("\n\n") + QString::fromLatin1(s.reason));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
        EXPECT_TRUE(cups.Jobs().empty());

        msg.Clear();
        rec.PreviewMode = true;
        const auto preScreenWait = OnNextDialog<PreScreen>([](PreScreen* d) { d->Command1_Click(); });
        EXPECT_EQ(PrintSmall(), Outcome::Done);
        EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    }
}

TEST_F(QueuePrintingTest, PrinterSetupListsTheQueuesInstalledWhenItOpens)
{
    const QString pdf = QStringLiteral("PDF file, ") + Pdf();
    {
        SetPrt d(*services, nullptr);
        EXPECT_EQ(Entries(d), (QStringList{QStringLiteral("Office, Room 12"), pdf}));
        EXPECT_EQ(d.List1->currentRow(), 0);
    }
    // While the program runs a queue is added and the current one removed.
    ASSERT_TRUE(cups.AddQueue(QStringLiteral("Lab")));
    ASSERT_TRUE(cups.DeleteQueue(QStringLiteral("Office")));
    SetPrt d(*services, nullptr);
    EXPECT_EQ(Entries(d), (QStringList{QStringLiteral("Lab, CUPS"), pdf}));
    EXPECT_TRUE(d.List1->selectedItems().isEmpty());
    d.List1->setCurrentRow(0);
    d.Command1_Click();
    EXPECT_EQ(device->Current().DeviceName, QStringLiteral("Lab"));
    ASSERT_EQ(PrintSmall(), Outcome::Done);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    EXPECT_EQ(cups.Jobs(QStringLiteral("Lab")).size(), 1u);
}

}  // namespace
}  // namespace tavrin::test
