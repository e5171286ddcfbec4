#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QString>

// A project template. Kept so that mirrored stores keep their shape; nothing reads it.
class ProjectTemplate : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString NameKey = QStringLiteral("name");
    static inline const QString SummaryKey = QStringLiteral("summary");
    static inline const QString AuthorNameKey = QStringLiteral("authorName");
    static inline const QString AuthorEmailKey = QStringLiteral("authorEmail");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
};
