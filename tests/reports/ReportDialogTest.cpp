// What every report dialog shares: Esc and the close box act as Close, except while a run holds
// the dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "ReportFixture.h"
#include "reports/CalRpt2.h"
#include "reports/Group.h"
#include "reports/Legend.h"
#include "reports/Per42.h"
#include "reports/QueryPrt.h"
#include "reports/Staff142.h"
#include "reports/StaffMC.h"

namespace tavrin::test {
namespace {

class ReportDialogTest : public ReportFixture {};

TEST_F(ReportDialogTest, EscAndTheCloseBoxCloseWithoutCheckingTheBoxes)
{
    using Make = std::function<std::unique_ptr<ReportDialog>(const ReportContext&)>;
    struct Case {
        const char* dialog;
        Make make;
    };
    const OleDate first = Date(2024, 1, 7);
    const Case cases[] = {
        {"Staff142", [](const ReportContext& c) { return std::make_unique<Staff142>(c); }},
        {"StaffMC", [](const ReportContext& c) { return std::make_unique<StaffMC>(c); }},
        {"Group", [](const ReportContext& c) { return std::make_unique<Group>(c); }},
        {"Per42", [](const ReportContext& c) { return std::make_unique<Per42>(c); }},
        {"CalRpt2", [](const ReportContext& c) { return std::make_unique<CalRpt2>(c); }},
        {"Legend", [](const ReportContext& c) { return std::make_unique<Legend>(c); }},
        {"QueryPrt", [first](const ReportContext& c) { return std::make_unique<QueryPrt>(c, 0, first, first + 6); }},
    };
    for (const Case& c : cases) {
        for (const bool esc : {false, true}) {
            SCOPED_TRACE(std::string(c.dialog) + (esc ? ", Esc" : ", close box"));
            const std::unique_ptr<ReportDialog> dlg = c.make(Context());
            dlg->show();
            // A start date that is no date is not checked on the way out.
            if (dlg->StartDate) {
                dlg->StartDate->setFocus();
                dlg->StartDate->setText(QStringLiteral("abc"));
            }
            msg.Clear();
            if (esc) {
                QTest::keyClick(dlg.get(), Qt::Key_Escape);
            } else {
                dlg->close();
            }
            EXPECT_FALSE(dlg->isVisible());
            EXPECT_EQ(dlg->result(), QDialog::Rejected);
            EXPECT_TRUE(msg.shown.empty());
        }
    }
}

TEST_F(ReportDialogTest, ARangePastTheLastDateIsRefused)
{
    using Make = std::function<std::unique_ptr<ReportDialog>(const ReportContext&)>;
    const std::pair<const char*, Make> dialogs[] = {
        {"Staff142", [](const ReportContext& c) { return std::make_unique<Staff142>(c); }},
        {"Group", [](const ReportContext& c) { return std::make_unique<Group>(c); }},
        {"Per42", [](const ReportContext& c) { return std::make_unique<Per42>(c); }},
    };
    // 31 Dec 9999 is the last date there is: a week from the 26th runs past it.
    struct Case {
        const char* start;
        bool refused;
    };
    const Case cases[] = {{"12/26/9999", true}, {"12/31/9999", true}, {"12/25/9999", false}};
    // A preview window that appears is counted and closed.
    int previews = 0;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&previews] {
        if (auto* w = qobject_cast<PreScreen*>(QApplication::activeModalWidget())) {
            ++previews;
            w->Command1_Click();
        }
    });
    closer.start();
    for (const auto& [name, make] : dialogs) {
        const std::unique_ptr<ReportDialog> dlg = make(Context());
        dlg->show();
        if (auto* list = dlg->findChild<QListWidget*>(QStringLiteral("List1"))) list->selectAll();
        dlg->NumDays->setText(QStringLiteral("7"));
        for (const Case& c : cases) {
            for (const bool preview : {false, true}) {
                SCOPED_TRACE(std::string(name) + " " + c.start + (preview ? " preview" : " print"));
                dlg->StartDate->setText(QString::fromLatin1(c.start));
                msg.Clear();
                printer.ClearLog();
                previews = 0;
                preview ? dlg->Command6_Click() : dlg->Command1_Click();
                EXPECT_FALSE(print.Rec.PreviewMode);
                EXPECT_EQ(preview ? previews : printer.Count(QStringLiteral("EndDoc")), c.refused ? 0 : 1);
                if (!c.refused) {
                    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
                    continue;
                }
                ASSERT_EQ(msg.shown.size(), 1u);
                EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The date entered %1 is out of range.").arg(c.start));
                EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
                EXPECT_EQ(printer.Count(QStringLiteral("DrawText")), 0);
                EXPECT_EQ(dlg->focusWidget(), dlg->StartDate);
                EXPECT_TRUE(dlg->isEnabled());
            }
        }
    }
}

TEST_F(ReportDialogTest, ARunHoldsTheDialogUntilItEnds)
{
    Staff142 dlg(Context());
    dlg.show();
    dlg.Command3->click();
    bool held = false;
    OnNextDialog<PreScreen>(
        [&](PreScreen* w) {
            dlg.close();
            QTest::keyClick(&dlg, Qt::Key_Escape);
            held = dlg.isVisible();
            w->Command1_Click();
        },
        1500);
    dlg.Command6_Click();
    EXPECT_TRUE(held);
    EXPECT_TRUE(dlg.isVisible());
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
}

// A printer that refuses one call in the middle of a run of several pages: one message, nothing
// drawn after the refused call, and the document ended.
TEST_F(ReportDialogTest, APrinterErrorInTheMiddleOfARunEndsItOnce)
{
    for (int r = 5; r <= 8; ++r) SetName(r, QStringLiteral("Person %1").arg(r), QStringLiteral("RN"));
    PutQuery(5, QStringLiteral("Everyone"), {}, true);
    PutQuery(6, QStringLiteral("Days"), {1});
    for (int d = 0; d < 40; d += 2) {
        for (int r : {1, 2, 4, 5, 6, 7, 8}) PutCell(Date(2024, 1, 7) + d, r, 1);
    }
    using Make = std::function<std::unique_ptr<ReportDialog>()>;
    struct Case {
        const char* report;
        Make make;
        const char* op;  // the call that fails
    };
    const Case cases[] = {
        {"Group",
         [this] {
             for (int g = 1; g <= 5; ++g) {
                 GroupRecord r;
                 r.QueryNumber = 5;
                 EXPECT_TRUE(files->WriteRecord(FileNo::Groups, g, r));
             }
             auto dlg = std::make_unique<Group>(Context());
             dlg->Block().FontSize = 40;
             return dlg;
         },
         "DrawText"},
        {"StaffMC",
         [this] {
             auto dlg = std::make_unique<StaffMC>(Context());
             dlg->WeeksPerPage->setCurrentIndex(0);  // a week a page
             dlg->Command3->click();
             return dlg;
         },
         "Line"},
        {"QueryPrt",
         [this] {
             auto dlg = std::make_unique<QueryPrt>(Context(), 6, Date(2024, 1, 7), Date(2024, 2, 15));
             dlg->Block().FontSize = 28;
             dlg->Command3_Click();
             return dlg;
         },
         "Print"},
    };
    const QStringList drawing = {"DrawText", "Print", "Line", "Box", "FilledBox", "Ellipse", "NewPage"};
    const auto calls = [&](const QString& op) { return printer.Count(op); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        const std::unique_ptr<ReportDialog> dlg = c.make();
        const QString op = QString::fromLatin1(c.op);
        msg.Clear();
        printer.ClearLog();
        dlg->Command1_Click();
        ASSERT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
        ASSERT_GE(calls(QStringLiteral("NewPage")), 2);
        const int sent = calls(op);

        msg.Clear();
        printer.ClearLog();
        printer.Fail(op, sent / 2);
        dlg->Command1_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Printer Error"));
        EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Please check printer paper/on-line status.  Try using a "
                                                      "different PRINT QUALITY setting."));
        EXPECT_TRUE(dlg->PrintAborted);
        EXPECT_TRUE(dlg->isEnabled());
        const QStringList& log = printer.Log;
        const qsizetype refused = log.indexOf(QRegularExpression(QStringLiteral(".*  # refused")));
        ASSERT_GE(refused, 0);
        EXPECT_TRUE(log[refused].startsWith(op));
        EXPECT_GE(log.mid(0, refused).count(QStringLiteral("NewPage")), 1);  // in the middle of the run
        const QStringList after = log.mid(refused + 1);
        EXPECT_EQ(after.count(QStringLiteral("EndDoc")), 1);
        for (const QString& line : after)
            EXPECT_FALSE(drawing.contains(line.section(u' ', 0, 0))) << line.toStdString();
        EXPECT_EQ(calls(QStringLiteral("EndDoc")), 1);
    }
}

}  // namespace
}  // namespace tavrin::test
