// Boxes checked when they lose the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "platform/BoxChecks.h"

namespace tavrin {
namespace {

// A dialog with two number boxes, OK and Cancel. A box accepts digits only; a refused box gets
// "0" back, as a real check puts back its last good value.
struct CheckedDialog {
    QDialog dlg;
    QLineEdit* a = new QLineEdit(&dlg);
    QLineEdit* b = new QLineEdit(&dlg);
    QPushButton* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    QPushButton* cancel = new QPushButton(QStringLiteral("Cancel"), &dlg);
    BoxChecks checks{&dlg};
    QStringList ran;  // which checks ran, in order

    CheckedDialog()
    {
        auto* l = new QVBoxLayout(&dlg);
        for (QWidget* w : {static_cast<QWidget*>(a), static_cast<QWidget*>(b), static_cast<QWidget*>(ok),
                           static_cast<QWidget*>(cancel)}) {
            l->addWidget(w);
        }
        checks.Add(a, [this] { return Digits(a, QStringLiteral("a")); });
        checks.Add(b, [this] { return Digits(b, QStringLiteral("b")); });
        checks.Exempt(cancel);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        a->setFocus(Qt::OtherFocusReason);
    }
    bool Digits(QLineEdit* box, const QString& name)
    {
        ran << name;
        bool ok = false;
        box->text().toInt(&ok);
        if (!ok) {
            // The focus moving elsewhere while the message is open must not run another check.
            b->setFocus(Qt::OtherFocusReason);
            a->setFocus(Qt::OtherFocusReason);
            box->setText(QStringLiteral("0"));
        }
        return ok;
    }
};

TEST(BoxChecksTest, FocusMovesCheckTheBoxLeftExceptToExemptControlsOrOtherWindows)
{
    struct Case {
        const char* name;
        QString textA;
        int move;  // 0: Tab to box b, 1: OK, 2: Cancel, 3: another window, 4: a pop-up
        QStringList ran;
        bool backOnA;
    };
    const Case cases[] = {
        {"good text, to b", QStringLiteral("12"), 0, {QStringLiteral("a")}, false},
        {"bad text, to b", QStringLiteral("x"), 0, {QStringLiteral("a")}, true},
        {"bad text, to OK", QStringLiteral("x"), 1, {QStringLiteral("a")}, true},
        {"bad text, to Cancel", QStringLiteral("x"), 2, {}, false},
        {"bad text, other window", QStringLiteral("x"), 3, {}, false},
        {"bad text, pop-up", QStringLiteral("x"), 4, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckedDialog d;
        ASSERT_EQ(QApplication::focusWidget(), d.a);
        d.a->setText(c.textA);
        QWidget other;
        switch (c.move) {
        case 0: QTest::keyClick(d.a, Qt::Key_Tab); break;
        case 1: d.ok->setFocus(Qt::MouseFocusReason); break;
        case 2: d.cancel->setFocus(Qt::MouseFocusReason); break;
        case 3:
            other.show();
            QApplication::setActiveWindow(&other);
            break;
        case 4: d.b->setFocus(Qt::PopupFocusReason); break;
        }
        EXPECT_EQ(d.ran, c.ran);
        if (c.backOnA) {
            EXPECT_EQ(QApplication::focusWidget(), d.a);
            EXPECT_EQ(d.a->text(), QStringLiteral("0"));
        }
    }
}

TEST(BoxChecksTest, RunAllStopsAtTheFirstRefusalAndFocusesIt)
{
    CheckedDialog d;
    d.a->setText(QStringLiteral("4"));
    d.b->setText(QStringLiteral("y"));
    d.ran.clear();
    EXPECT_FALSE(d.checks.RunAll());
    EXPECT_EQ(d.ran, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(QApplication::focusWidget(), d.b);
    EXPECT_EQ(d.b->text(), QStringLiteral("0"));

    d.ran.clear();
    EXPECT_TRUE(d.checks.RunAll());
    EXPECT_EQ(d.ran, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

}  // namespace
}  // namespace tavrin
