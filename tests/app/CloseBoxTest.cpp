// Esc and the close box of Change Page and Selective Paste act as their Cancel.

#include <QCheckBox>
#include <QLineEdit>

#include "app/EditFixture.h"
#include "app/Pager.h"
#include "app/SelPaste.h"
#include "support/CloseBoxCases.h"

namespace tavrin::test {
namespace {

class CloseBox : public EditFixture {};

TEST_F(CloseBox, EscAndTheCloseBoxCancelWithoutCheckingOrStoring)
{
    files->VisibleDays = 7;
    ASSERT_TRUE(files->LoadVisibleDays());
    const int firstVisible = files->ScheduleProps.FirstVisibleDay;
    CopyMultipleOptions& options = files->ScheduleProps.CopyOptions;
    options = CopyMultipleOptions{};
    options.CopyNotes = kTrue;
    const CopyMultipleOptions optionsBefore = options;

    const CloseBoxCase cases[] = {
        // A date that is no date is not checked on the way out.
        {"Pager",
         [&] {
             auto d = std::make_unique<Pager>(*files, msg);
             d->show();
             d->Text1->setText(QStringLiteral("31/31"));
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) {
             return static_cast<Pager&>(d).DialogCancelled && files->ScheduleProps.FirstVisibleDay == firstVisible;
         }},
        {"SelPaste",
         [&] {
             auto d = std::make_unique<SelPaste>(*files);
             d->show();
             d->Check2->setChecked(true);
             return std::unique_ptr<QDialog>(std::move(d));
         },
         [&](QDialog& d) { return static_cast<SelPaste&>(d).DialogCancelled && options == optionsBefore; }},
    };
    ExpectEscAndCloseBoxCancel(cases, msg);
}

}  // namespace
}  // namespace tavrin::test
