#include "platform/SerialQueue.h"

#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
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

// Holds the queue's worker inside a piece of work until the test lets it go, from another thread once the caller
// has said it is about to block: work still running when the caller blocks, without guessing how long to sleep.
class HeldWork {
public:
    HeldWork()
        : m_releaser([this] {
              m_callerBlocking.acquire();
              m_release.release();
          })
    {
    }
    ~HeldWork()
    {
        // Never leaves the releaser waiting, also when a test ends early.
        m_callerBlocking.release();
        m_releaser.join();
    }
    // Called by the held work: returns once the caller is about to block.
    void hold() { m_release.acquire(); }
    // Called by the caller just before it blocks.
    void callerBlocks() { m_callerBlocking.release(); }

private:
    QSemaphore m_callerBlocking;
    QSemaphore m_release;
    std::thread m_releaser;
};

TEST(SerialQueueTest, syncReturnsOnlyAfterEarlierWorkAndItsOwnHaveRun)
{
    SerialQueue queue;
    HeldWork held;
    std::atomic<bool> earlierDone = false;
    bool sawEarlier = false;
    bool ranOffTheCaller = false;
    queue.async([&] {
        held.hold();
        earlierDone = true;
    });
    QThread* caller = QThread::currentThread();
    held.callerBlocks();
    queue.sync([&] {
        sawEarlier = earlierDone.load();
        ranOffTheCaller = QThread::currentThread() != caller;
    });
    EXPECT_TRUE(sawEarlier);
    EXPECT_TRUE(ranOffTheCaller);
}

TEST(SerialQueueTest, destroyingTheQueueFinishesWhatWasQueued)
{
    HeldWork held;
    std::atomic<int> done = 0;
    {
        SerialQueue queue;
        queue.async([&] {
            held.hold();
            ++done;
        });
        for (int i = 1; i < 20; ++i)
            queue.async([&done] { ++done; });
        held.callerBlocks();
    }
    EXPECT_EQ(done.load(), 20);
}

} // namespace
