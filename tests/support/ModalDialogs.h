#pragma once
// Answers the next modal dialog once it is shown, with a deadline, so that a dialog left open
// fails the test instead of hanging it.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace tavrin::test {

template <class Dialog>
void OnNextDialog(std::function<void(Dialog*)> act, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto* left = new int(timeoutMs / 10);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, left, act] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            delete left;
            act(d);
            return;
        }
        if (--*left <= 0) {
            timer->stop();
            timer->deleteLater();
            delete left;
            ADD_FAILURE() << "no " << Dialog::staticMetaObject.className() << " was shown";
            // Whatever is modal now is closed, so that the test can go on and fail.
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        }
    });
    timer->start();
}

}  // namespace tavrin::test
