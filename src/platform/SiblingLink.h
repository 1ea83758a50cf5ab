#pragma once
// The link to the staff-records application: a local socket in the user's own runtime folder in
// each direction. The program connects to the sibling's endpoint, starts the sibling when no
// one answers, and sends it the current employee's name; its own endpoint takes commands from
// the sibling. A command is one line of UTF-8 text ended by a line feed.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

namespace tavrin {

// Full path of a local endpoint: in $XDG_RUNTIME_DIR when there is one, else in the user's
// private working folder.
QString LocalEndpoint(const QString& name);
// The sibling's endpoint and this program's own.
QString SiblingEndpoint();
QString OwnEndpoint();

class SiblingLink {
public:
    // What the main window does around the start of the sibling.
    struct Hooks {
        std::function<void()> beforeStart;    // show the "Loading Crewbook..." panel, release the lock
        std::function<void()> afterStart;     // take the lock again
        std::function<void()> processEvents;  // let window events run between attempts
        std::function<void()> finished;       // hide the panel
    };
    enum class Outcome {
        Sent,        // connected and the name was sent (or could not be, which is not reported)
        NotFound,    // the program is not an executable file or would not start: ask the user
        NoAnswer,    // started, but it did not answer in time: nothing is said
    };

    explicit SiblingLink(QString endpoint = SiblingEndpoint());
    ~SiblingLink();
    SiblingLink(const SiblingLink&) = delete;
    SiblingLink& operator=(const SiblingLink&) = delete;

    // How long a started sibling is waited for (20 seconds).
    void SetRetryTimeout(int ms) { retryMs_ = ms; }

    // One attempt to connect.
    bool TryConnect();
    bool Connected() const;
    // A file that exists and may be executed.
    static bool CanStart(const QString& program);
    // Starts the program with the single argument "/QORVANE", without a shell. False when it is
    // not an executable file or could not be started.
    static bool StartProgram(const QString& program);
    // Retries until connected or the timeout has passed.
    bool ConnectWithRetry(const std::function<void()>& processEvents);
    // Sends one command (a line) over the connection.
    bool Send(const QString& text);
    void Disconnect();

    // The whole sequence: connect, or start `program` and retry; then send `name`.
    Outcome Run(const QString& program, const QString& name, const Hooks& hooks);

private:
    QString endpoint_;
    int retryMs_ = 20000;
    std::unique_ptr<QLocalSocket> socket_;
};

// This program's own endpoint, open to the user only. Every command line received is reported.
class SiblingServer final : public QObject {
    Q_OBJECT
public:
    explicit SiblingServer(QObject* parent = nullptr);
    ~SiblingServer() override;

    bool Listen(const QString& endpoint = OwnEndpoint());
    QString Endpoint() const;
    QString ErrorString() const;

signals:
    // The sibling asked this program to come to the front; the text is not used.
    void ExecuteReceived(const QString& command);

private:
    void Accept();
    QLocalServer* server_;
};

}  // namespace tavrin
