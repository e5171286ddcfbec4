#pragma once

#include "platform/archive/ArchiveObject.h"

#include <QByteArray>
#include <QSet>
#include <QString>

// The outcome of reading a keyed archive: the root object, or why there is none.
struct UnarchiveResult {
    ArchiveRef root;
    QString error;
    bool ok() const { return root != nullptr; }
};

// Reads a keyed archive from binary property-list bytes. Every object carrying a "$class" must name a class in
// allowedClasses (plain property-list strings, numbers and data need none); anything else fails the whole read.
// Object indexes, counts and nesting depth are bounded and a reference cycle fails instead of recursing. Shared
// objects stay shared, so a graph that references one object many times does not grow when read.
class KeyedUnarchiver {
public:
    static UnarchiveResult unarchive(const QByteArray& bytes, const QSet<QString>& allowedClasses);

    static constexpr int MaxDepth = 200;
    static constexpr qsizetype MaxObjects = 4 * 1024 * 1024;
};
