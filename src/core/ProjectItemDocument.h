#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QByteArray>
#include <QString>

// The body of one card, in the format its mime type names.
class ProjectItemDocument : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString ParentItemIdKey = QStringLiteral("parentItemId");
    static inline const QString ContentKey = QStringLiteral("content");
    static inline const QString MimetypeKey = QStringLiteral("mimetype");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;
    QString projectId() const;
    QString parentItemId() const;
    QByteArray content() const;
    QString mimetype() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
    void setProjectId(const QString& projectId);
    void setParentItemId(const QString& parentItemId);
    void setContent(const QByteArray& content);
    void setMimetype(const QString& mimetype);
};
