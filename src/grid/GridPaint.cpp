#include "grid/GridPaint.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "grid/CellText.h"
#include "grid/GridColours.h"
#include "platform/Runtime.h"
#include "platform/Screen.h"

namespace tavrin {

namespace {

constexpr std::uint32_t kTwinGrey = Rgb(192, 192, 192);
constexpr std::uint32_t kCoverageTwin = Rgb(128, 128, 128);

int PixelsOf(int tw, int tpp)
{
    return static_cast<int>(std::lround(static_cast<double>(tw) / tpp));
}

QString Trimmed(const QString& s)
{
    return Runtime::Trim(s);
}

}  // namespace

GridPaint::GridPaint(SchedFiles& files, GridHost& host, FontService& fonts)
    : TPPX(ScreenTwipsPerPixelX()),
      TPPY(ScreenTwipsPerPixelY()),
      EmpListBack(TPPX, TPPY),
      EmpPosBack(TPPX, TPPY),
      DayRulerBack(TPPX, TPPY),
      GridBack(TPPX, TPPY),
      CoverageBack(TPPX, TPPY),
      VectorX(TPPX, TPPY),
      VectorO(TPPX, TPPY),
      VectorBell(TPPX, TPPY),
      VectorYellowBox(TPPX, TPPY),
      VectorBlueBox(TPPX, TPPY),
      VectorGreenBox(TPPX, TPPY),
      RPTON(TPPX, TPPY),
      RPTOFF(TPPX, TPPY),
      files_(files),
      host_(host),
      fonts_(fonts)
{
    static const char* const kLetters[7] = {"S", "M", "T", "W", "H", "F", "S"};
    for (int i = 1; i <= 7; ++i) WeekdayNames[i] = QString::fromLatin1(kLetters[i - 1]);
    FormFont = fonts_.DefaultFont();
    RowHeight = (250 / TPPY) * TPPY;
    RowHeightPx = RowHeight / TPPY;
    CellWidth = (240 / TPPX) * TPPX;
    CellWidthPx = CellWidth / TPPX;

    EmpListBack.SetBackColour(kTwinGrey);
    EmpPosBack.SetBackColour(kTwinGrey);
    DayRulerBack.SetBackColour(kTwinGrey);
    GridBack.SetBackColour(kTwinGrey);
    CoverageBack.SetBackColour(kCoverageTwin);
    for (Surface* s : {&EmpListBack, &EmpPosBack, &DayRulerBack, &GridBack, &CoverageBack}) s->Clear();

    // The report marks of the name column (10 x 10): shown on reports, hidden from reports.
    for (Surface* s : {&RPTON, &RPTOFF}) {
        s->SetBackColour(kWhite);
        s->Resize(10, 10);
        s->BoxPx(0, 0, 8, 8, kBlack);
    }
    RPTON.FillRect({2, 2, 7, 7}, Rgb(0, 160, 0));
    RPTOFF.LinePx(2, 2, 6, 6, PaletteColour(12));
    RPTOFF.LinePx(6, 2, 2, 6, PaletteColour(12));
    RebuildStatusIcons();
}

void GridPaint::SetPanes(const GridPanes& panes)
{
    panes_ = panes;
    const auto setBack = [](Pane* p, std::uint32_t c) {
        if (!p) return;
        p->SetBackColour(c);
        p->Clear();
    };
    setBack(panes_.EmpList, kWhite);
    setBack(panes_.EmpPos, kWhite);
    setBack(panes_.DayRuler, kTwinGrey);
    setBack(panes_.Grid, kWhite);
    setBack(panes_.CoverageDesc, kTwinGrey);
    setBack(panes_.Coverage, kTwinGrey);
    if (panes_.Grid) panes_.Grid->setFocusPolicy(Qt::StrongFocus);
}

int GridPaint::DaysTagged() const
{
    return static_cast<int>(Runtime::Val(DaysTaggedText));
}

OleDate GridPaint::ColumnDate(int c) const
{
    return std::floor(OleDates::Clamped(files_.ScheduleProps.PeriodStart)) + files_.ScheduleProps.FirstVisibleDay + c -
           1;
}

DividerPropertiesRecord GridPaint::ReadDivider(int n) const
{
    DividerPropertiesRecord d;
    if (n < 1 || n > kDividerRecords || !files_.ReadRecord(FileNo::Dividers, n, d)) {
        d = DividerPropertiesRecord{};
        d.UseDefaultColour = 1;
        d.Colour = static_cast<Int32>(kGreyBrush);
    }
    return d;
}

// ---------------------------------------------------------------- geometry of controls

int GridPaint::LeftOf(QWidget* w) const
{
    if (!w) return 0;
    if (panes_.Form && w->parentWidget() != panes_.Form && panes_.Form->isAncestorOf(w)) {
        return w->mapTo(panes_.Form, QPoint(0, 0)).x() * TPPX;
    }
    return w->x() * TPPX;
}

int GridPaint::TopOf(QWidget* w) const
{
    if (!w) return 0;
    if (panes_.Form && w->parentWidget() != panes_.Form && panes_.Form->isAncestorOf(w)) {
        return w->mapTo(panes_.Form, QPoint(0, 0)).y() * TPPY;
    }
    return w->y() * TPPY;
}

int GridPaint::WidthOf(QWidget* w) const
{
    return w ? w->width() * TPPX : 0;
}
int GridPaint::HeightOf(QWidget* w) const
{
    return w ? w->height() * TPPY : 0;
}

void GridPaint::Place(QWidget* w, int left, int top)
{
    if (!w) return;
    QPoint origin(0, 0);
    if (panes_.Form && w->parentWidget() && w->parentWidget() != panes_.Form && panes_.Form->isAncestorOf(w)) {
        origin = w->parentWidget()->mapTo(panes_.Form, QPoint(0, 0));
    }
    w->move(PixelsOf(left, TPPX) - origin.x(), PixelsOf(top, TPPY) - origin.y());
}

void GridPaint::SetLeft(QWidget* w, int left)
{
    if (w) Place(w, left, TopOf(w));
}
void GridPaint::SetTop(QWidget* w, int top)
{
    if (w) Place(w, LeftOf(w), top);
}
void GridPaint::SetWidth(QWidget* w, int width)
{
    if (w) w->resize(std::max(0, PixelsOf(width, TPPX)), w->height());
}
void GridPaint::SetHeight(QWidget* w, int height)
{
    if (w) w->resize(w->width(), std::max(0, PixelsOf(height, TPPY)));
}

// ---------------------------------------------------------------- fonts

void GridPaint::ApplyGridFont()
{
    if (!panes_.Grid) return;
    const ScheduleFormatRecord& f = files_.CurrentFormat;
    const Result<ScreenFont> r = fonts_.Resolve(
        {Trimmed(f.ScreenFontName.str()), f.ScreenFontSize, f.ScreenFontBold != 0, f.ScreenFontItalic != 0});
    if (r) panes_.Grid->SetScreenFont(*r);
}

void GridPaint::ApplyFormFont()
{
    ScheduleFormatRecord& f = files_.CurrentFormat;
    const auto storeFormat = [this, &f]() {
        if (files_.File(FileNo::Formats).isOpen()) (void)files_.WriteRecord(FileNo::Formats, files_.CurrentFormatNo, f);
        files_.ScheduleModified = true;
    };

    // A bitmap face without the 7-point size asked for is swapped for the other one. One swap
    // ends it: when the other face lacks the size too, its nearest size is kept rather than
    // swapping back and forth for ever.
    Result<ScreenFont> got = fonts_.Resolve({Trimmed(f.ScreenFontName.str()), f.ScreenFontSize, false, false});
    if (got && f.ScreenFontSize == 7) {
        if (got->name == QLatin1String("Small Fonts") && got->size == 6) {
            f.ScreenFontName = "MS Sans Serif";
            storeFormat();
        } else if (got->name == QLatin1String("MS Sans Serif") && got->size == 8.25) {
            f.ScreenFontName = "Small Fonts";
            storeFormat();
        }
    }
    if (got)
        got = fonts_.Resolve(
            {Trimmed(f.ScreenFontName.str()), f.ScreenFontSize, f.ScreenFontBold != 0, f.ScreenFontItalic != 0});
    if (!got) {
        // An unusable name or size: the grid's font takes its place in the format.
        const ScreenFont g = panes_.Grid ? panes_.Grid->ScreenFontUsed() : fonts_.DefaultFont();
        f.ScreenFontName = g.name;
        f.ScreenFontSize = static_cast<float>(Runtime::CInt(g.size));
        f.ScreenFontBold = g.bold ? kTrue : kFalse;
        f.ScreenFontItalic = g.italic ? kTrue : kFalse;
        got = fonts_.Resolve({g.name, f.ScreenFontSize, g.bold, g.italic});
    }
    FormFont = got ? *got : fonts_.DefaultFont();
}

// ---------------------------------------------------------------- display format

void GridPaint::ApplyScheduleFormat()
{
    ScheduleFormatRecord& f = files_.CurrentFormat;
    SchedFiles::ClampFormat(f);

    const QString stem = Trimmed(host_.SchedStem());
    host_.SetCaption(stem.isEmpty() ? QStringLiteral("Tavrin")
                                    : stem + QStringLiteral(" - Tavrin ") + QLatin1Char('[') +
                                          Trimmed(f.FormatName.str()) + QLatin1Char(']'));

    f.IconStep = static_cast<Int16>((6 * 15) / TPPX);
    TwoShiftMode = false;

    if (f.VisibleCoverageTotals <= 0) {
        f.VisibleCoverageTotals = 0;
        CoverageVisible = false;
        if (panes_.CoverageDesc) panes_.CoverageDesc->setEnabled(false);
    } else {
        CoverageVisible = true;
        if (panes_.CoverageDesc) panes_.CoverageDesc->setEnabled(true);
    }

    static const char* const kNames[4][7] = {
        {"S", "M", "T", "W", "H", "F", "S"},
        {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"},
        {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
        {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}};
    if (f.RulerDayNameStyle >= 0 && f.RulerDayNameStyle <= 3) {
        for (int i = 1; i <= 7; ++i) WeekdayNames[i] = QString::fromLatin1(kNames[f.RulerDayNameStyle][i - 1]);
    }
    switch (f.RulerDateStyle) {
        case 0:
            RulerDateFormat = QStringLiteral("d");
            break;
        case 1:
            RulerDateFormat = QStringLiteral("m-d");
            break;
        case 2:
            RulerDateFormat = QStringLiteral("d-m");
            break;
        case 3:
            RulerDateFormat = QStringLiteral("Short Date");
            break;
        default:
            break;
    }
    TimeFormat = f.TimeFormat.str().contains(QLatin1Char('a')) ? QStringLiteral("h:nna/p") : QStringLiteral("hh:nn");
    CellLineCount = 0;

    ApplyFormFont();

    int i0 = 0;
    f.ShowCellStatusIcon = kFalse;
    if (f.CellItems[0].ContentCode == CellCode::ScreenCellIcon && f.CellItems[0].ShowOnScreen != 0) {
        f.ShowCellStatusIcon = kTrue;
        i0 = 1;
        if (f.CellItems[0].LinkWithNext == 0) CellLineCount = f.IconStep + 2;
    }

    const int lh = std::max(1, QFontMetrics(FormFont.font).height());
    int y = CellLineCount;
    f.ShowShiftIcon = kTrue;
    CellFlagA = CellFlagB = CellFlagC = CellFlagD = true;
    bool allLinked = true;
    int k = 0;
    CellItemRow = 0;
    for (int i = i0; i <= 5; ++i) {
        CellItemRecord& item = f.CellItems[i];
        const int code = item.ContentCode;
        if (code <= 0 || item.ShowOnScreen == 0) continue;
        k = 1;
        CellItemRow = i;
        if (ShowsSecondShift(code)) TwoShiftMode = true;
        switch (code) {
            case 310:
            case 320:
            case 1310:
            case 2310:
                CellFlagC = false;
                break;
            case 410:
                CellFlagD = false;
                break;
            default:
                break;
        }
        if (code == 120 || code == 122 || code == 124 || code == 500 || code == 501) CellFlagA = false;
        if (code == 220 || code == 500 || code == 501) CellFlagB = false;
        if ((code < 200 && code % 2 == 0) || (code >= 500 && code <= 599)) f.ShowShiftIcon = kFalse;
        k = CodeLines(code);
        item.BandTop = static_cast<Int16>(y);
        item.BandBottom = static_cast<Int16>(y + lh * k);
        if (item.LinkWithNext == 0) {
            y += lh * k;
            allLinked = false;
        }
    }
    y += 1;
    RowHeightPx = y;
    RowHeight = y * TPPY;
    if (allLinked) {
        y += lh * k;
        RowHeightPx = y;
        RowHeight = y * TPPY;
        if (RowHeightPx < lh) {
            RowHeightPx = lh + 2;
            RowHeight = RowHeightPx * TPPY;
        }
    }
    if (f.ShowTimeOff == 0) CellFlagA = true;
}

// ---------------------------------------------------------------- status icons

void GridPaint::RebuildStatusIcons()
{
    const int step = std::clamp<int>(files_.CurrentFormat.IconStep, 1, 40);
    const int s = (step * 15) / TPPX;
    const int t = (step * 15) / TPPY;
    const int sm = std::min(s, t);
    const std::uint32_t outline = PaletteColour(7);

    const auto prepare = [&](Surface& p, int w, std::uint32_t back) {
        p.SetBackColour(back);
        p.Resize(w + 1, t + 1);
    };
    prepare(VectorX, sm, kWhite);
    VectorX.LinePx(0, 0, sm, t, kBlack);
    VectorX.LinePx(sm, 0, 0, t, kBlack);
    prepare(VectorO, sm, kWhite);
    VectorO.CirclePx(sm / 2, t / 2, sm / 2 - (step < 8 ? 1 : 2), kBlack);
    prepare(VectorBell, sm, kWhite);
    VectorBell.LinePx(sm / 2, 1, sm / 2, t, kBlack);
    VectorBell.LinePx(1, t / 2, sm, t / 2, kBlack);
    for (Surface* p : {&VectorX, &VectorO, &VectorBell}) p->BoxPx(0, 0, sm, t, outline);

    prepare(VectorYellowBox, s, Rgb(255, 255, 128));
    prepare(VectorBlueBox, s, Rgb(128, 255, 255));
    prepare(VectorGreenBox, s, Rgb(128, 255, 128));
    for (Surface* p : {&VectorYellowBox, &VectorBlueBox, &VectorGreenBox}) p->BoxPx(0, 0, s, t, outline);
}

// ---------------------------------------------------------------- layout

void GridPaint::LayoutAndRedrawSchedule()
{
    if (ScheduleClosed || host_.IsMinimised()) return;
    QWidget* form = panes_.Form;
    if (!form) return;
    host_.SetBusy(true);
    const int oldVisibleRows = VisibleRows;
    constexpr int FW = 0;  // the Form is the client area: no frame, caption or menu
    constexpr int FH = 0;
    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    const int days = std::clamp<int>(fmt.DaysOnScreen, 1, kMaxVisibleDays);

    // The date range panel always fits.
    if (panes_.DateDisplay) {
        const int need = LeftOf(panes_.DateDisplay) + WidthOf(panes_.DateDisplay) + FW;
        const int px = PixelsOf(need, TPPX);
        // The window itself is held to that width as well, before the user ever narrows it:
        // a window narrower than its inner area would cut off the right columns.
        QWidget* main = panes_.MainForm;
        const int frame = main && main != form ? std::max(0, main->width() - form->width()) : 0;
        form->setMinimumWidth(px);
        if (main && main != form) {
            main->setMinimumWidth(px + frame);
            if (main->width() < px + frame) main->resize(px + frame, main->height());
        }
        if (WidthOf(form) < need) form->resize(px, form->height());
    }
    const int formW = WidthOf(form);
    const int formH = HeightOf(form);

    SetWidth(panes_.ToolPanel, formW);
    const int explH = HeightOf(panes_.Explainations);
    if (panes_.Explainations) {
        SetHeight(panes_.NoteCheck, explH);
        SetHeight(panes_.NoteX, explH);
        SetHeight(panes_.NotePad, explH);
    }
    if (panes_.NotePad) SetWidth(panes_.NotePad, formW - LeftOf(panes_.NotePad));

    Pane* grid = panes_.Grid;
    if (!files_.WorkingFilesOpen || !grid) {
        host_.SetBusy(false);
        return;
    }

    ApplyGridFont();
    LayoutInProgress = true;

    const int rh = grid->TextHeightTw(QStringLiteral("M")) * 2;
    SetHeight(panes_.Label1, rh);
    SetHeight(panes_.Label2, rh);
    SetHeight(panes_.DayRuler, rh);

    int nw0 = 0;
    int pw0 = 0;
    if (grid->TextWidthTw(QStringLiteral("I")) == grid->TextWidthTw(QStringLiteral("W"))) {
        nw0 = grid->TextWidthTw(QString(21, QLatin1Char('M')));
        pw0 = grid->TextWidthTw(QString(11, QLatin1Char('M')));
    } else {
        nw0 = grid->TextWidthTw(QString(11, QLatin1Char('M')));
        pw0 = grid->TextWidthTw(QString(8, QLatin1Char('M')));
    }
    int nw = nw0;
    int pw = 0;
    if (fmt.HidePositionColumn != 0) {
        if (panes_.EmpPos) panes_.EmpPos->hide();
        if (panes_.Label2) panes_.Label2->hide();
    } else {
        pw = pw0;
        if (firstLayoutDone_) {
            if (panes_.EmpPos) panes_.EmpPos->show();
            if (panes_.Label2) panes_.Label2->show();
        }
    }

    const int gw0 = Snap(grid->WidthTw(), TPPX);
    const int bv = (grid->HeightTw() - grid->ScaleHeightTw()) / 2;
    const int bh = (gw0 - grid->ScaleWidthTw()) / 2;

    CoverageRowHeight = Snap(grid->TextHeightTw(QStringLiteral("A")) + TPPY, TPPY);
    CoverageRowHeightPx = CoverageRowHeight / TPPY;

    const int labelTop = Snap(TopOf(panes_.Explainations) + explH - bv, TPPY);
    const int labelH = Snap(rh, TPPY);
    SetTop(panes_.Label1, labelTop);
    SetTop(panes_.Label2, labelTop);
    SetHeight(panes_.Label1, labelH);
    SetHeight(panes_.Label2, labelH);
    const int listTop = labelTop + labelH - bv;
    Place(panes_.EmpList, 0, listTop);
    SetTop(panes_.EmpPos, listTop);

    // Fit the day columns; what snapping the cells to whole pixels leaves over goes to the
    // name column. Cells never get narrower than one pixel: the name column gives way.
    const int vsw = WidthOf(panes_.VScroll2);
    const auto snapCell = [this, days](int width) {
        return std::max(TPPX, Snap(Runtime::CInt(static_cast<double>(width) / days), TPPX));
    };
    for (int pass = 0; pass < 4; ++pass) {
        const int gl = nw + pw - 2 * bh;
        int re = formW - vsw - FW + bh;
        CellWidth = snapCell(re - gl);
        re = gl + CellWidth * days + 2 * bh;
        const int spare = formW - FW - (re + vsw - 2 * bh);
        if (spare < 0 && CellWidth == TPPX) {
            nw = std::max(TPPX, nw + spare);
            break;
        }
        if (spare <= TPPX) break;
        nw = nw0 + spare;
    }

    const int posLeft = nw - bh;
    SetLeft(panes_.EmpPos, posLeft);
    Place(panes_.Label1, 0, labelTop);
    SetWidth(panes_.Label1, nw);
    Place(panes_.Label2, posLeft, labelTop);
    SetWidth(panes_.Label2, pw);
    // The editors sit inside their columns: their left edge is in their parent's coordinates.
    for (QWidget* editor : {panes_.EmpText, panes_.EmpText2}) {
        if (editor) editor->move(2, editor->y());
    }
    SetWidth(panes_.EmpList, nw);
    SetWidth(panes_.EmpPos, pw);
    const int gridLeft = posLeft + pw - bh;
    Place(grid, gridLeft, listTop);
    Place(panes_.DayRuler, gridLeft, labelTop);

    const int noteBottom = TopOf(panes_.NotePad) + HeightOf(panes_.NotePad);
    int scrollLeft = formW - vsw - FW + bh;
    int gw = scrollLeft - gridLeft;
    CellWidth = snapCell(gw);
    gw = CellWidth * days + 2 * bh;
    scrollLeft = gridLeft + gw;
    Place(panes_.VScroll2, scrollLeft, noteBottom);
    CellWidthPx = CellWidth / TPPX;
    RowHeight = std::max(RowHeight, TPPY);
    RowHeightPx = RowHeight / TPPY;

    int ch = CoverageRowHeight * fmt.VisibleCoverageTotals + 2 * bv;
    if (host_.CurrentShiftCode() > 0 && !CoverageVisible) ch = 0;
    VisibleRows = std::clamp((formH - ch - FH - TopOf(grid)) / RowHeight, 1, kSlots);

    if (VisibleRows > 1)
        host_.SetRowScroll(VisibleRows - 1, kSlots - VisibleRows);
    else
        host_.SetRowScroll(1, kSlots - 1);

    const int gh = RowHeight * VisibleRows + 2 * bv;
    SetHeight(panes_.EmpList, gh);
    SetHeight(panes_.EmpPos, gh);
    SetHeight(grid, gh);
    SetWidth(grid, gw + bh);
    SetWidth(panes_.DayRuler, WidthOf(grid));
    SetHeight(panes_.DayRuler, labelH);
    SetHeight(panes_.VScroll2, HeightOf(panes_.DayRuler) + gh - 2 * bv);

    const int coverageH = CoverageRowHeight * fmt.VisibleCoverageTotals + 2 * bv;
    const int coverageTop = TopOf(grid) + HeightOf(grid) - bv;
    Place(panes_.CoverageDesc, 0, coverageTop);
    SetWidth(panes_.CoverageDesc, WidthOf(panes_.EmpList) + WidthOf(panes_.EmpPos) - bh);
    SetHeight(panes_.CoverageDesc, coverageH);
    Place(panes_.Coverage, gridLeft, coverageTop);
    SetWidth(panes_.Coverage, WidthOf(grid));
    SetHeight(panes_.Coverage, coverageH);

    RebuildStatusIcons();

    const ScreenFont& gf = grid->ScreenFontUsed();
    for (Pane* p : {panes_.DayRuler, panes_.EmpList, panes_.EmpPos, panes_.Coverage, panes_.CoverageDesc}) {
        if (p) p->SetScreenFont(gf);
    }
    for (QWidget* w : {panes_.Label1, panes_.Label2, panes_.EmpText, panes_.EmpText2}) {
        if (w) w->setFont(gf.font);
    }
    const auto twin = [&gf](Pane* p, Surface& back) {
        if (p) {
            back.SetForeColour(p->ForeColour());
            p->Clear();  // first: the screen then keeps nothing of the old twin
            back.Resize(p->width(), p->height());
        }
        back.SetFont(gf);
        if (!p) back.Clear();  // Resize has cleared it
    };
    twin(panes_.EmpList, EmpListBack);
    twin(panes_.EmpPos, EmpPosBack);
    twin(grid, GridBack);
    twin(panes_.Coverage, CoverageBack);
    twin(panes_.DayRuler, DayRulerBack);
    if (panes_.CoverageDesc) panes_.CoverageDesc->Clear();
    SetHeight(panes_.EmpText, RowHeight - TPPY);
    SetWidth(panes_.EmpText, WidthOf(panes_.EmpList));
    SetHeight(panes_.EmpText2, RowHeight - TPPY);
    SetWidth(panes_.EmpText2, WidthOf(panes_.EmpPos));

    if (!firstLayoutDone_) {
        for (QWidget* w : {static_cast<QWidget*>(panes_.Label1), static_cast<QWidget*>(panes_.EmpList)}) {
            if (w) w->show();
        }
        if (fmt.HidePositionColumn == 0) {
            if (panes_.Label2) panes_.Label2->show();
            if (panes_.EmpPos) panes_.EmpPos->show();
        }
        for (QWidget* w : {static_cast<QWidget*>(panes_.CoverageDesc), static_cast<QWidget*>(panes_.DayRuler),
                           static_cast<QWidget*>(grid), static_cast<QWidget*>(panes_.Coverage), panes_.VScroll2}) {
            if (w) w->show();
        }
        grid->setFocus();
        firstLayoutDone_ = true;
    }

    if (host_.CurrentShiftCode() > 0) {
        if (files_.VisibleDays != days) {
            // Keep the first tagged day's date in view: it becomes the first visible day.
            const Status flushed = files_.FlushWorkingData();
            if (!flushed) {
                files_.Msg().show(flushed.message(), Mb::Exclamation, QStringLiteral("Error"));
            } else {
                const int first = std::max(FirstTaggedDay, 1);
                const int runLength = std::max(0, LastTaggedDay - first);
                const OleDate tagged = ColumnDate(first);
                files_.ScheduleProps.FirstVisibleDay = static_cast<Int16>(
                    std::clamp(files_.ScheduleProps.FirstVisibleDay + first - 1, 0, static_cast<int>(kMaxPeriodDays)));
                files_.VisibleDays = days;
                const Status loaded = files_.LoadVisibleDays();
                if (!loaded) files_.Msg().show(loaded.message(), Mb::Exclamation, QStringLiteral("Error"));
                const int c =
                    std::clamp(static_cast<int>(std::lround(tagged - ColumnDate(1))) + 1, 1, files_.VisibleDays);
                FirstTaggedDay = c;
                LastTaggedDay = std::min(c + runLength, files_.VisibleDays);
                CursorDay = LastTaggedDay;
            }
        }
        if (VisibleRows != oldVisibleRows) {
            const int r = std::clamp(TopRow + CursorRow - 1, 1, kSlots);
            TopRow = std::max(1, std::min(r, kSlots - VisibleRows + 1));
            CursorRow = CurrentRow = r - TopRow + 1;
            host_.SetRowScrollValue(TopRow - 1);
        }
        DrawCoverageDescLines();
        DrawDayColumns(1, files_.VisibleDays);
        DrawScheduleCells(1, files_.VisibleDays, 1, VisibleRows);
        DrawCoverageDescriptions();
        DrawCoverageCounts(1, files_.VisibleDays, false);
        DrawNameColumn(1, VisibleRows);
        DrawPositionColumn(1, VisibleRows);
        if (CursorRow > VisibleRows) CursorRow = CurrentRow = VisibleRows;
        if (CursorDay > files_.VisibleDays) {
            FirstTaggedDay = CursorDay = files_.VisibleDays;
            TagDayCells(CursorRow, CursorDay, 0);
        } else {
            TagDayCells(CursorRow, CursorDay, 3);
        }
    }

    LayoutInProgress = false;
    host_.SetBusy(false);
}

}  // namespace tavrin
