#include "printing/PGSetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/BoxChecks.h"
#include "platform/DialogControls.h"
#include "platform/FileDialogs.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "printing/PrintServices.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerCm = 567;

Int16 Flag(const QCheckBox* box)
{
    return box->isChecked() ? kTrue : kFalse;
}

// A stored list index, or "Default" when it lies outside the list.
int ListIndex(int stored, int count)
{
    return stored >= 0 && stored < count ? stored : 0;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name)
{
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

const QStringList& PGSetup::PaperSizes()
{
    static const QStringList names = {
        QStringLiteral("Default"),
        QStringLiteral("Letter, 8 1/2 x 11 in."),
        QStringLiteral("Letter Small, 8 1/2 x 11 in."),
        QStringLiteral("Tabloid, 11 x 17 in."),
        QStringLiteral("Ledger, 17 x 11 in."),
        QStringLiteral("Legal, 8 1/2 x 14 in."),
        QStringLiteral("Statement, 5 1/2 x 8 1/2 in."),
        QStringLiteral("Executive, 7 1/2 x 10 1/2 in."),
        QStringLiteral("A3, 297 x 420 mm"),
        QStringLiteral("A4, 210 x 297 mm"),
        QStringLiteral("A4 Small, 210 x 297 mm"),
        QStringLiteral("A5, 148 x 210 mm"),
        QStringLiteral("B4, 250 x 354 mm"),
        QStringLiteral("B5, 182 x 257 mm"),
        QStringLiteral("Folio, 8 1/2 x 13 in."),
        QStringLiteral("Quarto, 215 x 275 mm"),
        QStringLiteral("10 x 14 in."),
        QStringLiteral("11 x 17 in."),
        QStringLiteral("Note, 8 1/2 x 11 in."),
        QStringLiteral("Envelope #9, 3 7/8 x 8 7/8 in."),
        QStringLiteral("Envelope #10, 4 1/8 x 9 1/2 in."),
        QStringLiteral("Envelope #11, 4 1/2 x 10 3/8 in."),
        QStringLiteral("Envelope #12, 4 1/2 x 11 in."),
        QStringLiteral("Envelope #14, 5 x 11 1/2 in."),
        QStringLiteral("C size sheet"),
        QStringLiteral("D size sheet"),
        QStringLiteral("E size sheet"),
        QStringLiteral("Envelope DL, 110 x 220 mm"),
        QStringLiteral("Envelope C5, 162 x 229 mm"),
        QStringLiteral("Envelope C3, 324 x 458 mm"),
        QStringLiteral("Envelope C4, 229 x 324 mm"),
        QStringLiteral("Envelope C6, 114 x 162 mm"),
        QStringLiteral("Envelope C65, 114 x 229 mm"),
        QStringLiteral("Envelope B4, 250 x 353 mm"),
        QStringLiteral("Envelope B5, 176 x 250 mm"),
        QStringLiteral("Envelope B6, 176 x 125 mm"),
        QStringLiteral("Envelope, 110 x 230 mm"),
        QStringLiteral("Envelope Monarch, 3 7/8 x 7 1/2 in."),
        QStringLiteral("Envelope, 3 5/8 x 6 1/2 in."),
        QStringLiteral("U.S. Standard Fanfold, 14 7/8 x 11 in."),
        QStringLiteral("German Standard Fanfold, 8 1/2 x 12 in."),
        QStringLiteral("German Legal Fanfold, 8 1/2 x 13 in."),
    };
    return names;
}

const QStringList& PGSetup::PaperBins()
{
    static const QStringList names = {
        QStringLiteral("Default"),
        QStringLiteral("Upper bin"),
        QStringLiteral("Lower bin"),
        QStringLiteral("Middle bin"),
        QStringLiteral("Manual"),
        QStringLiteral("Envelope feeder"),
        QStringLiteral("Envelope feeder/manual insertion"),
        QStringLiteral("Automatic/Default bin"),
        QStringLiteral("Tractor feeder"),
        QStringLiteral("Small paper bin"),
        QStringLiteral("Large paper bin"),
        QStringLiteral("Large capacity feeder"),
        QStringLiteral("Undefined"),
        QStringLiteral("Undefined"),
        QStringLiteral("Attached cassette cartridge"),
    };
    return names;
}

QString PGSetup::FontSample(const QString& name, bool bold, bool italic, double size)
{
    // Sizes are stored single-precision: shown with the digits a single holds ("8.3", not
    // "8.30000019").
    const double shown = QString::number(size, 'g', 7).toDouble();
    return Runtime::Trim(name) + (bold ? QStringLiteral(",Bold") : QString()) +
           (italic ? QStringLiteral(",Italic") : QString()) + QLatin1Char(',') + Runtime::Str(shown);
}

PGSetup::PGSetup(PrintServices& services, SchedFiles& files, const ReportSettingsRecord& settings, QWidget* parent)
    : QDialog(parent), RptSettingsEdit(settings), s_(services), files_(files)
{
    setObjectName(QStringLiteral("PGSetup"));
    setWindowTitle(QStringLiteral("Report Setup"));
    setModal(true);
    BuildControls();
    LoadForm();
}

void PGSetup::BuildControls()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // Tab 0: title, orientation, quality, font.
    auto* general = new QWidget;
    auto* g = new QGridLayout(general);
    Label12 = new QLabel(QStringLiteral("Title:"), general);
    Label12->setObjectName(QStringLiteral("Label12"));
    ReportTitle = MakeBox(general, QStringLiteral("ReportTitle"));
    ReportTitle->setText(QStringLiteral("My Report"));
    Combo2 = new QComboBox(general);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->addItems({QStringLiteral("Default"), QStringLiteral("Portrait"), QStringLiteral("Landscape")});
    Combo1 = new QComboBox(general);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("Default"), QStringLiteral("Draft"), QStringLiteral("Low"),
                      QStringLiteral("Medium"), QStringLiteral("High")});
    Frame1 = new QGroupBox(QStringLiteral("Font"), general);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    RPTFont = new QLabel(Frame1);
    RPTFont->setObjectName(QStringLiteral("RPTFont"));
    RPTFont->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Command3 = new QPushButton(QStringLiteral("Font..."), Frame1);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    UseScreenFont = new QCheckBox(QStringLiteral("Use Screen Font"), Frame1);
    UseScreenFont->setObjectName(QStringLiteral("UseScreenFont"));
    auto* f = new QGridLayout(Frame1);
    f->addWidget(RPTFont, 0, 0);
    f->addWidget(Command3, 0, 1);
    f->addWidget(UseScreenFont, 1, 0, 1, 2);
    g->addWidget(Label12, 0, 0);
    g->addWidget(ReportTitle, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Orientation:"), general), 1, 0);
    g->addWidget(Combo2, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Print Quality:"), general), 2, 0);
    g->addWidget(Combo1, 2, 1);
    g->addWidget(Frame1, 3, 0, 1, 2);
    SSTab1->addTab(general, QStringLiteral("General"));

    // Tab 1: margins and paper.
    auto* paper = new QWidget;
    auto* p = new QGridLayout(paper);
    SSFrame2 = new QGroupBox(QStringLiteral("Margins"), paper);
    SSFrame2->setObjectName(QStringLiteral("SSFrame2"));
    auto* m = new QGridLayout(SSFrame2);
    static const char* const kSides[] = {"Top", "Bottom", "Left", "Right"};
    for (int i = 0; i < 4; ++i) {
        Margins[static_cast<std::size_t>(i)] = MakeBox(SSFrame2, QStringLiteral("Margins(%1)").arg(i));
        m->addWidget(new QLabel(QString::fromLatin1(kSides[i]), SSFrame2), i, 0);
        m->addWidget(Margins[static_cast<std::size_t>(i)], i, 1);
    }
    CentFlag = new QCheckBox(QStringLiteral("Centimeters"), SSFrame2);
    CentFlag->setObjectName(QStringLiteral("CentFlag"));
    m->addWidget(CentFlag, 4, 0, 1, 2);
    Combo3 = new QComboBox(paper);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Combo4 = new QComboBox(paper);
    Combo4->setObjectName(QStringLiteral("Combo4"));
    p->addWidget(SSFrame2, 0, 0, 1, 2);
    p->addWidget(new QLabel(QStringLiteral("Paper Size:"), paper), 1, 0);
    p->addWidget(Combo3, 1, 1);
    p->addWidget(new QLabel(QStringLiteral("Paper Bin:"), paper), 2, 0);
    p->addWidget(Combo4, 2, 1);
    SSTab1->addTab(paper, QStringLiteral("Margins / Paper"));

    // Tab 2: colour and shading.
    auto* colour = new QWidget;
    auto* c = new QVBoxLayout(colour);
    InColor = new QCheckBox(QStringLiteral("Print in Color"), colour);
    InColor->setObjectName(QStringLiteral("InColor"));
    Frame3 = new QGroupBox(QStringLiteral("Shading"), colour);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Shade1 = new QCheckBox(QStringLiteral("Day Ruler"), Frame3);
    Shade1->setObjectName(QStringLiteral("Shade1"));
    Shade2 = new QCheckBox(QStringLiteral("Coverage"), Frame3);
    Shade2->setObjectName(QStringLiteral("Shade2"));
    Shade = new QComboBox(Frame3);
    Shade->setObjectName(QStringLiteral("Shade"));
    auto* s = new QGridLayout(Frame3);
    s->addWidget(Shade1, 0, 0, 1, 2);
    s->addWidget(Shade2, 1, 0, 1, 2);
    s->addWidget(new QLabel(QStringLiteral("Shade Percent"), Frame3), 2, 0);
    s->addWidget(Shade, 2, 1);
    c->addWidget(InColor);
    c->addWidget(Frame3);
    c->addStretch();
    SSTab1->addTab(colour, QStringLiteral("Color / Shading"));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command5 = new QPushButton(QStringLiteral("Cancel"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    checks_ = new BoxChecks(this);
    for (int i = 0; i < 4; ++i) {
        QLineEdit* box = Margins[static_cast<std::size_t>(i)];
        // A margin is always taken (held to its range), so its check never refuses.
        checks_->Add(box, [this, i] {
            Margins_LostFocus(i);
            return true;
        });
        SelectAllOnFocus(box);
    }
    SelectAllOnFocus(ReportTitle);
    checks_->Exempt(Command5);

    connect(Command1, &QPushButton::clicked, this, &PGSetup::Command1_Click);
    connect(Command5, &QPushButton::clicked, this, &PGSetup::Command5_Click);
    connect(Command3, &QPushButton::clicked, this, &PGSetup::Command3_Click);
    connect(Combo3, &QComboBox::activated, this, &PGSetup::Combo3_Click);
    connect(Combo4, &QComboBox::activated, this, &PGSetup::Combo4_Click);
    connect(CentFlag, &QCheckBox::clicked, this, &PGSetup::CentFlag_Click);
    connect(UseScreenFont, &QCheckBox::clicked, this, &PGSetup::UseScreenFont_Click);
}

void PGSetup::LoadForm()
{
    loading_ = true;
    ReportSettingsRecord& e = RptSettingsEdit;
    const bool shading = e.HasShadingOptions != 0;
    SSTab1->setTabEnabled(2, shading);
    if (shading) {
        Shade1->setChecked(e.ShadeDayRuler != 0);
        Shade2->setChecked(e.ShadeCoverage != 0);
        Shade->addItem(QStringLiteral("Light"), 5);
        Shade->addItem(QStringLiteral("Medium"), 10);
        Shade->addItem(QStringLiteral("Dark"), 20);
        // A percentage the list does not offer leaves it without a choice.
        Shade->setCurrentIndex(Shade->findData(int(e.ShadePercent)));
    }
    SSFrame2->setVisible(e.HasMargins != 0);
    SSTab1->setTabText(1, e.HasMargins != 0 ? QStringLiteral("Margins / Paper") : QStringLiteral("Paper"));

    Combo1->setCurrentIndex(ListIndex(-e.PrintQuality, Combo1->count()));
    Combo2->setCurrentIndex(ListIndex(e.Orientation, Combo2->count()));
    InColor->setChecked(e.PrintInColour != 0);
    CentFlag->setChecked(e.Centimetres != 0);
    UseScreenFont->setChecked(e.UseScreenFont != 0);
    ReportTitle->setText(Runtime::Trim(e.Title.str()));
    ShowMargins();

    // Setting each list's entry tries it on the printer, as choosing it does.
    Combo3->addItems(PaperSizes());
    Combo3->setCurrentIndex(ListIndex(e.Options[15], Combo3->count()));
    Trial(Combo3->currentIndex(), true);
    Combo4->addItems(PaperBins());
    Combo4->setCurrentIndex(ListIndex(e.Options[16], Combo4->count()));
    Trial(Combo4->currentIndex(), false);

    ShowFontSample();
    loading_ = false;
}

// ---------------------------------------------------------------- margins

void PGSetup::ShowMargin(int i)
{
    const double twips = RptSettingsEdit.Margins[i];
    Margins[static_cast<std::size_t>(i)]->setText(
        CentFlag->isChecked()
            ? Runtime::FormatNumber(twips / kTwipsPerCm, QStringLiteral("0.00\\c\\m"))
            : Runtime::FormatNumber(twips / kTwipsPerInch, QStringLiteral("0.00")) + QLatin1Char('"'));
}

void PGSetup::ShowMargins()
{
    for (int i = 0; i < 4; ++i) ShowMargin(i);
}

void PGSetup::Margins_LostFocus(int i)
{
    if (i < 0 || i > 3) return;
    const bool cm = CentFlag->isChecked();
    double v = Runtime::Val(Margins[static_cast<std::size_t>(i)]->text());
    if (v < 0) v = 0;
    // Both caps keep the twips within a 16-bit margin.
    v = std::min(v, cm ? 57.0 : 21.0);
    RptSettingsEdit.Margins[i] = static_cast<Int16>(Runtime::CInt(v * (cm ? kTwipsPerCm : kTwipsPerInch)));
    ShowMargin(i);
}

void PGSetup::CentFlag_Click()
{
    ShowMargins();
}

// ---------------------------------------------------------------- paper and bin

void PGSetup::Trial(int index, bool paper)
{
    PrinterDevice& printer = s_.Printer();
    const auto get = paper ? &PrinterDevice::PaperSize : &PrinterDevice::PaperBin;
    const auto set = paper ? &PrinterDevice::SetPaperSize : &PrinterDevice::SetPaperBin;
    if (index <= 0) {
        (void)(printer.*set)(paper ? s_.SavedPaperSize() : s_.SavedPaperBin());
        printer.KillDoc();
        return;
    }
    const int remembered = (printer.*get)();
    // A size is tried with the bin chosen, which stays set.
    if (paper && Combo4->currentIndex() > 0) (void)printer.SetPaperBin(Combo4->currentIndex());
    if (!(printer.*set)(index)) {
        s_.Msg.beep();
        s_.Msg.show(paper ? QStringLiteral("The current printer does not support this paper size.")
                          : QStringLiteral("The current printer does not support this paper bin."));
    }
    (void)(printer.*set)(remembered);
    printer.KillDoc();
}

void PGSetup::Combo3_Click()
{
    Trial(Combo3->currentIndex(), true);
}

void PGSetup::Combo4_Click()
{
    Trial(Combo4->currentIndex(), false);
}

// ---------------------------------------------------------------- font

void PGSetup::ShowFontSample()
{
    if (UseScreenFont->isChecked()) {
        const ScheduleFormatRecord& f = files_.CurrentFormat;
        RPTFont->setText(
            FontSample(f.ScreenFontName.str(), f.ScreenFontBold != 0, f.ScreenFontItalic != 0, f.ScreenFontSize));
        Command3->setEnabled(false);
    } else {
        const ReportSettingsRecord& e = RptSettingsEdit;
        RPTFont->setText(FontSample(e.FontName.str(), e.FontBold != 0, e.FontItalic != 0, e.FontSize));
        Command3->setEnabled(true);
    }
}

void PGSetup::UseScreenFont_Click()
{
    ShowFontSample();
}

void PGSetup::Command3_Click()
{
    ReportSettingsRecord& e = RptSettingsEdit;
    const FontChoice preset{Runtime::Trim(e.FontName.str()), e.FontSize, e.FontBold != 0, e.FontItalic != 0};
    const FontChoice chosen = s_.Dialogs.Font(preset);
    e.FontName = chosen.name;
    e.FontSize = static_cast<float>(chosen.size);
    e.FontBold = chosen.bold ? kTrue : kFalse;
    e.FontItalic = chosen.italic ? kTrue : kFalse;
    ShowFontSample();
}

// ---------------------------------------------------------------- OK and Cancel

void PGSetup::Command1_Click()
{
    if (!checks_->RunAll() || !AcceptStorableText(ReportTitle, s_.Msg)) return;
    files_.ScheduleModified = true;
    ReportSettingsRecord& e = RptSettingsEdit;
    e.PrintInColour = Flag(InColor);
    e.Centimetres = Flag(CentFlag);
    e.UseScreenFont = Flag(UseScreenFont);
    e.Title = Runtime::Trim(ReportTitle->text()).left(30);
    e.PrintQuality = static_cast<Int16>(-Combo1->currentIndex());
    e.Orientation = static_cast<Int16>(Combo2->currentIndex());
    if (e.HasShadingOptions != 0) {
        e.ShadeDayRuler = Flag(Shade1);
        e.ShadeCoverage = Flag(Shade2);
        // Without a choice (a stored percentage the list lacks) the stored one stays.
        if (Shade->currentIndex() >= 0) e.ShadePercent = static_cast<Int16>(Shade->currentData().toInt());
    }
    e.Options[15] = static_cast<Int16>(Combo3->currentIndex());
    e.Options[16] = static_cast<Int16>(Combo4->currentIndex());
    if (files_.File(FileNo::Formats).isOpen()) {
        (void)files_.WriteRecord(FileNo::Formats, files_.CurrentFormatNo, files_.CurrentFormat);
    }
    accept();
}

void PGSetup::Command5_Click()
{
    reject();
}

void PGSetup::reject()
{
    DialogCancelled = true;
    QDialog::reject();
}

}  // namespace tavrin
