#pragma once

#include <QFlags>
#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkInformation>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Answers how one host or address can be reached now and, once started, posts a notice when that changes.
// The desktop's network-information service speaks for the whole machine, so every target reads the same
// flags: those of the default route.
class Reachability : public QObject {
    Q_OBJECT

public:
    // The reachability flag bits, as the network layer reports them.
    enum Flag : quint32 {
        TransientConnection = 1,
        Reachable = 2,
        ConnectionRequired = 4,
        ConnectionOnTraffic = 8,
        InterventionRequired = 16,
        ConnectionOnDemand = 32,
        IsLocalAddress = 0x10000,
        IsDirect = 0x20000,
        IsWWAN = 0x40000,
    };
    Q_DECLARE_FLAGS(Flags, Flag)

    enum NetworkStatus { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

    static inline const QString ChangedNotification = QStringLiteral("kNetworkReachabilityChangedNotification");

    // Reads the current flags, or nothing when they cannot be read.
    using FlagsReader = std::function<std::optional<Flags>()>;

    ~Reachability() override;

    // A monitor for the host, or nullptr for an empty name.
    static std::unique_ptr<Reachability> reachabilityWithHostName(const QString& hostName);
    // A monitor for the address, or nullptr for an invalid one.
    static std::unique_ptr<Reachability> reachabilityWithAddress(const QHostAddress& address);
    // A monitor for the zero IPv4 address: the default route.
    static std::unique_ptr<Reachability> reachabilityForInternetConnection();

    // Starts posting ChangedNotification on every change; true only when a service reports changes.
    bool startNotifier();
    void stopNotifier();
    NetworkStatus currentReachabilityStatus() const;
    bool connectionRequired() const;
    // The status for a flag set; writes the flags to the console first.
    static NetworkStatus networkStatusForFlags(Flags flags);
    // The console line for a flag set, without its line end.
    static QString flagStatusLine(Flags flags, const char* comment);

    // The flags that stand for what the network-information service reports; nothing while it does not know.
    static std::optional<Flags> flagsFor(QNetworkInformation::Reachability reachability,
                                         QNetworkInformation::TransportMedium medium, bool behindCaptivePortal);

    QString target() const { return m_target; }
    // Replaces where the flags come from; tests stand in for the machine's network.
    void setFlagsReader(FlagsReader reader) { m_readFlags = std::move(reader); }

private:
    explicit Reachability(QString target);
    // The flags from the desktop's network-information service, when it has a backend.
    static std::optional<Flags> systemFlags();
    void postChange();

    QString m_target;
    FlagsReader m_readFlags;
    QList<QMetaObject::Connection> m_connections;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Reachability::Flags)
