#pragma once
// Stand-ins for the interactive parts in the benchmarks: message boxes that answer at once. The
// benchmarks use the real printer, which touches nothing until a report uses it.

#include <unistd.h>

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "platform/MsgBox.h"
#include "platform/PrinterDevice.h"

namespace tavrin::bench {

class QuietMsgBox final : public MsgBox {
public:
    explicit QuietMsgBox(int answer = Mb::OK) : answer_(answer) {}
    int show(const QString&, int, const QString&) override { return answer_; }
    void beep() override {}

private:
    int answer_;
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

}  // namespace tavrin::bench
