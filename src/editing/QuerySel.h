#pragma once
// The Select Query dialog: the caller presets the list to the query it uses (0 = none), shows
// the dialog and, unless DialogCancelled, reads CurrentQueryNo and then that record itself.
// Edit... edits the chosen query in Edit Query. The titles are read into the dialog's own
// buffer, so the schedule's QueryBuf keeps the highlight query.

#include <QDialog>
#include <optional>

class QComboBox;
class QPushButton;

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

class QuerySel final : public QDialog {
    Q_OBJECT
public:
    QuerySel(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent = nullptr);

    // Selects the entry of query n (0 = "[none]"; a number out of range reads as none).
    void SetQueryIndex(int queryNo);

    bool DialogCancelled = false;
    int CurrentQueryNo = 0;
    // A query was stored by Edit... (its title, or what the highlighter shows, may have changed).
    bool QueryEdited = false;

    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel
    QPushButton* Edit = nullptr;

public slots:
    void Command1_Click();
    void Command2_Click();
    void Edit_Click();
    void Combo1_Click();

protected:
    void reject() override;

private:
    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
};

// "07 - Night staff": the number and the trimmed title of query n as it is stored.
QString QueryEntryText(const SchedFiles& files, int queryNo);
// Fills a list with the 99 queries after its first entry; the list index is the query number.
void AddQueryEntries(const SchedFiles& files, QComboBox& list);

// Edit... of the query dialogs: Edit Query on query n over `over`; true when the query was
// stored (OK).
bool EditQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* over, int queryNo);
// Edit... of a list of queries (the list index is the query number): edits the chosen query and
// shows its stored title again; true when it was stored.
bool EditListedQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QComboBox& list, QWidget* over);

// The select-query protocol: Select Query placed over `over` and preset to `preset`; the number
// chosen (0 = none), or nothing when cancelled. `edited` (when given) tells whether Edit...
// stored a query.
std::optional<int> SelectQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* over, int preset,
                               bool* edited = nullptr);

}  // namespace tavrin
