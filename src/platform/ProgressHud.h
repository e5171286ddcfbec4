#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class ProgressHudView;
class QWidget;

// The progress indicator: a spinner with an optional status over the active window. It appears only when
// still wanted after the grace time, and once on screen it stays for at least the minimum dismiss time, so a
// short piece of work neither flashes it nor hides it before it can be seen. One indicator per process.
class ProgressHud : public QObject {
    Q_OBJECT

public:
    enum class MaskType {
        None,     // the window stays usable under the indicator
        Clear,    // input to the window is blocked, nothing is dimmed
        Black,    // input is blocked and the window is dimmed
        Gradient, // as Black
    };

    static void show();
    static void showWithStatus(const QString& status);
    static void dismiss();
    // The completion runs once the indicator has left the screen (at once when it never appeared).
    static void dismissWithCompletion(std::function<void()> completion);
    // True while the indicator is on screen; false during the grace time.
    static bool isVisible();
    // True from show() until the indicator has gone, grace time included.
    static bool isActive();
    static QString status();
    // The overlay drawn over the window, or nullptr while none is shown.
    static QWidget* view();

    static void setDefaultMaskType(MaskType type);
    static MaskType defaultMaskType();
    static void setBackgroundColor(const QColor& color);
    static void setForegroundColor(const QColor& color);
    // Haptic feedback has no desktop counterpart; the setting is kept and otherwise ignored.
    static void setHapticsEnabled(bool enabled);
    static bool hapticsEnabled();
    static void setGraceTime(int milliseconds);
    static void setMinimumDismissTime(int milliseconds);
    static int graceTime();
    static int minimumDismissTime();
    // Hides at once, drops pending completions and restores the default settings; for tests.
    static void reset();

private:
    enum class State { Hidden, Waiting, Shown };

    ProgressHud();
    static ProgressHud& instance();

    void request(const QString& status);
    void release(std::function<void()> completion);
    void appear();
    void disappear();
    void runCompletions();
    static QWidget* hostWindow();

    State m_state = State::Hidden;
    QString m_status;
    MaskType m_maskType = MaskType::None;
    QColor m_background;
    QColor m_foreground;
    bool m_haptics = false;
    int m_graceMs;
    int m_minimumMs;
    QTimer m_graceTimer;
    QTimer m_dismissTimer;
    QElapsedTimer m_shownFor;
    QPointer<ProgressHudView> m_view;
    QList<std::function<void()>> m_completions;
};
