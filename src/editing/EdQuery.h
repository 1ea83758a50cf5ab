#pragma once
// The Edit Query dialog: one saved query's title, names (or a position), explanations and shifts.
// It edits a copy of the record and writes it on OK; Cancel writes nothing. A query whose title
// is "undefined" is a free slot: the first Ignore click names it "Q" and its number, and OK
// frees it again when all three Ignore boxes are ticked, the note is blank and the title is
// still that name.

#include <QDialog>

#include "editing/FilterForm.h"
#include "store/Records.h"

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

class EdQuery final : public QDialog, public FilterForm {
    Q_OBJECT
public:
    // queryNo: 1..99.
    EdQuery(SchedFiles& files, GridPaint& grid, MsgBox& msg, int queryNo, QWidget* parent = nullptr);

    // Not shown when the query could not be read (after the store's message).
    int exec() override;

    bool DialogCancelled = false;
    // The query as stored: edited after OK, as read otherwise.
    const QueryRecord& Record() const { return query_; }

public slots:
    void NameFilterOff_Click();
    void ExpFilterOff_Click();
    void ShiftFilterOff_Click();
    void ByPosition_Click();
    void Command2_Click();  // OK
    void Command1_Click();  // Cancel
    void Command3_Click();  // Remove

public:
    QLineEdit* SearchNote = nullptr;

protected:
    void reject() override;

private:
    void Fill();
    void IgnoreClick(QListWidget* list);
    // "Q7": the name a free query takes when it is first edited.
    QString FreeTitle() const;

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    int queryNo_;
    QueryRecord query_;
    bool readFailed_ = false;
    bool loading_ = true;
    bool closing_ = false;
};

}  // namespace tavrin
