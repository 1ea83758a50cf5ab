// What every report dialog shares: Esc and the close box act as Close, except while a run holds
// the dialog; the texts of day cells stay inside their day columns.
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
#include "platform/Pane.h"
#include "platform/Surface.h"
#include "printing/SortSel.h"
#include "reports/CalRpt2.h"
#include "reports/Group.h"
#include "reports/Legend.h"
#include "reports/Per42.h"
#include "reports/QueryPrt.h"
#include "reports/Staff142.h"
#include "reports/StaffMC.h"
#include "store/CellCodes.h"

namespace tavrin::test {
namespace {

class ReportDialogTest : public ReportFixture {
protected:
    // The blocks of the calendar reports with their defaults set: "Arial" 8, quarter-inch
    // margins, six weeks a page, the contents as they stand.
    void PlainCalendarBlocks()
    {
        SchedulePropertiesRecord& props = files->ScheduleProps;
        for (ReportSettingsRecord* block :
             {&props.ReportSettings[kStaffScheduleBlock], &props.ReportSettings[kStaffCalendarBlock],
              &props.ReportSettings[kGroupScheduleBlock], &props.PersonalScheduleSettings,
              &props.EmployeeCalendarSettings}) {
            block->Title = "Report";
            block->FontName = "Arial";
            block->FontSize = 8;
            for (int i = 0; i <= 3; ++i) block->Margins[i] = 360;
            block->Options[18] = 6;
            block->Options[20] = kReportDefaultsSet;
        }
    }
};

using MakeReport = std::function<std::unique_ptr<ReportDialog>(const ReportContext&)>;

// A report dialog of a name list with its first name selected.
template <class Dialog>
MakeReport WithFirstNameSelected()
{
    return [](const ReportContext& c) {
        auto d = std::make_unique<Dialog>(c);
        d->List1->item(0)->setSelected(true);
        return d;
    };
}

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
    const auto preScreenWait = OnNextDialog<PreScreen>(
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

// A day's text wider than its column (a long name with its position, shifts and explanation;
// a note of one long word) is cut at the column's inset, on the replayed page: nothing of it
// lies right of its rectangle, while it reaches that edge.
TEST_F(ReportDialogTest, DayCellTextsStopAtTheirColumnsInset)
{
    const OleDate monday = Date(2024, 1, 8);  // the next day is empty
    SetName(1, QStringLiteral("Bartholomew-Fitzroy"), QStringLiteral("Charge RN"));
    DefineShift(1, QStringLiteral("Neurorehab Unit"), QStringLiteral("N"), 4, 7, 15, 8);
    PutCell(monday, 1, 1, 2, 0, 2);
    const QString note = QStringLiteral("Training at Neurorehabilitationszentrum");
    {
        DayRecord d;
        ASSERT_TRUE(files->ReadRecord(FileNo::Days, 2, d));
        ASSERT_TRUE(files->StoreCellNote(d, Slot(1), note));
        ASSERT_TRUE(files->WriteRecord(FileNo::Days, 2, d));
    }
    SchedulePropertiesRecord& props = files->ScheduleProps;
    PlainCalendarBlocks();
    for (const int b : {kStaffScheduleBlock, kStaffCalendarBlock, kGroupScheduleBlock}) {
        ReportSettingsRecord& block = props.ReportSettings[b];
        block.Options[1] = 0;  // descriptions, not abbreviations
        block.Options[2] = block.Options[4] = block.Options[5] = 1;
    }
    for (ReportSettingsRecord* block : {&props.PersonalScheduleSettings, &props.EmployeeCalendarSettings}) {
        block->FontSize = 14;
        for (int k = 1; k <= 6; ++k) block->Options[k] = 0;
        block->Options[1] = kTrue;  // shift descriptions
        block->Options[6] = kTrue;  // notes
    }
    PutQuery(1, QStringLiteral("Days"), {1});
    GroupRecord group;
    group.QueryNumber = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Groups, 1, group));

    struct Case {
        const char* dialog;
        MakeReport make;
        QStringList texts;
    };
    const QString entry = QStringLiteral(" Bartholomew-Fitzroy,Charge RN,Neurorehab Unit/Evening,Vacation");
    const QStringList personal{QStringLiteral("Neurorehab Unit"), note};
    const Case cases[] = {
        {"Staff142", WithFirstNameSelected<Staff142>(), {entry}},
        {"StaffMC", WithFirstNameSelected<StaffMC>(), {entry}},
        {"Group", [](const ReportContext& c) { return std::make_unique<Group>(c); }, {entry}},
        {"Per42", WithFirstNameSelected<Per42>(), personal},
        {"CalRpt2", WithFirstNameSelected<CalRpt2>(), personal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        const std::unique_ptr<ReportDialog> dlg = c.make(Context());
        // Rectangles of the long texts as the preview recorded them, without the leading blank.
        QStringList previewed;
        const auto preScreenWait = OnNextDialog<PreScreen>(
            [&](PreScreen* w) {
                const Surface& page = w->PImage->Screen();
                const auto marked = [&page](int left, int top, int right, int bottom) {
                    int n = 0;
                    for (int y = std::max(top, 0); y < std::min(bottom, page.Height()); ++y)
                        for (int x = std::max(left, 0); x < std::min(right, page.Width()); ++x)
                            n += page.Pixel(x, y) != 0xFFFFFFu;
                    return n;
                };
                for (const PreviewCommandRecord& r : ReadPreviewPage(rec.CommandFile(), 1)) {
                    const QString text = ReadPreviewText(rec.TextFile(), r);
                    if (r.Command != Pv::DrawText || !c.texts.contains(text)) continue;
                    previewed << QStringLiteral("DrawText %1 %2 %3 %4 %5 %6")
                                     .arg(r.A)
                                     .arg(r.B)
                                     .arg(r.C)
                                     .arg(r.D)
                                     .arg(r.Value)
                                     .arg(DumpText(text.startsWith(QLatin1Char(' ')) ? text.mid(1) : text));
                    const auto [left, top, right, bottom] = w->Replay.ScreenRect(r);
                    const int foot = std::min(bottom + 10, top + 50);   // the block's first lines
                    EXPECT_GT(marked(right - 4, top, right, foot), 0);  // it reaches the edge
                    EXPECT_EQ(marked(right, top, right + 60, foot), 0);
                }
                w->Command1_Click();
            },
            1500);
        dlg->Command6_Click();
        EXPECT_EQ(previewed.size(), c.texts.size());
        // On paper the same rectangles, clipping as well (the platform's text drawing clips to
        // its rectangle unless told not to).
        printer.ClearLog();
        dlg->Command1_Click();
        for (const QString& line : previewed) {
            EXPECT_TRUE(printer.Log.contains(line)) << line.toStdString() << "\n" << printer.Dump().toStdString();
            EXPECT_EQ(line.section(QLatin1Char(' '), 5, 5).toInt() & Surface::DT_NOCLIP, 0);
        }
        EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    }
}

// Display rows and data slots apart (rows sorted): who is listed, in what order, and with which
// contents come from the day record of each row's data slot. Ann's cell lies in slot 2, Bob's
// (empty) in slot 4, Cy's in slot 1; a report that read by display row would list Bob with
// Ann's cell and Ann with Cy's.
TEST_F(ReportDialogTest, ReportsReadEachRowsCellFromItsDataSlot)
{
    SchedulePropertiesRecord& props = files->ScheduleProps;
    props.RowMap[1] = 2;
    props.RowMap[2] = 4;
    props.RowMap[4] = 1;
    const OleDate monday = Date(2024, 1, 8);
    PutCell(monday, 1, 2, 0, 0, 2);  // Ann: Evening, Vacation
    PutCell(monday, 4, 1);           // Cy: Day
    PutQuery(1, QStringLiteral("Works"), {1, 2});
    PutQuery(2, QStringLiteral("Lates"), {2});
    GroupRecord group;
    group.QueryNumber = 1;
    ASSERT_TRUE(files->WriteRecord(FileNo::Groups, 1, group));
    PlainCalendarBlocks();
    // Abbreviations, shifts and explanations; sorted by shift, then name.
    for (const int b : {kStaffScheduleBlock, kStaffCalendarBlock, kGroupScheduleBlock}) {
        ReportSettingsRecord& block = props.ReportSettings[b];
        block.Options[1] = block.Options[4] = block.Options[5] = 1;
        block.Options[10] = SortShift;
        block.Options[11] = SortName;
    }
    props.ReportSettings[kStaffCalendarBlock].Options[19] = 1;  // its names by query
    // Shift descriptions and explanations.
    for (ReportSettingsRecord* block : {&props.PersonalScheduleSettings, &props.EmployeeCalendarSettings}) {
        for (int k = 1; k <= 6; ++k) block->Options[k] = 0;
        block->Options[1] = block->Options[2] = kTrue;
    }
    gridHost.explTexts[2] = QStringLiteral("Vacation");

    const auto allNames = [](const ReportContext& c) {
        auto d = std::make_unique<Staff142>(c);
        d->Command3->click();
        return d;
    };
    struct Case {
        const char* dialog;
        MakeReport make;
        QStringList listed;  // in this order, and nothing else of theirs
    };
    const QStringList staff{QStringLiteral(" Cy Cole,D"), QStringLiteral(" Ann Adams,E,VAC")};
    const QStringList annsPage{QStringLiteral("Evening"), QStringLiteral("Vacation\\r")};
    const Case cases[] = {
        {"Staff142", allNames, staff},
        {"StaffMC", [](const ReportContext& c) { return std::make_unique<StaffMC>(c); }, staff},
        {"Group", [](const ReportContext& c) { return std::make_unique<Group>(c); }, staff},
        {"Per42", WithFirstNameSelected<Per42>(), annsPage},
        {"CalRpt2", WithFirstNameSelected<CalRpt2>(), annsPage},
        {"QueryPrt",
         [monday](const ReportContext& c) {
             auto d = std::make_unique<QueryPrt>(c, 2, monday - 1, monday + 5);
             d->Command3_Click();
             return d;
         },
         {QStringLiteral("Ann Adams - 1"), QStringLiteral("01/08/24"), QStringLiteral("Evening, Vacation")}},
    };
    // The texts a page shows of the people and their cells (not the header's range or page line).
    const auto cellTexts = [](const QString& dump) {
        QStringList out;
        for (const QString& t : Texts(dump)) {
            if (t.contains(QLatin1String(" to ")) || t.endsWith(QLatin1String(", RN"))) continue;
            static const QRegularExpression people(
                QStringLiteral("Ann|Bob|Cy|\\bDay\\b|Evening|Vacation|VAC|^\\d\\d/\\d\\d/\\d\\d$"));
            if (t.contains(people)) out << t;
        }
        return out;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        const std::unique_ptr<ReportDialog> dlg = c.make(Context());
        EXPECT_EQ(cellTexts(Preview(*dlg)).join(QLatin1Char('|')).toStdString(),
                  c.listed.join(QLatin1Char('|')).toStdString());
        EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
    }
}

}  // namespace
}  // namespace tavrin::test
