#pragma once
// The panel a report dialog shows over its controls while a run lasts: a caption ("Printing
// Report", "Exporting Data") and a percentage bar. While it shows, the dialog and its Print
// button are disabled and the pointer is the hourglass.

#include <QFrame>
#include <QPointer>

class QLabel;
class QProgressBar;
class QWidget;

namespace tavrin {

class ProgressPanel final : public QFrame {
    Q_OBJECT
public:
    // A hidden panel on the dialog.
    explicit ProgressPanel(QWidget* dialog);

    void Begin(const QString& caption, QWidget* printButton);
    void SetPercent(int percent);
    // Hides the panel, sets the bar to 0, restores the pointer, enables the button and the
    // dialog again and lets pending window events run (ten times).
    void End();

    QLabel* Panel3D1 = nullptr;
    QProgressBar* Done = nullptr;

private:
    QWidget* dialog_;
    QPointer<QWidget> button_;
};

}  // namespace tavrin
