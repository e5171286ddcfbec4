#include "platform/RepeatingTimer.h"
#include "TestWait.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr double Interval = 0.01;

TEST(RepeatingTimerTest, startsSuspendedAndFiresOnlyOnceResumed)
{
    RepeatingTimer timer(Interval);
    int firings = 0;
    timer.setEventHandler([&firings] { ++firings; });
    EXPECT_EQ(timer.state(), RepeatingTimer::State::Suspended);
    runEventsFor(60);
    EXPECT_EQ(firings, 0);

    timer.resume();
    EXPECT_EQ(timer.state(), RepeatingTimer::State::Resumed);
    ASSERT_TRUE(waitFor([&firings] { return firings >= 3; }));
}

TEST(RepeatingTimerTest, repeatedResumeOrSuspendKeepsOneState)
{
    RepeatingTimer timer(Interval);
    int firings = 0;
    timer.setEventHandler([&firings] { ++firings; });
    timer.suspend();
    EXPECT_EQ(timer.state(), RepeatingTimer::State::Suspended);
    timer.resume();
    timer.resume();
    EXPECT_EQ(timer.state(), RepeatingTimer::State::Resumed);
    timer.suspend();
    timer.suspend();
    EXPECT_EQ(timer.state(), RepeatingTimer::State::Suspended);
    // One suspend undoes two resumes: an unbalanced pair must not leave the timer running.
    const int before = firings;
    runEventsFor(60);
    EXPECT_EQ(firings, before);
}

TEST(RepeatingTimerTest, cancelFromSuspendedStopsFiringsAndRunsTheCancelHandlerOnce)
{
    RepeatingTimer timer(Interval);
    int firings = 0;
    int cancels = 0;
    timer.setEventHandler([&firings] { ++firings; });
    timer.setCancelHandler([&cancels] { ++cancels; });
    timer.resume();
    ASSERT_TRUE(waitFor([&firings] { return firings >= 1; }));
    timer.suspend();
    timer.cancel();
    timer.cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(timer.isCancelled());
    // A cancelled timer cannot be brought back.
    timer.resume();
    const int before = firings;
    runEventsFor(60);
    EXPECT_EQ(firings, before);
}

TEST(RepeatingTimerTest, releasingARunningTimerCancelsIt)
{
    int cancels = 0;
    {
        RepeatingTimer timer(Interval);
        timer.setCancelHandler([&cancels] { ++cancels; });
        timer.resume();
    }
    EXPECT_EQ(cancels, 1);
}

TEST(RepeatingTimerTest, handlerMayCancelItsOwnTimerWhileFiring)
{
    auto* timer = new RepeatingTimer(Interval);
    QPointer<RepeatingTimer> guard(timer);
    int firings = 0;
    timer->setEventHandler([&firings, timer] {
        ++firings;
        timer->cancel();
        timer->deleteLater();
    });
    timer->resume();
    ASSERT_TRUE(waitFor([&guard] { return guard.isNull(); }));
    EXPECT_EQ(firings, 1);
}

} // namespace
