#include "Application.h"

#include "ApplicationDelegate.h"
#include "HoverAfterPopups.h"
#include "ReadablePlaceholders.h"

#include <QApplication>

namespace {
ApplicationDelegate* runningDelegate = nullptr;
} // namespace

Application::Application(QApplication& app, ApplicationDelegate& delegate) : m_app(app), m_delegate(delegate)
{
    runningDelegate = &delegate;
    // What the desktop hands over is corrected where it would leave something on screen unreadable, and what the
    // window system leaves unsaid after a menu is said.
    new ReadablePlaceholders(this);
    new HoverAfterPopups(this);
    connect(&app, &QGuiApplication::applicationStateChanged, this, &Application::onStateChanged);
    connect(&app, &QCoreApplication::aboutToQuit, this, [this] { m_delegate.willTerminate(); });
}

Application::~Application()
{
    if (runningDelegate == &m_delegate)
        runningDelegate = nullptr;
}

ApplicationDelegate* Application::delegate()
{
    return runningDelegate;
}

int Application::run()
{
    if (!m_delegate.didFinishLaunching())
        return 1;
    return m_app.exec();
}

void Application::onStateChanged(Qt::ApplicationState state)
{
    if (state == Qt::ApplicationActive && m_lastState != Qt::ApplicationActive)
        m_delegate.didBecomeActive();
    else if (state != Qt::ApplicationActive && m_lastState == Qt::ApplicationActive)
        m_delegate.didEnterBackground();
    m_lastState = state;
}
