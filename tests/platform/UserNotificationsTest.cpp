#include "platform/UserNotifications.h"
#include "PrivateBus.h"
#include "RequiredTools.h"
#include "TestWait.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

// dunst, a real notification daemon from Debian, on a private X server, printing every notice it shows.
class NotificationDaemon {
public:
    explicit NotificationDaemon(const PrivateBus& bus)
    {
        if (!RequiredTools::installed(QStringLiteral("dunst")) || !RequiredTools::installed(QStringLiteral("Xvfb"))) {
            m_missing = QStringLiteral("dunst and Xvfb are needed (scripts/deps --test installs them)");
            return;
        }
        m_xserver.setProcessChannelMode(QProcess::SeparateChannels);
        // -displayfd 1: the server picks a free display and prints its number once it accepts clients.
        m_xserver.start(QStringLiteral("Xvfb"),
                        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                         QStringLiteral("0"), QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp")});
        if (!m_xserver.waitForStarted(RequiredTools::StartMs) ||
            !waitFor([this] { return m_xserver.canReadLine(); }, RequiredTools::StartMs)) {
            m_missing = QStringLiteral("the private X server did not start");
            return;
        }
        const QString display = QLatin1Char(':') + QString::fromUtf8(m_xserver.readLine()).trimmed();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        environment.insert(QStringLiteral("HOME"), m_home.path());
        m_dunst.setProcessEnvironment(environment);
        m_dunst.start(QStringLiteral("dunst"), {QStringLiteral("-print")});
        if (!m_dunst.waitForStarted(RequiredTools::StartMs))
            m_missing = QStringLiteral("dunst did not start");
    }
    ~NotificationDaemon()
    {
        m_dunst.kill();
        m_dunst.waitForFinished(5000);
        m_xserver.kill();
        m_xserver.waitForFinished(5000);
    }

    const QString& missing() const { return m_missing; }
    QString printed()
    {
        m_output += QString::fromUtf8(m_dunst.readAllStandardOutput());
        return m_output;
    }

private:
    QTemporaryDir m_home;
    QProcess m_xserver;
    QProcess m_dunst;
    QString m_missing;
    QString m_output;
};

struct Answer {
    bool done = false;
    std::optional<QString> error;
};

UserNotificationRequest request(const QString& body)
{
    return UserNotificationRequest{QStringLiteral("pv_daily_word_count"), QStringLiteral("Daily Average Hit"), body,
                                   true};
}

// Posts a notice; the answer fills in when the bus replies.
std::shared_ptr<Answer> post(UserNotifications& notifications, const QString& body)
{
    auto answer = std::make_shared<Answer>();
    notifications.add(request(body), [answer](const std::optional<QString>& error) {
        answer->done = true;
        answer->error = error;
    });
    return answer;
}

// A real notification daemon on a private bus; skipped, with the reason, where one cannot run.
class NotificationDaemonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!bus.isRunning())
            MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps --test installs dbus)");
        daemon = std::make_unique<NotificationDaemon>(bus);
        if (!daemon->missing().isEmpty())
            MISSING_TOOL(daemon->missing().toStdString());
        connection = std::make_unique<QDBusConnection>(bus.connection());
        ASSERT_TRUE(connection->isConnected());
        ASSERT_TRUE(
            waitFor([&] { return connection->interface()->isServiceRegistered(UserNotifications::ServiceName); },
                    RequiredTools::StartMs));
        notifications = std::make_unique<UserNotifications>(*connection);
    }

    // The daemon's numbers of the notices it printed, in order.
    QStringList printedIds()
    {
        static const QRegularExpression idLine(QStringLiteral("\\bid: '?(\\d+)"));
        QStringList ids;
        for (const QRegularExpressionMatch& match : idLine.globalMatch(daemon->printed()))
            ids.append(match.captured(1));
        return ids;
    }

    PrivateBus bus;
    std::unique_ptr<NotificationDaemon> daemon;
    std::unique_ptr<QDBusConnection> connection;
    std::unique_ptr<UserNotifications> notifications;
};

TEST_F(NotificationDaemonTest, noticeReachesARealNotificationDaemonAndReplacesItsPredecessor)
{
    std::optional<bool> granted;
    notifications->requestAuthorization([&](bool answer) { granted = answer; });
    ASSERT_TRUE(waitFor([&] { return granted.has_value(); }));
    EXPECT_TRUE(*granted);

    const auto first = post(*notifications, QStringLiteral("First text"));
    ASSERT_TRUE(waitFor([&] { return first->done; }));
    EXPECT_FALSE(first->error.has_value()) << qPrintable(first->error.value_or(QString()));
    ASSERT_TRUE(waitFor([&] { return daemon->printed().contains(QStringLiteral("First text")); }))
        << qPrintable(daemon->printed());
    EXPECT_TRUE(daemon->printed().contains(QStringLiteral("Daily Average Hit")));

    const auto second = post(*notifications, QStringLiteral("Second text"));
    ASSERT_TRUE(waitFor([&] { return second->done && daemon->printed().contains(QStringLiteral("Second text")); }));
    EXPECT_FALSE(second->error.has_value());
    // The daemon shows the second notice under the first one's number: it replaced it.
    const QStringList ids = printedIds();
    ASSERT_EQ(ids.size(), 2) << qPrintable(daemon->printed());
    EXPECT_EQ(ids[0], ids[1]);
}

TEST_F(NotificationDaemonTest, noticesPostedInQuickSuccessionStillReplaceEachOther)
{
    // The second and third are asked for before the first has its number; the newest waits for it.
    const auto first = post(*notifications, QStringLiteral("Text one"));
    const auto second = post(*notifications, QStringLiteral("Text two"));
    const auto third = post(*notifications, QStringLiteral("Text three"));
    ASSERT_TRUE(waitFor([&] { return first->done && second->done && third->done; }));
    ASSERT_TRUE(waitFor([&] { return daemon->printed().contains(QStringLiteral("Text three")); }));
    EXPECT_FALSE(first->error.has_value());
    EXPECT_TRUE(second->error.has_value());
    EXPECT_FALSE(third->error.has_value());
    EXPECT_FALSE(daemon->printed().contains(QStringLiteral("Text two")));
    const QStringList ids = printedIds();
    ASSERT_EQ(ids.size(), 2) << qPrintable(daemon->printed());
    EXPECT_EQ(ids[0], ids[1]);
}

TEST(UserNotificationsTest, busWithoutNotificationServiceRefusesByItsOwnAnswer)
{
    PrivateBus bus;
    if (!bus.isRunning())
        MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps --test installs dbus)");
    QDBusConnection connection = bus.connection();
    ASSERT_TRUE(connection.isConnected());
    UserNotifications notifications(connection);
    std::optional<bool> granted;
    notifications.requestAuthorization([&](bool answer) { granted = answer; });
    // Nothing waits on the bus: the answer comes through the event loop.
    EXPECT_FALSE(granted.has_value());
    ASSERT_TRUE(waitFor([&] { return granted.has_value(); }));
    EXPECT_FALSE(*granted);
    const auto added = post(notifications, QStringLiteral("Nobody listens"));
    ASSERT_TRUE(waitFor([&] { return added->done; }));
    ASSERT_TRUE(added->error.has_value());
    // The bus itself says nobody provides the service; a call left to time out would say it had no reply.
    EXPECT_TRUE(added->error->contains(UserNotifications::ServiceName)) << qPrintable(*added->error);
}

TEST(UserNotificationsTest, missingBusRefusesThroughTheEventLoop)
{
    QDBusConnection connection =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("missing-bus"));
    ASSERT_FALSE(connection.isConnected());
    UserNotifications notifications(connection);
    std::optional<bool> granted;
    notifications.requestAuthorization([&](bool answer) { granted = answer; });
    EXPECT_FALSE(granted.has_value());
    ASSERT_TRUE(waitFor([&] { return granted.has_value(); }));
    EXPECT_FALSE(*granted);
    const auto added = post(notifications, QStringLiteral("Nowhere"));
    ASSERT_TRUE(waitFor([&] { return added->done; }));
    EXPECT_TRUE(added->error.has_value());
    QDBusConnection::disconnectFromBus(QStringLiteral("missing-bus"));
}

} // namespace
