// File > Printer Setup from the main window.
#include <QAction>
#include <QListWidget>

#include "MainFormFixture.h"
#include "printing/PrintServices.h"
#include "printing/SetPrt.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class PrinterSetupTest : public MainFormFixture {};

TEST_F(PrinterSetupTest, TheMenuOpensPrinterSetupOnTheWindowsPrinter)
{
    Open(Doc(QStringLiteral("setup.qrd")));
    ASSERT_TRUE(form->File_PrintSetup->isEnabled());
    const auto setPrtWait = OnNextDialog<SetPrt>([](SetPrt* d) {
        EXPECT_EQ(d->List1->count(), 2);
        d->List1->setCurrentRow(1);
        d->Command1_Click();
    });
    form->File_PrintSetup->trigger();
    EXPECT_EQ(printer.Current().DeviceName, QStringLiteral("PDF file"));
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(&form->Print().Printer(), &printer);
}

}  // namespace
}  // namespace tavrin::test
