#pragma once

#include <QObject>

class ApplicationDelegate;
class QApplication;

// Hands the Qt application's life to a delegate: launch, activation, background and termination.
class Application : public QObject {
    Q_OBJECT

public:
    Application(QApplication& app, ApplicationDelegate& delegate);
    ~Application() override;

    // The delegate of the running application, or nullptr before one was set up.
    static ApplicationDelegate* delegate();

    // Calls the launch hook and runs the event loop; returns the process exit code.
    int run();

private:
    void onStateChanged(Qt::ApplicationState state);

    QApplication& m_app;
    ApplicationDelegate& m_delegate;
    Qt::ApplicationState m_lastState = Qt::ApplicationInactive;
};
