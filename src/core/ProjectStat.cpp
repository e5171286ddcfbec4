#include "ProjectStat.h"

#include <memory>

QString ProjectStat::entityName()
{
    return QStringLiteral("ProjectStat");
}

FetchRequest ProjectStat::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectStat::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(ProjectIdKey, AttributeType::String);
    entity.addAttribute(ProjectItemIdKey, AttributeType::String);
    entity.addAttribute(StartTimeKey, AttributeType::Date);
    entity.addAttribute(TimeKey, AttributeType::Integer);
    entity.addAttribute(WordCountKey, AttributeType::Integer);
    entity.addIndex({UniqueIdentifierKey});
    entity.addIndex({ProjectIdKey});
    // A project's records newest first with their figures: the statistics read years of records from the
    // index alone, without sorting.
    entity.addIndex({ProjectIdKey, StartTimeKey, TimeKey, WordCountKey});
    entity.setFactory([] { return std::make_unique<ProjectStat>(); });
}

QString ProjectStat::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

QString ProjectStat::projectId() const
{
    return value(ProjectIdKey).toString();
}

QString ProjectStat::projectItemId() const
{
    return value(ProjectItemIdKey).toString();
}

QDateTime ProjectStat::startTime() const
{
    return value(StartTimeKey).toDateTime();
}

qint64 ProjectStat::time() const
{
    return value(TimeKey).toLongLong();
}

qint64 ProjectStat::wordCount() const
{
    return value(WordCountKey).toLongLong();
}

void ProjectStat::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}

void ProjectStat::setProjectId(const QString& projectId)
{
    setValue(ProjectIdKey, projectId.isNull() ? QVariant() : QVariant(projectId));
}

void ProjectStat::setProjectItemId(const QString& projectItemId)
{
    setValue(ProjectItemIdKey, projectItemId.isNull() ? QVariant() : QVariant(projectItemId));
}

void ProjectStat::setStartTime(const QDateTime& startTime)
{
    setValue(StartTimeKey, startTime.isNull() ? QVariant() : QVariant(startTime));
}

void ProjectStat::setTime(qint64 time)
{
    setValue(TimeKey, time);
}

void ProjectStat::setWordCount(qint64 wordCount)
{
    setValue(WordCountKey, wordCount);
}
