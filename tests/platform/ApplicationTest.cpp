#include "platform/Application.h"
#include "platform/ApplicationDelegate.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Counts what the application tells it; launches when told to.
class CountingDelegate : public ApplicationDelegate {
public:
    bool didFinishLaunching() override
    {
        ++launched;
        return launches;
    }
    void didBecomeActive() override { ++active; }
    void didEnterBackground() override { ++background; }
    void willTerminate() override { ++terminated; }

    bool launches = true;
    int launched = 0;
    int active = 0;
    int background = 0;
    int terminated = 0;
};

QApplication& qtApplication()
{
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

TEST(ApplicationTest, comingToTheFrontAndGoingBehindReachTheDelegateOnceEachTime)
{
    CountingDelegate delegate;
    Application application(qtApplication(), delegate);
    EXPECT_EQ(Application::delegate(), &delegate);
    emit qtApplication().applicationStateChanged(Qt::ApplicationActive);
    emit qtApplication().applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(delegate.active, 1) << "already at the front";
    EXPECT_EQ(delegate.background, 0);
    emit qtApplication().applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(delegate.background, 1);
    emit qtApplication().applicationStateChanged(Qt::ApplicationHidden);
    EXPECT_EQ(delegate.background, 1) << "already behind";
    emit qtApplication().applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(delegate.active, 2);
    EXPECT_EQ(delegate.background, 1);
}

TEST(ApplicationTest, aFailedLaunchRunsNoLoopAndARunEndsByTellingTheDelegate)
{
    {
        CountingDelegate refusing;
        refusing.launches = false;
        Application application(qtApplication(), refusing);
        EXPECT_EQ(application.run(), 1);
        EXPECT_EQ(refusing.launched, 1);
        EXPECT_EQ(refusing.terminated, 0);
    }
    EXPECT_EQ(Application::delegate(), nullptr) << "the delegate goes with its application";
    CountingDelegate delegate;
    Application application(qtApplication(), delegate);
    QTimer::singleShot(0, &qtApplication(), &QCoreApplication::quit);
    EXPECT_EQ(application.run(), 0);
    EXPECT_EQ(delegate.terminated, 1);
}

} // namespace
