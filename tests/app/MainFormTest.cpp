// The main window's file commands and states: New and Open with every failure path, Save with
// Abort, Retry and Ignore, Save As, Close and Exit, and the controls before and after.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include "app/MainFormFixture.h"
#include "app/ShellDialogs.h"
#include "platform/SysIo.h"
#include "store/Convert.h"
#include "support/LegacyBuilder.h"
#include "support/ModalDialogs.h"
#include "support/OtherProcess.h"

namespace tavrin::test {
namespace {

class MainFormTest : public MainFormFixture {};

TEST_F(MainFormTest, MenusAndControlsBeforeOpenAfterOpenAndAfterClose)
{
    // Before a schedule: File New, Open and Exit, Help.
    EXPECT_FALSE(form->File_Close->isVisible());
    EXPECT_FALSE(form->File_Save->isEnabled());
    EXPECT_FALSE(form->File_SaveAs->isEnabled());
    EXPECT_FALSE(form->File_Print->isEnabled());
    EXPECT_TRUE(form->File_Open->isEnabled());
    EXPECT_FALSE(form->MenuEdit->isEnabled());
    EXPECT_FALSE(form->MenuView->isEnabled());
    EXPECT_FALSE(form->Help_ToolTips->isEnabled());
    EXPECT_EQ(form->Edit_Undo->text(), "Can't Undo");
    EXPECT_EQ(Caption(), "Tavrin");
    // The tools do nothing without a schedule, also after a first open that failed.
    const auto toolsUnavailable = [&] {
        EXPECT_FALSE(form->ButtonAssign->isVisible());
        EXPECT_FALSE(form->ShiftSelector->isVisible());
        for (QWidget* w : std::initializer_list<QWidget*>{form->ButtonCal, form->SpinUp, form->SSCommand1,
                                                          form->SSCommand2, form->Explainations, form->NotePad}) {
            EXPECT_FALSE(w->isVisible() && w->isEnabled()) << w->objectName().toStdString();
        }
    };
    toolsUnavailable();
    {
        QFile bad(Doc("bad.QRD"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("not a schedule");
    }
    Open(Doc("bad.QRD"));
    ASSERT_TRUE(form->NoScheduleOpen);
    toolsUnavailable();
    msg.Clear();

    Open(Doc("plan.QRD"));
    EXPECT_EQ(Caption(), "plan - Tavrin [28 Day]");
    EXPECT_TRUE(form->File_Close->isVisible());
    EXPECT_TRUE(form->File_Save->isEnabled());
    EXPECT_TRUE(form->MenuEdit->isEnabled());
    EXPECT_TRUE(form->Help_ToolTips->isEnabled());
    EXPECT_TRUE(form->Grid->isVisible());
    EXPECT_EQ(form->View_format[0]->text(), "28 Day");
    EXPECT_TRUE(form->View_format[0]->isChecked());
    EXPECT_EQ(form->View_Change->text(), "Edit Schedule Format (28 Day)");
    EXPECT_EQ(form->Painter().FirstTaggedDay, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{form->ButtonAssign, form->ShiftSelector, form->ButtonCal,
                                                      form->SpinUp, form->SSCommand1, form->Explainations}) {
        EXPECT_TRUE(w->isVisible() && w->isEnabled()) << w->objectName().toStdString();
    }
    // A tool's tip falls due while the pointer rests on it.
    form->CancelToolTip();
    QTest::mouseMove(form->ButtonCal, QPoint(10, 12));
    EXPECT_GT(form->ToolTipDue, 0);

    form->File_Close_Click();  // a new schedule is modified: the prompt comes, answered Yes
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "Save changes to " + docs.path() + "/plan ?");
    EXPECT_EQ(Caption(), "Tavrin");
    EXPECT_FALSE(form->File_Save->isEnabled());
    EXPECT_FALSE(form->File_Print->isEnabled());
    EXPECT_FALSE(form->Help_ToolTips->isEnabled());
    EXPECT_FALSE(form->Grid->isVisible());
    EXPECT_FALSE(form->MenuEdit->menuAction()->isVisible());
    EXPECT_TRUE(form->NoScheduleOpen);
    toolsUnavailable();

    // The next open shows the controls again.
    Open(Doc("plan.QRD"));
    EXPECT_TRUE(form->Grid->isVisible());
    EXPECT_TRUE(form->MenuEdit->menuAction()->isVisible());
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(MainFormTest, ANewNameCreatesASchedule_SavedDataComesBack)
{
    Open(Doc("new.QRD"));
    EXPECT_TRUE(QFile::exists(Doc("new.QRD")));
    EXPECT_TRUE(files->ScheduleModified);  // defaults were written
    files->EmpTable.Name[1] = "Ada";
    form->File_Save_Click();
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_GT(QFile(Doc("new.QRD")).size(), 0);
    form->File_Close_Click();
    EXPECT_TRUE(msg.shown.empty());  // nothing changed since the save

    Open(Doc("new.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ada");
    EXPECT_FALSE(files->ScheduleModified);
}

TEST_F(MainFormTest, TheSavePromptAtOpen)
{
    MakeSchedule(Doc("a.QRD"), "Ann");
    MakeSchedule(Doc("b.QRD"), "Bob");
    const struct { int answer; const char* nameAfter; const char* savedInA; } cases[] = {
        {Mb::Cancel, "Changed", "Ann"},  // a stays open, b is not opened
        {Mb::No, "Bob", "Ann"},          // b opens, the change is not saved
        {Mb::Yes, "Bob", "Changed"},     // a is saved, b opens
    };
    for (const auto& c : cases) {
        Open(Doc("a.QRD"));
        files->EmpTable.Name[1] = "Changed";
        files->ScheduleModified = true;
        msg.Clear();
        msg.Answer(c.answer);
        Open(Doc("b.QRD"));
        ASSERT_EQ(msg.shown.size(), 1u) << c.answer;
        EXPECT_EQ(msg.shown[0].flags, Mb::YesNoCancel + Mb::Question);
        EXPECT_EQ(files->EmpTable.Name[1].str(), c.nameAfter) << c.answer;
        if (c.answer == Mb::Cancel) {
            EXPECT_TRUE(files->ScheduleModified);
        }
        files->ScheduleModified = false;
        form->File_Close_Click();
        Open(Doc("a.QRD"));
        EXPECT_EQ(files->EmpTable.Name[1].str(), c.savedInA) << c.answer;
        form->File_Close_Click();
    }
}

TEST_F(MainFormTest, AFileThatCannotBeOpenedLeavesThePreviousScheduleOpen)
{
    MakeSchedule(Doc("a.QRD"), "Ann");
    MakeSchedule(Doc("locked.QRD"), "Lee");
    {
        QFile bad(Doc("bad.QRD"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("this is not a zip archive at all");
    }
    Open(Doc("a.QRD"));
    files->EmpTable.Name[2] = "Unsaved";
    files->ScheduleModified = true;

    // Not a schedule: the message, and a is back from its working files.
    msg.Answer(Mb::No);
    Open(Doc("bad.QRD"));
    EXPECT_EQ(msg.Last(), Doc("bad.QRD") + " is not a valid schedule file");
    EXPECT_EQ(Caption(), "a - Tavrin [28 Day]");
    EXPECT_EQ(files->SchedulePath(), Doc("a.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_EQ(files->EmpTable.Name[2].str(), "Unsaved");  // the working files as they were
    EXPECT_TRUE(files->ScheduleLocked());

    // In use by another copy: a message naming the file, and a stays open.
    OtherProcessLock other(Doc("locked.QRD"));
    ASSERT_TRUE(other.Held());
    msg.Clear();
    Open(Doc("locked.QRD"));
    ASSERT_FALSE(msg.shown.empty());
    EXPECT_TRUE(msg.Last().contains(Doc("locked.QRD")));
    EXPECT_EQ(files->SchedulePath(), Doc("a.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Ann");
    EXPECT_FALSE(form->NoScheduleOpen);
}

TEST_F(MainFormTest, ThePasswordPrompt)
{
    MakeSchedule(Doc("secret.QRD"), "Sam", "SECRET");
    MakeSchedule(Doc("open.QRD"), "Olga");

    // Wrong, then right in lower case with a leading blank.
    auto passWRDWait = OnNextDialog<PassWRD>([](PassWRD* p) {
        EXPECT_EQ(p->windowTitle(), "Password? [ secret ]");
        auto* text = p->findChild<QLineEdit*>("Text1");
        auto* ok = p->findChild<QPushButton*>("ButtonOK");
        text->setText("wrong");
        ok->click();
        EXPECT_TRUE(p->isVisible());
        EXPECT_EQ(text->text(), "");
        text->setText(" secret");
        ok->click();
    });
    Open(Doc("secret.QRD"));
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Sam");
    EXPECT_FALSE(files->ScheduleModified);

    // Cancelled with another schedule open before: that one is opened again.
    form->File_Close_Click();
    Open(Doc("open.QRD"));
    passWRDWait = OnNextDialog<PassWRD>([](PassWRD* p) { p->findChild<QPushButton*>("ButtonCancel")->click(); });
    Open(Doc("secret.QRD"));
    EXPECT_EQ(files->SchedulePath(), Doc("open.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Olga");
    EXPECT_FALSE(form->NoScheduleOpen);

    // Cancelled with none before: the window stays without a schedule.
    form->File_Close_Click();
    passWRDWait = OnNextDialog<PassWRD>([](PassWRD* p) { p->reject(); });
    Open(Doc("secret.QRD"));
    EXPECT_TRUE(form->NoScheduleOpen);
    EXPECT_EQ(Caption(), "Tavrin");
    EXPECT_FALSE(files->ScheduleLocked());
}

TEST_F(MainFormTest, AFailedSaveOffersAbortRetryIgnore)
{
    QDir(docs.path()).mkdir("sub");
    MakeSchedule(docs.path() + "/sub/plan.QRD", "Pat");
    Open(docs.path() + "/sub/plan.QRD");
    files->EmpTable.Name[1] = "Changed";
    files->ScheduleModified = true;
    // The schedule's folder goes away: nothing can be written there.
    ASSERT_TRUE(QDir(docs.path()).rename("sub", "gone"));

    msg.Answer(Mb::Retry);
    msg.Answer(Mb::Abort);
    form->File_Save_Click();
    ASSERT_EQ(msg.shown.size(), 2u);
    const QString cannotSave =
        "Tavrin cannot save " + docs.path() + "/sub/plan.QRD\n" + QString::fromLocal8Bit(std::strerror(ENOENT));
    EXPECT_EQ(msg.shown[0].prompt, cannotSave);
    EXPECT_EQ(msg.shown[0].flags, Mb::Critical + Mb::AbortRetryIgnore);
    EXPECT_EQ(msg.shown[0].title, "Error");
    EXPECT_TRUE(files->ScheduleModified);  // Abort: the flag as it was
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Changed");
    EXPECT_TRUE(files->WorkingFilesOpen);

    msg.Clear();
    msg.Answer(Mb::Ignore);
    form->File_Save_Click();
    // The lock could not be taken back either (the file went with its folder): said first.
    EXPECT_EQ(msg.Last(), cannotSave);
    EXPECT_TRUE(files->ScheduleModified);  // nothing was saved: Exit still asks

    // Back in place, the save works.
    ASSERT_TRUE(QDir(docs.path()).rename("gone", "sub"));
    msg.Clear();
    form->File_Save_Click();
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(files->ScheduleModified);

    // Retry once the cause is mended saves the archive.
    ASSERT_TRUE(QDir(docs.path()).rename("sub", "gone"));
    files->EmpTable.Name[1] = "Retried";
    files->ScheduleModified = true;
    msg.Clear();
    msg.onShow = [&](const ShownBox&) { QDir(docs.path()).rename("gone", "sub"); };
    msg.Answer(Mb::Retry);
    form->File_Save_Click();
    msg.onShow = nullptr;
    EXPECT_EQ(msg.shown.size(), 1u);
    EXPECT_FALSE(files->ScheduleModified);
    form->File_Close_Click();
    Open(docs.path() + "/sub/plan.QRD");
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Retried");
}

TEST_F(MainFormTest, AFailedSaveSaysWhyOnASecondLine)
{
    MakeSchedule(Doc("plan.QRD"), "Pat");
    Open(Doc("plan.QRD"));
    const auto contents = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = contents(Doc("plan.QRD"));
    // The disk fails while the changes are written to the working files, or while the new
    // schedule file is flushed to the disk.
    const struct {
        SysIo::Fault::Call call;
        int err;
    } faults[] = {{SysIo::Fault::Call::Write, ENOSPC}, {SysIo::Fault::Call::Sync, EIO}};
    for (const auto& f : faults) {
        files->EmpTable.Name[1] = "Changed";
        files->ScheduleModified = true;
        msg.Clear();
        msg.Answer(Mb::Abort);
        {
            SysIo::Fault disk(f.call, 1, f.err);
            form->File_Save_Click();
        }
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt,
                  "Tavrin cannot save " + Doc("plan.QRD") + "\n" + QString::fromLocal8Bit(std::strerror(f.err)));
        EXPECT_EQ(msg.shown[0].flags, Mb::Critical + Mb::AbortRetryIgnore);
        EXPECT_EQ(msg.shown[0].title, "Error");
        EXPECT_EQ(contents(Doc("plan.QRD")), before);
        EXPECT_TRUE(files->ScheduleModified);
    }

    // Save As: the same second line, with its OK.
    msg.Clear();
    dialogs.Answer(Doc("copy.QRD"));
    {
        SysIo::Fault disk(SysIo::Fault::Call::Sync, 1, ENOSPC);
        form->File_SaveAs_Click();
    }
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt,
              "Tavrin cannot save " + Doc("copy.QRD") + "\n" + QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(msg.shown[0].flags, Mb::Critical + Mb::OKOnly);
    EXPECT_FALSE(QFileInfo::exists(Doc("copy.QRD")));
    EXPECT_EQ(files->SchedulePath(), Doc("plan.QRD"));

    // With the disk mended, the changes are all there.
    msg.Clear();
    form->File_Save_Click();
    EXPECT_TRUE(msg.shown.empty());
    form->File_Close_Click();
    Open(Doc("plan.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Changed");
}

// While it lives, no file of this process can be written (the file size limit is 0).
class NoFileWrites {
public:
    NoFileWrites()
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit none = old_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileWrites()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(MainFormTest, ChangesThatCannotBeWrittenStayInTheOpenSchedule)
{
    MakeSchedule(Doc("plan.QRD"), "Pat");
    Open(Doc("plan.QRD"));
    const int slot = files->ScheduleProps.RowMap[1];
    files->EmpTable.Name[1] = "Unsaved";
    files->ColumnDay(1).Shift1Code[slot] = kTimeOffCode;
    files->MarkColumnDirty(1);
    files->ScheduleModified = true;
    {
        NoFileWrites full;
        msg.Answer(Mb::Abort);
        form->File_Save_Click();
        msg.Answer(Mb::No);  // the close then fails too: the schedule stays open
        form->File_Close_Click();
    }
    EXPECT_FALSE(form->NoScheduleOpen);
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Unsaved");
    EXPECT_EQ(files->ColumnDay(1).Shift1Code[slot], kTimeOffCode);

    // Once files can be written again, nothing of it was lost.
    msg.Clear();
    form->File_Save_Click();
    EXPECT_TRUE(msg.shown.empty());
    form->File_Close_Click();
    Open(Doc("plan.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Unsaved");
    EXPECT_EQ(files->ColumnDay(1).Shift1Code[slot], kTimeOffCode);
}

TEST_F(MainFormTest, SaveAsKeepsTheNameAsChosen)
{
    MakeSchedule(Doc("plan.QRD"), "Pat");
    Open(Doc("plan.QRD"));

    // To its own name: a plain save.
    files->EmpTable.Name[1] = "Saved";
    files->ScheduleModified = true;
    dialogs.Answer(Doc("plan.QRD"));
    form->File_SaveAs_Click();
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_EQ(files->SchedulePath(), Doc("plan.QRD"));

    // A name in another case is another file; it becomes the open schedule.
    files->EmpTable.Name[1] = "Copy";
    dialogs.Answer(Doc("Plan.qrd"));
    form->File_SaveAs_Click();
    EXPECT_TRUE(QFile::exists(Doc("Plan.qrd")));
    EXPECT_EQ(files->SchedulePath(), Doc("Plan.qrd"));
    EXPECT_EQ(Caption(), "Plan - Tavrin [28 Day]");
    EXPECT_FALSE(files->ScheduleModified);

    // A wrong extension is refused and the dialog comes again; Cancel ends it.
    dialogs.Answer(Doc("other.txt"));
    dialogs.Answer(std::nullopt);
    form->File_SaveAs_Click();
    EXPECT_EQ(msg.Last(), "The file selected is not a valid schedule file.  Extension must be .QRD");
    EXPECT_EQ(files->SchedulePath(), Doc("Plan.qrd"));

    form->File_Close_Click();
    Open(Doc("plan.QRD"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Saved");
    form->File_Close_Click();
    Open(Doc("Plan.qrd"));
    EXPECT_EQ(files->EmpTable.Name[1].str(), "Copy");
}

TEST_F(MainFormTest, ExitAsksWhileTheScheduleIsModified)
{
    Open(Doc("plan.QRD"));
    files->ScheduleModified = true;
    msg.Answer(Mb::Cancel);
    QCloseEvent cancelled;
    QApplication::sendEvent(form.get(), &cancelled);
    EXPECT_FALSE(cancelled.isAccepted());
    EXPECT_FALSE(form->NoScheduleOpen);

    msg.Answer(Mb::No);
    QCloseEvent closing;
    QApplication::sendEvent(form.get(), &closing);
    EXPECT_TRUE(closing.isAccepted());
    EXPECT_FALSE(files->ScheduleLocked());
    EXPECT_EQ(msg.shown.size(), 2u);
}

TEST_F(MainFormTest, ChoosingAFormat)
{
    Open(Doc("plan.QRD"));
    form->File_Save_Click();
    form->View_format_Click(0);  // the format in use: nothing changes
    EXPECT_FALSE(files->ScheduleModified);
    EXPECT_TRUE(form->View_format[0]->isChecked());

    form->View_format_Click(1);
    EXPECT_EQ(files->CurrentFormatNo, 2);
    EXPECT_EQ(files->VisibleDays, 7);
    EXPECT_TRUE(form->View_format[1]->isChecked());
    EXPECT_FALSE(form->View_format[0]->isChecked());
    EXPECT_EQ(form->View_Change->text(), "Edit Schedule Format (Weekly)");
    EXPECT_EQ(Caption(), "plan - Tavrin [Weekly]");
    EXPECT_TRUE(files->ScheduleModified);
}

TEST_F(MainFormTest, AFirstVersionFileGoesToTheConverter_TheWrongExtensionIsRefused)
{
    dialogs.Answer(Doc("notes.txt"));
    dialogs.Answer(std::nullopt);
    form->File_Open_Click();
    EXPECT_EQ(msg.Last(), "The file selected is not a valid schedule file.  Extension must be .qrd");
    EXPECT_EQ(msg.shown[0].title, "Open File");
    EXPECT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].title, "Open File");
    EXPECT_EQ(dialogs.asked[0].defaultExt, "qrd");
    EXPECT_TRUE(dialogs.asked[0].offerCreate);
    EXPECT_TRUE(form->NoScheduleOpen);
}

TEST_F(MainFormTest, EscOrTheCloseBoxOnTheConvertDialogConvertsNothing)
{
    MakeSchedule(Doc("prev.QRD"), QStringLiteral("Ann"));
    LegacyBuilder(QDate(2023, 1, 1), 60).Write(docs.path(), QStringLiteral("old"));
    const std::function<void(Convert*)> ways[] = {
        [](Convert* d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](Convert* d) { d->close(); },
    };
    for (const auto& way : ways) {
        Open(Doc("prev.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        files->ScheduleModified = false;
        msg.Clear();
        dialogs.Answer(Doc("old.SCH"));
        const auto convertWait = OnNextDialog<Convert>(way);
        form->File_Open_Click();
        EXPECT_FALSE(QFileInfo::exists(Doc("old.QRD")));
        EXPECT_EQ(Caption(), "prev - Tavrin [28 Day]");
        EXPECT_EQ(files->SchedulePath(), Doc("prev.QRD"));
        EXPECT_EQ(files->EmpTable.Name[1].str(), QStringLiteral("Ann"));
        EXPECT_TRUE(files->ScheduleLocked());
        EXPECT_TRUE(msg.shown.empty());
    }
}

TEST_F(MainFormTest, TheWindowIsNeverNarrowerThanItsToolPanelNeeds)
{
    // Checked at once, without waiting for the window system to catch up: the window itself
    // holds the minimum, not only its inner area.
    const auto wholeWindow = [this] {
        const int need = form->DateDisplay->mapTo(form->Form, QPoint(form->DateDisplay->width(), 0)).x();
        EXPECT_GE(form->minimumWidth(), need);
        EXPECT_GE(form->width(), need);
        EXPECT_EQ(form->Form->width(), form->width());
        // The scroll bar ends at the window's edge (its border may overlap it).
        if (!form->NoScheduleOpen) {
            EXPECT_LE(form->VScroll2->x() + form->VScroll2->width(), form->Form->width() + 3);
        }
    };
    wholeWindow();
    Open(Doc("plan.QRD"));
    form->showNormal();
    wholeWindow();
    for (int width : {300, 600}) {
        SCOPED_TRACE(width);
        form->resize(width, 600);
        wholeWindow();
    }
}

TEST_F(MainFormTest, F1OpensTheHelpExceptWhileThePasswordIsAsked)
{
    const auto helpShown = [this] {
        const auto* viewer = form->findChild<QDialog*>(QStringLiteral("HelpViewer"));
        return viewer && viewer->isVisible();
    };
    MakeSchedule(Doc("secret.QRD"), "Sam", "SECRET");
    const auto passWRDWait = OnNextDialog<PassWRD>([&](PassWRD* p) {
        QTest::keyClick(p->findChild<QLineEdit*>("Text1"), Qt::Key_F1);
        EXPECT_FALSE(helpShown());
        p->reject();
    });
    Open(Doc("secret.QRD"));
    EXPECT_FALSE(helpShown());

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 2000));
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_TRUE(helpShown());
}

}  // namespace
}  // namespace tavrin::test
