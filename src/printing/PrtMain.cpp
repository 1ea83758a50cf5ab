#include "printing/PrtMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/BoxChecks.h"
#include "platform/BusyPointer.h"
#include "platform/DateRange.h"
#include "platform/DialogControls.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "printing/Export.h"
#include "printing/PGSetup.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "printing/ProgressPanel.h"
#include "printing/SortSel.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

const QString kError = QStringLiteral("Error");

// A date without its time of day, held to the dates a file can hold.
OleDate WholeDate(OleDate d)
{
    return std::floor(OleDates::Clamped(d));
}

}  // namespace

PrtMain::PrtMain(PrtMainServices services, QWidget* parent) : QDialog(parent), s_(std::move(services)), files_(s_.files)
{
    setObjectName(QStringLiteral("PrtMain"));
    setModal(true);
    BuildControls();
    LoadForm();
}

PrtMain::~PrtMain()
{
    // A view lent to a run is never left behind.
    if (lent_) RestoreView();
}

void PrtMain::BuildControls()
{
    const auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
    };
    const auto check = [this](QCheckBox*& b, const char* name, const char* caption) {
        b = new QCheckBox(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
    };

    Frame1 = new QGroupBox(QStringLiteral("Days to Print"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    static const char* const kRanges[3] = {"Same as Screen", "Current Month", "Selected"};
    auto* range = new QGridLayout(Frame1);
    for (int i = 0; i < 3; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(kRanges[i]), Frame1);
        o->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        range->addWidget(o, i, 0, 1, 2);
        Option1[static_cast<std::size_t>(i)] = o;
        connect(o, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    StartDate = new QLineEdit(Frame1);
    StartDate->setObjectName(QStringLiteral("StartDate"));
    NumDays = new QLineEdit(Frame1);
    NumDays->setObjectName(QStringLiteral("NumDays"));
    range->addWidget(new QLabel(QStringLiteral("Start Date"), Frame1), 3, 0);
    range->addWidget(StartDate, 3, 1);
    range->addWidget(new QLabel(QStringLiteral("Number of Days"), Frame1), 4, 0);
    range->addWidget(NumDays, 4, 1);

    auto* namesLabel = new QLabel(QStringLiteral("N&ames:"), this);
    SelectedEmps = new QListWidget(this);
    SelectedEmps->setObjectName(QStringLiteral("SelectedEmps"));
    SelectedEmps->setSelectionMode(QAbstractItemView::MultiSelection);
    namesLabel->setBuddy(SelectedEmps);
    button(Command3, "Command3", "Select All");
    button(Command4, "Command4", "Clear All");
    button(Command8, "Command8", "Sort...[Inactive]");
    button(Command7, "Command7", "Query [none]");

    Copies = new QLineEdit(this);
    Copies->setObjectName(QStringLiteral("Copies"));
    Copies->setMaxLength(3);
    check(OmitSats, "OmitSats", "Omit Saturdays");
    check(OmitSuns, "OmitSuns", "Omit Sundays");
    check(OmitCover, "OmitCover", "Omit Coverage Totals");
    check(PrintBlank, "PrintBlank", "Blank Schedule");
    NonMatch = new QLabel(QStringLiteral("Non-Matching Cells"), this);
    NonMatch->setObjectName(QStringLiteral("NonMatch"));
    QueryCells = new QComboBox(this);
    QueryCells->setObjectName(QStringLiteral("QueryCells"));
    QueryCells->addItems({QStringLiteral("Omit"), QStringLiteral("Dull"), QStringLiteral("Normal")});

    button(Command1, "Command1", "Print");
    button(Command6, "Command6", "Preview");
    button(Command9, "Command9", "Export...");
    button(Command5, "Command5", "Report Setup...");
    button(Command2, "Command2", "Close");

    // Select All and Clear All side by side under the list, Sort and Query below them.
    auto* names = new QGridLayout;
    names->addWidget(namesLabel, 0, 0, 1, 2);
    names->addWidget(SelectedEmps, 1, 0, 1, 2);
    names->addWidget(Command3, 2, 0);
    names->addWidget(Command4, 2, 1);
    names->addWidget(Command8, 3, 0, 1, 2);
    names->addWidget(Command7, 4, 0, 1, 2);
    names->setVerticalSpacing(1);

    auto* copies = new QHBoxLayout;
    copies->addWidget(new QLabel(QStringLiteral("Copies:"), this));
    copies->addWidget(Copies);
    auto* options = new QVBoxLayout;
    options->addWidget(Frame1);
    options->addLayout(copies);
    options->addWidget(OmitSats);
    options->addWidget(OmitSuns);
    options->addWidget(OmitCover);
    options->addWidget(PrintBlank);
    options->addWidget(NonMatch);
    options->addWidget(QueryCells);
    options->addStretch();

    auto* commands = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command6, Command9, Command5, Command2}) commands->addWidget(b);
    commands->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(options);
    layout->addLayout(names, 1);
    layout->addLayout(commands);

    Picture1 = new ProgressPanel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));

    // Close needs no valid box; every other control a box loses the focus to checks it.
    checks_ = new BoxChecks(this);
    checks_->Add(StartDate, [this] { return StartDate_LostFocus(); });
    checks_->Add(NumDays, [this] { return NumDays_LostFocus(); });
    checks_->Add(Copies, [this] { return Copies_LostFocus(); });
    checks_->Exempt(Command2);
    SelectAllOnFocus(StartDate);
    SelectAllOnFocus(NumDays);

    connect(StartDate, &QLineEdit::textChanged, this, &PrtMain::StartDate_Change);
    connect(NumDays, &QLineEdit::textChanged, this, &PrtMain::NumDays_Change);
    connect(SelectedEmps, &QListWidget::itemClicked, this, &PrtMain::SelectedEmps_Click);
    connect(SelectedEmps, &QListWidget::itemSelectionChanged, this, &PrtMain::UpdatePrintButtons);
    connect(Command3, &QPushButton::clicked, this, &PrtMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PrtMain::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &PrtMain::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &PrtMain::Command8_Click);
    connect(Command5, &QPushButton::clicked, this, &PrtMain::Command5_Click);
    connect(Command1, &QPushButton::clicked, this, &PrtMain::Command1_Click);
    connect(Command6, &QPushButton::clicked, this, &PrtMain::Command6_Click);
    connect(Command9, &QPushButton::clicked, this, &PrtMain::Command9_Click);
    connect(Command2, &QPushButton::clicked, this, &PrtMain::Command2_Click);

    // The boxes store their values in the format record at once.
    connect(OmitSats, &QCheckBox::toggled, this, [this](bool on) {
        files_.CurrentFormat.PrintSettings.Options[1] = on ? 1 : 0;
        files_.ScheduleModified = true;
    });
    connect(OmitSuns, &QCheckBox::toggled, this, [this](bool on) {
        files_.CurrentFormat.PrintSettings.Options[2] = on ? 1 : 0;
        files_.ScheduleModified = true;
    });
    connect(OmitCover, &QCheckBox::toggled, this, [this](bool on) {
        files_.CurrentFormat.OmitCoverageTotals = on ? kTrue : kFalse;
        files_.ScheduleModified = true;
    });
    connect(QueryCells, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) files_.CurrentFormat.NonMatchingCellsMode = static_cast<Int16>(index);
    });
}

void PrtMain::LoadForm()
{
    ScheduleFormatRecord& fmt = files_.CurrentFormat;
    Copies->setText(QStringLiteral("1"));
    const bool modified = files_.ScheduleModified;
    loaded = false;

    SetCaption();
    s_.grid.CenterFormOnScreen(this);

    // Rows hidden from reports are not offered.
    for (int row = 1; row <= kSlots; ++row) {
        const QString name = Runtime::Trim(files_.EmpTable.Name[row].str());
        if (name.isEmpty()) continue;
        QString text;
        if (name.startsWith(QLatin1Char('/'))) {
            DividerPropertiesRecord d;
            const int slot = files_.ScheduleProps.RowMap[row];
            if (!IsSlot(slot) || !files_.ReadRecord(FileNo::Dividers, slot, d)) continue;
            if (d.HideOnReports != 0) continue;
            const QString caption = Runtime::Trim(d.Caption.str());
            text =
                caption.isEmpty() ? QStringLiteral("  <divider>") : QStringLiteral("  <") + caption + QLatin1Char('>');
        } else {
            text = name + QStringLiteral(", ") + Runtime::Trim(files_.EmpTable.Position[row].str());
        }
        auto* item = new QListWidgetItem(text, SelectedEmps);
        item->setData(Qt::UserRole, row);
    }
    if (SelectedEmps->count() > 0) SelectedEmps->setCurrentItem(SelectedEmps->item(0), QItemSelectionModel::NoUpdate);

    const int option = fmt.DaysToPrint >= 0 && fmt.DaysToPrint <= 2 ? fmt.DaysToPrint : 0;
    Option1[static_cast<std::size_t>(option)]->setChecked(true);
    Option1_Click(option);

    OmitSats->setChecked(fmt.PrintSettings.Options[1] != 0);
    OmitSuns->setChecked(fmt.PrintSettings.Options[2] != 0);
    OmitCover->setChecked(fmt.OmitCoverageTotals != 0);
    OmitCover->setEnabled(s_.grid.CoverageVisible);

    if (const Status flushed = files_.FlushWorkingData(); !flushed)
        files_.Msg().show(flushed.message(), Mb::Exclamation, kError);
    UpdateQueryButton();
    if (CheckedQueryNo(fmt.PrintQueryNumber) > 0) ApplyQuery();

    lastStart = BoxStart().value_or(0);
    lastDays = BoxDays();
    loaded = true;
    const int mode = fmt.NonMatchingCellsMode >= 0 && fmt.NonMatchingCellsMode <= 2 ? fmt.NonMatchingCellsMode : 0;
    QueryCells->setCurrentIndex(mode);
    // Opening the dialog is no change of the schedule.
    files_.ScheduleModified = modified;

    CheckOmits();
    UpdateSortButton();
    UpdatePrintButtons();
}

void PrtMain::SetCaption()
{
    QString caption = QStringLiteral("Print - ") + Runtime::Trim(files_.CurrentFormat.PrintSettings.Title.str());
    if (queryShown_) caption += QLatin1Char('[') + Runtime::Trim(queryBuf_.Title.str()) + QLatin1Char(']');
    setWindowTitle(caption);
}

void PrtMain::WriteFormat()
{
    const Status s =
        files_.WriteRecord(FileNo::Formats, std::clamp(files_.CurrentFormatNo, 1, kFormats), files_.CurrentFormat);
    if (!s) files_.Msg().show(s.message(), Mb::Exclamation, kError);
}

std::optional<OleDate> PrtMain::BoxStart() const
{
    if (const auto d = Runtime::ParseDate(StartDate->text())) return WholeDate(*d);
    return std::nullopt;
}

int PrtMain::BoxDays() const
{
    return Runtime::CInt(Runtime::Val(NumDays->text()));
}

// ---------------------------------------------------------------- range of days

void PrtMain::Option1_Click(int index)
{
    if (index < 0 || index > 2) return;
    ScheduleFormatRecord& fmt = files_.CurrentFormat;
    files_.ScheduleModified = true;
    fmt.DaysToPrint = static_cast<Int16>(index);
    WriteFormat();
    if (!Option1[static_cast<std::size_t>(index)]->isChecked())
        Option1[static_cast<std::size_t>(index)]->setChecked(true);

    const OleDate first = WholeDate(files_.ScheduleProps.PeriodStart) + files_.ScheduleProps.FirstVisibleDay;
    const OleDate tagged = first + std::max(s_.grid.FirstTaggedDay, 1) - 1;
    OleDate start = first;
    int days = 1;
    switch (index) {
        case 0:
            days = std::clamp<int>(fmt.DaysOnScreen, 1, kMaxVisibleDays);
            break;
        case 1: {
            start = Runtime::DateSerial(Runtime::Year(tagged), Runtime::Month(tagged), 1);
            days = static_cast<int>(Runtime::DateSerial(Runtime::Year(tagged), Runtime::Month(tagged) + 1, 1) - start);
            break;
        }
        default:
            start = tagged;
            days = s_.grid.DaysTagged();
            break;
    }
    StartDate->setEnabled(index == 2);
    NumDays->setEnabled(index == 2);
    StartDate->setText(Runtime::FormatDate(start, files_.DateFormat));
    NumDays->setText(QString::number(days));
    if (index == 2) StartDate->setFocus();
    lastStartText = StartDate->text();
    lastDaysText = NumDays->text();
    QueryClear();
}

void PrtMain::StartDate_Change()
{
    QueryClear();
}

void PrtMain::NumDays_Change()
{
    QueryClear();
    CheckOmits();
}

bool PrtMain::StartDate_LostFocus()
{
    const QString text = StartDate->text();
    if (const auto d = Runtime::ParseDate(text)) {
        StartDate->setText(Runtime::FormatDate(WholeDate(*d), files_.DateFormat));
        lastStartText = StartDate->text();
        return true;
    }
    MsgBox& msg = files_.Msg();
    msg.beep();
    msg.show(QStringLiteral("The date entered ") + text + QStringLiteral(" is not a valid date."), Mb::Exclamation,
             kError);
    const auto good = Runtime::ParseDate(lastStartText);
    StartDate->setText(good ? Runtime::FormatDate(WholeDate(*good), files_.DateFormat) : lastStartText);
    StartDate->setFocus();
    return false;
}

bool PrtMain::NumDays_LostFocus()
{
    const double v = Runtime::Val(NumDays->text());
    MsgBox& msg = files_.Msg();
    if (v < 1) {
        msg.beep();
        msg.show(QStringLiteral("Number of days must be greater than zero."), Mb::OKOnly, kError);
    } else if (v > kMaxVisibleDays) {
        msg.show(QStringLiteral("Number of days cannot be greater than 42."), Mb::OKOnly, kError);
    } else {
        lastDaysText = NumDays->text();
        return true;
    }
    NumDays->setText(lastDaysText);
    NumDays->setFocus();
    return false;
}

bool PrtMain::Copies_LostFocus()
{
    if (std::abs(Runtime::Val(Copies->text())) < 1) Copies->setText(QStringLiteral("1"));
    return true;
}

void PrtMain::QueryClear()
{
    if (!loaded) return;
    const std::optional<OleDate> start = BoxStart();
    if (!start) return;
    const int days = BoxDays();
    if (CheckedQueryNo(files_.CurrentFormat.PrintQueryNumber) == 0) {
        lastStart = *start;
        lastDays = days;
        return;
    }
    if (*start == lastStart && days == lastDays) return;
    // The names the query chose belong to the old range.
    files_.Msg().beep();
    files_.Msg().show(QStringLiteral("Queries will be reset after this change."), Mb::OKOnly,
                      QStringLiteral("Please Note"));
    lastStart = *start;
    lastDays = days;
    Command4_Click();
}

void PrtMain::CheckOmits()
{
    const int n = BoxDays();
    if (n < 1) return;
    if (n < 6) {
        // Fewer than six days may hold no weekday but the omitted ones.
        ReportSettingsRecord& ps = files_.CurrentFormat.PrintSettings;
        if (ps.Options[1] != 0 || ps.Options[2] != 0) {
            ps.Options[1] = 0;
            ps.Options[2] = 0;
            files_.ScheduleModified = true;
        }
        const bool modified = files_.ScheduleModified;
        OmitSats->setChecked(false);
        OmitSuns->setChecked(false);
        files_.ScheduleModified = modified;
        OmitSats->setEnabled(false);
        OmitSuns->setEnabled(false);
        return;
    }
    OmitSats->setEnabled(true);
    OmitSuns->setEnabled(true);
}

// ---------------------------------------------------------------- names, query and sort

void PrtMain::SelectedEmps_Click()
{
    UpdatePrintButtons();
}

void PrtMain::UpdatePrintButtons()
{
    const bool any = !SelectedEmps->selectedItems().isEmpty();
    for (QPushButton* b : {Command1, Command6, Command9}) b->setEnabled(any);
}

void PrtMain::Command3_Click()
{
    files_.ScheduleModified = true;
    SelectedEmps->selectAll();
    UpdatePrintButtons();
}

void PrtMain::Command4_Click()
{
    files_.ScheduleModified = true;
    SelectedEmps->clearSelection();
    files_.CurrentFormat.PrintQueryNumber = 0;
    UpdateQueryButton();
    UpdatePrintButtons();
}

void PrtMain::Command7_Click()
{
    ScheduleFormatRecord& fmt = files_.CurrentFormat;
    files_.ScheduleModified = true;
    const int previous = CheckedQueryNo(fmt.PrintQueryNumber);
    const std::optional<int> chosen = s_.pickQuery ? s_.pickQuery(this, previous) : std::nullopt;
    if (chosen) {
        fmt.PrintQueryNumber = static_cast<Int16>(CheckedQueryNo(*chosen));
        WriteFormat();
        UpdateQueryButton();
        if (fmt.PrintQueryNumber > 0)
            ApplyQuery();
        else if (previous > 0)
            Command4_Click();
    }
    SelectedEmps->setFocus();
}

void PrtMain::UpdateQueryButton()
{
    const int n = CheckedQueryNo(files_.CurrentFormat.PrintQueryNumber);
    queryShown_ = n > 0 && files_.ReadRecord(FileNo::Queries, n, queryBuf_);
    if (queryShown_) {
        Command7->setText(QStringLiteral("Query [") + Runtime::Trim(queryBuf_.Title.str()) + QLatin1Char(']'));
        if (!NonMatch->isEnabled()) QueryCells->setCurrentIndex(1);  // Dull
        NonMatch->setEnabled(true);
        QueryCells->setEnabled(true);
    } else {
        Command7->setText(QStringLiteral("Query [none]"));
        NonMatch->setEnabled(false);
        QueryCells->setEnabled(false);
    }
    SetCaption();
}

void PrtMain::ApplyQuery()
{
    const std::optional<OleDate> start = BoxStart();
    if (!queryShown_ || !start) return;
    SetBusyPointer(true);
    const QueryRule rule(queryBuf_, QueryVariant::NameSelection);
    const Result<QueryDayCounts> counts = CountQueryMatches(files_, rule, *start, BoxDays());
    SetBusyPointer(false);
    if (!counts) {
        files_.Msg().show(counts.message(), Mb::Exclamation, kError);
        return;
    }
    for (int k = 0; k < SelectedEmps->count(); ++k) {
        QListWidgetItem* item = SelectedEmps->item(k);
        const int row = item->data(Qt::UserRole).toInt();
        item->setSelected(IsSlot(row) && counts->perRow[row] > 0);
    }
    UpdatePrintButtons();
}

void PrtMain::Command8_Click()
{
    SortSel dlg(files_, files_.CurrentFormat.PrintSettings, this);
    s_.grid.PositionDialogOverForm(this, &dlg);
    dlg.exec();
    if (!dlg.DialogCancelled) {
        files_.CurrentFormat.PrintSettings = dlg.RptSettingsEdit;
        WriteFormat();
        UpdateSortButton();
    }
    SelectedEmps->setFocus();
}

void PrtMain::UpdateSortButton()
{
    const ReportSettingsRecord& ps = files_.CurrentFormat.PrintSettings;
    if (!SortActive(ps)) {
        Command8->setText(QStringLiteral("Sort...[Inactive]"));
        return;
    }
    Command8->setText(QStringLiteral("Sort...[Active]"));
    const std::optional<OleDate> start = BoxStart();
    if (!start) return;
    SortKeySource src;
    src.emp = &files_.EmpTable;
    src.shifts = &files_.ShiftTable;
    src.props = &files_.ScheduleProps;
    src.keys = SortKeysOf(ps);
    src.nameStyle = -1;  // the name as stored: this dialog has no name style
    src.explanationText = s_.explanationText;
    ListWidgetSortable list(*SelectedEmps);
    if (const Status s = SortListForDay(files_, list, src, *start); !s)
        files_.Msg().show(s.message(), Mb::Exclamation, kError);
}

void PrtMain::Command5_Click()
{
    PGSetup dlg(s_.print, files_, files_.CurrentFormat.PrintSettings, this);
    s_.grid.PositionDialogOverForm(this, &dlg);
    dlg.exec();
    if (dlg.DialogCancelled) return;
    files_.CurrentFormat.PrintSettings = dlg.RptSettingsEdit;
    WriteFormat();
    SetCaption();
    UpdateQueryButton();
}

// ---------------------------------------------------------------- print, preview, export

bool PrtMain::CheckRange()
{
    // Enter on a default button moves no focus: the boxes are checked here.
    if (!checks_->RunAll()) return false;
    const std::optional<OleDate> start = BoxStart();
    return !start || !RefuseRangePastLastDate(StartDate, *start, BoxDays(), files_.Msg());
}

void PrtMain::Command1_Click()
{
    if (!CheckRange()) return;
    RunPrintout(false, false, QString());
}

void PrtMain::Command6_Click()
{
    if (!CheckRange()) return;
    PreviewRec& rec = s_.print.Rec;
    rec.PreviewTextNudgeX = 1;
    rec.PreviewMode = true;
    RunPrintout(false, false, QString());
    rec.PreviewTextNudgeX = 0;
    rec.PreviewMode = false;
}

void PrtMain::Command9_Click()
{
    if (!CheckRange()) return;
    Export dlg(files_, s_.print.Dialogs, this);
    s_.grid.PositionDialogOverForm(this, &dlg);
    dlg.exec();
    PreviewRec& rec = s_.print.Rec;
    if (!dlg.DialogCancelled && dlg.TextExportMode) {
        rec.PreviewMode = true;
        RunPrintout(true, dlg.TextExportToFile == 1, dlg.ExportPath);
    }
    rec.PreviewMode = false;
}

void PrtMain::Command2_Click()
{
    reject();
}

void PrtMain::RunPrintout(bool exportText, bool exportToFile, const QString& exportPath)
{
    // The day count last accepted, checked once more.
    const int days = Runtime::CInt(Runtime::Val(lastDaysText));
    const std::optional<OleDate> start = BoxStart();
    MsgBox& msg = files_.Msg();
    if (days < 1 || days > kMaxVisibleDays || !start) {
        msg.show(days > kMaxVisibleDays ? QStringLiteral("Number of days cannot be greater than 42.")
                                        : QStringLiteral("Number of days must be greater than zero."),
                 Mb::OKOnly, kError);
        return;
    }

    Picture1->Begin(exportText ? QStringLiteral("Exporting Data") : QStringLiteral("Printing Report"), Command1);
    const bool lend = files_.CurrentFormat.DaysToPrint != 0;
    if (lend && !LendView(*start, days)) {
        Picture1->End();
        return;
    }

    PrintoutRequest request;
    for (int k = 0; k < SelectedEmps->count(); ++k) {
        const QListWidgetItem* item = SelectedEmps->item(k);
        if (item->isSelected()) request.rows.push_back(item->data(Qt::UserRole).toInt());
    }
    request.blank = PrintBlank->isChecked();
    request.copies = Copies->text();
    TextExport text(files_.ScheduleProps.ReportSettings[kExportSettingsBlock].Options);
    if (exportText) request.text = &text;
    request.progress = [this](int percent) { Picture1->SetPercent(percent); };

    SchedulePrintout printout(s_.print, files_, s_.grid, s_.explanationText);
    LastOutcome = printout.PrintSchedule(request);
    if (lend) RestoreView();

    if (exportText && LastOutcome == SchedulePrintout::Outcome::Done) {
        if (const Status s = DeliverExportText(text.TextOut, exportToFile, exportPath); !s)
            msg.show(s.message(), Mb::Exclamation, kError);
    }
    Picture1->End();
}

bool PrtMain::LendView(OleDate start, int days)
{
    MsgBox& msg = files_.Msg();
    if (const Status flushed = files_.FlushWorkingData(); !flushed) {
        msg.show(flushed.message(), Mb::Exclamation, kError);
        return false;
    }
    SchedulePropertiesRecord& props = files_.ScheduleProps;
    savedPeriodStart_ = props.PeriodStart;
    savedPeriodEnd_ = props.PeriodEnd;
    savedFirstVisibleDay_ = props.FirstVisibleDay;
    savedDaysOnScreen_ = files_.CurrentFormat.DaysOnScreen;
    savedVisibleDays_ = files_.VisibleDays;
    lent_ = true;
    files_.ViewLent = true;

    const OleDate periodStart = WholeDate(savedPeriodStart_);
    const OleDate periodEnd = WholeDate(savedPeriodEnd_);
    props.PeriodStart = start;
    props.FirstVisibleDay = 0;
    props.PeriodEnd = start + days - 1;
    files_.CurrentFormat.DaysOnScreen = static_cast<Int16>(days);
    files_.VisibleDays = days;
    // Days inside the remembered period come from the day file, the others are empty; none is
    // ever written back.
    for (int c = 1; c <= days; ++c) {
        const OleDate date = start + c - 1;
        files_.ColumnSlot[c] = c;
        files_.SlotDirty[c] = 0;
        files_.SlotDayNo[c] = 0;
        files_.DayCache[c] = DayRecord{};
        if (date < periodStart || date > periodEnd) continue;
        const int record = static_cast<int>(date - periodStart) + 1;
        if (const Status read = files_.ReadRecord(FileNo::Days, record, files_.DayCache[c]); !read) {
            RestoreView();
            msg.show(read.message(), Mb::Exclamation, kError);
            return false;
        }
        files_.SlotDayNo[c] = record;
    }
    return true;
}

void PrtMain::RestoreView()
{
    if (!lent_) return;
    lent_ = false;
    files_.ViewLent = false;
    SchedulePropertiesRecord& props = files_.ScheduleProps;
    props.PeriodStart = savedPeriodStart_;
    props.PeriodEnd = savedPeriodEnd_;
    props.FirstVisibleDay = savedFirstVisibleDay_;
    files_.CurrentFormat.DaysOnScreen = savedDaysOnScreen_;
    files_.VisibleDays = savedVisibleDays_;
    if (const Status s = files_.LoadVisibleDays(); !s) files_.Msg().show(s.message(), Mb::Exclamation, kError);
    // The printout counted its own days into the coverage table.
    s_.grid.DrawCoverageCounts(1, files_.VisibleDays, true);
}

}  // namespace tavrin
