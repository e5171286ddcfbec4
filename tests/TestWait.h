#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace TestWait {
// A waiting loop sleeps until an event arrives. This timer wakes it at least this often, for state that another
// thread or process changes without posting anything to this one, and so that the deadline is seen when it passes.
inline constexpr int WakeMs = 5;
} // namespace TestWait

// Runs the event loop until `pred` holds or `timeoutMs` pass and answers the predicate's last value, so a test
// asserts on what it waited for (ASSERT_TRUE(waitFor(...))) instead of a QtTest macro that cannot fail it.
// The predicate is checked after every batch of events, so the wait ends with the event that makes it true.
// The default is generous on purpose: a wait that succeeds ends as soon as its event arrives, and a loaded machine
// (a whole suite run in parallel beside other work) can take many seconds to deliver what a quiet one does at once.
template <typename Predicate> [[nodiscard]] bool waitFor(Predicate pred, int timeoutMs = 30000)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(TestWait::WakeMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Lets queued work run for a while when a test must show that something does NOT happen.
inline void runEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(TestWait::WakeMs);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
