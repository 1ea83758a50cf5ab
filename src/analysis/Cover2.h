#pragma once
// The coverage line editor: the title of one coverage line of the current format, the names (or
// the position), explanations and shifts it counts, the requirement row it is compared with and
// how its count is shown; its colour through the Properties dialog.
//
// The line is stored in the format on OK. Its properties record (requirement link and count
// format) is written on OK, and before and after Color properties..., which edits the colour of
// the same record; Cancel leaves the format as it was but keeps a record already written.

#include <QDialog>

#include "editing/FilterForm.h"
#include "store/Records.h"

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

class Cover2 final : public QDialog, public FilterForm {
    Q_OBJECT
public:
    // line: the coverage line (1..20) of the current format.
    Cover2(SchedFiles& files, GridPaint& grid, MsgBox& msg, int line, QWidget* parent = nullptr);

    // Not shown when the line's records could not be read (after the store's message).
    int exec() override;

    bool DialogCancelled = false;
    // The divider-file record of the line, and its contents as the dialog holds them.
    int RecordNo() const { return recordNo_; }
    const DividerPropertiesRecord& Record() const { return divider_; }

public slots:
    void NameFilterOff_Click();
    void ExpFilterOff_Click();
    void ShiftFilterOff_Click();
    void ByPosition_Click();
    void ReqSelector_Click();
    void CFormat_Click();
    void Command4_Click();  // Color properties...
    void Command2_Click();  // OK
    void Command1_Click();  // Cancel
    void Command3_Click();  // Remove

public:
    QPushButton* Command4 = nullptr;
    QComboBox* ReqSelector = nullptr;
    QComboBox* CFormat = nullptr;

protected:
    void reject() override;

private:
    // False (after the store's message) when a record could not be read.
    bool Fill();
    void IgnoreClick(QListWidget* list);
    // A line never defined takes the name "C" and its number.
    void DefaultCoverageTitle();
    QString LineTitle() const;
    bool WriteDivider(const DividerPropertiesRecord& d);

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    int line_;
    int recordNo_ = 0;
    ScheduleFormatRecord SavedFormat;
    DividerPropertiesRecord divider_;
    bool readFailed_ = false;
    bool closing_ = false;
};

}  // namespace tavrin
