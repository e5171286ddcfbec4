#include "core/Reachability.h"
#include "platform/NotificationCenter.h"

#include <QNetworkInformation>
#include <gtest/gtest.h>

namespace {

using F = Reachability::Flag;

QString logged(Reachability::Flags flags, Reachability::NetworkStatus* status)
{
    ::testing::internal::CaptureStdout();
    *status = Reachability::networkStatusForFlags(flags);
    return QString::fromStdString(::testing::internal::GetCapturedStdout());
}

TEST(ReachabilityTest, flagsGiveTheStatusTheNetworkLayerMeans)
{
    using R = Reachability;
    Reachability::NetworkStatus status;
    const struct {
        Reachability::Flags flags;
        Reachability::NetworkStatus expected;
    } cases[] = {
        {{}, R::NotReachable},
        {F::Reachable | F::ConnectionRequired, R::NotReachable},
        {F::Reachable | F::IsWWAN, R::ReachableViaWWAN},
        {F::Reachable, R::ReachableViaWiFi},
        {F::IsWWAN | F::ConnectionRequired, R::NotReachable},
        {F::Reachable | F::ConnectionRequired | F::ConnectionOnDemand, R::ReachableViaWiFi},
        {F::Reachable | F::ConnectionRequired | F::ConnectionOnTraffic, R::ReachableViaWiFi},
        {F::Reachable | F::ConnectionRequired | F::ConnectionOnTraffic | F::InterventionRequired, R::NotReachable},
        {F::Reachable | F::ConnectionOnDemand | F::InterventionRequired, R::ReachableViaWiFi},
    };
    for (const auto& each : cases) {
        logged(each.flags, &status);
        EXPECT_EQ(status, each.expected) << each.flags.toInt();
    }
}

TEST(ReachabilityTest, everyStatusWritesTheFlagLineInItsFixedOrder)
{
    Reachability::NetworkStatus status;
    EXPECT_EQ(logged({}, &status), QStringLiteral("Reachability Flag Status: -- ------- networkStatusForFlags\n"));
    const Reachability::Flags all = F::IsWWAN | F::Reachable | F::TransientConnection | F::ConnectionRequired |
                                    F::ConnectionOnTraffic | F::InterventionRequired | F::ConnectionOnDemand |
                                    F::IsLocalAddress | F::IsDirect;
    EXPECT_EQ(logged(all, &status), QStringLiteral("Reachability Flag Status: WR tcCiDld networkStatusForFlags\n"));
    EXPECT_EQ(logged(F::Reachable | F::ConnectionRequired | F::IsDirect, &status),
              QStringLiteral("Reachability Flag Status: -R -c----d networkStatusForFlags\n"));
}

TEST(ReachabilityTest, monitorThatCannotReadItsFlagsIsNotReachableAndNeedsNoConnection)
{
    auto monitor = Reachability::reachabilityForInternetConnection();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->target(), QStringLiteral("0.0.0.0"));
    monitor->setFlagsReader([] { return std::optional<Reachability::Flags>(); });
    EXPECT_EQ(monitor->currentReachabilityStatus(), Reachability::NotReachable);
    EXPECT_FALSE(monitor->connectionRequired());

    monitor->setFlagsReader([] { return std::optional<Reachability::Flags>(F::Reachable | F::ConnectionRequired); });
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(monitor->currentReachabilityStatus(), Reachability::NotReachable);
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(monitor->connectionRequired());
}

TEST(ReachabilityTest, networkServiceStatesGiveTheFlagsOfTheNetworkLayer)
{
    using NI = QNetworkInformation;
    const NI::TransportMedium wired = NI::TransportMedium::Ethernet;
    const NI::TransportMedium cellular = NI::TransportMedium::Cellular;
    EXPECT_FALSE(Reachability::flagsFor(NI::Reachability::Unknown, wired, false));
    EXPECT_FALSE(Reachability::flagsFor(NI::Reachability::Unknown, cellular, true));
    const struct {
        NI::Reachability reachability;
        NI::TransportMedium medium;
        bool captive;
        quint32 flags;
    } cases[] = {
        {NI::Reachability::Disconnected, wired, false, 0},
        {NI::Reachability::Disconnected, cellular, true, 0},
        {NI::Reachability::Online, wired, false, 0x2},
        {NI::Reachability::Online, NI::TransportMedium::WiFi, false, 0x2},
        {NI::Reachability::Online, cellular, false, 0x40002},
        {NI::Reachability::Site, wired, false, 0x10002},
        {NI::Reachability::Local, wired, false, 0x30002},
        {NI::Reachability::Online, wired, true, 0x16},
        {NI::Reachability::Online, cellular, true, 0x40016},
    };
    for (const auto& each : cases) {
        const auto flags = Reachability::flagsFor(each.reachability, each.medium, each.captive);
        ASSERT_TRUE(flags) << int(each.reachability);
        EXPECT_EQ(flags->toInt(), each.flags)
            << int(each.reachability) << " " << int(each.medium) << " " << each.captive;
    }
}

TEST(ReachabilityTest, monitorReadsTheMachinesNetworkServiceUnlessTold)
{
    auto monitor = Reachability::reachabilityForInternetConnection();
    ASSERT_NE(monitor, nullptr);
    ::testing::internal::CaptureStdout();
    const Reachability::NetworkStatus status = monitor->currentReachabilityStatus();
    const bool required = monitor->connectionRequired();
    ::testing::internal::GetCapturedStdout();
    // What this machine's service says, read independently of the monitor.
    QNetworkInformation* info = QNetworkInformation::instance();
    Reachability::NetworkStatus expected = Reachability::NotReachable;
    bool expectRequired = false;
    if (info && info->reachability() != QNetworkInformation::Reachability::Unknown &&
        info->reachability() != QNetworkInformation::Reachability::Disconnected) {
        expectRequired = info->isBehindCaptivePortal();
        if (!expectRequired)
            expected = info->transportMedium() == QNetworkInformation::TransportMedium::Cellular
                           ? Reachability::ReachableViaWWAN
                           : Reachability::ReachableViaWiFi;
    }
    EXPECT_EQ(status, expected);
    EXPECT_EQ(required, expectRequired);
}

TEST(ReachabilityTest, monitorsNeedATargetAndNotifyOnlyWithABackend)
{
    EXPECT_EQ(Reachability::reachabilityWithHostName(QStringLiteral("  ")), nullptr);
    EXPECT_EQ(Reachability::reachabilityWithAddress(QHostAddress()), nullptr);
    auto monitor = Reachability::reachabilityWithHostName(QStringLiteral("plotvane.example"));
    ASSERT_NE(monitor, nullptr);
    const bool started = monitor->startNotifier();
    EXPECT_EQ(started, QNetworkInformation::instance() != nullptr);
    monitor->stopNotifier();
    monitor->stopNotifier();
    // Without a backend the machine's state is unknown: never reported as reachable.
    if (!QNetworkInformation::instance()) {
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(monitor->currentReachabilityStatus(), Reachability::NotReachable);
        ::testing::internal::GetCapturedStdout();
    }

    // With a backend, each kind of change the service announces posts one notice from this monitor, until stopped.
    ASSERT_TRUE(QNetworkInformation::instance() ||
                QNetworkInformation::loadBackendByName(QStringLiteral("glib")));
    QNetworkInformation* info = QNetworkInformation::instance();
    int notices = 0;
    const int observer = NotificationCenter::defaultCenter().addObserver(
        Reachability::ChangedNotification, monitor.get(), [&](const Notification&) { ++notices; });
    ASSERT_TRUE(monitor->startNotifier());
    emit info->reachabilityChanged(info->reachability());
    emit info->transportMediumChanged(info->transportMedium());
    emit info->isBehindCaptivePortalChanged(info->isBehindCaptivePortal());
    EXPECT_EQ(notices, 3);
    monitor->stopNotifier();
    emit info->reachabilityChanged(info->reachability());
    EXPECT_EQ(notices, 3);
    NotificationCenter::defaultCenter().removeObserver(observer);
}

} // namespace
