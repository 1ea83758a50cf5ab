#include "platform/PrintingSystem.h"

#include <cups/cups.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/BusyPointer.h"
#include "platform/PrintWaitPanel.h"

namespace tavrin {

namespace {

using Clock = std::chrono::steady_clock;

// How long the window waits past the bound for a question that is stuck where no timeout of the
// printing system's library reaches (a name lookup), before it gives up on it.
constexpr int kGraceMs = 500;
// How often a waiting question looks at its deadline and at Cancel.
constexpr double kTickSeconds = 0.2;

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString LastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// Keeps a window's user input from starting another command while a question is waited for;
// the waiting panel itself takes its input.
class InputBlocker final : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }
    void SetPanel(QWidget* panel) { panel_ = panel; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
                break;
            default:
                return false;
        }
        auto* w = qobject_cast<QWidget*>(watched);
        if (panel_ && w && (w == panel_ || panel_->isAncestorOf(w))) return false;
        // The panel's own window handle passes too.
        if (panel_ && watched == static_cast<QObject*>(panel_->windowHandle())) return false;
        return true;
    }

private:
    QWidget* panel_ = nullptr;
};

// The printing system's address as the messages name it: a socket's path, or a host with its
// port when that is not the usual one.
QString DisplayName(const QByteArray& server, int port)
{
    const QString host = QString::fromUtf8(server);
    return host.startsWith(QLatin1Char('/')) || port == 631 ? host : host + QLatin1Char(':') + QString::number(port);
}

// Why a question failed, to follow "The printer ... did not take the job: ".
QString Reason(PrintingSystem::Outcome o, const QString& server, const QString& refusal)
{
    switch (o) {
        case PrintingSystem::Outcome::Silent:
            return QStringLiteral("the printing system at ") + server + QStringLiteral(" did not answer.");
        case PrintingSystem::Outcome::Cancelled:
            return QStringLiteral("the wait for the printing system at ") + server + QStringLiteral(" was cancelled.");
        case PrintingSystem::Outcome::Unreachable:
            return QStringLiteral("the printing system at ") + server +
                   QStringLiteral(" is not running or cannot be reached (") + refusal + QStringLiteral(").");
        case PrintingSystem::Outcome::Answered:
            break;
    }
    return refusal;
}

}  // namespace

// One question: where to ask, until when, and how it ended. Shared by the window's thread and
// the question's own thread, which may outlive the wait (a cancelled or stuck question).
struct PrintingSystem::Ask {
    QByteArray server;
    int port = 631;
    http_encryption_t encryption = HTTP_ENCRYPTION_IF_REQUESTED;
    QByteArray user;
    Clock::time_point deadline;

    std::atomic<bool> done{false};
    std::atomic<bool> timedOut{false};
    std::atomic<bool> cancelled{false};
    // Read by the library while it connects.
    int cancelConnect = 0;
    Outcome outcome = Outcome::Answered;  // written by the question's thread before done
    // Work the question's thread does after it has answered (withdrawing a job).
    std::function<void()> after;

    std::mutex mutex;
    std::condition_variable answered;

    void Cancel()
    {
        cancelled = true;
        std::atomic_ref<int>(cancelConnect).store(1);
    }
    bool Stopped() const { return timedOut || cancelled; }
    int MsLeft() const
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::max<long long>(left, 1));
    }
    // The outcome of a library call that failed.
    Outcome Failed() const
    {
        if (cancelled) return Outcome::Cancelled;
        if (timedOut) return Outcome::Silent;
        return Outcome::Answered;
    }
    QString ServerName() const { return DisplayName(server, port); }
    QString Why(Outcome o, const QString& refusal) const { return Reason(o, ServerName(), refusal); }
};

namespace {

int TimeoutCallback(http_t*, void* data)
{
    auto* ask = static_cast<PrintingSystem::Ask*>(data);
    if (ask->cancelled) return 0;
    if (Clock::now() >= ask->deadline) {
        ask->timedOut = true;
        return 0;
    }
    return 1;
}

// A connection of the question's own, with the question's deadline on every wait.
class Link {
public:
    explicit Link(PrintingSystem::Ask& ask) : ask_(ask)
    {
        errno = 0;
        http_ = httpConnect2(ask.server.constData(), ask.port, nullptr, AF_UNSPEC, ask.encryption, 1, ask.MsLeft(),
                             &ask.cancelConnect);
        if (http_) {
            httpSetTimeout(http_, kTickSeconds, &TimeoutCallback, &ask);
            return;
        }
        const int err = errno;
        if (ask.cancelled) {
            outcome_ = PrintingSystem::Outcome::Cancelled;
        } else if (err == ETIMEDOUT || Clock::now() >= ask.deadline) {
            ask.timedOut = true;
            outcome_ = PrintingSystem::Outcome::Silent;
        } else {
            outcome_ = PrintingSystem::Outcome::Unreachable;
            refusal_ = err != 0 ? ErrnoText(err) : LastCupsError();
        }
    }
    ~Link()
    {
        if (http_) httpClose(http_);
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    explicit operator bool() const { return http_ != nullptr; }
    http_t* get() const { return http_; }
    PrintingSystem::Outcome Outcome() const { return outcome_; }
    QString Failure() const { return ask_.Why(outcome_, refusal_); }

private:
    PrintingSystem::Ask& ask_;
    http_t* http_ = nullptr;
    PrintingSystem::Outcome outcome_ = PrintingSystem::Outcome::Answered;
    QString refusal_;
};

// The options of one job, as the printing system's job attributes.
class CupsOptions {
public:
    CupsOptions() = default;
    ~CupsOptions() { cupsFreeOptions(count_, options_); }
    CupsOptions(const CupsOptions&) = delete;
    CupsOptions& operator=(const CupsOptions&) = delete;

    void Add(const char* name, const char* value) { count_ = cupsAddOption(name, value, count_, &options_); }
    int Count() const { return count_; }
    cups_option_t* Options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

using DestPtr = std::unique_ptr<cups_dest_t, void (*)(cups_dest_t*)>;
using InfoPtr = std::unique_ptr<cups_dinfo_t, void (*)(cups_dinfo_t*)>;

DestPtr NamedDest(http_t* http, const QByteArray& queue)
{
    return DestPtr(cupsGetNamedDest(http, queue.constData(), nullptr), [](cups_dest_t* d) {
        if (d) cupsFreeDests(1, d);
    });
}

InfoPtr DestInfo(http_t* http, cups_dest_t* dest)
{
    return InfoPtr(cupsCopyDestInfo(http, dest), [](cups_dinfo_t* i) {
        if (i) cupsFreeDestInfo(i);
    });
}

QueueMedia MediaOf(const cups_size_t& s)
{
    // Hundredths of millimetres; the margins in points.
    const auto pt = [](int hmm) { return hmm * 72.0 / 2540.0; };
    const QPageSize size(QSizeF(s.width / 100.0, s.length / 100.0), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    return {size, QMarginsF(pt(s.left), pt(s.top), pt(s.right), pt(s.bottom))};
}

}  // namespace

// ---------------------------------------------------------------- asking

PrintingSystem::PrintingSystem() = default;

PrintingSystem::~PrintingSystem()
{
    QObject::disconnect(endOfCommand_);
}

QString PrintingSystem::Server()
{
    return DisplayName(cupsServer(), ippPort());
}

QString PrintingSystem::SilentMessage()
{
    QString text = Reason(Outcome::Silent, Server(), {});
    text[0] = text[0].toUpper();
    return text;
}

template <class T>
Result<T> PrintingSystem::Run(std::function<Result<T>(Ask&)> work)
{
    const auto silence = [this](Outcome o) {
        last_ = o;
        return Status::error(Reason(o, Server(), {}));
    };
    if (silent_) return silence(met_);
    // A question asked while another is waited for (from a window's event) is not asked.
    if (asking_) return silence(Outcome::Silent);

    // Where to ask is read in this thread: the library keeps it per thread.
    auto ask = std::make_shared<Ask>();
    ask->server = cupsServer();
    ask->port = ippPort();
    ask->encryption = cupsEncryption();
    ask->user = cupsUser();
    ask->deadline = Clock::now() + std::chrono::milliseconds(kBoundMs);
    auto answer = std::make_shared<std::optional<Result<T>>>();

    std::thread([ask, answer, work = std::move(work)] {
        cupsSetServer(ask->server.constData());
        ippSetPort(ask->port);
        cupsSetEncryption(ask->encryption);
        cupsSetUser(ask->user.constData());
        Result<T> r = work(*ask);
        {
            std::lock_guard lock(ask->mutex);
            *answer = std::move(r);
            ask->done = true;
        }
        ask->answered.notify_all();
        if (ask->after) ask->after();
    }).detach();

    asking_ = true;
    const bool inTime = Wait(ask);
    asking_ = false;
    if (!inTime) {
        const Outcome o = ask->cancelled ? Outcome::Cancelled : Outcome::Silent;
        ask->Cancel();
        MarkSilent(o);
        return silence(o);
    }
    std::lock_guard lock(ask->mutex);
    last_ = ask->outcome;
    if (last_ == Outcome::Silent || last_ == Outcome::Cancelled) MarkSilent(last_);
    return std::move(**answer);
}

bool PrintingSystem::Wait(const std::shared_ptr<Ask>& ask)
{
    const auto until = ask->deadline + std::chrono::milliseconds(kGraceMs);
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) {
        std::unique_lock lock(ask->mutex);
        return ask->answered.wait_until(lock, until, [&] { return ask->done.load(); });
    }

    const bool wasBusy = QApplication::overrideCursor() != nullptr;
    // The panel takes the keyboard while it shows; the window that had it gets it back.
    const QPointer<QWidget> active = QApplication::activeWindow();
    SetBusyPointer(true);
    InputBlocker blocker;
    QEventLoop loop;
    std::unique_ptr<PrintWaitPanel> panel;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (ask->done || ask->cancelled || Clock::now() >= until) {
            loop.quit();
            return;
        }
        if (!panel && clock.elapsed() >= kPanelDelayMs) {
            panel = std::make_unique<PrintWaitPanel>(ask->ServerName());
            panel->OnCancel = [&] {
                ask->Cancel();
                loop.quit();
            };
            blocker.SetPanel(panel.get());
            panel->Show();
        }
    });
    poll.start();
    if (!ask->done) loop.exec();
    poll.stop();
    blocker.SetPanel(nullptr);
    if (panel) {
        panel.reset();
        if (active) active->activateWindow();
    }
    if (!wasBusy) SetBusyPointer(false);
    return ask->done && !ask->cancelled;
}

void PrintingSystem::MarkSilent(Outcome met)
{
    silent_ = true;
    met_ = met;
    // A command runs within one round of the event loop that took it; it has ended when that
    // loop (or one further out) waits for events again. A command called with no loop running
    // ends when any loop does.
    silentLoopLevel_ = QThread::currentThread()->loopLevel();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || endOfCommand_) return;
    endOfCommand_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
        const int level = QThread::currentThread()->loopLevel();
        if (silentLoopLevel_ > 0 && level > silentLoopLevel_) return;
        silent_ = false;
        QObject::disconnect(endOfCommand_);
        endOfCommand_ = {};
    });
}

// ---------------------------------------------------------------- the questions

Result<std::vector<PrintQueue>> PrintingSystem::Queues()
{
    return Run<std::vector<PrintQueue>>([](Ask& ask) -> Result<std::vector<PrintQueue>> {
        const Link link(ask);
        if (!link) {
            ask.outcome = link.Outcome();
            // Nothing listens: no queues, which is no failure.
            if (ask.outcome == Outcome::Unreachable) return std::vector<PrintQueue>{};
            return Status::error(link.Failure());
        }
        cups_dest_t* dests = nullptr;
        const int n = cupsGetDests2(link.get(), &dests);
        if (ask.Stopped()) {
            cupsFreeDests(n, dests);
            ask.outcome = ask.Failed();
            return Status::error(ask.Why(ask.outcome, {}));
        }
        std::vector<PrintQueue> out;
        QString defaultQueue;
        for (int i = 0; i < n; ++i) {
            const cups_dest_t& d = dests[i];
            if (d.is_default) defaultQueue = QString::fromUtf8(d.name);
            // An instance is a set of saved options of a queue, not a printer of its own.
            if (d.instance) continue;
            out.push_back({QString::fromUtf8(d.name),
                           QString::fromUtf8(cupsGetOption("printer-location", d.num_options, d.options)).trimmed()});
        }
        cupsFreeDests(n, dests);
        for (PrintQueue& q : out) q.isDefault = q.name == defaultQueue;
        return out;
    });
}

Result<QueueCaps> PrintingSystem::Caps(const QString& queue)
{
    const QByteArray name = queue.toUtf8();
    return Run<QueueCaps>([name](Ask& ask) -> Result<QueueCaps> {
        const Link link(ask);
        if (!link) {
            ask.outcome = link.Outcome();
            return Status::error(link.Failure());
        }
        const auto failed = [&ask] {
            ask.outcome = ask.Failed();
            return Status::error(ask.Why(ask.outcome, LastCupsError()));
        };
        const DestPtr dest = NamedDest(link.get(), name);
        if (!dest) return failed();
        const InfoPtr info = DestInfo(link.get(), dest.get());
        if (!info) return failed();

        QueueCaps caps;
        const int count = cupsGetDestMediaCount(link.get(), dest.get(), info.get(), 0);
        for (int i = 0; i < count; ++i) {
            cups_size_t size{};
            if (cupsGetDestMediaByIndex(link.get(), dest.get(), info.get(), i, 0, &size) && size.width > 0 &&
                size.length > 0)
                caps.media.push_back(MediaOf(size));
        }
        cups_size_t size{};
        if (cupsGetDestMediaDefault(link.get(), dest.get(), info.get(), 0, &size) && size.width > 0 && size.length > 0)
            caps.defaultMedia = MediaOf(size);
        if (ipp_attribute_t* a = cupsFindDestSupported(link.get(), dest.get(), info.get(), "printer-resolution")) {
            for (int i = 0; i < ippGetCount(a); ++i) {
                int y = 0;
                ipp_res_t units = IPP_RES_PER_INCH;
                int x = ippGetResolution(a, i, &y, &units);
                if (units == IPP_RES_PER_CM) x = static_cast<int>(std::lround(x * 2.54));
                if (x > 0 && std::find(caps.resolutions.begin(), caps.resolutions.end(), x) == caps.resolutions.end())
                    caps.resolutions.push_back(x);
            }
        }
        if (ipp_attribute_t* a = cupsFindDestSupported(link.get(), dest.get(), info.get(), "media-source")) {
            for (int i = 0; i < ippGetCount(a); ++i) caps.sources << QString::fromUtf8(ippGetString(a, i, nullptr));
        }
        if (ask.Stopped()) return failed();
        return caps;
    });
}

Status PrintingSystem::Submit(const QueueJob& job)
{
    const QByteArray queue = job.queue.toUtf8();
    const QByteArray file = QFile::encodeName(job.file);
    const QByteArray title = job.title.toUtf8();
    const auto options = job.options;
    const Result<bool> r = Run<bool>([queue, file, title, options](Ask& ask) -> Result<bool> {
        const Link link(ask);
        if (!link) {
            ask.outcome = link.Outcome();
            return Status::error(link.Failure());
        }
        const auto failed = [&ask](const QString& refusal) {
            ask.outcome = ask.Failed();
            return Status::error(ask.Why(ask.outcome, refusal));
        };
        const DestPtr dest = NamedDest(link.get(), queue);
        if (!dest) return failed(LastCupsError());
        const InfoPtr info = DestInfo(link.get(), dest.get());
        if (!info) return failed(LastCupsError());

        CupsOptions o;
        for (const auto& [name, value] : options) o.Add(name.constData(), value.constData());
        int id = 0;
        if (cupsCreateDestJob(link.get(), dest.get(), info.get(), &id, title.constData(), o.Count(), o.Options()) >
                IPP_STATUS_OK_EVENTS_COMPLETE ||
            id <= 0 || ask.Stopped()) {
            return failed(LastCupsError());
        }
        // From here a failure withdraws the job, so that no part of it is printed: at once when
        // the scheduler answers, else on a connection of its own once the window has its answer.
        const auto withdraw = [&](const QString& refusal) {
            const Status s = failed(refusal);
            if (ask.outcome == Outcome::Answered) {
                (void)cupsCancelDestJob(link.get(), dest.get(), id);
                return s;
            }
            const QByteArray server = ask.server;
            const int port = ask.port;
            const http_encryption_t encryption = ask.encryption;
            const QByteArray q = queue;
            ask.after = [server, port, encryption, q, id] {
                PrintingSystem::Ask later;
                later.server = server;
                later.port = port;
                later.encryption = encryption;
                later.deadline = Clock::now() + std::chrono::milliseconds(kBoundMs);
                const Link again(later);
                if (!again) return;
                if (const DestPtr d = NamedDest(again.get(), q)) (void)cupsCancelDestJob(again.get(), d.get(), id);
            };
            return s;
        };
        QFile in(QFile::decodeName(file));
        if (!in.open(QIODevice::ReadOnly)) return withdraw(in.errorString());
        if (cupsStartDestDocument(link.get(), dest.get(), info.get(), id, title.constData(), CUPS_FORMAT_PDF, 0,
                                  nullptr, 1) != HTTP_STATUS_CONTINUE ||
            ask.Stopped()) {
            return withdraw(LastCupsError());
        }
        std::vector<char> buffer(1 << 16);
        bool sent = true;
        for (;;) {
            const qint64 n = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
            if (n == 0) break;
            if (n < 0 ||
                cupsWriteRequestData(link.get(), buffer.data(), static_cast<size_t>(n)) != HTTP_STATUS_CONTINUE ||
                ask.Stopped()) {
                sent = false;
                break;
            }
        }
        if (ask.Stopped()) return withdraw({});
        // The scheduler's answer says whether it took the document, also after a failed write.
        const ipp_status_t finished = cupsFinishDestDocument(link.get(), dest.get(), info.get());
        if (finished > IPP_STATUS_OK_EVENTS_COMPLETE || ask.Stopped()) return withdraw(LastCupsError());
        if (!sent) return withdraw(in.error() != QFileDevice::NoError ? in.errorString() : LastCupsError());
        return true;
    });
    return r ? Status() : r.status();
}

}  // namespace tavrin
