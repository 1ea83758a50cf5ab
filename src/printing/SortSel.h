#pragma once
// The sort order of the staff reports and the print dialog: up to five keys (name, position,
// shift, start time, explanation) applied one after the other, and the Sort Order dialog that
// edits them. Three keys depend on what each person has on a given day, so a list is sorted
// again for every day a report prints.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "platform/OleDate.h"
#include "platform/Result.h"
#include "store/CellCodes.h"
#include "store/Records.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tavrin {

class SchedFiles;

// Key codes, as stored in a report's Options(10..14).
enum SortKey : int {
    SortNone = 0,
    SortName = 1,
    SortPosition = 2,
    SortShift = 3,
    SortStartTime = 4,
    SortExplanation = 5
};

// The five keys of a report's settings; a code outside 0..5 reads as none.
std::array<int, 5> SortKeysOf(const ReportSettingsRecord& r);
// A sort is active when any key is not none.
bool SortActive(const ReportSettingsRecord& r);

// What the key texts are made from.
struct SortKeySource {
    const EmployeeTable* emp = nullptr;
    const ShiftTableArray* shifts = nullptr;
    const SchedulePropertiesRecord* props = nullptr;  // the row map
    std::array<int, 5> keys{};
    // The report's name style (0..7); -1: the name as stored, trimmed (the print dialog).
    int nameStyle = 0;
    // Trimmed text of the main window's explanation list entry for an explanation code.
    std::function<QString(int)> explanationText;
    // Names() made once by a caller that sorts many times with the same names; null: each sort
    // makes them.
    const std::vector<QByteArray>* names = nullptr;

    // The sort key text of display row `row` on `day`: the five key texts joined, in Windows-1252
    // bytes so that texts compare by character code. `names` holds the formatted name of each
    // display row (index 1..200).
    QByteArray KeyText(int row, const DayRecord& day, const std::vector<QByteArray>& names) const;
    // The formatted name of every display row, computed once per sort.
    std::vector<QByteArray> Names() const;

private:
    // The key texts of rows and codes, each made the first time a key text needs it: a source
    // serves one sort or one report run, over which the tables and the explanation list stay as
    // they are, and a run sorts for every day it prints.
    struct Made;
    mutable std::shared_ptr<Made> made_;
};

// A list of names as a report prints them. Positions are 1-based.
class SortableList {
public:
    virtual ~SortableList() = default;
    virtual int Count() const = 0;
    // The display row of the entry at a position.
    virtual int RowAt(int pos) const = 0;
    // Exchanges two entries with everything that goes with them.
    virtual void Swap(int p, int q) = 0;
};

// A list box whose entries carry their display row as item data (Qt::UserRole): text, row and
// selection move together.
class ListWidgetSortable final : public SortableList {
public:
    explicit ListWidgetSortable(QListWidget& list) : list_(list) {}
    int Count() const override;
    int RowAt(int pos) const override;
    void Swap(int p, int q) override;

private:
    QListWidget& list_;
};

// Display rows held in an array (the group schedule's employee index).
class RowsSortable final : public SortableList {
public:
    explicit RowsSortable(std::vector<int>& rows) : rows_(rows) {}
    int Count() const override { return static_cast<int>(rows_.size()); }
    int RowAt(int pos) const override { return rows_[static_cast<std::size_t>(pos - 1)]; }
    void Swap(int p, int q) override;

private:
    std::vector<int>& rows_;
};

// Sorts the entries at positions first..last by their key texts on `day`, with an iterative
// quicksort that is not stable: entries with equal texts are never exchanged with each other, but
// may change their order through exchanges with others.
void SortNameBlock(SortableList& list, const SortKeySource& src, const DayRecord& day, int first, int last);

// The sort order of one day, its key texts made once: a report that sorts the same entries on
// the same day again (the group schedule, once for each group) applies it as often as it needs.
class DaySort {
public:
    // The key texts of the list's entries on `day`.
    DaySort(const SortableList& list, const SortKeySource& src, const DayRecord& day);
    // Puts a list of the same entries, in any order, into the day's order: as SortListOnDay.
    void Apply(SortableList& list) const;

private:
    const EmployeeTable& emp_;
    // By display row: the rank of its key text among the entries' (0 for one without a slot).
    std::vector<int> rank_;
};

// Puts a list into the sort order of a day whose record is at hand. Entries whose name begins
// with "/" stay in place and cut the list into blocks sorted on their own.
void SortListOnDay(SortableList& list, const SortKeySource& src, const DayRecord& day);
// The same for day d (an OLE date), read from the day file into files.DayBuf. A day outside the
// period leaves the list as it was; a failed read leaves the list alone and is returned.
Status SortListForDay(SchedFiles& files, SortableList& list, const SortKeySource& src, OleDate d);

// The Sort Order dialog: edits the five keys of RptSettingsEdit. OK marks the schedule modified
// (also when nothing changed); Cancel sets DialogCancelled. Closing the window otherwise leaves
// DialogCancelled False with the buffer unchanged.
class SortSel final : public QDialog {
    Q_OBJECT
public:
    SortSel(SchedFiles& files, const ReportSettingsRecord& settings, QWidget* parent = nullptr);

    bool DialogCancelled = false;
    ReportSettingsRecord RptSettingsEdit;

    std::array<QComboBox*, 5> Combo1{};
    std::array<QLabel*, 5> Label1{};
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command5 = nullptr;  // Cancel

public slots:
    void Command1_Click();
    void Command5_Click();

private:
    SchedFiles& files_;
};

}  // namespace tavrin
