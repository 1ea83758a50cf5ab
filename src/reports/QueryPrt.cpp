#include "reports/QueryPrt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/PGSetup.h"
#include "printing/PreviewRec.h"
#include "printing/PrtSched.h"
#include "store/SchedFiles.h"

namespace tavrin {

QueryPrt::QueryPrt(const ReportContext& ctx, int index, OleDate start, OleDate end, QWidget* parent)
    : ReportDialog(ctx, parent)
{
    setObjectName(QStringLiteral("QueryPrt"));
    setWindowTitle(QStringLiteral("Print Query"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Room for a name and its count.
    List1->setMinimumWidth(List1->fontMetrics().horizontalAdvance(QString(26, QLatin1Char('n'))));
    Label4 = MakeLabel("Label4", "Names:", List1);
    Command3 = MakeButton("Command3", QStringLiteral("Select All"));
    Command4 = MakeButton("Command4", QStringLiteral("Clear All"));
    Check1 = new QCheckBox(QStringLiteral("Print names only"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    MakeCopiesBox();
    Label3 = MakeLabel("Label3", "Copies:", Copies);
    MakeCommandButtons();
    // Report Setup offers the margins first.
    disconnect(Command5, &QPushButton::clicked, this, nullptr);
    connect(Command5, &QPushButton::clicked, this, &QueryPrt::Command5_Click);

    auto* names = new QGridLayout;
    names->setSpacing(1);
    names->addWidget(Label4, 0, 0, 1, 2);
    names->addWidget(List1, 1, 0, 1, 2);
    names->addWidget(Command3, 2, 0);
    names->addWidget(Command4, 2, 1);
    names->setRowStretch(1, 1);
    auto* copies = new QHBoxLayout;
    copies->addWidget(Label3);
    copies->addWidget(Copies);
    copies->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Check1);
    right->addLayout(copies);
    right->addStretch();
    for (QPushButton* b : {Command1, Command6, Command5, Command2}) right->addWidget(b);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(names, 1);
    layout->addLayout(right);

    connect(List1, &QListWidget::itemSelectionChanged, this, &QueryPrt::List1_Click);
    connect(Command3, &QPushButton::clicked, this, &QueryPrt::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &QueryPrt::Command4_Click);

    // The opening.
    SchedFiles& f = Files();
    if (index == 0) {
        NotesOnly = true;
        query_ = NotesQuery();
        Check1->setEnabled(false);
    } else if (CheckedQueryNo(index) == index) {
        if (const Status s = f.ReadRecord(FileNo::Queries, index, query_); !s) ReportError(s);
    }
    if (!NotesOnly && CheckedQueryNo(index) != index) {
        // No such query: one that picks nothing.
        query_.IgnoreNames = query_.IgnoreExplanations = query_.IgnoreShifts = kTrue;
    }
    f.QueryBuf = query_;
    setWindowTitle(QStringLiteral("Print ") + Runtime::Trim(query_.Title.str()));
    RangeStart = std::floor(OleDates::Clamped(start));
    RangeEnd = std::floor(OleDates::Clamped(end));
    CountQueryMatches();
    const EmployeeTable& emp = f.EmpTable;
    for (int r = 1; r <= kSlots; ++r) {
        if (MatchCount[r] <= 0) continue;
        auto* item = new QListWidgetItem(Runtime::Trim(emp.Name[r].str()) + QStringLiteral(", ") +
                                         Runtime::FormatNumber(MatchCount[r], QStringLiteral("####")));
        item->setData(Qt::UserRole, r);
        List1->addItem(item);
    }
    if (List1->count() == 0) {
        List1->addItem(QStringLiteral("[None Found]"));
        for (QWidget* w : std::initializer_list<QWidget*>{Command1, List1, Command3, Command4}) w->setEnabled(false);
    }
    UpdatePrintButtons();
    loading_ = false;
}

ReportSettingsRecord& QueryPrt::Block()
{
    return Files().ScheduleProps.ReportSettings[kQueryResultsBlock];
}

void QueryPrt::CountQueryMatches()
{
    MatchCount.fill(0);
    // A range ending before it starts counts nothing.
    const double days = std::clamp(RangeEnd - RangeStart + 1, 0.0, 1e9);
    const QueryRule rule(query_, QueryVariant::QueryResults, NotesOnly);
    const Result<QueryDayCounts> counts = tavrin::CountQueryMatches(Files(), rule, RangeStart, static_cast<int>(days));
    if (!counts) {
        ReportError(counts.status());
        return;
    }
    MatchCount = counts->perRow;
}

// ---------------------------------------------------------------- the list

void QueryPrt::UpdatePrintButtons()
{
    const bool any = List1->isEnabled() && !List1->selectedItems().isEmpty();
    Command1->setEnabled(any);
    Command6->setEnabled(any);
}

void QueryPrt::List1_Click()
{
    UpdatePrintButtons();
}

void QueryPrt::SelectAll(bool selected)
{
    {
        const QSignalBlocker block(List1);
        for (int i = 0; i < List1->count(); ++i) List1->item(i)->setSelected(selected);
    }
    List1->viewport()->update();
    UpdatePrintButtons();
}

void QueryPrt::Command3_Click()
{
    SelectAll(true);
}

void QueryPrt::Command4_Click()
{
    SelectAll(false);
}

void QueryPrt::Command5_Click()
{
    Block().HasMargins = kTrue;
    ReportDialog::Command5_Click();
}

void QueryPrt::AdaptSetup(PGSetup& dlg)
{
    dlg.UseScreenFont->hide();
    dlg.ReportTitle->hide();
    dlg.Label12->hide();
}

// ---------------------------------------------------------------- the run

bool QueryPrt::PrepareRun()
{
    // The days of the range inside the period; those outside match nothing.
    daysFrom_ = std::max(RangeStart, PeriodStart());
    const OleDate to = std::min(RangeEnd, PeriodEnd());
    dayCount_ = to >= daysFrom_ ? static_cast<int>(to - daysFrom_) + 1 : 0;
    days_.assign(static_cast<std::size_t>(dayCount_) * DayRecord::Size, 0);
    if (dayCount_ == 0) return true;
    const Status s =
        Files().File(FileNo::Days).readRange(static_cast<std::int64_t>(daysFrom_ - PeriodStart()) + 1, days_);
    if (!s) {
        ReportError(s);
        return false;
    }
    return true;
}

void QueryPrt::AfterRun()
{
    days_ = {};
    dayCount_ = 0;
}

void QueryPrt::ProducePages(PrtSched& run)
{
    MeasureMetrics(run);
    if (run.PrtStopped) return;
    PrintQueryHeader(run);
    if (run.PrtStopped) return;
    PrintQueryBody(run);
}

QString QueryPrt::PageTitle()
{
    return Runtime::Trim(query_.Title.str());
}

void QueryPrt::PrintQueryHeader(PrtSched& run)
{
    PageHeader h;
    h.Title = PageTitle();
    h.RunTime = false;
    h.PageNumberAtTop = true;
    h.RangeLine = QueryRangeLine(RangeStart, RangeEnd);
    PrintPageHeader(run, h);
    const double y = Page.Top + Metrics.HeaderHeight;
    run.Line(Page.Left, y, Page.Right, y);
}

void QueryPrt::PrintAt(PrtSched& run, double x, double y, const QString& text)
{
    PrinterDevice& p = run.Printer();
    p.CurrentX = x;
    p.CurrentY = y;
    run.PrintText(text);
}

std::vector<QueryRun> QueryPrt::RunsOf(int row, const QueryRule& rule, const QueryDayTexts& texts) const
{
    QueryRuns runs(daysFrom_);
    const int slot = Context().files.ScheduleProps.RowMap[row];
    if (!IsSlot(slot)) return {};
    const auto i = static_cast<std::size_t>(slot - 1);
    const bool stored = rule.StoredTestApplies();
    for (int k = 0; k < dayCount_; ++k) {
        const std::uint8_t* rec = days_.data() + static_cast<std::size_t>(k) * DayRecord::Size;
        const bool match = stored ? rule.StoredCellMatches(rec, i) : rule.CellMatches(StoredQueryCell(rec, i));
        runs.Day(daysFrom_ + k, match, match ? texts(StoredQueryCell(rec, i)) : QString());
    }
    return runs.Finish();
}

void QueryPrt::PrintQueryBody(PrtSched& run)
{
    QueryDates dates(QueryDatePattern(Files().DateFormat));
    ReportFont(run);
    PrinterDevice& p = run.Printer();
    const double wDate = p.TextWidth(dates(Runtime::DateSerial(1999, 12, 12)));
    const double wDash = p.TextWidth(QStringLiteral(" - "));
    const double wM = p.TextWidth(QStringLiteral("M"));
    const int g = Runtime::IntDiv(p.TextHeight(QStringLiteral("jA")), 2);
    const double textX = Page.Left + 2 * wDate + wDash + wM;
    QueryPages pages({Page.Top + Metrics.HeaderHeight + g, Page.Bottom, Metrics.BodyLineHeight});

    const QueryRule rule(query_, QueryVariant::QueryResults, NotesOnly);
    const SchedFiles& f = Files();
    GridHost& host = Host();
    const bool namesOnly = Check1->isChecked();
    const NoteTexts notes(f, !namesOnly);
    const QueryDayTexts texts(
        f.ShiftTable, [&host](int code) { return host.ExplanationListText(code); },
        [&notes](int n) { return notes(n); }, NotesOnly);
    if (!namesOnly) dates.Keep(daysFrom_, dayCount_);

    const auto follow = [&](const std::vector<QueryPages::Event>& events, const QString& name, const QString& heading,
                            const QueryRun* line) {
        for (const QueryPages::Event& ev : events) {
            switch (ev.step) {
                case QueryPages::Step::NewPage:
                    run.NewPage();
                    PrintQueryHeader(run);
                    break;
                case QueryPages::Step::Heading:
                    PrintAt(run, Page.Left, ev.Y, heading);
                    break;
                case QueryPages::Step::Continued:
                    PrintAt(run, Page.Left, ev.Y, name + QStringLiteral(" (cont...)"));
                    break;
                case QueryPages::Step::Run:
                    PrintAt(run, Page.Left, ev.Y, dates.Run(line->Start, line->End));
                    PrintAt(run, textX, ev.Y, line->LineText());
                    break;
            }
            if (run.PrtStopped) return;
        }
    };

    const int count = List1->count();
    for (int k = 0; k < count; ++k) {
        const QListWidgetItem* item = List1->item(k);
        const int row = item->data(Qt::UserRole).toInt();
        if (item->isSelected() && IsSlot(row)) {
            const QString name = Runtime::Trim(f.EmpTable.Name[row].str());
            const QString heading = NotesOnly ? name
                                              : name + QStringLiteral(" - ") +
                                                    Runtime::FormatNumber(MatchCount[row], QStringLiteral("#####"));
            follow(pages.Heading(namesOnly), name, heading, nullptr);
            if (!namesOnly) {
                for (const QueryRun& line : RunsOf(row, rule, texts)) {
                    if (run.PrtStopped) return;
                    follow(pages.Run(), name, heading, &line);
                }
            }
        }
        if (run.PrtStopped) return;
        SetProgress((k + 1) * 100 / count);
    }
}

}  // namespace tavrin
