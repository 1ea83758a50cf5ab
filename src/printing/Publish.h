#pragma once
// The Publish dialog: the folder to publish a previewed report into, the letter case of the file
// names, cropping of the page pictures, and the list of files that will be created. Its settings
// live in the schedule's settings and every change marks the schedule modified. Publish hides
// the dialog and leaves the publishing to the preview window, which reads the folder, the list
// and the case option from it.

#include <QDialog>

#include "printing/PublishFiles.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tavrin {

class BoxChecks;
class GridPaint;
class MsgBox;
struct SchedulePropertiesRecord;

class Publish final : public QDialog {
    Q_OBJECT
public:
    // props and modified: the schedule's settings and its modified flag; prefix and pageCount:
    // the preview's web file prefix and pages; grid centres the dialog (none in some tests).
    Publish(SchedulePropertiesRecord& props, bool& modified, const PublishPlaces& places, MsgBox& msg, GridPaint* grid,
            QString prefix, int pageCount, QWidget* parent = nullptr);

    // True unless Publish was chosen.
    bool DialogCancelled = false;

    // The folder published into (the folder box, ending with "/").
    QString Folder() const;
    // The files of the list, in order.
    QStringList Files() const;
    bool UppercaseNames() const;
    bool CropImages() const;

    // Checks that the folder exists; asking offers to create it, otherwise (and on No) the
    // fall-back folder is taken. The list is rebuilt either way.
    void EnsurePublishFolder(bool ask);
    void RebuildList();

    // --- controls
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command3 = nullptr;  // Erase all .htm and .gif files
    QCheckBox* Check1 = nullptr;      // Filenames in uppercase
    QCheckBox* Check2 = nullptr;      // Crop report images
    QLabel* Label2 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* Command1 = nullptr;  // Publish
    QPushButton* Command2 = nullptr;  // Close

public slots:
    void Text1_Change();
    // The folder box when it loses the focus.
    bool Text1_LostFocus();
    void Check1_Click(bool checked);
    void Check2_Click(bool checked);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

public:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Load();
    // Keeps the folder in the settings when it fits their field, else leaves it blank there.
    void StoreFolder(const QString& folder);

    SchedulePropertiesRecord& props_;
    bool& modified_;
    const PublishPlaces& places_;
    MsgBox& msg_;
    GridPaint* grid_;
    QString prefix_;
    int pageCount_;
    BoxChecks* checks_ = nullptr;
};

}  // namespace tavrin
