#include "PrivateBus.h"
#include "RequiredTools.h"
#include "TestWait.h"
#include "core/AppDelegate.h"
#include "platform/UserNotifications.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Launch asks the desktop for permission to post notices; on a desktop without a notification service it
// says so and goes on at once.
TEST(NotificationPermissionTest, launchWithoutNotificationServiceLogsOopsAndDoesNotWait)
{
    PrivateBus bus;
    if (!bus.isRunning())
        MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps installs dbus)");
    // The process's notices connect to the session bus on first use, which is the launch below.
    const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    QTemporaryDir dir;
    testing::internal::CaptureStdout();
    QElapsedTimer timer;
    timer.start();
    {
        AppDelegate delegate(dir.filePath(QStringLiteral("CardStore.sqlite")));
        ASSERT_TRUE(delegate.didFinishLaunching());
        EXPECT_LT(timer.elapsed(), UserNotifications::CallTimeoutMs);
        // Answers come in the order asked: once this one is in, the launch's has been handled.
        std::optional<bool> granted;
        UserNotifications::current().requestAuthorization([&](bool answer) { granted = answer; });
        const bool answered = waitFor([&] { return granted.has_value(); });
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(answered);
        EXPECT_FALSE(*granted);
        EXPECT_NE(printed.find("Oops, no access\n"), std::string::npos) << printed;
    }
    if (previous.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", previous);
}

} // namespace
