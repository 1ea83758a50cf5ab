#pragma once
// A main window on a private working folder, with scripted message boxes and file dialogs.

#include "app/MainForm.h"
#include "editing/Props.h"
#include "grid/GridPaint.h"
#include "platform/FontService.h"
#include "store/SchedFiles.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMsgBox.h"
#include "support/FakePrinter.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrin::test {

class MainFormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrinterDevice& p = device ? *device : printer;
        files = std::make_unique<SchedFiles>(work.path(), msg, p);
        files->TwipsPerPixelX = 15;
        form = std::make_unique<MainForm>(MainFormServices{*files, msg, dialogs, p, fonts}, AppMain::CommandLine{});
        form->resize(1000, 700);
        form->show();
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get(), 2000);
        // A new schedule opens with its file properties: unless a test answers them itself,
        // they are taken as shown.
        propsAnswerer = std::make_unique<QTimer>();
        propsAnswerer->setInterval(10);
        QObject::connect(propsAnswerer.get(), &QTimer::timeout, [this] {
            auto* props = qobject_cast<Props*>(QApplication::activeModalWidget());
            if (props && AutoAcceptProps) props->ButtonOK->click();
        });
        propsAnswerer->start();
    }
    void TearDown() override
    {
        propsAnswerer.reset();
        files->ScheduleModified = false;
        form.reset();
        files->CloseAllFiles();
        files->ReleaseScheduleLock();
    }

    QString Doc(const QString& name) const { return docs.filePath(name); }
    // Opens (or creates) a schedule through the Open dialog.
    void Open(const QString& path)
    {
        dialogs.Answer(path);
        form->File_Open_Click();
        // Back to the window after the dialogs of the open.
        form->activateWindow();
        (void)QTest::qWaitForWindowActive(form.get(), 2000);
    }
    // A saved schedule whose first row is called `name`; closed afterwards.
    void MakeSchedule(const QString& path, const QString& name, const QString& password = {})
    {
        Open(path);
        ASSERT_FALSE(form->NoScheduleOpen) << path.toStdString();
        files->EmpTable.Name[1] = name;
        files->ScheduleProps.ReadWritePassword = password;
        form->File_Save_Click();
        form->File_Close_Click();
        msg.Clear();
    }
    QString Caption() const { return form->windowTitle(); }

    QTemporaryDir work;
    QTemporaryDir docs;
    FakeMsgBox msg;
    FakeFileDialogs dialogs;
    FakePrinter printer;
    // The printer the window prints on: the fake, unless a test sets another before SetUp.
    PrinterDevice* device = nullptr;
    FontService fonts{96};
    std::unique_ptr<SchedFiles> files;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<QTimer> propsAnswerer;
    bool AutoAcceptProps = true;
};

}  // namespace tavrin::test
