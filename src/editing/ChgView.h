#pragma once
// The Edit Schedule Format dialog: the current display format's name, cell contents, days on
// screen, coverage lines, time format, day-ruler styles, screen font and display switches.
// Apply, OK and Print... write the format and show it at once; Cancel (also Esc and the close
// box) puts back the format as the file held it when the dialog opened, undoing every Apply.

#include <QDialog>
#include <array>

#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tavrin {

class EditingHost;
class FileDialogs;
class GridPaint;
class MsgBox;
class SchedFiles;

// The entries of a cell-item list: text and content code ("Screen Cell Icon" only for the first).
struct CellItemEntry {
    const char* text;
    int code;
};
std::vector<CellItemEntry> CellItemEntries(bool first);
// The time formats as the list shows them (minutes as "m"; the record stores "n").
const QStringList& TimeFormatEntries();
// Stored time format <-> list entry.
QString TimeFormatEntryOf(const QString& stored);
QString StoredTimeFormatOf(const QString& entry);

class ChgView final : public QDialog {
    Q_OBJECT
public:
    ChgView(SchedFiles& files, GridPaint& grid, MsgBox& msg, FileDialogs& dialogs, EditingHost& host,
            QWidget* parent = nullptr);

    // The format as the file held it when the dialog opened.
    ScheduleFormatRecord SavedFormat;

    // Writes the dialog's values into the current format and the format file, and shows it.
    // False (after the store's message) when the record could not be written.
    bool ApplyFormat();

public slots:
    void Item_Click(int i);
    void Command1_Click();
    void Apply_Click();
    void Command4_Click();
    void Command5_Click();
    void Command2_Click();

public:
    QTabWidget* SSTab1 = nullptr;
    std::array<QComboBox*, 6> Item{};
    std::array<QCheckBox*, 6> ItemScreenFlag{};
    std::array<QCheckBox*, 6> ItemReportFlag{};
    std::array<QCheckBox*, 6> ItemLinkFlag{};
    QLineEdit* TmpName = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* CoverageVisible = nullptr;
    QComboBox* TimeFormat = nullptr;
    QComboBox* RulerDOW = nullptr;
    QComboBox* RulerDate = nullptr;
    QPushButton* Command2 = nullptr;
    QCheckBox* Symbols = nullptr;
    QCheckBox* AbbrFlag = nullptr;
    QCheckBox* EmpPosHider = nullptr;
    QCheckBox* HardOff = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Apply = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Load();
    void ShowFontSample();
    // Writes the current format and shows it on screen.
    bool WriteAndShow();

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    FileDialogs& dialogs_;
    EditingHost& host_;
    std::array<int, 6> indexAtFocus_{};
    bool loading_ = false;
    bool closing_ = false;
};

}  // namespace tavrin
