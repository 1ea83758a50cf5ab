#pragma once
// The small modeless panel that shows the progress of a change of the schedule period.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tavrin {

class Adjust final : public QWidget {
public:
    // Centred over the main window when one is shown, else over the screen.
    explicit Adjust(QWidget* parent = nullptr);

    // Shows percent (0..100) in Done and repaints at once.
    void SetPercent(int percent);
    int Percent() const;

private:
    QLabel* panel_;       // Panel3D1
    QProgressBar* done_;  // Done
};

}  // namespace tavrin
