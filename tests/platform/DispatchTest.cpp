#include "platform/Dispatch.h"
#include "TestWait.h"
#include "platform/Uuid.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

TEST(DispatchTest, mainNeverRunsBeforeReturning)
{
    bool ran = false;
    Dispatch::main([&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(waitFor([&] { return ran; }));
}

TEST(DispatchTest, mainFromPoolThreadRunsOnGuiThread)
{
    std::atomic<QThread*> ranOn = nullptr;
    std::atomic<QThread*> postedFrom = nullptr;
    Dispatch::global([&] {
        postedFrom = QThread::currentThread();
        Dispatch::main([&] { ranOn = QThread::currentThread(); });
    });
    ASSERT_TRUE(waitFor([&] { return ranOn.load() != nullptr; }));
    EXPECT_EQ(ranOn.load(), qApp->thread());
    EXPECT_NE(postedFrom.load(), qApp->thread());
}

TEST(DispatchTest, afterFiresInDeadlineOrderOnGuiThread)
{
    QStringList order;
    Dispatch::after(60, [&] { order << QStringLiteral("late"); });
    Dispatch::after(10, [&] { order << QStringLiteral("soon1"); });
    Dispatch::after(10, [&] { order << QStringLiteral("soon2"); });
    Dispatch::main([&] { order << QStringLiteral("now"); });
    std::atomic<bool> fromPoolOnGui = false;
    Dispatch::global([&] { Dispatch::after(20, [&] { fromPoolOnGui = QThread::currentThread() == qApp->thread(); }); });
    ASSERT_TRUE(waitFor([&] { return order.size() == 4 && fromPoolOnGui; }));
    EXPECT_EQ(order, QStringList({QStringLiteral("now"), QStringLiteral("soon1"), QStringLiteral("soon2"),
                                  QStringLiteral("late")}));
}

TEST(DispatchTest, sleepingGlobalAfterDoesNotStarveThePool)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    const int poolSize = pool->maxThreadCount();
    std::atomic<int> sleepersDone = 0;
    std::atomic<bool> quickRan = false;
    std::atomic<QThread*> sleeperThread = nullptr;
    for (int i = 0; i < poolSize; ++i)
        Dispatch::globalAfter(300, [&] {
            sleeperThread = QThread::currentThread();
            ++sleepersDone;
        });
    Dispatch::global([&] { quickRan = sleepersDone == 0; });
    ASSERT_TRUE(waitFor([&] { return sleepersDone == poolSize; }));
    EXPECT_TRUE(quickRan);
    EXPECT_NE(sleeperThread.load(), qApp->thread());
    pool->waitForDone();
    EXPECT_EQ(pool->maxThreadCount(), poolSize);
    EXPECT_EQ(pool->activeThreadCount(), 0) << "a slot given back while waiting was not taken again";
}

// A held wait lets later work pass it and runs once its gate opens; only the next call is held.
TEST(DispatchTest, heldWaitRunsWhenItsGateOpens)
{
    auto gate = std::make_shared<QSemaphore>();
    auto heldRan = std::make_shared<std::atomic<bool>>(false);
    auto nextRan = std::make_shared<std::atomic<bool>>(false);
    Dispatch::holdNextWait(gate);
    Dispatch::globalAfter(0, [heldRan] { *heldRan = true; });
    Dispatch::globalAfter(0, [nextRan] { *nextRan = true; });
    const bool nextRanFirst = waitFor([nextRan] { return nextRan->load(); });
    const bool heldRanBeforeOpening = *heldRan;
    gate->release();
    EXPECT_TRUE(nextRanFirst);
    EXPECT_FALSE(heldRanBeforeOpening);
    EXPECT_TRUE(waitFor([heldRan] { return heldRan->load(); }));
}

TEST(UuidTest, uuidStringIsUpperCaseHyphenatedAndFresh)
{
    static const QRegularExpression form(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString uuid = Uuid::uuidString();
        EXPECT_TRUE(form.match(uuid).hasMatch()) << uuid.toStdString();
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100);
}

} // namespace
