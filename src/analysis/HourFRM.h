#pragma once
// The hourly coverage window: for the day of the first tagged column, how many people matching
// each of up to ten saved queries are on duty, per slot of 1 hour, 30 or 15 minutes, with a
// detail list of who is on duty in one slot.
//
// A shift covers the minutes from its start up to one minute before its end, and runs past
// midnight when its end is not after its start; so the day before the day shown is examined
// too, for the night shifts that reach into it.

#include <QDialog>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/OleDate.h"
#include "platform/Result.h"
#include "store/Records.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tavrin {

class GridHost;
class GridPaint;
class SchedFiles;

constexpr int kCoverageColumns = 10;
constexpr int kMinutesPerDay = 1440;

// People on duty in each minute of the day shown. 16 bits: two days of two shifts in each of
// the 200 rows can stack above 255 on one minute.
using MinuteCountColumn = std::array<std::uint16_t, kMinutesPerDay>;

// Hour x 60 + minute of a time (seconds rounded away first, as every time shown is).
int TimeToMinuteOfDay(OleDate t);

// Slot sizes as Combo1 lists them: 0 one hour, 1 thirty minutes, 2 fifteen minutes; any other
// stored value reads as one hour.
int CheckedSlotSize(int size);
int SlotLength(int size);
int SlotCount(int size);
// The slot index of the same time in another slot size (the earlier slot when it splits).
int ConvertSlotIndex(int index, int fromSize, int toSize);

// The day records a count reads: the day shown and the day before, as far as the period holds
// them. Read once, they serve every column counted for that day.
struct CoverageDays {
    std::array<std::uint8_t, 2 * DayRecord::Size> records{};
    std::int64_t first = 0;  // day-file record of records[0]
    std::size_t count = 0;   // 0, 1 or 2 records
    double dayNo = 0;        // day-file record of the day shown
    double periodStart = 0;
};
// A failed read of the day file ends with the store's error.
Result<CoverageDays> ReadCoverageDays(const SchedFiles& files, OleDate day);

// Adds 1 to every minute of the day shown that a counted shift of the query covers (the
// counters are cleared first). A counted shift is a user shift chosen in the query's shift
// selection, with paid time, in a cell that the query matches and whose first shift is a user
// shift; shifts of the day before count where they run past midnight. A query that ignores
// names, explanations and shifts counts nobody.
void CountCoverageMinutes(const SchedFiles& files, const QueryRecord& query, const CoverageDays& days,
                          MinuteCountColumn& counts);
// The same, reading the days first.
Status CountCoverageMinutes(const SchedFiles& files, const QueryRecord& query, OleDate day, MinuteCountColumn& counts);

// The texts of a column's cells for slots of `slotLength` minutes: blank where nobody is on
// duty, else the average number on duty as "###0.00 ", after "*" when it changes inside the
// slot.
std::vector<QString> CoverageSlotTexts(const MinuteCountColumn& counts, int slotLength);

// What the detail list needs besides the schedule.
struct CoverageDetailFormats {
    QString timeFormat;
    QString dateFormat;
    // The trimmed text of an explanation as the main window lists it.
    std::function<QString(int code)> explanationText;
};

// Who is on duty in minutes first..last of `day` (0..1439), one line (ending CR LF) per counted
// shift covering the slot, under a heading line for each day examined, then "-End".
Result<QString> CoverageDetailText(const SchedFiles& files, const QueryRecord& query, OleDate day, int firstMinute,
                                   int lastMinute, const CoverageDetailFormats& formats);

// What the window remembers while the program runs; reset when a schedule is opened.
struct HourlyCoverageState {
    int SavedGridRow = 0;  // 0: never closed since the schedule was opened
    int SavedGridCol = 0;
    int SavedGridLeftCol = 0;
    std::uint8_t SavedGridTopRow = 0;
    int HourlyWinTop = 0;  // both 0: never placed
    int HourlyWinLeft = 0;

    void Reset() { *this = HourlyCoverageState{}; }
};

class HourFRM final : public QDialog {
    Q_OBJECT
public:
    // Picks a query over the given window, preset to `preset` (0 none); nullopt when cancelled.
    using QueryPicker = std::function<std::optional<int>(QWidget* over, int preset)>;

    // `picture` is the main window's hourly-coverage button picture, shown in the grid's corner.
    HourFRM(SchedFiles& files, GridPaint& grid, GridHost& host, HourlyCoverageState& state, QPixmap picture,
            QueryPicker picker, QWidget* parent = nullptr);

    // Places the window, counts every column and shows the remembered position. False (after
    // the store's message) when the working data could not be written for counting.
    bool LoadForm();

    // The day shown: the first tagged column's date.
    OleDate Day() const { return day_; }
    const MinuteCountColumn& Counts(int col) const { return counts_[static_cast<std::size_t>(col - 1)]; }
    // The column's query number (0 none).
    int ColumnQuery(int col) const;

    // Recounts column col (1..10); in the detail view it writes the detail text instead.
    // Counts the column's query, from the days given when they have been read already.
    void ComputeCoverageColumn(int col, const CoverageDays* days = nullptr);
    void FillCoverageColumn(int col);
    void BuildTimeRows(int size);
    // The current column's query through the picker; true unless cancelled or refused.
    bool ChooseColumnQuery();
    void UpdateColumnNames();

    // The grid's current row and column as the stored options count them: row 1 is the first
    // slot (row 0 the header row), column 0 the slot times.
    int CurrentRow() const;
    int CurrentCol() const;
    void SetCurrentCell(int row, int col);

    bool DialogCancelled = false;
    bool CoverageDetailMode = false;

    QTableWidget* Grid1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Command2 = nullptr;  // Details...
    QPushButton* Command1 = nullptr;  // Close / Back
    QPlainTextEdit* Text1 = nullptr;
    QLabel* SSPanel1 = nullptr;
    QLabel* SSPanel2 = nullptr;

public slots:
    void Combo1_Click(int index);
    void Command1_Click();
    void Command2_Click();
    // A press on the header of column col.
    void Grid1_HeaderClick(int col);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    void Back();
    void CloseWindow();
    void UpdateDetailsButton();
    QString CellText(int row, int col) const;
    // Reads query n into this window's own query buffer (the shared one keeps the highlight
    // query); false after the store's message.
    bool ReadQuery(int queryNo);
    Int16& Option(int n);
    void ReportError(const Status& s);

    SchedFiles& files_;
    GridPaint& grid_;
    GridHost& host_;
    HourlyCoverageState& state_;
    QPixmap picture_;
    QueryPicker picker_;
    OleDate day_ = 0;
    int slotSize_ = 0;
    bool loading_ = false;
    bool errorShown_ = false;
    QueryRecord queryBuf_;
    int detailFirst_ = 0;
    int detailLast_ = 0;
    std::array<MinuteCountColumn, kCoverageColumns> counts_{};
};

}  // namespace tavrin
