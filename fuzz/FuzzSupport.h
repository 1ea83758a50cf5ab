#pragma once
// What the fuzz targets share: quiet message boxes and private folders of their
// own (under the system's temporary folder) that are removed when the target ends.

#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdlib>

#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"

namespace tavrin::fuzz {

class QuietMsgBox final : public MsgBox {
public:
    int show(const QString&, int flags, const QString&) override
    {
        switch (flags & 7) {
            case Mb::YesNo:
            case Mb::YesNoCancel:
                return Mb::Yes;
            case Mb::AbortRetryIgnore:
                return Mb::Abort;
            default:
                return Mb::OK;
        }
    }
    void beep() override {}
};

// A private folder with a working folder and a folder for schedule files inside.
struct Folders {
    Folders()
    {
        // Under the system's temporary folder, not in the fuzzer's corpus folder, which the
        // fuzzer reads again while it runs.
        QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/tavrin-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data())) std::abort();
        root = QString::fromLocal8Bit(tmpl);
        work = root + QStringLiteral("/work");
        sched = root + QStringLiteral("/sched");
        if (!QDir().mkdir(work) || !QDir().mkdir(sched)) std::abort();
    }
    ~Folders() { QDir(root).removeRecursively(); }
    // Empties both folders between inputs.
    void Clear() const
    {
        for (const QString& f : {work, sched}) {
            QDir d(f);
            for (const QString& e :
                 d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
                const QString p = f + QStringLiteral("/") + e;
                if (!QFile::remove(p)) QDir(p).removeRecursively();
            }
        }
    }
    static void Write(const QString& path, const char* data, qsizetype n)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        if (n > 0 && f.write(data, n) != n) std::abort();
    }

    QString root, work, sched;
};

}  // namespace tavrin::fuzz
