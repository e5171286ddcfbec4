#pragma once

#include <QThreadPool>
#include <functional>

// Runs work off the calling thread one piece at a time, in the order it was queued: a later piece never starts
// before an earlier one has finished. The worker thread is started on demand and ends when idle for a while.
class SerialQueue {
public:
    SerialQueue();
    // Waits for everything already queued.
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Queues fn and returns at once.
    void async(std::function<void()> fn);
    // Queues fn and waits until it and everything queued before it has run. Never call it from fn's own queue.
    void sync(std::function<void()> fn);
    // Waits until the queue is empty; false when msecs passed first (-1: no limit).
    bool waitForDone(int msecs = -1);

private:
    QThreadPool m_pool;
};
