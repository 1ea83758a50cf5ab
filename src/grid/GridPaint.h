#pragma once
// The schedule grid painter: view geometry and window layout, the display format's derived
// state, drawing of cells, columns, day ruler and coverage into the panes' hidden twins, hit
// testing and the tagged run, the row sort, and dialog placement.
//
// Lengths are in twips unless a name ends in Px. Rows and columns are visible indexes
// (row 1 shows display row TopRow, column 1 the day FirstVisibleDay + 1 of the period).

#include <QString>
#include <array>
#include <cstdint>

#include "grid/CellText.h"
#include "grid/GridHost.h"
#include "grid/GridPanes.h"
#include "platform/FontService.h"
#include "platform/Surface.h"
#include "store/SchedFiles.h"

class QWidget;

namespace tavrin {

class GridPaint {
public:
    GridPaint(SchedFiles& files, GridHost& host, FontService& fonts);
    GridPaint(const GridPaint&) = delete;
    GridPaint& operator=(const GridPaint&) = delete;

    // The main window's widgets; their background colours are set here.
    void SetPanes(const GridPanes& panes);
    const GridPanes& Panes() const { return panes_; }

    SchedFiles& Files() { return files_; }
    FontService& Fonts() { return fonts_; }

    // ---------------------------------------------------------------- view geometry
    int TPPX;  // screen twips per pixel
    int TPPY;
    int VisibleRows = 1;
    int RowHeight = 250;
    int RowHeightPx = 16;
    int CellWidth = 240;
    int CellWidthPx = 16;
    int CoverageRowHeight = 240;
    int CoverageRowHeightPx = 16;
    int TopRow = 1;
    bool CoverageVisible = false;
    bool LayoutInProgress = false;
    // Set while no schedule is shown (after a close); the layout then returns at once.
    bool ScheduleClosed = false;

    // ---------------------------------------------------------------- the tagged run
    int CurrentRow = 1;
    int FirstTaggedDay = 0;  // 0 while no run is shown
    int LastTaggedDay = 0;
    int CursorRow = 1;
    int CursorDay = 1;
    // Caption of the DaysTagged panel: the count after one blank.
    QString DaysTaggedText = QStringLiteral(" 1");
    // The count shown by DaysTagged.
    int DaysTagged() const;
    bool OnRequirementRow = false;
    int CurrentRowSlot = 1;

    // ---------------------------------------------------------------- display format state
    bool TwoShiftMode = false;
    VbArray<QString, 1, 7> WeekdayNames;
    QString RulerDateFormat = QStringLiteral("d");
    QString TimeFormat = QStringLiteral("h:nna/p");
    int CellLineCount = 0;
    int CellItemRow = 0;
    bool CellFlagA = true;
    bool CellFlagB = true;
    bool CellFlagC = true;
    bool CellFlagD = true;
    // The main window's own font (the format's screen font; rows are measured with it).
    ScreenFont FormFont;

    // ---------------------------------------------------------------- shared with other parts
    int MoveNameRow = 0;             // display row marked for relocation, 0 none
    bool CoverageDescDrawn = false;  // coverage titles were drawn at least once
    int CoverageRowToRedraw = 0;     // > 0: the next coverage count does only that line

    // ---------------------------------------------------------------- twins and pictures
    Surface EmpListBack;
    Surface EmpPosBack;
    Surface DayRulerBack;
    Surface GridBack;
    Surface CoverageBack;
    Surface VectorX;
    Surface VectorO;
    Surface VectorBell;
    Surface VectorYellowBox;
    Surface VectorBlueBox;
    Surface VectorGreenBox;
    Surface RPTON;
    Surface RPTOFF;

    // ---------------------------------------------------------------- layout and format
    // Places every pane for the window's size and the current format, then redraws all.
    void LayoutAndRedrawSchedule();
    // Turns the current format into the caption, ruler styles, fonts and cell layout.
    void ApplyScheduleFormat();
    // The six status-icon pictures at the format's IconStep.
    void RebuildStatusIcons();

    // ---------------------------------------------------------------- cells
    void DrawScheduleCells(int firstDay, int lastDay, int firstRow, int lastRow);
    // What the cells' texts are made from in the current format.
    CellTextContext ScreenTextContext();
    // A requirement row's number cell: its value (n + s2 / 100) with s1, oc and e set to 0
    // (and s2, n when the value is 0); 0 and nothing changed for any other cell.
    static float UnpackCellNumber(int& s1, int& oc, int& e, int& s2, int& n);
    void DrawCellNumberEllipse(float value, int x, int y);
    void ClearCellRect(int x, int y);
    void FillCellRect(int x, int y);
    void FillCellDividerColor(int x, int y);
    void DrawCellX(int x, int y);
    void DrawCellO(int x, int y);
    void DrawCellBell(int x, int y);

    // ---------------------------------------------------------------- columns and ruler
    void DrawNameColumn(int firstRow, int lastRow);
    void DrawPositionColumn(int firstRow, int lastRow);
    void PaintNameRowBackground(int r);
    void PaintPositionRowBackground(int r);
    void DrawDayColumns(int firstDay, int lastDay);
    void DrawCoverageDescriptions();
    void DrawCoverageDescLines();
    void FillCoverageDescRow(int k);

    // ---------------------------------------------------------------- coverage
    void DrawCoverageCounts(int firstDay, int lastDay, bool countOnly);
    void FillCoverageRow(int day, int k);
    // The total of coverage line k (1..20) on visible day d (1..42) of the last count.
    float CoverageTotal(int day, int k) const { return coverageTotals_[Index(day, k)]; }
    // What a coverage cell shows: the total less the requirement in the line's count format,
    // nothing when they are equal, red when short of a linked requirement.
    struct CoverageText {
        QString text;
        bool red = false;
    };
    static CoverageText CoverageNumberText(float total, float required, int countFormat, bool linked);

    // ---------------------------------------------------------------- hit test and tagging
    // Row, data slot and day under a twip position of the grid; the slot is 0 unless the row
    // shows a display row 1..200. Not clamped: callers drop positions outside the grid.
    void GridHitTest(double x, double y, int& row, int& slot, int& day) const;
    // mode 0 tag one cell, 1 move the tag, 2 extend or shrink the run, 3 toggle the run.
    void TagDayCells(int row, int day, int mode);
    void UpdateSelectionInfo();
    void UpdateNoteButtons();

    // ---------------------------------------------------------------- rows
    // Sorts display rows lo..hi by name (mode 1) or by position and name (mode 2); marks the
    // schedule modified and writes the employee table back.
    Status SortEmployeeRows(int mode, int lo, int hi);

    // ---------------------------------------------------------------- dialogs and helpers
    void CenterFormOnScreen(QWidget* window);
    void CenterFormOnMainForm(QWidget* window);
    void PositionDialogOverForm(QWidget* owner, QWidget* dialog);
    // True (the dialog cancelled) when no font with "ARIAL" in its name is installed, after
    // the message.
    bool CheckReportFontInstalled();
    static QString NormalizeTimeText(const QString& text);

    // The date shown in visible column c.
    OleDate ColumnDate(int c) const;
    // The display row shown in visible row r.
    int DisplayRow(int r) const { return TopRow + r - 1; }

private:
    static int Index(int day, int k) { return (day - 1) * kCoverageLines + (k - 1); }
    // Divider record n, or a default one when it cannot be read.
    DividerPropertiesRecord ReadDivider(int n) const;
    // Geometry of a control in the Form's coordinates, in twips.
    int LeftOf(QWidget* w) const;
    int TopOf(QWidget* w) const;
    int WidthOf(QWidget* w) const;
    int HeightOf(QWidget* w) const;
    void Place(QWidget* w, int left, int top);
    void SetLeft(QWidget* w, int left);
    void SetTop(QWidget* w, int top);
    void SetWidth(QWidget* w, int width);
    void SetHeight(QWidget* w, int height);
    int Snap(int tw, int tpp) const { return (tw / tpp) * tpp; }
    void ApplyGridFont();
    void ApplyFormFont();
    void InvertCell(int r, int c);
    void FillCoverageCell(int day, int k, const DividerPropertiesRecord& d);
    void ShowPanel(InfoPanel p, const QString& text) { host_.SetPanelText(p, text); }
    // Where a name, position or caption is written in the row whose line is at pixel `top`.
    PixelRect RowTextRect(int top, int left, int width) const;

    SchedFiles& files_;
    GridHost& host_;
    FontService& fonts_;
    GridPanes panes_;
    bool firstLayoutDone_ = false;
    std::array<float, kMaxVisibleDays * kCoverageLines> coverageTotals_{};
};

}  // namespace tavrin
