#include "platform/SiblingLink.h"

#include "platform/AppPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

namespace tavrin {

namespace {

constexpr int kConnectWaitMs = 500;
constexpr int kRetryPauseMs = 100;

}  // namespace

QString LocalEndpoint(const QString& name)
{
    QString dir = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        dir = AppPaths::DefaultWorkDir();
        (void)AppPaths::PreparePrivateFolder(dir);
    }
    return QDir::cleanPath(dir + QLatin1Char('/') + name);
}

QString SiblingEndpoint() { return LocalEndpoint(QStringLiteral("CB2_APP.CREWBOOK")); }
QString OwnEndpoint() { return LocalEndpoint(QStringLiteral("QORVANE")); }

// ---------------------------------------------------------------- client

SiblingLink::SiblingLink(QString endpoint) : endpoint_(std::move(endpoint)), socket_(std::make_unique<QLocalSocket>()) {}

SiblingLink::~SiblingLink() { Disconnect(); }

bool SiblingLink::Connected() const { return socket_->state() == QLocalSocket::ConnectedState; }

bool SiblingLink::TryConnect()
{
    if (Connected()) return true;
    socket_->abort();
    socket_->connectToServer(endpoint_);
    return socket_->waitForConnected(kConnectWaitMs);
}

bool SiblingLink::CanStart(const QString& program)
{
    const QFileInfo fi(program);
    return !program.isEmpty() && fi.isFile() && fi.isExecutable();
}

bool SiblingLink::StartProgram(const QString& program)
{
    if (!CanStart(program)) return false;
    return QProcess::startDetached(program, {QStringLiteral("/QORVANE")});
}

bool SiblingLink::ConnectWithRetry(const std::function<void()>& processEvents)
{
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (TryConnect()) return true;
        if (clock.elapsed() >= retryMs_) return false;
        if (processEvents) processEvents();
        QThread::msleep(kRetryPauseMs);
    }
}

bool SiblingLink::Send(const QString& text)
{
    if (!Connected()) return false;
    QByteArray line = text.toUtf8();
    line.replace('\n', ' ');
    line.append('\n');
    if (socket_->write(line) != line.size()) return false;
    return socket_->waitForBytesWritten(kConnectWaitMs) || socket_->bytesToWrite() == 0;
}

void SiblingLink::Disconnect()
{
    if (socket_->state() == QLocalSocket::UnconnectedState) return;
    socket_->disconnectFromServer();
    if (socket_->state() != QLocalSocket::UnconnectedState) socket_->waitForDisconnected(kConnectWaitMs);
}

SiblingLink::Outcome SiblingLink::Run(const QString& program, const QString& name, const Hooks& hooks)
{
    const auto call = [](const std::function<void()>& f) {
        if (f) f();
    };
    if (!TryConnect()) {
        call(hooks.beforeStart);
        const bool started = StartProgram(program);
        call(hooks.afterStart);
        if (!started) {
            call(hooks.finished);
            return Outcome::NotFound;
        }
        const bool connected = ConnectWithRetry(hooks.processEvents);
        call(hooks.finished);
        if (!connected) return Outcome::NoAnswer;
    } else {
        call(hooks.finished);
    }
    // A name that does not arrive is not reported.
    (void)Send(name);
    Disconnect();
    return Outcome::Sent;
}

// ---------------------------------------------------------------- server

SiblingServer::SiblingServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SiblingServer::Accept);
}

SiblingServer::~SiblingServer() { server_->close(); }

bool SiblingServer::Listen(const QString& endpoint)
{
    server_->close();
    // A socket left behind by an earlier run of this single-copy program is stale.
    QLocalServer::removeServer(endpoint);
    return server_->listen(endpoint);
}

QString SiblingServer::Endpoint() const { return server_->fullServerName(); }
QString SiblingServer::ErrorString() const { return server_->errorString(); }

void SiblingServer::Accept()
{
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            while (s->canReadLine()) emit ExecuteReceived(QString::fromUtf8(s->readLine()).trimmed());
        });
        connect(s, &QLocalSocket::disconnected, this, [this, s] {
            // A last command without its line feed still counts.
            while (s->canReadLine()) emit ExecuteReceived(QString::fromUtf8(s->readLine()).trimmed());
            if (s->bytesAvailable() > 0) emit ExecuteReceived(QString::fromUtf8(s->readAll()).trimmed());
            s->deleteLater();
        });
    }
}

}  // namespace tavrin
