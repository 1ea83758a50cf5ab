#pragma once
// What every report dialog shares: it is at once the report's options dialog and its generator.
// The base holds the report's settings block, the Copies box, Print, Preview, Report Setup and
// Close, the progress panel, the optional start-date and number-of-days boxes, and the run:
//
//   Print / Preview -> the boxes checked -> progress panel -> PrepareRun (read what the pages
//   need) -> page set-up (title 16, subtitle 12 points, the dialog's copies) -> page area (pull-in
//   2) -> ProducePages -> end of the document (the preview window) -> the visible days reloaded
//   -> AfterRun -> panel hidden.
//
// A report dialog derives from it, builds its controls in its constructor (with the Make...
// helpers here), opens itself from its stored options, and overrides Block, ProducePages and
// whichever run steps it needs. Changing an option writes the block at once.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "grid/GridQuery.h"
#include "platform/OleDate.h"
#include "platform/Result.h"
#include "reports/ReportLayout.h"
#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QListWidget;
class QLineEdit;
class QPushButton;

namespace tavrin {

class BoxChecks;
class GridHost;
class GridPaint;
class PGSetup;
class PrintServices;
class ProgressPanel;
class PrtSched;
class SchedFiles;
struct SortKeySource;

// What a report dialog works with, from the main window.
struct ReportContext {
    SchedFiles& files;
    GridPaint& grid;  // placement, the tagged run, the time format
    GridHost& host;   // the explanation list's texts
    PrintServices& print;
    // Select Query (grid/GridQuery.h), preset to the query in use.
    QueryPicker pickQuery;
};

// Options(20) of a block whose defaults have been set.
constexpr Int16 kReportDefaultsSet = 3;

class ReportDialog : public QDialog {
    Q_OBJECT
public:
    ~ReportDialog() override;

    // The report's settings block in the schedule's settings.
    virtual ReportSettingsRecord& Block() = 0;

    // The first and last day of the range the dialog shows: with the range boxes, the start
    // date and DayCount days.
    virtual OleDate RangeFirst() const { return StartDateValue(); }
    virtual OleDate RangeLast() const { return StartDateValue() + DayCount - 1; }

    // The document of a run on a begun run: what the pages need is read, the printer is set up
    // and the pages are produced. False when nothing could be drawn (a failed read or set-up).
    // Print and Preview end the document afterwards.
    bool ProduceDocument(PrtSched& run);

    // --- controls every report dialog has
    QLineEdit* Copies = nullptr;
    QPushButton* Command1 = nullptr;  // Print
    QPushButton* Command6 = nullptr;  // Preview
    QPushButton* Command5 = nullptr;  // Report Setup...
    QPushButton* Command2 = nullptr;  // Close
    ProgressPanel* Picture1 = nullptr;
    // The range boxes, when the report has them (MakeRangeBoxes).
    QLineEdit* StartDate = nullptr;
    QLineEdit* NumDays = nullptr;

    // --- state
    // Days of the range last accepted from NumDays, and the start date shown at opening.
    int DayCount = 1;
    QString StartTextAtOpen;
    // Of the last run.
    bool PrintAborted = false;
    bool TruncationStop = false;
    int PageNumber = 0;
    // The first and last day of the run and the weekday of its first day column.
    OleDate StartDay = 0;
    OleDate EndDay = 0;
    int FirstWeekday = 1;
    // The run prints a blank schedule: frame and dates only.
    bool PrintingBlank = false;
    ReportMetrics Metrics;
    PageArea Page;

public slots:
    void Command1_Click();  // Print
    void Command6_Click();  // Preview
    void Command5_Click();  // Report Setup
    void Command2_Click();  // Close
    // Copies below 1 in absolute value (or no number) become "1".
    bool Copies_LostFocus();
    bool StartDate_LostFocus();
    void NumDays_Change();
    bool NumDays_LostFocus();
    // Esc and the close box close the dialog, except while a run holds it.
    void reject() override;

protected:
    ReportDialog(const ReportContext& ctx, QWidget* parent);

    SchedFiles& Files() { return ctx_.files; }
    GridPaint& Grid() { return ctx_.grid; }
    GridHost& Host() { return ctx_.host; }
    PrintServices& Print() { return ctx_.print; }
    const ReportContext& Context() const { return ctx_; }
    BoxChecks& Checks() { return *checks_; }

    // --- building the controls
    // Copies ("1", at most 3 characters), checked when left unless `uncorrected`.
    void MakeCopiesBox(bool uncorrected = false);
    // Print, Preview, Report Setup..., Close and the progress panel.
    void MakeCommandButtons();
    // StartDate and NumDays (at most 2 characters, 1..maxDays, checked on every change and,
    // with daysCheckedWhenLeft, when left).
    void MakeRangeBoxes(int maxDays, bool daysCheckedWhenLeft);
    // "&Cell Contents" with the five boxes of Options(1..5) ("Use Abbreviations" .. "Explanation
    // Description"; the third captioned onCallCaption), named Frame1 and CellOptions(i).
    QGroupBox* MakeCellContents(std::array<QCheckBox*, 5>& boxes, const QString& onCallCaption);
    // The name formats "Default" .. "Smith" (entry index = name style).
    QComboBox* MakeNameFormatList(const char* name);
    // A cell contents box clicked: Options(i + 1) = 1 or 0, the schedule marked modified.
    void StoreCellOption(int i, bool checked);
    // A name format chosen: stored in Options(6), the schedule marked modified, unless it is the
    // stored one (false then).
    bool StoreNameFormat(int index);
    // The Sort Order dialog on the block's keys, over the dialog; true when confirmed (the keys
    // are then stored).
    bool EditSortOrder();
    // A command button that Enter does not press.
    QPushButton* MakeButton(const char* name, const QString& caption);
    // A label with its access key's buddy.
    QLabel* MakeLabel(const char* name, const char* caption, QWidget* buddy = nullptr);
    // The sort keys of the block, with the report's name style and the explanation list's texts.
    SortKeySource KeySource();

    // Opening: the start date from the tagged run (held to the period end - 6) and the tagged
    // days count (at most maxDays), shown without counting as changes.
    void InitRange();
    // The start date shown, as a whole date.
    OleDate StartDateValue() const;
    // "first to last" in the date format.
    QString DateRangeText(OleDate first, OleDate last) const;
    // The list of names ("N&ames:", List1, several chosen at once) with Select All and Clear All.
    QListWidget* MakeNameList(QLabel*& label, QPushButton*& selectAll, QPushButton*& clearAll);
    // The range boxes of a 1 to 42 day report with "Start Date:" and "Number of Days:", laid out
    // in two rows.
    QGridLayout* MakeRangeRows(QLabel*& startLabel, QLabel*& daysLabel);
    // The month to print ("&Month to Print :" and its list) and "Start Calendar on Sunday" of the
    // calendar reports, laid out in two rows.
    QGridLayout* MakeMonthBoxes(QLabel*& label, QComboBox*& months, QCheckBox*& startOnSunday);
    // The dialog's three columns: a list under its label with its buttons below it, one pixel
    // apart; the options; Print, Preview, Report Setup and Close.
    void ArrangeColumns(QLabel* listLabel, QWidget* list, QGridLayout* listButtons, QLayout* options);
    // After a valid start date or a changed number of days.
    virtual void RangeChanged() {}

    // Gives the block its defaults unless Options(20) says it has them; the schedule is then
    // marked modified.
    void InitRptSettings(const char* title);
    // Centres the dialog on the screen (after it has its size).
    void CenterOnScreen();
    // Marks the schedule modified.
    void MarkModified();

    // --- Report Setup
    // Adapts Report Setup before it is shown: "Days of Week" for Shade1, Shade2 and
    // UseScreenFont hidden.
    virtual void AdaptSetup(PGSetup& dlg);

    // --- the run
    // Before the page set-up (preview files open): reads what the pages need. False stops the
    // run (after a message).
    virtual bool PrepareRun() { return true; }
    // The pages, on the set-up printer with Page known.
    virtual void ProducePages(PrtSched& run) = 0;
    // True: every page ends with an end of page (the preview gets one after the last page);
    // false: pages end only between pages and the last is counted.
    virtual bool EndsEveryPage() const { return true; }
    virtual bool ReloadsVisibleDays() const { return true; }
    // After the document and the reload, before the panel goes.
    virtual void AfterRun() {}

    // --- helpers of the pages
    // Layout metrics: title and subtitle line heights, header height, body line height in the
    // block's font, the weekday band and the shade colour. The printer measures; nothing is
    // recorded.
    void MeasureMetrics(PrtSched& run);
    struct PageHeader {
        QString Title;
        bool RunDateTime = true;
        bool RunTime = true;  // the run time beside the run date
        bool PageNumber = true;
        bool PageNumberAtTop = false;  // top right instead of bottom right
        QString RangeLine;             // centred at the bottom; none when empty
        // The band's height from the page top; 0: the header height less half a subtitle line.
        double BandHeight = 0;
    };
    // The title at the top of the report's pages, which also names its print job: the block's.
    virtual QString PageTitle();
    // The page header: page number + 1, title, run date and time, page number and range line,
    // then the block's font again.
    void PrintPageHeader(PrtSched& run, const PageHeader& h);
    // Text in a rectangle given in twips; nothing is clipped.
    void DrawTextAt(PrtSched& run, const QString& text, double left, double top, double right, double bottom,
                    int flags);
    // Text of a day cell in a rectangle given in twips, clipped to it: a long entry stops at its
    // day column's inset instead of running over the next day's names. A rectangle one line
    // high holds its line whole, so lines past the cell still run on downward, each in its own.
    void DrawCellText(PrtSched& run, const QString& text, double left, double top, double right, double bottom,
                      int flags);
    // The block's font size, bold and italic.
    void ReportFont(PrtSched& run);
    // Sunday in dark red and other days black, when the block prints in colour.
    void WeekdayColour(PrtSched& run, int weekday);
    // How a calendar page shows its days: the whole date centred at the top in the block's font
    // size, or the day of the month at the top left in italics at the subtitle size.
    enum class CalendarDates { Dates, MonthDays };
    // The run's range, from the dialog's: StartDay, EndDay and FirstWeekday.
    void TakeRunRange();
    int RunDays() const { return static_cast<int>(EndDay - StartDay) + 1; }
    // The first day column's weekday of a run: the start day's.
    virtual int RunFirstWeekday() const;
    // The header's range line: "first to last".
    virtual QString RangeLineText() const;
    virtual CalendarDates DateStyle() const { return CalendarDates::Dates; }
    // The dates of the layout's days in the DateStyle, in the order of its Days(): made once a
    // run for its pages.
    std::vector<QString> CalendarDateTexts(const CalendarLayout& layout) const;
    // One page of a calendar: the weekday band (shaded as the block says), the box, the column
    // lines and `weeks` week-row lines, the weekday names from the layout's first weekday and
    // the dates of the page's days (dates: CalendarDateTexts of the layout), each day handed to
    // dayPlaced before its date is drawn. The drawing colour is black and the font the report
    // font afterwards.
    void PrintCalendarGrid(PrtSched& run, const CalendarLayout& layout, const std::vector<QString>& dates,
                           const CalendarGeometry& g, int weeks, int page,
                           const std::function<void(const CalendarLayout::Placement&)>& dayPlaced);

    // A month list: every month of the period, showing the month of the cursor's day.
    void FillMonthList(QComboBox* list);
    // The month a month list shows (the period's first month while it shows none).
    MonthEntry ChosenMonth(const QComboBox* list) const;

    // Day records of a run: count days from start, those inside the period read in one go.
    // False (after a message) when the day file cannot be read.
    bool ReadReportDays(OleDate start, int count);
    // Day i (1-based) of the last ReadReportDays; days outside the period are empty.
    const DayRecord& ReportDay(int i) const { return reportDays_[static_cast<std::size_t>(i - 1)]; }

    // The period as whole dates, and whether a day lies in it.
    OleDate PeriodStart() const;
    OleDate PeriodEnd() const;
    bool InPeriod(OleDate d) const;
    // Display rows of the named employees (name not blank, not beginning with "/").
    std::vector<int> ReportRows() const;
    // A store error as a message.
    void ReportError(const Status& s);
    void SetProgress(int percent);

private:
    void RunReport(bool preview);
    bool CheckNumDays(bool changed);

    ReportContext ctx_;
    BoxChecks* checks_ = nullptr;
    std::vector<DayRecord> reportDays_;
    int maxDays_ = 42;
    bool running_ = false;
    bool restoringDays_ = false;

protected:
    // Set while the dialog fills its controls from the block: no option changes then.
    bool loading_ = true;
};

}  // namespace tavrin
