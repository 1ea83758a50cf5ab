#include "app/AppMain.h"

#include <dlfcn.h>
#include <zip.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QThread>

#include "app/ButtonPictures.h"
#include "app/MainForm.h"
#include "app/ShellDialogs.h"
#include "platform/AppPaths.h"
#include "platform/FileDialogs.h"
#include "platform/FileLock.h"
#include "platform/FileReplace.h"
#include "platform/FontService.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Screen.h"
#include "store/SchedFiles.h"

namespace tavrin::AppMain {

namespace {

// Removes the first argument that is the switch (compared ignoring case).
bool CutSwitch(QStringList& args, const QString& sw)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i].compare(sw, Qt::CaseInsensitive) == 0) {
            args.removeAt(i);
            return true;
        }
    }
    return false;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& args, const QString& currentFolder,
                             const std::function<bool(const QString&)>& fileExists)
{
    CommandLine cl;
    if (args.join(QLatin1Char(' ')).contains(QLatin1String("[Crewbook]"))) {
        cl.Crewbook = true;
        return cl;
    }
    // "/" separates folders here: a switch is only ever a whole argument.
    QStringList rest = args;
    cl.LowCpuMode = CutSwitch(rest, QStringLiteral("/LOWCPU"));
    CutSwitch(rest, QStringLiteral("/READONLY"));
    CutSwitch(rest, QStringLiteral("\\READONLY"));
    QString t = rest.join(QLatin1Char(' '));
    t.replace(QLatin1Char('"'), QLatin1Char(' '));
    t = Runtime::Trim(t);
    if (t.isEmpty() || !t.toUpper().contains(QLatin1String(".QRD"))) return cl;

    // A name without a folder is looked for in the current folder; the result is a full path.
    QString path = t.contains(QLatin1Char('/')) ? t : currentFolder + QLatin1Char('/') + t;
    if (!QDir::isAbsolutePath(path)) path = QDir(currentFolder).absoluteFilePath(path);
    path = QDir::cleanPath(path);
    if (fileExists(path)) cl.CmdLineFile = path;
    return cl;
}

QString ShortDateFormatFromSample(const QString& sampleText)
{
    const QString fallback = QStringLiteral("MM/dd/yyyy");
    const QString sample = QStringLiteral("   ") + sampleText.toUpper();
    QString fmt(30, QLatin1Char(' '));
    const auto pos = [&](const char* s) { return sample.indexOf(QLatin1String(s)) + 1; };  // 1-based, 0 = absent
    const qsizetype p30 = pos("30"), p11 = pos("11"), p98 = pos("98"), p19 = pos("19");

    qsizetype pAlpha = 0;
    QChar sep = QLatin1Char('/');
    for (qsizetype i = 0; i < sample.size(); ++i) {
        const QChar c = sample[i];
        const bool letter = c >= QLatin1Char('A') && c <= QLatin1Char('Z');
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (letter && pAlpha == 0) pAlpha = i + 1;
        if (!letter && !digit) sep = c;
    }
    const auto put = [&](qsizetype at, const char* token) {
        const QString tok = QLatin1String(token);
        for (qsizetype i = 0; i < tok.size(); ++i) {
            const qsizetype k = at - 1 + i;
            if (k >= 0 && k < fmt.size()) fmt[k] = tok[i];
        }
    };
    if (p30 > 0) put(p30, "dd");
    if (p11 > 0) put(p11, "MM");
    if (pAlpha > 0) put(pAlpha, "MMM");
    if (p98 > 0) put(p98, "yy");
    if (p19 > 0) {
        put(p19, "yy");
    } else {
        const qsizetype y = fmt.indexOf(QLatin1String("yy"));
        if (y >= 0) fmt.insert(y, QLatin1String("yy"));
    }
    fmt = Runtime::Trim(fmt);
    fmt.replace(QLatin1Char(' '), sep);
    if (!fmt.contains(QLatin1String("MM")) || !fmt.contains(QLatin1String("dd")) ||
        !fmt.contains(QLatin1String("yyyy")) || fmt.size() > 11) {
        return fallback;
    }
    return fmt;
}

QString GetShortDateFormat()
{
    const QLocale locale;
    return ShortDateFormatFromSample(locale.toString(QDate(1998, 11, 30), QLocale::ShortFormat));
}

QString TrimNulls(const QString& s)
{
    QString t = s;
    t.replace(QChar(0), QLatin1Char(' '));
    return Runtime::Trim(t);
}

QString FindMisplacedZipDll()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&zip_open), &info) == 0 || !info.dli_fname) return {};
    const QFileInfo loaded(QString::fromLocal8Bit(info.dli_fname));
    const QString expected = AppPaths::LibzipInstallDir();
    if (expected.isEmpty()) return {};
    const QString loadedDir = QFileInfo(loaded.absolutePath()).canonicalFilePath();
    const QString expectedDir = QFileInfo(expected).canonicalFilePath();
    if (loadedDir.isEmpty() || expectedDir.isEmpty() || loadedDir == expectedDir) return {};
    return loaded.absoluteFilePath();
}

bool HoldWorkingFolder(const QString& workDir, FileLock& lock, MsgBox& msg)
{
    const Status held = lock.Acquire(workDir + QStringLiteral("/tavrin.lock"));
    if (held) return true;
    msg.beep();
    if (lock.LastFailure() == FileLock::Failure::InUse) {
        msg.show(QStringLiteral("Tavrin is already running."), Mb::Exclamation, QStringLiteral("Tavrin"));
    } else {
        msg.show(QStringLiteral("Tavrin cannot lock its working folder ") + workDir + QStringLiteral(".\n\n") +
                     held.message(),
                 Mb::Exclamation, QStringLiteral("Error"));
    }
    return false;
}

void RemoveStaleWorkingFiles(const QString& workDir)
{
    SchedFiles::RemoveStaleTempArchives(workDir);
    // Print jobs are drawn as "job-" + six letters or digits + ".pdf".
    RemoveStaleTempFiles(workDir, [](const QString& name) {
        return name.size() == 14 && name.endsWith(QLatin1String(".pdf")) &&
               IsTempNameOf(name.left(10), QStringLiteral("job-"));
    });
}

// ---------------------------------------------------------------- the program's start

int Main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrin"));
    QApplication::setWindowIcon(ButtonPictures::ProgramIcon());
    QtMsgBox msg;
    // The working folder is named now, so that print jobs are drawn there whatever the current
    // folder is later; it is checked below.
    const QString workDir = AppPaths::DefaultWorkDir();
    QtPrinterDevice printer({}, workDir);
    printer.KillDoc();

    const QString dateFormat = GetShortDateFormat();

    // The working folder: private to this user, or the program does not start. It is held by
    // this copy before any working file is touched.
    const Status privateFolder = AppPaths::PreparePrivateFolder(workDir);
    if (!privateFolder) {
        msg.beep();
        msg.show(privateFolder.message(), Mb::Exclamation, QStringLiteral("Error"));
        return 1;
    }
    FileLock instance;
    if (!HoldWorkingFolder(workDir, instance, msg)) return 0;
    RemoveStaleWorkingFiles(workDir);

    const QString misplaced = FindMisplacedZipDll();
    if (!misplaced.isEmpty()) {
        msg.beep();
        msg.show(QStringLiteral("Incorrect Zip DLL in system memory: ") + misplaced + QStringLiteral(". ") +
                     QLatin1Char('\r') +
                     QStringLiteral("Please restart operating system or exit the program that is using this DLL before "
                                    "running Tavrin."),
                 Mb::Exclamation, QStringLiteral("Incorrect DLL"));
        return 0;
    }

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const CommandLine cl =
        ParseCommandLine(args, QDir::currentPath(), [](const QString& p) { return QFileInfo(p).isFile(); });
    if (cl.Crewbook) QDir::setCurrent(AppPaths::ProgramFolder());

    Startup splash(ScreenTwipsPerPixelX());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    splash.show();

    FontService fonts(QGuiApplication::primaryScreen()
                          ? static_cast<int>(QGuiApplication::primaryScreen()->logicalDotsPerInchY())
                          : 96);
    QtFileDialogs dialogs;
    dialogs.setFontService(&fonts);
    SchedFiles files(workDir, msg, printer);
    files.DateFormat = dateFormat;
    MainForm mainForm(MainFormServices{files, msg, dialogs, printer, fonts}, cl);
    msg.setParent(&mainForm);
    dialogs.setParent(&mainForm);

    // The splash stays two seconds after it was first shown; the whole wait is capped so that
    // a window manager that never shows it cannot stop the start.
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer sinceShown;
    while (waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (splash.SplashShown && !sinceShown.isValid()) sinceShown.start();
        if (sinceShown.isValid() && sinceShown.elapsed() >= 2000) break;
        QThread::msleep(10);
    }
    QApplication::restoreOverrideCursor();
    splash.close();

    mainForm.show();
    mainForm.File_Open_Click();
    return app.exec();
}

}  // namespace tavrin::AppMain
