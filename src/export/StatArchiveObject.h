#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

class ManagedObjectContext;
class ProjectStat;

// One entry of a backup's "stats.json": a writing record, every value as a string.
class StatArchiveObject {
public:
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString ProjectItemIdKey = QStringLiteral("projectItemId");
    static inline const QString StartTimeKey = QStringLiteral("startTime");
    static inline const QString TimeKey = QStringLiteral("time");
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString WordCountKey = QStringLiteral("wordCount");

    // A missing start time is now; missing numbers 0; missing texts empty.
    explicit StatArchiveObject(const ProjectStat& stat, const QDateTime& now = QDateTime::currentDateTime());
    // nullopt for an entry that is not an object of strings or lacks the project, item or identifier.
    static std::optional<StatArchiveObject> fromDictionary(const QJsonValue& entry,
                                                           const QDateTime& now = QDateTime::currentDateTime());

    QJsonObject toDictionary() const;
    // A new writing record of the project, under a new identifier of its own.
    ProjectStat* insert(ManagedObjectContext* context, const QString& newProjectId) const;

    QString projectId;
    QString projectItemId;
    QDateTime startTime;
    qint64 time = 0;
    QString uniqueIdentifier;
    qint64 wordCount = 0;

private:
    StatArchiveObject() = default;
};
