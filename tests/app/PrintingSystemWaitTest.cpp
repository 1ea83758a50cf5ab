// The window with a printing system that takes the connection and never answers (a hung
// scheduler, a print server whose replies a firewall drops): every command that asks it ends
// within its bound with a message that says so, the window is painted and the busy pointer shows
// while it waits, Cancel on the waiting panel ends the command at once, and the PDF file target
// and its preview never ask it.
#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "analysis/ProjCost.h"
#include "app/MainFormFixture.h"
#include "platform/PrinterDevice.h"
#include "printing/PreScreen.h"
#include "printing/PrtMain.h"
#include "printing/SetPrt.h"
#include "reports/Staff142.h"
#include "support/CupsScheduler.h"
#include "support/FakePrintServer.h"
#include "support/ModalDialogs.h"
#include "support/PrintWaitWatch.h"

namespace tavrin::test {
namespace {

// A command ends within the bound of its one wait; this allows a busy machine twice that.
constexpr qint64 kEnds = 2 * PrintingSystem::kBoundMs;
// Long enough for a dialog that comes after a whole wait.
constexpr int kDialogMs = 3 * PrintingSystem::kBoundMs;

const QString kPrinterError =
    QStringLiteral("Please check printer paper/on-line status.  Try using a different PRINT QUALITY setting.");

// Notes, while it lives, every modal dialog of a kind that opens, and closes it.
template <class Dialog>
class Refuse {
public:
    Refuse()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                ++opened;
                d->close();
            }
        });
        timer_.start();
    }
    int opened = 0;

private:
    QTimer timer_;
};

class PrintingSystemWaitTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        server = std::make_unique<FakePrintServer>(script);
        server->Use();
        real = std::make_unique<QtPrinterDevice>(Pdf(), work.filePath(QStringLiteral("jobs")));
        device = real.get();
        MainFormFixture::SetUp();
        Open(Doc(QStringLiteral("plan.QRD")));
        ASSERT_FALSE(form->NoScheduleOpen);
        files->EmpTable.Name[1] = QStringLiteral("Ann Adams");
        msg.Clear();
    }
    void TearDown() override
    {
        MainFormFixture::TearDown();
        real.reset();
        CupsScheduler::UseDefault();
        server.reset();
    }
    QString Pdf() const { return docs.filePath(QStringLiteral("Tavrin.pdf")); }
    QString Silence() const
    {
        return QStringLiteral("The printing system at ") + server->Address() + QStringLiteral(" did not answer.");
    }

    FakePrintServer::Script script = FakePrintServer::Script::Silent;
    std::unique_ptr<FakePrintServer> server;
    std::unique_ptr<QtPrinterDevice> real;
};

TEST_F(PrintingSystemWaitTest, PrinterSetupListsThePdfTargetAndSaysThePrintingSystemDidNotAnswer)
{
    const PrintWaitWatch watch(PrintWaitWatch::End::None, form.get());
    QStringList entries;
    const auto setup = OnNextDialog<SetPrt>(
        [&](SetPrt* d) {
            for (int i = 0; i < d->List1->count(); ++i) entries << d->List1->item(i)->text();
            EXPECT_TRUE(d->List1->selectedItems().isEmpty());
            d->List1->setCurrentRow(0);
            d->Command1_Click();
        },
        kDialogMs);
    QElapsedTimer clock;
    clock.start();
    FromTheWindow([this] { form->File_PrintSetup->trigger(); });
    EXPECT_LT(clock.elapsed(), kEnds);
    EXPECT_EQ(entries, QStringList{QStringLiteral("PDF file, ") + Pdf()});
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, Silence() + QStringLiteral(" Only the PDF file target is listed."));
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Setup"));
    // While it waited, the window was painted, the pointer was busy and the panel said why.
    EXPECT_TRUE(watch.PanelShown());
    EXPECT_TRUE(watch.BusyPointerSeen());
    EXPECT_GT(watch.PaintsWhileWaiting(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The PDF target chosen there needs nothing more of the printing system.
    const int asked = server->Connections();
    FromTheWindow([] {});
    EXPECT_EQ(real->Current().DeviceName, QStringLiteral("PDF file"));
    EXPECT_EQ(server->Connections(), asked);
}

TEST_F(PrintingSystemWaitTest, CancelOnTheWaitingPanelEndsTheCommandAtOnceAndTheNextAsksAfresh)
{
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        const int asked = server->Connections();
        const Refuse<SetPrt> setup;
        const PrintWaitWatch watch(PrintWaitWatch::End::Cancel);
        QElapsedTimer clock;
        clock.start();
        FromTheWindow([this] { form->File_PrintSetup->trigger(); });
        EXPECT_LT(clock.elapsed(), PrintingSystem::kBoundMs);
        EXPECT_TRUE(watch.PanelShown());
        // The window has the keyboard again.
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get(), 2000));
        EXPECT_EQ(setup.opened, 0);
        EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
        EXPECT_GT(server->Connections(), asked);
    }
}

TEST_F(PrintingSystemWaitTest, PreviewsEndWithThePrinterErrorNamingThePrintingSystem)
{
    struct Case {
        const char* what;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"Estimated Cost",
         [this] {
             const auto report = OnNextDialog<ProjCost>(
                 [](ProjCost* d) {
                     for (int i = 0; i < d->List1->count(); ++i) d->List1->item(i)->setSelected(true);
                     d->Command6->click();
                     d->Command4->click();
                 },
                 kDialogMs);
             form->Report_Proj->trigger();
         }},
        {"Staff 1 to 42 Day Schedule",
         [this] {
             const auto report = OnNextDialog<Staff142>(
                 [](Staff142* d) {
                     for (int i = 0; i < d->List1->count(); ++i) d->List1->item(i)->setSelected(true);
                     d->Command6->click();
                     d->Command2->click();
                 },
                 kDialogMs);
             form->Report_Staff_Day142->trigger();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        msg.Clear();
        const Refuse<PreScreen> previews;
        QElapsedTimer clock;
        clock.start();
        FromTheWindow(c.run);
        EXPECT_LT(clock.elapsed(), kEnds);
        ASSERT_EQ(msg.shown.size(), 1u) << msg.Last().toStdString();
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
        EXPECT_EQ(msg.shown[0].prompt, kPrinterError + QStringLiteral("\n\n") + Silence());
        EXPECT_EQ(previews.opened, 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

TEST_F(PrintingSystemWaitTest, ThePdfTargetAndItsPreviewNeverAskThePrintingSystem)
{
    ASSERT_TRUE(real->SetCurrent({QtPrinterDevice::PdfTargetName(), Pdf()}));
    int previews = 0;
    const auto print = OnNextDialog<PrtMain>([&](PrtMain* d) {
        for (int i = 0; i < d->SelectedEmps->count(); ++i) d->SelectedEmps->item(i)->setSelected(true);
        d->Command1_Click();
        const auto preview = OnNextDialog<PreScreen>([&](PreScreen* w) {
            ++previews;
            w->Command1_Click();
        });
        d->Command6_Click();
        d->Command2->click();
    });
    FromTheWindow([this] { form->File_Print->trigger(); });
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The report was written to ") + Pdf() + QLatin1Char('.'));
    EXPECT_TRUE(QFile::exists(Pdf()));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(server->Connections(), 0);
}

// A queue chosen while its scheduler answered, which then takes the job and never answers for
// its document.
class QueueThatStopsAnsweringTest : public PrintingSystemWaitTest {
protected:
    void SetUp() override
    {
        script = FakePrintServer::Script::SilentAtDocument;
        PrintingSystemWaitTest::SetUp();
        ASSERT_TRUE(real->SetCurrent({QStringLiteral("Office"), QStringLiteral("Room 12")}));
    }
};

TEST_F(QueueThatStopsAnsweringTest, PrintingEndsWithThePrinterErrorNamingThePrintingSystem)
{
    const PrintWaitWatch watch(PrintWaitWatch::End::None, form.get());
    const auto print = OnNextDialog<PrtMain>(
        [](PrtMain* d) {
            for (int i = 0; i < d->SelectedEmps->count(); ++i) d->SelectedEmps->item(i)->setSelected(true);
            d->Command1_Click();
            d->Command2->click();
        },
        kDialogMs);
    QElapsedTimer clock;
    clock.start();
    FromTheWindow([this] { form->File_Print->trigger(); });
    EXPECT_LT(clock.elapsed(), kEnds);
    ASSERT_EQ(msg.shown.size(), 1u) << msg.Last().toStdString();
    EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
    EXPECT_EQ(msg.shown[0].prompt, kPrinterError + QStringLiteral("\n\nThe printer Office did not take the job: ") +
                                       Silence().replace(0, 1, QLatin1Char('t')));
    EXPECT_TRUE(watch.PanelShown());
    EXPECT_GT(watch.PaintsWhileWaiting(), 0);
    EXPECT_FALSE(QFile::exists(Pdf()));
}

}  // namespace
}  // namespace tavrin::test
