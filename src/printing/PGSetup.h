#pragma once
// The Report Setup dialog: title, orientation, print quality, font, margins, paper size and bin,
// colour and shading of one report. The caller hands it a copy of its settings, may relabel or
// hide controls (Shade1, Shade2, UseScreenFont, Frame3, ReportTitle, Label12, the tabs of
// SSTab1), shows it, and takes RptSettingsEdit back unless DialogCancelled.

#include <QDialog>
#include <array>

#include "store/Records.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tavrin {

class BoxChecks;
class PrintServices;
class SchedFiles;

class PGSetup final : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog on the settings; the paper and bin lists try their stored entries on the
    // printer at once (an unsupported one is reported now).
    PGSetup(PrintServices& services, SchedFiles& files, const ReportSettingsRecord& settings,
            QWidget* parent = nullptr);

    // The edit buffer; the margins and the font are stored as they are edited, the rest by OK.
    ReportSettingsRecord RptSettingsEdit;
    // True only after Cancel (or Esc, or the close box).
    bool DialogCancelled = false;

    // The entries of the paper list (index 0 "Default", then the paper codes 1..41) and of the
    // bin list (index 0 "Default", then the bin codes 1..14).
    static const QStringList& PaperSizes();
    static const QStringList& PaperBins();
    // "Arial,Bold, 8".
    static QString FontSample(const QString& name, bool bold, bool italic, double size);

    QTabWidget* SSTab1 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* ReportTitle = nullptr;
    QComboBox* Combo2 = nullptr;  // orientation
    QComboBox* Combo1 = nullptr;  // print quality
    QGroupBox* Frame1 = nullptr;  // font
    QLabel* RPTFont = nullptr;
    QPushButton* Command3 = nullptr;  // Font...
    QCheckBox* UseScreenFont = nullptr;
    QGroupBox* SSFrame2 = nullptr;        // margins
    std::array<QLineEdit*, 4> Margins{};  // top, bottom, left, right
    QCheckBox* CentFlag = nullptr;
    QComboBox* Combo3 = nullptr;  // paper size
    QComboBox* Combo4 = nullptr;  // paper bin
    QCheckBox* InColor = nullptr;
    QGroupBox* Frame3 = nullptr;  // shading
    QCheckBox* Shade1 = nullptr;
    QCheckBox* Shade2 = nullptr;
    QComboBox* Shade = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command5 = nullptr;  // Cancel

public slots:
    void Command1_Click();
    void Command5_Click();
    void Command3_Click();
    void Combo3_Click();
    void Combo4_Click();
    void CentFlag_Click();
    void UseScreenFont_Click();
    // Reads margin box i into the buffer (held to 0..21 inches or 0..57 cm) and shows it again.
    void Margins_LostFocus(int i);

protected:
    void reject() override;

private:
    void BuildControls();
    void LoadForm();
    void ShowMargin(int i);
    void ShowMargins();
    void ShowFontSample();
    // A paper size (or bin) tried on the printer, which keeps its own afterwards; index 0
    // ("Default") puts back the printer's own.
    void Trial(int index, bool paper);

    PrintServices& s_;
    SchedFiles& files_;
    BoxChecks* checks_ = nullptr;
    bool loading_ = true;
};

}  // namespace tavrin
