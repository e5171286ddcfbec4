#pragma once

#include <QString>
#include <QVariantMap>

// One delivery of a named event; sender is compared by address only, never dereferenced.
struct Notification {
    QString name;
    const void* sender = nullptr;
    QVariantMap userInfo;
};
