#pragma once

#include <QObject>
#include <functional>

class QTimer;

// A repeating timer with an explicit suspended/resumed state: it starts suspended, resume() and suspend() change
// the state only when it differs, and cancel() ends it for good from either state. The first firing comes one
// interval after the first resume.
//
// All of its state lives on the thread that created it (the GUI thread for the editors): the firings, the
// state changes and the cancellation run there, so they are serialised by that thread's event loop and never
// need a lock. Work that leaves the thread reports back through the event loop before it resumes the timer.
class RepeatingTimer : public QObject {
    Q_OBJECT

public:
    enum class State { Suspended, Resumed };

    // seconds: the first deadline and the repeat interval.
    explicit RepeatingTimer(double seconds, QObject* parent = nullptr);
    // A timer that has not been cancelled is cancelled the same way as by cancel().
    ~RepeatingTimer() override;

    double timeInterval() const { return m_timeInterval; }
    State state() const { return m_state; }
    bool isCancelled() const { return m_cancelled; }

    // Runs on each firing.
    void setEventHandler(std::function<void()> handler) { m_eventHandler = std::move(handler); }
    // Runs once, when the timer has been cancelled.
    void setCancelHandler(std::function<void()> handler) { m_cancelHandler = std::move(handler); }

    void resume();
    void suspend();
    // Stops all firings (also from the suspended state), drops the event handler and runs the cancel handler.
    void cancel();

private:
    void fire();

    double m_timeInterval;
    QTimer* m_timer;
    std::function<void()> m_eventHandler;
    std::function<void()> m_cancelHandler;
    State m_state = State::Suspended;
    bool m_cancelled = false;
};
