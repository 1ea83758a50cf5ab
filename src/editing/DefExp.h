#pragma once
// The Define Explanations dialog: the 99 explanation codes. It works on copies (the
// descriptions live in the list entries, "07, Vacation") and writes the explanation table on
// OK, which counts as confirmed even without an edit.

#include <QDialog>

#include "store/Records.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class GridPaint;
class MsgBox;
class SchedFiles;

class DefExp final : public QDialog {
    Q_OBJECT
public:
    DefExp(SchedFiles& files, GridPaint& grid, MsgBox& msg, QWidget* parent = nullptr);

    bool DialogCancelled = false;

    // The Legend's Edit: placed over `over`, showing only explanation `code` (1..99).
    void EditOneCode(int code, QWidget* over);

public slots:
    void List1_Click();
    void Command1_Click();
    void Command2_Click();

public:
    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Abbr = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    static QString EntryText(int n, const QString& description);
    int Selected() const;  // 1..99, 0 when none
    // The description and abbreviation in the boxes can be stored. Otherwise the list goes back
    // to their entry and the box keeps its text for correction, after the message.
    bool ShownTextsStorable();

    SchedFiles& files_;
    GridPaint& grid_;
    MsgBox& msg_;
    VbArray<FixedText<5>, 1, kExplanations> abbr_;
    VbArray<Byte, 1, kExplanations> keys_;
    bool placed_ = false;
    bool closing_ = false;
    // The entry the boxes show, 0 before the first.
    int shown_ = 0;
};

}  // namespace tavrin
