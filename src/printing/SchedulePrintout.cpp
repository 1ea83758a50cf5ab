#include "printing/SchedulePrintout.h"

#include <algorithm>
#include <cmath>

#include "grid/GridPaint.h"
#include "platform/PrinterDevice.h"
#include "platform/Runtime.h"
#include "printing/Export.h"
#include "printing/PreviewRec.h"
#include "printing/PrintServices.h"
#include "store/Defaults.h"
#include "store/SchedFiles.h"

namespace tavrin {

namespace {

constexpr int kGap = 23;  // twips between a text and its row's edges
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kRed = Rgb(255, 0, 0);

// Fill colours of a drawing: an exact colour is negated, a shade stays positive.
std::int32_t OwnColour(std::uint32_t colour)
{
    return -static_cast<std::int32_t>(colour & 0xFFFFFFu);
}
std::int32_t Shade(std::uint32_t colour)
{
    return static_cast<std::int32_t>(colour & 0xFFFFFFu);
}

bool IsFirstShiftItem(int code)
{
    return code == CellCode::Shift1 || code == CellCode::Shift1And2 || code == CellCode::Shift1Times;
}

}  // namespace

SchedulePrintout::SchedulePrintout(PrintServices& services, SchedFiles& files, GridPaint& grid,
                                   std::function<QString(int)> explanationText)
    : s_(services), files_(files), grid_(grid), explanationText_(std::move(explanationText))
{
}

// ---------------------------------------------------------------- the run

SchedulePrintout::Outcome SchedulePrintout::PrintSchedule(const PrintoutRequest& request)
{
    request_ = &request;
    text_ = request.text;
    if (text_) text_->Reset();

    PrtSched run(s_);
    run_ = &run;
    bool failed = !run.BeginRun();
    if (!failed) {
        InitPrintout(request);
        PageSetup in = PageSetup::From(files_.CurrentFormat.PrintSettings, request.copies, PrtHeadingFontSize);
        in.FontName = FontName;
        in.FontSize = FontSize;
        in.FontBold = FontBold;
        in.FontItalic = FontItalic;
        in.TitleSize = PrtTitleFontSize;
        in.Title = PageTitle();
        run.SetupPrinter(in, failed);
        if (!failed) {
            // Each page starts in black with thin lines, on the printer as in the preview.
            if (!run.Preview()) {
                run.Printer().SetForeColor(kBlack);
                (void)run.Printer().SetDrawWidth(1);
            }
            run.ComputePageArea(in.Margins, 1);
            ComputeCellLayout();
            for (;;) {
                PaginateRows();
                if (PrtAllRowsDone) break;
                PrintPageHeader();
                if (run.PrtStopped) break;
                PrintGridLines();
                if (run.PrtStopped) break;
                if (text_) PrintTextHeaderLine();
                PrintRowHeaders();
                if (run.PrtStopped) break;
                PrintScheduleBody();
                if (run.PrtStopped) break;
                // Every page, the last one included, ends with an end of page.
                run.NewPage();
                if (run.PrtStopped) break;
            }
        }
    }
    run.Finish(!failed && !run.PrtStopped && !text_ && request.showPreview);
    run_ = nullptr;
    request_ = nullptr;
    if (request.progress) request.progress(0);
    // A document the printer did not take at its end stops the run too.
    return failed ? Outcome::SetupFailed : run.PrtStopped ? Outcome::Stopped : Outcome::Done;
}

void SchedulePrintout::InitPrintout(const PrintoutRequest& request)
{
    Pending.fill(false);
    RowType.fill(NoRow);
    EmpRow.fill(0);

    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    const ReportSettingsRecord& ps = fmt.PrintSettings;
    Orientation = ps.Orientation;
    PrintQuality = ps.PrintQuality;
    Title = Runtime::Trim(ps.Title.str());
    PrtGridCoverageNo = 0;
    if (ps.UseScreenFont != 0) {
        // The screen's bitmap fonts do not print; their printed stand-in is Arial.
        FontName = Runtime::Trim(fmt.ScreenFontName.str());
        if (FontName == QLatin1String("MS Sans Serif") || FontName == QLatin1String("Small Fonts"))
            FontName = QStringLiteral("Arial");
        FontSize = fmt.ScreenFontSize;
        FontBold = fmt.ScreenFontBold != 0;
        FontItalic = fmt.ScreenFontItalic != 0;
    } else {
        FontName = Runtime::Trim(ps.FontName.str());
        FontSize = ps.FontSize;
        FontBold = ps.FontBold != 0;
        FontItalic = ps.FontItalic != 0;
    }
    PrintInColour = ps.PrintInColour != 0;
    ShadePercent = ps.ShadePercent;

    int n = 0;
    for (int row : request.rows) {
        if (n >= kSlots) break;
        if (!IsSlot(row)) continue;
        ++n;
        Pending[static_cast<std::size_t>(n)] = true;
        EmpRow[static_cast<std::size_t>(n)] = row;
        RowType[static_cast<std::size_t>(n)] = IsDividerRow(files_.EmpTable, row) ? DividerRow : EmployeeRow;
    }
    if (grid_.CoverageVisible && fmt.OmitCoverageTotals == 0) {
        const int lines = std::clamp<int>(fmt.VisibleCoverageTotals, 0, kCoverageLines);
        for (int k = 1; k <= lines; ++k) {
            RowType[static_cast<std::size_t>(kSlots + k)] = CoverageRow;
            Pending[static_cast<std::size_t>(kSlots + k)] = true;
        }
    }

    HidePosition = fmt.HidePositionColumn != 0;
    // The cache holds VisibleDays columns; a format asking for more prints what is there.
    Days = std::clamp<int>(std::min<int>(fmt.DaysOnScreen, files_.VisibleDays), 1, kMaxVisibleDays);
    FirstDay = 1;
    LastDay = Days;
    OmitSaturdays = ps.Options[1] != 0;
    OmitSundays = ps.Options[2] != 0;
    // Leaving out every day would leave nothing to divide the width by.
    if (PrintedDays() == 0) OmitSaturdays = OmitSundays = false;

    // A single-line recount asked for by the coverage editor must not leave the other lines out.
    grid_.CoverageRowToRedraw = 0;
    grid_.DrawCoverageCounts(1, Days, true);

    PrtRowsPrinted = 0;
    PrtRowsTotal = static_cast<int>(std::count(Pending.begin() + 1, Pending.end(), true));

    queryNo_ = CheckedQueryNo(fmt.PrintQueryNumber);
    if (queryNo_ > 0 && !files_.ReadRecord(FileNo::Queries, queryNo_, query_)) queryNo_ = 0;
    rule_.emplace(query_, QueryVariant::PrintoutBody);

    cellText_ = CellTextContext{};
    cellText_.shifts = &files_.ShiftTable;
    cellText_.shiftColours = &files_.ShiftColours;
    cellText_.explanations = &files_.ExplTable;
    cellText_.useAbbreviations = fmt.UseAbbreviations != 0;
    cellText_.showTimeOff = fmt.ShowTimeOff != 0;
    cellText_.timeFormat = Runtime::Trim(fmt.TimeFormat.str());
    cellText_.explanationListText = explanationText_;
    cellText_.noteText = [this](int note) { return files_.GetNoteText(note); };

    cellLines_.clear();
    noteTexts_.clear();
    rulerDates_.clear();
    periodText_ = QString();
    noteTextShown_ = false;
    for (int k = 0; k <= 5; ++k) {
        const int code = fmt.CellItems[k].ContentCode;
        if (code == CellCode::NoteText || code == CellCode::NoteText2Line || code == CellCode::NoteText3Line)
            noteTextShown_ = true;
    }
    // The export's texts, needed only when the run writes text.
    explanationNames_.assign(256, QString());
    shiftFields_.assign(kUserShifts + 1, ShiftFields{});
    if (!request.text) return;
    for (int e = 1; e <= kExplanations; ++e)
        explanationNames_[static_cast<std::size_t>(e)] = cellText_.ExplanationName(e);
    for (int code = 1; code <= kUserShifts; ++code) {
        const ShiftRecord& shift = files_.ShiftTable[code];
        shiftFields_[static_cast<std::size_t>(code)] = {
            cellText_.ShiftName(code), Runtime::FormatDate(shift.StartTime, QStringLiteral("hh:mm")),
            Runtime::FormatDate(shift.EndTime, QStringLiteral("hh:mm")),
            Runtime::FormatNumber(std::isfinite(shift.PaidHours) ? shift.PaidHours : 0.0f, QStringLiteral("#0.00"))};
    }
}

void SchedulePrintout::ComputeCellLayout()
{
    // Measuring only: the page header sets what it draws with again.
    PrinterDevice& p = run_->Printer();
    (void)p.SetFontBold(false);
    (void)p.SetFontSize(PrtTitleFontSize);
    const double titleHeight = p.TextHeight(QStringLiteral("Aj"));
    (void)p.SetFontSize(PrtHeadingFontSize);
    PrtHeaderLineHeight = Runtime::CInt(p.TextHeight(QStringLiteral("Aj")));
    PrtHeaderHeight = Runtime::CInt(run_->SnapToPrinterPixelY(titleHeight + 2.0 * PrtHeaderLineHeight));

    (void)p.SetFontSize(FontSize);
    (void)p.SetFontBold(FontBold);
    (void)p.SetFontItalic(FontItalic);
    PrtCellInset = Runtime::CInt(2 * p.TwipsPerPixelX());

    const float level = 255.0f - 255.0f * static_cast<float>(ShadePercent) / 100.0f;
    const int grey = std::clamp(Runtime::CInt(level), 0, 255);
    PrtShadeColour = Rgb(grey, grey, grey);

    PrtLineHeight = Runtime::CInt(p.TextHeight(QStringLiteral("jyA")));
    PrtDividerRowHeight = PrtLineHeight + 2 * kGap;
    PrtBodyCoverageNo = 0;

    // A fixed-pitch font needs wider columns for the same names.
    const bool fixedPitch = p.TextWidth(QStringLiteral("I")) == p.TextWidth(QStringLiteral("W"));
    PrtNameWidth = Runtime::CInt(p.TextWidth(QString(fixedPitch ? 22 : 12, QLatin1Char('M'))));
    PrtPositionWidth = Runtime::CInt(p.TextWidth(QString(fixedPitch ? 11 : 8, QLatin1Char('M'))));
    if (HidePosition) PrtPositionWidth = 0;

    const int left = run_->PrtPageLeft;
    const int right = run_->PrtPageRight;
    const int m = std::max(PrintedDays(), 1);
    const float share = static_cast<float>(right - left - PrtNameWidth - PrtPositionWidth) / static_cast<float>(m);
    PrtDayWidth = Runtime::CInt(run_->SnapToPrinterPixelX(Runtime::CInt(share)));
    // What the day columns leave goes to the name column.
    PrtNameWidth += right - (left + PrtNameWidth + PrtPositionWidth + m * PrtDayWidth);

    PrtHeadingHeight = 2 * PrtLineHeight + 2 * kGap;
    PrtPageNumber = 0;

    // Bands of the items shown on reports; linked items share the next item's band.
    const int L = run_->TwipsToPrinterPixelsY(PrtLineHeight);
    const int G = run_->TwipsToPrinterPixelsY(kGap);
    int y = G;
    bool none = true;
    for (int k = 0; k <= 5; ++k) {
        const CellItemRecord& item = files_.CurrentFormat.CellItems[k];
        PrtBandTop[static_cast<std::size_t>(k)] = 0;
        PrtBandBottom[static_cast<std::size_t>(k)] = 0;
        if (item.ContentCode <= 0 || item.ShowOnReport == 0) continue;
        const int lines = CodeLines(item.ContentCode);
        PrtBandTop[static_cast<std::size_t>(k)] = y;
        PrtBandBottom[static_cast<std::size_t>(k)] = y + L * lines - 1;
        if (item.LinkWithNext == 0) {
            y += L * lines + G;
            none = false;
        }
    }
    if (none) y += L + G;
    PrtEmployeeRowHeight = Runtime::CInt(y * p.TwipsPerPixelY());
}

void SchedulePrintout::PaginateRows()
{
    PrtLastRowOnPage = 0;
    int y = run_->PrtPageTop + PrtHeadingHeight + PrtHeaderHeight;
    ++PrtPageNumber;
    PrtAllRowsDone = true;
    PrtCoverageTop = 0;
    for (int r = 1; r <= kEntries; ++r) {
        if (!Pending[static_cast<std::size_t>(r)]) continue;
        PrtAllRowsDone = false;
        const int type = RowType[static_cast<std::size_t>(r)];
        if (type == CoverageRow && PrtCoverageTop == 0) PrtCoverageTop = y;
        const int h = type == EmployeeRow ? PrtEmployeeRowHeight : PrtDividerRowHeight;
        if (y + h <= run_->PrtPageBottom) {
            PrtLastRowOnPage = r;
            y += h;
            continue;
        }
        // A row taller than the page goes alone on its page, cut at the page's bottom; the run
        // thus always moves on.
        if (PrtLastRowOnPage == 0) {
            PrtLastRowOnPage = r;
            y = RowBottom(y, h);
        }
        break;
    }
    PrtPageFillY = y;
}

// ---------------------------------------------------------------- page header, grid, headings

QString SchedulePrintout::PageTitle() const
{
    const QString q =
        queryNo_ > 0 ? QStringLiteral(" [") + Runtime::Trim(query_.Title.str()) + QLatin1Char(']') : QString();
    return Title + q;
}

void SchedulePrintout::PrintPageHeader()
{
    PrtSched& run = *run_;
    colour_ = kBlack;  // a page starts in black, in the preview as on the printer
    width_ = -1;
    const QString title = PageTitle();
    s_.Rec.ReportTitle = title;
    // Printing something first begins the page on the printer.
    if (!run.Preview()) run.PrintText(QStringLiteral(" "));

    const PixelRect r{run.TwipsToPrinterPixelsX(run.PrtPageLeft), run.TwipsToPrinterPixelsY(run.PrtPageTop),
                      run.TwipsToPrinterPixelsX(run.PrtPageRight),
                      run.TwipsToPrinterPixelsY(run.PrtPageTop + PrtHeaderHeight - PrtHeaderLineHeight / 2.0)};
    run.FontSize(PrtTitleFontSize);
    run.DrawText(title, r, Surface::DT_CENTER | Surface::DT_SINGLELINE);
    run.FontSize(PrtHeadingFontSize);
    if (periodText_.isNull()) periodText_ = PeriodText();
    run.DrawRunLines(r, files_.DateFormat, grid_.TimeFormat, PrtPageNumber, periodText_);

    run.FontSize(FontSize);
    run.FontBold(FontBold);
    run.FontItalic(FontItalic);
}

void SchedulePrintout::PrintGridLines()
{
    PrtSched& run = *run_;
    const int left = run.PrtPageLeft;
    const int right = run.PrtPageRight;
    const int y0 = run.PrtPageTop + PrtHeaderHeight;
    const ReportSettingsRecord& ps = files_.CurrentFormat.PrintSettings;
    SetWidth(3);

    const DividerPropertiesRecord ruler = Divider(kDayRulerRecord);
    if (ps.ShadeDayRuler != 0 || ruler.UseDefaultColour == 0) {
        const bool own = ruler.UseDefaultColour == 0 && PrintInColour;
        run.FilledBox(left, y0, right, y0 + PrtHeadingHeight,
                      own ? OwnColour(static_cast<std::uint32_t>(ruler.Colour)) : Shade(PrtShadeColour));
    }

    if (PrtCoverageTop > 0) {
        const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);
        for (int y = PrtCoverageTop; y < PrtPageFillY; y += PrtDividerRowHeight) {
            ++PrtGridCoverageNo;
            const DividerPropertiesRecord line =
                Divider(CoverageLineRecord(format, std::clamp(PrtGridCoverageNo, 1, kCoverageLines)));
            const bool own = line.UseDefaultColour == 0;
            if (own || ps.ShadeCoverage != 0) {
                run.FilledBox(
                    left, y, right, RowBottom(y, PrtDividerRowHeight),
                    own && PrintInColour ? OwnColour(static_cast<std::uint32_t>(line.Colour)) : Shade(PrtShadeColour));
            }
        }
        run.Line(left, PrtCoverageTop, right, PrtCoverageTop);
    }

    run.Box(left, y0, right, PrtPageFillY);
    run.Line(left, y0 + PrtHeadingHeight, right, y0 + PrtHeadingHeight);
    SetWidth(1);

    // The coverage titles span the name and position columns.
    const int nameEdge = left + PrtNameWidth;
    SetWidth(HidePosition ? 3 : 1);
    run.Line(nameEdge, y0, nameEdge, PrtCoverageTop > 0 && !HidePosition ? PrtCoverageTop : PrtPageFillY);
    if (!HidePosition) {
        SetWidth(3);
        run.Line(nameEdge + PrtPositionWidth, y0, nameEdge + PrtPositionWidth, PrtPageFillY);
    }
    SetWidth(1);

    // Day lines: a new week starts after the day whose next printed weekday is the first day of
    // the week.
    int ws = files_.ScheduleProps.FirstDayOfWeek;
    if (ws < 1 || ws > 7) ws = 1;
    while (OmittedWeekday(ws)) ws = ws == 7 ? 1 : ws + 1;
    const int m = PrintedDays();
    int x = left + PrtNameWidth + PrtPositionWidth;
    int c = 0;
    for (int d = 1; d <= Days; ++d) {
        int next = Runtime::Weekday(DayDate(d) + 1);
        while (OmittedWeekday(next)) next = next == 7 ? 1 : next + 1;
        if (Omitted(d)) continue;
        ++c;
        const bool week = next == ws;
        SetWidth(week ? 3 : 1);
        // The last printed day's right edge is the frame, which stays black.
        SetColour(week && PrintInColour && c != m ? PaletteColour(4) : kBlack);
        x += PrtDayWidth;
        run.Line(x, y0, x, PrtPageFillY);
    }
    SetWidth(1);
    SetColour(kBlack);
}

void SchedulePrintout::PrintTextHeaderLine()
{
    if (!text_ || PrtPageNumber != 1) return;
    if (text_->StackedColumns || text_->ContentItems() < 2) return;
    text_->AppendTextField(QString(), -1);
    if (text_->Option(ExportOpt::Position)) text_->AppendTextField(QString(), -1);
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        int number = 0;
        for (int k = ExportOpt::kFirstContent; k <= ExportOpt::kLastContent; ++k) {
            if (text_->Option(k)) text_->AppendTextField(QString::number(++number), -1);
        }
    }
    text_->FlushTextLine();
}

void SchedulePrintout::PrintRowHeaders()
{
    PrtSched& run = *run_;
    if (!run.Preview()) run.Printer().SetBkMode(1);
    const int left = run.PrtPageLeft;
    const int yh = run.PrtPageTop + PrtHeaderHeight;
    const int top = yh + PrtHeadingHeight / 2 - PrtLineHeight / 2;
    run.DrawText(QStringLiteral("Name"), Px(left + kGap, top, left + PrtNameWidth - kGap, top + PrtLineHeight),
                 Surface::DT_CENTER);
    if (!HidePosition) {
        run.DrawText(
            QStringLiteral("Position"),
            Px(left + PrtNameWidth + kGap, top, left + PrtNameWidth + PrtPositionWidth - kGap, top + PrtLineHeight),
            Surface::DT_CENTER);
    }
    // The dates are the same on every page.
    if (rulerDates_.size() < static_cast<std::size_t>(LastDay) + 1)
        rulerDates_.resize(static_cast<std::size_t>(LastDay) + 1);
    int c = 0;
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        ++c;
        const int x = ColumnX(c);
        const OleDate date = DayDate(d);
        const int weekday = Runtime::Weekday(date);
        if (PrintInColour) SetColour(weekday == 1 ? PaletteColour(4) : kBlack);
        run.DrawText(grid_.WeekdayNames[weekday], Px(x, yh + kGap, x + PrtDayWidth, yh + kGap + PrtLineHeight),
                     Surface::DT_CENTER);
        QString& ruler = rulerDates_[static_cast<std::size_t>(d)];
        if (ruler.isNull()) ruler = Runtime::FormatDate(date, grid_.RulerDateFormat);
        run.DrawText(ruler, Px(x, yh + kGap + PrtLineHeight + kGap, x + PrtDayWidth, yh + 2 * PrtLineHeight + kGap),
                     Surface::DT_CENTER);
    }
    SetColour(kBlack);

    if (!text_ || PrtPageNumber != 1) return;
    // The heading line of the text: in the stacked layout one date a day, all in the first column.
    text_->AppendTextField(QStringLiteral("Name"), 1);
    if (text_->Option(ExportOpt::Position)) text_->AppendTextField(QStringLiteral("Position"), 1);
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        const QString date = Runtime::FormatDate(DayDate(d), files_.DateFormat);
        if (text_->StackedColumns) {
            text_->AppendTextField(date, 1);
            continue;
        }
        for (int k = ExportOpt::kFirstContent; k <= ExportOpt::kLastContent; ++k) {
            if (text_->Option(k)) text_->AppendTextField(date, 1);
        }
    }
    text_->FlushTextLine();
}

// ---------------------------------------------------------------- the body

void SchedulePrintout::PrintScheduleBody()
{
    PrtSched& run = *run_;
    // The text edges of the day cells, in device pixels, the same in every row of the page.
    const int columns = std::max(LastDay - FirstDay + 1, 0);
    cellTextX_.assign(static_cast<std::size_t>(columns) + 1, {0, 0});
    for (int c = 1; c <= columns; ++c) {
        const int x = ColumnX(c);
        cellTextX_[static_cast<std::size_t>(c)] = {run.TwipsToPrinterPixelsX(x + kGap),
                                                   run.TwipsToPrinterPixelsX(x + PrtDayWidth - kGap)};
    }
    int y = run.PrtPageTop + PrtHeaderHeight + PrtHeadingHeight;
    prevPlainDivider_ = false;
    for (int r = 1; r <= PrtLastRowOnPage; ++r) {
        if (!Pending[static_cast<std::size_t>(r)]) continue;
        Pending[static_cast<std::size_t>(r)] = false;
        ++PrtRowsPrinted;
        if (request_ && request_->progress && PrtRowsTotal > 0)
            request_->progress(Runtime::CInt(100.0 * PrtRowsPrinted / PrtRowsTotal));
        switch (RowType[static_cast<std::size_t>(r)]) {
            case EmployeeRow:
                PrintEmployeeRow(r, y);
                prevPlainDivider_ = false;
                y += PrtEmployeeRowHeight;
                break;
            case DividerRow:
                PrintDividerRow(r, y);
                y += PrtDividerRowHeight;
                break;
            case CoverageRow:
                PrintCoverageRow(r, y);
                prevPlainDivider_ = false;
                y += PrtDividerRowHeight;
                break;
            default:
                break;
        }
        if (run.PrtStopped) return;
    }
}

void SchedulePrintout::PrintEmployeeRow(int r, int y)
{
    PrtSched& run = *run_;
    const int row = EmpRow[static_cast<std::size_t>(r)];
    const int left = run.PrtPageLeft;
    const int bottom = RowBottom(y, PrtEmployeeRowHeight);
    run.Line(left, bottom, run.PrtPageRight, bottom);
    const QString name = Runtime::Trim(files_.EmpTable.Name[row].str());
    const QString position = Runtime::Trim(files_.EmpTable.Position[row].str());
    run.DrawText(name, Px(left + kGap, y + kGap, left + PrtNameWidth - kGap, bottom - kGap), Surface::DT_SINGLELINE);
    if (!HidePosition) {
        run.DrawText(
            position,
            Px(left + PrtNameWidth + kGap, y + kGap, left + PrtNameWidth + PrtPositionWidth - kGap, bottom - kGap),
            Surface::DT_SINGLELINE);
    }
    const int slot = files_.ScheduleProps.RowMap[row];
    const bool blank = request_ && request_->blank;
    if (!blank && IsSlot(slot)) PrintDayCells(slot, y);

    if (!text_) return;
    text_->AppendTextField(name, -1);
    if (text_->Option(ExportOpt::Position)) text_->AppendTextField(position, -1);
    if (!blank) PrintDayFields(IsSlot(slot) ? slot : 0);
    text_->FlushTextLine();
    if (text_->Option(ExportOpt::SeparateRecords)) text_->EndRecord();
}

CellValues SchedulePrintout::Cell(int d, int slot) const
{
    CellValues v;
    if (!IsSlot(slot)) return v;
    const DayRecord& day = files_.ColumnDay(d);
    v.s1 = day.Shift1Code[slot];
    v.s2 = day.Shift2Code[slot];
    v.oc = day.OnCallFlag[slot];
    v.e = day.ExplanationCode[slot];
    v.n = std::max<int>(day.NoteNumber[slot], 0);
    return v;
}

bool SchedulePrintout::QueryMatches(const CellValues& v, int& mode) const
{
    mode = 2;
    if (queryNo_ <= 0) return true;
    if (query_.IgnoreExplanations != 0 && query_.IgnoreShifts != 0) return true;
    mode = files_.CurrentFormat.NonMatchingCellsMode;
    return rule_->CellMatches(QueryCell{v.s1, v.s2, v.oc, v.e, v.n});
}

const std::vector<SchedulePrintout::CellLine>& SchedulePrintout::LinesOf(const CellValues& v)
{
    // A note's number matters only where its text is shown.
    const std::uint64_t note = noteTextShown_ ? static_cast<std::uint64_t>(v.n) : (v.n > 0 ? 1u : 0u);
    const std::uint64_t key = static_cast<std::uint64_t>(v.s1 & 0xFF) | static_cast<std::uint64_t>(v.s2 & 0xFF) << 8 |
                              static_cast<std::uint64_t>(v.e & 0xFF) << 16 |
                              static_cast<std::uint64_t>(v.oc == 1 ? 1 : 0) << 24 | note << 32;
    const auto found = cellLines_.find(key);
    if (found != cellLines_.end()) return found->second;

    std::vector<CellLine> lines;
    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    QString line;
    LineColour colour;
    int last = -1;
    int flags = Surface::DT_SINGLELINE;
    for (int k = 0; k <= 5; ++k) {
        const CellItemRecord& item = fmt.CellItems[k];
        int code = item.ShowOnReport != 0 ? item.ContentCode : 0;
        if (!v.FirstPresent() && code < 200 && !IsFirstShiftItem(code)) code = 0;
        if (code > 0) {
            last = k;
            flags = code == CellCode::NoteText2Line || code == CellCode::NoteText3Line ? Surface::DT_WORDBREAK
                                                                                       : Surface::DT_SINGLELINE;
            const QString t = CellItemText(code, v, cellText_, colour);
            if (!t.isEmpty()) {
                line += t;
                line += QStringLiteral(", ");
            }
        }
        // Linked items print as one text in the band of the last of them.
        if (item.ContentCode > 0 && item.LinkWithNext == 0) {
            if (line.endsWith(QLatin1String(", "))) line.chop(2);
            if (!line.isEmpty() && last >= 0) lines.push_back({last, line, colour.colour, flags});
            line.clear();
            colour = LineColour{};
        }
    }
    return cellLines_.emplace(key, std::move(lines)).first->second;
}

void SchedulePrintout::PrintDayCells(int slot, int y)
{
    PrtSched& run = *run_;
    const int yPx = run.TwipsToPrinterPixelsY(y);
    const int bottomPx = run.TwipsToPrinterPixelsY(RowBottom(y, PrtEmployeeRowHeight));
    int c = 0;
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        ++c;
        const CellValues v = Cell(d, slot);
        if (v.s1 + (v.oc == 1 ? 1 : 0) + v.e + v.n == 0) continue;
        int mode = 2;
        const bool matched = QueryMatches(v, mode);
        if (!matched && mode == 0) continue;
        const bool dull = !matched && mode == 1;

        const auto [textLeft, textRight] = cellTextX_[static_cast<std::size_t>(c)];
        for (const CellLine& line : LinesOf(v)) {
            const std::size_t k = static_cast<std::size_t>(line.item);
            const PixelRect rect{textLeft, yPx + PrtBandTop[k], textRight, std::min(yPx + PrtBandBottom[k], bottomPx)};
            if (rect.Top >= rect.Bottom) continue;
            SetColour(dull ? PaletteColour(7) : PrintInColour ? line.colour : kBlack);
            run.DrawText(line.text, rect, line.flags);
        }
    }
    SetColour(kBlack);
}

const QString& SchedulePrintout::NoteText(int n)
{
    auto it = noteTexts_.find(n);
    if (it == noteTexts_.end()) it = noteTexts_.emplace(n, Runtime::Trim(files_.GetNoteText(n))).first;
    return it->second;
}

void SchedulePrintout::PrintDayFields(int slot)
{
    TextExport& t = *text_;
    const auto field = [&t](int option, const QString& text) {
        if (t.Option(option)) t.AppendTextField(text, option - 1);
    };
    const auto empty = [&](int from, int to) {
        for (int k = from; k <= to; ++k) field(k, QString());
    };
    const auto shift = [&](int code, int base) {
        const ShiftFields& s = shiftFields_[static_cast<std::size_t>(code)];
        field(base, s.name);
        field(base + 1, s.start);
        field(base + 2, s.end);
        field(base + 3, s.hours);
    };
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        const CellValues v = Cell(d, slot);
        const bool emptyCell = v.s1 + (v.oc == 1 ? 1 : 0) + v.e + v.n == 0;
        int mode = 2;
        if (!emptyCell && !QueryMatches(v, mode) && mode == 0) {
            empty(ExportOpt::kFirstContent, ExportOpt::kLastContent);
            continue;
        }
        field(ExportOpt::Explanation, explanationNames_[static_cast<std::size_t>(v.e & 0xFF)]);
        field(ExportOpt::Note, v.n > 0 ? NoteText(v.n) : QString());
        field(ExportOpt::OnCall, v.oc == 1 ? QStringLiteral("1") : QStringLiteral("0"));
        if (IsUserShift(v.s1)) {
            shift(v.s1, ExportOpt::Shift1);
            if (IsUserShift(v.s2))
                shift(v.s2, ExportOpt::Shift2);
            else
                empty(ExportOpt::Shift2, ExportOpt::Length2);
        } else if (v.s1 == kTimeOffCode && t.Option(ExportOpt::Shift1)) {
            field(ExportOpt::Shift1, cellText_.ShiftName(kTimeOffCode));
            empty(ExportOpt::Start1, ExportOpt::Length2);
        } else {
            empty(ExportOpt::Shift1, ExportOpt::Length2);
        }
    }
}

void SchedulePrintout::PrintDividerRow(int r, int y)
{
    PrtSched& run = *run_;
    const int row = EmpRow[static_cast<std::size_t>(r)];
    const int slot = files_.ScheduleProps.RowMap[row];
    const DividerPropertiesRecord d = Divider(slot);
    const int H = PrtDividerRowHeight;
    const int I = PrtCellInset;
    const int left = run.PrtPageLeft;
    const int right = run.PrtPageRight;
    const bool requirement = d.Style == 1;
    const std::int32_t colour = d.UseDefaultColour == 1 || !PrintInColour
                                    ? Shade(PrtShadeColour)
                                    : OwnColour(static_cast<std::uint32_t>(d.Colour));

    // Dividers of one colour that follow each other share one band.
    const bool inBand = !requirement && prevPlainDivider_ && prevDividerColour_ == d.Colour;
    if (!inBand) {
        int span = 1;
        if (!requirement) {
            for (int q = r + 1; q <= PrtLastRowOnPage; ++q) {
                if (!Pending[static_cast<std::size_t>(q)] || RowType[static_cast<std::size_t>(q)] != DividerRow) break;
                const DividerPropertiesRecord next =
                    Divider(files_.ScheduleProps.RowMap[EmpRow[static_cast<std::size_t>(q)]]);
                if (next.Style != 0 || next.Colour != d.Colour) break;
                ++span;
            }
        }
        const int bottom = RowBottom(y, H * span);
        if (requirement)
            run.FilledBox(left + I, y, left + PrtNameWidth + PrtPositionWidth - kGap, bottom,
                          OwnColour(PaletteColour(15)));
        else
            run.FilledBox(left + I, y, right - I, bottom, colour);
        run.Box(left, y, right, bottom);
    }

    const QString caption = Runtime::Trim(d.Caption.str());
    if (!caption.isEmpty()) {
        const int justification = d.Justification <= 2 ? d.Justification : 0;
        run.DrawText(caption,
                     Px(left + kGap, y, requirement ? left + PrtNameWidth + PrtPositionWidth - kGap : right - kGap,
                        RowBottom(y, H)),
                     Surface::DT_VCENTER | Surface::DT_SINGLELINE | justification);
    }
    if (requirement) PrintRequirementNumbers(slot, y, colour);
    prevPlainDivider_ = !requirement;
    prevDividerColour_ = d.Colour;
}

void SchedulePrintout::PrintRequirementNumbers(int slot, int y, std::int32_t colour)
{
    if (!IsSlot(slot)) return;
    PrtSched& run = *run_;
    PrinterDevice& p = run.Printer();
    const int top = y + kGap;
    const int bottom = RowBottom(y, PrtDividerRowHeight);
    // With one or two days the ellipse keeps to the left of a wide column.
    const int w = Days < 3 ? PrtDayWidth / (4 * (3 - Days)) : PrtDayWidth;
    int c = 0;
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        ++c;
        const DayRecord& day = files_.ColumnDay(d);
        int s1 = day.Shift1Code[slot];
        int oc = day.OnCallFlag[slot];
        int e = day.ExplanationCode[slot];
        int s2 = day.Shift2Code[slot];
        int n = day.NoteNumber[slot];
        const float v = GridPaint::UnpackCellNumber(s1, oc, e, s2, n);
        if (!(v > 0)) continue;
        const int x = ColumnX(c);
        const QString text = v == std::floor(v) ? Runtime::FormatNumber(v, QStringLiteral("#####"))
                                                : Runtime::FormatNumber(v, QStringLiteral("#####.##"));
        const PixelRect rect = Px(x, top, x + w, bottom);
        const int hw =
            run.TwipsToPrinterPixelsX(Runtime::CInt(p.TextWidth(QString(text.size(), QLatin1Char('8')))) / 2 + 46);
        const int hh = run.TwipsToPrinterPixelsY(Runtime::CInt(p.TextHeight(text)) / 2);
        const auto clampX = [&rect](int v_) { return std::clamp(v_, rect.Left, std::max(rect.Left, rect.Right)); };
        const auto clampY = [&rect](int v_) { return std::clamp(v_, rect.Top, std::max(rect.Top, rect.Bottom)); };
        const int eLeft = rect.Left + (rect.Right - rect.Left) / 2 - hw;
        const int eRight = eLeft + 2 * hw;
        const int eTop = rect.Top + (rect.Bottom - rect.Top) / 2 - hh;
        const int eBottom = rect.Bottom - (rect.Bottom - rect.Top) / 2 + hh;
        run.Ellipse(clampX(eLeft), clampY(eTop), clampX(eRight), clampY(eBottom), colour);
        run.DrawText(text, rect, Surface::DT_CENTER | Surface::DT_VCENTER | Surface::DT_SINGLELINE);
        if (run.PrtStopped) return;
    }
}

void SchedulePrintout::PrintCoverageRow(int r, int y)
{
    PrtSched& run = *run_;
    const int H = PrtDividerRowHeight;
    const int left = run.PrtPageLeft;
    const int bottom = RowBottom(y, H);
    if (r != PrtLastRowOnPage) run.Line(left, bottom, run.PrtPageRight, bottom);
    const int k = std::clamp(++PrtBodyCoverageNo, 1, kCoverageLines);
    const ScheduleFormatRecord& fmt = files_.CurrentFormat;
    const CoverageTotalRecord& line = fmt.CoverageTotals[k];
    const int columnsEdge = left + PrtNameWidth + PrtPositionWidth;
    if (!FilterIgnoresAll(line)) {
        run.DrawText(Runtime::Trim(line.Title.str()), Px(left + kGap, y + kGap, columnsEdge - kGap, bottom - kGap),
                     Surface::DT_SINGLELINE | Surface::DT_BOTTOM);
    }
    if (request_ && request_->blank) return;

    const int format = std::clamp(files_.CurrentFormatNo, 1, kFormats);
    const DividerPropertiesRecord record = Divider(CoverageLineRecord(format, k));
    // A link outside the data slots is no link.
    const int link = IsSlot(record.LinkedRequirementSlot) ? record.LinkedRequirementSlot : 0;
    const bool requirementRow = link > 0 && Divider(link).Style == 1;
    const int oneDayRight = columnsEdge + Runtime::CInt(run.Printer().TextWidth(QStringLiteral("000000.00"))) - kGap;
    int c = 0;
    for (int d = FirstDay; d <= LastDay; ++d) {
        if (Omitted(d)) continue;
        ++c;
        float required = 0;
        if (requirementRow) {
            const DayRecord& day = files_.ColumnDay(d);
            if (day.Shift1Code[link] == kNumberCellCode)
                required = static_cast<float>(day.NoteNumber[link]) + static_cast<float>(day.Shift2Code[link]) / 100.0f;
        }
        // The totals were counted by day column, whatever days the printout leaves out.
        const GridPaint::CoverageText shown =
            GridPaint::CoverageNumberText(grid_.CoverageTotal(d, k), required, record.CountFormat, link > 0);
        if (shown.text.isEmpty()) continue;
        if (PrintInColour) SetColour(shown.red ? kRed : kBlack);
        const int x = ColumnX(c);
        const PixelRect rect = Days == 1 ? Px(columnsEdge + kGap, y + kGap, oneDayRight, bottom - kGap)
                                         : Px(x + kGap, y + kGap, x + PrtDayWidth - kGap, bottom - kGap);
        run.DrawText(shown.text, rect, Surface::DT_RIGHT | Surface::DT_BOTTOM | Surface::DT_SINGLELINE);
        if (run.PrtStopped) return;
    }
    SetColour(kBlack);
}

// ---------------------------------------------------------------- helpers

OleDate SchedulePrintout::DayDate(int d) const
{
    return grid_.ColumnDate(d);
}

bool SchedulePrintout::OmittedWeekday(int weekday) const
{
    return (weekday == 7 && OmitSaturdays) || (weekday == 1 && OmitSundays);
}

bool SchedulePrintout::Omitted(int d) const
{
    return (OmitSaturdays || OmitSundays) && OmittedWeekday(Runtime::Weekday(DayDate(d)));
}

int SchedulePrintout::PrintedDays() const
{
    int m = 0;
    for (int d = 1; d <= Days; ++d) m += Omitted(d) ? 0 : 1;
    return m;
}

QString SchedulePrintout::PeriodText() const
{
    int first = 1;
    while (first < Days && Omitted(first)) ++first;
    int last = Days;
    while (last > 1 && Omitted(last)) --last;
    QString text = Runtime::FormatDate(DayDate(first), QStringLiteral("Long Date"));
    if (Days > 1) text += QStringLiteral(" to ") + Runtime::FormatDate(DayDate(last), QStringLiteral("Long Date"));
    return text;
}

int SchedulePrintout::ColumnX(int c) const
{
    return run_->PrtPageLeft + PrtNameWidth + PrtPositionWidth + (c - 1) * PrtDayWidth;
}

int SchedulePrintout::RowBottom(int y, int h) const
{
    return std::max(y, std::min(y + h, static_cast<int>(run_->PrtPageBottom)));
}

PixelRect SchedulePrintout::Px(int left, int top, int right, int bottom)
{
    return run_->PrinterRect(left, top, right, bottom);
}

DividerPropertiesRecord SchedulePrintout::Divider(int n) const
{
    DividerPropertiesRecord d;
    if (n >= 1 && n <= kDividerRecords && files_.ReadRecord(FileNo::Dividers, n, d)) return d;
    return MakeDefaultDivider();
}

void SchedulePrintout::SetColour(std::uint32_t colour)
{
    if (colour == colour_) return;
    colour_ = colour;
    run_->ForeColor(colour);
}

void SchedulePrintout::SetWidth(int width)
{
    if (width == width_) return;
    width_ = width;
    run_->DrawWidth(width);
}

}  // namespace tavrin
