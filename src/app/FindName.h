#pragma once
// The Find Name dialog: the employees by name with type-ahead, optionally only those whose
// cells on the tagged days match a saved query. The caller scrolls to FindNameRow unless
// DialogCancelled.

#include "grid/GridQuery.h"
#include "store/Records.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class SchedFiles;

// The display rows Find Name lists for a query: named rows that the query selects and whose
// cell matches on at least one of the visible columns first..last.
std::vector<int> FindNameMatchingRows(const SchedFiles& files, const QueryFilter& query, int firstColumn,
                                      int lastColumn);

class FindName final : public QDialog {
    Q_OBJECT
public:
    // findNameQueryNo is the main window's query for this dialog (0 = all names); it keeps a
    // query chosen here. The tagged run's visible columns are the days a query examines.
    FindName(SchedFiles& files, int& findNameQueryNo, int firstTaggedColumn, int lastTaggedColumn,
             QWidget* parent = nullptr);

    // Query... picks the query with this (the main window's Select Query).
    void SetQueryPicker(QueryPicker picker) { picker_ = std::move(picker); }

    bool DialogCancelled = true;
    int FindNameRow = 0;

    QLineEdit* Text1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;  // Cancel
    QPushButton* Command2 = nullptr;  // Query... (Esc)
    QPushButton* Command3 = nullptr;  // Go To (Enter)

    // The caption and the list for the query in force.
    void CaptionUpdate();
    // Every named row that is not a divider, after a blank first entry.
    void NormalList();

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // Type-ahead.
    void Text1_Change(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void reject() override;
    void done(int r) override;

private:
    // Lists the given display rows by name, sorted, after the blank entry.
    void FillList(const std::vector<int>& rows);

    SchedFiles& files_;
    int& queryNo_;
    int firstColumn_;
    int lastColumn_;
    QueryPicker picker_;
    bool activated_ = false;
};

}  // namespace tavrin
