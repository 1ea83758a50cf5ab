#include "reports/PersonalReport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/ProgressPanel.h"
#include "printing/PrtSched.h"
#include "reports/PersonalCell.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// Always seven days by six weeks: a range of up to 42 days fits, so nothing is cut off.
constexpr int kWeeks = 6;

}  // namespace

PersonalReport::PersonalReport(const ReportContext& ctx, QWidget* parent, const QString& caption,
                               const QString& timesCaption)
    : ReportDialog(ctx, parent)
{
    setWindowTitle(caption);
    List1 = MakeNameList(Label4, Command3, Command4);

    Frame1 = new QGroupBox(QStringLiteral("Contents"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* contents = new QVBoxLayout(Frame1);
    const QString captions[] = {
        QStringLiteral("Shift Description"), QStringLiteral("Explanations"), timesCaption,
        QStringLiteral("Shift Length"),      QStringLiteral("On-Call"),      QStringLiteral("Notes")};
    for (int k = 0; k < 6; ++k) {
        auto* box = new QCheckBox(captions[k], Frame1);
        box->setObjectName(QStringLiteral("Options(%1)").arg(k));
        contents->addWidget(box);
        Options[static_cast<std::size_t>(k)] = box;
        connect(box, &QCheckBox::toggled, this, [this, k] { Options_Click(k); });
    }
    PrintBlank = new QCheckBox(QStringLiteral("Blank Schedule"), this);
    PrintBlank->setObjectName(QStringLiteral("PrintBlank"));
    NumberOfPages = new QLabel(Runtime::Str(0), this);
    NumberOfPages->setObjectName(QStringLiteral("NumberOfPages"));
    Label7 = MakeLabel("Label7", "Pages to Print");

    MakeCopiesBox();
    MakeCommandButtons();
    Label5 = MakeLabel("Label5", "Copies:", Copies);
    // The panel's Abort has nothing to stop here: the run holds the whole dialog.
    AbortPrint = new QPushButton(QStringLiteral("Abort"), Picture1);
    AbortPrint->setObjectName(QStringLiteral("AbortPrint"));
    AbortPrint->setAutoDefault(false);
    Picture1->layout()->addWidget(AbortPrint);

    connect(List1, &QListWidget::itemSelectionChanged, this, &PersonalReport::List1_Click);
    connect(Command3, &QPushButton::clicked, this, &PersonalReport::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &PersonalReport::Command4_Click);
}

PersonalReport::~PersonalReport() = default;

// ---------------------------------------------------------------- opening

void PersonalReport::ArrangeControls(QGridLayout* range)
{
    auto* options = new QVBoxLayout;
    options->addLayout(range);
    options->addWidget(Frame1);
    auto* rows = new QGridLayout;
    rows->addWidget(PrintBlank, 0, 0, 1, 2);
    rows->addWidget(Label7, 1, 0);
    rows->addWidget(NumberOfPages, 1, 1);
    rows->addWidget(Label5, 2, 0);
    rows->addWidget(Copies, 2, 1);
    options->addLayout(rows);
    options->addStretch();
    auto* nameButtons = new QGridLayout;
    nameButtons->addWidget(Command3, 0, 0);
    nameButtons->addWidget(Command4, 0, 1);
    ArrangeColumns(Label4, List1, nameButtons, options);
}

void PersonalReport::OpenOptions()
{
    // Ticking a box runs its click, as the user's would: a block with contents marks the
    // schedule modified.
    const ReportSettingsRecord b = Block();
    for (int k = 0; k < 6; ++k) Options[static_cast<std::size_t>(k)]->setChecked(b.Options[k + 1] != 0);

    const EmployeeTable& emp = Files().EmpTable;
    for (int row : ReportRows()) {
        auto* item = new QListWidgetItem(
            Runtime::Trim(emp.Name[row].str()) + QStringLiteral(", ") + Runtime::Trim(emp.Position[row].str()), List1);
        item->setData(Qt::UserRole, row);
    }
    // The focus on the first entry, which stays unselected.
    if (List1->count() > 0)
        List1->selectionModel()->setCurrentIndex(List1->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    UpdatePageCount();
}

// ---------------------------------------------------------------- controls

void PersonalReport::UpdatePageCount()
{
    const auto pages = static_cast<int>(List1->selectedItems().size());
    NumberOfPages->setText(Runtime::Str(pages));
    Command1->setEnabled(pages >= 1);
    Command6->setEnabled(pages >= 1);
}

void PersonalReport::List1_Click()
{
    UpdatePageCount();
}

void PersonalReport::Command3_Click()
{
    List1->selectAll();
    UpdatePageCount();
}

void PersonalReport::Command4_Click()
{
    List1->clearSelection();
    UpdatePageCount();
}

void PersonalReport::Options_Click(int k)
{
    Block().Options[k + 1] = Options[static_cast<std::size_t>(k)]->isChecked() ? kTrue : kFalse;
    MarkModified();
}

// ---------------------------------------------------------------- the run

bool PersonalReport::PrepareRun()
{
    // The cells on screen reach the day file before it is read.
    if (const Status s = Files().FlushWorkingData(); !s) {
        ReportError(s);
        return false;
    }
    PrintingBlank = PrintBlank->isChecked();
    TakeRunRange();
    rows_.clear();
    for (int i = 0; i < List1->count(); ++i) {
        const QListWidgetItem* item = List1->item(i);
        if (item->isSelected()) rows_.push_back(item->data(Qt::UserRole).toInt());
    }
    DaysPrinted = 0;
    ProgressTotal = RunDays() * static_cast<int>(rows_.size());
    return PrintingBlank || ReadReportDays(StartDay, RunDays());
}

QString PersonalReport::PageLine(const QString& range, int row) const
{
    const EmployeeTable& emp = Context().files.EmpTable;
    QString line = range + QStringLiteral(" - ") + Runtime::Trim(emp.Name[row].str());
    const QString position = Runtime::Trim(emp.Position[row].str());
    if (!position.isEmpty()) line += QStringLiteral(", ") + position;
    return line;
}

void PersonalReport::ProducePages(PrtSched& run)
{
    MeasureMetrics(run);
    if (run.PrtStopped) return;
    const PixelSnap snap{run.Printer().TwipsPerPixelX(), run.Printer().TwipsPerPixelY()};
    const CalendarGeometry g = ComputeCalendarGeometry(Page, Metrics, 7, kWeeks, snap);
    const CalendarLayout layout(StartDay, EndDay, FirstWeekday, kWeeks);
    const std::vector<QString> dates = CalendarDateTexts(layout);
    const QString range = RangeLineText();
    GridHost* host = &Host();
    const PersonalCellLines lines(Files(), PersonalContents::From(Block()), Grid().TimeFormat,
                                  [host](int code) { return host->ExplanationListText(code); });
    PageHeader header;
    header.Title = Runtime::Trim(Block().Title.str());
    header.RunDateTime = !PrintingBlank;
    header.PageNumber = false;
    bool first = true;
    for (int row : rows_) {
        if (!first) run.NewPage();
        first = false;
        header.RangeLine = PageLine(range, row);
        PrintPageHeader(run, header);
        if (run.PrtStopped) return;
        PrintCalendarGrid(run, layout, dates, g, kWeeks, 1, [this](const CalendarLayout::Placement&) {
            ++DaysPrinted;
            if (ProgressTotal > 0) SetProgress(std::clamp(DaysPrinted * 100 / ProgressTotal, 0, 100));
        });
        if (run.PrtStopped) return;
        if (!PrintingBlank) {
            PrintPersonalDays(run, layout, g, lines, row);
            if (run.PrtStopped) return;
        }
    }
}

void PersonalReport::PrintPersonalDays(PrtSched& run, const CalendarLayout& layout, const CalendarGeometry& g,
                                       const PersonalCellLines& lines, int row)
{
    const int slot = IsSlot(row) ? Files().ScheduleProps.RowMap[row] : 0;
    const double lineHeight = Metrics.BodyLineHeight;
    // The word-wrapped block is clipped across to its column only: downward it runs on, as far
    // as the block of the last week row may reach.
    const double blockBottom = g.RowTop(Metrics, kWeeks - 1) + g.WeekRowHeight - 23 - lineHeight;
    for (const CalendarLayout::Placement& p : layout.Days()) {
        if (!InPeriod(p.Day)) continue;
        const double left = g.CellLeft(Page, p.Column);
        const double right = g.CellRight(Page, p.Column);
        const double top = g.RowTop(Metrics, p.Row);
        double y = top + Metrics.SubtitleLineHeight + 23;
        for (const PersonalLine& line : lines.Lines(ReportDay(static_cast<int>(p.Day - StartDay) + 1), slot)) {
            if (line.Wrapped) {
                DrawCellText(run, line.Text, left, y, right, blockBottom, Surface::DT_WORDBREAK);
            } else {
                if (line.Coloured) run.ForeColor(line.Colour);
                DrawCellText(run, line.Text, left, y, right, y + lineHeight, Surface::DT_SINGLELINE);
                if (line.Coloured) run.ForeColor(PaletteColour(0));
                y += lineHeight;
            }
            if (run.PrtStopped) return;
        }
    }
}

}  // namespace tavrin
