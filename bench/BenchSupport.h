#pragma once
// Stand-ins for the interactive parts in the benchmarks: message boxes that answer at once and a
// main window that shows nothing. The benchmarks use the real printer, which touches nothing
// until a report uses it.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "grid/GridHost.h"
#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"
#include "store/Records.h"

namespace tavrin::bench {

class QuietMsgBox final : public MsgBox {
public:
    explicit QuietMsgBox(int answer = Mb::OK) : answer_(answer) {}
    int show(const QString&, int, const QString&) override { return answer_; }
    void beep() override {}

private:
    int answer_;
};

// A shift's start and end in seconds of the day (an end at or before the start moved past
// midnight) and whether it is paid, as the two-shift rule's overlap test takes them.
struct ShiftSpan {
    long start = 0;
    long end = 0;
    bool paid = false;
};

inline long SecondsOfDay(double t)
{
    const long s = std::lround((t - std::floor(t)) * 86400);
    return s >= 86400 ? 0 : s;
}

inline ShiftSpan SpanOf(const ShiftRecord& r)
{
    ShiftSpan t{SecondsOfDay(r.StartTime), SecondsOfDay(r.EndTime), r.PaidHours != 0};
    if (t.end <= t.start) t.end += 86399;
    return t;
}

// Either shift starts or ends strictly inside the other.
inline bool Overlap(const ShiftSpan& a, const ShiftSpan& b)
{
    return (a.start > b.start && a.start < b.end) || (b.start > a.start && b.start < a.end) ||
           (a.end > b.start && a.end < b.end) || (b.end > a.start && b.end < a.end);
}

// Little-endian fields of a preview command record, as the baselines write them by hand.
inline void Put16(std::uint8_t* p, int v)
{
    const auto u = static_cast<std::uint16_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
}
inline void Put32(std::uint8_t* p, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(u >> (8 * k));
}

// The main window's part for the grid painter: it shows nothing and lists one explanation.
class QuietGridHost : public GridHost {
public:
    bool IsMinimised() const override { return false; }
    int CurrentShiftCode() const override { return 1; }
    QString SchedStem() const override { return QStringLiteral("Bench"); }
    int ExplListIndex(int) const override { return 0; }
    QString ExplanationListText(int) const override { return QStringLiteral("Vacation"); }
    bool ExplComboBusy() const override { return false; }
    void SetCaption(const QString&) override {}
    void SetBusy(bool) override {}
    void SetRowScroll(int, int) override {}
    void SetRowScrollValue(int) override {}
    void SetPanelText(InfoPanel, const QString&) override {}
    void SetShiftDescSmallFont(bool) override {}
    void SetUndoItem(bool, const QString&) override {}
    void SelectExplanationIndex(int) override {}
    void SetNotePadText(const QString&) override {}
    void SetNotePadEnabled(bool) override {}
    void SetNotePadBackground(std::uint32_t) override {}
    void SetListsEnabled(bool) override {}
    void SetNoteButtons(NoteButtonLook) override {}
    void CancelToolTip() override {}
};

// Windows are shown on the offscreen platform, on a screen at 96 DPI just large enough that a
// maximised window (the main window maximises itself) is 1920 x 1080 inside its frame. Call
// before the application is made.
inline void UseOffscreenScreen()
{
    char path[] = "/tmp/tavrin-bench-screen-XXXXXX";
    const int fd = ::mkstemp(path);
    if (fd < 0) std::abort();
    static const char kConfig[] =
        R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1924, "height": 1084, "logicalDpi": 96,
                        "logicalBaseDpi": 96, "dpr": 1}]})";
    if (::write(fd, kConfig, sizeof kConfig - 1) != static_cast<ssize_t>(sizeof kConfig - 1)) std::abort();
    ::close(fd);
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + path);
}

// Set once any comparison found that its two sides differ: the program then ends with status 1,
// whether the check ran before the benchmarks or inside one.
inline bool& SidesDiffered()
{
    static bool differed = false;
    return differed;
}

// Both sides of a comparison must produce the same result (counts, records, bytes or pixels),
// or their times mean nothing: says which comparison differs, and returns same.
inline bool SameWork(bool same, const char* comparison)
{
    if (!same) {
        std::fprintf(stderr, "%s: the program and its baseline do not produce the same result.\n", comparison);
        SidesDiffered() = true;
    }
    return same;
}

// Writes all n bytes to an open file (a failed write ends the benchmark program).
inline void WriteFd(int fd, const char* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd, data + done, n - done);
        if (w <= 0) std::abort();
        done += static_cast<std::size_t>(w);
    }
}

// Writes a fresh file beside the target and renames it over the target, as the program puts its
// files in place; with sync, the file and then the rename are put on the disk first, as the
// program does for every file it keeps.
inline void WriteFresh(const QString& path, const char* data, std::size_t n, bool sync = false)
{
    const QByteArray target = path.toLocal8Bit();
    const QByteArray fresh = target + ".new";
    ::unlink(fresh.constData());
    const int fd = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    WriteFd(fd, data, n);
    if (sync) ::fsync(fd);
    ::close(fd);
    if (::rename(fresh.constData(), target.constData()) != 0) std::abort();
    if (sync) {
        const int dir = ::open(QFileInfo(path).absolutePath().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        ::fsync(dir);
        ::close(dir);
    }
}

// The bytes of a file ("" when it cannot be read).
inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The main of a benchmark program. sameWork, when given, runs each comparison's two sides once,
// before and outside anything timed, and checks their results with SameWork: when any differ,
// nothing is timed and the program ends with status 1, as it does when a benchmark's own check
// failed (FailDiffering).
inline int RunBenchmarks(int argc, char** argv, const std::function<bool()>& sameWork = {})
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (sameWork && !sameWork()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return SidesDiffered() ? 1 : 0;
}

// The same with widgets: an application on the offscreen platform (its screen sized as
// UseOffscreenScreen makes it when sizedScreen).
inline int RunInApplication(int argc, char** argv, bool sizedScreen = false, const std::function<bool()>& sameWork = {})
{
    if (sizedScreen)
        UseOffscreenScreen();
    else
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv, sameWork);
}

}  // namespace tavrin::bench
