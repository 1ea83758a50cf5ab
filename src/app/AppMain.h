#pragma once
// Start-up of the program and the small shared services of the shell: the command line, the
// date display format, the working folder and the zip-library check.

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/Result.h"

namespace tavrin {

class FileLock;
class MsgBox;

namespace AppMain {

// What the command line asks for.
struct CommandLine {
    QString CmdLineFile;      // the schedule file as a full path, or ""
    bool LowCpuMode = false;  // keep the Tool Tips menu item disabled
    bool Crewbook = false;    // started by the staff-records application: no file is taken
};

// Reads the program's arguments. A switch is an argument of its own ("/LOWCPU", "/READONLY"
// or "\READONLY" in any letter case), never part of a path; the other arguments, joined by
// blanks, name the file. fileExists decides whether a path names an existing file;
// currentFolder is the folder a bare file name is looked for in.
CommandLine ParseCommandLine(const QStringList& args, const QString& currentFolder,
                             const std::function<bool(const QString&)>& fileExists);

// The date display format built from the way the locale shows a sample date: the text of
// 30 November 1998 in the locale's short date format. "MM/dd/yyyy" when it cannot be read.
QString ShortDateFormatFromSample(const QString& sample);
// The same for the default locale.
QString GetShortDateFormat();

// Every zero character replaced by a blank, then blanks trimmed.
QString TrimNulls(const QString& s);

// "" when libzip was loaded from the folder it was installed to at build time, else the full
// path of the loaded library.
QString FindMisplacedZipDll();

// The single-copy check: an exclusive lock on a file of the working folder itself, so that two
// copies never share the working files, whatever else differs between their starts. The lock
// is held in `lock` for as long as it lives. False, after "Tavrin is already running." (or the
// reason the lock cannot be taken), when the program must end.
bool HoldWorkingFolder(const QString& workDir, FileLock& lock, MsgBox& msg);
// Removes what an earlier run cut off (killed) left in the working folder it held: temporary
// archives of a save and print jobs never sent. Called once the folder is held.
void RemoveStaleWorkingFiles(const QString& workDir);

// Runs the program: single-copy check, zip-library check, command line, splash, working
// folder, main window and its Open command. Returns the process exit code.
int Main(int argc, char** argv);

}  // namespace AppMain

}  // namespace tavrin
