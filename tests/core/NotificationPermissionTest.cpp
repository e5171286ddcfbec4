#include "PrivateBus.h"
#include "RequiredTools.h"
#include "TestWait.h"
#include "core/AppDelegate.h"
#include "platform/UserNotifications.h"

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
        MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps --test installs dbus)");
    // The process's notices connect to the session bus on first use, which is the launch below.
    const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    QTemporaryDir dir;
    testing::internal::CaptureStdout();
    {
        AppDelegate delegate(dir.filePath(QStringLiteral("CardStore.sqlite")));
        ASSERT_TRUE(delegate.didFinishLaunching());
        // The bus answers through the event loop, which has not run yet: a launch that waited for the answer
        // would have logged the refusal already.
        const std::string duringLaunch = testing::internal::GetCapturedStdout();
        EXPECT_EQ(duringLaunch.find("Oops"), std::string::npos) << duringLaunch;
        testing::internal::CaptureStdout();
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
