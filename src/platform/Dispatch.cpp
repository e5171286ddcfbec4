#include "Dispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <utility>

namespace {

struct HeldWait {
    QMutex mutex;
    std::shared_ptr<QSemaphore> gate;
};

HeldWait& heldWait()
{
    static HeldWait held;
    return held;
}

std::shared_ptr<QSemaphore> takeHeldWait()
{
    HeldWait& held = heldWait();
    QMutexLocker lock(&held.mutex);
    return std::exchange(held.gate, nullptr);
}

} // namespace

bool Dispatch::onGuiThread()
{
    return QThread::currentThread() == qApp->thread();
}

void Dispatch::main(std::function<void()> fn)
{
    // Without an application there is no event loop that could ever run the work.
    if (!qApp || !fn)
        return;
    QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
}

void Dispatch::after(int milliseconds, std::function<void()> fn)
{
    if (!qApp || !fn)
        return;
    if (!onGuiThread()) {
        // Start the timer on the GUI thread itself, so it belongs to the loop that will fire it.
        main([milliseconds, fn = std::move(fn)]() mutable { after(milliseconds, std::move(fn)); });
        return;
    }
    // Precise timers keep the firing order equal to the order of the deadlines.
    QTimer::singleShot(qMax(0, milliseconds), Qt::PreciseTimer, qApp, std::move(fn));
}

void Dispatch::global(std::function<void()> fn)
{
    if (!fn)
        return;
    QThreadPool::globalInstance()->start(std::move(fn));
}

void Dispatch::globalAfter(int milliseconds, std::function<void()> fn)
{
    if (!fn)
        return;
    global([milliseconds, gate = takeHeldWait(), fn = std::move(fn)] {
        // A sleeping task must not starve other global work: give its slot back while it waits.
        QThreadPool* pool = QThreadPool::globalInstance();
        pool->releaseThread();
        QThread::msleep(static_cast<unsigned long>(qMax(0, milliseconds)));
        if (gate)
            gate->acquire();
        pool->reserveThread();
        fn();
    });
}

void Dispatch::holdNextWait(std::shared_ptr<QSemaphore> gate)
{
    HeldWait& held = heldWait();
    QMutexLocker lock(&held.mutex);
    held.gate = std::move(gate);
}
