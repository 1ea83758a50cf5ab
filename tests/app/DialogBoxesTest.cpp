// What every dialog the window opens shares: its date boxes open with a date their own checks
// accept, whatever the date format, and each label's underlined letter leads to a control.
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <functional>
#include <vector>

#include "app/MainFormFixture.h"
#include "platform/BoxChecks.h"
#include "platform/Runtime.h"
#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

class DialogBoxesTest : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainFormFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Open(Doc("plan.QRD"));
        ASSERT_FALSE(form->NoScheduleOpen);
        // The Props dialog is one of those looked at, not answered.
        AutoAcceptProps = false;
        files->ScheduleModified = false;
        msg.Clear();
    }
    // Opens a dialog from the window and hands it to `look` before closing it.
    void Look(const std::function<void()>& open, const std::function<void(QDialog*)>& look)
    {
        bool shown = false;
        const auto qDialogWait = OnNextDialog<QDialog>([&](QDialog* d) {
            shown = true;
            look(d);
            d->reject();
        });
        open();
        EXPECT_TRUE(shown);
    }
};

TEST_F(DialogBoxesTest, EveryDateBoxOpensWithADateItsOwnCheckAccepts)
{
    // What a C or C.UTF-8 locale gives: eleven characters.
    files->DateFormat = QStringLiteral("dd MMM yyyy");
    const OleDate start = files->ScheduleProps.PeriodStart;
    const OleDate end = files->ScheduleProps.PeriodEnd;
    struct Box {
        const char* name;
        OleDate date;
    };
    struct Case {
        const char* dialog;
        std::function<void()> open;
        std::vector<Box> boxes;
    };
    // The first day of the period is the first tagged day, a single one.
    const Case cases[] = {
        {"Multisch", [this] { form->Edit_MSched_Click(); }, {{"StartDate", start}}},
        {"Mcopy", [this] { form->Edit_Mcopy_Click(); }, {{"StartDate", start}}},
        {"Query", [this] { form->Report_Query_Click(); }, {{"StartDate", start}, {"EndDate", start}}},
        {"Props", [this] { form->Define_Props_Click(); }, {{"StartDate", start}, {"EndDate", end}}},
        {"Pager", [this] { form->ButtonCal_Click(); }, {{"Text1", start}}},
        {"PrtMain", [this] { form->File_Print_Click(); }, {{"StartDate", start}}},
        {"Staff142", [this] { form->Report_Staff_Day142_Click(); }, {{"StartDate", start}}},
        {"Group", [this] { form->Report_Staff_Group_Click(); }, {{"StartDate", start}}},
        {"Per42", [this] { form->Report_Personal_Day142_Click(); }, {{"StartDate", start}}},
        {"ProjCost", [this] { form->Report_Proj_Click(); }, {{"StartDate", start}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        Look(c.open, [&](QDialog* d) {
            EXPECT_EQ(d->objectName().toStdString(), c.dialog);
            const QList<BoxChecks*> checks = d->findChildren<BoxChecks*>();
            ASSERT_FALSE(checks.isEmpty());
            for (const Box& b : c.boxes) {
                SCOPED_TRACE(b.name);
                auto* box = d->findChild<QLineEdit*>(QString::fromLatin1(b.name));
                ASSERT_NE(box, nullptr);
                const QString shown = Runtime::FormatDate(b.date, files->DateFormat);
                ASSERT_EQ(shown.size(), 11);
                EXPECT_EQ(box->text(), shown);
            }
            for (BoxChecks* check : checks) EXPECT_TRUE(check->RunAll());
            for (const Box& b : c.boxes) {
                EXPECT_EQ(d->findChild<QLineEdit*>(QString::fromLatin1(b.name))->text(),
                          Runtime::FormatDate(b.date, files->DateFormat))
                    << b.name;
            }
            EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
        });
        msg.Clear();
    }
}

TEST_F(DialogBoxesTest, EveryLabelWithAShortcutLetterHasAControlToGoTo)
{
    // An "&" before a letter underlines it only in a label that has a buddy; in any other it
    // is shown as it is.
    const QRegularExpression mnemonic(QStringLiteral("&[^&]"));
    const std::pair<const char*, std::function<void()>> dialogs[] = {
        {"Multisch", [this] { form->Edit_MSched_Click(); }},
        {"Mcopy", [this] { form->Edit_Mcopy_Click(); }},
        {"Query", [this] { form->Report_Query_Click(); }},
        {"Props", [this] { form->Define_Props_Click(); }},
        {"Pager", [this] { form->ButtonCal_Click(); }},
        {"PrtMain", [this] { form->File_Print_Click(); }},
        {"Staff142", [this] { form->Report_Staff_Day142_Click(); }},
        {"StaffMC", [this] { form->Report_Staff_Month_Click(); }},
        {"Group", [this] { form->Report_Staff_Group_Click(); }},
        {"Per42", [this] { form->Report_Personal_Day142_Click(); }},
        {"CalRpt2", [this] { form->Report_Personal_Month_Click(); }},
        {"Legend", [this] { form->Report_Legend_Click(); }},
        {"ProjCost", [this] { form->Report_Proj_Click(); }},
        {"DefShft2", [this] { form->Define_Shifts_Click(); }},
        {"DefExp", [this] { form->Define_Explainations_Click(); }},
        {"ChgView", [this] { form->View_Change_Click(); }},
    };
    for (const auto& [name, open] : dialogs) {
        SCOPED_TRACE(name);
        Look(open, [&](QDialog* d) {
            EXPECT_EQ(d->objectName().toStdString(), name);
            for (const QLabel* label : d->findChildren<QLabel*>()) {
                if (label->text().contains(mnemonic)) {
                    EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
                }
            }
        });
        msg.Clear();
    }
}

}  // namespace
}  // namespace tavrin::test
