// The print guard of the test and benchmark runs: a print scheduler of their own whose default
// printer stands for the system's printer. It keeps every job it is sent and prints none, so a
// test or benchmark that would print on the system's printer is caught by the check.
//
//   print_guard start DIR         starts the guard in DIR (stopping one left there)
//   print_guard check DIR         stops it; fails when any job reached it
//   print_guard run COMMAND ...   runs a command with the printing system pointed at a guard of
//                                 its own; fails when the command fails or any job reached it
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "support/CupsScheduler.h"

using tavrin::Status;
using tavrin::test::CupsScheduler;
using tavrin::test::OwnPrintingSettings;

namespace {

const QString kQueue = QStringLiteral("Guard");

int Fail(const QString& text)
{
    std::fprintf(stderr, "print_guard: %s\n", qPrintable(text));
    return 1;
}

int Start(const QString& folder)
{
    CupsScheduler guard(folder);
    (void)guard.Stop();  // one left by an interrupted run
    QDir(folder).removeRecursively();
    if (const Status s = guard.Start(true); !s) return Fail(s.message());
    for (const Status& s : {guard.AddQueue(kQueue, QStringLiteral("Print guard of the tests")), guard.HoldJobs(kQueue),
                            guard.SetDefault(kQueue)}) {
        if (!s) {
            (void)guard.Stop();
            return Fail(s.message());
        }
    }
    return 0;
}

int Check(const QString& folder)
{
    CupsScheduler guard(folder);
    QStringList names;
    if (guard.Running()) {
        for (const CupsScheduler::Job& j : guard.Jobs()) names << j.Attribute(QStringLiteral("job-name"));
    }
    const Status stopped = guard.Stop();
    // The spool keeps the document of every job taken, also when the guard has died since.
    const qsizetype taken =
        QDir(folder + QStringLiteral("/spool")).entryList({QStringLiteral("d[0-9]*")}, QDir::Files).size();
    if (taken > 0 || !names.isEmpty()) {
        QString text = QStringLiteral(
                           "%1 print job(s) reached the guard printer, which stands for the system's "
                           "printer: a test or benchmark prints on a real queue instead of the PDF "
                           "target or the fake printer.")
                           .arg(std::max(taken, names.size()));
        for (const QString& name : names) text += QStringLiteral("\n  \"") + name + QLatin1Char('"');
        return Fail(text);
    }
    if (!stopped) return Fail(stopped.message());
    QDir(folder).removeRecursively();
    return 0;
}

int Run(const QStringList& command)
{
    if (command.isEmpty()) return Fail(QStringLiteral("no command to run"));
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tavrin-print-guard-XXXXXX"));
    if (!dir.isValid()) return Fail(QStringLiteral("cannot make a folder for the guard"));
    const QString folder = dir.path();
    if (const int started = Start(folder); started != 0) return started;
    QProcess p;
    // The command's printing settings are its own, in a home of its own beside the guard.
    p.setProcessEnvironment(OwnPrintingSettings(QProcessEnvironment::systemEnvironment(),
                                                folder + QStringLiteral("/home"),
                                                folder + QStringLiteral("/cups.sock")));
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setInputChannelMode(QProcess::ForwardedInputChannel);
    p.start(command.first(), command.mid(1));
    p.waitForFinished(-1);
    const int code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : 1;
    if (p.error() == QProcess::FailedToStart) (void)Fail(command.first() + QStringLiteral(": ") + p.errorString());
    const int checked = Check(folder);
    return code != 0 ? code : checked;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.isEmpty() ? QString() : args.takeFirst();
    if (mode == QLatin1String("start") && args.size() == 1) return Start(args[0]);
    if (mode == QLatin1String("check") && args.size() == 1) return Check(args[0]);
    if (mode == QLatin1String("run")) {
        if (!args.isEmpty() && args.first() == QLatin1String("--")) args.removeFirst();
        return Run(args);
    }
    return Fail(QStringLiteral("usage: print_guard start DIR | check DIR | run COMMAND [ARGS...]"));
}
