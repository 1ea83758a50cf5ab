// The schedule window as the user sees it, at 1920 x 1080 on a realistic schedule, each time
// with the window painted afterwards: a full redraw of a 28-day and a 42-day format, the
// 42-day one beside a baseline window that paints the same grid straight with QPainter, and a
// one-day and a one-row scroll of the 28-day window (which should take well under a quarter of
// its full redraw). The scrolls go a page one way and then back, a day or a row at a time, as a
// spin button or a scroll arrow held down does.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "BaselineGrid.h"
#include "BenchSupport.h"
#include "RealisticSchedule.h"
#include "app/MainForm.h"
#include "grid/GridPaint.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "store/SchedFiles.h"

using namespace tavrin;

namespace {

class OneFile final : public FileDialogs {
public:
    QString path;
    std::optional<QString> Open(const FileDialogRequest&) override { return path; }
    std::optional<QString> SaveAs(const FileDialogRequest&) override { return std::nullopt; }
    FontChoice Font(const FontChoice& preset) override { return preset; }
};

// Paints what the window has asked to be painted, as the event loop would next.
void PaintWindow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// Counts the pixels painted on the panes, to show what a step paints.
class PaintCounter final : public QObject {
public:
    std::int64_t pixels = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            for (const QRect& r : static_cast<QPaintEvent*>(e)->region())
                pixels += std::int64_t(r.width()) * r.height();
        }
        return false;
    }
};

// How far the scrolls go one way before they turn.
constexpr int kDayRun = 28;
constexpr int kRowRun = 70;

// A realistic schedule with every row named, shown in the main window.
struct Window {
    QTemporaryDir work;
    QTemporaryDir docs;
    bench::QuietMsgBox msg{Mb::No};
    QtPrinterDevice printer;
    OneFile dialogs;
    FontService fonts{96};
    SchedFiles files{work.path(), msg, printer};
    std::unique_ptr<MainForm> form;
    PaintCounter painted;

    Window()
    {
        files.TwipsPerPixelX = 15;
        form =
            std::make_unique<MainForm>(MainFormServices{files, msg, dialogs, printer, fonts}, AppMain::CommandLine{});
        form->resize(1920, 1080);
        form->show();
        QCoreApplication::processEvents();  // the window is exposed: it paints from now on
        dialogs.path = docs.filePath("bench.QRD");
        MakeScheduleFile();
        form->File_Open_Click();
        if (form->NoScheduleOpen) std::abort();
        bench::DefineShifts(files);
        bench::NameEveryRow(files);
        bench::ShowBothShifts(files.CurrentFormat);
        bench::DefineCoverageLines(files.CurrentFormat);
        bench::Rng rng;
        if (!bench::FillPeriod(files, rng)) std::abort();
        if (files.PeriodDays() < 2 * kDayRun) std::abort();
        for (Pane* p : {form->Grid, form->EmpList, form->EmpPos, form->DayRuler, form->Coverage, form->CoverageDesc})
            p->installEventFilter(&painted);
        UseDays(28);
    }
    ~Window()
    {
        files.ScheduleModified = false;
        form.reset();
        files.CloseAllFiles();
        files.ReleaseScheduleLock();
    }
    // The schedule file is made beforehand: opening a new one would ask for its properties.
    void MakeScheduleFile()
    {
        QTemporaryDir makerWork;
        SchedFiles maker{makerWork.path(), msg, printer};
        maker.SchedFolder = docs.path() + QStringLiteral("/");
        maker.SchedStem = QStringLiteral("bench");
        bool isNew = false;
        if (!maker.OpenScheduleArchive() || !maker.LoadScheduleSettings(isNew) || !maker.OpenWorkingFiles() ||
            !maker.CloseWorkingFiles() || !maker.SaveScheduleArchive()) {
            std::abort();
        }
        maker.ReleaseScheduleLock();
    }
    // Shows a format of this many days, drawn and painted.
    void UseDays(int days)
    {
        files.CurrentFormat.DaysOnScreen = static_cast<Int16>(days);
        form->Painter().ApplyScheduleFormat();
        form->Painter().LayoutAndRedrawSchedule();
        PaintWindow();
    }
};

// Made in main, after the application and before the benchmarks, and gone before the
// application ends.
Window* theWindow = nullptr;
Window& TheWindow()
{
    return *theWindow;
}

// Runs step on the window, painting after each, and reports per step the time of the step
// and of the painting, and the pixels painted.
template <class Step>
void Painted(benchmark::State& state, int days, Step step)
{
    Window& w = TheWindow();
    w.UseDays(days);
    w.painted.pixels = 0;
    double tStep = 0, tPaint = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        step(w);
        tStep += t.nsecsElapsed();
        t.restart();
        PaintWindow();
        tPaint += t.nsecsElapsed();
    }
    state.counters["step_ms"] = tStep / 1e6 / state.iterations();
    state.counters["paint_ms"] = tPaint / 1e6 / state.iterations();
    state.counters["painted_px"] =
        benchmark::Counter(static_cast<double>(w.painted.pixels), benchmark::Counter::kAvgIterations);
    state.counters["rows"] = w.form->Painter().VisibleRows;
}

void BM_FullRedraw28Days(benchmark::State& state)
{
    Painted(state, 28, [](Window& w) { w.form->Painter().LayoutAndRedrawSchedule(); });
}
BENCHMARK(BM_FullRedraw28Days)->Unit(benchmark::kMillisecond);

void BM_FullRedraw42Days(benchmark::State& state)
{
    Painted(state, 42, [](Window& w) { w.form->Painter().LayoutAndRedrawSchedule(); });
}
BENCHMARK(BM_FullRedraw42Days)->Unit(benchmark::kMillisecond);

// A window of the same size that paints the same grid itself, straight with QPainter.
class BaselineWindow final : public QWidget {
public:
    BaselineWindow(const SchedFiles& files, const QFont& font, const bench::BaselineGeometry& geo)
        : grid_(files, font), geo_(geo)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        grid_.Paint(p, geo_);
    }

private:
    bench::BaselineGrid grid_;
    bench::BaselineGeometry geo_;
};

void BM_FullRedraw42Days_Baseline(benchmark::State& state)
{
    Window& w = TheWindow();
    w.UseDays(42);
    BaselineWindow baseline(w.files, w.form->Grid->ScreenFontUsed().font,
                            bench::GeometryOf(w.form->Painter(), w.form.get()));
    baseline.resize(w.form->size());
    baseline.show();
    QCoreApplication::processEvents();
    PaintWindow();
    for (auto _ : state) {
        baseline.update();
        PaintWindow();
    }
}
BENCHMARK(BM_FullRedraw42Days_Baseline)->Unit(benchmark::kMillisecond);

void BM_OneDayScroll(benchmark::State& state)
{
    bool forward = true;
    Painted(state, 28, [&forward](Window& w) {
        const int first = w.files.ScheduleProps.FirstVisibleDay;
        if (first <= 0)
            forward = true;
        else if (first >= kDayRun)
            forward = false;
        if (forward)
            w.form->ScrollForwardOneDay();
        else
            w.form->ScrollBackOneDay();
        if (w.files.ScheduleProps.FirstVisibleDay == first) std::abort();
    });
}
BENCHMARK(BM_OneDayScroll)->Unit(benchmark::kMillisecond);

void BM_OneRowScroll(benchmark::State& state)
{
    bool down = true;
    Painted(state, 28, [&down](Window& w) {
        QScrollBar* bar = w.form->VScroll2;
        if (bar->value() <= 0)
            down = true;
        else if (bar->value() >= kRowRun)
            down = false;
        const int to = bar->value() + (down ? 1 : -1);
        bar->setValue(to);
        if (bar->value() != to) std::abort();
    });
}
BENCHMARK(BM_OneRowScroll)->Unit(benchmark::kMillisecond);

// The baseline window draws the texts and counts the main window drew.
bool SameRedrawWork()
{
    Window& w = TheWindow();
    w.UseDays(42);
    bench::BaselineGrid baseline(w.files, w.form->Grid->ScreenFontUsed().font);
    return bench::SameWork(
        bench::SameGrid(w.form->Painter(), baseline, bench::GeometryOf(w.form->Painter(), w.form.get())),
        "redraw of 42 days, painted");
}

}  // namespace

int main(int argc, char** argv)
{
    tavrin::bench::UseOffscreenScreen();
    QApplication app(argc, argv);
    auto window = std::make_unique<Window>();
    theWindow = window.get();
    const int status = tavrin::bench::RunBenchmarks(argc, argv, SameRedrawWork);
    window.reset();
    return status;
}
