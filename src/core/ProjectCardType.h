#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QString>

// A card type offered by a project template. Kept so that mirrored stores keep their shape; nothing reads it.
class ProjectCardType : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString CardTypeKey = QStringLiteral("cardType");
    static inline const QString DisplayOrderKey = QStringLiteral("displayOrder");
    static inline const QString ProjectTemplateIdKey = QStringLiteral("projectTemplateId");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
};
