#pragma once
// The Convert dialog: turns the first-version schedule SchedFolder + SchedStem into the schedule
// file SchedFolder + SchedStem + ".QRD".
//
// Protocol: show it modally, then read DialogCancelled (true: nothing was converted, and the
// schedule file's name, SchedExt included, is as it was). After a conversion SchedExt is ".QRD"
// and the caller opens the new schedule file. The open schedule's working files are never
// touched: the conversion works in a folder of its own inside the working folder.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tavrin {

class SchedFiles;

class Convert final : public QDialog {
    Q_OBJECT
public:
    explicit Convert(SchedFiles& files, QWidget* parent = nullptr);

    bool DialogCancelled = false;

public slots:
    void Command1_Click();  // OK: checks, then the conversion
    void Command2_Click();  // Cancel

protected:
    // Esc and the close box are Cancel; a conversion under way is not interrupted.
    void reject() override;

private:
    bool RunConversion(const QString& target);

    SchedFiles& files_;
    QLabel* label1_;
    QPushButton* command1_;
    QPushButton* command2_;
    QWidget* picture1_;
    QLabel* panel3D1_;
    QProgressBar* done_;
    bool converting_ = false;
};

}  // namespace tavrin
