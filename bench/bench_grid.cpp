// A full redraw of the schedule window (28 and 42 days at 1920 x 1080, every row filled) and a
// recount of 20 coverage lines over 42 days and 200 rows, each beside a baseline that draws the
// same number of rectangles and texts straight with QPainter.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "BenchSupport.h"
#include "grid/GridPaint.h"
#include "platform/FontService.h"
#include "platform/Pane.h"
#include "store/Defaults.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

// An open schedule with every row named and every visible cell filled, shown in a 1920 x 1080
// window.
struct Window {
    QTemporaryDir dir;
    bench::QuietMsgBox msg;
    QtPrinterDevice printer;
    SchedFiles files{dir.path(), msg, printer};
    FontService fonts{96};
    bench::QuietGridHost host;
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    GridPanes panes;
    std::unique_ptr<GridPaint> grid;

    Window(int days, int coverageLines)
    {
        bool isNew = false;
        (void)files.LoadScheduleSettings(isNew);
        files.CurrentFormatNo = 1;
        if (!files.OpenWorkingFiles()) std::abort();
        form->resize(1920, 1080);
        QWidget* f = form.get();
        const auto plain = [f](int x, int y, int w, int h) {
            auto* w_ = new QWidget(f);
            w_->setGeometry(x, y, w, h);
            return w_;
        };
        panes.MainForm = panes.Form = f;
        panes.ToolPanel = plain(0, 0, 1920, 30);
        panes.Explainations = plain(300, 30, 140, 21);
        panes.NotePad = plain(490, 30, 300, 20);
        panes.DateDisplay = plain(600, 4, 200, 20);
        panes.Label1 = plain(0, 0, 10, 10);
        panes.Label2 = plain(0, 0, 10, 10);
        panes.VScroll2 = plain(1900, 60, 16, 400);
        panes.EmpList = new Pane(f);
        panes.EmpPos = new Pane(f);
        panes.DayRuler = new Pane(f);
        panes.Grid = new Pane(f);
        panes.CoverageDesc = new Pane(f);
        panes.Coverage = new Pane(f);
        grid = std::make_unique<GridPaint>(files, host, fonts);
        grid->SetPanes(panes);

        for (int code = 1; code <= 9; ++code) {
            ShiftRecord& s = files.ShiftTable[code];
            s.Description = QStringLiteral("Shift %1").arg(code);
            s.Abbreviation = QStringLiteral("S%1").arg(code);
            s.ColourIndex = static_cast<Int16>(code);
            s.StartTime = (6 + code) / 24.0;
            s.EndTime = (14 + code) / 24.0;
            s.PaidHours = 8;
            files.ShiftColours[code] = static_cast<Byte>(code);
        }
        for (int r = 1; r <= kSlots; ++r) {
            files.EmpTable.Name[r] = QStringLiteral("Employee %1").arg(r);
            files.EmpTable.Position[r] = QStringLiteral("RN");
        }
        ScheduleFormatRecord& fmt = files.CurrentFormat;
        fmt.DaysOnScreen = static_cast<Int16>(days);
        fmt.VisibleCoverageTotals = static_cast<Int16>(coverageLines);
        for (int k = 1; k <= kCoverageLines; ++k) {
            CoverageTotalRecord& line = fmt.CoverageTotals[k];
            line = MakeUnusedQuery();
            line.Title = QStringLiteral("Line %1").arg(k);
            line.IgnoreShifts = 0;
            line.SelectedShifts[1 + k % 9] = 1;
            line.SelectedShifts[0] = k % 2;
        }
        grid->ApplyScheduleFormat();
        grid->LayoutAndRedrawSchedule();  // loads the days of the new count
        for (int c = 1; c <= files.VisibleDays; ++c) {
            DayRecord& d = files.ColumnDay(c);
            for (int s = 1; s <= kSlots; ++s) {
                d.Shift1Code[s] = static_cast<Byte>(1 + (s + c) % 9);
                d.Shift2Code[s] = (s + c) % 5 == 0 ? 2 : 0;
                d.OnCallFlag[s] = (s + c) % 7 == 0 ? 1 : 0;
                d.ExplanationCode[s] = (s + c) % 6 == 0 ? 2 : 0;
            }
        }
    }
};

void Redraw(benchmark::State& state, int days)
{
    Window w(days, 4);
    for (auto _ : state) w.grid->LayoutAndRedrawSchedule();
    state.counters["rows"] = w.grid->VisibleRows;
    state.counters["cells"] = w.grid->VisibleRows * w.files.VisibleDays;
}

// The same number of rectangles and texts as a full redraw, drawn straight with QPainter:
// cells, name and position rows, ruler cells with two texts, coverage cells.
void PainterBaseline(benchmark::State& state, int days)
{
    Window w(days, 4);
    const int rows = w.grid->VisibleRows;
    const int cw = w.grid->CellWidthPx;
    const int rh = w.grid->RowHeightPx;
    const int ch = w.grid->CoverageRowHeightPx;
    QImage image(1920, 1080, QImage::Format_RGB32);
    const QFont font = w.panes.Grid->ScreenFontUsed().font;
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(font);
        p.fillRect(image.rect(), QColor(192, 192, 192));
        for (int r = 0; r < rows; ++r) {
            p.fillRect(QRect(0, r * rh + 1, 150, rh - 1), Qt::white);
            p.drawText(QRect(2, r * rh + 1, 148, rh - 1), 0, QStringLiteral("Employee %1").arg(r));
            p.fillRect(QRect(150, r * rh + 1, 60, rh - 1), Qt::white);
            p.drawText(QRect(152, r * rh + 1, 58, rh - 1), 0, QStringLiteral("RN"));
        }
        for (int d = 0; d < days; ++d) {
            const int x = 210 + d * cw;
            p.fillRect(QRect(x + 1, 0, cw - 1, 2 * rh), QColor(192, 192, 192));
            p.drawText(QRect(x + 2, 0, cw - 2, rh), Qt::AlignHCenter, QStringLiteral("M"));
            p.drawText(QRect(x + 2, rh, cw - 2, rh), Qt::AlignHCenter, QString::number(d + 1));
            for (int r = 0; r < rows; ++r) {
                p.fillRect(QRect(x + 1, 30 + r * rh + 1, cw - 1, rh - 1), Qt::white);
                p.setPen(QColor(128, 0, 0));
                p.drawText(QRect(x + 2, 30 + r * rh + 1, cw - 2, rh - 1), 0,
                           QStringLiteral("S%1").arg(1 + (r + d) % 9));
            }
            for (int k = 0; k < 4; ++k) {
                p.fillRect(QRect(x + 1, 1000 + k * ch + 1, cw - 1, ch - 1), QColor(192, 192, 192));
                p.drawText(QRect(x + 1, 1000 + k * ch + 1, cw - 2, ch - 1), Qt::AlignRight, QString::number(k + 10));
            }
        }
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Redraw28Days(benchmark::State& s)
{
    Redraw(s, 28);
}
void BM_Redraw28Days_Baseline(benchmark::State& s)
{
    PainterBaseline(s, 28);
}
void BM_Redraw42Days(benchmark::State& s)
{
    Redraw(s, 42);
}
void BM_Redraw42Days_Baseline(benchmark::State& s)
{
    PainterBaseline(s, 42);
}

// 20 coverage lines over 42 days and 200 named rows, counted and drawn.
void BM_CoverageCounts(benchmark::State& state)
{
    Window w(42, 20);
    for (auto _ : state) w.grid->DrawCoverageCounts(1, w.files.VisibleDays, false);
}

// The coverage cells drawn straight: 42 x 20 rectangles and numbers.
void BM_CoverageCounts_Baseline(benchmark::State& state)
{
    Window w(42, 20);
    const int cw = w.grid->CellWidthPx;
    const int ch = w.grid->CoverageRowHeightPx;
    QImage image(cw * 42 + 2, ch * 20 + 2, QImage::Format_RGB32);
    const QFont font = w.panes.Grid->ScreenFontUsed().font;
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(font);
        for (int d = 0; d < 42; ++d) {
            for (int k = 0; k < 20; ++k) {
                const QRect r(d * cw + 1, k * ch + 1, cw - 1, ch - 1);
                p.fillRect(r, QColor(192, 192, 192));
                p.drawText(r, Qt::AlignRight, QString::number(k + d));
            }
        }
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

BENCHMARK(BM_Redraw28Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw28Days_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw42Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw42Days_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverageCounts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverageCounts_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
