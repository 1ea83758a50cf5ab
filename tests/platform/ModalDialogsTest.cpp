// The tests' helper that answers modal dialogs: a wait ends with the scope that keeps it.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QInputDialog>
#include <QProgressDialog>
#include <QTimer>
#include <memory>

#include "support/ModalDialogs.h"

namespace tavrin::test {
namespace {

// A caller whose dialog never comes, its wait writing into the caller's own data, which is gone
// once the caller returns.
void WaitInVainForAnInputDialog()
{
    auto answers = std::make_unique<int>(0);
    int* count = answers.get();
    EXPECT_NONFATAL_FAILURE(
        {
            const auto wait = OnNextDialog<QInputDialog>([count](QInputDialog* d) {
                ++*count;
                d->reject();
            });
        },
        "no QInputDialog was shown");
    EXPECT_EQ(*answers, 0);
}

TEST(DialogWaitTest, AWaitWhoseDialogNeverComesFailsWhereItWaitedAndLeavesNothingBehind)
{
    WaitInVainForAnInputDialog();
    // A dialog of that kind, shown well within the deadline the wait had, is left to itself: it
    // closes on its own, accepted, and no failure comes with it.
    QInputDialog later;
    QTimer::singleShot(300, &later, &QDialog::accept);
    EXPECT_EQ(later.exec(), QDialog::Accepted);
}

TEST(DialogWaitTest, ADeadlinePassedClosesWhatIsModalAndFailsOnce)
{
    QProgressDialog other;
    int answered = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            const auto wait = OnNextDialog<QInputDialog>([&answered](QInputDialog*) { ++answered; }, 200);
            // Another kind of dialog stands in the way until the deadline closes it.
            other.exec();
        },
        "no QInputDialog was shown");
    EXPECT_EQ(answered, 0);
    EXPECT_FALSE(other.isVisible());
}

}  // namespace
}  // namespace tavrin::test
