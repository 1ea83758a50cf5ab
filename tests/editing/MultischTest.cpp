// The Schedule Multiple dialog: its lists and enabling, the query button and its reset, the runs
// with their trial pass, messages and progress.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <array>

#include "editing/BulkFixture.h"
#include "editing/Multisch.h"
#include "editing/QuerySel.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class MultischTest : public BulkFixture {
protected:
    std::unique_ptr<Multisch> Open() { return std::make_unique<Multisch>(*files, *grid, msg); }
    static QStringList Entries(const QListWidget* l)
    {
        QStringList s;
        for (int i = 0; i < l->count(); ++i) s << l->item(i)->text();
        return s;
    }
    static QStringList Chosen(const QListWidget* l)
    {
        QStringList s;
        for (const QListWidgetItem* i : l->selectedItems()) s << i->text();
        return s;
    }
    static void Choose(QComboBox* combo, int code) { combo->setCurrentIndex(combo->findData(code)); }
    static void SelectName(Multisch& d, int entry) { d.SelectedEmps->item(entry)->setSelected(true); }
    // The day and note files are the bytes before a run over days 1 and 2 of rows 1 and 2 with
    // each cell's new first shift (0: kept), in the order day 1 row 1, row 2, day 2 row 1,
    // row 2, and a note of `text` added to each cell in that order.
    void ExpectFilesAfterRun(QByteArray days, QByteArray notes, const std::array<int, 4>& shifts, const char* text)
    {
        const int firstNew = static_cast<int>(notes.size() / 60) + 1;
        for (int k = 0; k < 4; ++k) {
            const int day = 1 + k / 2;
            const int row = 1 + k % 2;
            const int shift = shifts[static_cast<std::size_t>(k)];
            if (shift != 0) Poke(days, day, row, kShift1, shift);
            Poke(days, day, row, kNoteNo, firstNew + k);
        }
        notes += NoteBytes(text).repeated(4);
        EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
        EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
    }
};

TEST_F(MultischTest, OpeningListsTheNamesAndActionsAndExecuteWaitsForBoth)
{
    auto dlg = Open();
    EXPECT_EQ(Entries(dlg->SelectedEmps), (QStringList{"Ada, RN", "Bob, LPN", "Cy, rn"}));
    QList<int> shiftActions;
    for (int i = 0; i < dlg->Combo1->count(); ++i) shiftActions << dlg->Combo1->itemData(i).toInt();
    EXPECT_EQ(shiftActions, (QList<int>{0, kEraseAction, kTimeOffCode, kOnCallCode, 1, 2, 3, 5}));
    EXPECT_EQ(dlg->Combo1->itemText(0), "[no action]");
    EXPECT_EQ(dlg->Combo2->itemText(1), "[erase explanations]");
    EXPECT_GE(dlg->Combo2->findData(4), 2);
    EXPECT_EQ(dlg->StartDate->text(), "01/07/2024");
    EXPECT_EQ(dlg->Label6->text(), "Sunday");
    EXPECT_EQ(dlg->NumWeeks->text(), "1");

    EXPECT_FALSE(dlg->Command6->isEnabled());
    SelectName(*dlg, 1);
    EXPECT_FALSE(dlg->Command6->isEnabled());  // no action yet
    dlg->Text1->setText(QStringLiteral("  "));
    EXPECT_FALSE(dlg->Command6->isEnabled());
    dlg->Text1->setText(QStringLiteral("Drill"));
    EXPECT_TRUE(dlg->Command6->isEnabled());
    dlg->EraseNotes->setChecked(true);  // erasing is an action too, and empties the text
    EXPECT_TRUE(dlg->Text1->text().isEmpty());
    EXPECT_FALSE(dlg->Text1->isEnabled());
    EXPECT_TRUE(dlg->Command6->isEnabled());
    dlg->Command4_Click();
    EXPECT_FALSE(dlg->Command6->isEnabled());
    dlg->Command3_Click();
    EXPECT_EQ(dlg->SelectedEmps->selectedItems().size(), 3);
    EXPECT_TRUE(dlg->Command6->isEnabled());

    // Near the period end the start leaves a week.
    files->ScheduleProps.FirstVisibleDay = static_cast<Int16>(files->PeriodDays() - 2);
    auto late = Open();
    EXPECT_EQ(TypedDateOf(late->StartDate), PeriodEnd() - 6);
}

TEST_F(MultischTest, AQueryChoosesTheNamesAndAChangedRangeResetsIt)
{
    SaveShiftQuery(5, QStringLiteral("Lates"), 2);
    SetFileCell(3, 2, 2);
    files->QueryBuf.Title = "Highlight";
    auto dlg = Open();
    dlg->NumWeeks->setText(QStringLiteral("7"));
    auto querySelWait = OnNextDialog<QuerySel>([](QuerySel* d) {
        d->SetQueryIndex(5);
        d->Command1_Click();
    });
    dlg->Command7_Click();
    EXPECT_EQ(dlg->AppliedQueryNo, 5);
    EXPECT_EQ(Chosen(dlg->SelectedEmps), (QStringList{"Bob, LPN"}));
    EXPECT_EQ(dlg->Command7->text(), "Query [Lates]");
    EXPECT_EQ(dlg->windowTitle(), "Schedule Multiple - [Lates]");
    EXPECT_EQ(files->QueryBuf.Title.str(), "Highlight");  // the highlighter's query stays
    EXPECT_TRUE(msg.shown.empty());

    // The same days again change nothing; other days reset the query.
    dlg->NumWeeks->setText(QStringLiteral("07"));
    EXPECT_TRUE(msg.shown.empty());
    dlg->NumWeeks->setText(QStringLiteral("2"));
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "Queries will be reset after this change.");
    EXPECT_EQ(msg.shown[0].title, "Please Note");
    EXPECT_EQ(msg.beeps, 1);
    EXPECT_TRUE(dlg->SelectedEmps->selectedItems().isEmpty());
    EXPECT_EQ(dlg->AppliedQueryNo, 0);
    EXPECT_EQ(dlg->Command7->text(), "Query [none]");
    EXPECT_EQ(dlg->windowTitle(), "Schedule Multiple");

    // A start date that is not a date yet is no change; a cancelled choice keeps the query.
    querySelWait = OnNextDialog<QuerySel>([](QuerySel* d) {
        d->SetQueryIndex(5);
        d->Command1_Click();
    });
    dlg->Command7_Click();
    dlg->StartDate->setText(QStringLiteral("01/"));
    querySelWait = OnNextDialog<QuerySel>([](QuerySel* d) { d->Command2_Click(); });
    dlg->Command7_Click();
    EXPECT_EQ(dlg->AppliedQueryNo, 5);
    EXPECT_EQ(msg.shown.size(), 1u);
}

TEST_F(MultischTest, ExecuteWritesTheDayFileRedrawsAndCountsTheChanges)
{
    SetFileCell(1, 1, 2, 0, 0, 4);
    auto dlg = Open();
    QByteArray days = ReadFile(QStringLiteral(".SCH"));
    QByteArray notes = ReadFile(QStringLiteral(".SNO"));
    dlg->NumWeeks->setText(QStringLiteral("2"));
    SelectName(*dlg, 0);
    SelectName(*dlg, 1);
    Choose(dlg->Combo1, 2);
    Choose(dlg->Combo2, kEraseAction);
    dlg->Text1->setText(QStringLiteral("Drill"));
    dlg->Command6_Click();
    // The whole files: these cells and nothing else.
    Poke(days, 1, 1, kExplanation, 0);
    ExpectFilesAfterRun(days, notes, {2, 2, 2, 2}, "Drill");
    EXPECT_EQ(S1(2, 1), 2);
    EXPECT_EQ(S1(1, 2), 2);
    EXPECT_EQ(Expl(1, 1), 0);
    EXPECT_EQ(files->GetNoteText(Note(2, 2)), "Drill");
    // 3 shifts, 1 explanation, 4 notes.
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "8 changes were made to the schedule.");
    EXPECT_EQ(msg.shown[0].title, "Schedule Multiple");
    EXPECT_EQ(msg.shown[0].flags, Mb::Information);
    // The window shows the file again, and the dialog stays.
    EXPECT_EQ(Day(1).Shift1Code[Slot(2)], 2);
    EXPECT_TRUE(files->ScheduleModified);
    EXPECT_FALSE(dlg->Picture1->isVisible());
    EXPECT_FALSE(dlg->DialogCancelled);

    // A run that changes nothing says nothing.
    msg.Clear();
    dlg->Text1->clear();
    dlg->Command6_Click();
    EXPECT_TRUE(msg.shown.empty());

    EXPECT_EQ(ChangeCountText(0), "");
    EXPECT_EQ(ChangeCountText(1), "1 change was made to the schedule.");
}

TEST_F(MultischTest, AConflictInATwoShiftFormatIsAskedBeforeAnythingIsWritten)
{
    grid->TwoShiftMode = true;
    SetFileCell(1, 1, 1);  // Day 7-15 overlaps Half 8-12
    auto dlg = Open();
    dlg->NumWeeks->setText(QStringLiteral("2"));
    SelectName(*dlg, 0);
    SelectName(*dlg, 1);
    Choose(dlg->Combo1, 3);
    dlg->Text1->setText(QStringLiteral("Half day"));
    QByteArray days = ReadFile(QStringLiteral(".SCH"));
    QByteArray notes = ReadFile(QStringLiteral(".SNO"));

    msg.Answer(Mb::No);
    dlg->Command6_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt,
              "The selected shift conflicts with shift(s) already scheduled in the selected range. Do you wish to "
              "continue this operation?");
    EXPECT_EQ(msg.shown[0].title, "Shift Assignment Conflict");
    EXPECT_EQ(msg.shown[0].flags, Mb::YesNo + Mb::Exclamation);
    EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
    EXPECT_EQ(ReadFile(QStringLiteral(".SNO")), notes);
    EXPECT_FALSE(dlg->Picture1->isVisible());

    msg.Clear();
    msg.Answer(Mb::Yes);
    QList<int> progress;
    QObject::connect(dlg->Done, &QProgressBar::valueChanged, [&](int v) { progress << v; });
    dlg->Command6_Click();
    EXPECT_EQ((std::pair{S1(1, 1), S2(1, 1)}), (std::pair{1, 0}));  // left as it was
    EXPECT_EQ(S1(2, 1), 3);
    EXPECT_EQ(S1(1, 2), 3);
    EXPECT_EQ(S1(2, 2), 3);
    ASSERT_EQ(msg.shown.size(), 2u);
    EXPECT_EQ(msg.shown[1].prompt, "7 changes were made to the schedule.");
    // Whole percents: after the trial pass (at 0 until its conflict) the real one from half way.
    EXPECT_EQ(progress, (QList<int>{50, 75, 100}));
    // The whole files: the conflicting cell keeps its shift but takes the note like the others.
    ExpectFilesAfterRun(days, notes, {0, 3, 3, 3}, "Half day");
}

TEST_F(MultischTest, AfterYesTheWindowsAreDrawnAgainBeforeTheRealPass)
{
    grid->TwoShiftMode = true;
    SetFileCell(1, 1, 1);
    QWidget window;
    window.resize(400, 300);
    window.show();
    Multisch dlg(*files, *grid, msg, &window);
    Show(dlg);
    dlg.NumWeeks->setText(QStringLiteral("2"));
    SelectName(dlg, 0);
    Choose(dlg.Combo1, 3);

    // What happens from the question on: paints of the window and the dialog, and the real
    // pass's first step (its progress from half way).
    QStringList events;
    bool asked = false;
    msg.onShow = [&](const ShownBox& box) {
        if (box.title == "Shift Assignment Conflict") {
            asked = true;
            events << "question";
        }
    };
    struct PaintLog final : QObject {
        std::function<void(QObject*)> painted;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) painted(o);
            return false;
        }
    } log;
    log.painted = [&](QObject* o) {
        if (asked) events << (o == &window ? "window" : "dialog");
    };
    window.installEventFilter(&log);
    dlg.installEventFilter(&log);
    QObject::connect(dlg.Done, &QProgressBar::valueChanged, [&](int v) {
        if (asked && v >= 50 && !events.contains("pass")) events << "pass";
    });
    msg.Answer(Mb::Yes);
    dlg.Command6_Click();
    ASSERT_TRUE(events.contains("pass")) << events.join(' ').toStdString();
    const QStringList before = events.mid(0, events.indexOf("pass"));
    EXPECT_TRUE(before.contains("window")) << events.join(' ').toStdString();
    EXPECT_TRUE(before.contains("dialog")) << events.join(' ').toStdString();
    msg.onShow = nullptr;
}

TEST_F(MultischTest, AFullNotesFileIsReportedOnce)
{
    ASSERT_TRUE(files->File(FileNo::Notes)
                    .writeRepeated(files->NoteRecordCount() + 1, kMaxNoteRecords - files->NoteRecordCount(),
                                   Encode(NoteRecord{})));
    files->NextNoteNo = kMaxNoteRecords + 1;
    auto dlg = Open();
    dlg->NumWeeks->setText(QStringLiteral("3"));
    dlg->Command3_Click();
    dlg->Text1->setText(QStringLiteral("Drill"));
    dlg->Command6_Click();
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Note file full");
    EXPECT_FALSE(files->NoteFileFull);
    EXPECT_EQ(Note(1, 1), 0);
}

TEST_F(MultischTest, ExecuteRefusesAStartBeforeThePeriod)
{
    SetFileCell(1, 1, 2);
    auto dlg = Open();
    Show(*dlg);
    SelectName(*dlg, 0);
    Choose(dlg->Combo1, kEraseAction);
    // Twenty days from the day before the period reach into it: refused all the same.
    dlg->NumWeeks->setText(QStringLiteral("20"));
    const QByteArray days = ReadFile(QStringLiteral(".SCH"));
    struct Case {
        const char* typed;
        const char* shown;  // as the box shows it once read
    };
    for (const Case c :
         {Case{"12/31/1899", "12/31/1899"}, Case{"01/01/100", "01/01/0100"}, Case{"01/06/2024", "01/06/2024"}}) {
        SCOPED_TRACE(c.typed);
        msg.Clear();
        dlg->Command6->setFocus();
        dlg->StartDate->setText(QString::fromLatin1(c.typed));
        dlg->Command6_Click();
        ASSERT_EQ(msg.shown.size(), 1u);
        EXPECT_EQ(msg.shown[0].prompt, QStringLiteral("The date entered %1 is out of range.").arg(c.shown));
        EXPECT_EQ(msg.shown[0].title, "Error");
        EXPECT_EQ(msg.shown[0].flags, Mb::Exclamation);
        EXPECT_EQ(msg.beeps, 1);
        EXPECT_TRUE(dlg->StartDate->hasFocus());
        EXPECT_EQ(ReadFile(QStringLiteral(".SCH")), days);
        EXPECT_FALSE(files->ScheduleModified);
        EXPECT_FALSE(dlg->Picture1->isVisible());
    }

    // From the period's first day the run goes ahead.
    msg.Clear();
    dlg->StartDate->setText(QStringLiteral("01/07/2024"));
    dlg->Command6_Click();
    EXPECT_EQ(S1(1, 1), 0);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].prompt, "1 change was made to the schedule.");
}

TEST_F(MultischTest, EscClosesAndAFailedFlushKeepsTheDialogFromOpening)
{
    auto dlg = Open();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    dlg->show();
    QCoreApplication::sendEvent(dlg.get(), &esc);
    EXPECT_TRUE(dlg->DialogCancelled);
    EXPECT_FALSE(dlg->isVisible());

    files->SlotDirty[files->ColumnSlot[1]] = 1;
    files->CloseDaysFile();
    msg.Clear();
    auto refused = Open();
    EXPECT_EQ(refused->exec(), QDialog::Rejected);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].title, "Error");
}

}  // namespace
}  // namespace tavrin::test
