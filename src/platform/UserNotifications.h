#pragma once

#include "UserNotificationRequest.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

// Desktop notices through the freedesktop notification service on the session bus. Every call to the bus
// is asynchronous and answers through its completion on the calling (main) thread, so nothing here ever
// waits on the bus; a missing bus or service only means "not granted" or a failed request.
class UserNotifications : public QObject {
    Q_OBJECT

public:
    static inline const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString InterfaceName = QStringLiteral("org.freedesktop.Notifications");
    // How long a call may go unanswered before it counts as failed.
    static constexpr int CallTimeoutMs = 5000;

    using AuthorizationCompletion = std::function<void(bool granted)>;
    // An error text on failure, nothing on success.
    using AddCompletion = std::function<void(const std::optional<QString>& error)>;

    explicit UserNotifications(const QDBusConnection& connection, QObject* parent = nullptr);
    ~UserNotifications() override;

    // The process's notices, on the session bus (connected on first use).
    static UserNotifications& current();

    // Granted when the service's name is owned on the bus or the bus can start it.
    void requestAuthorization(AuthorizationCompletion completion);
    // Shows the notice now, replacing an earlier one with the same identifier.
    void add(const UserNotificationRequest& request, AddCompletion completion = {});

private:
    struct Pending {
        UserNotificationRequest request;
        AddCompletion completion;
    };

    void askActivatable(AuthorizationCompletion completion);
    void send(const UserNotificationRequest& request, AddCompletion completion);
    void onNotifyFinished(QDBusPendingCallWatcher* watcher, const QString& identifier, const AddCompletion& completion);
    static void answerLater(QObject* context, std::function<void()> answer);

    QDBusConnection m_connection;
    // The service's own number for the notice last shown under each identifier: what a new notice replaces.
    QHash<QString, uint> m_shownIds;
    // Identifiers whose notice is on its way; a newer notice for one of them waits here for its number.
    QHash<QString, std::optional<Pending>> m_inFlight;
};
