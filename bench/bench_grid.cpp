// A full redraw of the schedule window's pictures (28 and 42 days at 1920 x 1080, every row
// filled with a realistic schedule) and a recount of 20 coverage lines over 42 days and 200
// rows, each beside a baseline that draws the same cells straight with QPainter, keeping its
// laid-out texts. (bench_app_scroll measures the redraw with the window painted.)

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

#include "BaselineGrid.h"
#include "BenchSupport.h"
#include "RealisticSchedule.h"
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

        bench::DefineShifts(files);
        bench::NameEveryRow(files);
        ScheduleFormatRecord& fmt = files.CurrentFormat;
        fmt.DaysOnScreen = static_cast<Int16>(days);
        bench::ShowBothShifts(fmt);
        bench::DefineCoverageLines(fmt);
        for (int k = 5; k <= kCoverageLines; ++k) {
            CoverageTotalRecord& line = fmt.CoverageTotals[k];
            line = MakeUnusedQuery();
            line.Title = QStringLiteral("Line %1").arg(k);
            line.IgnoreShifts = 0;
            line.SelectedShifts[1 + k % 8] = 1;
            line.SelectedShifts[0] = k % 2;
        }
        fmt.VisibleCoverageTotals = static_cast<Int16>(coverageLines);
        bench::Rng rng;
        if (!bench::FillPeriod(files, rng)) std::abort();
        grid->ApplyScheduleFormat();
        grid->LayoutAndRedrawSchedule();  // loads the days of the new count
    }
};

void Redraw(benchmark::State& state, int days)
{
    Window w(days, 4);
    for (auto _ : state) w.grid->LayoutAndRedrawSchedule();
    state.counters["rows"] = w.grid->VisibleRows;
    state.counters["cells"] = w.grid->VisibleRows * w.files.VisibleDays;
}

// The same window drawn straight with QPainter into an image of its size.
void PainterBaseline(benchmark::State& state, int days)
{
    Window w(days, 4);
    const bench::BaselineGeometry geo = bench::GeometryOf(*w.grid, w.form.get());
    bench::BaselineGrid baseline(w.files, w.panes.Grid->ScreenFontUsed().font);
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        baseline.Paint(p, geo);
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

// The coverage lines counted plainly and their cells drawn straight: 42 x 20 rectangles and
// numbers.
void BM_CoverageCounts_Baseline(benchmark::State& state)
{
    Window w(42, 20);
    const bench::BaselineGeometry geo = bench::GeometryOf(*w.grid, w.form.get());
    bench::BaselineGrid baseline(w.files, w.panes.Grid->ScreenFontUsed().font);
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        p.setFont(w.panes.Grid->ScreenFontUsed().font);
        baseline.PaintCoverageCounts(p, geo, baseline.CountCoverage(geo));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Each baseline draws the texts and counts the program drew.
bool SameGridWork()
{
    for (const auto& [days, lines] : {std::pair{28, 4}, std::pair{42, 4}, std::pair{42, 20}}) {
        Window w(days, lines);
        const bench::BaselineGeometry geo = bench::GeometryOf(*w.grid, w.form.get());
        bench::BaselineGrid baseline(w.files, w.panes.Grid->ScreenFontUsed().font);
        if (geo.coverageLines != lines) return bench::SameWork(false, "coverage lines shown");
        if (!bench::SameWork(bench::SameGrid(*w.grid, baseline, geo), days == 28   ? "redraw of 28 days"
                                                                      : lines == 4 ? "redraw of 42 days"
                                                                                   : "coverage counts"))
            return false;
    }
    return true;
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
    return tavrin::bench::RunInApplication(argc, argv, true, SameGridWork);
}
