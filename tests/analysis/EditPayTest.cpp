// The pay dialog and the step that stores its result.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "analysis/EditPay.h"
#include "grid/GridPaint.h"
#include "platform/FontService.h"
#include "support/ModalDialogs.h"
#include "support/RecordingGridHost.h"
#include "support/StoreFixture.h"

namespace tavrin {
namespace {

constexpr int kRow = 4;

class EditPayTest : public test::StoreFixture {
protected:
    void SetUp() override
    {
        OpenNewSchedule();
        files->EmpTable.Name[kRow] = QStringLiteral("Adams, Ann");
        files->EmpTable.Position[kRow] = QStringLiteral("RN");
        files->EmpTable.PayRate[kRow] = 125000;
        files->EmpTable.PayType[kRow] = 0;
        entry.setText(CostListEntryText(files->EmpTable, kRow));
        files->ScheduleModified = false;
    }

    // Runs the pay step with `act` answering the dialog.
    bool Edit(std::function<void(EditPay*)> act)
    {
        const auto editPayWait = test::OnNextDialog<EditPay>(std::move(act));
        return EditEmployeeCost(*files, grid, kRow, &entry);
    }

    FontService fonts;
    test::RecordingGridHost gridHost;
    GridPaint grid{*files, gridHost, fonts};
    QListWidgetItem entry;
};

TEST_F(EditPayTest, FillingShowsThePayAndMarksTheScheduleModified)
{
    EditPay dlg(*files);
    dlg.Fill(kRow);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Edit Employee Cost Information"));
    EXPECT_EQ(dlg.EmpName->text(), QStringLiteral(" Adams, Ann          "));
    EXPECT_EQ(dlg.Position->text(), QStringLiteral(" RN        "));
    EXPECT_EQ(dlg.PayRate->text(), QStringLiteral("12.50"));
    EXPECT_TRUE(dlg.PayType[0]->isChecked());
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(entry.text(), QStringLiteral("Adams, Ann, RN, 12.50/H"));

    // A pay type the dialog does not offer is priced by the hour and shows as Hour.
    files->EmpTable.PayType[kRow] = 7;
    dlg.Fill(kRow);
    EXPECT_TRUE(dlg.PayType[0]->isChecked());
}

TEST_F(EditPayTest, RateBoxAcceptsZeroTo999_99)
{
    struct Case {
        const char* typed;
        bool accepted;
        const char* shown;
    };
    const Case cases[] = {
        {"999.99", true, "999.99"}, {"1000", false, "0.00"}, {"-1", false, "0.00"},
        {"12.345", true, "12.35"},  {"abc", true, "0.00"},   {"0", true, "0.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        msg.Clear();
        EditPay dlg(*files);
        dlg.Fill(kRow);
        dlg.PayRate->setText(QString::fromLatin1(c.typed));
        QSignalSpy shown(dlg.PayRate, &QLineEdit::textChanged);
        EXPECT_EQ(dlg.PayRate_LostFocus(), c.accepted);
        EXPECT_EQ(dlg.PayRate->text().toStdString(), c.shown);
        if (c.accepted) {
            EXPECT_TRUE(msg.shown.empty());
            continue;
        }
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("Only values from 0.00 to 999.99 are valid."));
        EXPECT_EQ(msg.shown[0].title, QStringLiteral("Error"));
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(msg.beeps, 1);
        // The box shows "0.0" before it is formatted.
        ASSERT_EQ(shown.count(), 2);
        EXPECT_EQ(shown[0][0].toString(), QStringLiteral("0.0"));
    }
}

TEST_F(EditPayTest, LeavingTheRateBoxChecksIt)
{
    Edit([this](EditPay* d) {
        QApplication::setActiveWindow(d);
        d->PayRate->setFocus(Qt::OtherFocusReason);
        d->PayRate->setText(QStringLiteral("1000"));
        QTest::keyClick(d->PayRate, Qt::Key_Tab);
        EXPECT_EQ(msg.Last(), QStringLiteral("Only values from 0.00 to 999.99 are valid."));
        EXPECT_EQ(d->PayRate->text(), QStringLiteral("0.00"));
        EXPECT_EQ(QApplication::focusWidget(), d->PayRate);
        d->Command1->click();
    });
}

TEST_F(EditPayTest, OkStoresRateAndTypeAndRewritesTheEntry)
{
    const bool stored = Edit([](EditPay* d) {
        d->PayRate->setText(QStringLiteral("999.99"));
        d->PayType[1]->click();
        d->Command2->click();
    });
    EXPECT_TRUE(stored);
    EXPECT_EQ(files->EmpTable.PayRate[kRow], 9999900);
    EXPECT_EQ(files->EmpTable.PayType[kRow], 1);
    EXPECT_EQ(entry.text(), QStringLiteral("Adams, Ann, RN, 999.99/D"));
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(EditPayTest, OkRefusesARateOutOfRangeAndStaysOpen)
{
    bool stayedOpen = false;
    const bool stored = Edit([&](EditPay* d) {
        d->PayRate->setText(QStringLiteral("1000"));
        // Enter on OK: the focus stays in the box, OK checks it.
        QTest::keyClick(d->PayRate, Qt::Key_Return);
        stayedOpen = d->isVisible();
        EXPECT_EQ(d->PayRate->text(), QStringLiteral("0.00"));
        d->Command2->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(msg.Last(), QStringLiteral("Only values from 0.00 to 999.99 are valid."));
    EXPECT_TRUE(stored);
    EXPECT_EQ(files->EmpTable.PayRate[kRow], 0);
    EXPECT_EQ(entry.text(), QStringLiteral("Adams, Ann, RN, 0.00/H"));
}

TEST_F(EditPayTest, CancelEscAndTheCloseBoxChangeNothingButTheModifiedFlag)
{
    const std::pair<const char*, std::function<void(EditPay*)>> ways[] = {
        {"Cancel", [](EditPay* d) { d->Command1->click(); }},
        {"Esc", [](EditPay* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"close box", [](EditPay* d) { d->close(); }},
    };
    for (const auto& [what, close] : ways) {
        SCOPED_TRACE(what);
        files->ScheduleModified = false;
        msg.Clear();
        const bool stored = Edit([&close](EditPay* d) {
            d->PayRate->setText(QStringLiteral("-1"));
            d->PayType[1]->click();
            close(d);
        });
        EXPECT_FALSE(stored);
        EXPECT_EQ(files->EmpTable.PayRate[kRow], 125000);
        EXPECT_EQ(files->EmpTable.PayType[kRow], 0);
        EXPECT_EQ(entry.text(), QStringLiteral("Adams, Ann, RN, 12.50/H"));
        EXPECT_TRUE(files->ScheduleModified);
        EXPECT_TRUE(msg.shown.empty());  // a bad rate needs no check on the way out
    }
}

}  // namespace
}  // namespace tavrin
