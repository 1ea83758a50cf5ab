#pragma once
// Delimited-text export: the Export dialog that chooses the fields, the separator and the
// layout, and the text the schedule printout writes those fields into while a run exports.
// The text is delivered to the clipboard or a file only when the run ends without a set-up
// failure or printer error.

#include <QChar>
#include <QDialog>
#include <QString>
#include <array>

#include "platform/Result.h"
#include "store/Records.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tavrin {

class FileDialogs;
class SchedFiles;

// The export's settings block, ScheduleProps.ReportSettings[kExportSettingsBlock], and the
// meaning of its options (each 0 or 1). Content item k (options 2..12) writes into column k - 1.
constexpr int kExportSettingsBlock = 6;
namespace ExportOpt {
enum : int {
    Position = 1,
    Explanation = 2,
    Note = 3,
    OnCall = 4,
    Shift1 = 5,
    Start1 = 6,
    End1 = 7,
    Length1 = 8,
    Shift2 = 9,
    Start2 = 10,
    End2 = 11,
    Length2 = 12,
    Comma = 13,            // 1 comma separated, 0 tab separated
    Stacked = 14,          // one line per content item
    SeparateRecords = 15,  // an empty line after each employee
};
constexpr int kFirstContent = 2;
constexpr int kLastContent = 12;
}  // namespace ExportOpt

// The text of one export run. Fields are never quoted; with the comma separator a comma inside
// a field becomes a point.
class TextExport {
public:
    using Options = VbArray<Int16, 1, 20>;
    explicit TextExport(const Options& options);

    bool Option(int k) const { return k >= 1 && k <= 20 && options_[k] != 0; }
    // Options 2..12 that are set.
    int ContentItems() const { return contentItems_; }

    // Empties the text and takes the layout from the options.
    void Reset();
    // One field: column 1..11 is a content item's column, -1 a field of every content line
    // (name and position).
    void AppendTextField(const QString& text, int column);
    // Ends the current line (in the stacked layout, one line per column that holds text).
    void FlushTextLine();
    // The empty line that "Separate Records" puts after an employee.
    void EndRecord();
    QString ReplaceFieldCommas(const QString& text) const;

    QString TextOut;
    bool FirstFieldOnLine = true;
    QChar FieldSeparator = QLatin1Char(',');
    bool StackedColumns = false;
    // The pending line of each column in the stacked layout (index 1..11).
    std::array<QString, 12> ColumnSlots;

private:
    void AddToSlot(int slot, const QString& text);

    Options options_;
    int contentItems_ = 0;
};

// Writes the text to the clipboard, or to a file in Windows-1252 followed by one more CR LF.
// The file is replaced only once it has been written in full; a failure leaves the old one.
Status DeliverExportText(const QString& text, bool toFile, const QString& path);

// The Export dialog: edits the export options and asks for a text export to the clipboard or a
// file. The options are written back however the dialog closes.
class Export final : public QDialog {
    Q_OBJECT
public:
    Export(SchedFiles& files, FileDialogs& dialogs, QWidget* parent = nullptr);

    // Set by Close (and Esc, and the close box).
    bool DialogCancelled = false;
    // The run requested: a text export, to a file (1) or the clipboard (0).
    bool TextExportMode = false;
    int TextExportToFile = 0;
    // The chosen file, in full (the settings keep it only when it fits their field).
    QString ExportPath;

    std::array<QCheckBox*, 12> Check1{};     // the content boxes, option k at index k - 1
    std::array<QRadioButton*, 2> Option1{};  // 0 "Tab Delimited", 1 "Comma Delimited"
    QCheckBox* Check2 = nullptr;             // Stacked Columns
    QCheckBox* Check3 = nullptr;             // Separate Records
    QGroupBox* Frame1 = nullptr;             // Contents
    QGroupBox* Frame2 = nullptr;             // Data Format
    QGroupBox* Frame3 = nullptr;             // Style
    QPushButton* Command1 = nullptr;         // Export to Clipboard
    QPushButton* Command2 = nullptr;         // Export to File...
    QPushButton* Command3 = nullptr;         // Close

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

public:
    void done(int r) override;
    void reject() override;

private:
    // The Save dialog for the export file; false when it was cancelled.
    bool ChooseExportFile();
    ReportSettingsRecord& Block();

    SchedFiles& files_;
    FileDialogs& dialogs_;
};

}  // namespace tavrin
