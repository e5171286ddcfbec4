#include "SerialQueue.h"

#include <QSemaphore>

SerialQueue::SerialQueue()
{
    // One thread and equal priorities: the pool then takes its tasks first in, first out.
    m_pool.setMaxThreadCount(1);
}

SerialQueue::~SerialQueue()
{
    m_pool.waitForDone();
}

void SerialQueue::async(std::function<void()> fn)
{
    if (fn)
        m_pool.start(std::move(fn));
}

void SerialQueue::sync(std::function<void()> fn)
{
    QSemaphore done;
    m_pool.start([&done, &fn] {
        if (fn)
            fn();
        done.release();
    });
    done.acquire();
}

bool SerialQueue::waitForDone(int msecs)
{
    return m_pool.waitForDone(msecs);
}
