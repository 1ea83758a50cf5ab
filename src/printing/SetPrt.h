#pragma once
// The Printer Setup dialog: the installed printers ("name, port"); OK makes the chosen one the
// program's printer and takes its paper size and bin as the ones "Default" puts back. When the
// printing system does not answer, it lists the PDF file target and says so.

#include <QDialog>
#include <vector>

#include "platform/PrinterDevice.h"

class QListWidget;
class QPushButton;

namespace tavrin {

class GridPaint;
class PrintServices;

class SetPrt final : public QDialog {
    Q_OBJECT
public:
    // grid: centres the dialog on the screen (none in tests that do not need it).
    SetPrt(PrintServices& services, GridPaint* grid, QWidget* parent = nullptr);

    // False when the wait for the printing system was cancelled while the list was made: the
    // command ends without the dialog.
    bool Listed() const { return listed_; }

    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel

public slots:
    void Command1_Click();
    void Command2_Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    PrintServices& s_;
    GridPaint* grid_;
    std::vector<PrinterInfo> printers_;
    bool listed_ = true;
};

}  // namespace tavrin
