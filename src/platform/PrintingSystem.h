#pragma once
// The program's own questions to the printing system (CUPS): the queues installed, what a queue
// offers, and handing it a job. A printing system may take a connection and never answer (a hung
// scheduler, a print server behind a firewall that drops its replies), so every question is asked
// on a thread of its own and waited for at most kBoundMs, while the window's thread keeps its
// windows drawn. After kPanelDelayMs a small panel says what the program is waiting for and
// offers Cancel.
//
// A printing system that did not answer (or whose wait was cancelled) is not asked again until
// the command that met it has ended: the event loop that began the command waits for events
// again (pending events run within a command, dialogs opened on the way and the wait's own
// loop do not end it). The next command asks afresh, so a scheduler that has come back is found.

#include <QByteArray>
#include <QMarginsF>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Result.h"

#include <QMetaObject>

namespace tavrin {

// One queue as the printing system lists it.
struct PrintQueue {
    QString name;
    QString location;
    bool isDefault = false;
};

// A sheet a queue offers and the unprintable border the queue gives it, in points.
struct QueueMedia {
    QPageSize size;
    QMarginsF margins;
};

// What the program needs of a queue: its sheets, its default sheet, its resolutions and its
// paper sources (the printing system's media-source keywords).
struct QueueCaps {
    std::vector<QueueMedia> media;
    std::optional<QueueMedia> defaultMedia;
    std::vector<int> resolutions;
    QStringList sources;
};

// A finished job file for a queue, with the job's attributes.
struct QueueJob {
    QString queue;
    QString file;
    QString title;
    std::vector<std::pair<QByteArray, QByteArray>> options;
};

class PrintingSystem {
public:
    static constexpr int kBoundMs = 10000;
    static constexpr int kPanelDelayMs = 1000;

    // How the last question ended.
    enum class Outcome {
        Answered,     // the printing system answered (yes or no)
        Unreachable,  // nothing listens where it should be: not running, no such host
        Silent,       // it took the connection and did not answer within the bound
        Cancelled,    // the user cancelled the wait
    };

    PrintingSystem();
    ~PrintingSystem();
    PrintingSystem(const PrintingSystem&) = delete;
    PrintingSystem& operator=(const PrintingSystem&) = delete;

    // The queues installed now. An unreachable printing system has none: an empty list, no
    // failure. A silent one fails.
    Result<std::vector<PrintQueue>> Queues();
    // What a queue offers; fails when the queue has gone or the printing system did not answer.
    Result<QueueCaps> Caps(const QString& queue);
    // Hands the job to its queue; fails, with the printing system's reason, unless the scheduler
    // took it whole. A job that was begun and then failed is withdrawn.
    Status Submit(const QueueJob& job);

    Outcome LastOutcome() const { return last_; }
    // True while the command that met a silent (or cancelled) printing system lasts.
    bool SilentInThisCommand() const { return silent_; }
    // The printing system's address as the messages name it.
    static QString Server();
    // "The printing system at <server> did not answer."
    static QString SilentMessage();

    // One question on its way (defined where the questions are asked).
    struct Ask;

private:
    // Runs work on a thread of its own and waits for its answer within the bound.
    template <class T>
    Result<T> Run(std::function<Result<T>(Ask&)> work);
    bool Wait(const std::shared_ptr<Ask>& ask);
    // The rest of the command gets the outcome it met (Silent or Cancelled) without asking.
    void MarkSilent(Outcome met);

    Outcome last_ = Outcome::Answered;
    bool silent_ = false;
    Outcome met_ = Outcome::Silent;
    bool asking_ = false;
    int silentLoopLevel_ = 0;
    QMetaObject::Connection endOfCommand_;
};

}  // namespace tavrin
