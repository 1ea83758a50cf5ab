#pragma once
// The preview window: a recording shown a page at a time, fitted into the window (the mode it
// opens in) or at full size with scroll bars. It has no print command; closing it in any way
// ends preview mode.

#include <QDialog>
#include <optional>
#include <vector>

#include "platform/Result.h"
#include "printing/PageReplay.h"
#include "printing/PreviewRec.h"
#include "printing/PublishFiles.h"
#include "store/Records.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tavrin {

class BoxChecks;
class Pane;
class PrintServices;
class Publish;

class PreScreen final : public QDialog {
    Q_OBJECT
public:
    PreScreen(PrintServices& services, QWidget* parent = nullptr);

    // Reads the recording context and lays out page 1; a failure when the recording cannot be
    // shown (its files are not open).
    tavrin::Status Load();

    // --- window state
    bool FitMode = true;
    bool RenderPending = true;
    int CurrentPage = 1;
    int PageCount = 1;
    double ThumbScaleX = 1;
    double ThumbScaleY = 1;
    // Fonts, the last bold and italic played, the ink box.
    PageReplay Replay;
    // The sheet in twips.
    int PageWidth = 12240;
    int PageHeight = 15840;

    // Plays the current page into the page picture (lines and boxes only at full size).
    void RenderPage();
    // Places the controls for the window's size and mode, rendering first when pending.
    void LayoutWindow();
    // "Page 2 of 5".
    QString PageCaption() const;

    // --- publishing
    // Where the template and buttons are and where pages go by default.
    PublishPlaces Places = PublishPlaces::ForProgram();
    // Publishes every page into the folder of the Publish dialog (hidden, still loaded): per
    // page its picture and its HTML file from the template, then the button pictures when the
    // dialog lists them. The first failure (a missing template, a file that cannot be written)
    // is reported and ends the publication; the pages written stay.
    void PublishReport(Publish& dialog);

    // --- controls
    QFrame* SSPanel1 = nullptr;
    QPushButton* Command3 = nullptr;  // &Previous
    QPushButton* Command4 = nullptr;  // &Next
    QLabel* CurPage = nullptr;
    QPushButton* Command2 = nullptr;  // &Zoom
    QFrame* SSPanel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command7 = nullptr;  // Pu&blish...
    QPushButton* Command1 = nullptr;  // &Close
    Pane* PImage = nullptr;
    Pane* SImage = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* Mag = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QLabel* Status = nullptr;

public slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command7_Click();
    void VScroll2_Change(int value);
    void Scroll_Change();
    // The web file prefix box when it loses the focus.
    bool Text1_LostFocus();

public:
    void done(int r) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool PreviewKey(int key);
    // The wheel over the page (or the window around it; the scroll bars take their own).
    void PageWheel(const QWheelEvent& e);
    void UpdatePageButtons();
    // Writes one page's picture and its HTML file from the template (none when it could not be
    // read); false after the failure's message.
    bool PublishPage(const QString& folder, const QStringList& files, bool crop, const PageHtml& html,
                     const std::optional<QByteArray>& templ);

    PrintServices& s_;
    PreviewRec& rec_;
    int screenTppX_;
    int screenTppY_;
    std::vector<PreviewCommandRecord> pageRecords_;
    BoxChecks* checks_ = nullptr;
    // Publishing settings where no schedule is at hand.
    SchedulePropertiesRecord ownProps_;
    bool ownModified_ = false;
    // Wheel turns not yet worth a whole step (fine-grained wheels and touchpads).
    double wheelRestX_ = 0;
    double wheelRestY_ = 0;
    double wheelRestPages_ = 0;
};

// Opens the preview window modally on the open recording and returns when it is closed; a
// window that cannot be opened gives "Cannot preview. Cause may be low memory.".
void ShowPreviewWindow(PrintServices& services);

}  // namespace tavrin
