#include "editing/ChgView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/EditingCommon.h"
#include "editing/EditingHost.h"
#include "grid/GridPaint.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "platform/Runtime.h"
#include "platform/StoredText.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr int kScreenCellIcon = 999;

const CellItemEntry kEntries[] = {
    {"None", 0},
    {"Screen Cell Icon", kScreenCellIcon},
    {"Shift1", 120},
    {"Shift2", 121},
    {"Shift1+2", 122},
    {"Shift1+Start1+End1", 124},
    {"Shift2+Start2+End2", 125},
    {"Shift1+Explanation", 500},
    {"Shift1+2+Explanation", 501},
    {"Start1", 130},
    {"Start2", 131},
    {"End1", 140},
    {"End2", 141},
    {"Start1+End1", 150},
    {"Start2+End2", 151},
    {"ShiftLen1", 160},
    {"ShiftLen2", 161},
    {"ShiftLen1+2", 162},
    {"Explanation", 220},
    {"Note Text", 310},
    {"Note Text (2 Line)", 1310},
    {"Note Text (3 Line)", 2310},
    {"Note Status", 320},
    {"On-Call Status", 410},
};

bool Flag(Int16 v)
{
    return v != 0;
}
Int16 Flag(const QCheckBox* b)
{
    return b->isChecked() ? kTrue : kFalse;
}

// Text that is not a number reads 0; the result is held to lo..hi.
int ClampedNumber(const QString& text, int lo, int hi)
{
    const double v = Runtime::Val(text);
    if (!std::isfinite(v)) return lo;
    return std::clamp(Runtime::CInt(std::clamp(v, -1e6, 1e6)), lo, hi);
}

}  // namespace

std::vector<CellItemEntry> CellItemEntries(bool first)
{
    std::vector<CellItemEntry> out;
    for (const CellItemEntry& e : kEntries) {
        if (e.code == kScreenCellIcon && !first) continue;
        out.push_back(e);
    }
    return out;
}

const QStringList& TimeFormatEntries()
{
    static const QStringList kFormats = {
        QStringLiteral("hh:mma/p"), QStringLiteral("h:mma/p"), QStringLiteral("h:ma/p"), QStringLiteral("ha/p"),
        QStringLiteral("hh:mm"),    QStringLiteral("h:mm"),    QStringLiteral("h:m"),    QStringLiteral("h")};
    return kFormats;
}

QString TimeFormatEntryOf(const QString& stored)
{
    QString s = Runtime::Trim(stored);
    s.replace(QLatin1Char('n'), QLatin1Char('m'));
    return s;
}

QString StoredTimeFormatOf(const QString& entry)
{
    QString s = entry;
    s.replace(QLatin1Char('m'), QLatin1Char('n'));
    return s;
}

ChgView::ChgView(SchedFiles& files, GridPaint& grid, MsgBox& msg, FileDialogs& dialogs, EditingHost& host,
                 QWidget* parent)
    : QDialog(parent), files_(files), grid_(grid), msg_(msg), dialogs_(dialogs), host_(host)
{
    setObjectName(QStringLiteral("ChgView"));
    setWindowTitle(QStringLiteral("Edit Schedule Format"));
    setModal(true);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // Cell Contents.
    auto* cells = new QWidget;
    auto* table = new QGridLayout(cells);
    table->addWidget(new QLabel(QStringLiteral("Show on\nScreen")), 0, 1, Qt::AlignCenter);
    table->addWidget(new QLabel(QStringLiteral("Report")), 0, 2, Qt::AlignCenter);
    table->addWidget(new QLabel(QStringLiteral("Tie")), 0, 3, Qt::AlignCenter);
    for (int i = 0; i < 6; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        Item[idx] = new QComboBox(cells);
        Item[idx]->setObjectName(QStringLiteral("Item(%1)").arg(i));
        Item[idx]->installEventFilter(this);
        const auto check = [cells, i](const char* name) {
            auto* b = new QCheckBox(cells);
            b->setObjectName(QStringLiteral("%1(%2)").arg(QString::fromLatin1(name)).arg(i));
            return b;
        };
        ItemScreenFlag[idx] = check("ItemScreenFlag");
        ItemReportFlag[idx] = check("ItemReportFlag");
        ItemLinkFlag[idx] = check("ItemLinkFlag");
        table->addWidget(Item[idx], i + 1, 0);
        table->addWidget(ItemScreenFlag[idx], i + 1, 1, Qt::AlignCenter);
        table->addWidget(ItemReportFlag[idx], i + 1, 2, Qt::AlignCenter);
        table->addWidget(ItemLinkFlag[idx], i + 1, 3, Qt::AlignCenter);
        connect(Item[idx], &QComboBox::currentIndexChanged, this, [this, i] { Item_Click(i); });
    }
    SSTab1->addTab(cells, QStringLiteral("Cell Contents"));

    // Properties.
    auto* props = new QWidget;
    auto* form = new QFormLayout(props);
    const auto line = [props](QLineEdit*& b, const char* name, int limit) {
        b = new QLineEdit(props);
        b->setObjectName(QString::fromLatin1(name));
        b->setMaxLength(limit);
    };
    line(TmpName, "TmpName", 20);
    line(Text1, "Text1", 5);
    line(CoverageVisible, "CoverageVisible", 5);
    const auto combo = [props](QComboBox*& c, const char* name) {
        c = new QComboBox(props);
        c->setObjectName(QString::fromLatin1(name));
    };
    combo(TimeFormat, "TimeFormat");
    combo(RulerDOW, "RulerDOW");
    combo(RulerDate, "RulerDate");
    Command2 = new QPushButton(QStringLiteral("AaYy"), props);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    const auto box = [props](QCheckBox*& b, const char* name, const char* caption) {
        b = new QCheckBox(QString::fromLatin1(caption), props);
        b->setObjectName(QString::fromLatin1(name));
    };
    box(Symbols, "Symbols", "Show Cell Status Icon");
    box(AbbrFlag, "AbbrFlag", "Use Abbreviations");
    box(EmpPosHider, "EmpPosHider", "Hide Position Column");
    box(HardOff, "HardOff", "Show Time-Off");
    form->addRow(QStringLiteral("Format Name:"), TmpName);
    form->addRow(QStringLiteral("Days on Screen:"), Text1);
    form->addRow(QStringLiteral("Visible Coverage Totals:"), CoverageVisible);
    form->addRow(QStringLiteral("Time Format:"), TimeFormat);
    auto* ruler = new QGroupBox(QStringLiteral("Ruler Format"), props);
    auto* rulerForm = new QFormLayout(ruler);
    rulerForm->addRow(QStringLiteral("Day:"), RulerDOW);
    rulerForm->addRow(QStringLiteral("Date:"), RulerDate);
    form->addRow(ruler);
    form->addRow(QStringLiteral("Screen Font:"), Command2);
    for (QCheckBox* b : {Symbols, AbbrFlag, EmpPosHider, HardOff}) form->addRow(b);
    SSTab1->addTab(props, QStringLiteral("Properties"));

    const auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
    };
    button(Command1, "Command1", "OK");
    button(Apply, "Apply", "Apply");
    button(Command4, "Command4", "Print...");
    button(Command5, "Command5", "Cancel");
    Command1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {Command1, Apply, Command4, Command5}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &ChgView::Command1_Click);
    connect(Apply, &QPushButton::clicked, this, &ChgView::Apply_Click);
    connect(Command4, &QPushButton::clicked, this, &ChgView::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &ChgView::Command5_Click);
    connect(Command2, &QPushButton::clicked, this, &ChgView::Command2_Click);

    Load();
}

void ChgView::Load()
{
    loading_ = true;
    // What the file holds is what Cancel goes back to, even when the format in memory has
    // moved on; a record that cannot be read leaves the one in memory.
    SavedFormat = files_.CurrentFormat;
    const Status read = files_.ReadRecord(FileNo::Formats, files_.CurrentFormatNo, SavedFormat);
    if (!read) SavedFormat = files_.CurrentFormat;
    const ScheduleFormatRecord& f = files_.CurrentFormat;

    ShowFontSample();
    TmpName->setText(Runtime::Trim(f.FormatName.str()));
    CoverageVisible->setText(Runtime::FormatNumber(f.VisibleCoverageTotals, QStringLiteral("0")));
    Text1->setText(QString::number(files_.VisibleDays));
    Symbols->setChecked(Flag(f.ShowCellStatusIcon));
    AbbrFlag->setChecked(f.UseAbbreviations == kTrue);
    HardOff->setChecked(Flag(f.ShowTimeOff));
    EmpPosHider->setChecked(Flag(f.HidePositionColumn));

    for (int i = 0; i < 6; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        QComboBox* list = Item[idx];
        list->clear();
        for (const CellItemEntry& e : CellItemEntries(i == 0)) list->addItem(QString::fromLatin1(e.text), e.code);
        const CellItemRecord& item = f.CellItems[i];
        list->setCurrentIndex(list->findData(static_cast<int>(item.ContentCode)));
        ItemScreenFlag[idx]->setChecked(Flag(item.ShowOnScreen));
        ItemReportFlag[idx]->setChecked(Flag(item.ShowOnReport));
        ItemLinkFlag[idx]->setChecked(Flag(item.LinkWithNext));
        ItemReportFlag[idx]->setEnabled(item.ContentCode != kScreenCellIcon);
        indexAtFocus_[idx] = list->currentIndex();
    }

    TimeFormat->clear();
    TimeFormat->addItems(TimeFormatEntries());
    TimeFormat->setCurrentIndex(TimeFormat->findText(TimeFormatEntryOf(f.TimeFormat.str())));

    RulerDOW->clear();
    RulerDOW->addItems({QStringLiteral("T"), QStringLiteral("Tu"), QStringLiteral("Tue"), QStringLiteral("Tuesday")});
    RulerDOW->setCurrentIndex(f.RulerDayNameStyle >= 0 && f.RulerDayNameStyle <= 3 ? f.RulerDayNameStyle : -1);
    RulerDate->clear();
    RulerDate->addItems(
        {QStringLiteral("dd"), QStringLiteral("mm-dd"), QStringLiteral("dd-mm"), QStringLiteral("System default")});
    RulerDate->setCurrentIndex(f.RulerDateStyle >= 0 && f.RulerDateStyle <= 3 ? f.RulerDateStyle : -1);
    loading_ = false;
}

void ChgView::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    grid_.CenterFormOnMainForm(this);
}

bool ChgView::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn) {
        for (std::size_t i = 0; i < Item.size(); ++i) {
            if (watched == Item[i]) indexAtFocus_[i] = Item[i]->currentIndex();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void ChgView::ShowFontSample()
{
    const ScheduleFormatRecord& f = files_.CurrentFormat;
    const FontSpec spec{Runtime::Trim(f.ScreenFontName.str()), f.ScreenFontSize, f.ScreenFontBold != 0,
                        f.ScreenFontItalic != 0};
    const Result<ScreenFont> font = grid_.Fonts().Resolve(spec);
    Command2->setFont(font ? font->font : grid_.Fonts().DefaultFont().font);
}

void ChgView::Item_Click(int i)
{
    if (loading_ || i < 0 || i > 5) return;
    const auto idx = static_cast<std::size_t>(i);
    const int code = Item[idx]->currentData().toInt();
    if (Item[idx]->currentIndex() == 0) {
        ItemScreenFlag[idx]->setChecked(false);
        ItemReportFlag[idx]->setChecked(false);
        ItemLinkFlag[idx]->setChecked(false);
        indexAtFocus_[idx] = 0;
    } else if (indexAtFocus_[idx] == 0) {
        ItemScreenFlag[idx]->setChecked(true);
        ItemReportFlag[idx]->setChecked(true);
    }
    if (code == kScreenCellIcon) {
        // The icon is drawn on screen only.
        ItemReportFlag[idx]->setChecked(false);
        ItemReportFlag[idx]->setEnabled(false);
    } else {
        ItemReportFlag[idx]->setEnabled(true);
    }
}

void ChgView::Command2_Click()
{
    ScheduleFormatRecord& f = files_.CurrentFormat;
    const FontChoice preset{Runtime::Trim(f.ScreenFontName.str()), f.ScreenFontSize, f.ScreenFontBold != 0,
                            f.ScreenFontItalic != 0};
    const FontChoice c = dialogs_.Font(preset);
    f.ScreenFontName = c.name;
    f.ScreenFontSize = static_cast<float>(c.size);
    f.ScreenFontBold = c.bold ? kTrue : kFalse;
    f.ScreenFontItalic = c.italic ? kTrue : kFalse;
    ShowFontSample();
}

bool ChgView::ApplyFormat()
{
    if (!AcceptStorableText(TmpName, msg_)) return false;
    files_.ScheduleModified = true;
    ScheduleFormatRecord& f = files_.CurrentFormat;
    f.FormatName = Runtime::Trim(TmpName->text()).left(20);
    // A list without a choice (a stored value it does not offer) keeps the stored value.
    if (TimeFormat->currentIndex() >= 0) f.TimeFormat = StoredTimeFormatOf(TimeFormat->currentText());
    if (RulerDOW->currentIndex() >= 0) f.RulerDayNameStyle = static_cast<Int16>(RulerDOW->currentIndex());
    if (RulerDate->currentIndex() >= 0) f.RulerDateStyle = static_cast<Int16>(RulerDate->currentIndex());
    f.ShowCellStatusIcon = Flag(Symbols);
    f.HidePositionColumn = Flag(EmpPosHider);
    f.UseAbbreviations = Flag(AbbrFlag);
    f.ShowTimeOff = Flag(HardOff);

    const int lines = ClampedNumber(CoverageVisible->text(), 0, kCoverageLines);
    f.VisibleCoverageTotals = static_cast<Int16>(lines);
    grid_.CoverageVisible = lines > 0;
    CoverageVisible->setText(QString::number(lines));

    for (int i = 0; i < 6; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        CellItemRecord& item = f.CellItems[i];
        if (Item[idx]->currentIndex() >= 0) item.ContentCode = static_cast<Int16>(Item[idx]->currentData().toInt());
        item.ShowOnScreen = Flag(ItemScreenFlag[idx]);
        item.ShowOnReport = Flag(ItemReportFlag[idx]);
        item.LinkWithNext = Flag(ItemLinkFlag[idx]);
    }

    const int days = ClampedNumber(Text1->text(), 1, kMaxVisibleDays);
    f.DaysOnScreen = static_cast<Int16>(days);
    Text1->setText(QString::number(days));
    return WriteAndShow();
}

bool ChgView::WriteAndShow()
{
    const Status written = files_.WriteRecord(FileNo::Formats, files_.CurrentFormatNo, files_.CurrentFormat);
    if (!written) {
        ShowStoreError(msg_, written);
        return false;
    }
    grid_.ApplyScheduleFormat();
    grid_.LayoutAndRedrawSchedule();
    return true;
}

void ChgView::Command1_Click()
{
    if (!ApplyFormat()) return;
    closing_ = true;
    accept();
}

void ChgView::Apply_Click()
{
    ApplyFormat();
}

void ChgView::Command4_Click()
{
    if (!ApplyFormat()) return;
    host_.ShowPrintDialog(this);
}

void ChgView::Command5_Click()
{
    files_.CurrentFormat = SavedFormat;
    // The dialog closes even when the file cannot take the record back: the format in memory
    // is the saved one either way.
    WriteAndShow();
    closing_ = true;
    QDialog::reject();
}

void ChgView::reject()
{
    if (!closing_) Command5_Click();
}

}  // namespace tavrin
