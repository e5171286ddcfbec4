#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One project: its title, cover and place in the project list.
class Project : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString ProjectTitleKey = QStringLiteral("projectTitle");
    static inline const QString ImageKey = QStringLiteral("image");
    static inline const QString LastModifiedKey = QStringLiteral("lastModified");
    static inline const QString DisplayOrderKey = QStringLiteral("displayOrder");
    static inline const QString ProjectDateKey = QStringLiteral("projectDate");
    static inline const QString ProjectTypeKey = QStringLiteral("projectType");
    static inline const QString LinkedPathKey = QStringLiteral("linkedPath");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;
    QString projectTitle() const;
    QByteArray image() const;
    QDateTime lastModified() const;
    qint64 displayOrder() const;
    QDateTime projectDate() const;
    qint64 projectType() const;
    QString linkedPath() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
    void setProjectTitle(const QString& projectTitle);
    void setImage(const QByteArray& image);
    void setLastModified(const QDateTime& lastModified);
    void setDisplayOrder(qint64 displayOrder);
    void setProjectDate(const QDateTime& projectDate);
    void setProjectType(qint64 projectType);
    void setLinkedPath(const QString& linkedPath);
};
