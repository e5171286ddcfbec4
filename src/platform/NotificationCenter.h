#pragma once

#include "Notification.h"

#include <QHash>
#include <QMutex>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Named notifications delivered synchronously to observers, in the order they were added.
class NotificationCenter : public QObject {
    Q_OBJECT

public:
    using Callback = std::function<void(const Notification&)>;

    NotificationCenter() = default;
    ~NotificationCenter() override;

    static NotificationCenter& defaultCenter();

    // Observes name from sender (nullptr: from any sender; empty name: every name). The observer goes away by
    // itself when owner is destroyed. Returns a token for removeObserver, never 0.
    int addObserver(const QString& name, const void* sender, Callback callback, QObject* owner = nullptr);
    void removeObserver(int token);
    void removeObservers(QObject* owner);
    // Calls every matching observer on the calling thread before returning.
    void post(const QString& name, const void* sender = nullptr, const QVariantMap& userInfo = {});

private:
    struct Observer {
        int token = 0;
        QString name;
        const void* sender = nullptr;
        Callback callback;
        QObject* owner = nullptr;
        bool removed = false; // read and written under m_mutex only
    };

    bool matches(const Observer& observer, const QString& name, const void* sender) const;
    bool isRemoved(const Observer& observer) const;
    void watchOwner(QObject* owner);
    void forgetOwner(QObject* owner);

    mutable QMutex m_mutex;
    std::vector<std::shared_ptr<Observer>> m_observers;
    QHash<QObject*, QMetaObject::Connection> m_ownerConnections;
    int m_nextToken = 1;
};
