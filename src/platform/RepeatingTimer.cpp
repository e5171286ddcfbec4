#include "RepeatingTimer.h"

#include <QThread>
#include <QTimer>
#include <cmath>

RepeatingTimer::RepeatingTimer(double seconds, QObject* parent)
    : QObject(parent), m_timeInterval(seconds), m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(static_cast<int>(std::lround(qMax(0.0, seconds) * 1000.0)));
    connect(m_timer, &QTimer::timeout, this, &RepeatingTimer::fire);
}

RepeatingTimer::~RepeatingTimer()
{
    if (!m_cancelled)
        cancel();
}

void RepeatingTimer::resume()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_cancelled || m_state != State::Suspended)
        return;
    m_state = State::Resumed;
    // Restarting counts a whole interval from now, so a resume after a long snapshot never fires at once.
    m_timer->start();
}

void RepeatingTimer::suspend()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_cancelled || m_state != State::Resumed)
        return;
    m_state = State::Suspended;
    m_timer->stop();
}

void RepeatingTimer::cancel()
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (m_cancelled)
        return;
    m_cancelled = true;
    m_timer->stop();
    m_eventHandler = nullptr;
    // Moved out first: the handler may release this timer's owner.
    const std::function<void()> cancelled = std::exchange(m_cancelHandler, nullptr);
    if (cancelled)
        cancelled();
}

void RepeatingTimer::fire()
{
    if (m_cancelled || m_state != State::Resumed || !m_eventHandler)
        return;
    // A copy: the handler may replace itself or cancel the timer while it runs.
    const std::function<void()> handler = m_eventHandler;
    handler();
}
