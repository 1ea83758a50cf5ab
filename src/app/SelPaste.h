#pragma once
// The Selective Paste dialog: which parts of the copied cells to paste, and whether filled
// parts of the target are overwritten. Made once with the main window and kept; its boxes show
// what the user last confirmed.

#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;

namespace tavrin {

class SchedFiles;

class SelPaste final : public QDialog {
    Q_OBJECT
public:
    explicit SelPaste(SchedFiles& files, QWidget* parent = nullptr);

    bool DialogCancelled = false;

    // "Shifts", "Time Off", "Explanations", "Notes", "On Call".
    std::array<QCheckBox*, 5> Check1{};
    QCheckBox* Check2 = nullptr;  // "Overwrite?"
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

public slots:
    // OK: the six options of the open schedule are stored from the boxes.
    void Command1_Click();
    void Command2_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    SchedFiles& files_;
};

}  // namespace tavrin
