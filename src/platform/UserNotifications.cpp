#include "UserNotifications.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace {

const QString BusService = QStringLiteral("org.freedesktop.DBus");
const QString BusPath = QStringLiteral("/org/freedesktop/DBus");
const QString BusInterface = QStringLiteral("org.freedesktop.DBus");
// The freedesktop sound-naming theme's name for an incoming message.
const QString DefaultSoundName = QStringLiteral("message-new-instant");
// Let the notification service choose how long the notice stays.
constexpr int ServerDefaultExpiry = -1;

QDBusMessage busCall(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(BusService, BusPath, BusInterface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

UserNotifications::UserNotifications(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), m_connection(connection)
{
}

UserNotifications::~UserNotifications() = default;

UserNotifications& UserNotifications::current()
{
    static UserNotifications* notifications = new UserNotifications(QDBusConnection::sessionBus());
    return *notifications;
}

void UserNotifications::answerLater(QObject* context, std::function<void()> answer)
{
    // Answers always come from the event loop, connected or not, so callers see one behaviour.
    QTimer::singleShot(0, context, std::move(answer));
}

void UserNotifications::requestAuthorization(AuthorizationCompletion completion)
{
    if (!m_connection.isConnected()) {
        answerLater(this, [completion] { completion(false); });
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        m_connection.asyncCall(busCall(QStringLiteral("NameHasOwner"), {ServiceName}), CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, completion](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        QDBusPendingReply<bool> reply = *call;
        if (reply.isValid() && reply.value())
            completion(true);
        else
            askActivatable(completion);
    });
}

void UserNotifications::askActivatable(AuthorizationCompletion completion)
{
    auto* watcher = new QDBusPendingCallWatcher(
        m_connection.asyncCall(busCall(QStringLiteral("ListActivatableNames"), {}), CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [completion](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        QDBusPendingReply<QStringList> reply = *call;
        completion(reply.isValid() && reply.value().contains(ServiceName));
    });
}

void UserNotifications::add(const UserNotificationRequest& request, AddCompletion completion)
{
    if (!m_connection.isConnected()) {
        const QString error =
            m_connection.lastError().isValid() ? m_connection.lastError().message() : QStringLiteral("No session bus");
        if (completion)
            answerLater(this, [completion, error] { completion(error); });
        return;
    }
    const auto inFlight = m_inFlight.find(request.identifier);
    if (inFlight != m_inFlight.end()) {
        // The earlier notice has no number yet to be replaced by; the newest one goes once it has.
        if (inFlight->has_value() && (*inFlight)->completion)
            (*inFlight)->completion(QStringLiteral("Replaced by a newer notification"));
        *inFlight = Pending{request, std::move(completion)};
        return;
    }
    send(request, std::move(completion));
}

void UserNotifications::send(const UserNotificationRequest& request, AddCompletion completion)
{
    QVariantMap hints;
    if (request.playsDefaultSound)
        hints.insert(QStringLiteral("sound-name"), DefaultSoundName);
    QDBusMessage message =
        QDBusMessage::createMethodCall(ServiceName, ObjectPath, InterfaceName, QStringLiteral("Notify"));
    message.setArguments({QCoreApplication::applicationName(), m_shownIds.value(request.identifier, 0u), QString(),
                          request.title, request.body, QStringList(), hints, ServerDefaultExpiry});
    m_inFlight.insert(request.identifier, std::nullopt);
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(message, CallTimeoutMs), this);
    const QString identifier = request.identifier;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, identifier, completion](QDBusPendingCallWatcher* call) {
                onNotifyFinished(call, identifier, completion);
            });
}

void UserNotifications::onNotifyFinished(QDBusPendingCallWatcher* watcher, const QString& identifier,
                                         const AddCompletion& completion)
{
    watcher->deleteLater();
    QDBusPendingReply<uint> reply = *watcher;
    if (reply.isValid())
        m_shownIds.insert(identifier, reply.value());
    std::optional<Pending> waiting = m_inFlight.take(identifier);
    if (completion)
        completion(reply.isValid() ? std::nullopt : std::optional<QString>(reply.error().message()));
    if (waiting)
        send(waiting->request, std::move(waiting->completion));
}
