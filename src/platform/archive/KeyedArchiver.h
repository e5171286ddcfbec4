#pragma once

#include "platform/archive/ArchiveObject.h"

#include <QByteArray>
#include <QStringList>

// Writes an object graph as a keyed archive inside a binary property list: "$archiver" "NSKeyedArchiver",
// "$version" 100000, "$objects" starting with "$null", "$top" {"root": UID}. Equal strings and shared objects
// are written once; class descriptions ("$classname", "$classes") once per class.
class KeyedArchiver {
public:
    // Empty only when the property-list library fails.
    static QByteArray archive(const ArchiveRef& root);
    // The class and superclasses written for className when an instance names none (NSObject at the end).
    static QStringList classChain(const QString& className);
};
