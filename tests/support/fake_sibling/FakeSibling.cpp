// A stand-in for the staff-records application in tests. It logs its arguments, listens on the
// endpoint named by TAVRIN_FAKE_SIBLING_ENDPOINT (after TAVRIN_FAKE_SIBLING_DELAY_MS, or never
// when that is negative), logs every command it receives to TAVRIN_FAKE_SIBLING_LOG and ends
// after the first one, or after TAVRIN_FAKE_SIBLING_LIFE_MS (15 seconds when not set).
#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

void Log(const QString& line)
{
    QFile f(QString::fromLocal8Bit(qgetenv("TAVRIN_FAKE_SIBLING_LOG")));
    if (f.open(QIODevice::Append)) f.write(line.toUtf8() + '\n');
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString endpoint = QString::fromLocal8Bit(qgetenv("TAVRIN_FAKE_SIBLING_ENDPOINT"));
    const int delay = qEnvironmentVariableIntValue("TAVRIN_FAKE_SIBLING_DELAY_MS");
    QStringList args = app.arguments();
    args.removeFirst();
    Log(QStringLiteral("ARGS:") + args.join(QLatin1Char('|')));

    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* s = server.nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::readyRead, [s] {
                while (s->canReadLine()) {
                    Log(QStringLiteral("NAME:") + QString::fromUtf8(s->readLine()).chopped(1));
                    QCoreApplication::exit(0);
                }
            });
        }
    });
    if (delay >= 0) {
        QTimer::singleShot(delay, [&] {
            QLocalServer::removeServer(endpoint);
            if (server.listen(endpoint)) Log(QStringLiteral("LISTENING"));
        });
    }
    const int life = qEnvironmentVariableIntValue("TAVRIN_FAKE_SIBLING_LIFE_MS");
    QTimer::singleShot(life > 0 ? life : 15000, [] { QCoreApplication::exit(1); });
    return app.exec();
}
