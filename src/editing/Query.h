#pragma once
// The Query dialog of the Reports menu: a saved query, or "[Notes]" (every cell with a note), and
// a date range inside the period; Run... shows the query-results report and the dialog stays
// open until Close.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tavrin {

class BoxChecks;
class EditingHost;
class GridPaint;
class MsgBox;
class SchedFiles;

class Query final : public QDialog {
    Q_OBJECT
public:
    Query(SchedFiles& files, GridPaint& grid, MsgBox& msg, EditingHost& host, QWidget* parent = nullptr);

    bool DialogCancelled = false;
    // A query was stored by Edit....
    bool QueryEdited = false;

public slots:
    void Combo1_Click();
    void Command1_Click();  // Run...
    void Command2_Click();  // Close
    void Command3_Click();  // EOF
    void Command4_Click();  // BOF
    void Edit_Click();

public:
    QComboBox* Combo1 = nullptr;
    QLineEdit* StartDate = nullptr;
    QLineEdit* EndDate = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Edit = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    // A date box: a date before the period becomes its first day (start) or is refused (end),
    // a date after it is refused (start) or becomes its last day (end).
    bool CheckDate(QLineEdit* box, bool isStart);

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    EditingHost& host_;
    BoxChecks* checks_ = nullptr;
    QString startAtOpen_;
    QString endAtOpen_;
};

}  // namespace tavrin
