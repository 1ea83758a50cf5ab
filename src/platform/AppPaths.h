#pragma once
// Where the program, its data files and the user's private working folder are.

#include "platform/Result.h"

#include <QString>

namespace tavrin {

namespace AppPaths {

// Folder of the running executable.
QString ProgramFolder();
// Folder of the data shipped beside the program (help file, template, pictures).
QString ResourceFolder();
// Folder libzip was installed to when the program was built.
QString LibzipInstallDir();

// The default working folder: a folder of the user's own under the system's temporary
// directory ($TMPDIR or /tmp), or $TAVRIN_WORKDIR when that is set.
QString DefaultWorkDir();
// Creates the folder (mode 0700) when missing and checks that it is private: a real
// directory (not a symbolic link), owned by this user, with no access for others.
Status PreparePrivateFolder(const QString& folder);

}  // namespace AppPaths

}  // namespace tavrin
