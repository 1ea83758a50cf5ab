#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace tavrin {

int QtMsgBox::show(const QString& prompt, int flags, const QString& title)
{
    QMessageBox box(parent_);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Tavrin") : title);
    box.setText(prompt);
    box.setTextFormat(Qt::PlainText);

    switch (flags & 0x70) {
    case Mb::Critical: box.setIcon(QMessageBox::Critical); break;
    case Mb::Question: box.setIcon(QMessageBox::Question); break;
    case Mb::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Mb::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }

    struct Choice { QMessageBox::StandardButton button; int answer; };
    std::vector<Choice> choices;
    switch (flags & 0x7) {
    case Mb::OKCancel: choices = {{QMessageBox::Ok, Mb::OK}, {QMessageBox::Cancel, Mb::Cancel}}; break;
    case Mb::AbortRetryIgnore:
        choices = {{QMessageBox::Abort, Mb::Abort}, {QMessageBox::Retry, Mb::Retry}, {QMessageBox::Ignore, Mb::Ignore}};
        break;
    case Mb::YesNoCancel:
        choices = {{QMessageBox::Yes, Mb::Yes}, {QMessageBox::No, Mb::No}, {QMessageBox::Cancel, Mb::Cancel}};
        break;
    case Mb::YesNo: choices = {{QMessageBox::Yes, Mb::Yes}, {QMessageBox::No, Mb::No}}; break;
    case Mb::RetryCancel: choices = {{QMessageBox::Retry, Mb::Retry}, {QMessageBox::Cancel, Mb::Cancel}}; break;
    default: choices = {{QMessageBox::Ok, Mb::OK}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);

    std::size_t def = 0;
    if (flags & Mb::DefaultButton2) def = 1;
    if (flags & Mb::DefaultButton3) def = 2;
    if (def >= choices.size()) def = 0;
    box.setDefaultButton(choices[def].button);
    // Escape answers Cancel where there is one, otherwise the only button.
    for (const Choice& c : choices) {
        if (c.answer == Mb::Cancel || choices.size() == 1) box.setEscapeButton(c.button);
    }

    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Choice& c : choices) {
        if (c.button == clicked) return c.answer;
    }
    // Closed without a button: the answer a cancel would give.
    for (const Choice& c : choices) {
        if (c.answer == Mb::Cancel) return Mb::Cancel;
    }
    return choices.back().answer;
}

void QtMsgBox::beep() { QApplication::beep(); }

}  // namespace tavrin
