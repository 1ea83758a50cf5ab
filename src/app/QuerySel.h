#pragma once
// The Select Query dialog: the caller presets the list to the query it uses (0 = none), shows
// the dialog and, unless DialogCancelled, reads CurrentQueryNo and then that record itself.

#include <QDialog>
#include <functional>

class QComboBox;
class QPushButton;

namespace tavrin {

class SchedFiles;

class QuerySel final : public QDialog {
    Q_OBJECT
public:
    // Edits query n over the given window; true unless the edit was cancelled. Afterwards the
    // query file holds the query as stored.
    using QueryEditor = std::function<bool(QWidget* over, int queryNo)>;

    explicit QuerySel(SchedFiles& files, QWidget* parent = nullptr);

    // Edit... runs this; without one the button stays disabled.
    void SetQueryEditor(QueryEditor editor);
    // Selects the entry of query n (0 = "[none]").
    void SetQueryIndex(int queryNo);

    bool DialogCancelled = false;
    int CurrentQueryNo = 0;

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
    // "07 - Night staff": the number and the trimmed title of query n.
    QString EntryText(int queryNo);

    SchedFiles& files_;
    QueryEditor editor_;
};

}  // namespace tavrin
