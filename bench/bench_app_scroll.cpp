// A one-day and a one-row scroll of a full 28-day window at 1920x1080, beside a full redraw of
// the same window (the scrolls should take well under a quarter of it).

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "grid/GridPaint.h"
#include "platform/FileDialogs.h"
#include "platform/FontService.h"
#include "store/SchedFiles.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

using namespace tavrin;

namespace {

class OneFile final : public FileDialogs {
public:
    QString path;
    std::optional<QString> Open(const FileDialogRequest&) override { return path; }
    std::optional<QString> SaveAs(const FileDialogRequest&) override { return std::nullopt; }
    FontChoice Font(const FontChoice& preset) override { return preset; }
};

// A schedule with every row named and a shift on every cell of the window.
struct Window {
    QTemporaryDir work;
    QTemporaryDir docs;
    bench::QuietMsgBox msg{Mb::No};
    QtPrinterDevice printer;
    OneFile dialogs;
    FontService fonts{96};
    SchedFiles files{work.path(), msg, printer};
    std::unique_ptr<MainForm> form;

    Window()
    {
        files.TwipsPerPixelX = 15;
        form = std::make_unique<MainForm>(MainFormServices{files, msg, dialogs, printer, fonts}, AppMain::CommandLine{});
        form->resize(1920, 1080);
        form->show();
        dialogs.path = docs.filePath("bench.QRD");
        form->File_Open_Click();
        if (form->NoScheduleOpen) std::abort();
        ShiftRecord s;
        s.Description = "Day";
        s.Abbreviation = "D";
        s.StartTime = 7.0 / 24;
        s.EndTime = 15.0 / 24;
        s.PaidHours = 8;
        files.ShiftTable[1] = s;
        for (int r = 1; r <= kSlots; ++r) {
            files.EmpTable.Name[r] = QStringLiteral("Person %1").arg(r);
            files.EmpTable.Position[r] = "RN";
        }
        for (int c = 1; c <= files.VisibleDays; ++c) {
            for (int slot = 1; slot <= kSlots; ++slot) files.ColumnDay(c).Shift1Code[slot] = 1;
            files.MarkColumnDirty(c);
        }
        (void)files.FlushWorkingData();
        form->Painter().LayoutAndRedrawSchedule();
    }
    ~Window()
    {
        files.ScheduleModified = false;
        form.reset();
        files.CloseAllFiles();
        files.ReleaseScheduleLock();
    }
};

// Made in main, after the application and before the benchmarks, and gone before the
// application ends.
Window* theWindow = nullptr;
Window& TheWindow() { return *theWindow; }

void BM_FullRedraw(benchmark::State& state)
{
    Window& w = TheWindow();
    for (auto _ : state) w.form->Painter().LayoutAndRedrawSchedule();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

void BM_OneDayScroll(benchmark::State& state)
{
    Window& w = TheWindow();
    bool forward = true;
    for (auto _ : state) {
        if (forward) w.form->ScrollForwardOneDay();
        else w.form->ScrollBackOneDay();
        forward = !forward;
    }
}
BENCHMARK(BM_OneDayScroll)->Unit(benchmark::kMillisecond);

void BM_OneRowScroll(benchmark::State& state)
{
    Window& w = TheWindow();
    QScrollBar* bar = w.form->VScroll2;
    for (auto _ : state) bar->setValue(bar->value() == 0 ? 1 : 0);
}
BENCHMARK(BM_OneRowScroll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto window = std::make_unique<Window>();
    theWindow = window.get();
    benchmark::RunSpecifiedBenchmarks();
    window.reset();
    benchmark::Shutdown();
    return 0;
}
