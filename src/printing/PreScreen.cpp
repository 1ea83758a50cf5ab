#include "printing/PreScreen.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/FileReplace.h"
#include "platform/GifWriter.h"
#include "platform/MsgBox.h"
#include "platform/Pane.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Screen.h"
#include "printing/PrintServices.h"
#include "printing/Publish.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr int kToolbarHeight = 36;
// A sheet larger than this (in twips, 200 inches) is no usable page size.
constexpr int kMaxSheet = 288000;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int w)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setGeometry(x, 5, w, 26);
    return b;
}

QScrollBar* MakeScroll(QWidget* parent, const char* name, Qt::Orientation o)
{
    auto* s = new QScrollBar(o, parent);
    s->setObjectName(QString::fromLatin1(name));
    return s;
}

// A file's bytes; none when it cannot be read.
std::optional<QByteArray> ReadWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

}  // namespace

PreScreen::PreScreen(PrintServices& services, QWidget* parent)
    : QDialog(parent),
      Replay(services.Fonts),
      s_(services),
      rec_(services.Rec),
      screenTppX_(ScreenTwipsPerPixelX()),
      screenTppY_(ScreenTwipsPerPixelY())
{
    setObjectName(QStringLiteral("PreScreen"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(800, 600);

    SSPanel1 = new QFrame(this);
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    SSPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SSPanel1->setAutoFillBackground(true);
    SSPanel1->setGeometry(0, 0, width(), kToolbarHeight);
    Command3 = MakeButton(SSPanel1, "Command3", QStringLiteral("&Previous"), 4, 80);
    Command4 = MakeButton(SSPanel1, "Command4", QStringLiteral("&Next"), 88, 80);
    CurPage = new QLabel(SSPanel1);
    CurPage->setObjectName(QStringLiteral("CurPage"));
    CurPage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CurPage->setAlignment(Qt::AlignCenter);
    CurPage->setGeometry(172, 5, 120, 26);
    Command2 = MakeButton(SSPanel1, "Command2", QStringLiteral("&Zoom"), 296, 70);
    SSPanel2 = new QFrame(SSPanel1);
    SSPanel2->setObjectName(QStringLiteral("SSPanel2"));
    SSPanel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SSPanel2->setGeometry(372, 2, 300, 32);
    Label1 = new QLabel(QStringLiteral("HTML file prefix"), SSPanel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(6, 3, 100, 26);
    Text1 = new QLineEdit(SSPanel2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(108, 3, 90, 26);
    Text1->setMaxLength(8);
    Command7 = MakeButton(SSPanel2, "Command7", QStringLiteral("Pu&blish..."), 202, 92);
    Command7->move(202, 3);
    Command1 = MakeButton(SSPanel1, "Command1", QStringLiteral("&Close"), 678, 70);

    PImage = new Pane(this, QStringLiteral("PImage"));
    PImage->SetBorderPx(0);
    PImage->SetBackColour(0xFFFFFF);
    SImage = new Pane(this, QStringLiteral("SImage"));
    SImage->SetBorderPx(0);
    SImage->SetBackColour(FromQRgb(palette().color(QPalette::Window).rgb()));
    VScroll1 = MakeScroll(this, "VScroll1", Qt::Vertical);
    HScroll1 = MakeScroll(this, "HScroll1", Qt::Horizontal);
    Mag = new QPushButton(this);
    Mag->setObjectName(QStringLiteral("Mag"));
    Mag->setFocusPolicy(Qt::NoFocus);
    VScroll2 = MakeScroll(this, "VScroll2", Qt::Vertical);
    VScroll2->setMinimum(1);
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Status->setAlignment(Qt::AlignCenter);
    Status->hide();
    SSPanel1->raise();

    connect(Command1, &QPushButton::clicked, this, &PreScreen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PreScreen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &PreScreen::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PreScreen::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &PreScreen::Command7_Click);
    connect(VScroll2, &QScrollBar::valueChanged, this, &PreScreen::VScroll2_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &PreScreen::Scroll_Change);
    connect(HScroll1, &QScrollBar::valueChanged, this, &PreScreen::Scroll_Change);

    // The window sees the paging keys before its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    checks_ = new BoxChecks(this);
    checks_->Add(Text1, [this] { return Text1_LostFocus(); });
    checks_->Exempt(Command1);
}

tavrin::Status PreScreen::Load()
{
    if (!rec_.FilesOpen()) return Status::error(QStringLiteral("The preview recording is not open."));
    setWindowTitle(QStringLiteral("Preview - ") + rec_.ReportTitle);
    Replay.FontLocked = false;
    RenderPending = true;
    CurrentPage = 1;
    // One more page was begun than was recorded.
    rec_.PreviewPageCount = std::max(1, rec_.PreviewPageCount - 1);
    PageCount = rec_.PreviewPageCount;
    const int prefixLimit = PublishNames::PrefixLimit(PageCount);
    Text1->setMaxLength(prefixLimit);
    Text1->setText(PublishNames::FilterPrefix(rec_.ReportTitle, prefixLimit));
    UpdatePageButtons();

    PrinterDevice& printer = s_.Printer();
    PageWidth = printer.Width();
    PageHeight = printer.Height();
    if (PageWidth <= 0 || PageHeight <= 0 || PageWidth > kMaxSheet || PageHeight > kMaxSheet) {
        PageWidth = 12240;  // Letter
        PageHeight = 15840;
    }
    Replay.PrinterOffsetX = rec_.PrinterOffsetX;
    Replay.PrinterOffsetY = rec_.PrinterOffsetY;
    Replay.TextNudgeX = rec_.PreviewTextNudgeX;
    Replay.PrinterTppX = printer.TwipsPerPixelX();
    Replay.PrinterTppY = printer.TwipsPerPixelY();
    Replay.ScreenTppX = screenTppX_;
    Replay.ScreenTppY = screenTppY_;
    Replay.ReportFontName = rec_.ReportFontName;
    Replay.ReportFontBold = rec_.ReportFontBold;
    Replay.ReportFontItalic = rec_.ReportFontItalic;

    PImage->setGeometry(0, kToolbarHeight, static_cast<int>(std::lround(double(PageWidth) / screenTppX_)),
                        static_cast<int>(std::lround(double(PageHeight) / screenTppY_)));
    for (auto [bar, maximum] : {std::pair{VScroll1, PageHeight}, std::pair{HScroll1, PageWidth}}) {
        const QSignalBlocker block(bar);
        bar->setRange(0, maximum);
        bar->setSingleStep(360);
        bar->setPageStep(1440);
        bar->setValue(0);
    }
    {
        const QSignalBlocker block(VScroll2);
        VScroll2->setRange(1, PageCount);
        VScroll2->setValue(1);
    }
    FitMode = true;

    Replay.LoadFont(PImage->Screen(), printer.FontSize(), printer.FontBold(), printer.FontItalic());
    if (Replay.FontLocked) rec_.ReportFontName = Replay.ReportFontName;

    setWindowState(windowState() | Qt::WindowMaximized);
    LayoutWindow();
    return {};
}

QString PreScreen::PageCaption() const
{
    return QStringLiteral("Page ") + QString::number(CurrentPage) + QStringLiteral(" of ") + QString::number(PageCount);
}

void PreScreen::UpdatePageButtons()
{
    CurPage->setText(PageCaption());
    Command3->setEnabled(CurrentPage != 1);
    Command4->setEnabled(CurrentPage != PageCount);
}

// ---------------------------------------------------------------- rendering and layout

void PreScreen::RenderPage()
{
    Surface& page = PImage->Screen();
    pageRecords_ = ReadPreviewPage(rec_.CommandFile(), rec_.PreviewPageIndex(CurrentPage));
    Replay.Render(page, pageRecords_, rec_.TextFile(), !FitMode);
    PImage->Changed();
}

void PreScreen::LayoutWindow()
{
    const int cw = width();
    const int ch = height();
    SSPanel1->setGeometry(0, 0, cw, kToolbarHeight);
    const int barH = HScroll1->sizeHint().height();
    const int barW = VScroll1->sizeHint().width();
    // Too small for the toolbar and a scroll bar: nothing is drawn.
    if (ch - kToolbarHeight < 1 || ch - kToolbarHeight - barH < 0) return;
    SetBusyPointer(true);

    if (!FitMode) {
        VScroll1->setGeometry(cw - barW, kToolbarHeight, barW, ch - kToolbarHeight - barH);
        HScroll1->setGeometry(0, ch - barH, cw - barW, barH);
        Mag->setGeometry(cw - barW, ch - barH, barW, barH);
    } else {
        VScroll2->setGeometry(cw - barW, kToolbarHeight, barW, ch - kToolbarHeight);
    }
    if (RenderPending) RenderPage();

    if (!FitMode) {
        SImage->hide();
        VScroll2->hide();
        PImage->move(-HScroll1->value() / screenTppX_, kToolbarHeight - VScroll1->value() / screenTppY_);
        PImage->show();
        PImage->lower();
        VScroll1->show();
        HScroll1->show();
        Mag->show();
    } else {
        int w = cw - barW;
        int h = ch - kToolbarHeight - 2 * barH;
        if (w < 1 || h < 1) w = h = 1;
        int thumbH = h;
        int thumbW = static_cast<int>(std::floor(double(h) * PageWidth / PageHeight));
        if (thumbW > frameGeometry().width()) {
            thumbW = w;
            thumbH = static_cast<int>(std::floor(double(w) * PageHeight / PageWidth));
        }
        thumbW = std::max(thumbW, 1);
        thumbH = std::max(thumbH, 1);
        PImage->hide();
        VScroll1->hide();
        HScroll1->hide();
        Mag->hide();
        SImage->setGeometry(w / 2 - thumbW / 2, kToolbarHeight + barH, thumbW, thumbH);
        SImage->show();
        VScroll2->setVisible(PageCount > 1);

        const Surface& page = PImage->Screen();
        Surface& thumb = SImage->Screen();
        thumb.Clear();
        thumb.StretchBlt(0, 0, thumb.Width(), thumb.Height(), page, 0, 0, page.Width(), page.Height());
        ThumbScaleX = double(thumb.Width()) / page.Width();
        ThumbScaleY = double(thumb.Height()) / page.Height();
        Replay.DrawThumbLines(thumb, pageRecords_, ThumbScaleX, ThumbScaleY);
        SImage->Changed();
    }
    SSPanel1->raise();
    RenderPending = false;
    update();
    SetBusyPointer(false);
}

void PreScreen::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    LayoutWindow();
}

// ---------------------------------------------------------------- commands

void PreScreen::Command1_Click()
{
    rec_.PreviewMode = false;
    close();
}

void PreScreen::done(int r)
{
    // However the window closes, preview mode ends with it.
    rec_.PreviewMode = false;
    QDialog::done(r);
}

void PreScreen::Command2_Click()
{
    FitMode = !FitMode;
    RenderPending = true;
    LayoutWindow();
}

void PreScreen::Command3_Click()
{
    if (CurrentPage > 1) VScroll2->setValue(CurrentPage - 1);
}

void PreScreen::Command4_Click()
{
    if (CurrentPage < PageCount) VScroll2->setValue(CurrentPage + 1);
}

void PreScreen::Command7_Click()
{
    if (!checks_->RunAll()) return;
    SchedulePropertiesRecord& props = s_.Files ? s_.Files->ScheduleProps : ownProps_;
    bool& modified = s_.Files ? s_.Files->ScheduleModified : ownModified_;
    Publish dialog(props, modified, Places, s_.Msg, s_.Grid, Text1->text(), PageCount, this);
    dialog.exec();
    if (!dialog.DialogCancelled) PublishReport(dialog);
    LayoutWindow();
}

bool PreScreen::Text1_LostFocus()
{
    const QString prefix = PublishNames::FilterPrefix(Text1->text(), PublishNames::PrefixLimit(PageCount));
    Text1->setText(prefix.isEmpty() ? QStringLiteral("RPT") : prefix);
    return true;
}

void PreScreen::VScroll2_Change(int value)
{
    if (value == CurrentPage) return;
    CurrentPage = value;
    RenderPending = true;
    LayoutWindow();
    UpdatePageButtons();
}

void PreScreen::Scroll_Change()
{
    if (!FitMode) PImage->move(-HScroll1->value() / screenTppX_, kToolbarHeight - VScroll1->value() / screenTppY_);
}

// ---------------------------------------------------------------- publishing

void PreScreen::PublishReport(Publish& dialog)
{
    LayoutWindow();
    SetBusyPointer(true);
    constexpr int kStatusW = 280;
    constexpr int kStatusH = 32;
    Status->setGeometry((width() - kStatusW) / 2, (height() - kStatusH) / 2, kStatusW, kStatusH);
    Status->clear();
    Status->show();
    Status->raise();
    const int shownPage = CurrentPage;
    const bool shownFit = FitMode;
    // Lines and boxes go into the page picture.
    FitMode = false;

    const QString folder = dialog.Folder();
    const QStringList files = dialog.Files();
    const bool upper = dialog.UppercaseNames();
    const bool withButtons = files.size() > 2 * qsizetype(PageCount);
    PageHtml html;
    html.PageCount = PageCount;
    html.Title = rec_.ReportTitle;
    for (const bool next : {false, true}) {
        QString name = withButtons ? files[2 * PageCount + (next ? 1 : 0)] : QString();
        // Buttons already there are linked by the name they have.
        if (name.isEmpty()) name = PublishNames::FindInFolder(folder, PublishNames::ButtonName(next, upper));
        if (name.isEmpty()) name = PublishNames::ButtonName(next, upper);
        (next ? html.ButtonNext : html.ButtonPrev) = name;
    }

    // The template is read once for all pages.
    const std::optional<QByteArray> templ = ReadWhole(Places.TemplatePath());

    bool ok = files.size() >= 2 * qsizetype(PageCount);
    for (int n = 1; ok && n <= PageCount; ++n) {
        Status->setText(QStringLiteral("Publishing page %1 of %2").arg(n).arg(PageCount));
        Status->repaint();
        CurrentPage = n;
        html.Page = n;
        html.Picture = files[2 * n - 1];
        html.Next = n < PageCount ? files[2 * n] : QString();
        ok = PublishPage(folder, files, dialog.CropImages(), html, templ);
        html.Prev = files[2 * n - 2];
    }
    if (ok && withButtons) {
        bool missing = false;
        for (const bool next : {false, true}) {
            const std::optional<QByteArray> bytes = ReadWhole(Places.ButtonPath(next));
            if (!bytes) {
                missing = true;
                continue;
            }
            const QString target = folder + (next ? html.ButtonNext : html.ButtonPrev);
            if (!WriteWholeFile(target, *bytes)) {
                s_.Msg.show(QStringLiteral("Cannot write ") + target, Mb::Exclamation, QStringLiteral("Error"));
                break;
            }
        }
        if (missing) {
            s_.Msg.beep();
            s_.Msg.show(QStringLiteral("Button graphic files missing."));
        }
    }

    CurrentPage = shownPage;
    FitMode = shownFit;
    RenderPending = true;
    Status->hide();
    SetBusyPointer(false);
}

bool PreScreen::PublishPage(const QString& folder, const QStringList& files, bool crop, const PageHtml& html,
                            const std::optional<QByteArray>& templ)
{
    const QString picturePath = folder + html.Picture;
    Replay.ResetInk();
    RenderPage();
    const Surface& page = PImage->Screen();
    GifWriter gif;
    gif.SetImage(page.Image());
    // Nothing drawn: the page stays whole.
    if (crop && Replay.InkRight >= Replay.InkLeft && Replay.InkBottom >= Replay.InkTop) {
        const double x = Replay.InkLeft - 5;
        const double y = Replay.InkTop - 5;
        const double w = Replay.InkRight + 5 - x;
        const double h = Replay.InkBottom + 5 - y;
        if (x >= 0 && y >= 0 && w <= page.Width() && h <= page.Height()) {
            gif.Crop(QRect(int(std::lround(x)), int(std::lround(y)), int(std::lround(w)), int(std::lround(h))));
        }
    }
    // Saving reduces the picture to 8 bits per pixel first.
    if (!gif.Save(picturePath)) {
        s_.Msg.show(QStringLiteral("Cannot write ") + picturePath, Mb::Exclamation, QStringLiteral("Error"));
        return false;
    }

    if (!templ) {
        s_.Msg.show(QStringLiteral("Missing HTML template file QORHTML.TMP"));
        return false;
    }
    const QString htmlPath = folder + files[2 * html.Page - 2];
    if (!WriteWholeFile(htmlPath, BuildPageHtml(*templ, html))) {
        s_.Msg.show(QStringLiteral("Cannot write ") + htmlPath, Mb::Exclamation, QStringLiteral("Error"));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- keys

bool PreScreen::PreviewKey(int key)
{
    if (FitMode) {
        if (key == Qt::Key_PageDown) {
            if (CurrentPage < PageCount) VScroll2->setValue(CurrentPage + 1);
            return true;
        }
        if (key == Qt::Key_PageUp) {
            if (CurrentPage > 1) VScroll2->setValue(CurrentPage - 1);
            return true;
        }
        return false;
    }
    const auto step = [](QScrollBar* bar, int delta) {
        const int v = bar->value();
        if (delta > 0) {
            if (v >= bar->maximum()) return;
            bar->setValue(std::min(v + delta, bar->maximum()));
        } else {
            if (v <= 0) return;
            bar->setValue(std::max(v + delta, 0));
        }
    };
    switch (key) {
        case Qt::Key_PageDown:
            step(VScroll1, 1440);
            return true;
        case Qt::Key_PageUp:
            step(VScroll1, -1440);
            return true;
        case Qt::Key_Down:
            step(VScroll1, 360);
            return true;
        case Qt::Key_Up:
            step(VScroll1, -360);
            return true;
        case Qt::Key_Right:
            step(HScroll1, 360);
            return true;
        case Qt::Key_Left:
            step(HScroll1, -360);
            return true;
        default:
            return false;
    }
}

void PreScreen::PageWheel(const QWheelEvent& e)
{
    // One notch is 120 units of angle. Full size scrolls like a document view: the wheel's lines
    // of small steps, Shift turning it sideways; fit mode turns one page a notch.
    const QPoint angle = e.angleDelta();
    if (FitMode) {
        wheelRestPages_ += angle.y() / 120.0;
        const int pages = static_cast<int>(wheelRestPages_);
        wheelRestPages_ -= pages;
        if (pages != 0) VScroll2->setValue(std::clamp(CurrentPage - pages, 1, PageCount));
        return;
    }
    const bool sideways = e.modifiers() & Qt::ShiftModifier;
    // Some platforms turn Shift+wheel into a sideways turn themselves.
    const int down = sideways ? 0 : angle.y();
    const int across = sideways ? angle.x() + angle.y() : angle.x();
    const auto scroll = [](QScrollBar* bar, int delta, double& rest) {
        rest += delta / 120.0 * QApplication::wheelScrollLines() * bar->singleStep();
        const int move = static_cast<int>(rest);
        rest -= move;
        if (move != 0) bar->setValue(bar->value() - move);
    };
    scroll(VScroll1, down, wheelRestY_);
    scroll(HScroll1, across, wheelRestX_);
}

bool PreScreen::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::KeypadModifier) {
            if (PreviewKey(k->key())) return true;
        }
    }
    if (e->type() == QEvent::Wheel && (watched == PImage || watched == SImage || watched == this)) {
        PageWheel(*static_cast<QWheelEvent*>(e));
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void ShowPreviewWindow(PrintServices& services)
{
    PreScreen window(services, services.Window);
    if (!window.Load()) {
        services.Msg.show(QStringLiteral("Cannot preview. Cause may be low memory."));
        return;
    }
    window.exec();
}

}  // namespace tavrin
