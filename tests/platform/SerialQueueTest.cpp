#include "platform/SerialQueue.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

TEST(SerialQueueTest, workRunsInTheOrderQueuedOneAtATime)
{
    SerialQueue queue;
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> running = 0;
    std::atomic<int> overlaps = 0;
    constexpr int Count = 300;
    for (int i = 0; i < Count; ++i) {
        queue.async([&, i] {
            if (running.fetch_add(1) != 0)
                ++overlaps;
            {
                std::lock_guard lock(mutex);
                order.push_back(i);
            }
            running.fetch_sub(1);
        });
    }
    ASSERT_TRUE(queue.waitForDone(10000));
    EXPECT_EQ(overlaps.load(), 0);
    ASSERT_EQ(order.size(), size_t(Count));
    for (int i = 0; i < Count; ++i)
        ASSERT_EQ(order[size_t(i)], i);
}

TEST(SerialQueueTest, syncReturnsOnlyAfterEarlierWorkAndItsOwnHaveRun)
{
    SerialQueue queue;
    std::atomic<bool> earlierDone = false;
    bool sawEarlier = false;
    bool ranOffTheCaller = false;
    queue.async([&earlierDone] {
        // Slow enough that a sync which did not wait would overtake it.
        QThread::msleep(50);
        earlierDone = true;
    });
    QThread* caller = QThread::currentThread();
    queue.sync([&] {
        sawEarlier = earlierDone.load();
        ranOffTheCaller = QThread::currentThread() != caller;
    });
    EXPECT_TRUE(sawEarlier);
    EXPECT_TRUE(ranOffTheCaller);
}

TEST(SerialQueueTest, destroyingTheQueueFinishesWhatWasQueued)
{
    std::atomic<int> done = 0;
    {
        SerialQueue queue;
        for (int i = 0; i < 20; ++i)
            queue.async([&done] {
                QThread::msleep(1);
                ++done;
            });
    }
    EXPECT_EQ(done.load(), 20);
}

} // namespace
