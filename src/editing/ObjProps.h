#pragma once
// The Properties dialog of a divider or requirement row (caption or requirement title,
// justification, style, "never show on reports", background colour), of the day ruler and of a
// coverage line (the colour only). It edits a copy of the divider-file record and writes it
// back on every close: OK and the close box store the edits, Cancel stores the record as it is
// in the file again (and says it was cancelled).

#include <QDialog>
#include <array>
#include <cstdint>

#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

class ObjProps final : public QDialog {
    Q_OBJECT
public:
    // dividerRecNo: a display row 1..200 (its data slot's record), 201 the day ruler, 202..301
    // a coverage line, 0 the main window's current row.
    ObjProps(SchedFiles& files, GridPaint& grid, MsgBox& msg, int dividerRecNo, QWidget* parent = nullptr);

    // Not shown when the record could not be read (nothing is then written back).
    int exec() override;

    bool DialogCancelled = false;
    // The divider-file record edited, and the record as last read or written.
    int RecordNo() const { return recordNo_; }
    const DividerPropertiesRecord& Record() const { return record_; }
    std::uint32_t ActiveColour() const { return active_; }

public slots:
    void DividerStyle_Click(int index);
    void ColorSel_Click(int index);
    void ColorDefault_Click();
    void Command1_Click();  // OK
    void Command2_Click();  // Cancel

public:
    QComboBox* DividerStyle = nullptr;
    QGroupBox* SSFrame1 = nullptr;
    QCheckBox* ColorDefault = nullptr;
    std::array<QToolButton*, 24> ColorSel{};
    QLabel* ActiveColor = nullptr;
    QGroupBox* SSFrame2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* SSFrame3 = nullptr;
    QCheckBox* Check1 = nullptr;
    std::array<QRadioButton*, 3> Justify{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    bool IsRow() const { return recordNo_ >= 1 && recordNo_ <= kSlots; }
    void ShowFields();
    void ShowColour(std::uint32_t colour);
    // Puts the controls' values into the record and writes it; false (after the store's
    // message) when it could not be written.
    bool WriteBack();

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    int recordNo_ = 0;
    DividerPropertiesRecord record_;
    std::uint32_t active_ = 0;
    bool noSchedule_ = false;
    bool readFailed_ = false;
    bool loading_ = true;
    bool closing_ = false;
};

}  // namespace tavrin
