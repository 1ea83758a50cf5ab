#pragma once
// The small windows of the shell: the splash window, the About box and the password prompt.

#include <QDialog>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {

class MsgBox;

// The program's version text, as shown by the splash window and the About box.
QString VersionText();

// The splash window shown while the program starts.
class Startup final : public QWidget {
    Q_OBJECT
public:
    explicit Startup(int twipsPerPixel, QWidget* parent = nullptr);
    // Set the first time the window is shown, exposed or activated.
    bool SplashShown = false;

protected:
    bool event(QEvent* e) override;

private:
    void MarkShown();
    int twipsPerPixel_;
    QLabel* Image1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
};

class About final : public QDialog {
    Q_OBJECT
public:
    explicit About(QWidget* mainForm);
public slots:
    void Command1_Click();
};

// Asks for the read/write password of a schedule; DialogCancelled tells the caller the outcome.
class PassWRD final : public QDialog {
    Q_OBJECT
public:
    // storedPassword: the schedule's read/write password (kept in upper case).
    PassWRD(const QString& storedPassword, const QString& schedStem, MsgBox& msgBox, QWidget* mainForm);
    bool DialogCancelled = false;
    // The help file is not offered while the prompt is open.
    bool HelpAvailable = true;
public slots:
    void ButtonOK_Click();
    void ButtonCancel_Click();
    // Closing the prompt in any other way (Esc, the window's close box) counts as Cancel.
    void reject() override;

private:
    QString stored_;
    MsgBox& msgBox_;
    QLineEdit* Text1;
};

}  // namespace tavrin
