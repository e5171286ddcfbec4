#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

// Runs the event loop until `pred` holds or `timeoutMs` pass and answers the predicate's last value, so a test
// asserts on what it waited for (ASSERT_TRUE(waitFor(...))) instead of a QtTest macro that cannot fail it.
// The default is generous on purpose: a wait that succeeds ends as soon as its event arrives, and a loaded machine
// (a whole suite run in parallel beside other work) can take many seconds to deliver what a quiet one does at once.
template <typename Predicate>
[[nodiscard]] bool waitFor(Predicate pred, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

// Lets queued work run for a while when a test must show that something does NOT happen.
inline void runEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}
