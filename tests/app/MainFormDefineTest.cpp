// The Define menu and View > Edit Schedule Format open their dialogs, and the window shows what
// was confirmed.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

#include "app/MainFormFixture.h"
#include "editing/ChgView.h"
#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "editing/Props.h"
#include "platform/Runtime.h"
#include "printing/PrtMain.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class MainFormDefineTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        // From here on the tests answer the properties themselves.
        AutoAcceptProps = false;
        files->ScheduleModified = false;
        msg.Clear();
    }
    static bool Lists(QComboBox* combo, const QString& text)
    {
        for (int i = 0; i < combo->count(); ++i) {
            if (Runtime::Trim(combo->itemText(i)) == text) return true;
        }
        return false;
    }
};

TEST_F(MainFormDefineTest, ANewScheduleOpensWithItsPropertiesAndTheirPeriod)
{
    bool shown = false;
    const auto propsWait = OnNextDialog<Props>([&shown](Props* p) {
        shown = true;
        EXPECT_EQ(p->windowTitle(), "Set File Properties [ other ]");
        p->StartDate->setText(QStringLiteral("03/01/2025"));
        p->EndDate->setText(QStringLiteral("05/31/2025"));
        p->ButtonOK->click();
    });
    Open(Doc("other.QRD"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(files->ScheduleProps.PeriodStart, OleDates::FromYmd(2025, 3, 1));
    EXPECT_EQ(files->PeriodDays(), 92);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
}

TEST_F(MainFormDefineTest, DefineShiftsAndExplanationsRefillTheLists)
{
    const auto defShft2Wait = OnNextDialog<DefShft2>([](DefShft2* d) {
        d->List1->setCurrentRow(3);  // shift 1
        d->Description->setText(QStringLiteral("Early"));
        emit d->Description->textEdited(d->Description->text());
        d->Command1->click();
    });
    form->Define_Shifts->trigger();
    EXPECT_TRUE(Lists(form->ShiftSelector, QStringLiteral("Early")));

    const auto defExpWait = OnNextDialog<DefExp>([](DefExp* d) {
        d->List1->setCurrentRow(20);
        d->Text1->setText(QStringLiteral("Course"));
        d->Command1->click();
    });
    form->Define_Explainations->trigger();
    EXPECT_TRUE(Lists(form->Explainations, QStringLiteral("Course")));
}

TEST_F(MainFormDefineTest, EditScheduleFormatRenamesTheViewItems)
{
    auto chgViewWait = OnNextDialog<ChgView>([](ChgView* d) {
        d->TmpName->setText(QStringLiteral("  Fortnight "));
        d->Text1->setText(QStringLiteral("14"));
        d->Command1->click();
    });
    form->View_Change->trigger();
    EXPECT_EQ(form->View_Change->text(), "Edit Schedule Format (Fortnight)");
    EXPECT_EQ(form->View_format[0]->text(), "Fortnight");
    EXPECT_EQ(files->CurrentFormat.DaysOnScreen, 14);

    // Print... opens the print dialog on the applied format, over the format dialog.
    QString printTitle;
    bool overFormat = false;
    chgViewWait = OnNextDialog<ChgView>([&](ChgView* d) {
        d->TmpName->setText(QStringLiteral("Week"));
        const auto prtMainWait = OnNextDialog<PrtMain>([&, d](PrtMain* p) {
            printTitle = p->windowTitle();
            overFormat = p->parentWidget() == d;
            p->Command2->click();
        });
        d->Command4->click();
        d->Command5->click();
    });
    form->View_Change->trigger();
    EXPECT_EQ(printTitle, QStringLiteral("Print - Schedule"));
    EXPECT_TRUE(overFormat);
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
}

TEST_F(MainFormDefineTest, PrintCommandsOpenThePrintDialog)
{
    // The highlighter's query stays in the shared buffer whatever the dialog reads.
    QueryRecord q;
    q.Title = QStringLiteral("Nights");
    ASSERT_TRUE(files->WriteRecord(FileNo::Queries, 4, q));
    files->ScheduleProps.HighlightQuery = 4;
    form->UpdateHighLighter();
    for (QAction* command : {form->File_Print, form->Report_Current}) {
        SCOPED_TRACE(command->objectName().toStdString());
        int names = -1;
        const auto prtMainWait = OnNextDialog<PrtMain>([&](PrtMain* p) {
            names = p->SelectedEmps->count();
            files->QueryBuf.Title = QStringLiteral("Changed");
            p->Command2->click();
        });
        command->trigger();
        EXPECT_EQ(names, 0);  // a new schedule has no names
        EXPECT_EQ(files->QueryBuf.Title.str(), QStringLiteral("Nights"));
        EXPECT_FALSE(files->ScheduleModified);
    }
    EXPECT_EQ(form->Report_Current->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

TEST_F(MainFormDefineTest, PropertiesChangeThePeriodAndAnOutOfRangeYesOpensThem)
{
    const OleDate end = files->ScheduleProps.PeriodEnd;
    auto propsWait = OnNextDialog<Props>([this, end](Props* p) {
        p->EndDate->setText(Runtime::FormatDate(end + 30, files->DateFormat));
        p->ButtonOK->click();
    });
    form->Define_Props->trigger();
    EXPECT_EQ(files->ScheduleProps.PeriodEnd, end + 30) << msg.Last().toStdString();
    EXPECT_TRUE(files->ScheduleModified);

    msg.Answer(Mb::Yes);
    bool shown = false;
    propsWait = OnNextDialog<Props>([&shown](Props* p) {
        shown = true;
        p->ButtonCancel->click();
    });
    form->ScrollBackOneDay();  // before the first day
    EXPECT_TRUE(shown);
    EXPECT_EQ(msg.shown[0].title, "Requested date OUT OF RANGE");
}

}  // namespace
}  // namespace tavrin::test
