#include "reports/ReportDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <span>

#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "platform/BoxChecks.h"
#include "platform/DateRange.h"
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
#include "printing/SortSel.h"
#include "store/CellCodes.h"
#include "store/Defaults.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr double kTitleFontSize = 16;
constexpr double kSubtitleFontSize = 12;
const QString kError = QStringLiteral("Error");

}  // namespace

ReportDialog::ReportDialog(const ReportContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setModal(true);
    checks_ = new BoxChecks(this);
}

ReportDialog::~ReportDialog() = default;

// ---------------------------------------------------------------- building

void ReportDialog::MakeCopiesBox(bool uncorrected)
{
    Copies = new QLineEdit(QStringLiteral("1"), this);
    Copies->setObjectName(QStringLiteral("Copies"));
    Copies->setMaxLength(3);
    Copies->setMinimumWidth(Copies->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    if (!uncorrected) checks_->Add(Copies, [this] { return Copies_LostFocus(); });
}

void ReportDialog::MakeCommandButtons()
{
    Command1 = MakeButton("Command1", QStringLiteral("Print"));
    Command6 = MakeButton("Command6", QStringLiteral("Preview"));
    Command5 = MakeButton("Command5", QStringLiteral("Report Setup..."));
    Command2 = MakeButton("Command2", QStringLiteral("Close"));
    Command1->setDefault(true);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    // Close needs no valid box.
    checks_->Exempt(Command2);
    Picture1 = new ProgressPanel(this);
    connect(Command1, &QPushButton::clicked, this, &ReportDialog::Command1_Click);
    connect(Command6, &QPushButton::clicked, this, &ReportDialog::Command6_Click);
    connect(Command5, &QPushButton::clicked, this, &ReportDialog::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &ReportDialog::Command2_Click);
}

void ReportDialog::MakeRangeBoxes(int maxDays, bool daysCheckedWhenLeft)
{
    maxDays_ = maxDays;
    StartDate = new QLineEdit(this);
    StartDate->setObjectName(QStringLiteral("StartDate"));
    SelectAllOnFocus(StartDate);
    NumDays = new QLineEdit(this);
    NumDays->setObjectName(QStringLiteral("NumDays"));
    NumDays->setMaxLength(2);
    StartDate->setMinimumWidth(StartDate->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")));
    NumDays->setMinimumWidth(NumDays->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    SelectAllOnFocus(NumDays);
    checks_->Add(StartDate, [this] { return StartDate_LostFocus(); });
    if (daysCheckedWhenLeft) checks_->Add(NumDays, [this] { return NumDays_LostFocus(); });
    connect(NumDays, &QLineEdit::textChanged, this, &ReportDialog::NumDays_Change);
}

QGroupBox* ReportDialog::MakeCellContents(std::array<QCheckBox*, 5>& boxes, const QString& onCallCaption)
{
    auto* frame = new QGroupBox(QStringLiteral("&Cell Contents"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* layout = new QVBoxLayout(frame);
    const QString captions[] = {QStringLiteral("Use Abbreviations"), QStringLiteral("Position"), onCallCaption,
                                QStringLiteral("Shift Description"), QStringLiteral("Explanation Description")};
    for (int i = 0; i < 5; ++i) {
        auto* box = new QCheckBox(captions[i], frame);
        box->setObjectName(QStringLiteral("CellOptions(%1)").arg(i));
        layout->addWidget(box);
        boxes[static_cast<std::size_t>(i)] = box;
        connect(box, &QCheckBox::toggled, this, [this, i](bool checked) { StoreCellOption(i, checked); });
    }
    return frame;
}

QComboBox* ReportDialog::MakeNameFormatList(const char* name)
{
    static const char* const kNameFormats[] = {"Default", "John Smith",  "John S.",   "J.Smith",
                                               "JS",      "Smith, John", "Smith, J.", "Smith"};
    auto* list = new QComboBox(this);
    list->setObjectName(QString::fromLatin1(name));
    for (const char* f : kNameFormats) list->addItem(QString::fromLatin1(f));
    return list;
}

void ReportDialog::StoreCellOption(int i, bool checked)
{
    if (loading_) return;
    Block().Options[i + 1] = checked ? 1 : 0;
    MarkModified();
}

bool ReportDialog::StoreNameFormat(int index)
{
    if (loading_ || index < 0 || index == Block().Options[6]) return false;
    Block().Options[6] = static_cast<Int16>(index);
    MarkModified();
    return true;
}

bool ReportDialog::EditSortOrder()
{
    SortSel dlg(Files(), Block(), this);
    Grid().PositionDialogOverForm(this, &dlg);
    dlg.exec();
    if (dlg.DialogCancelled) return false;
    Block() = dlg.RptSettingsEdit;
    return true;
}

QPushButton* ReportDialog::MakeButton(const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* ReportDialog::MakeLabel(const char* name, const char* caption, QWidget* buddy)
{
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    if (buddy) label->setBuddy(buddy);
    return label;
}

SortKeySource ReportDialog::KeySource()
{
    SortKeySource src;
    src.emp = &Files().EmpTable;
    src.shifts = &Files().ShiftTable;
    src.props = &Files().ScheduleProps;
    src.keys = SortKeysOf(Block());
    src.nameStyle = CheckedNameStyle(Block().Options[6]);
    GridHost* host = &Host();
    src.explanationText = [host](int code) { return host->ExplanationListText(code); };
    return src;
}

void ReportDialog::InitRange()
{
    const SchedulePropertiesRecord& p = Files().ScheduleProps;
    OleDate start = PeriodStart() + p.FirstVisibleDay + std::max(Grid().FirstTaggedDay, 1) - 1;
    start = std::min(start, PeriodEnd() - 6);
    StartDate->setText(Runtime::FormatDate(start, Files().DateFormat));
    StartTextAtOpen = StartDate->text();
    DayCount = std::clamp(Grid().DaysTagged(), 1, maxDays_);
    restoringDays_ = true;
    NumDays->setText(QString::number(DayCount));
    restoringDays_ = false;
}

OleDate ReportDialog::StartDateValue() const
{
    if (const auto d = Runtime::ParseDate(StartDate->text())) return std::floor(*d);
    if (const auto d = Runtime::ParseDate(StartTextAtOpen)) return std::floor(*d);
    return PeriodStart();
}

QString ReportDialog::DateRangeText(OleDate first, OleDate last) const
{
    const QString& format = ctx_.files.DateFormat;
    return Runtime::FormatDate(first, format) + QStringLiteral(" to ") + Runtime::FormatDate(last, format);
}

QListWidget* ReportDialog::MakeNameList(QLabel*& label, QPushButton*& selectAll, QPushButton*& clearAll)
{
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("List1"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Room for a name and a position.
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QString(24, QLatin1Char('n'))));
    label = MakeLabel("Label4", "N&ames:", list);
    selectAll = MakeButton("Command3", QStringLiteral("Select All"));
    clearAll = MakeButton("Command4", QStringLiteral("Clear All"));
    return list;
}

QGridLayout* ReportDialog::MakeRangeRows(QLabel*& startLabel, QLabel*& daysLabel)
{
    MakeRangeBoxes(42, true);
    startLabel = MakeLabel("Label1", "Start Date:", StartDate);
    daysLabel = MakeLabel("Label3", "Number of Days:", NumDays);
    auto* rows = new QGridLayout;
    rows->addWidget(startLabel, 0, 0);
    rows->addWidget(StartDate, 0, 1);
    rows->addWidget(daysLabel, 1, 0);
    rows->addWidget(NumDays, 1, 1);
    return rows;
}

QGridLayout* ReportDialog::MakeMonthBoxes(QLabel*& label, QComboBox*& months, QCheckBox*& startOnSunday)
{
    months = new QComboBox(this);
    months->setObjectName(QStringLiteral("Combo1"));
    startOnSunday = new QCheckBox(QStringLiteral("Start Calendar on Sunday"), this);
    startOnSunday->setObjectName(QStringLiteral("StartOnSunday"));
    label = MakeLabel("Label1", "&Month to Print :", months);
    auto* rows = new QGridLayout;
    rows->addWidget(label, 0, 0);
    rows->addWidget(months, 0, 1);
    rows->addWidget(startOnSunday, 1, 0, 1, 2);
    return rows;
}

void ReportDialog::ArrangeColumns(QLabel* listLabel, QWidget* list, QGridLayout* listButtons, QLayout* options)
{
    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(list, 1);
    listButtons->setSpacing(1);
    left->addLayout(listButtons);
    auto* commands = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command6, Command5, Command2}) commands->addWidget(b);
    commands->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(options);
    layout->addLayout(commands);
}

void ReportDialog::InitRptSettings(const char* title)
{
    ReportSettingsRecord& b = Block();
    if (b.Options[20] == kReportDefaultsSet) return;
    b.Options[20] = kReportDefaultsSet;
    MarkModified();
    // Every print setting; of the options only those of the staff reports.
    const auto options = b.Options;
    b = MakeReportBlock(title, true, true, true, 8);
    b.Options = options;
    b.Options[1] = 1;
    for (int i = 2; i <= 5; ++i) b.Options[i] = 0;
    b.Options[18] = 6;
}

void ReportDialog::CenterOnScreen()
{
    adjustSize();
    Grid().CenterFormOnScreen(this);
}

void ReportDialog::MarkModified()
{
    Files().ScheduleModified = true;
}

// ---------------------------------------------------------------- boxes

bool ReportDialog::Copies_LostFocus()
{
    if (std::abs(Runtime::Val(Copies->text())) < 1) Copies->setText(QStringLiteral("1"));
    return true;
}

bool ReportDialog::StartDate_LostFocus()
{
    const QString text = StartDate->text();
    if (const auto d = Runtime::ParseDate(text)) {
        StartDate->setText(Runtime::FormatDate(std::floor(*d), Files().DateFormat));
        RangeChanged();
        return true;
    }
    MsgBox& msg = Print().Msg;
    msg.beep();
    msg.show(QStringLiteral("The date entered ") + text + QStringLiteral(" is not a valid date."), Mb::Exclamation,
             kError);
    // The date of the opening, not the last valid one.
    const auto atOpen = Runtime::ParseDate(StartTextAtOpen);
    StartDate->setText(atOpen ? Runtime::FormatDate(std::floor(*atOpen), Files().DateFormat) : StartTextAtOpen);
    StartDate->setFocus();
    return false;
}

void ReportDialog::NumDays_Change()
{
    if (loading_ || restoringDays_) return;
    CheckNumDays(true);
}

bool ReportDialog::NumDays_LostFocus()
{
    return CheckNumDays(false);
}

bool ReportDialog::CheckNumDays(bool changed)
{
    const double v = Runtime::Val(NumDays->text());
    QString error;
    if (v < 1) {
        error = QStringLiteral("Number of days must be greater than zero.");
    } else if (v > maxDays_) {
        error = QStringLiteral("Number of days cannot be greater than %1.").arg(maxDays_);
    }
    if (!error.isEmpty()) {
        MsgBox& msg = Print().Msg;
        msg.beep();
        msg.show(error, Mb::Exclamation, kError);
        restoringDays_ = true;
        NumDays->setText(QString::number(DayCount));
        restoringDays_ = false;
        NumDays->setFocus();
        if (changed) NumDays->selectAll();
        return false;
    }
    DayCount = static_cast<int>(v);
    if (changed) RangeChanged();
    return true;
}

// ---------------------------------------------------------------- commands

void ReportDialog::Command1_Click()
{
    RunReport(false);
}

void ReportDialog::Command6_Click()
{
    RunReport(true);
}

void ReportDialog::Command2_Click()
{
    close();
}

void ReportDialog::reject()
{
    // A run holds the dialog until it ends.
    if (running_) return;
    QDialog::reject();
}

void ReportDialog::AdaptSetup(PGSetup& dlg)
{
    dlg.Shade1->setText(QStringLiteral("Days of Week"));
    dlg.Shade2->hide();
    dlg.UseScreenFont->hide();
}

void ReportDialog::Command5_Click()
{
    PGSetup dlg(Print(), Files(), Block(), this);
    AdaptSetup(dlg);
    Grid().PositionDialogOverForm(this, &dlg);
    dlg.exec();
    if (dlg.DialogCancelled) return;
    Block() = dlg.RptSettingsEdit;
    MarkModified();
}

// ---------------------------------------------------------------- the run

void ReportDialog::RunReport(bool preview)
{
    if (running_ || !checks_->RunAll()) return;
    if (StartDate && RefuseRangePastLastDate(StartDate, StartDateValue(), DayCount, Print().Msg)) return;
    running_ = true;
    PrintAborted = false;
    TruncationStop = false;
    PageNumber = 0;
    Picture1->Begin(QStringLiteral("Printing Report"), Command1);
    Print().Rec.PreviewMode = preview;
    bool reload = ReloadsVisibleDays();
    {
        PrtSched run(Print());
        if (run.BeginRun()) {
            const bool drawn = ProduceDocument(run);
            if (TruncationStop) {
                // Nothing was drawn: the document is abandoned, not sent.
                run.Printer().KillDoc();
                run.PrtStopped = true;
                reload = false;
            } else {
                if (drawn && run.Preview() && EndsEveryPage()) run.NewPage();
                run.Finish(drawn, !EndsEveryPage());
            }
        }
    }
    if (reload) {
        if (const Status s = Files().LoadVisibleDays(); !s) ReportError(s);
    }
    AfterRun();
    Picture1->End();
    running_ = false;
}

bool ReportDialog::ProduceDocument(PrtSched& run)
{
    if (!PrepareRun()) return false;
    bool failed = true;
    PageSetup setup = PageSetup::From(Block(), Copies->text(), kSubtitleFontSize);
    setup.TitleSize = kTitleFontSize;
    setup.Title = PageTitle();
    run.SetupPrinter(setup, failed);
    if (failed) return false;
    run.ComputePageArea(setup.Margins, 2);
    Page = {double(run.PrtPageLeft), double(run.PrtPageRight), double(run.PrtPageTop), double(run.PrtPageBottom)};
    PageNumber = 0;
    ProducePages(run);
    PrintAborted = run.PrtStopped;
    return true;
}

// ---------------------------------------------------------------- page helpers

void ReportDialog::MeasureMetrics(PrtSched& run)
{
    PrinterDevice& p = run.Printer();
    const ReportSettingsRecord& b = Block();
    const auto ok = [&run](const Status& s) {
        if (!s) run.PrinterError();
        return bool(s);
    };
    if (!ok(p.SetFontBold(false)) || !ok(p.SetFontSize(kTitleFontSize))) return;
    Metrics.TitleHeight = p.TextHeight(QStringLiteral("Aj"));
    if (!ok(p.SetFontSize(kSubtitleFontSize))) return;
    Metrics.SubtitleLineHeight = p.TextHeight(QStringLiteral("Aj"));
    Metrics.HeaderHeight = run.SnapToPrinterPixelY(Metrics.TitleHeight + 2 * Metrics.SubtitleLineHeight);
    if (!ok(p.SetFontSize(b.FontSize)) || !ok(p.SetFontBold(b.FontBold != 0)) ||
        !ok(p.SetFontItalic(b.FontItalic != 0)))
        return;
    Metrics.ShadeColour = ShadeColourOf(b.ShadePercent);
    Metrics.BodyLineHeight = p.TextHeight(QStringLiteral("jyA"));
    Metrics.DayBandHeight = Metrics.SubtitleLineHeight + 46;
}

void ReportDialog::DrawTextAt(PrtSched& run, const QString& text, double left, double top, double right, double bottom,
                              int flags)
{
    run.DrawText(text, run.PrinterRect(left, top, right, bottom), flags | Surface::DT_NOCLIP);
}

void ReportDialog::DrawCellText(PrtSched& run, const QString& text, double left, double top, double right,
                                double bottom, int flags)
{
    run.DrawText(text, run.PrinterRect(left, top, right, bottom), flags);
}

void ReportDialog::ReportFont(PrtSched& run)
{
    const ReportSettingsRecord& b = Block();
    run.FontSize(b.FontSize);
    run.FontBold(b.FontBold != 0);
    run.FontItalic(b.FontItalic != 0);
}

void ReportDialog::WeekdayColour(PrtSched& run, int weekday)
{
    if (Block().PrintInColour != 0) run.ForeColor(weekday == 1 ? PaletteColour(4) : PaletteColour(0));
}

void ReportDialog::TakeRunRange()
{
    StartDay = RangeFirst();
    EndDay = RangeLast();
    FirstWeekday = RunFirstWeekday();
}

int ReportDialog::RunFirstWeekday() const
{
    return Runtime::Weekday(StartDay);
}

QString ReportDialog::RangeLineText() const
{
    return DateRangeText(StartDay, EndDay);
}

std::vector<QString> ReportDialog::CalendarDateTexts(const CalendarLayout& layout) const
{
    const QString format = DateStyle() == CalendarDates::Dates ? ctx_.files.DateFormat : QStringLiteral("d");
    std::vector<QString> texts;
    texts.reserve(layout.Days().size());
    for (const CalendarLayout::Placement& p : layout.Days()) texts.push_back(Runtime::FormatDate(p.Day, format));
    return texts;
}

void ReportDialog::PrintCalendarGrid(PrtSched& run, const CalendarLayout& layout, const std::vector<QString>& dates,
                                     const CalendarGeometry& g, int weeks, int page,
                                     const std::function<void(const CalendarLayout::Placement&)>& dayPlaced)
{
    const ReportSettingsRecord& b = Block();
    const CalendarDates style = DateStyle();
    const double y0 = g.Y0;
    run.DrawWidth(1);
    if (b.ShadeDayRuler != 0) {
        run.FilledBox(Page.Left, y0, Page.Right, y0 + Metrics.DayBandHeight, std::int32_t(Metrics.ShadeColour));
    }
    run.Box(Page.Left, y0, Page.Right, Page.Bottom);
    for (int i = 1; i < g.Columns; ++i) {
        const double x = Page.Left + i * g.ColumnWidth;
        run.Line(x, y0, x, Page.Bottom);
    }
    for (int w = 0; w < weeks; ++w) {
        const double y = g.RowTop(Metrics, w);
        run.Line(Page.Left, y, Page.Right, y);
    }
    if (!run.Preview()) run.Printer().SetBkMode(1);

    run.FontBold(false);
    run.FontSize(kSubtitleFontSize);
    for (int c = 0; c < g.Columns; ++c) {
        const int weekday = layout.WeekdayOf(c);
        WeekdayColour(run, weekday);
        DrawTextAt(run, WeekdayName(weekday), g.CellLeft(Page, c), y0 + 23, g.CellRight(Page, c),
                   y0 + Metrics.SubtitleLineHeight + 23,
                   Surface::DT_CENTER | Surface::DT_VCENTER | Surface::DT_SINGLELINE);
    }
    // The day numbers of a month stay at the subtitle size, not bold, in italics.
    if (style == CalendarDates::Dates) {
        run.FontSize(b.FontSize);
    } else {
        run.FontItalic(true);
    }
    const int dateFlags = style == CalendarDates::Dates ? Surface::DT_CENTER : 0;
    const std::vector<CalendarLayout::Placement>& days = layout.Days();
    for (std::size_t i = 0; i < days.size(); ++i) {
        const CalendarLayout::Placement& p = days[i];
        if (p.Page != page) continue;
        if (dayPlaced) dayPlaced(p);
        const double y = g.RowTop(Metrics, p.Row);
        WeekdayColour(run, Runtime::Weekday(p.Day));
        DrawTextAt(run, dates[i], g.CellLeft(Page, p.Column), y + 23, g.CellRight(Page, p.Column),
                   y + g.WeekRowHeight + 23, dateFlags);
    }
    // What follows is not drawn in the last date's colour, nor in the names' and numbers' style:
    // the day cells, or on a blank schedule the next page's header, take the report font.
    if (b.PrintInColour != 0) run.ForeColor(PaletteColour(0));
    ReportFont(run);
}

void ReportDialog::FillMonthList(QComboBox* list)
{
    list->clear();
    const OleDate cursor = PeriodStart() + Files().ScheduleProps.FirstVisibleDay + Grid().CursorDay - 1;
    int shown = 0;
    int index = 0;
    for (const MonthEntry& e : MonthEntries(PeriodStart(), PeriodEnd())) {
        list->addItem(e.Text, e.Month);
        if (cursor >= MonthFirstDay(e) && cursor <= MonthLastDay(e)) shown = index;
        ++index;
    }
    list->setCurrentIndex(shown);
}

MonthEntry ReportDialog::ChosenMonth(const QComboBox* list) const
{
    if (list->currentIndex() < 0) {
        const OleDate start = PeriodStart();
        return {Runtime::FormatDate(start, QStringLiteral("mmmm, yyyy")), Runtime::Month(start)};
    }
    return {list->currentText(), list->currentData().toInt()};
}

QString ReportDialog::PageTitle()
{
    return Runtime::Trim(Block().Title.str());
}

void ReportDialog::PrintPageHeader(PrtSched& run, const PageHeader& h)
{
    ++PageNumber;
    Print().Rec.ReportTitle = h.Title;
    run.ForeColor(PaletteColour(0));
    if (!run.Preview()) run.PrintText(QStringLiteral(" "));
    const double top = Page.Top;
    const double bottom =
        h.BandHeight > 0 ? Page.Top + h.BandHeight : Page.Top + Metrics.HeaderHeight - Metrics.SubtitleLineHeight / 2;
    run.FontSize(kTitleFontSize);
    DrawTextAt(run, h.Title, Page.Left, top, Page.Right, bottom, Surface::DT_CENTER | Surface::DT_SINGLELINE);
    run.FontSize(kSubtitleFontSize);
    if (h.RunDateTime) {
        const OleDate now = Print().Now();
        DrawTextAt(run, QStringLiteral("Run Date: ") + Runtime::FormatDate(now, Files().DateFormat), Page.Left, top,
                   Page.Right, bottom, Surface::DT_SINGLELINE);
        if (h.RunTime) {
            DrawTextAt(run, QStringLiteral("Run Time: ") + Runtime::FormatDate(now, Grid().TimeFormat), Page.Left, top,
                       Page.Right, bottom, Surface::DT_RIGHT | Surface::DT_SINGLELINE);
        }
    }
    if (h.PageNumber) {
        DrawTextAt(run, QStringLiteral("Page: ") + QString::number(PageNumber), Page.Left, top, Page.Right, bottom,
                   Surface::DT_RIGHT | (h.PageNumberAtTop ? 0 : Surface::DT_BOTTOM) | Surface::DT_SINGLELINE);
    }
    if (!h.RangeLine.isEmpty()) {
        DrawTextAt(run, h.RangeLine, Page.Left, top, Page.Right, bottom,
                   Surface::DT_CENTER | Surface::DT_BOTTOM | Surface::DT_SINGLELINE);
    }
    ReportFont(run);
}

bool ReportDialog::ReadReportDays(OleDate start, int count)
{
    start = std::floor(start);
    reportDays_.assign(static_cast<std::size_t>(std::max(count, 0)), DayRecord{});
    const OleDate from = std::max(start, PeriodStart());
    const OleDate to = std::min(start + count - 1, PeriodEnd());
    if (from > to) return true;
    const auto first = static_cast<std::size_t>(from - start);
    const auto n = static_cast<std::size_t>(to - from) + 1;
    const Status s = Files().ReadRecords(FileNo::Days, static_cast<std::int64_t>(from - PeriodStart()) + 1,
                                         std::span<DayRecord>(reportDays_.data() + first, n));
    if (!s) {
        ReportError(s);
        return false;
    }
    return true;
}

OleDate ReportDialog::PeriodStart() const
{
    return std::floor(OleDates::Clamped(ctx_.files.ScheduleProps.PeriodStart));
}

OleDate ReportDialog::PeriodEnd() const
{
    return std::floor(OleDates::Clamped(ctx_.files.ScheduleProps.PeriodEnd));
}

bool ReportDialog::InPeriod(OleDate d) const
{
    d = std::floor(d);
    return d >= PeriodStart() && d <= PeriodEnd();
}

std::vector<int> ReportDialog::ReportRows() const
{
    std::vector<int> rows;
    for (int r = 1; r <= kSlots; ++r) {
        const QString name = Runtime::Trim(ctx_.files.EmpTable.Name[r].str());
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('/'))) rows.push_back(r);
    }
    return rows;
}

void ReportDialog::ReportError(const Status& s)
{
    MsgBox& msg = Print().Msg;
    msg.beep();
    msg.show(s.message(), Mb::Exclamation, kError);
}

void ReportDialog::SetProgress(int percent)
{
    Picture1->SetPercent(percent);
}

}  // namespace tavrin
