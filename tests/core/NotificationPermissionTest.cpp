#include "PrivateBus.h"
#include "RequiredTools.h"
#include "TestWait.h"
#include "core/AppDelegate.h"
#include "platform/UserNotifications.h"

#include <QDBusConnection>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Points the process's session bus at another address for as long as it lives.
class SessionBusAddress {
public:
    explicit SessionBusAddress(const QString& address) : m_previous(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
    {
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    ~SessionBusAddress()
    {
        if (m_previous.isNull())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_previous);
    }

private:
    QByteArray m_previous;
};

// Asks again and waits for the answer, then hands back what was printed since the capture began. Answers come in
// the order asked: once this one is in, the launch's has been handled.
std::optional<bool> askAgain(std::string& printed)
{
    std::optional<bool> granted;
    UserNotifications::current().requestAuthorization([&](bool answer) { granted = answer; });
    waitFor([&] { return granted.has_value(); });
    printed = testing::internal::GetCapturedStdout();
    return granted;
}

// Launch asks the desktop for permission to post notices; on a desktop without a notification service it
// says so and goes on at once, and with one it says nothing.
TEST(NotificationPermissionTest, launchLogsOopsOnlyWithoutANotificationServiceAndDoesNotWait)
{
    PrivateBus bus;
    if (!bus.isRunning())
        MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps --test installs dbus)");
    // The process connects to its session bus once, on first use, and keeps that connection: ctest runs this
    // test in a process of its own, where the first use comes here.
    const SessionBusAddress address(bus.address());
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "an earlier test of this process connected it to another session bus";
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
        std::string printed;
        const std::optional<bool> granted = askAgain(printed);
        ASSERT_TRUE(granted.has_value());
        EXPECT_FALSE(*granted);
        EXPECT_NE(printed.find("Oops, no access\n"), std::string::npos) << printed;
    }
    // The desktop's notification service comes on the bus: the next launch is granted and says nothing of it.
    QDBusConnection service = bus.connection();
    ASSERT_TRUE(service.registerService(UserNotifications::ServiceName));
    AppDelegate delegate(dir.filePath(QStringLiteral("Granted.sqlite")));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(delegate.didFinishLaunching());
    std::string printed;
    const std::optional<bool> granted = askAgain(printed);
    ASSERT_TRUE(granted.has_value());
    EXPECT_TRUE(*granted);
    EXPECT_EQ(printed.find("Oops"), std::string::npos) << printed;
}

} // namespace
