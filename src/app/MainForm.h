#pragma once
// The main window: menus, tool panel, the schedule panes the grid painter draws into, and the
// commands of the schedule window.

#include "analysis/HourFRM.h"
#include "app/AppMain.h"
#include "app/CellEditor.h"
#include "editing/EditingHost.h"
#include "grid/GridQuery.h"
#include "grid/GridHost.h"
#include "store/RecordCodec.h"
#include "store/StoreHost.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QKeyEvent;
class QTimer;
class QToolButton;

namespace tavrin {

class FileDialogs;
class FontService;
class GridPaint;
class MsgBox;
class Pane;
class PrinterDevice;
class PrintServices;
class PreviewRec;
class Pager;
class SchedFiles;
class SelPaste;
class SiblingServer;

// The services the window works with, made once by the start-up routine.
struct MainFormServices {
    SchedFiles& files;
    MsgBox& msg;
    FileDialogs& dialogs;
    PrinterDevice& printer;
    FontService& fonts;
};

class MainForm final : public QMainWindow, public StoreHost, public GridHost, public EditingHost {
    Q_OBJECT
public:
    MainForm(MainFormServices services, const AppMain::CommandLine& commandLine, QWidget* parent = nullptr);
    ~MainForm() override;

    // --- form-level state ---
    bool NoScheduleOpen = true;
    bool PasswordCancelled = false;
    bool PropsForNewSchedule = false;
    bool NoteEditing = false;
    bool LowCpuMode = false;
    QString CmdLineFile;
    // Keys and entries in progress.
    bool TimeOffKeyPending = false;
    bool OnCallKeyPending = false;
    bool AssignKeyPending = false;
    bool AdvanceAfterEntry = false;
    bool GridDragging = false;
    bool ComboDropPending = false;
    int SpinUpCount = 0;
    int SpinDownCount = 0;
    bool ShiftListBrowsing = false;
    bool ExplListBrowsing = false;
    int ShiftListSavedIndex = 0;
    int ExplListSavedIndex = 0;
    // The window sees keys before its focused control (off while a text editor has the focus).
    bool KeyPreview = true;
    // Visible row of the open name and position editors.
    int EditorRow = 0;
    // The undo state and the clipboard, kept for the whole run of the program.
    EditBuffers Buffers;

    // Query that restricts the Find Name list, 0 = none; reset when a schedule is opened.
    int FindNameQueryNo = 0;
    // Where the hourly coverage window and its grid were left; reset when a schedule is opened.
    HourlyCoverageState HourlyCoverage;
    // The 190 hot keys: shift code i > 0, explanation code -i, 0 none.
    VbArray<int, 1, 190> HotKeyTable;  // see app/EditLists.h
    void LoadHotKeyArray();
    // Pending tool tip: the time (seconds of the day) at which it is shown; 0 = none.
    double ToolTipDue = 0;

    // --- StoreHost ---
    void SetFormatMenuItem(int format, const QString& caption, bool checked) override;
    void SetCurrentFormatCaptions(const QString& editCaption, const QString& reportCaption) override;
    void SetColumnHeadingColour(std::uint32_t colour) override;
    void ApplyScheduleFormat() override;
    void ProcessEvents() override;

    // --- GridHost ---
    bool IsMinimised() const override;
    int CurrentShiftCode() const override { return currentShiftCode_; }
    QString SchedStem() const override;
    int ExplListIndex(int code) const override;
    QString ExplanationListText(int code) const override;
    bool ExplComboBusy() const override { return explComboBusy_; }
    void SetCaption(const QString& caption) override;
    void SetBusy(bool busy) override;
    void SetRowScroll(int largeChange, int maximum) override;
    void SetRowScrollValue(int value) override;
    void SetPanelText(InfoPanel panel, const QString& text) override;
    void SetShiftDescSmallFont(bool small) override;
    void SetUndoItem(bool enabled, const QString& caption) override;
    void SelectExplanationIndex(int index) override;
    void SetNotePadText(const QString& text) override;
    void SetNotePadEnabled(bool enabled) override;
    void SetNotePadBackground(std::uint32_t colour) override;
    void SetListsEnabled(bool enabled) override;
    void SetNoteButtons(NoteButtonLook look) override;
    void CancelToolTip() override;

    // --- EditingHost ---
    void ShowPrintDialog(QWidget* over) override;
    void RunQueryReport(QWidget* over, int index, OleDate start, OleDate end) override;

    // The select-query function: Select Query over `over` (its Edit... edits the queries),
    // preset to query `preset`; the number chosen (0 = none), or nothing when cancelled.
    std::optional<int> SelectQuery(QWidget* over, int preset);
    // The same, for the dialogs of other modules.
    QueryPicker SelectQueryFunction();

    // The grid painter of this window.
    GridPaint& Painter() { return grid_; }
    // The printer, the preview recorder and what reports print with.
    PrintServices& Print() { return *print_; }

    // --- public operations ---
    void DisableIt();
    void EnabledIt();
    void KillTextBoxes();
    void UpdateHighLighter();
    // Reads the highlight query into the shared query buffer, where other commands read their
    // own queries too; false when none is set or it cannot be read.
    bool ReadHighlightQuery();
    // Tool tips: shown one second after the pointer comes to rest on a control.
    void ShowToolTip(QWidget* control, const QString& text, int xTw, int yTw);
    void UpdateToolTip();
    // The help file of the program folder.
    QString HelpFile() const;
    // Help is not offered while the password prompt is open.
    bool HelpAvailable = true;

public slots:
    // File menu
    void File_Open_Click();
    void File_Close_Click();
    void File_Save_Click();
    void File_SaveAs_Click();
    void File_Exit_Click();
    void File_PrintSetup_Click();
    void File_Print_Click();
    // View menu
    void View_format_Click(int index);
    void View_Change_Click();
    // Define menu
    void Define_Shifts_Click();
    void Define_Explainations_Click();
    void Define_Props_Click();
    // Reports menu
    void Report_Current_Click();
    void Report_Staff_Day142_Click();
    void Report_Staff_Month_Click();
    void Report_Staff_Group_Click();
    void Report_Personal_Day142_Click();
    void Report_Personal_Month_Click();
    void Report_Legend_Click();
    // Help menu
    void Help_Contents_Click();
    void Help_ToolTips_Click();
    void Help_About_Click();
    // Reports menu
    void Report_Proj_Click();
    // Timer
    void Timer1_Timer();
    // Edit menu
    void Edit_Undo_Click();
    void Edit_Cut_Click();
    void Edit_Copy_Click();
    void Edit_Paste_Click();
    void Edit_SelPaste_Click();
    void Edit_Clear_Click();
    void Edit_InsertLine_Click();
    void Edit_RemoveLine_Click();
    void Edit_Divider_Click();
    void Edit_MarkName_Click();
    void Edit_MoveName_Click();
    void Edit_DrawShift_Click();
    void Edit_TimeOff_Click();
    void Edit_EraseShift_Click();
    void Edit_OnCall_Click();
    void Edit_Mcopy_Click();
    void Edit_MSched_Click();
    void MenuEdit_Show();
    // View menu
    void View_Alpha_Click();
    void View_ByPos_Click();
    void View_FindName_Click();
    // Reports menu
    void Report_Query_Click();
    // Tool panel
    void ButtonAssign_Click();
    void ButtonTimeOff_Click();
    void ButtonErase_Click();
    void ButtonCall_Click();
    void ButtonCal_Click();
    void ButtonHourCov_Click();
    void SSCommand1_Click();
    void SSCommand2_Click();
    void SpinButton1_SpinUp();
    void SpinButton1_SpinDown();
    void ShiftSelector_Click(int index);
    void Explainations_Click(int index);
    // Note box
    void NoteCheck_Click();
    void NoteX_Click();
    // Rows and days
    void VScroll2_Change(int value);
    void ScrollUpOneRow();
    void ScrollDownOneRow();
    void ScrollForwardOneDay();
    void ScrollBackOneDay();
    // Panes
    void Grid_MouseDown(int button, int shift, double x, double y);
    void Grid_MouseMove(int button, int shift, double x, double y);
    void Grid_MouseUp(int button, int shift, double x, double y);
    void EmpList_MouseMove(int button, int shift, double x, double y);
    void EmpList_MouseDown(int button, int shift, double x, double y);
    void EmpPos_MouseMove(int button, int shift, double x, double y);
    void EmpPos_MouseDown(int button, int shift, double x, double y);
    void CoverageDesc_MouseDown(int button, int shift, double x, double y);
    void DayRuler_Click();
    // The sibling application asked this window to come to the front.
    void BringToFront();

public:
    // The grid's key handling (after the window's preview): true when the key was used.
    bool Form_KeyDown(int keyCode, bool shift, bool ctrl, bool alt);
    // A character typed while the grid has the focus.
    bool Form_KeyPress(QChar c);

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class MainFormTestAccess;

    void BuildControls();
    void BuildMenus();
    void LoadForm();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void SetToolTipText(QWidget* w, const QString& text);
    QString ToolTipTextFor(QWidget* w) const;

    // Editing.
    EditRun CurrentRun() const;
    int CursorDisplayRow() const;
    bool CurrentRowIsDivider() const;
    // The common end of a cell command: redraw, coverage, highlight, Undo item.
    void AfterEdit(const EditResult& r, bool recount = true);
    // Ctrl+A, Ctrl+X or Ctrl+O from the keyboard with one day tagged moves the tag on.
    void AdvanceAfterKeyCommand(bool& pending);
    // The tag one day right (Right arrow, Enter, an advance after an entry).
    void MoveRight(bool shift, bool advance);
    void MoveLeft(bool shift);
    void MoveDown();
    void MoveUp();
    // The end of every row command.
    void RedrawRows();
    void InsertRowOrDivider(bool divider);
    // Copies the tagged cells; false when refused.
    bool CopyToClipboard();
    void SortRows(int mode);
    // direction +1 forward (down), -1 back (up).
    void ScrollOneDay(int direction) { ScrollDays(direction, 1); }
    // `count` days in one move: each day is flushed and loaded as in a one-day scroll, and only
    // the days coming in are drawn.
    void ScrollDays(int direction, int count);
    void ScrollOneRow(int direction);
    // The wheel over the grid and its panes: rows as the row scroll bar scrolls them, days with
    // Shift or a sideways wheel; true when the event was used.
    bool FilterWheelEvent(QObject* watched, QEvent* e);
    void SelectRowAt(double y);
    // In-place name and position editors.
    void OpenRowEditors(int visibleRow, bool positionOnly);
    // Stores the editor's text; false (nothing stored, the editor kept open) when the text holds
    // characters the file cannot: after the message unless `quiet` (the focus went to another
    // window, where no message belongs).
    bool CommitEditor(QLineEdit* editor, bool quiet = false);
    void ContinueEntry();
    // Note box.
    bool OnRequirementRow() const;
    void SaveNote();
    void RestoreNote();
    void StoreNumber(bool upOrDown);
    void SetNoteButtonsActive(bool active);
    // What the note buttons show, so that showing the same again costs nothing.
    enum class NoteButtonsShown { Unknown, Requirement, Note, NoteActive };
    NoteButtonsShown noteButtonsShown_ = NoteButtonsShown::Unknown;
    // Combos and the note box.
    bool ComboKey(QComboBox* combo, QKeyEvent* e);
    bool NotePadKey(QKeyEvent* e);
    // Keys, focus and shortcuts of the editing controls; true when the event was used.
    bool FilterEditingEvent(QObject* watched, QEvent* e);
    void ConnectEditing();
    // Moves a block of a twin within it; a shown pane shows the block at its new place, its
    // window moved with it. ShowTwinBeside then shows the rest of the twin.
    void ScrollTwin(Pane* pane, class Surface& twin, int dx, int dy, const struct PixelRect& block);
    void ShowTwinBeside(Pane* pane, const class Surface& twin, const struct PixelRect& kept);
    void ReportDateOutOfRangeAndOffer();
    // After a dialog whose Edit... may have changed a query: the highlighter reads its query
    // again, and the cells are drawn again when that query may have changed.
    void AfterQueryEdits(bool edited);
    // The Properties dialog of divider record `recordNo` (a display row, 0 the current row, 201
    // the day ruler); the record as written, or nothing when cancelled.
    std::optional<DividerPropertiesRecord> EditDividerProperties(int recordNo);
    // After a definition dialog or Copy Multiple: the day ruler (with `ruler`), the cells and the
    // coverage lines drawn again and the cursor day tagged again.
    void RedrawAfterDefinitions(bool ruler);
    // The file properties of a new schedule; its period unless cancelled.
    void ShowPropsForNewSchedule();

    // Window states.
    void ApplyEditingState();
    void ShowScheduleControls();
    void GoToClosedState();

    // File commands.
    // False when the schedule could not be made ready (after a message).
    bool OpenScheduleSession();
    // Saves with Abort, Retry, Ignore; after Aborted the caller abandons its command.
    enum class SaveOutcome { Saved, Ignored, Aborted };
    SaveOutcome SaveWithRetry();
    // Asks to save a modified schedule and closes the working files. False: the command that
    // asked is abandoned (Cancel, or Abort after a failed save).
    bool PromptSaveAndClose();
    void Relock();
    bool CloseProcedure();
    // Back on the previous schedule from its working files after a failed or cancelled open.
    void RestorePreviousSchedule(const QString& folder, const QString& stem, const QString& ext, bool modified);
    void FillShiftList();
    void FillExplanationList();
    void ReportStoreError(const Status& s);

    MainFormServices s_;
    SchedFiles& files_;
    MsgBox& msg_;
    // The window is the grid painter's host, so the painter is made and owned here.
    std::unique_ptr<GridPaint> gridOwner_;
    GridPaint& grid_;
    std::unique_ptr<PreviewRec> rec_;
    std::unique_ptr<PrintServices> print_;

    int currentShiftCode_ = 0;
    bool explComboBusy_ = false;
    // The last close of the working files before a save succeeded (a failed one leaves them open).
    std::unique_ptr<CellEditor> editor_;
    SelPaste* selPaste_ = nullptr;
    Pager* pager_ = nullptr;
    SiblingServer* siblingServer_ = nullptr;
    QString editorTextAtFocus_;
    QString noteTextAtFocus_;
    // A refused name or position is being reported: the focus moves that go with it store nothing.
    bool refusingEditorText_ = false;
    // Wheel turns not yet worth a whole row or day (fine-grained wheels and touchpads).
    double wheelRestRows_ = 0;
    double wheelRestDays_ = 0;
    bool siblingLinkBusy_ = false;
    std::map<int, int> explListIndex_;
    std::map<int, QString> explListText_;
    std::map<QWidget*, QString> toolTips_;

public:
    // --- controls (also reachable by objectName) ---
    QWidget* Form = nullptr;
    QFrame* ToolPanel = nullptr;
    Pane* Grid = nullptr;
    Pane* EmpList = nullptr;
    Pane* EmpPos = nullptr;
    Pane* DayRuler = nullptr;
    Pane* Coverage = nullptr;
    Pane* CoverageDesc = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QLineEdit* EmpText = nullptr;
    QLineEdit* EmpText2 = nullptr;
    QLineEdit* NotePad = nullptr;
    QPushButton* NoteCheck = nullptr;
    QPushButton* NoteX = nullptr;
    QComboBox* ShiftSelector = nullptr;
    QComboBox* Explainations = nullptr;
    QToolButton* ButtonAssign = nullptr;
    QToolButton* ButtonTimeOff = nullptr;
    QToolButton* ButtonErase = nullptr;
    QToolButton* ButtonCall = nullptr;
    QToolButton* ButtonCal = nullptr;
    QToolButton* ButtonHourCov = nullptr;
    QToolButton* SSCommand2 = nullptr;
    QToolButton* SSCommand1 = nullptr;
    QFrame* SSPanel1 = nullptr;
    QToolButton* SpinUp = nullptr;
    QToolButton* SpinDown = nullptr;
    QLabel* TopInfoShiftHours = nullptr;
    QLabel* TopInfoShiftDesc = nullptr;
    QLabel* DateOn = nullptr;
    QLabel* DateDisplay = nullptr;
    QLabel* EmpRow = nullptr;
    QLabel* DaysTagged = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* ToolTipper = nullptr;
    QLabel* LOADSF = nullptr;
    QLabel* DDEThing = nullptr;
    QLineEdit* Tabitha = nullptr;
    QPushButton* NoBong = nullptr;
    QTimer* Timer1 = nullptr;

    // --- menus ---
    QMenu* MenuFile = nullptr;
    QMenu* MenuEdit = nullptr;
    QMenu* MenuView = nullptr;
    QMenu* MenuDefine = nullptr;
    QMenu* Menu_Reports = nullptr;
    QMenu* Menu_Help = nullptr;
    QMenu* Report_Personal = nullptr;
    QMenu* Report_Staff = nullptr;
    QAction *File_New = nullptr, *File_Open = nullptr, *File_Close = nullptr, *File_Line2 = nullptr,
            *File_Save = nullptr, *File_SaveAs = nullptr, *File_Line1 = nullptr, *File_Print = nullptr,
            *File_PrintSetup = nullptr, *File_Line3 = nullptr, *File_Exit = nullptr;
    QAction *Edit_Undo = nullptr, *Edit_Cut = nullptr, *Edit_Copy = nullptr, *Edit_Mcopy = nullptr,
            *Edit_Paste = nullptr, *Edit_SelPaste = nullptr, *Edit_Clear = nullptr, *Edit_InsertLine = nullptr,
            *Edit_RemoveLine = nullptr, *Edit_Divider = nullptr, *Edit_MarkName = nullptr,
            *Edit_MoveName = nullptr, *Edit_DrawShift = nullptr, *Edit_TimeOff = nullptr,
            *Edit_EraseShift = nullptr, *Edit_OnCall = nullptr, *Edit_MSched = nullptr;
    QAction *View_Alpha = nullptr, *View_ByPos = nullptr, *View_FindName = nullptr, *View_Line = nullptr,
            *View_Change = nullptr;
    std::array<QAction*, 5> View_format{};
    QAction *Define_Shifts = nullptr, *Define_Explainations = nullptr, *Define_Props = nullptr;
    QAction *Report_Current = nullptr, *Report_Legend = nullptr, *Report_Query = nullptr,
            *Report_Personal_Day142 = nullptr, *Report_Personal_Month = nullptr, *Report_Proj = nullptr,
            *Report_Staff_Day142 = nullptr, *Report_Staff_Month = nullptr, *Report_Staff_Group = nullptr;
    QAction *Help_Contents = nullptr, *Help_ToolTips = nullptr, *Help_About = nullptr;
};

}  // namespace tavrin
