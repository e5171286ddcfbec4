#pragma once

#include <QList>
#include <QPointer>

// The objects of a list of guarded pointers that still exist, in their order: lists that hold screens or
// actions they do not own drop what was deleted meanwhile.
template <typename T>
QList<T*> livePointers(const QList<QPointer<T>>& guarded)
{
    QList<T*> live;
    for (const QPointer<T>& pointer : guarded) {
        if (pointer)
            live.append(pointer.data());
    }
    return live;
}
