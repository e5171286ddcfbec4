#include "NotificationCenter.h"

#include <QMutexLocker>

#include <algorithm>

NotificationCenter::~NotificationCenter()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_ownerConnections))
        disconnect(connection);
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

int NotificationCenter::addObserver(const QString& name, const void* sender, Callback callback, QObject* owner)
{
    if (!callback)
        return 0;
    auto observer = std::make_shared<Observer>();
    observer->name = name;
    observer->sender = sender;
    observer->callback = std::move(callback);
    observer->owner = owner;
    {
        QMutexLocker locker(&m_mutex);
        observer->token = m_nextToken++;
        m_observers.push_back(observer);
    }
    if (owner)
        watchOwner(owner);
    return observer->token;
}

void NotificationCenter::watchOwner(QObject* owner)
{
    QMutexLocker locker(&m_mutex);
    if (m_ownerConnections.contains(owner))
        return;
    // Direct, so the observers are gone before the owner's memory is, whichever thread destroys it.
    const auto forget = [this, owner] { removeObservers(owner); };
    m_ownerConnections.insert(owner, connect(owner, &QObject::destroyed, this, forget, Qt::DirectConnection));
}

void NotificationCenter::removeObserver(int token)
{
    QMutexLocker locker(&m_mutex);
    auto found = std::find_if(m_observers.begin(), m_observers.end(),
        [token](const std::shared_ptr<Observer>& observer) { return observer->token == token; });
    if (found == m_observers.end())
        return;
    (*found)->removed = true;
    m_observers.erase(found);
}

void NotificationCenter::removeObservers(QObject* owner)
{
    if (!owner)
        return;
    QMutexLocker locker(&m_mutex);
    std::erase_if(m_observers, [owner](const std::shared_ptr<Observer>& observer) {
        if (observer->owner != owner)
            return false;
        observer->removed = true;
        return true;
    });
    forgetOwner(owner);
}

void NotificationCenter::forgetOwner(QObject* owner)
{
    const auto connection = m_ownerConnections.constFind(owner);
    if (connection == m_ownerConnections.constEnd())
        return;
    disconnect(*connection);
    m_ownerConnections.erase(connection);
}

bool NotificationCenter::matches(const Observer& observer, const QString& name, const void* sender) const
{
    const bool nameMatches = observer.name.isEmpty() || observer.name == name;
    const bool senderMatches = !observer.sender || observer.sender == sender;
    return nameMatches && senderMatches;
}

bool NotificationCenter::isRemoved(const Observer& observer) const
{
    QMutexLocker locker(&m_mutex);
    return observer.removed;
}

void NotificationCenter::post(const QString& name, const void* sender, const QVariantMap& userInfo)
{
    // Deliver from a copy taken under the lock: callbacks may add or remove observers, and must not hold the lock.
    std::vector<std::shared_ptr<Observer>> snapshot;
    {
        QMutexLocker locker(&m_mutex);
        for (const std::shared_ptr<Observer>& observer : m_observers) {
            if (matches(*observer, name, sender))
                snapshot.push_back(observer);
        }
    }
    const Notification notification { name, sender, userInfo };
    for (const std::shared_ptr<Observer>& observer : snapshot) {
        // An earlier callback in this same post may have removed a later observer.
        if (!isRemoved(*observer))
            observer->callback(notification);
    }
}
