#include "reports/Group.h"

#include <QCheckBox>
#include <QComboBox>
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
#include <optional>

#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "platform/Surface.h"
#include "printing/PGSetup.h"
#include "printing/PrtSched.h"
#include "printing/SortSel.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

Group::Group(const ReportContext& ctx, QWidget* parent) : ReportDialog(ctx, parent)
{
    setObjectName(QStringLiteral("Group"));
    setWindowTitle(QStringLiteral("Group Schedule"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Room for a number and a query title of 20 characters.
    List1->setMinimumWidth(
        List1->fontMetrics().horizontalAdvance(QStringLiteral("99 - ") + QString(22, QLatin1Char('M'))));
    List1->installEventFilter(this);
    Label4 = MakeLabel("Label4", "Groups:", List1);
    Command3 = MakeButton("Command3", QStringLiteral("Define Group..."));
    MakeRangeBoxes(7, false);
    Label1 = MakeLabel("Label1", "Start Date:", StartDate);
    Label3 = MakeLabel("Label3", "Number of Days :", NumDays);
    Label2 = MakeLabel("Label2", "Max. 7 days");
    Frame1 = MakeCellContents(CellOptions, QStringLiteral("On Call Status"));
    Combo1 = MakeNameFormatList("Combo1");
    Label6 = MakeLabel("Label6", "Name Format:", Combo1);
    Command4 = MakeButton("Command4", QStringLiteral("Sort...[Inactive]"));
    // The printer set-up takes care of a copies value it cannot use.
    MakeCopiesBox(true);
    Label5 = MakeLabel("Label5", "Copies:", Copies);
    MakeCommandButtons();

    auto* groups = new QVBoxLayout;
    groups->setSpacing(1);
    groups->addWidget(Label4);
    groups->addWidget(List1, 1);
    groups->addWidget(Command3);
    auto* options = new QGridLayout;
    options->addWidget(Label1, 0, 0);
    options->addWidget(StartDate, 0, 1);
    options->addWidget(Label3, 1, 0);
    options->addWidget(NumDays, 1, 1);
    options->addWidget(Label2, 1, 2);
    options->addWidget(Frame1, 2, 0, 1, 3);
    options->addWidget(Label6, 3, 0);
    options->addWidget(Combo1, 3, 1, 1, 2);
    options->addWidget(Command4, 4, 0, 1, 3);
    options->addWidget(Label5, 5, 0);
    options->addWidget(Copies, 5, 1);
    options->setRowStretch(6, 1);
    auto* commands = new QVBoxLayout;
    for (QPushButton* b : {Command1, Command6, Command5, Command2}) commands->addWidget(b);
    commands->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(options);
    layout->addLayout(commands);

    connect(Command3, &QPushButton::clicked, this, &Group::Command3_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &Group::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Group::Command4_Click);
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Group::Combo1_Click);

    // The opening.
    loading_ = true;
    InitRptSettings("Group Schedule");
    EmployeeIndex = ReportRows();
    for (int g = 1; g <= kGroups; ++g) {
        if (const Status s = Files().ReadRecord(FileNo::Groups, g, Groups[static_cast<std::size_t>(g)]); !s) {
            ReportError(s);
            break;
        }
    }
    for (int g = 1; g <= kGroups; ++g) List1->addItem(GroupEntryText(g));
    List1->setCurrentRow(0);
    const ReportSettingsRecord& b = Block();
    for (int i = 0; i < 5; ++i) CellOptions[static_cast<std::size_t>(i)]->setChecked(b.Options[i + 1] != 0);
    Combo1->setCurrentIndex(CheckedNameStyle(b.Options[6]));
    if (const Status s = Files().FlushWorkingData(); !s) ReportError(s);
    InitRange();
    UpdateSortButton();
    UpdatePrintButtons();
    loading_ = false;
    CenterOnScreen();
}

ReportSettingsRecord& Group::Block()
{
    return Files().ScheduleProps.ReportSettings[kGroupScheduleBlock];
}

QString Group::GroupEntryText(int g)
{
    QString title = QStringLiteral("undefined");
    if (const int q = CheckedQueryNo(Groups[static_cast<std::size_t>(g)].QueryNumber); q > 0) {
        QueryRecord query;
        if (const Status s = Files().ReadRecord(FileNo::Queries, q, query); s) {
            title = Runtime::Trim(query.Title.str());
        }
    }
    return QStringLiteral("%1 - ").arg(g, 2, 10, QLatin1Char('0')) + title;
}

void Group::UpdatePrintButtons()
{
    const bool any = std::any_of(Groups.begin() + 1, Groups.end(),
                                 [](const GroupRecord& r) { return CheckedQueryNo(r.QueryNumber) > 0; });
    Command1->setEnabled(any);
    Command6->setEnabled(any);
}

void Group::UpdateSortButton()
{
    Command4->setText(SortActive(Block()) ? QStringLiteral("Sort...[Active]") : QStringLiteral("Sort...[Inactive]"));
}

bool Group::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == List1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Command3_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void Group::Command3_Click()
{
    const int g = List1->currentRow() + 1;
    if (g < 1 || g > kGroups) return;
    GroupRecord& group = Groups[static_cast<std::size_t>(g)];
    const std::optional<int> chosen =
        Context().pickQuery ? Context().pickQuery(this, CheckedQueryNo(group.QueryNumber)) : std::optional<int>();
    if (chosen) {
        MarkModified();
        group.QueryNumber = static_cast<Int16>(*chosen);
        List1->item(g - 1)->setText(GroupEntryText(g));
        if (const Status s = Files().WriteRecord(FileNo::Groups, g, group); !s) ReportError(s);
        UpdatePrintButtons();
    }
    List1->setFocus();
}

void Group::Command4_Click()
{
    if (EditSortOrder()) UpdateSortButton();
    List1->setFocus();
}

void Group::Combo1_Click(int index)
{
    StoreNameFormat(index);
}

void Group::AdaptSetup(PGSetup& dlg)
{
    ReportDialog::AdaptSetup(dlg);
    // The second shade is the group heading bands'.
    dlg.Shade2->setText(QStringLiteral("Group Headings"));
    dlg.Shade2->setVisible(true);
}

// ---------------------------------------------------------------- the run

bool Group::PrepareRun()
{
    TakeRunRange();
    return ReadReportDays(StartDay, RunDays());
}

void Group::BeginPage(PrtSched& run)
{
    PageHeader header;
    header.Title = Runtime::Trim(Block().Title.str());
    if (DayCount > 1) header.RangeLine = RangeLineText();
    PrintPageHeader(run, header);
    if (run.PrtStopped) return;
    PrintCalendarGrid(run);
    ReportFont(run);
}

void Group::PrintCalendarGrid(PrtSched& run)
{
    const ReportSettingsRecord& b = Block();
    const double band = Metrics.DayBandHeight;
    run.DrawWidth(1);
    if (b.ShadeDayRuler != 0) {
        run.FilledBox(Page.Left, y0_, Page.Right, y0_ + 1.05 * band, std::int32_t(Metrics.ShadeColour));
        if (run.Preview()) run.Line(Page.Left, y0_ + 1.05 * band, Page.Right, y0_ + 1.05 * band);
    }
    run.Box(Page.Left, y0_, Page.Right, y0_ + 2 * band);
    for (int i = 1; i < DayCount; ++i) {
        const double x = Page.Left + i * columnWidth_;
        run.Line(x, y0_, x, y0_ + 2 * band);
    }
    if (!run.Preview()) run.Printer().SetBkMode(1);
    run.FontBold(false);
    run.FontSize(12);
    for (int i = 1; i <= DayCount; ++i) {
        const OleDate d = StartDay + i - 1;
        const int weekday = Runtime::Weekday(d);
        const double left = Page.Left + (i - 1) * columnWidth_ + 23;
        const double right = Page.Left + i * columnWidth_ - 23;
        WeekdayColour(run, weekday);
        DrawTextAt(run, WeekdayName(weekday), left, y0_ + 23, right, y0_ + 2 * band + 23,
                   Surface::DT_CENTER | Surface::DT_SINGLELINE);
        DrawTextAt(run, Runtime::FormatDate(d, Files().DateFormat), left, y0_ + 23, right, y0_ + 2 * band + 23,
                   Surface::DT_CENTER | Surface::DT_BOTTOM | Surface::DT_SINGLELINE);
    }
    // The names are not drawn in the last date's colour.
    if (b.PrintInColour != 0) run.ForeColor(PaletteColour(0));
}

void Group::PrintHeading(PrtSched& run, const QString& text, double y, bool band)
{
    if (band) {
        if (Block().ShadeCoverage != 0) {
            run.FilledBox(Page.Left, y, Page.Right, y + headingHeight_, std::int32_t(Metrics.ShadeColour));
            if (run.Preview()) run.Box(Page.Left, y, Page.Right, y + headingHeight_);
        } else {
            run.Box(Page.Left, y, Page.Right, y + headingHeight_);
        }
    }
    // The preview draws the title from the band's top, after a blank.
    const double top = run.Preview() ? y : y + 23;
    DrawTextAt(run, run.Preview() ? QLatin1Char(' ') + text : text, Page.Left + 23, top, Page.Right - 23,
               y + 23 + Metrics.BodyLineHeight, 0);
}

void Group::ProducePages(PrtSched& run)
{
    MeasureMetrics(run);
    if (run.PrtStopped) return;
    const PixelSnap snap{run.Printer().TwipsPerPixelX(), run.Printer().TwipsPerPixelY()};
    columnWidth_ = snap.X(Runtime::IntDiv(Page.Right - Page.Left, DayCount));
    y0_ = Page.Top + Metrics.HeaderHeight;
    headingHeight_ = Metrics.BodyLineHeight + 46;
    GroupPagination pager({y0_ + 2 * Metrics.DayBandHeight, Page.Bottom, Metrics.BodyLineHeight, headingHeight_});

    const int withQuery = static_cast<int>(std::count_if(
        Groups.begin() + 1, Groups.end(), [](const GroupRecord& r) { return CheckedQueryNo(r.QueryNumber) > 0; }));
    const EntryLines entryLines(Files(), EntryOptions::From(Block()));
    SortKeySource keys = KeySource();
    const std::vector<QByteArray> names = keys.Names();
    keys.names = &names;
    RowsSortable sortable(EmployeeIndex);
    // Each day's order is the same for every group: its key texts are made once.
    std::vector<std::optional<DaySort>> daySorts(static_cast<std::size_t>(DayCount));
    for (int i = 1; i <= DayCount; ++i) {
        if (InPeriod(StartDay + i - 1)) daySorts[static_cast<std::size_t>(i - 1)].emplace(sortable, keys, ReportDay(i));
    }
    const EmployeeTable& emp = Files().EmpTable;
    const SchedulePropertiesRecord& props = Files().ScheduleProps;

    BeginPage(run);
    if (run.PrtStopped) return;
    int done = 0;
    for (int g = 1; g <= kGroups; ++g) {
        const int q = CheckedQueryNo(Groups[static_cast<std::size_t>(g)].QueryNumber);
        if (q == 0) continue;
        // A buffer of its own: the schedule's shared one keeps the highlighter's query.
        QueryRecord query;
        if (const Status s = Files().ReadRecord(FileNo::Queries, q, query); !s) {
            ReportError(s);
            return;
        }
        const QString title = Runtime::Trim(query.Title.str());
        const QueryRule rule(query, QueryVariant::GroupSchedule);

        // Every day column starts empty for each group.
        std::vector<std::vector<QString>> dayLines(static_cast<std::size_t>(DayCount));
        std::size_t rowCount = 0;
        for (int i = 1; i <= DayCount; ++i) {
            const OleDate d = StartDay + i - 1;
            if (!InPeriod(d)) continue;
            const DayRecord& day = ReportDay(i);
            daySorts[static_cast<std::size_t>(i - 1)]->Apply(sortable);
            std::vector<QString>& lines = dayLines[static_cast<std::size_t>(i - 1)];
            for (int row : EmployeeIndex) {
                if (rule.Matches(emp, props, row, day)) lines.push_back(entryLines.Line(row, day));
            }
            rowCount = std::max(rowCount, lines.size());
        }

        for (const GroupPagination::Event& ev : pager.Place(static_cast<int>(rowCount))) {
            switch (ev.step) {
                case GroupPagination::Step::Heading:
                    PrintHeading(run, title, ev.Y, true);
                    break;
                case GroupPagination::Step::ContinuedHeading:
                    PrintHeading(run, title + QStringLiteral("  (continued)"), ev.Y, true);
                    break;
                case GroupPagination::Step::ContinuationNote:
                    PrintHeading(run, title + QStringLiteral(", continued on next page..."), ev.Y, false);
                    break;
                case GroupPagination::Step::Row:
                    for (int i = 0; i < DayCount; ++i) {
                        const std::vector<QString>& lines = dayLines[static_cast<std::size_t>(i)];
                        if (ev.RowIndex >= static_cast<int>(lines.size())) continue;
                        const QString& text = lines[static_cast<std::size_t>(ev.RowIndex)];
                        DrawCellText(run, run.Preview() ? QLatin1Char(' ') + text : text,
                                     Page.Left + i * columnWidth_ + 23, ev.Y + 23,
                                     Page.Left + (i + 1) * columnWidth_ - 23, ev.Y + 23 + Metrics.BodyLineHeight,
                                     Surface::DT_SINGLELINE);
                    }
                    break;
                case GroupPagination::Step::CloseBlock: {
                    const double bottom = ev.Y + Metrics.BodyLineHeight / 2;
                    for (int i = 0; i <= DayCount; ++i) {
                        const double x = Page.Left + i * columnWidth_;
                        run.Line(x, ev.BlockTop, x, bottom);
                    }
                    run.Line(Page.Left, bottom, Page.Right, bottom);
                    break;
                }
                case GroupPagination::Step::NewPage:
                    run.NewPage();
                    BeginPage(run);
                    break;
            }
            if (run.PrtStopped) return;
        }
        ++done;
        SetProgress(done * 100 / std::max(withQuery, 1));
    }
}

}  // namespace tavrin
