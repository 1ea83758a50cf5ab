#include "store/Convert.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/FileReplace.h"
#include "platform/FileLock.h"
#include "store/LegacyConvert.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// Where the converted working files are built, away from the open schedule's.
const QString kConvertFolder = QStringLiteral("/QORVANE2.CNV");

// Removes a schedule file that is empty (it would open as a new schedule), unless another copy
// of the program holds it.
void RemoveIfEmpty(const QString& path)
{
    FileLock probe;
    if (probe.Acquire(path, false) && probe.Length() == 0) ::unlink(path.toLocal8Bit().constData());
}

void SetBusy(bool on)
{
    if (on && !QApplication::overrideCursor()) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!on) {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }
}

}  // namespace

Convert::Convert(SchedFiles& files, QWidget* parent) : QDialog(parent), files_(files)
{
    setObjectName(QStringLiteral("Convert"));
    DialogCancelled = false;
    const LegacyConverter probe(files_);
    setWindowTitle(QStringLiteral("Convert ") + files_.SchedStem + probe.DayFileExt());

    label1_ = new QLabel(
        QStringLiteral("The selected file is in an older format.  Press OK to convert the file to the new format."),
        this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);

    picture1_ = new QWidget(this);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    panel3D1_ = new QLabel(QStringLiteral("Converting"), picture1_);
    panel3D1_->setObjectName(QStringLiteral("Panel3D1"));
    panel3D1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel3D1_->setAlignment(Qt::AlignCenter);
    done_ = new QProgressBar(picture1_);
    done_->setObjectName(QStringLiteral("Done"));
    done_->setRange(0, 100);
    done_->setValue(0);
    auto* pictureLayout = new QVBoxLayout(picture1_);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(panel3D1_);
    pictureLayout->addWidget(done_);
    picture1_->hide();

    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setDefault(true);
    command2_ = new QPushButton(QStringLiteral("Cancel"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    connect(command1_, &QPushButton::clicked, this, &Convert::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &Convert::Command2_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1_);
    layout->addWidget(picture1_);
    layout->addLayout(buttons);
    setFixedWidth(360);
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) move(s->availableGeometry().center() - rect().center());
}

void Convert::reject()
{
    if (converting_) return;
    DialogCancelled = true;
    QDialog::reject();
}

void Convert::Command2_Click()
{
    reject();
}

void Convert::Command1_Click()
{
    MsgBox& msg = files_.Msg();
    const QString target = files_.SchedFolder + files_.SchedStem + QStringLiteral(".QRD");

    files_.ResetPrinter();
    FileLock probe;
    if (!probe.Acquire(target, true)) {
        msg.beep();
        msg.show(QStringLiteral("Cannot create ") + target, Mb::Exclamation, QStringLiteral("Error"));
        reject();
        return;
    }
    const bool created = probe.Created();
    if (probe.Length() > 10) {
        msg.beep();
        const int answer = msg.show(target + QStringLiteral(" already exists. Do you wish to overwrite this file?"),
                                    Mb::YesNo + Mb::Question + Mb::DefaultButton2, QStringLiteral("Overwrite?"));
        if (answer != Mb::Yes) {
            probe.Release();
            reject();
            return;
        }
    }
    probe.Release();

    const LegacyConverter check(files_);
    if (!check.HasValidSettings()) {
        if (created) RemoveIfEmpty(target);
        msg.beep();
        msg.show(files_.SchedFolder + files_.SchedStem + check.DayFileExt() +
                     QStringLiteral(" is not a valid Tavrin 1.0x file."),
                 Mb::Exclamation, QStringLiteral("Error"));
        reject();
        return;
    }

    label1_->hide();
    picture1_->show();
    SetBusy(true);
    setEnabled(false);
    converting_ = true;
    files_.Host().ProcessEvents();

    const bool converted = RunConversion(target);

    converting_ = false;
    setEnabled(true);
    SetBusy(false);
    if (converted) {
        DialogCancelled = false;
        accept();
    } else {
        reject();
    }
}

bool Convert::RunConversion(const QString& target)
{
    MsgBox& msg = files_.Msg();
    const QString workDir = files_.WorkDir;
    const QString previousExt = files_.SchedExt;
    const SchedulePropertiesRecord previousProps = files_.ScheduleProps;

    files_.ReleaseScheduleLock();
    files_.CloseAllFiles();
    files_.Host().ProcessEvents();
    const QString staging = workDir + kConvertFolder;
    RemovePath(staging);
    Status s;
    if (!QDir().mkdir(staging) || ::chmod(staging.toLocal8Bit().constData(), 0700) != 0) {
        s = Status::error(QStringLiteral("Cannot create the folder %1").arg(staging));
    }

    files_.SchedExt = QStringLiteral(".QRD");
    if (!SchedFiles::IsRemovableFolder(files_.SchedFolder)) files_.CheckScheduleFileAccess();

    bool saved = false;
    if (s) {
        files_.WorkDir = staging;
        LegacyConverter conv(files_);
        conv.OnStep = [this](const QString& caption) {
            panel3D1_->setText(caption);
            done_->setValue(0);
            if (isVisible()) repaint();
        };
        conv.OnProgress = [this](int percent) {
            if (done_->value() == percent) return;
            done_->setValue(percent);
            if (isVisible()) done_->repaint();
        };
        s = conv.ConvertAll();
        files_.ReleaseScheduleLock();
        files_.CloseAllFiles();
        picture1_->hide();
        files_.Host().ProcessEvents();
        if (s) saved = files_.SaveScheduleArchive();
        files_.ReleaseScheduleLock();
        files_.CloseAllFiles();
        files_.WorkDir = workDir;
    } else {
        files_.ReleaseScheduleLock();
    }
    RemovePath(staging);
    // The open schedule's settings in memory were the converter's scratch space.
    files_.ScheduleProps = previousProps;

    if (s && saved) {
        files_.ReportNoteFileFull();
        return true;
    }
    files_.NoteFileFull = false;
    // No empty file is left behind to be opened as a new schedule.
    RemoveIfEmpty(target);
    files_.SchedExt = previousExt;
    msg.beep();
    if (!s) {
        msg.show(QStringLiteral("Tavrin cannot convert ") + files_.SchedFolder + files_.SchedStem +
                     LegacyConverter(files_).DayFileExt() + QStringLiteral(".\n\n") + s.message(),
                 Mb::Exclamation, QStringLiteral("Error"));
    } else {
        // The first line as always, then why.
        QString text = QStringLiteral("Tavrin cannot save ") + target;
        if (!files_.LastSaveFailure.isEmpty()) text += QLatin1Char('\n') + files_.LastSaveFailure;
        msg.show(text, Mb::Critical, QStringLiteral("Error"));
    }
    return false;
}

}  // namespace tavrin
