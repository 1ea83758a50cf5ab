#include "app/SiblingApp.h"

#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/SchedFiles.h"

namespace tavrin {

QString SiblingProgramPath(SchedFiles& files)
{
    QString path = files.ScheduleProps.SiblingAppPath.str();
    path.remove(QChar(0));
    path = Runtime::Trim(path);
    if (path.isEmpty()) {
        files.ScheduleModified = true;
        path = QStringLiteral("C:\\Program Files\\Crewbook\\CB2_APP.EXE");
        files.ScheduleProps.SiblingAppPath = path;
    }
    return path;
}

QString SiblingTargetName(const SchedFiles& files, int displayRow)
{
    if (!IsSlot(displayRow)) return {};
    const FixedText<20>& name = files.EmpTable.Name[displayRow];
    if (name.bytes[0] == '/') return {};
    return Runtime::Trim(name.str());
}

bool AskConnectSibling(MsgBox& msg, const QString& path)
{
    msg.beep();
    return msg.show(QStringLiteral("Tavrin cannot locate the Crewbook application. [") + path +
                        QStringLiteral("]... Do you wish to connect Crewbook to Tavrin?"),
                    Mb::YesNo + Mb::Question + Mb::DefaultButton2, QStringLiteral("Cannot locate Crewbook")) == Mb::Yes;
}

}  // namespace tavrin
