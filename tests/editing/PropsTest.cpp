// The Set File Properties dialog.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "editing/EditingFixture.h"
#include "editing/Props.h"
#include "platform/Runtime.h"

namespace tavrin::test {
namespace {

class PropsTest : public EditingFixture {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        EditingFixture::SetUp();
        files->SchedStem = QStringLiteral("plan");
        files->DateFormat = QStringLiteral("MM/dd/yyyy");
        files->ScheduleProps.FirstDayOfWeek = 1;
    }
    static OleDate D(int y, int m, int d)
    {
        return OleDates::FromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    }
    std::unique_ptr<Props> Open(bool forNew = false)
    {
        return std::make_unique<Props>(*files, *grid, msg, dialogs, forNew);
    }
};

TEST(RemovedDaysTextTest, NamesExactlyTheOldDaysLeftOut)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto d = [](int m, int day) {
        return OleDates::FromYmd(2024, static_cast<unsigned>(m), static_cast<unsigned>(day));
    };
    const QString f = QStringLiteral("MM/dd/yyyy");
    const OleDate s = d(1, 1), e = d(12, 31);
    struct Case {
        const char* name;
        OleDate ns, ne;
        const char* text;
    };
    const Case cases[] = {
        {"later start", d(1, 15), e, "01/01/2024 to 01/14/2024"},
        {"earlier end", s, d(12, 1), "12/02/2024 to 12/31/2024"},
        {"both ends", d(2, 1), d(11, 30), "01/01/2024 to 01/31/2024 and 12/01/2024 to 12/31/2024"},
        {"extended", s - 10, e + 10, ""},
        {"start after the old end", e + 1, e + 60, "01/01/2024 to 12/31/2024"},
        {"end before the old start", s - 60, s - 1, "01/01/2024 to 12/31/2024"},
        {"new end on the old start", s - 60, s, "01/02/2024 to 12/31/2024"},
        {"new start on the old end", e, e + 60, "01/01/2024 to 12/30/2024"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemovedDaysText(s, e, c.ns, c.ne, f), c.text);
    }
}

TEST_F(PropsTest, PeriodLengthsAndTheRemovalQuestion)
{
    files->ScheduleProps.PeriodStart = D(2024, 1, 1);
    files->ScheduleProps.PeriodEnd = D(2024, 12, 31);
    struct Case {
        const char* name;
        OleDate end;
        bool accepted;
        const char* message;
    };
    const Case cases[] = {
        {"41 days", D(2024, 2, 10), false, "File must contain at least 42 days."},
        {"42 days", D(2024, 2, 11), true,
         "This change will cause information from 02/12/2024 to 12/31/2024 to be "
         "removed from the file..."},
        {"32767 days", D(2024, 1, 1) + 32766, true, ""},
        {"32768 days", D(2024, 1, 1) + 32767, false, "File cannot contain more than 32767 days."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msg.Clear();
        msg.Answer(Mb::OK);
        auto dlg = Open();
        Show(*dlg);
        Type(dlg->EndDate, Runtime::FormatDate(c.end, files->DateFormat));
        QTest::keyClick(dlg->EndDate, Qt::Key_Return);
        EXPECT_EQ(dlg->result() == QDialog::Accepted, c.accepted);
        if (*c.message) {
            ASSERT_FALSE(msg.shown.empty());
            EXPECT_EQ(msg.shown[0].prompt, c.message);
            EXPECT_EQ(msg.shown[0].title, c.accepted ? "Please Note..." : "Error");
        } else {
            EXPECT_TRUE(msg.shown.empty());
        }
        if (c.accepted) {
            EXPECT_FALSE(dlg->DialogCancelled);
            EXPECT_EQ(dlg->NewPeriodEnd, c.end);
        } else {
            EXPECT_EQ(dlg->EndDate->text(), "12/31/2024");  // the last good end date is back
        }
    }
    // The question's default is Cancel, and Cancel keeps the dialog open.
    msg.Clear();
    msg.Answer(Mb::Cancel);
    auto dlg = Open();
    Show(*dlg);
    Type(dlg->StartDate, QStringLiteral("01/15/2024"));
    dlg->ButtonOK->click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].flags, Mb::OKCancel + Mb::Information + Mb::DefaultButton2);
    EXPECT_FALSE(dlg->isHidden());
}

TEST_F(PropsTest, ANewScheduleIsAskedNothingAndAnInvalidDateIsRestored)
{
    files->ScheduleProps.PeriodStart = D(2024, 1, 1);
    files->ScheduleProps.PeriodEnd = D(2024, 12, 31);
    auto dlg = Open(true);
    Show(*dlg);
    Type(dlg->StartDate, QStringLiteral("31/31/2024"));
    dlg->EndDate->setFocus();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "The date entered 31/31/2024 is not a valid date.");
    EXPECT_EQ(dlg->StartDate->text(), "01/01/2024");
    Type(dlg->StartDate, QStringLiteral("6/1/2024"));
    dlg->ButtonOK->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(msg.shown.size(), 1u);  // no removal question for a new schedule
    EXPECT_EQ(dlg->NewPeriodStart, D(2024, 6, 1));
}

TEST_F(PropsTest, PasswordsAreUpperCasedEvenAfterEnterAndTheReadOnlyOneIsCarried)
{
    files->ScheduleProps.ReadOnlyPassword = "keep";
    {
        auto dlg = Open();
        Show(*dlg);
        EXPECT_TRUE(dlg->Password2->isHidden());
        Type(dlg->PassWord, QStringLiteral("secret"));
        QTest::keyClick(dlg->PassWord, Qt::Key_Return);
        ASSERT_EQ(dlg->result(), QDialog::Accepted);
    }
    EXPECT_EQ(files->ScheduleProps.ReadWritePassword.str().trimmed(), "SECRET");
    EXPECT_EQ(files->ScheduleProps.ReadOnlyPassword.str().trimmed(), "KEEP");
    EXPECT_TRUE(files->ScheduleModified);
    auto again = Open();
    EXPECT_EQ(again->PassWord->text(), "SECRET");
}

TEST_F(PropsTest, CloseBoxEscAndCancelKeepTheSettingsButAWeekdayClickStaysModified)
{
    for (const bool forNew : {false, true}) {
        for (int how = 0; how < 3; ++how) {
            SCOPED_TRACE(how);
            files->ScheduleModified = false;
            auto dlg = Open(forNew);
            Show(*dlg);
            dlg->Option1[3]->click();
            Type(dlg->PassWord, QStringLiteral("x"));
            if (how == 0) dlg->ButtonCancel->click();
            if (how == 1) QTest::keyClick(dlg.get(), Qt::Key_Escape);
            if (how == 2) dlg->close();
            EXPECT_TRUE(dlg->DialogCancelled);
            EXPECT_EQ(files->ScheduleProps.FirstDayOfWeek, 1);
            EXPECT_TRUE(files->ScheduleProps.ReadWritePassword.str().trimmed().isEmpty());
            EXPECT_TRUE(files->ScheduleModified);
        }
    }
    // A stored weekday outside 1..7 stays unless one is chosen.
    files->ScheduleProps.FirstDayOfWeek = 9;
    auto dlg = Open();
    dlg->ButtonOK_Click();
    EXPECT_EQ(files->ScheduleProps.FirstDayOfWeek, 9);
}

TEST_F(PropsTest, ConnectAcceptsOnlyTheStaffRecordsProgram)
{
    QTemporaryDir folder;
    const auto make = [&folder](const QString& name) {
        QFile f(folder.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    };
    const QString good = make(QStringLiteral("cb2_app.exe"));
    const QString other = make(QStringLiteral("notes.exe"));
    const QString longName = make(QString(100, QLatin1Char('c')) + QStringLiteral("CB2_APP"));
    files->ScheduleProps.SiblingAppPath = "";
    auto dlg = Open();
    EXPECT_EQ(files->ScheduleProps.SiblingAppPath.str(), " Application not found");
    EXPECT_EQ(dlg->Label4->text(), "Application not found");
    struct Case {
        std::optional<QString> chosen;
        QString stored;
    };
    const QString notFound = QStringLiteral(" Application not found");
    const Case cases[] = {
        {good, good},         {std::nullopt, good},  // a cancelled dialog changes nothing
        {other, notFound},    {folder.filePath(QStringLiteral("missing_CB2_APP")), notFound},
        {longName, notFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.value_or("cancel").toStdString());
        dialogs.Answer(c.chosen);
        dlg->Command1->click();
        EXPECT_EQ(Runtime::RTrim(files->ScheduleProps.SiblingAppPath.str()), c.stored);
    }
    EXPECT_EQ(dialogs.asked[1].fileName, folder.path() + "/cb2_app.exe");  // starts beside the stored program
    EXPECT_TRUE(dialogs.asked[1].filter.contains("CB2_APP*"));
}

}  // namespace
}  // namespace tavrin::test
