#include "Reachability.h"

#include "platform/NotificationCenter.h"

#include <QNetworkInformation>

#include <cstdio>
#include <utility>

namespace {

QNetworkInformation* information()
{
    // The first monitor loads the desktop's backend; a desktop without one leaves every status unknown.
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadDefaultBackend();
    return QNetworkInformation::instance();
}

} // namespace

Reachability::Reachability(QString target) : m_target(std::move(target)), m_readFlags(&Reachability::systemFlags)
{
}

Reachability::~Reachability()
{
    stopNotifier();
}

std::unique_ptr<Reachability> Reachability::reachabilityWithHostName(const QString& hostName)
{
    if (hostName.trimmed().isEmpty())
        return nullptr;
    return std::unique_ptr<Reachability>(new Reachability(hostName.trimmed()));
}

std::unique_ptr<Reachability> Reachability::reachabilityWithAddress(const QHostAddress& address)
{
    if (address.isNull())
        return nullptr;
    return std::unique_ptr<Reachability>(new Reachability(address.toString()));
}

std::unique_ptr<Reachability> Reachability::reachabilityForInternetConnection()
{
    return reachabilityWithAddress(QHostAddress(QHostAddress::AnyIPv4));
}

std::optional<Reachability::Flags> Reachability::systemFlags()
{
    QNetworkInformation* info = information();
    if (!info)
        return std::nullopt;
    return flagsFor(info->reachability(), info->transportMedium(), info->isBehindCaptivePortal());
}

std::optional<Reachability::Flags> Reachability::flagsFor(QNetworkInformation::Reachability reachability,
                                                          QNetworkInformation::TransportMedium medium,
                                                          bool behindCaptivePortal)
{
    Flags flags;
    switch (reachability) {
    case QNetworkInformation::Reachability::Unknown:
        return std::nullopt;
    case QNetworkInformation::Reachability::Disconnected:
        return flags;
    case QNetworkInformation::Reachability::Local:
        flags |= Reachable | IsLocalAddress | IsDirect;
        break;
    case QNetworkInformation::Reachability::Site:
        flags |= Reachable | IsLocalAddress;
        break;
    case QNetworkInformation::Reachability::Online:
        flags |= Reachable;
        break;
    }
    if (medium == QNetworkInformation::TransportMedium::Cellular)
        flags |= IsWWAN;
    // A captive portal wants the person at the machine to sign in before anything else passes.
    if (behindCaptivePortal)
        flags |= ConnectionRequired | InterventionRequired;
    return flags;
}

bool Reachability::startNotifier()
{
    QNetworkInformation* info = information();
    if (!info)
        return false;
    stopNotifier();
    m_connections << connect(info, &QNetworkInformation::reachabilityChanged, this, &Reachability::postChange)
                  << connect(info, &QNetworkInformation::transportMediumChanged, this, &Reachability::postChange)
                  << connect(info, &QNetworkInformation::isBehindCaptivePortalChanged, this, &Reachability::postChange);
    return true;
}

void Reachability::stopNotifier()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
}

void Reachability::postChange()
{
    NotificationCenter::defaultCenter().post(ChangedNotification, this);
}

Reachability::NetworkStatus Reachability::currentReachabilityStatus() const
{
    const std::optional<Flags> flags = m_readFlags ? m_readFlags() : std::nullopt;
    return flags ? networkStatusForFlags(*flags) : NotReachable;
}

bool Reachability::connectionRequired() const
{
    const std::optional<Flags> flags = m_readFlags ? m_readFlags() : std::nullopt;
    return flags && flags->testFlag(ConnectionRequired);
}

QString Reachability::flagStatusLine(Flags flags, const char* comment)
{
    const auto letter = [flags](Flag flag, char set) {
        return flags.testFlag(flag) ? set : '-';
    };
    QString line = QStringLiteral("Reachability Flag Status: ");
    line += QLatin1Char(letter(IsWWAN, 'W'));
    line += QLatin1Char(letter(Reachable, 'R'));
    line += u' ';
    for (const auto& [flag, set] :
         {std::pair{TransientConnection, 't'}, std::pair{ConnectionRequired, 'c'}, std::pair{ConnectionOnTraffic, 'C'},
          std::pair{InterventionRequired, 'i'}, std::pair{ConnectionOnDemand, 'D'}, std::pair{IsLocalAddress, 'l'},
          std::pair{IsDirect, 'd'}})
        line += QLatin1Char(letter(flag, set));
    return line + u' ' + QLatin1String(comment);
}

Reachability::NetworkStatus Reachability::networkStatusForFlags(Flags flags)
{
    std::printf("%s\n", qPrintable(flagStatusLine(flags, "networkStatusForFlags")));
    std::fflush(stdout);
    if (!flags.testFlag(Reachable))
        return NotReachable;
    if (flags.testFlag(IsWWAN))
        return ReachableViaWWAN;
    if ((flags.testFlag(ConnectionOnDemand) || flags.testFlag(ConnectionOnTraffic)) &&
        !flags.testFlag(InterventionRequired))
        return ReachableViaWiFi;
    return flags.testFlag(ConnectionRequired) ? NotReachable : ReachableViaWiFi;
}
