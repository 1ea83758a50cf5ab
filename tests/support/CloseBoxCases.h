#pragma once
// Esc and the close box of a dialog act as its Cancel: each dialog of a table is closed both
// ways and must say it was cancelled, keep nothing and show no message.

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "support/FakeMsgBox.h"

namespace tavrin::test {

struct CloseBoxCase {
    const char* name;
    // The dialog shown, with a choice made that only OK (Execute, Run) would act on.
    std::function<std::unique_ptr<QDialog>()> open;
    // After closing: the dialog says it was cancelled and nothing was kept.
    std::function<bool(QDialog&)> cancelled;
};

inline void ExpectEscAndCloseBoxCancel(std::span<const CloseBoxCase> cases, const FakeMsgBox& msg)
{
    for (const CloseBoxCase& c : cases) {
        for (const bool closeBox : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (closeBox ? " close box" : " Esc"));
            const std::unique_ptr<QDialog> dlg = c.open();
            if (closeBox) {
                dlg->close();
            } else {
                QTest::keyClick(dlg.get(), Qt::Key_Escape);
            }
            EXPECT_FALSE(dlg->isVisible());
            EXPECT_EQ(dlg->result(), QDialog::Rejected);
            EXPECT_TRUE(c.cancelled(*dlg));
            EXPECT_TRUE(msg.shown.empty());
        }
    }
}

}  // namespace tavrin::test
