#pragma once
// The settings and questions around the link to the staff-records application.

#include <QString>

namespace tavrin {

class MsgBox;
class SchedFiles;

// The sibling program's path from the settings (zero characters removed, trimmed). An empty
// path is replaced by the default one, stored, and the schedule marked modified.
QString SiblingProgramPath(SchedFiles& files);
// The name sent to the sibling: the trimmed name of a display row, empty for a divider row.
QString SiblingTargetName(const SchedFiles& files, int displayRow);
// The program could not be started: true when the user wants to set its path (Yes).
bool AskConnectSibling(MsgBox& msg, const QString& path);

}  // namespace tavrin
