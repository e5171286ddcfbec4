#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One stretch of writing in a card: when it began, how long it took and the words gained.
class ProjectStat : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString ProjectItemIdKey = QStringLiteral("projectItemId");
    static inline const QString StartTimeKey = QStringLiteral("startTime");
    static inline const QString TimeKey = QStringLiteral("time");
    static inline const QString WordCountKey = QStringLiteral("wordCount");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString uniqueIdentifier() const;
    QString projectId() const;
    QString projectItemId() const;
    QDateTime startTime() const;
    qint64 time() const;
    qint64 wordCount() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
    void setProjectId(const QString& projectId);
    void setProjectItemId(const QString& projectItemId);
    void setStartTime(const QDateTime& startTime);
    void setTime(qint64 time);
    void setWordCount(qint64 wordCount);
};
