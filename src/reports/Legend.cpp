#include "reports/Legend.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editing/DefExp.h"
#include "editing/DefShft2.h"
#include "grid/GridPaint.h"
#include "platform/ListTabStops.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/PGSetup.h"
#include "printing/PrintServices.h"
#include "printing/PrtSched.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

// The column heads and their widths in average characters of the list's font (the last takes
// the rest of the list's width).
struct Head {
    const char* caption;
    int chars;
};
constexpr Head kHeads[7] = {{" Abbr.", 7}, {" Description", 22}, {" Start/End Time", 17},
                            {" Break", 7}, {" Length", 7},       {" Quick Key", 11},
                            {"", 2}};

}  // namespace

Legend::Legend(const ReportContext& ctx, QWidget* parent) : ReportDialog(ctx, parent)
{
    setObjectName(QStringLiteral("Legend"));
    setWindowTitle(QStringLiteral("Legend"));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    const int avg = ListTabStopDelegate::AverageCharWidth(List1->fontMetrics());
    auto* heads = new QHBoxLayout;
    heads->setSpacing(0);
    int listWidth = 0;
    for (std::size_t i = 0; i < ListCaption.size(); ++i) {
        auto* head = new QLabel(QString::fromLatin1(kHeads[i].caption), this);
        head->setObjectName(QStringLiteral("ListCaption(%1)").arg(i));
        head->setFrameStyle(QFrame::Panel | QFrame::Raised);
        const int w = std::max(kHeads[i].chars * avg, head->sizeHint().width());
        listWidth += w;
        if (i + 1 < ListCaption.size()) {
            head->setFixedWidth(w);
            heads->addWidget(head);
        } else {
            heads->addWidget(head, 1);
        }
        ListCaption[i] = head;
    }
    List1->setMinimumWidth(listWidth);
    List1->setMinimumHeight(12 * List1->fontMetrics().height());

    Edit = MakeButton("Edit", QStringLiteral("Edit Explanation..."));
    Frame1 = new QGroupBox(QStringLiteral("Print options"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(Frame1);
    // "&&" shows one ampersand.
    const char* const captions[5] = {"Start/End Times", "Break Length", "Shift Length", "Quick Keys",
                                     "Separate Shifts && Explanations"};
    for (int i = 0; i < 5; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(captions[i]), Frame1);
        box->setObjectName(QStringLiteral("Options(%1)").arg(i));
        options->addWidget(box);
        Options[static_cast<std::size_t>(i)] = box;
        connect(box, &QCheckBox::toggled, this, [this, i](bool checked) { Options_Click(i, checked); });
    }
    MakeCopiesBox();
    Label3 = MakeLabel("Label3", "Copies:", Copies);
    MakeCommandButtons();
    // The shared Report Setup button carries this dialog's name for it.
    Command7 = Command5;
    Command7->setObjectName(QStringLiteral("Command7"));
    Command1->setEnabled(true);
    Command6->setEnabled(true);

    auto* list = new QVBoxLayout;
    list->setSpacing(0);
    list->addLayout(heads);
    list->addWidget(List1, 1);
    auto* copies = new QHBoxLayout;
    copies->addWidget(Label3);
    copies->addWidget(Copies);
    copies->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(Edit);
    right->addWidget(Frame1);
    right->addLayout(copies);
    right->addStretch();
    for (QPushButton* b : {Command1, Command6, Command7, Command2}) right->addWidget(b);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(list, 1);
    layout->addLayout(right);

    connect(List1, &QListWidget::currentRowChanged, this, &Legend::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &Legend::Edit_Click);
    connect(Edit, &QPushButton::clicked, this, &Legend::Edit_Click);

    // The opening: the option boxes count as clicked, so ticked ones are stored again.
    loading_ = false;
    CenterOnScreen();
    FillLegendList();
    Select(0);
    const ReportSettingsRecord& b = Block();
    for (int i = 0; i < 5; ++i) Options[static_cast<std::size_t>(i)]->setChecked(b.Options[i + 1] != 0);
}

ReportSettingsRecord& Legend::Block()
{
    return Files().ScheduleProps.ReportSettings[kLegendBlock];
}

// ---------------------------------------------------------------- the list

void Legend::FillLegendList()
{
    const QSignalBlocker block(List1);
    List1->clear();
    SetLegendTabStops();
    for (const LegendItem& e : LegendItems(Files().ShiftTable, Files().ExplTable, Grid().TimeFormat)) {
        auto* item = new QListWidgetItem(e.Text);
        item->setData(Qt::UserRole, e.Item);
        List1->addItem(item);
    }
    Edit->setEnabled(List1->count() > 0);
}

void Legend::SetLegendTabStops()
{
    // The heads are where the layout puts them.
    if (layout()) layout()->activate();
    const int p = Grid().TPPX;
    std::array<int, 6> lefts{};
    for (std::size_t i = 0; i < lefts.size(); ++i) lefts[i] = ListCaption[i]->x() * p;
    // The stops are in the list's own dialog units, whatever its font.
    const double unit = ListTabStopDelegate::AverageCharWidth(List1->fontMetrics()) / 4.0;
    SetListTabStops(List1, LegendTabStops(lefts, p, unit));
}

void Legend::Select(int row)
{
    if (row >= List1->count()) row = 0;
    if (List1->count() == 0) return;
    if (List1->currentRow() == row) {
        List1_Click();
    } else {
        List1->setCurrentRow(row);
    }
}

std::vector<int> Legend::ListItems() const
{
    std::vector<int> items;
    for (int i = 0; i < List1->count(); ++i) items.push_back(List1->item(i)->data(Qt::UserRole).toInt());
    return items;
}

void Legend::List1_Click()
{
    const QListWidgetItem* item = List1->currentItem();
    if (!item) return;
    const int code = item->data(Qt::UserRole).toInt();
    if (code < 0) {
        Edit->setText(QStringLiteral("Edit Explanation..."));
    } else if (code > kUserShifts) {
        Edit->setText(QStringLiteral("Edit Tag..."));
    } else {
        Edit->setText(QStringLiteral("Edit Shift..."));
    }
}

void Legend::Edit_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= List1->count()) return;
    const int item = List1->item(row)->data(Qt::UserRole).toInt();
    SchedFiles& f = Files();
    QString before;
    bool cancelled = true;
    bool listed = false;
    QString after;
    if (IsExplanationCode(-item)) {
        const int code = -item;
        DefExp dlg(f, Grid(), Print().Msg, this);
        dlg.EditOneCode(code, this);
        before = Runtime::Trim(f.ExplTable.Abbreviation[code].str());
        dlg.exec();
        cancelled = dlg.DialogCancelled;
        after = Runtime::Trim(f.ExplTable.Abbreviation[code].str());
        listed = LegendListsExplanation(f.ExplTable, code);
    } else if (IsShiftCode(item)) {
        DefShft2 dlg(f, Grid(), Print().Msg, this);
        dlg.EditOneCode(item, this);
        before = Runtime::Trim(f.ShiftTable[item].Abbreviation.str());
        dlg.exec();
        cancelled = dlg.DialogCancelled;
        after = Runtime::Trim(f.ShiftTable[item].Abbreviation.str());
        listed = LegendListsShift(f.ShiftTable[item]);
    } else {
        return;
    }
    if (after != before || !listed) {
        FillLegendList();
        const std::vector<int> items = ListItems();
        const auto it = std::find(items.begin(), items.end(), item);
        Select(it != items.end() ? static_cast<int>(it - items.begin()) : row);
    } else if (!cancelled) {
        List1->item(row)->setText(LegendListText(f.ShiftTable, f.ExplTable, item, Grid().TimeFormat));
    }
}

void Legend::Options_Click(int i, bool checked)
{
    if (loading_ || i < 0 || i > 4) return;
    Block().Options[i + 1] = checked ? kTrue : kFalse;
    MarkModified();
}

void Legend::AdaptSetup(PGSetup& dlg)
{
    dlg.UseScreenFont->hide();
    dlg.Frame3->hide();
    dlg.SSTab1->setTabText(2, QStringLiteral("Color"));
}

// ---------------------------------------------------------------- the run

void Legend::ProducePages(PrtSched& run)
{
    MeasureLegendLayout(run);
    if (run.PrtStopped) return;
    PrintLegendHeader(run);
    if (run.PrtStopped) return;
    PrintLegendBody(run);
}

void Legend::MeasureLegendLayout(PrtSched& run)
{
    // The band holds the title and an eighth of it; the run date and page number share its
    // top line.
    MeasureMetrics(run);
    if (run.PrtStopped) return;
    Metrics.HeaderHeight = Metrics.TitleHeight + Runtime::IntDiv(Metrics.TitleHeight, 8);
    const std::vector<int> items = ListItems();
    PrinterDevice& p = run.Printer();
    const LegendOptions o = LegendOptions::From(Block());
    Columns = MeasureLegendColumns(items, Files().ShiftTable, Files().ExplTable, LegendTimeFormat(Grid().TimeFormat), o,
                                   [&p](const QString& s) { return p.TextWidth(s); });
    LegendOrder = tavrin::LegendOrder(items, o.Separate);
}

void Legend::PrintLegendHeader(PrtSched& run)
{
    PageHeader h;
    h.Title = Runtime::Trim(Block().Title.str());
    h.RunTime = false;
    h.PageNumberAtTop = true;
    h.BandHeight = Metrics.HeaderHeight;
    PrintPageHeader(run, h);
}

void Legend::PageFrame(PrtSched& run)
{
    const double top = Page.Top + Metrics.HeaderHeight;
    run.Line(Page.Left, top, Page.Right, top);
    run.Line(Page.Left, Page.Bottom, Page.Right, Page.Bottom);
    run.Line(Page.Left, top, Page.Left, Page.Bottom);
    run.Line(Page.Right, top, Page.Right, Page.Bottom);
}

void Legend::PrintEntry(PrtSched& run, int item, double x, double y)
{
    const std::array<QString, 6> texts = LegendFields(Files().ShiftTable, Files().ExplTable, item,
                                                      LegendTimeFormat(Grid().TimeFormat), LegendUse::Print);
    const std::uint32_t colour = LegendLineColour(item, Block().PrintInColour != 0, Files().ShiftColours);
    if (colour != PaletteColour(0)) run.ForeColor(colour);
    PrinterDevice& p = run.Printer();
    const std::array<double, 7> starts = Columns.Starts(x);
    for (std::size_t c = 1; c < starts.size(); ++c) {
        if (Columns.Width[c] <= 0) continue;
        const QString& text = texts[c - 1];
        // The break and length columns are right-aligned.
        const bool right = c == 4 || c == 5;
        p.CurrentX = right ? starts[c] + Columns.Width[c] - p.TextWidth(text) : starts[c];
        p.CurrentY = y;
        run.PrintText(text);
        if (run.PrtStopped) return;
    }
    if (colour != PaletteColour(0)) run.ForeColor(PaletteColour(0));
}

void Legend::PrintLegendBody(PrtSched& run)
{
    ReportFont(run);
    run.DrawWidth(1);
    PrinterDevice& p = run.Printer();
    const double bodyTop = Page.Top + Metrics.HeaderHeight;
    LegendPages pages(
        {Page.Left, Page.Right, bodyTop, Page.Bottom, double(Runtime::IntDiv(p.TextHeight(QStringLiteral("jA")), 2)),
         double(Runtime::IntDiv(p.TextWidth(QStringLiteral("M")), 2)), Columns.SetWidth, Metrics.BodyLineHeight});
    const auto n = static_cast<int>(LegendOrder.size());
    for (int i = 1; i <= n; ++i) {
        SetProgress(i * 100 / n);
        for (const LegendPages::Event& ev : pages.Next()) {
            switch (ev.step) {
                case LegendPages::Step::Rule:
                    run.Line(ev.X, bodyTop, ev.X, Page.Bottom);
                    break;
                case LegendPages::Step::NewPage:
                    PageFrame(run);
                    run.NewPage();
                    PrintLegendHeader(run);
                    break;
                case LegendPages::Step::Entry:
                    PrintEntry(run, LegendOrder[static_cast<std::size_t>(i - 1)], ev.X, ev.Y);
                    break;
            }
            if (run.PrtStopped) return;
        }
    }
    PageFrame(run);
}

}  // namespace tavrin
