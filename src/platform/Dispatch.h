#pragma once

#include <functional>
#include <memory>

class QSemaphore;

// Runs work on the GUI thread or on the global thread pool, always later than the call that asks for it.
class Dispatch {
public:
    // Queues fn onto the GUI thread's event loop; callable from any thread, never runs fn before returning.
    static void main(std::function<void()> fn);
    // Runs fn on the GUI thread once at least milliseconds have passed; callable from any thread.
    static void after(int milliseconds, std::function<void()> fn);
    // Runs fn on a thread of QThreadPool::globalInstance().
    static void global(std::function<void()> fn);
    // Waits on a pool thread, then runs fn there; the wait does not count against the pool's limit.
    static void globalAfter(int milliseconds, std::function<void()> fn);
    // The next globalAfter, once its wait is over, also waits to acquire gate; tests open it to decide when that
    // work runs against other work. Null clears a gate no call has taken.
    static void holdNextWait(std::shared_ptr<QSemaphore> gate);

private:
    static bool onGuiThread();
};
