#pragma once
// The schedule printout: the grid of the main window on paper in the current format, over as
// many pages as its rows need: a page header, the heading band of day names and dates, one row
// per chosen employee, divider or requirement row, and the coverage rows. The same run records
// a preview, or writes delimited text for an export.
//
// It reads days 1 .. Days of the view state in place (the print dialog lends it another range
// when needed): day d is the date of visible column d, its cells those of the visible-day cache.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "grid/CellText.h"
#include "grid/GridQuery.h"
#include "printing/PrtSched.h"
#include "store/Records.h"

namespace tavrin {

class GridPaint;
class PrintServices;
class SchedFiles;
class TextExport;

// What a run is asked to print besides the schedule.
struct PrintoutRequest {
    // The display rows chosen, in the order of the print dialog's list.
    std::vector<int> rows;
    // "Blank Schedule": names, dividers, captions and the grid, no day cells and no totals.
    bool blank = false;
    // The text of the copies box.
    QString copies = QStringLiteral("1");
    // Set for a text export: the run records without showing a preview and writes the fields.
    TextExport* text = nullptr;
    // The progress bar, in percent.
    std::function<void(int)> progress;
    // False: a preview run records without opening the preview window.
    bool showPreview = true;
};

class SchedulePrintout {
public:
    // explanationText: the main window's explanation list text of a code (names of explanations
    // when the format does not use abbreviations).
    SchedulePrintout(PrintServices& services, SchedFiles& files, GridPaint& grid,
                     std::function<QString(int)> explanationText);

    enum class Outcome {
        SetupFailed,  // the printer set-up refused (or the preview could not be recorded)
        Stopped,      // a printer error ended the run
        Done,
    };
    // The whole run, in the printer's mode or, with the recorder's preview mode set, as a
    // recording (shown in the preview window unless the run exports text).
    Outcome PrintSchedule(const PrintoutRequest& request);

    // Row types of the row table.
    enum RowKind : int { NoRow = 0, EmployeeRow = 1, DividerRow = 2, CoverageRow = 3 };
    static constexpr int kEntries = 220;  // 1..200 names, 201..220 coverage rows

    // ---------------------------------------------------------------- the layout record
    int ShadePercent = 0;
    int Orientation = 0;
    int PrintQuality = 0;
    bool PrintInColour = false;
    QString Title;
    QString FontName;
    double FontSize = 8;
    bool FontBold = false;
    bool FontItalic = false;
    std::array<bool, kEntries + 1> Pending{};
    std::array<int, kEntries + 1> RowType{};
    std::array<int, kEntries + 1> EmpRow{};
    bool HidePosition = false;
    int Days = 1;
    int FirstDay = 1;
    int LastDay = 1;
    // The weekdays the run leaves out (none when they would leave no day to print).
    bool OmitSaturdays = false;
    bool OmitSundays = false;

    // ---------------------------------------------------------------- the run state (twips)
    int PrtTitleFontSize = 16;
    int PrtHeadingFontSize = 10;
    int PrtHeaderHeight = 0;
    int PrtHeaderLineHeight = 0;
    int PrtLineHeight = 0;
    int PrtHeadingHeight = 0;
    int PrtDividerRowHeight = 0;
    int PrtEmployeeRowHeight = 0;
    int PrtNameWidth = 0;
    int PrtPositionWidth = 0;
    int PrtDayWidth = 0;
    int PrtCellInset = 0;
    std::uint32_t PrtShadeColour = 0;
    // Device pixels below a row's top: the lines of the six cell items.
    std::array<int, 6> PrtBandTop{};
    std::array<int, 6> PrtBandBottom{};
    int PrtPageNumber = 0;
    int PrtLastRowOnPage = 0;
    int PrtPageFillY = 0;
    int PrtCoverageTop = 0;
    bool PrtAllRowsDone = true;
    int PrtRowsTotal = 0;
    int PrtRowsPrinted = 0;
    // Coverage rows handled so far by the grid lines and by the body; they count on across
    // pages, so each row finds its own line record.
    int PrtGridCoverageNo = 0;
    int PrtBodyCoverageNo = 0;

    // The page area and the drawing of this run (valid during PrintSchedule).
    PrtSched* Run() { return run_; }

    // ---------------------------------------------------------------- the steps
    void InitPrintout(const PrintoutRequest& request);
    void ComputeCellLayout();
    void PaginateRows();
    void PrintPageHeader();
    void PrintGridLines();
    void PrintTextHeaderLine();
    void PrintRowHeaders();
    void PrintScheduleBody();

    // Day d (1..Days) is a weekday the run leaves out.
    bool Omitted(int d) const;
    bool OmittedWeekday(int weekday) const;
    // Days printed.
    int PrintedDays() const;
    // The title at the top of each page, with the query's while one is applied; it also names
    // the print job.
    QString PageTitle() const;
    // The text of the period: the first and last printed day in the long date format.
    QString PeriodText() const;

private:
    OleDate DayDate(int d) const;
    // The x of printed column c (from 1).
    int ColumnX(int c) const;
    int RowBottom(int y, int h) const;
    PixelRect Px(int left, int top, int right, int bottom);
    DividerPropertiesRecord Divider(int n) const;
    // The drawing colour and line width, set only when they change.
    void SetColour(std::uint32_t colour);
    void SetWidth(int width);
    // The cell of a data slot on day d (an erased note counts as none).
    CellValues Cell(int d, int slot) const;
    // The print query's verdict on a cell, and the mode a cell it does not match prints in.
    bool QueryMatches(const CellValues& v, int& mode) const;
    // One text line of a cell: the item whose band it takes, its text, colour and flags.
    struct CellLine {
        int item = 0;
        QString text;
        std::uint32_t colour = 0;
        int flags = 0;
    };
    // The lines of a cell with these values, built once per run for each different cell.
    const std::vector<CellLine>& LinesOf(const CellValues& v);
    // The export's texts of a shift (name, start, end, paid hours) and of a note.
    struct ShiftFields {
        QString name, start, end, hours;
    };
    const QString& NoteText(int n);
    void PrintEmployeeRow(int r, int y);
    void PrintDayCells(int slot, int y);
    void PrintDayFields(int slot);
    void PrintDividerRow(int r, int y);
    void PrintRequirementNumbers(int slot, int y, std::int32_t colour);
    void PrintCoverageRow(int r, int y);

    PrintServices& s_;
    SchedFiles& files_;
    GridPaint& grid_;
    std::function<QString(int)> explanationText_;
    PrtSched* run_ = nullptr;
    const PrintoutRequest* request_ = nullptr;
    TextExport* text_ = nullptr;
    // The print query, read once per run; none when the format names none or it cannot be read.
    int queryNo_ = 0;
    QueryRecord query_;
    std::optional<QueryRule> rule_;
    CellTextContext cellText_;
    // Per-run caches: the formats and the tables do not change during a run.
    bool noteTextShown_ = false;
    std::unordered_map<std::uint64_t, std::vector<CellLine>> cellLines_;
    std::vector<ShiftFields> shiftFields_;
    std::vector<QString> explanationNames_;
    std::unordered_map<int, QString> noteTexts_;
    // The page headers' period line and the date of each day (by day), made on first use.
    QString periodText_;
    std::vector<QString> rulerDates_;
    // The left and right text edges of each printed day column (from 1), set for each page.
    std::vector<std::pair<int, int>> cellTextX_;
    std::uint32_t colour_ = 0;
    int width_ = -1;
    // The row printed just before was a plain divider of this colour (its band goes on).
    bool prevPlainDivider_ = false;
    std::int32_t prevDividerColour_ = 0;
};

}  // namespace tavrin
