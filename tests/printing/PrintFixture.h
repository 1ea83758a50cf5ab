#pragma once
// Printing on the fake printer, with a recorder in a private working folder, scripted message
// boxes and file dialogs, screen fonts at 96 dots per inch and a pinned clock.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "platform/FontService.h"
#include "platform/Runtime.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMsgBox.h"
#include "support/FakePrinter.h"
#include "support/RecordingDump.h"

namespace tavrin::test {

class PrintFixture : public ::testing::Test {
protected:
    PrintFixture()
    {
        print.Now = [] { return Runtime::DateSerial(2024, 3, 5) + Runtime::TimeSerial(14, 30, 0); };
    }
    // The files as written so far, with what the recorder still gathers.
    QByteArray Commands()
    {
        (void)rec.FlushPending();
        QFile f(rec.CommandPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray Texts()
    {
        (void)rec.FlushPending();
        QFile f(rec.TextPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Record n (from 1) as stored.
    PreviewCommandRecord Record(int n)
    {
        const QByteArray all = Commands();
        PreviewCommandRecord r;
        const qsizetype at = qsizetype(n - 1) * qsizetype(PreviewCommandRecord::Size);
        if (at + qsizetype(PreviewCommandRecord::Size) > all.size()) return r;
        Decode(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(all.constData()) + at,
                                             PreviewCommandRecord::Size),
               r);
        return r;
    }

    QTemporaryDir dir;
    FakeMsgBox msg;
    FakeFileDialogs dialogs;
    FakePrinter printer;
    FontService fonts{96};
    PreviewRec rec{dir.path()};
    PrintServices print{printer, rec, fonts, msg, dialogs};
};

}  // namespace tavrin::test
