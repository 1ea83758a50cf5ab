#include "analysis/HourFRM.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "grid/GridHost.h"
#include "grid/GridPaint.h"
#include "grid/GridQuery.h"
#include "platform/MsgBox.h"
#include "platform/Runtime.h"
#include "store/CellCodes.h"
#include "store/SchedFiles.h"

namespace tavrin {

int TimeToMinuteOfDay(OleDate t)
{
    return Runtime::Hour(t) * 60 + Runtime::Minute(t);
}

int CheckedSlotSize(int size)
{
    return size >= 0 && size <= 2 ? size : 0;
}

int SlotLength(int size)
{
    static constexpr int kLengths[] = {60, 30, 15};
    return kLengths[CheckedSlotSize(size)];
}

int SlotCount(int size)
{
    return kMinutesPerDay / SlotLength(size);
}

int ConvertSlotIndex(int index, int fromSize, int toSize)
{
    return index * SlotLength(fromSize) / SlotLength(toSize);
}

namespace {

// A counted shift of one cell: the minutes first..last of the day shown that it covers.
struct CountedShift {
    OleDate date;  // the day the cell belongs to
    int row;       // display row
    QueryCell cell;
    int first;
    int last;
};

}  // namespace

Result<CoverageDays> ReadCoverageDays(const SchedFiles& files, OleDate day)
{
    CoverageDays d;
    d.periodStart = std::floor(OleDates::Clamped(files.ScheduleProps.PeriodStart));
    const double shown = std::floor(OleDates::Clamped(day));
    // Day-file records of the day before and of the day shown (1 = the period's first day).
    d.dayNo = shown - d.periodStart + 1;
    const double from = std::max(d.dayNo - 1, 1.0);
    const double to = std::min<double>(d.dayNo, files.PeriodDays());
    if (to < from) return d;
    d.first = static_cast<std::int64_t>(from);
    d.count = static_cast<std::size_t>(to - from + 1);
    TAVRIN_TRY(files.File(FileNo::Days).readRange(
        d.first, std::span<std::uint8_t>(d.records.data(), d.count * DayRecord::Size)));
    return d;
}

namespace {

// Calls visit(CountedShift) for every counted shift of the query that covers a minute of the
// day shown, the day before first, rows in display order, a cell's first shift before its second.
template <class Visit>
void ForEachCountedShift(const SchedFiles& files, const QueryRecord& query, const CoverageDays& days, Visit&& visit)
{
    const QueryRule rule(query, QueryVariant::HourlyCoverage);
    if (rule.MatchesNothing()) return;

    // Start and end minute of each user shift that the query counts: chosen in its shift
    // selection (whether or not it ignores shifts) and paid.
    struct Span {
        bool counted = false;
        int s = 0;
        int e = 0;
    };
    std::array<Span, 256> spans{};
    for (int code = 1; code <= kUserShifts; ++code) {
        const ShiftRecord& sr = files.ShiftTable[code];
        if (query.SelectedShifts[code] == 0 || !(sr.PaidHours > 0)) continue;
        spans[static_cast<std::size_t>(code)] = {true, TimeToMinuteOfDay(sr.StartTime), TimeToMinuteOfDay(sr.EndTime)};
    }

    if (days.count == 0) return;
    const QueryRows rows = rule.Rows(files.EmpTable, files.ScheduleProps);
    const bool stored = rule.StoredTestApplies();
    for (std::size_t k = 0; k < days.count; ++k) {
        const std::uint8_t* rec = days.records.data() + k * DayRecord::Size;
        const double recordDay = static_cast<double>(days.first) + static_cast<double>(k);
        const bool dayBefore = recordDay < days.dayNo;
        const OleDate date = days.periodStart + recordDay - 1;
        for (int r = 1; r <= rows.lastNamedRow; ++r) {
            if (rows.candidate[r] == 0) continue;
            const auto i = static_cast<std::size_t>(rows.slot[r] - 1);
            if (!IsUserShift(rec[i])) continue;
            const QueryCell cell = StoredQueryCell(rec, i);
            if (!(stored ? rule.StoredCellMatches(rec, i) : rule.CellMatches(cell))) continue;
            for (const int code : {cell.s1, cell.s2}) {
                const Span& span = spans[static_cast<std::size_t>(code)];
                if (!span.counted) continue;
                const bool pastMidnight = span.e <= span.s;
                int lo = span.s;
                int hi = pastMidnight ? kMinutesPerDay - 1 : span.e - 1;
                if (dayBefore) {
                    if (!pastMidnight) continue;
                    lo = 0;
                    hi = span.e - 1;
                }
                if (hi < lo) continue;
                visit(CountedShift{date, r, cell, lo, hi});
            }
        }
    }
}

}  // namespace

void CountCoverageMinutes(const SchedFiles& files, const QueryRecord& query, const CoverageDays& days,
                          MinuteCountColumn& counts)
{
    // Each shift marks where it comes on and where it goes off; the running sum of the marks is
    // then the number on duty in each minute.
    std::array<int, kMinutesPerDay + 1> changes{};
    ForEachCountedShift(files, query, days, [&changes](const CountedShift& c) {
        ++changes[static_cast<std::size_t>(c.first)];
        --changes[static_cast<std::size_t>(c.last) + 1];
    });
    int onDuty = 0;
    for (std::size_t m = 0; m < counts.size(); ++m) {
        onDuty += changes[m];
        counts[m] = static_cast<std::uint16_t>(onDuty);
    }
}

Status CountCoverageMinutes(const SchedFiles& files, const QueryRecord& query, OleDate day, MinuteCountColumn& counts)
{
    counts.fill(0);
    const Result<CoverageDays> days = ReadCoverageDays(files, day);
    if (!days) return days.status();
    CountCoverageMinutes(files, query, *days, counts);
    return {};
}

std::vector<QString> CoverageSlotTexts(const MinuteCountColumn& counts, int slotLength)
{
    std::vector<QString> texts;
    if (slotLength <= 0) return texts;
    const auto length = static_cast<std::size_t>(slotLength);
    texts.reserve(counts.size() / length);
    for (std::size_t start = 0; start + length <= counts.size(); start += length) {
        int sum = 0;
        bool changed = false;
        for (std::size_t m = start; m < start + length; ++m) {
            sum += counts[m];
            changed = changed || counts[m] != counts[start];
        }
        if (sum == 0) {
            texts.emplace_back();
            continue;
        }
        const QString average =
            Runtime::FormatNumber(static_cast<double>(sum) / slotLength, QStringLiteral("###0.00 "));
        texts.push_back(changed ? QStringLiteral("*") + average : average);
    }
    return texts;
}

Result<QString> CoverageDetailText(const SchedFiles& files, const QueryRecord& query, OleDate day, int firstMinute,
                                   int lastMinute, const CoverageDetailFormats& formats)
{
    static const QString kEol = QStringLiteral("\r\n");
    QString text;
    OleDate headed = -1e9;
    const auto shiftText = [&](int code) {
        const ShiftRecord& s = files.ShiftTable[code];
        return QStringLiteral(", ") + Runtime::Trim(s.Description.str()) + QStringLiteral(" - ") +
               Runtime::FormatDate(s.StartTime, formats.timeFormat) + QStringLiteral(" - ") +
               Runtime::FormatDate(s.EndTime, formats.timeFormat);
    };
    const Result<CoverageDays> days = ReadCoverageDays(files, day);
    if (!days) return days.status();
    ForEachCountedShift(files, query, *days, [&](const CountedShift& c) {
        if (c.last < firstMinute || c.first > lastMinute) return;
        if (c.date != headed) {
            text += QStringLiteral("*** Activity beginning ") + Runtime::FormatDate(c.date, formats.dateFormat) +
                    QStringLiteral(" ***") + kEol;
            headed = c.date;
        }
        const EmployeeTable& emp = files.EmpTable;
        QString line = Runtime::Trim(emp.Name[c.row].str());
        const QString position = Runtime::Trim(emp.Position[c.row].str());
        if (!position.isEmpty()) line += QStringLiteral(",") + position;
        if (IsUserShift(c.cell.s1)) line += shiftText(c.cell.s1);
        if (IsUserShift(c.cell.s2)) line += shiftText(c.cell.s2);
        if (c.cell.e != 0 && formats.explanationText) {
            line += QStringLiteral(",") + Runtime::Trim(formats.explanationText(c.cell.e));
        }
        if (c.cell.n > 0) line += QStringLiteral(",") + Runtime::Trim(files.GetNoteText(c.cell.n));
        text += line + kEol;
    });
    text += kEol + QStringLiteral("-End") + kEol + kEol;
    return text;
}

// ---------------------------------------------------------------- the window

namespace {

constexpr int kGridColumns = kCoverageColumns + 1;
constexpr int kSlotSizeOption = 11;
constexpr int kRowOption = 12;
constexpr int kColumnOption = 13;

QTableWidgetItem* RightAligned(const QString& text = {})
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

HourFRM::HourFRM(SchedFiles& files, GridPaint& grid, GridHost& host, HourlyCoverageState& state, QPixmap picture,
                 QueryPicker picker, QWidget* parent)
    : QDialog(parent),
      files_(files),
      grid_(grid),
      host_(host),
      state_(state),
      picture_(std::move(picture)),
      picker_(std::move(picker))
{
    setObjectName(QStringLiteral("HourFRM"));
    setWindowTitle(QStringLiteral("Hourly Coverage"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Time Increment:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("1 hour"), QStringLiteral("30 minute"), QStringLiteral("15 minute")});
    Label1->setBuddy(Combo1);
    Command2 = new QPushButton(QStringLiteral("Details..."), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);

    SSPanel2 = new QLabel(this);
    SSPanel2->setObjectName(QStringLiteral("SSPanel2"));
    SSPanel2->setFrameShape(QFrame::Panel);
    SSPanel2->setFrameShadow(QFrame::Sunken);
    SSPanel2->hide();
    SSPanel1 = new QLabel(QStringLiteral("Click on column header box to change a column"), this);
    SSPanel1->setObjectName(QStringLiteral("SSPanel1"));
    SSPanel1->setFrameShape(QFrame::Panel);
    SSPanel1->setFrameShadow(QFrame::Sunken);

    Grid1 = new QTableWidget(0, kGridColumns, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->verticalHeader()->hide();
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    Grid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    Grid1->setWordWrap(false);
    Grid1->setCornerButtonEnabled(false);
    const QFontMetrics fm(font());
    // Every column one fixed width, wide enough for "*99.99 " and the slot times.
    const int columnWidth = fm.horizontalAdvance(QStringLiteral("WWWWW"));
    QHeaderView* header = Grid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultSectionSize(columnWidth);
    header->setMinimumSectionSize(1);
    header->setFixedHeight(static_cast<int>(std::lround(fm.height() * 2.2)));
    header->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    header->setHighlightSections(false);
    header->viewport()->setMouseTracking(true);
    header->viewport()->installEventFilter(this);
    auto* corner = new QTableWidgetItem;
    corner->setIcon(QIcon(picture_));
    Grid1->setHorizontalHeaderItem(0, corner);
    for (int c = 1; c < kGridColumns; ++c) Grid1->setHorizontalHeaderItem(c, new QTableWidgetItem);
    Grid1->setMinimumWidth(columnWidth * kGridColumns + Grid1->verticalScrollBar()->sizeHint().width() +
                           2 * Grid1->frameWidth());
    Grid1->installEventFilter(this);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->hide();
    Text1->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(Combo1);
    top->addStretch();
    top->addWidget(Command2);
    top->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SSPanel2);
    layout->addWidget(Grid1, 1);
    layout->addWidget(Text1, 1);
    layout->addWidget(SSPanel1);
    adjustSize();
    // A day of hours where the screen has room for it.
    int tall = std::max(height(), header->height() + 25 * Grid1->verticalHeader()->defaultSectionSize());
    if (const QScreen* s = screen()) tall = std::min(tall, s->availableGeometry().height() * 4 / 5);
    resize(width(), std::max(tall, height()));

    connect(Combo1, &QComboBox::currentIndexChanged, this, &HourFRM::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &HourFRM::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &HourFRM::Command2_Click);
    connect(Grid1, &QTableWidget::cellDoubleClicked, this, [this] { Command2_Click(); });
    connect(Grid1, &QTableWidget::currentCellChanged, this, [this] { UpdateDetailsButton(); });
}

Int16& HourFRM::Option(int n)
{
    return files_.ScheduleProps.ReportSettings[kHourlyCoverageBlock].Options[n];
}

int HourFRM::ColumnQuery(int col) const
{
    if (col < 1 || col > kCoverageColumns) return 0;
    return CheckedQueryNo(files_.ScheduleProps.ReportSettings[kHourlyCoverageBlock].Options[col]);
}

int HourFRM::CurrentRow() const
{
    return Grid1->currentRow() + 1;
}

int HourFRM::CurrentCol() const
{
    return std::max(Grid1->currentColumn(), 0);
}

void HourFRM::SetCurrentCell(int row, int col)
{
    if (Grid1->rowCount() == 0) return;
    Grid1->setCurrentCell(std::clamp(row, 1, Grid1->rowCount()) - 1, std::clamp(col, 0, kGridColumns - 1));
}

QString HourFRM::CellText(int row, int col) const
{
    const QTableWidgetItem* item = Grid1->item(row - 1, col);
    return item ? item->text() : QString();
}

void HourFRM::ReportError(const Status& s)
{
    // While loading, the ten columns would each repeat one failure.
    if (loading_ && errorShown_) return;
    errorShown_ = true;
    files_.Msg().beep();
    files_.Msg().show(s.message(), Mb::Exclamation, QStringLiteral("Error"));
}

bool HourFRM::ReadQuery(int queryNo)
{
    const Status read = files_.ReadRecord(FileNo::Queries, queryNo, queryBuf_);
    if (!read) ReportError(read);
    return read.ok();
}

bool HourFRM::LoadForm()
{
    loading_ = true;
    errorShown_ = false;
    if (state_.HourlyWinTop == 0 && state_.HourlyWinLeft == 0) {
        grid_.PositionDialogOverForm(parentWidget() ? parentWidget() : this, this);
    } else {
        move(state_.HourlyWinLeft, state_.HourlyWinTop);
    }

    const Status flushed = files_.FlushWorkingData();
    if (!flushed) {
        ReportError(flushed);
        host_.SetBusy(false);
        loading_ = false;
        return false;
    }
    const bool wasModified = files_.ScheduleModified;

    day_ = grid_.ColumnDate(std::max(grid_.FirstTaggedDay, 1));
    setWindowTitle(QStringLiteral("Hourly Coverage - ") + Runtime::FormatDate(day_, QStringLiteral("DDD")) +
                   QStringLiteral(" ") + Runtime::FormatDate(day_, files_.DateFormat));

    const int size = CheckedSlotSize(Option(kSlotSizeOption));
    {
        const QSignalBlocker block(Combo1);
        Combo1->setCurrentIndex(size);
    }
    Combo1_Click(size);
    UpdateColumnNames();
    // Every column counts from the same two days: they are read once (and, should that fail,
    // by each column again, which then says why).
    const Result<CoverageDays> days = ReadCoverageDays(files_, day_);
    for (int c = 1; c <= kCoverageColumns; ++c) {
        ComputeCoverageColumn(c, days ? &*days : nullptr);
        FillCoverageColumn(c);
    }

    if (state_.SavedGridRow > 0) {
        SetCurrentCell(state_.SavedGridRow, state_.SavedGridCol);
        // The scroll bars take their ranges once the window is laid out.
        const int topRow = state_.SavedGridTopRow;
        const int leftCol = state_.SavedGridLeftCol;
        QTimer::singleShot(0, this, [this, topRow, leftCol] {
            Grid1->verticalScrollBar()->setValue(std::max(topRow - 1, 0));
            Grid1->horizontalScrollBar()->setValue(std::max(leftCol, 0));
        });
    } else {
        SetCurrentCell(1, 1);
    }
    UpdateDetailsButton();

    // Counting changes no schedule data (the slot size was only set back to its stored value).
    files_.ScheduleModified = wasModified;
    host_.SetBusy(false);
    loading_ = false;
    return true;
}

void HourFRM::BuildTimeRows(int size)
{
    Grid1->clearContents();
    const int rows = SlotCount(size);
    const int length = SlotLength(size);
    Grid1->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const OleDate start = static_cast<double>(r * length) / kMinutesPerDay;
        Grid1->setItem(r, 0, RightAligned(Runtime::FormatDate(start, grid_.TimeFormat) + QStringLiteral("  ")));
        for (int c = 1; c < kGridColumns; ++c) Grid1->setItem(r, c, RightAligned());
    }
    SetCurrentCell(1, 1);
}

void HourFRM::ComputeCoverageColumn(int col, const CoverageDays* days)
{
    const int q = ColumnQuery(col);
    if (q == 0) return;
    if (CoverageDetailMode) {
        Text1->clear();
        if (!ReadQuery(q)) return;
        const Result<QString> text = CoverageDetailText(
            files_, queryBuf_, day_, detailFirst_, detailLast_,
            {grid_.TimeFormat, files_.DateFormat, [this](int code) { return host_.ExplanationListText(code); }});
        if (!text) {
            ReportError(text.status());
            return;
        }
        QString shown = *text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        Text1->setPlainText(shown);
        return;
    }
    MinuteCountColumn& counts = counts_[static_cast<std::size_t>(col - 1)];
    counts.fill(0);
    if (!ReadQuery(q)) return;
    if (days) {
        CountCoverageMinutes(files_, queryBuf_, *days, counts);
        return;
    }
    const Status counted = CountCoverageMinutes(files_, queryBuf_, day_, counts);
    if (!counted) {
        counts.fill(0);
        ReportError(counted);
    }
}

void HourFRM::FillCoverageColumn(int col)
{
    if (ColumnQuery(col) == 0) return;
    const std::vector<QString> texts = CoverageSlotTexts(Counts(col), SlotLength(slotSize_));
    const int rows = std::min(Grid1->rowCount(), static_cast<int>(texts.size()));
    for (int r = 0; r < rows; ++r) {
        if (QTableWidgetItem* item = Grid1->item(r, col)) item->setText(texts[static_cast<std::size_t>(r)]);
    }
    UpdateDetailsButton();
}

void HourFRM::UpdateColumnNames()
{
    for (int c = 1; c <= kCoverageColumns; ++c) {
        const int q = ColumnQuery(c);
        if (q > 0 && ReadQuery(q)) Grid1->horizontalHeaderItem(c)->setText(Runtime::Trim(queryBuf_.Title.str()));
    }
}

void HourFRM::Combo1_Click(int index)
{
    const int newSize = CheckedSlotSize(index);
    const int oldSize = slotSize_;
    const int col = CurrentCol();
    const int r = CurrentRow() - 1;

    slotSize_ = newSize;
    BuildTimeRows(newSize);
    if (Grid1->isVisible()) Grid1->setFocus();
    for (int c = 1; c <= kCoverageColumns; ++c) FillCoverageColumn(c);

    if (r >= 0) {
        // The same time of day stays current and, where the grid can, at the top.
        const int row = std::min(ConvertSlotIndex(r, oldSize, newSize), Grid1->rowCount() - 1);
        SetCurrentCell(row + 1, col);
        Grid1->scrollToItem(Grid1->item(row, col), QAbstractItemView::PositionAtTop);
    }
    Option(kSlotSizeOption) = static_cast<Int16>(newSize);
    files_.ScheduleModified = true;
    SetCurrentCell(CurrentRow(), col);
    UpdateDetailsButton();
}

bool HourFRM::ChooseColumnQuery()
{
    const int col = CurrentCol();
    if (col < 1) {
        files_.Msg().beep();
        return false;
    }
    // The column's query is a stored option, so even a cancelled choice counts as a change.
    files_.ScheduleModified = true;
    const std::optional<int> chosen = picker_ ? picker_(this, ColumnQuery(col)) : std::nullopt;
    if (!chosen) return false;
    const int q = CheckedQueryNo(*chosen);
    Option(col) = static_cast<Int16>(q);
    if (q > 0) {
        if (ReadQuery(q)) Grid1->horizontalHeaderItem(col)->setText(Runtime::Trim(queryBuf_.Title.str()));
    } else {
        Grid1->horizontalHeaderItem(col)->setText(QString());
        counts_[static_cast<std::size_t>(col - 1)].fill(0);
        for (int r = 0; r < Grid1->rowCount(); ++r) {
            if (QTableWidgetItem* item = Grid1->item(r, col)) item->setText(QString());
        }
    }
    return true;
}

void HourFRM::Grid1_HeaderClick(int col)
{
    if (CoverageDetailMode || col < 0 || col >= kGridColumns) return;
    const int row = std::max(CurrentRow(), 1);
    SetCurrentCell(row, col);
    ChooseColumnQuery();  // only beeps on the time column
    if (col < 1) return;
    ComputeCoverageColumn(col);
    FillCoverageColumn(col);
    SetCurrentCell(row, col);
    UpdateDetailsButton();
}

void HourFRM::UpdateDetailsButton()
{
    const int col = CurrentCol();
    const int row = CurrentRow();
    // The time column has no one to list.
    Command2->setEnabled(col >= 1 && row >= 1 && !Runtime::Trim(CellText(row, col)).isEmpty());
}

void HourFRM::Command2_Click()
{
    if (CoverageDetailMode) return;
    const int col = CurrentCol();
    const int row = CurrentRow();
    const QString cell = Runtime::Trim(CellText(row, col));
    if (col < 1 || row < 1 || cell.isEmpty()) return;

    const int length = SlotLength(slotSize_);
    detailFirst_ = (row - 1) * length;
    detailLast_ = detailFirst_ + length - 1;
    CoverageDetailMode = true;
    ComputeCoverageColumn(col);

    Text1->show();
    Text1->setEnabled(true);
    Command2->hide();
    Combo1->hide();
    Label1->hide();
    Grid1->setEnabled(false);
    Grid1->hide();
    Command1->setText(QStringLiteral("Back"));
    const OleDate start = static_cast<double>(detailFirst_) / kMinutesPerDay;
    const OleDate end = static_cast<double>(detailFirst_ + length) / kMinutesPerDay;
    SSPanel2->setText(QStringLiteral(" ") + Runtime::Trim(queryBuf_.Title.str()) + QStringLiteral(" / ") +
                      Runtime::FormatDate(start, grid_.TimeFormat) + QStringLiteral(" - ") +
                      Runtime::FormatDate(end, grid_.TimeFormat) + QStringLiteral("  [") + cell + QStringLiteral("]"));
    SSPanel2->show();
    SSPanel1->setText(QStringLiteral("Press Back button to return to table view"));
    Command1->setFocus();
}

void HourFRM::Back()
{
    CoverageDetailMode = false;
    Command2->show();
    Command1->setText(QStringLiteral("Close"));
    Text1->hide();
    Text1->setEnabled(false);
    Grid1->setEnabled(true);
    Grid1->show();
    SSPanel2->hide();
    Combo1->show();
    Label1->show();
    Grid1->setFocus();
    SSPanel1->setText(QStringLiteral("Click on column header box to change column"));
}

void HourFRM::Command1_Click()
{
    if (CoverageDetailMode) {
        Back();
        return;
    }
    CloseWindow();
}

void HourFRM::CloseWindow()
{
    DialogCancelled = true;
    Option(kRowOption) = static_cast<Int16>(CurrentRow());
    Option(kColumnOption) = static_cast<Int16>(CurrentCol());
    state_.SavedGridRow = CurrentRow();
    state_.SavedGridCol = CurrentCol();
    state_.SavedGridLeftCol = std::max(Grid1->columnAt(0), 0);
    state_.SavedGridTopRow = static_cast<std::uint8_t>(std::clamp(Grid1->rowAt(0) + 1, 0, 255));
    state_.HourlyWinTop = y();
    state_.HourlyWinLeft = x();
    QDialog::reject();
}

void HourFRM::keyPressEvent(QKeyEvent* e)
{
    // Esc acts as Command1 reads: Back in the detail view, Close in the table view.
    if (CoverageDetailMode && e->matches(QKeySequence::Cancel)) {
        Back();
        return;
    }
    QDialog::keyPressEvent(e);
}

void HourFRM::reject()
{
    // The close box closes the window, from the detail view by way of Back.
    if (CoverageDetailMode) Back();
    CloseWindow();
}

bool HourFRM::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Grid1 && e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Command2_Click();
            return true;
        }
    }
    QHeaderView* header = Grid1->horizontalHeader();
    if (watched == header->viewport()) {
        switch (e->type()) {
            case QEvent::MouseMove: {
                const auto* m = static_cast<QMouseEvent*>(e);
                const bool queryColumn = header->logicalIndexAt(m->position().toPoint()) > 0;
                header->viewport()->setCursor(queryColumn ? Qt::UpArrowCursor : Qt::ArrowCursor);
                break;
            }
            case QEvent::Leave:
                header->viewport()->unsetCursor();
                break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                const auto* m = static_cast<QMouseEvent*>(e);
                if (m->button() == Qt::LeftButton) {
                    const int col = header->logicalIndexAt(m->position().toPoint());
                    if (col >= 0) Grid1_HeaderClick(col);
                }
                return true;
            }
            case QEvent::MouseButtonRelease:
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace tavrin
