// Schedule Multiple and Copy Multiple: their labels' shortcut letters, and room for the start
// date and its weekday.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "editing/BulkFixture.h"
#include "editing/Mcopy.h"
#include "editing/Multisch.h"
#include "platform/Runtime.h"

namespace tavrin::test {
namespace {

class BulkDialogLayoutTest : public BulkFixture {
protected:
    std::unique_ptr<QDialog> Make(const QString& which)
    {
        if (which == "Multisch") return std::make_unique<Multisch>(*files, *grid, msg);
        return std::make_unique<Mcopy>(*files, *grid, msg);
    }
    // The box shows its whole text: with the cursor at the end it has not scrolled.
    static bool ShowsWhole(QLineEdit* box)
    {
        box->setCursorPosition(0);
        (void)box->grab();
        const int home = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        box->end(false);
        (void)box->grab();
        box->setCursorPosition(0);
        return box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() == home;
    }
};

TEST_F(BulkDialogLayoutTest, AltAndALabelsLetterMovesTheFocusToItsBox)
{
    struct Case {
        const char* dialog;
        Qt::Key key;
        const char* box;
        int presses;  // "&Shift:" and "&Starting Date:" share their letter: each press goes on
    };
    const Case cases[] = {
        {"Multisch", Qt::Key_A, "SelectedEmps", 1}, {"Multisch", Qt::Key_S, "StartDate", 2},
        {"Multisch", Qt::Key_D, "NumWeeks", 1},     {"Mcopy", Qt::Key_N, "List1", 1},
        {"Mcopy", Qt::Key_S, "StartDate", 1},       {"Mcopy", Qt::Key_D, "NumWeeks", 1},
        {"Mcopy", Qt::Key_T, "DestList", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dialog) + " " + c.box);
        const std::unique_ptr<QDialog> dlg = Make(QString::fromLatin1(c.dialog));
        Show(*dlg);
        // Start from the closing button, which is none of the boxes.
        auto* close =
            dlg->findChild<QPushButton*>(QString::fromLatin1(c.dialog) == "Multisch" ? "Command2" : "Command4");
        ASSERT_NE(close, nullptr);
        close->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        auto* box = dlg->findChild<QWidget*>(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr);
        bool reached = false;
        for (int i = 0; i < c.presses && !reached; ++i) {
            QTest::keyClick(QApplication::focusWidget(), c.key, Qt::AltModifier);
            QApplication::processEvents();
            reached = QApplication::focusWidget() == box;
        }
        EXPECT_TRUE(reached) << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                                             : std::string("no focus"));
    }
    EXPECT_TRUE(msg.shown.empty()) << msg.Last().toStdString();
}

TEST_F(BulkDialogLayoutTest, TheStartDateAndItsWeekdayShowWhole)
{
    // An 11-character format, as a C or C.UTF-8 locale gives; every month on every weekday.
    files->DateFormat = QStringLiteral("dd MMM yyyy");
    for (const char* which : {"Multisch", "Mcopy"}) {
        SCOPED_TRACE(which);
        const std::unique_ptr<QDialog> dlg = Make(QString::fromLatin1(which));
        Show(*dlg);
        auto* box = dlg->findChild<QLineEdit*>(QStringLiteral("StartDate"));
        auto* weekday = dlg->findChild<QLabel*>(QString::fromLatin1(which) == "Multisch" ? "Label6" : "Label5");
        ASSERT_NE(box, nullptr);
        ASSERT_NE(weekday, nullptr);
        for (unsigned m = 1; m <= 12; ++m) {
            for (unsigned d = 22; d <= 28; ++d) {
                const QString text = Runtime::FormatDate(OleDates::FromYmd(2026, m, d), files->DateFormat);
                box->setText(text);
                QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                QApplication::processEvents();
                SCOPED_TRACE(text.toStdString() + " " + weekday->text().toStdString());
                ASSERT_EQ(text.size(), 11);
                EXPECT_TRUE(ShowsWhole(box));
                EXPECT_GE(weekday->contentsRect().width(), weekday->fontMetrics().horizontalAdvance(weekday->text()));
            }
        }
    }
}

}  // namespace
}  // namespace tavrin::test
