// The link to the staff-records application, against a fake sibling program.

#include "platform/SiblingLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#ifndef TAVRIN_FAKE_SIBLING
#define TAVRIN_FAKE_SIBLING ""
#endif

namespace tavrin {
namespace {

class Sibling : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        endpoint = dir.filePath("sibling");
        log = dir.filePath("sibling.log");
        qputenv("TAVRIN_FAKE_SIBLING_ENDPOINT", endpoint.toLocal8Bit());
        qputenv("TAVRIN_FAKE_SIBLING_LOG", log.toLocal8Bit());
        qputenv("TAVRIN_FAKE_SIBLING_DELAY_MS", "0");
    }
    void TearDown() override
    {
        qunsetenv("TAVRIN_FAKE_SIBLING_ENDPOINT");
        qunsetenv("TAVRIN_FAKE_SIBLING_LOG");
        qunsetenv("TAVRIN_FAKE_SIBLING_DELAY_MS");
        qunsetenv("TAVRIN_FAKE_SIBLING_LIFE_MS");
        if (running.state() != QProcess::NotRunning) {
            running.kill();
            running.waitForFinished(2000);
        }
    }
    QStringList Log() const
    {
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Waits until the fake sibling has logged a line starting with `prefix`.
    bool WaitForLog(const QString& prefix, int ms = 10000) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (const QString& l : Log()) {
                if (l.startsWith(prefix)) return true;
            }
            QThread::msleep(20);
        }
        return false;
    }
    SiblingLink::Hooks CountingHooks()
    {
        return {[this] { calls << "before"; }, [this] { calls << "after"; }, [this] { ++yields; },
                [this] { calls << "finished"; }};
    }

    QTemporaryDir dir;
    QString endpoint, log;
    QProcess running;
    QStringList calls;
    int yields = 0;
};

TEST_F(Sibling, ConnectsToARunningSiblingAndSendsTheName)
{
    running.start(QString::fromUtf8(TAVRIN_FAKE_SIBLING), {QStringLiteral("already")});
    ASSERT_TRUE(running.waitForStarted(5000));
    ASSERT_TRUE(WaitForLog("LISTENING"));

    SiblingLink link(endpoint);
    EXPECT_EQ(link.Run("/nonexistent/program", QStringLiteral("Ada Lovelace"), CountingHooks()),
              SiblingLink::Outcome::Sent);
    EXPECT_EQ(calls, QStringList{"finished"});  // nothing was started
    ASSERT_TRUE(WaitForLog("NAME:"));
    EXPECT_TRUE(Log().contains("NAME:Ada Lovelace"));
    EXPECT_TRUE(Log().contains("ARGS:already"));
}

TEST_F(Sibling, StartsTheProgramWithOneArgumentAndRetriesUntilItAnswers)
{
    qputenv("TAVRIN_FAKE_SIBLING_DELAY_MS", "1200");
    SiblingLink link(endpoint);
    EXPECT_FALSE(link.TryConnect());
    EXPECT_EQ(link.Run(QString::fromUtf8(TAVRIN_FAKE_SIBLING), QStringLiteral("Grace \"G\" Hopper; rm -rf"),
                       CountingHooks()),
              SiblingLink::Outcome::Sent);
    EXPECT_EQ(calls, (QStringList{"before", "after", "finished"}));
    EXPECT_GT(yields, 0);  // events ran while waiting
    ASSERT_TRUE(WaitForLog("NAME:"));
    const QStringList lines = Log();
    EXPECT_TRUE(lines.contains("ARGS:/QORVANE")) << lines.join(" | ").toStdString();
    EXPECT_TRUE(lines.contains("NAME:Grace \"G\" Hopper; rm -rf"));
}

TEST_F(Sibling, AProgramThatIsNoExecutableFileIsNotFound)
{
    QFile plain(dir.filePath("notes.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("#!/bin/sh\n");
    plain.close();
    for (const QString& program : {QString(), dir.filePath("missing"), plain.fileName(), dir.path()}) {
        calls.clear();
        SiblingLink link(endpoint);
        EXPECT_EQ(link.Run(program, QStringLiteral("Ada"), CountingHooks()), SiblingLink::Outcome::NotFound)
            << program.toStdString();
        EXPECT_EQ(calls, (QStringList{"before", "after", "finished"}));
    }
    EXPECT_TRUE(Log().isEmpty());
}

TEST_F(Sibling, ASiblingThatNeverAnswersIsLeftAlone)
{
    qputenv("TAVRIN_FAKE_SIBLING_DELAY_MS", "-1");
    qputenv("TAVRIN_FAKE_SIBLING_LIFE_MS", "1500");
    SiblingLink link(endpoint);
    link.SetRetryTimeout(600);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(link.Run(QString::fromUtf8(TAVRIN_FAKE_SIBLING), QStringLiteral("Ada"), CountingHooks()),
              SiblingLink::Outcome::NoAnswer);
    EXPECT_LT(t.elapsed(), 5000);
    ASSERT_TRUE(WaitForLog("ARGS:"));
}

TEST_F(Sibling, OwnEndpointReportsExecuteCommandsToItsUserOnly)
{
    SiblingServer server;
    const QString own = dir.filePath("own");
    ASSERT_TRUE(server.Listen(own)) << server.ErrorString().toStdString();
    const QFileInfo socket(server.Endpoint());
    EXPECT_EQ(socket.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                      QFileDevice::WriteOther),
              QFileDevice::Permissions());
    QStringList received;
    QObject::connect(&server, &SiblingServer::ExecuteReceived, [&](const QString& c) { received << c; });

    SiblingLink client(own);
    ASSERT_TRUE(client.TryConnect());
    ASSERT_TRUE(client.Send(QStringLiteral("[Activate]")));
    client.Disconnect();
    QElapsedTimer t;
    t.start();
    while (received.isEmpty() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, QStringList{"[Activate]"});

    // A second listen (a stale socket from an earlier run) replaces the old endpoint.
    SiblingServer again;
    EXPECT_TRUE(again.Listen(own));
}

}  // namespace
}  // namespace tavrin
