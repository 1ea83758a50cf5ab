#include "analysis/ProjCost.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/EditPay.h"
#include "editing/DateBoxes.h"
#include "editing/NameSelection.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PGSetup.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/ProgressPanel.h"
#include "printing/PrtSched.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// A Letter sheet's long side.
constexpr int kLetterLength = 15840;
constexpr int kLetterTrim = 720;
// Sizes of the page header: the title band is measured at 20 points, drawn at 16.
constexpr double kTitleBandSize = 20;
constexpr double kTitleSize = 16;
constexpr double kSubtitleSize = 12;
// Keeps a damaged stored size from making the fit loop endless.
constexpr int kLargestFontSize = 2048;

const QString kError = QStringLiteral("Error");
const QString kA = QStringLiteral("A");

// The checks of the overtime boxes: refused below `low` or above `high`, then shown as
// `reset`. Thresholds and period days have no lower limit of their own; a negative one would
// price hours as negative overtime, so it is refused too.
struct OvertimeRule {
    const char* name;
    const char* label;
    const char* unit;
    double low;
    const char* lowMessage;
    double high;
    const char* highMessage;
    double reset;
    const char* format;
};

constexpr const char* kBelowZero = "Values below 0 are not valid.";
constexpr const char* kFactorRange = "Only values from .01 to 9.99 are valid.";

constexpr std::array<OvertimeRule, 5> kOvertimeRules{{
    {"ThresDay", "Threshold", "Hours", 0, kBelowZero, 24, "Hourly threshold cannot exceed 24 hours", 8, "#0.00"},
    {"DayOtFactor", "Factor", "", 0.01, kFactorRange, 9.99, kFactorRange, 1.00, "0.00"},
    {"PeriodDays", "Days", "", 0, kBelowZero, 99, "Period days cannot exceed 99 ", 7, "00"},
    {"ThresPeriod", "Threshold", "Hours", 0, kBelowZero, 999.99, "Period threshold cannot exceed 999.99 Hours", 40,
     "##0.00"},
    {"PeriodOTFactor", "Factor", "", 0.01, kFactorRange, 9.99, kFactorRange, 1.50, "0.00"},
}};

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in a box prints nothing by surprise.
    b->setAutoDefault(false);
    return b;
}

QLineEdit* MakeBox(QWidget* parent, const char* name)
{
    auto* b = new QLineEdit(parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// A printer that cannot say its orientation or sheet is not installed or not usable.
bool PrinterUsable(PrinterDevice& printer)
{
    return printer.Orientation() && printer.Height() > 0;
}

}  // namespace

// ---------------------------------------------------------------- layout

CostTrims CostReportTrims(int orientation, int pageWidth, int pageHeight)
{
    const bool letter =
        (orientation == 1 && pageHeight == kLetterLength) || (orientation == 2 && pageWidth == kLetterLength);
    return letter ? CostTrims{kLetterTrim, kLetterTrim} : CostTrims{};
}

CostLayout LayoutCostReport(PrinterDevice& printer, double fontSize, const VbArray<QString, 0, 10>& widest,
                            int pageWidth, int pageHeight, const CostTrims& trims)
{
    CostLayout out;
    // Sizes the printer refuses leave it measuring at the size it has.
    (void)printer.SetFontBold(false);
    (void)printer.SetFontSize(kTitleBandSize);
    out.Band1 = printer.TextHeight(kA) + 60;
    (void)printer.SetFontSize(kSubtitleSize);
    out.Band2 = printer.TextHeight(kA) + 15;
    const double regular = printer.TextHeight(kA);
    (void)printer.SetFontBold(true);
    const double bold = printer.TextHeight(kA);
    out.TableTop = 60 + out.Band1 + out.Band2 + 250 + 2 * bold + Runtime::IntDiv(regular, 2);

    // The font shrinks until the columns fit; at 1 point it stays, fitting or not.
    const double room = pageWidth - trims.Right;
    int size = std::clamp(Runtime::CInt(fontSize), 1, kLargestFontSize);
    for (;;) {
        (void)printer.SetFontSize(size);
        out.W = printer.TextWidth(QStringLiteral("W"));
        out.Width = out.W;
        for (int k = 0; k < kCostColumns; ++k) {
            const auto c = static_cast<std::size_t>(k);
            out.ColumnWidth[c] = printer.TextWidth(widest[k]) + out.W;
            out.Width += out.ColumnWidth[c];
        }
        if (out.Width <= room || size <= 1) break;
        --size;
    }
    out.FontSize = size;
    // A table wider than the sheet starts at its left edge, so that the names stay on the page.
    out.Left = std::max(0, Runtime::IntDiv(room, 2) - Runtime::IntDiv(out.Width, 2));
    out.LinesPerPage = Runtime::IntDiv(pageHeight - trims.Bottom - out.TableTop, printer.TextHeight(kA)) - 5;
    return out;
}

// ---------------------------------------------------------------- the dialog

ProjCost::ProjCost(SchedFiles& files, GridPaint& grid, PrintServices& print, QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), print_(print)
{
    setObjectName(QStringLiteral("ProjCost"));
    setWindowTitle(QStringLiteral("Estimated Cost Report"));
    setModal(true);

    // --- names
    List1 = NewMultiSelectList(this, "List1");
    auto* namesLabel = new QLabel(QStringLiteral("N&ames:"), this);
    namesLabel->setBuddy(List1);
    Command1 = MakeButton(this, "Command1", QStringLiteral("&Select All"));
    Command2 = MakeButton(this, "Command2", QStringLiteral("&Clear All"));
    Command5 = MakeButton(this, "Command5", QStringLiteral("Edit Cost..."));
    Command5->setEnabled(false);
    NumberOfPages = new QLabel(this);
    NumberOfPages->setObjectName(QStringLiteral("NumberOfPages"));
    NumberOfPages->setFrameShape(QFrame::Panel);
    NumberOfPages->setFrameShadow(QFrame::Sunken);

    auto* listButtons = new QHBoxLayout;
    listButtons->setSpacing(0);
    listButtons->addWidget(Command1, 1);
    listButtons->addWidget(Command2, 1);
    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("Names to Print"), this));
    count->addWidget(NumberOfPages, 1);
    auto* names = new QVBoxLayout;
    names->addWidget(namesLabel);
    names->addWidget(List1, 1);
    names->addLayout(listButtons);
    names->addLayout(count);
    names->addWidget(Command5);

    // --- range and copies
    StartDate = MakeBox(this, "StartDate");
    NumDays = MakeBox(this, "NumDays");
    Copies = MakeBox(this, "Copies");
    auto* range = new QGridLayout;
    const auto addRow = [&](int row, const QString& caption, QLineEdit* box) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(box);
        range->addWidget(l, row, 0);
        range->addWidget(box, row, 1);
    };
    addRow(0, QStringLiteral("Starting &Date:"), StartDate);
    addRow(1, QStringLiteral("Number of Da&ys:"), NumDays);
    addRow(2, QStringLiteral("Copies:"), Copies);

    // --- overtime
    ThresDay = MakeBox(this, kOvertimeRules[kThresDay].name);
    DayOtFactor = MakeBox(this, kOvertimeRules[kDayOtFactor].name);
    PeriodDays = MakeBox(this, kOvertimeRules[kPeriodDays].name);
    ThresPeriod = MakeBox(this, kOvertimeRules[kThresPeriod].name);
    PeriodOTFactor = MakeBox(this, kOvertimeRules[kPeriodOTFactor].name);
    const auto frame = [&](const QString& caption, std::initializer_list<OvertimeBox> boxes) {
        auto* f = new QGroupBox(caption, this);
        auto* g = new QGridLayout(f);
        int row = 0;
        for (OvertimeBox b : boxes) {
            const OvertimeRule& rule = kOvertimeRules[static_cast<std::size_t>(b)];
            auto* label = new QLabel(QString::fromLatin1(rule.label), f);
            // A click on the caption goes to its box.
            label->installEventFilter(this);
            boxLabels_[static_cast<std::size_t>(b)] = label;
            g->addWidget(label, row, 0);
            g->addWidget(Box(b), row, 1);
            g->addWidget(new QLabel(QString::fromLatin1(rule.unit), f), row, 2);
            ++row;
        }
        return f;
    };
    QGroupBox* daily = frame(QStringLiteral("Daily Overtime Adjustment"), {kThresDay, kDayOtFactor});
    QGroupBox* period =
        frame(QStringLiteral("Period Overtime Adjustment"), {kPeriodDays, kThresPeriod, kPeriodOTFactor});

    auto* options = new QVBoxLayout;
    options->addLayout(range);
    options->addWidget(daily);
    options->addWidget(period);
    options->addStretch();

    // --- commands
    Command3 = MakeButton(this, "Command3", QStringLiteral("&Print"));
    Command6 = MakeButton(this, "Command6", QStringLiteral("Preview"));
    Command7 = MakeButton(this, "Command7", QStringLiteral("Report Setup..."));
    Command4 = MakeButton(this, "Command4", QStringLiteral("Close"));
    auto* commands = new QVBoxLayout;
    for (QPushButton* b : {Command3, Command6, Command7, Command4}) commands->addWidget(b);
    commands->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(names, 1);
    layout->addLayout(options);
    layout->addLayout(commands);

    // --- the printing panel; its Abort button has nothing to stop: the run holds the dialog
    Picture1 = new ProgressPanel(this);
    Picture1->Panel3D1->setText(QStringLiteral("Printing Report"));
    AbortPrint = MakeButton(Picture1, "AbortPrint", QStringLiteral("Abort"));
    Picture1->layout()->addWidget(AbortPrint);

    // --- checks when a box is left
    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return StartDate_LostFocus(); });
    checks_->Add(NumDays, [this] { return NumDays_LostFocus(); });
    checks_->Add(Copies, [this] { return Copies_LostFocus(); });
    checks_->Add(ThresDay, [this] { return ThresDay_LostFocus(); });
    checks_->Add(DayOtFactor, [this] { return DayOtFactor_LostFocus(); });
    checks_->Add(PeriodDays, [this] { return PeriodDays_LostFocus(); });
    checks_->Add(ThresPeriod, [this] { return ThresPeriod_LostFocus(); });
    checks_->Add(PeriodOTFactor, [this] { return PeriodOTFactor_LostFocus(); });
    checks_->Exempt(Command4);

    for (QWidget* w : {static_cast<QWidget*>(List1), static_cast<QWidget*>(StartDate), static_cast<QWidget*>(NumDays),
                       static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command4)}) {
        w->installEventFilter(this);
    }
    for (int b = 0; b < kOvertimeBoxes; ++b) SelectAllOnFocus(Box(static_cast<OvertimeBox>(b)));

    connect(List1, &QListWidget::itemSelectionChanged, this, &ProjCost::UpdateSelectedCount);
    connect(List1, &QListWidget::itemDoubleClicked, this, &ProjCost::List1_DblClick);
    connect(Command1, &QPushButton::clicked, this, &ProjCost::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &ProjCost::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &ProjCost::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &ProjCost::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ProjCost::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &ProjCost::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &ProjCost::Command7_Click);
}

QLineEdit* ProjCost::Box(OvertimeBox which) const
{
    switch (which) {
        case kThresDay:
            return ThresDay;
        case kDayOtFactor:
            return DayOtFactor;
        case kPeriodDays:
            return PeriodDays;
        case kThresPeriod:
            return ThresPeriod;
        default:
            return PeriodOTFactor;
    }
}

void ProjCost::LoadForm()
{
    Copies->setText(QStringLiteral("1"));
    DialogCancelled = false;
    ShowOvertimeSettings();
    FillNameList();

    // The first tagged day, but a week before the period ends at the latest.
    const SchedulePropertiesRecord& props = files_.ScheduleProps;
    OleDate d = props.PeriodStart + props.FirstVisibleDay + std::max(grid_.FirstTaggedDay, 1) - 1;
    d = std::min(d, props.PeriodEnd - 6);
    StartTextAtOpen = Runtime::FormatDate(d, files_.DateFormat);
    StartDate->setText(StartTextAtOpen);
    DayCount = std::clamp(grid_.DaysTagged(), 1, kMaxVisibleDays);
    NumDays->setText(QString::number(DayCount));
    UpdateSelectedCount();

    adjustSize();
    grid_.CenterFormOnMainForm(this);
}

void ProjCost::ShowOvertimeSettings()
{
    const EmployeeTable& emp = files_.EmpTable;
    const double values[kOvertimeBoxes] = {emp.DailyOTThreshold, emp.DailyOTFactor, double(emp.OTPeriodDays),
                                           emp.PeriodOTThreshold, emp.PeriodOTFactor};
    for (int b = 0; b < kOvertimeBoxes; ++b) {
        Box(static_cast<OvertimeBox>(b))
            ->setText(Runtime::FormatNumber(values[b], QString::fromLatin1(kOvertimeRules[std::size_t(b)].format)));
    }
}

void ProjCost::FillNameList()
{
    const EmployeeTable& emp = files_.EmpTable;
    const QSignalBlocker block(List1);
    List1->clear();
    CostListRow.clear();
    for (int row = 1; row <= kSlots; ++row) {
        const QString name = Runtime::Trim(emp.Name[row].str());
        // Blank rows and dividers have no pay.
        if (name.compare(QStringLiteral(" ")) <= 0 || name.startsWith(u'/')) continue;
        List1->addItem(CostListEntryText(emp, row));
        CostListRow.push_back(row);
    }
    if (List1->count() > 0) List1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void ProjCost::UpdateSelectedCount()
{
    const auto n = static_cast<int>(List1->selectedItems().size());
    NumberOfPages->setText(Runtime::Str(n));
    Command3->setEnabled(n >= 1);
    Command6->setEnabled(n >= 1);
}

// ---------------------------------------------------------------- boxes

bool ProjCost::CheckOvertimeBox(OvertimeBox which)
{
    const OvertimeRule& rule = kOvertimeRules[static_cast<std::size_t>(which)];
    QLineEdit* box = Box(which);
    const QString format = QString::fromLatin1(rule.format);
    const double v = Runtime::Val(box->text());
    bool ok = true;
    if (v < rule.low || v > rule.high) {
        files_.Msg().beep();
        files_.Msg().show(QString::fromLatin1(v < rule.low ? rule.lowMessage : rule.highMessage), Mb::Exclamation,
                          kError);
        box->setText(Runtime::FormatNumber(rule.reset, format));
        ok = false;
    }
    box->setText(Runtime::FormatNumber(Runtime::Val(box->text()), format));
    const double shown = Runtime::Val(box->text());

    EmployeeTable& emp = files_.EmpTable;
    const auto store = [this](auto& field, auto value) {
        if (field != value) files_.ScheduleModified = true;
        field = value;
    };
    switch (which) {
        case kThresDay:
            store(emp.DailyOTThreshold, static_cast<float>(shown));
            break;
        case kDayOtFactor:
            store(emp.DailyOTFactor, static_cast<float>(shown));
            break;
        case kPeriodDays:
            store(emp.OTPeriodDays, static_cast<Int16>(Runtime::CInt(shown)));
            break;
        case kThresPeriod:
            store(emp.PeriodOTThreshold, static_cast<float>(shown));
            break;
        default:
            store(emp.PeriodOTFactor, static_cast<float>(shown));
            break;
    }
    return ok;
}

bool ProjCost::ThresDay_LostFocus()
{
    return CheckOvertimeBox(kThresDay);
}

bool ProjCost::DayOtFactor_LostFocus()
{
    return CheckOvertimeBox(kDayOtFactor);
}

bool ProjCost::PeriodDays_LostFocus()
{
    return CheckOvertimeBox(kPeriodDays);
}

bool ProjCost::ThresPeriod_LostFocus()
{
    return CheckOvertimeBox(kThresPeriod);
}

bool ProjCost::PeriodOTFactor_LostFocus()
{
    return CheckOvertimeBox(kPeriodOTFactor);
}

bool ProjCost::StartDate_LostFocus()
{
    return AcceptTypedDate(StartDate, StartTextAtOpen, files_.Msg(), files_.DateFormat);
}

bool ProjCost::NumDays_LostFocus()
{
    const double v = Runtime::Val(NumDays->text());
    if (v < 1 || v > kMaxVisibleDays) {
        files_.Msg().beep();
        files_.Msg().show(v < 1 ? QStringLiteral("Number of days must be greater than zero.")
                                : QStringLiteral("Number of days cannot be greater than 42."),
                          Mb::Exclamation, kError);
        NumDays->setText(QString::number(DayCount));
        return false;
    }
    DayCount = Runtime::CInt(v);
    if (v != DayCount) NumDays->setText(QString::number(DayCount));
    return true;
}

bool ProjCost::Copies_LostFocus()
{
    if (std::fabs(Runtime::Val(Copies->text())) < 1) Copies->setText(QStringLiteral("1"));
    return true;
}

// ---------------------------------------------------------------- list and buttons

void ProjCost::Command1_Click()
{
    List1->selectAll();
    UpdateSelectedCount();
}

void ProjCost::Command2_Click()
{
    List1->clearSelection();
    UpdateSelectedCount();
}

void ProjCost::List1_DblClick()
{
    EditEmployeeCost();
}

void ProjCost::Command5_Click()
{
    EditEmployeeCost();
    List1->setFocus(Qt::OtherFocusReason);
}

void ProjCost::EditEmployeeCost()
{
    const int i = List1->currentRow();
    if (i < 0 || i >= static_cast<int>(CostListRow.size())) return;
    tavrin::EditEmployeeCost(files_, grid_, CostListRow[static_cast<std::size_t>(i)], List1->item(i), this);
}

void ProjCost::Command7_Click()
{
    ReportSettingsRecord& block = files_.ScheduleProps.CostReportSettings;
    PGSetup dlg(print_, files_, block, this);
    // This report is always printed in the report font.
    dlg.UseScreenFont->hide();
    grid_.PositionDialogOverForm(this, &dlg);
    dlg.exec();
    if (!dlg.DialogCancelled) {
        block = dlg.RptSettingsEdit;
        files_.ScheduleModified = true;
    }
    DialogCancelled = false;
}

void ProjCost::Command4_Click()
{
    reject();
}

void ProjCost::reject()
{
    // Close, Esc and the close box; not while a run holds the dialog.
    if (!isEnabled()) return;
    // The overtime boxes store their values as they are left, and closing leaves them: a value
    // typed last is kept, or refused with its message, and then the dialog stays open.
    for (int b = 0; b < kOvertimeBoxes; ++b) {
        QLineEdit* box = Box(static_cast<OvertimeBox>(b));
        if (box->isModified() && !checks_->Run(box)) return;
    }
    DialogCancelled = true;
    QDialog::reject();
}

void ProjCost::showEvent(QShowEvent* e)
{
    SetBusyPointer(false);
    QDialog::showEvent(e);
}

bool ProjCost::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        // Edit Cost... acts on the list's current entry, so it is offered while the list is in use.
        if (watched == List1) {
            Command5->setEnabled(true);
        } else if (watched == StartDate || watched == NumDays || watched == Command1 || watched == Command2 ||
                   watched == Command3 || watched == Command4) {
            Command5->setEnabled(false);
        }
    } else if (e->type() == QEvent::MouseButtonPress) {
        for (int b = 0; b < kOvertimeBoxes; ++b) {
            if (watched == boxLabels_[static_cast<std::size_t>(b)]) {
                Box(static_cast<OvertimeBox>(b))->setFocus(Qt::MouseFocusReason);
                return true;
            }
        }
    } else if (e->type() == QEvent::KeyPress && watched == List1) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            List1_DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

// ---------------------------------------------------------------- printing

void ProjCost::Command3_Click()
{
    // Enter on a button moves no focus, so the boxes are checked here too.
    if (!checks_->RunAll()) return;
    PrintReport();
}

void ProjCost::Command6_Click()
{
    if (!checks_->RunAll()) return;
    PreviewRec& rec = print_.Rec;
    PrinterDevice& printer = print_.Printer();
    rec.PreviewMode = true;
    rec.PreviewTextNudgeX = 0;
    rec.PrinterOffsetX =
        Runtime::CInt(printer.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETX) * printer.TwipsPerPixelX());
    rec.PrinterOffsetY =
        Runtime::CInt(printer.GetDeviceCaps(PrinterDevice::PHYSICALOFFSETY) * printer.TwipsPerPixelY());
    PrintReport();
}

void ProjCost::ShowRunError(const QString& text)
{
    files_.Msg().beep();
    files_.Msg().show(text, Mb::Exclamation, kError);
}

void ProjCost::PrintReport()
{
    PreviewRec& rec = print_.Rec;
    QApplication::processEvents();
    Picture1->SetPercent(0);
    // The box checks have accepted the date.
    StartDay = TypedDate(StartDate).value_or(0);
    const int n = DayCount;
    const SchedulePropertiesRecord& props = files_.ScheduleProps;
    if (StartDay < props.PeriodStart || StartDay > props.PeriodEnd - (n - 1)) {
        ShowRunError(QStringLiteral("Data not available for date entered"));
        StartDate->setText(StartTextAtOpen);
        StartDate->setFocus(Qt::OtherFocusReason);
        rec.PreviewMode = false;
        return;
    }
    EndDay = StartDay + n - 1;

    Command3->setEnabled(false);
    setEnabled(false);
    SetBusyPointer(true);
    PrinterDevice& printer = print_.Printer();
    // A printing system that does not answer is said so, before any other word on the printer.
    if (const Status ready = printer.Ready(); !ready) {
        ShowPrinterError(print_.Msg, ready.message());
        SetBusyPointer(false);
        setEnabled(true);
        Command3->setEnabled(true);
        rec.PreviewMode = false;
        return;
    }
    if (!PrinterUsable(printer)) {
        ShowRunError(
            QStringLiteral("Tavrin cannot access the printer.  Please make sure that a default printer has "
                           "been set up.  See your system's printer settings for more information."));
        SetBusyPointer(false);
        setEnabled(true);
        Command3->setEnabled(true);
        rec.PreviewMode = false;
        return;
    }

    Picture1->Begin(QStringLiteral("Printing Report"), Command3);
    {
        const ReportSettingsRecord& settings = props.CostReportSettings;
        PrtSched run(print_);
        bool failed = false;
        // A refused setting has had its message; the report prints with what the printer has.
        run.SetupPrinter(PageSetup::From(settings, Copies->text(), kSubtitleSize), failed);
        const QString fontName = Runtime::Trim(settings.FontName.str());
        (void)printer.SetFontName(fontName);

        pageWidth_ = printer.Width();
        pageHeight_ = printer.Height();
        const Result<int> orientation = printer.Orientation();
        Trims = CostReportTrims(orientation ? *orientation : 0, pageWidth_, pageHeight_);

        // The columns are sized by their widest texts in the report font, bold.
        (void)printer.SetFontBold(true);
        CostReportRequest request;
        request.Start = StartDay;
        request.Days = n;
        for (int i = 0; i < List1->count(); ++i) {
            if (List1->item(i)->isSelected()) request.Rows.push_back(CostListRow[static_cast<std::size_t>(i)]);
        }
        const Result<CostReportOutcome> built = BuildCostReportFile(
            files_, request, [&printer](const QString& t) { return printer.TextWidth(t); },
            [this](int percent) { Picture1->SetPercent(percent); });
        Result<std::vector<QString>> lines =
            built ? ReadCostReportFile(files_) : Result<std::vector<QString>>(built.status());
        if (!lines) {
            ShowRunError(lines.status().message());
        } else {
            LineCount = built->LineCount;
            Layout =
                LayoutCostReport(printer, settings.FontSize, built->WidestColumnText, pageWidth_, pageHeight_, Trims);
            Picture1->Panel3D1->setText(QStringLiteral("Printing Report"));
            Picture1->SetPercent(0);
            PrintCostReport(run, *lines);
        }
    }
    Picture1->End();
    UpdateSelectedCount();
}

void ProjCost::Rule(PrtSched& run, double y)
{
    run.Line(0, y, pageWidth_ - Trims.Right, y);
}

void ProjCost::PrintCostReport(PrtSched& run, const std::vector<QString>& lines)
{
    if (!run.BeginRun()) {
        run.Finish(false);
        return;
    }
    PrinterDevice& printer = run.Printer();
    const QString title = Runtime::Trim(files_.ScheduleProps.CostReportSettings.Title.str());
    const QString rangeText = Runtime::FormatDate(StartDay, QStringLiteral("Long Date")) + QStringLiteral(" to ") +
                              Runtime::FormatDate(EndDay, QStringLiteral("Long Date"));
    PageNumber = 0;
    const ReportLine header = lines.empty() ? ReportLine() : SplitReportLine(lines.front());

    const auto printFields = [&](const ReportLine& line, double y, bool alignNumbers) {
        double x = Layout.Left;
        for (int k = 0; k < kCostColumns && !run.PrtStopped; ++k) {
            const QString& text = line.Fields[k];
            const double width = Layout.ColumnWidth[static_cast<std::size_t>(k)];
            // Name, position and type from the column's left; the figures end a W inside its right.
            printer.CurrentX = alignNumbers && k >= 3 ? x + width - printer.TextWidth(text) - Layout.W : x;
            printer.CurrentY = y;
            run.PrintText(text);
            x += width;
        }
    };

    double y = 0;
    int counter = 0;
    int read = 0;
    for (std::size_t i = 1; i < lines.size() && !run.PrtStopped; ++i) {
        if (i == 1 || counter > Layout.LinesPerPage) {
            counter = 1;
            if (i > 1) run.NewPage();
            PrintPageHeader(run, title, rangeText, y);
            y += 250;
            run.FontSize(Layout.FontSize);
            run.FontBold(true);
            Rule(run, y);
            y += 0.3 * printer.TextHeight(kA);
            printFields(header, y, false);
            y += 1.3 * printer.TextHeight(kA);
            run.FontBold(false);
            Rule(run, y);
            y += Runtime::IntDiv(printer.TextHeight(kA), 2);
            if (run.PrtStopped) break;
        }
        ++counter;
        ++read;
        Picture1->SetPercent(LineCount > 0 ? read * 100 / LineCount : 0);
        const ReportLine line = SplitReportLine(lines[i]);
        const double th = printer.TextHeight(kA);
        if (line.Fields[0] == QLatin1String("TOTALS")) {
            y += 0.2 * th;
            Rule(run, y);
            y += 0.2 * th;
        }
        printFields(line, y, true);
        y += th;
    }
    Picture1->SetPercent(100);
    // The pages are ended between pages only, so the last one is counted here.
    run.Finish(!run.PrtStopped, true);
}

void ProjCost::PrintPageHeader(PrtSched& run, const QString& title, const QString& rangeText, double& y)
{
    print_.Rec.ReportTitle = title;
    PrinterDevice& printer = run.Printer();
    if (!run.Preview()) {
        // Starts the page on the printer before the texts in rectangles.
        printer.CurrentX = 0;
        printer.CurrentY = 0;
        run.PrintText(QStringLiteral(" "));
    }
    (void)printer.SetFontName(Runtime::Trim(files_.ScheduleProps.CostReportSettings.FontName.str()));
    run.FontBold(false);
    run.FontItalic(false);
    run.FontSize(kTitleSize);
    y = 60;
    const PixelRect r = run.PrinterRect(0, 60, pageWidth_, 60 + Layout.Band1 + Layout.Band2);
    run.DrawText(title, r, Surface::DT_CENTER | Surface::DT_SINGLELINE);
    run.FontSize(kSubtitleSize);
    ++PageNumber;
    run.DrawRunLines(r, files_.DateFormat, grid_.TimeFormat, PageNumber, rangeText);
    y = 60 + Layout.Band1 + Layout.Band2;
    printer.CurrentX = 0;
    printer.CurrentY = y;
}

}  // namespace tavrin
