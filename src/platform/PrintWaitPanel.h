#pragma once
// The small panel shown while the program waits for the printing system: what it waits for and
// a Cancel button, in the style of the progress panel of the report dialogs. It is a window of
// its own, so that it can be used while the dialog that began the command is disabled; Esc and
// its close box are its Cancel.

#include <QFrame>
#include <functional>

class QLabel;
class QPushButton;

namespace tavrin {

class PrintWaitPanel final : public QFrame {
public:
    explicit PrintWaitPanel(const QString& server);

    // Centred over the active window (or the screen), raised and given the keyboard.
    void Show();

    std::function<void()> OnCancel;

    QLabel* Label1 = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Cancel();
};

}  // namespace tavrin
