#include "GridFixture.h"

#include <QLabel>
#include <QLineEdit>

#include "platform/OleDate.h"
#include "store/Defaults.h"

namespace tavrin::test {

GridFixture::GridFixture() : fonts(96)
{
    form = std::make_unique<QWidget>();
    form->setObjectName(QStringLiteral("MainForm"));
    form->resize(1024, 700);
    QWidget* f = form.get();
    const auto plain = [f](const char* name, int x, int y, int w, int h) {
        auto* w_ = new QWidget(f);
        w_->setObjectName(QString::fromLatin1(name));
        w_->setGeometry(x, y, w, h);
        return w_;
    };
    panes.MainForm = f;
    panes.Form = f;
    panes.ToolPanel = plain("ToolPanel", 0, 0, 1024, 30);
    panes.Explainations = plain("Explainations", 300, 30, 140, 21);
    panes.NoteX = plain("NoteX", 450, 30, 20, 20);
    panes.NoteCheck = plain("NoteCheck", 470, 30, 20, 20);
    panes.NotePad = plain("NotePad", 490, 30, 300, 20);
    panes.DateDisplay = plain("DateDisplay", 600, 4, 200, 20);
    panes.Label1 = new QLabel(QStringLiteral("Name"), f);
    panes.Label2 = new QLabel(QStringLiteral("Position"), f);
    panes.EmpList = new Pane(f, QStringLiteral("EmpList"));
    panes.EmpPos = new Pane(f, QStringLiteral("EmpPos"));
    panes.DayRuler = new Pane(f, QStringLiteral("DayRuler"));
    panes.Grid = new Pane(f, QStringLiteral("Grid"));
    panes.CoverageDesc = new Pane(f, QStringLiteral("CoverageDesc"));
    panes.Coverage = new Pane(f, QStringLiteral("Coverage"));
    panes.VScroll2 = plain("VScroll2", 1000, 60, 16, 400);
    panes.EmpText = new QLineEdit(f);
    panes.EmpText2 = new QLineEdit(f);
    for (Pane* p : {panes.EmpList, panes.EmpPos, panes.DayRuler, panes.Grid, panes.CoverageDesc, panes.Coverage}) {
        p->SetTwipsPerPixel(15, 15);
        p->resize(100, 100);
        p->hide();
    }
    grid = std::make_unique<GridPaint>(*files, gridHost, fonts);
    grid->TPPX = grid->TPPY = 15;
    grid->SetPanes(panes);
}

GridFixture::~GridFixture()
{
    grid.reset();
    form.reset();
}

void GridFixture::DefineShift(int code, const QString& description, const QString& abbreviation, int colour,
                              double start, double end, float paid)
{
    ShiftRecord& s = files->ShiftTable[code];
    s.Description = description;
    s.Abbreviation = abbreviation;
    s.ColourIndex = static_cast<Int16>(colour);
    s.StartTime = start / 24.0;
    s.EndTime = end / 24.0;
    s.PaidHours = paid;
    files->ShiftColours[code] = static_cast<Byte>(colour);
}

void GridFixture::OpenSchedule(int formWidthPx, int formHeightPx)
{
    OpenNewSchedule();
    files->ScheduleProps.PeriodStart = OleDates::FromYmd(2024, 1, 7);
    files->ScheduleProps.PeriodEnd = files->ScheduleProps.PeriodStart + 729;
    files->ScheduleProps.FirstVisibleDay = 0;
    ASSERT_TRUE(files->LoadVisibleDays());
    DefineShift(1, QStringLiteral("Day"), QStringLiteral("D"), 4, 7, 15, 8);
    DefineShift(2, QStringLiteral("Evening"), QStringLiteral("E"), 1, 15, 23, 8);
    DefineShift(3, QStringLiteral("Half"), QStringLiteral("H"), 2, 8, 12, 4);
    DefineShift(5, QStringLiteral("Night"), QStringLiteral("N"), 9, 23, 7, 7.5f);
    gridHost.explTexts[2] = QStringLiteral("Vacation");
    gridHost.explIndex[2] = 3;
    form->resize(formWidthPx, formHeightPx);
    grid->ApplyScheduleFormat();
    grid->LayoutAndRedrawSchedule();
}

void GridFixture::Relayout()
{
    grid->ApplyScheduleFormat();
    grid->LayoutAndRedrawSchedule();
}

void GridFixture::ResizeForm(int widthPx, int heightPx)
{
    form->resize(widthPx, heightPx);
    grid->LayoutAndRedrawSchedule();
}

void GridFixture::SetName(int displayRow, const QString& name, const QString& position)
{
    files->EmpTable.Name[displayRow] = name;
    files->EmpTable.Position[displayRow] = position;
}

void GridFixture::SetDivider(int slot, int style, int colourIndex, const QString& caption, bool hidden,
                             std::uint32_t colour)
{
    DividerPropertiesRecord d = MakeDefaultDivider();
    d.Style = static_cast<Int16>(style);
    if (colourIndex >= 0) {
        d.UseDefaultColour = 0;
        d.ColourIndex = static_cast<Int16>(colourIndex);
    }
    d.Caption = caption;
    d.HideOnReports = hidden ? 1 : 0;
    if (colour != 0) d.Colour = static_cast<Int32>(colour);
    ASSERT_TRUE(files->WriteRecord(FileNo::Dividers, slot, d));
}

void GridFixture::SetCell(int c, int displayRow, int s1, int s2, int oc, int e, int n)
{
    const int slot = Slot(displayRow);
    DayRecord& d = Day(c);
    d.Shift1Code[slot] = static_cast<Byte>(s1);
    d.Shift2Code[slot] = static_cast<Byte>(s2);
    d.OnCallFlag[slot] = static_cast<Byte>(oc);
    d.ExplanationCode[slot] = static_cast<Byte>(e);
    d.NoteNumber[slot] = static_cast<Int16>(n);
}

void GridFixture::SetNumber(int c, int displayRow, int whole, int hundredths)
{
    SetCell(c, displayRow, kNumberCellCode, hundredths, 0, 0, whole);
}

void GridFixture::SetItems(std::initializer_list<std::tuple<int, bool, bool>> items)
{
    ScheduleFormatRecord& f = files->CurrentFormat;
    int i = 0;
    for (auto [code, shown, linked] : items) {
        f.CellItems[i].ContentCode = static_cast<Int16>(code);
        f.CellItems[i].ShowOnScreen = shown ? kTrue : kFalse;
        f.CellItems[i].LinkWithNext = linked ? kTrue : kFalse;
        ++i;
    }
    for (; i <= 5; ++i) f.CellItems[i] = CellItemRecord{};
}

PixelRect GridFixture::CellInterior(int r, int c) const
{
    const int left = ((c - 1) * grid->CellWidth) / grid->TPPX + 1;
    const int top = ((r - 1) * grid->RowHeight) / grid->TPPY + 1;
    return {left, top, left + grid->CellWidthPx - 1, top + grid->RowHeightPx - 1};
}

bool GridFixture::Contains(const Surface& s, const PixelRect& r, std::uint32_t colour)
{
    return Count(s, r, colour) > 0;
}

int GridFixture::Count(const Surface& s, const PixelRect& r, std::uint32_t colour)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (s.Pixel(x, y) == colour) ++n;
    return n;
}

}  // namespace tavrin::test
