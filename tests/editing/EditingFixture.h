#pragma once
// A schedule with its grid painter, as the definition dialogs find it, and helpers to work a
// dialog shown without its own event loop.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "editing/EditingHost.h"
#include "grid/GridFixture.h"
#include "support/FakeFileDialogs.h"

namespace tavrin::test {

class RecordingEditingHost final : public EditingHost {
public:
    void ShowPrintDialog(QWidget* over) override { printOver.push_back(over); }
    void RunQueryReport(QWidget* over, int index, OleDate start, OleDate end) override
    {
        reports.push_back({over, index, start, end});
    }
    std::vector<QWidget*> printOver;
    struct Report {
        QWidget* over;
        int index;
        OleDate start, end;
    };
    std::vector<Report> reports;
};

class EditingFixture : public GridFixture {
protected:
    void SetUp() override
    {
        OpenSchedule();
        // The shift file holds what the table holds, as after an open.
        for (int code = 1; code <= kShiftCodes; ++code)
            ASSERT_TRUE(files->WriteRecord(FileNo::Shifts, code, files->ShiftTable[code]));
        msg.Clear();
        files->ScheduleModified = false;
    }
    // Shows a dialog as the active window (its checks need the focus inside it).
    static void Show(QWidget& dlg)
    {
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        (void)QTest::qWaitForWindowActive(&dlg, 2000);
    }
    // Types text into a box as the user does: focus, select all, type.
    static void Type(QLineEdit* box, const QString& text)
    {
        box->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    FakeFileDialogs dialogs;
    RecordingEditingHost editingHost;
};

}  // namespace tavrin::test
