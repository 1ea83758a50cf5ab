#pragma once
// Printing systems that misbehave, for the tests of the program's waits: a server on a port of
// 127.0.0.1 that the system chooses, and that
//  - Silent: takes every connection and never answers (a hung scheduler, a print server behind a
//    firewall that drops its replies);
//  - SilentAtDocument: answers like a scheduler with the one queue "Office" (listing, its
//    attributes, the job's creation, a withdrawal) but never answers the job's document;
//  - RefuseDocument: the same, but refuses the finished document with `Refusal`.
// Nothing here reaches the system's printing.

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct _http_s;

namespace tavrin::test {

class FakePrintServer {
public:
    enum class Script { Silent, SilentAtDocument, RefuseDocument };
    static constexpr const char* Refusal = "Out of toner";

    explicit FakePrintServer(Script script);
    ~FakePrintServer();
    FakePrintServer(const FakePrintServer&) = delete;
    FakePrintServer& operator=(const FakePrintServer&) = delete;

    // "127.0.0.1:port", as the printing system's messages name it.
    QString Address() const;
    // Points this thread's printing-system calls at this server (CupsScheduler::UseDefault
    // points them back).
    void Use() const;
    // Connections taken so far.
    int Connections() const { return connections_; }
    // The operations asked, in order ("Create-Job", "Send-Document", "Cancel-Job" ...).
    QStringList Operations() const;

private:
    void Listen();
    void Serve(_http_s* http);

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    QStringList operations_;
    std::vector<int> clients_;
    std::vector<std::thread> threads_;
    std::thread listenerThread_;
};

}  // namespace tavrin::test
