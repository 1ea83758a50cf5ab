// The File menu: New and Open, Close, Save, Save As, Printer Setup and Exit, and the steps that
// turn an opened archive into the open schedule.

#include "app/MainForm.h"

#include "app/EditLists.h"
#include "app/ShellDialogs.h"
#include "grid/GridPaint.h"
#include "platform/FileDialogs.h"
#include "platform/MsgBox.h"
#include "platform/Pane.h"
#include "platform/Runtime.h"
#include "printing/SetPrt.h"
#include "store/Convert.h"
#include "store/SchedFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QScrollBar>

namespace tavrin {

namespace {

const QString kScheduleFilter = QStringLiteral("Schedule Files (*.qrd)|*.qrd|All Files(*.*)|*.*");

// Splits a path into its folder (ending with "/"), its stem and its extension as spelled.
struct PathParts {
    QString folder, stem, ext;
};
PathParts SplitPath(const QString& path)
{
    PathParts p;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    p.folder = path.left(slash + 1);
    const QString title = path.mid(slash + 1);
    const qsizetype dot = title.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        p.stem = title.left(dot);
        p.ext = title.mid(dot);
    } else {
        p.stem = title;
    }
    return p;
}

// The failed-save message: its first line as always, then why, so that the user knows what to
// mend ("No space left on device").
QString CannotSaveText(const QString& path, const QString& why)
{
    QString text = QStringLiteral("Tavrin cannot save ") + path;
    if (!why.isEmpty()) text += QLatin1Char('\n') + why;
    return text;
}

}  // namespace

// ---------------------------------------------------------------- saving

MainForm::SaveOutcome MainForm::SaveWithRetry()
{
    for (;;) {
        // The working files are closed once; a retry only saves the archive again. A close whose
        // flush failed leaves them open with the changes it could not write.
        const Status closed = files_.WorkingFilesAreOpen() ? files_.CloseWorkingFiles() : Status();
        if (closed && files_.SaveScheduleArchive()) return SaveOutcome::Saved;
        const QString why = closed ? files_.LastSaveFailure : closed.reason();
        msg_.beep();
        const int answer = msg_.show(CannotSaveText(files_.SchedulePath(), why), Mb::Critical + Mb::AbortRetryIgnore,
                                     QStringLiteral("Error"));
        if (answer == Mb::Retry) continue;
        if (answer == Mb::Ignore) return SaveOutcome::Ignored;
        // Abort: back to the open schedule, still unsaved (files left open are not read again,
        // which would drop the changes not yet written).
        if (!files_.WorkingFilesAreOpen()) {
            const Status reopened = files_.OpenWorkingFiles();
            if (!reopened) ReportStoreError(reopened);
        }
        Relock();
        files_.ScheduleModified = true;
        return SaveOutcome::Aborted;
    }
}

bool MainForm::PromptSaveAndClose()
{
    if (files_.ScheduleModified) {
        const int answer = msg_.show(QStringLiteral("Save changes to ") + files_.SchedFolder + files_.SchedStem +
                                         QStringLiteral(" ?"),
                                     Mb::YesNoCancel + Mb::Question, QStringLiteral("Tavrin"));
        if (answer == Mb::Cancel) return false;
        if (answer == Mb::Yes) return SaveWithRetry() != SaveOutcome::Aborted;
    }
    const Status closed = files_.CloseWorkingFiles();
    if (!closed) {
        // The changes could not be written: say so, and keep the schedule open as it is (the
        // files stay open with the changes still to be written).
        ReportStoreError(closed);
        files_.ScheduleModified = true;
        return false;
    }
    return true;
}

void MainForm::Relock()
{
    if (SchedFiles::IsRemovableFolder(files_.SchedFolder)) {
        files_.ReleaseScheduleLock();
        return;
    }
    files_.ReleaseScheduleLock();
    files_.CheckScheduleFileAccess();
}

void MainForm::RestorePreviousSchedule(const QString& folder, const QString& stem, const QString& ext, bool modified)
{
    files_.SchedFolder = folder;
    files_.SchedStem = stem;
    files_.SchedExt = ext;
    const Status reopened = files_.OpenWorkingFiles();
    if (!reopened) ReportStoreError(reopened);
    Relock();
    files_.ScheduleModified = modified;
}

// ---------------------------------------------------------------- opening

void MainForm::File_Open_Click()
{
    // 1. Closing the editors does not count as a change.
    const bool modifiedBefore = files_.ScheduleModified;
    if (Grid->isVisible()) {
        Grid->setFocus();
        QCoreApplication::processEvents();
        KillTextBoxes();
    }
    files_.ScheduleModified = modifiedBefore;

    QString chosen;
    bool firstVersion = false;
    bool fromCommandLine = false;

    // 2. The file named on the command line, used once.
    if (!CmdLineFile.isEmpty()) {
        const QString text = CmdLineFile;
        CmdLineFile.clear();
        const qsizetype sep = text.lastIndexOf(QLatin1Char('/'));
        if (sep >= 0 && sep < text.size() - 1) {
            chosen = text;
            fromCommandLine = true;
            QDir::setCurrent(text.left(sep + 1));
        }
    }

    // 3. The Open dialog.
    while (!fromCommandLine) {
        FileDialogRequest req;
        req.title = QStringLiteral("Open File");
        req.defaultExt = QStringLiteral("qrd");
        req.filter = kScheduleFilter;
        req.filterIndex = 1;
        req.offerCreate = true;
        const std::optional<QString> answer = s_.dialogs.Open(req);
        if (!answer) return;
        chosen = *answer;
        const QString title = QFileInfo(chosen).fileName();
        if (title.isEmpty() || title.compare(QLatin1String("*.QRD"), Qt::CaseInsensitive) == 0 ||
            title.compare(QLatin1String("*.SCH"), Qt::CaseInsensitive) == 0) {
            return;
        }
        const QString ext = SplitPath(chosen).ext;
        if (ext.compare(QLatin1String(".QRD"), Qt::CaseInsensitive) == 0) break;
        if (title.contains(QLatin1String(".SCH"), Qt::CaseInsensitive)) {
            firstVersion = true;
            break;
        }
        msg_.beep();
        msg_.show(QStringLiteral("The file selected is not a valid schedule file.  Extension must be .qrd"),
                  Mb::Exclamation, QStringLiteral("Open File"));
    }

    // 4. The open schedule is saved or left.
    const bool hadSchedule = !NoScheduleOpen;
    if (hadSchedule && !PromptSaveAndClose()) return;

    // 5. What to go back to when the new one cannot be opened.
    const QString prevFolder = files_.SchedFolder;
    const QString prevStem = files_.SchedStem;
    const QString prevExt = files_.SchedExt;
    const bool prevModified = files_.ScheduleModified;
    const bool gridWasEnabled = Grid->isEnabled();

    const PathParts parts = SplitPath(chosen);
    files_.SchedFolder = parts.folder;
    files_.SchedStem = parts.stem;
    files_.SchedExt = parts.ext.isEmpty() ? QStringLiteral(".QRD") : parts.ext;
    if (firstVersion) {
        const qsizetype sch = QFileInfo(chosen).fileName().toUpper().indexOf(QLatin1String(".SCH"));
        files_.SchedStem = QFileInfo(chosen).fileName().left(sch);
        files_.SchedExt = QStringLiteral(".QRD");
        Convert convert(files_, this);
        convert.exec();
        if (convert.DialogCancelled) {
            if (gridWasEnabled) DisableIt();
            if (hadSchedule) {
                RestorePreviousSchedule(prevFolder, prevStem, prevExt, prevModified);
            } else {
                files_.SchedFolder = prevFolder;
                files_.SchedStem = prevStem;
                files_.SchedExt = prevExt;
            }
            EnabledIt();
            return;
        }
        files_.ReleaseScheduleLock();
        files_.CloseAllFiles();
    }

    // 6. and 7.
    bool retryingPrevious = false;
    for (;;) {
        if (Grid->isEnabled()) DisableIt();
        if (!files_.OpenScheduleArchive()) {
            if (hadSchedule) RestorePreviousSchedule(prevFolder, prevStem, prevExt, prevModified);
            EnabledIt();
            return;
        }
        const bool opened = OpenScheduleSession();
        if (opened && !PasswordCancelled) {
            EnabledIt();
            return;
        }
        PasswordCancelled = false;
        files_.CloseAllFiles();
        files_.ReleaseScheduleLock();
        EnabledIt();
        if (hadSchedule && opened && !retryingPrevious) {
            // The previous schedule is opened again from its saved file (once: when its own
            // password is cancelled too, the window is left without a schedule).
            retryingPrevious = true;
            files_.SchedFolder = prevFolder;
            files_.SchedStem = prevStem;
            files_.SchedExt = prevExt;
            continue;
        }
        files_.SchedFolder.clear();
        files_.SchedStem.clear();
        if (hadSchedule || !NoScheduleOpen) GoToClosedState();
        return;
    }
}

bool MainForm::OpenScheduleSession()
{
    // 1.
    HourlyCoverage.Reset();
    SetRowScrollValue(0);
    FindNameQueryNo = 0;

    // 2. and 3.
    bool isNew = false;
    const Status loaded = files_.LoadScheduleSettings(isNew);
    if (!loaded) {
        ReportStoreError(loaded);
        return false;
    }
    if (isNew) {
        ShowPropsForNewSchedule();
    } else {
        files_.ScheduleProps.ReadWritePassword = Runtime::RTrim(files_.ScheduleProps.ReadWritePassword.str());
        if (!Runtime::Trim(files_.ScheduleProps.ReadWritePassword.str()).isEmpty()) {
            SetBusy(false);
            PassWRD prompt(files_.ScheduleProps.ReadWritePassword.str(), files_.SchedStem, msg_, this);
            HelpAvailable = false;
            prompt.exec();
            HelpAvailable = true;
            if (prompt.DialogCancelled) {
                PasswordCancelled = true;
                files_.ReleaseScheduleLock();
                return true;
            }
        }
    }

    // 4.
    files_.CurrentFormatNo = files_.ScheduleProps.CurrentFormat;
    if (files_.CurrentFormatNo < 1 || files_.CurrentFormatNo > kFormats) {
        files_.CurrentFormatNo = 1;
        files_.ScheduleProps.CurrentFormat = 1;
    }

    // 5.
    SetBusy(true);
    files_.ScheduleModified = false;
    const Status opened = files_.OpenWorkingFiles();
    if (!opened) {
        SetBusy(false);
        ReportStoreError(opened);
        return false;
    }
    grid_.TopRow = 1;

    // 6.
    const auto showCoverage = [this] {
        CoverageDesc->setVisible(grid_.CoverageVisible);
        if (!grid_.CoverageVisible) {
            Coverage->Clear();
            CoverageDesc->Clear();
        }
    };
    showCoverage();
    ApplyEditingState();
    showCoverage();

    // 7.
    FillShiftList();
    FillExplanationList();
    LoadHotKeyArray();
    grid_.CursorRow = 1;
    grid_.CursorDay = 1;
    grid_.TagDayCells(1, 1, 0);

    // 8.
    for (QAction* a : {File_Save, File_SaveAs, File_Print, File_PrintSetup}) a->setEnabled(true);
    for (QMenu* m : {MenuDefine, MenuView, Menu_Reports, MenuEdit, Menu_Help}) m->setEnabled(true);
    Help_ToolTips->setEnabled(!LowCpuMode);

    // 9.
    SetBusy(false);
    UpdateHighLighter();
    if (grid_.ScheduleClosed) {
        grid_.ScheduleClosed = false;
        ShowScheduleControls();
    }
    grid_.LayoutAndRedrawSchedule();
    return true;
}

// ---------------------------------------------------------------- Save, Save As, Close, Exit

void MainForm::File_Save_Click()
{
    SetBusy(true);
    if (Grid->isVisible()) Grid->setFocus();
    const bool modifiedBefore = files_.ScheduleModified;
    const SaveOutcome saved = SaveWithRetry();
    if (saved == SaveOutcome::Aborted) {
        files_.ScheduleModified = modifiedBefore;
        SetBusy(false);
        return;
    }
    // After Ignore of a failed close the files are still open with the changes not written.
    if (!files_.WorkingFilesAreOpen()) {
        const Status reopened = files_.OpenWorkingFiles();
        if (!reopened) ReportStoreError(reopened);
    }
    SetBusy(false);
    // After Ignore nothing was saved: the schedule stays marked modified.
    files_.ScheduleModified = saved == SaveOutcome::Ignored;
}

void MainForm::File_SaveAs_Click()
{
    if (Grid->isVisible()) Grid->setFocus();
    QString chosen;
    for (;;) {
        FileDialogRequest req;
        req.title = QStringLiteral("Save As...");
        req.defaultExt = QStringLiteral("qrd");
        req.fileName = files_.SchedulePath();
        req.filter = kScheduleFilter;
        req.confirmOverwrite = true;
        const std::optional<QString> answer = s_.dialogs.SaveAs(req);
        if (!answer) return;
        chosen = *answer;
        if (SplitPath(chosen).ext.compare(QLatin1String(".QRD"), Qt::CaseInsensitive) == 0) break;
        msg_.beep();
        msg_.show(QStringLiteral("The file selected is not a valid schedule file.  Extension must be .QRD"),
                  Mb::Exclamation, QStringLiteral("Save As"));
    }

    const PathParts parts = SplitPath(chosen);
    files_.SaveAsFolder = parts.folder;
    files_.SaveAsStem = parts.stem;
    files_.SaveAsExt = parts.ext;
    // The same file (the same path: names differing in case are different files here).
    if (files_.SaveAsPath() == files_.SchedulePath()) {
        File_Save_Click();
        return;
    }
    if (!files_.SaveAsPath().toUpper().contains(chosen.toUpper())) return;

    SetBusy(true);
    const bool modifiedBefore = files_.ScheduleModified;
    const Status flushed = files_.FlushWorkingData();
    if (!flushed) {
        SetBusy(false);
        ReportStoreError(flushed);
        return;
    }
    files_.CloseAllFiles();
    if (Grid->isEnabled()) DisableIt();
    if (!files_.SaveScheduleArchiveAs()) {
        msg_.beep();
        msg_.show(CannotSaveText(files_.SaveAsPath(), files_.LastSaveFailure), Mb::Critical + Mb::OKOnly,
                  QStringLiteral("Error"));
        const Status reopened = files_.OpenWorkingFiles();
        if (!reopened) ReportStoreError(reopened);
        Relock();
        files_.ScheduleModified = modifiedBefore;
        SetBusy(false);
        EnabledIt();
        return;
    }
    const Status reopened = files_.OpenWorkingFiles();
    if (!reopened) ReportStoreError(reopened);
    files_.ScheduleModified = false;
    SetBusy(false);
    EnabledIt();
}

bool MainForm::CloseProcedure()
{
    if (!NoScheduleOpen) {
        if (!PromptSaveAndClose()) return false;
    }
    files_.CloseAllFiles();
    files_.ReleaseScheduleLock();
    GoToClosedState();
    return true;
}

void MainForm::File_Close_Click()
{
    SetBusy(true);
    CancelToolTip();
    CloseProcedure();
    SetBusy(false);
}

void MainForm::File_Exit_Click() { close(); }

void MainForm::File_PrintSetup_Click()
{
    SetPrt dialog(*print_, &grid_, this);
    if (dialog.Listed()) dialog.exec();
}

void MainForm::closeEvent(QCloseEvent* e)
{
    if (!NoScheduleOpen) {
        if (!PromptSaveAndClose()) {
            e->ignore();
            return;
        }
    }
    files_.CloseAllFiles();
    files_.ReleaseScheduleLock();
    Timer1->stop();
    e->accept();
}

// ---------------------------------------------------------------- the two lists

void MainForm::FillShiftList()
{
    const QSignalBlocker block(ShiftSelector);
    ShiftSelector->clear();
    for (const ListItem& item : ShiftListItems(files_.ShiftTable)) ShiftSelector->addItem(item.text, item.code);
    ShiftSelector->setCurrentIndex(0);
    currentShiftCode_ = ShiftSelector->itemData(0).toInt();
}

void MainForm::FillExplanationList()
{
    const QSignalBlocker block(Explainations);
    Explainations->clear();
    explListIndex_.clear();
    explListText_.clear();
    const std::vector<ListItem> items = ExplanationListItems(files_.ExplTable);
    for (std::size_t i = 0; i < items.size(); ++i) {
        Explainations->addItem(items[i].text, items[i].code);
        explListIndex_[items[i].code] = static_cast<int>(i);
        explListText_[items[i].code] = Runtime::Trim(items[i].text);
    }
    Explainations->setCurrentIndex(0);
}

void MainForm::LoadHotKeyArray() { HotKeyTable = tavrin::LoadHotKeyArray(files_.ShiftTable, files_.ExplTable); }

}  // namespace tavrin
