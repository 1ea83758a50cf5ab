#include "reports/StaffReport.h"

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

#include "editing/NameSelection.h"
#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/BusyPointer.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"
#include "printing/RptText.h"
#include "printing/SortSel.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

// The entries of the name list, sorted without touching the list box until the order is final.
class StaffReport::Entries final : public SortableList {
public:
    void Take(const QListWidget& w)
    {
        list.clear();
        for (int i = 0; i < w.count(); ++i) {
            const QListWidgetItem* item = w.item(i);
            list.push_back({item->text(), item->data(Qt::UserRole).toInt(), item->isSelected()});
        }
    }
    // Writes the order back: text, row and selection of each position that changed.
    void Put(QListWidget& w) const
    {
        for (int i = 0; i < w.count() && i < static_cast<int>(list.size()); ++i) {
            QListWidgetItem* item = w.item(i);
            const Entry& e = list[static_cast<std::size_t>(i)];
            if (item->text() != e.text) item->setText(e.text);
            if (item->data(Qt::UserRole).toInt() != e.row) item->setData(Qt::UserRole, e.row);
            if (item->isSelected() != e.selected) item->setSelected(e.selected);
        }
    }
    int Count() const override { return static_cast<int>(list.size()); }
    int RowAt(int pos) const override { return list[static_cast<std::size_t>(pos - 1)].row; }
    void Swap(int p, int q) override
    {
        std::swap(list[static_cast<std::size_t>(p - 1)], list[static_cast<std::size_t>(q - 1)]);
    }

    std::vector<Entry> list;
};

namespace {

QString WeeksText(int weeks)
{
    // The third entry has a trailing blank.
    return QStringLiteral("%1 weeks/page").arg(weeks) + (weeks == 3 ? QStringLiteral(" ") : QString());
}

}  // namespace

StaffReport::StaffReport(const ReportContext& ctx, QWidget* parent, const QString& caption, const char* nameFormatName,
                         std::vector<int> weeks)
    : ReportDialog(ctx, parent), caption_(caption), weeks_(std::move(weeks))
{
    setWindowTitle(caption);
    List1 = MakeNameList(Label4, Command3, Command4);
    Command8 = MakeButton("Command8", QStringLiteral("Sort...[Inactive]"));
    Command7 = MakeButton("Command7", QStringLiteral("Query [none]"));

    WeeksPerPage = new QComboBox(this);
    WeeksPerPage->setObjectName(QStringLiteral("WeeksPerPage"));
    for (int w : weeks_) WeeksPerPage->addItem(WeeksText(w));
    WeeksPerPage->setEnabled(false);

    Frame1 = MakeCellContents(CellOptions, QStringLiteral("On-Call Status"));
    nameFormat_ = MakeNameFormatList(nameFormatName);

    PrintBlank = new QCheckBox(QStringLiteral("Blank Schedule"), this);
    PrintBlank->setObjectName(QStringLiteral("PrintBlank"));

    MakeCopiesBox();
    MakeCommandButtons();
    Label2 = MakeLabel("Label2", "&Weeks per page:", WeeksPerPage);
    Label6 = MakeLabel("Label6", "Name Format:", nameFormat_);
    Label5 = MakeLabel("Label5", "Copies:", Copies);

    connect(List1, &QListWidget::itemSelectionChanged, this, &StaffReport::List1_Click);
    connect(Command3, &QPushButton::clicked, this, &StaffReport::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &StaffReport::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &StaffReport::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &StaffReport::Command8_Click);
    connect(nameFormat_, &QComboBox::currentIndexChanged, this, &StaffReport::NameFormat_Click);
    connect(WeeksPerPage, &QComboBox::currentIndexChanged, this, &StaffReport::WeeksPerPage_Click);
}

StaffReport::~StaffReport() = default;

// ---------------------------------------------------------------- opening

void StaffReport::ArrangeControls(QGridLayout* range)
{
    auto* options = new QVBoxLayout;
    options->addLayout(range);
    auto* rows = new QGridLayout;
    rows->addWidget(Label2, 0, 0);
    rows->addWidget(WeeksPerPage, 0, 1);
    rows->addWidget(Frame1, 1, 0, 1, 2);
    rows->addWidget(Label6, 2, 0);
    rows->addWidget(nameFormat_, 2, 1);
    rows->addWidget(PrintBlank, 3, 0, 1, 2);
    rows->addWidget(Label5, 4, 0);
    rows->addWidget(Copies, 4, 1);
    options->addLayout(rows);
    options->addStretch();
    auto* nameButtons = new QGridLayout;
    nameButtons->addWidget(Command3, 0, 0);
    nameButtons->addWidget(Command4, 0, 1);
    nameButtons->addWidget(Command8, 1, 0, 1, 2);
    nameButtons->addWidget(Command7, 2, 0, 1, 2);
    ArrangeColumns(Label4, List1, nameButtons, options);
}

void StaffReport::OpenOptions(const char* defaultTitle)
{
    InitRptSettings(defaultTitle);
    ReportSettingsRecord& b = Block();
    // A weeks-per-page value the list does not offer becomes 6.
    auto at = std::find(weeks_.begin(), weeks_.end(), int(b.Options[18]));
    if (at == weeks_.end()) {
        b.Options[18] = 6;
        MarkModified();
        at = std::find(weeks_.begin(), weeks_.end(), 6);
    }

    const int style = CheckedNameStyle(b.Options[6]);
    for (int row : ReportRows()) {
        auto* item = new QListWidgetItem(EntryText(row, style), List1);
        item->setData(Qt::UserRole, row);
    }
    // The focus on the first entry, which stays unselected.
    if (List1->count() > 0)
        List1->selectionModel()->setCurrentIndex(List1->model()->index(0, 0), QItemSelectionModel::NoUpdate);

    WeeksPerPage->setCurrentIndex(static_cast<int>(at - weeks_.begin()));
    WeeksPerPage->setEnabled(true);
    for (int i = 0; i < 5; ++i) CellOptions[static_cast<std::size_t>(i)]->setChecked(b.Options[i + 1] != 0);
    nameFormat_->setCurrentIndex(style);

    if (const Status s = Files().FlushWorkingData(); !s) ReportError(s);
}

void StaffReport::OpenSelection()
{
    UpdateQueryButton();
    if (ActiveQuery() > 0) ApplyQuery();
}

// ---------------------------------------------------------------- the list

int StaffReport::ActiveQuery()
{
    return CheckedQueryNo(Block().Options[19]);
}

QString StaffReport::EntryText(int row, int style)
{
    const EmployeeTable& emp = Files().EmpTable;
    return RptText::FormatPersonName(Runtime::Trim(emp.Name[row].str()), style) + QStringLiteral(", ") +
           Runtime::Trim(emp.Position[row].str());
}

void StaffReport::SortNameList(OleDate d)
{
    Entries entries;
    entries.Take(*List1);
    SortingList = true;
    const Status s = SortListForDay(Files(), entries, KeySource(), d);
    if (s) entries.Put(*List1);
    SortingList = false;
    if (!s) ReportError(s);
}

void StaffReport::UpdatePrintButtons()
{
    const bool any = !List1->selectedItems().isEmpty();
    Command1->setEnabled(any);
    Command6->setEnabled(any);
}

void StaffReport::UpdateQueryButton()
{
    const int q = ActiveQuery();
    queryTitle_.clear();
    if (q > 0) {
        if (const Status s = Files().ReadRecord(FileNo::Queries, q, query_); !s) {
            ReportError(s);
        } else {
            queryTitle_ = Runtime::Trim(query_.Title.str());
            Command7->setText(QStringLiteral("Query [") + queryTitle_ + QStringLiteral("]"));
            setWindowTitle(caption_ + QStringLiteral(" [") + queryTitle_ + QStringLiteral("]"));
            return;
        }
    }
    Command7->setText(QStringLiteral("Query [none]"));
    setWindowTitle(caption_);
}

void StaffReport::UpdateSortButton()
{
    if (SortActive(Block())) {
        Command8->setText(QStringLiteral("Sort...[Active]"));
        SortNameList(RangeFirst());
    } else {
        Command8->setText(QStringLiteral("Sort...[Inactive]"));
    }
}

void StaffReport::ApplyQuery()
{
    const int q = ActiveQuery();
    if (q == 0) return;
    if (const Status s = Files().ReadRecord(FileNo::Queries, q, query_); !s) {
        ReportError(s);
        return;
    }
    SetBusyPointer(true);
    const QueryRule rule(query_, QueryVariant::NameSelection);
    const int days = static_cast<int>(RangeLast() - RangeFirst()) + 1;
    const Result<QueryDayCounts> counts = CountQueryMatches(Files(), rule, RangeFirst(), days);
    if (counts) {
        ApplyingQuery = true;
        SelectMatchingNames(*List1, *counts);
        ApplyingQuery = false;
        BusiestDayCount = counts->busiestDay;
    }
    SetBusyPointer(false);
    if (!counts) ReportError(counts.status());
}

void StaffReport::Scheduled()
{
    if (SelectingNames || ActiveQuery() > 0) return;
    BusiestDayCount = 0;
    const std::vector<int> cellSlots = SelectedSlots();
    const int days = static_cast<int>(RangeLast() - RangeFirst()) + 1;
    if (!cellSlots.empty() && ReadReportDays(RangeFirst(), days)) BusiestDayCount = BusiestDay(cellSlots, days);
}

std::vector<int> StaffReport::SelectedSlots() const
{
    const SchedulePropertiesRecord& props = Context().files.ScheduleProps;
    std::vector<int> cellSlots;
    for (const QListWidgetItem* item : List1->selectedItems()) {
        const int row = item->data(Qt::UserRole).toInt();
        if (IsSlot(row) && IsSlot(props.RowMap[row])) cellSlots.push_back(props.RowMap[row]);
    }
    return cellSlots;
}

int StaffReport::BusiestDay(const std::vector<int>& cellSlots, int days) const
{
    int busiest = 0;
    for (int i = 1; i <= days; ++i) {
        const DayRecord& day = ReportDay(i);
        const int count = static_cast<int>(std::count_if(
            cellSlots.begin(), cellSlots.end(), [&day](int slot) { return IsUserShift(day.Shift1Code[slot]); }));
        busiest = std::max(busiest, count);
    }
    return busiest;
}

void StaffReport::RefreshNameList()
{
    const int style = CheckedNameStyle(Block().Options[6]);
    for (int i = 0; i < List1->count(); ++i) {
        QListWidgetItem* item = List1->item(i);
        const int row = item->data(Qt::UserRole).toInt();
        if (IsSlot(row)) item->setText(EntryText(row, style));
    }
    UpdateSortButton();
}

void StaffReport::List1_Click()
{
    if (SortingList) return;
    UpdatePrintButtons();
    if (ApplyingQuery) return;
    Scheduled();
    if (ActiveQuery() > 0) {
        Block().Options[19] = 0;
        MsgBox& msg = Print().Msg;
        msg.beep();
        msg.show(QStringLiteral("Queries will be reset after this change."), Mb::Exclamation,
                 QStringLiteral("Please Note"));
        UpdateQueryButton();
    }
}

void StaffReport::Command3_Click()
{
    SelectingNames = true;
    for (int i = 0; i < List1->count(); ++i) List1->item(i)->setSelected(true);
    SelectingNames = false;
    if (ActiveQuery() == 0) Scheduled();
    UpdatePrintButtons();
}

void StaffReport::Command4_Click()
{
    MarkModified();
    SelectingNames = true;
    for (int i = 0; i < List1->count(); ++i) List1->item(i)->setSelected(false);
    SelectingNames = false;
    BusiestDayCount = 0;
    Block().Options[19] = 0;
    UpdateQueryButton();
    UpdatePrintButtons();
}

void StaffReport::Command7_Click()
{
    MarkModified();
    const std::optional<int> chosen =
        Context().pickQuery ? Context().pickQuery(this, ActiveQuery()) : std::optional<int>();
    if (chosen) {
        const bool wasActive = ActiveQuery() > 0;
        Block().Options[19] = static_cast<Int16>(*chosen);
        UpdateQueryButton();
        if (ActiveQuery() > 0) {
            ApplyQuery();
        } else if (wasActive) {
            Command4_Click();
        }
    }
    List1->setFocus();
}

void StaffReport::Command8_Click()
{
    if (EditSortOrder()) UpdateSortButton();
    List1->setFocus();
}

// ---------------------------------------------------------------- options

void StaffReport::NameFormat_Click(int index)
{
    if (!StoreNameFormat(index)) return;
    SetBusyPointer(true);
    RefreshNameList();
    SetBusyPointer(false);
    List1->setFocus();
}

void StaffReport::WeeksPerPage_Click(int index)
{
    if (!WeeksPerPage->isEnabled() || index < 0 || index >= static_cast<int>(weeks_.size())) return;
    Block().Options[18] = static_cast<Int16>(weeks_[static_cast<std::size_t>(index)]);
    MarkModified();
}

void StaffReport::RangeChanged()
{
    if (ActiveQuery() > 0) ApplyQuery();
}

// ---------------------------------------------------------------- the run

bool StaffReport::PrepareRun()
{
    WeeksOnPage = std::clamp(int(Block().Options[18]), 1, 6);
    DaysDrawn = 0;
    DaysFilled = 0;
    LastDayReached = false;
    PrintingBlank = PrintBlank->isChecked();
    TakeRunRange();
    runEntries_ = std::make_unique<Entries>();
    runEntries_->Take(*List1);
    runRule_.reset();
    if (ActiveQuery() > 0) {
        if (const Status s = Files().ReadRecord(FileNo::Queries, ActiveQuery(), query_); !s) {
            ReportError(s);
            return false;
        }
        runRule_ = std::make_unique<QueryRule>(query_, QueryVariant::StaffReportCells);
    }
    if (PrintingBlank) return true;
    if (!ReadReportDays(StartDay, RunDays())) return false;
    // The busiest day of a hand-made selection may be stale after a range change.
    if (ActiveQuery() == 0) BusiestDayCount = BusiestDay(SelectedSlots(), RunDays());
    return true;
}

QString StaffReport::PageTitle()
{
    QString title = ReportDialog::PageTitle();
    if (ActiveQuery() > 0) title += QStringLiteral(" [") + queryTitle_ + QStringLiteral("]");
    return title;
}

void StaffReport::ProducePages(PrtSched& run)
{
    MeasureMetrics(run);
    if (run.PrtStopped) return;
    const PixelSnap snap{run.Printer().TwipsPerPixelX(), run.Printer().TwipsPerPixelY()};
    const CalendarGeometry g = ComputeCalendarGeometry(Page, Metrics, RunColumns(), WeeksOnPage, snap);
    // A blank schedule prints no names, so none can be cut off.
    if (!PrintingBlank && CellsTruncate(g, Metrics, BusiestDayCount)) {
        MsgBox& msg = Print().Msg;
        msg.beep();
        msg.show(QStringLiteral("Day cell size is too small to print all of the names required by your selection. "
                                "Please reduce font size or the number of weeks per page option."),
                 Mb::Exclamation, QStringLiteral("Truncation Error"));
        if (!run.Preview()) {
            TruncationStop = true;
            return;
        }
    }

    const CalendarLayout layout(StartDay, EndDay, FirstWeekday, WeeksOnPage);
    const std::vector<QString> dates = CalendarDateTexts(layout);
    SortKeySource keys = KeySource();
    const std::vector<QByteArray> names = keys.Names();
    keys.names = &names;
    const EntryLines lines(Files(), EntryOptions::From(Block()));
    PageHeader header;
    header.Title = PageTitle();
    header.RunDateTime = !PrintingBlank;
    header.RangeLine = RangeLineText();
    for (int page = 1; page <= layout.MaxPages(); ++page) {
        if (page > 1) run.NewPage();
        PrintPageHeader(run, header);
        if (run.PrtStopped) return;
        PrintCalendarGrid(run, layout, dates, g, WeeksOnPage, page, [this](const CalendarLayout::Placement& p) {
            if (p.Day == EndDay) LastDayReached = true;
            ++DaysDrawn;
        });
        if (!PrintingBlank) {
            PrintDayCells(run, layout, g, page, keys, lines);
            if (run.PrtStopped) return;
        }
        if (LastDayReached) return;
    }
}

void StaffReport::PrintDayCells(PrtSched& run, const CalendarLayout& layout, const CalendarGeometry& g, int page,
                                const SortKeySource& keys, const EntryLines& lines)
{
    const EmployeeTable& emp = Files().EmpTable;
    const SchedulePropertiesRecord& props = Files().ScheduleProps;
    const double days = RunDays();
    for (const CalendarLayout::Placement& p : layout.Days()) {
        if (p.Page != page) continue;
        ++DaysFilled;
        SetProgress(std::clamp(static_cast<int>(DaysFilled * 100 / days), 0, 100));
        if (!InPeriod(p.Day)) continue;
        const DayRecord& day = ReportDay(static_cast<int>(p.Day - StartDay) + 1);
        const double left = g.CellLeft(Page, p.Column);
        const double right = g.CellRight(Page, p.Column);
        const double y1 = g.RowTop(Metrics, p.Row) + Metrics.SubtitleLineHeight + 23;

        SortingList = true;
        SortListOnDay(*runEntries_, keys, day);
        SortingList = false;
        int n = 0;
        for (const Entry& e : runEntries_->list) {
            if (!e.selected || !IsSlot(e.row)) continue;
            const int slot = props.RowMap[e.row];
            const bool included = runRule_ ? runRule_->Matches(emp, props, e.row, day)
                                           : IsSlot(slot) && IsUserShift(day.Shift1Code[slot]);
            if (!included) continue;
            const QString text = lines.Line(e.row, day);
            DrawCellText(run, run.Preview() ? QLatin1Char(' ') + text : text, left, y1 + n * Metrics.BodyLineHeight,
                         right, y1 + (n + 1) * Metrics.BodyLineHeight, Surface::DT_SINGLELINE);
            if (run.PrtStopped) return;
            ++n;
        }
    }
}

void StaffReport::AfterRun()
{
    // The list shows the order the run left, then the first day's order again.
    if (runEntries_) {
        SortingList = true;
        runEntries_->Put(*List1);
        SortingList = false;
        runEntries_.reset();
    }
    runRule_.reset();
    UpdateSortButton();
}

}  // namespace tavrin
