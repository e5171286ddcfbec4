#include "StatArchiveObject.h"

#include "ArchiveValues.h"
#include "core/ProjectStat.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

StatArchiveObject::StatArchiveObject(const ProjectStat& stat, const QDateTime& now)
    : projectId(ArchiveValues::orEmpty(stat.projectId())), projectItemId(ArchiveValues::orEmpty(stat.projectItemId())),
      startTime(stat.startTime().isValid() ? stat.startTime() : now), time(stat.time()),
      uniqueIdentifier(ArchiveValues::orEmpty(stat.uniqueIdentifier())), wordCount(stat.wordCount())
{
}

std::optional<StatArchiveObject> StatArchiveObject::fromDictionary(const QJsonValue& entry, const QDateTime& now)
{
    const QJsonObject object = entry.toObject();
    if (!entry.isObject() || !ArchiveValues::allStrings(object))
        return std::nullopt;
    const auto projectId = ArchiveValues::string(object, ProjectIdKey);
    const auto itemId = ArchiveValues::string(object, ProjectItemIdKey);
    const auto identifier = ArchiveValues::string(object, UniqueIdentifierKey);
    if (!projectId || !itemId || !identifier)
        return std::nullopt;
    StatArchiveObject record;
    record.projectId = *projectId;
    record.projectItemId = *itemId;
    record.startTime = ArchiveValues::date(object, StartTimeKey, now);
    record.time = ArchiveValues::integer(object, TimeKey);
    record.uniqueIdentifier = *identifier;
    record.wordCount = ArchiveValues::integer(object, WordCountKey);
    return record;
}

QJsonObject StatArchiveObject::toDictionary() const
{
    return {{ProjectIdKey, projectId},
            {ProjectItemIdKey, projectItemId},
            {StartTimeKey, ArchiveValues::dateText(startTime)},
            {TimeKey, QString::number(time)},
            {UniqueIdentifierKey, uniqueIdentifier},
            {WordCountKey, QString::number(wordCount)}};
}

ProjectStat* StatArchiveObject::insert(ManagedObjectContext* context, const QString& newProjectId) const
{
    auto* stat = context->insertNew<ProjectStat>();
    stat->setUniqueIdentifier(Uuid::uuidString());
    stat->setProjectId(newProjectId);
    stat->setProjectItemId(projectItemId);
    stat->setStartTime(startTime);
    stat->setTime(time);
    stat->setWordCount(wordCount);
    return stat;
}
