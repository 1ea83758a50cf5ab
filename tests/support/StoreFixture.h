#pragma once
// A schedule store on a private temporary working folder, with scripted message boxes.

#include "store/SchedFiles.h"
#include "support/FakeMsgBox.h"
#include "support/FakePrinter.h"
#include "support/RecordingStoreHost.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace tavrin::test {

class StoreFixture : public ::testing::Test {
protected:
    StoreFixture();

    // Creates and opens a new schedule (all working files empty).
    void OpenNewSchedule();
    // Loads the settings and opens the working files as the main window does.
    void OpenExisting();

    // Deletes every working file.
    void ClearWorkDir() const;

    QString Path(const QString& ext) const { return files->WorkPath(ext); }
    qint64 FileSize(const QString& ext) const;
    QByteArray ReadFile(const QString& ext) const;
    void WriteFile(const QString& ext, const QByteArray& bytes) const;

    QTemporaryDir dir;
    FakeMsgBox msg;
    FakePrinter printer;
    RecordingStoreHost host;
    std::unique_ptr<SchedFiles> files;
};

}  // namespace tavrin::test
