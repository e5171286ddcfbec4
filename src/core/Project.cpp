#include "Project.h"

#include <memory>

QString Project::entityName()
{
    return QStringLiteral("Project");
}

FetchRequest Project::fetchRequest()
{
    return FetchRequest(entityName());
}

void Project::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(ProjectTitleKey, AttributeType::String);
    entity.addAttribute(ImageKey, AttributeType::Binary);
    entity.addAttribute(LastModifiedKey, AttributeType::Date);
    entity.addAttribute(DisplayOrderKey, AttributeType::Integer);
    entity.addAttribute(ProjectDateKey, AttributeType::Date);
    entity.addAttribute(ProjectTypeKey, AttributeType::Integer);
    entity.addAttribute(LinkedPathKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.addIndex({DisplayOrderKey});
    entity.setFactory([] { return std::make_unique<Project>(); });
}

QString Project::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

QString Project::projectTitle() const
{
    return value(ProjectTitleKey).toString();
}

QByteArray Project::image() const
{
    return value(ImageKey).toByteArray();
}

QDateTime Project::lastModified() const
{
    return value(LastModifiedKey).toDateTime();
}

qint64 Project::displayOrder() const
{
    return value(DisplayOrderKey).toLongLong();
}

QDateTime Project::projectDate() const
{
    return value(ProjectDateKey).toDateTime();
}

qint64 Project::projectType() const
{
    return value(ProjectTypeKey).toLongLong();
}

QString Project::linkedPath() const
{
    return value(LinkedPathKey).toString();
}

void Project::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}

void Project::setProjectTitle(const QString& projectTitle)
{
    setValue(ProjectTitleKey, projectTitle.isNull() ? QVariant() : QVariant(projectTitle));
}

void Project::setImage(const QByteArray& image)
{
    setValue(ImageKey, image.isNull() ? QVariant() : QVariant(image));
}

void Project::setLastModified(const QDateTime& lastModified)
{
    setValue(LastModifiedKey, lastModified.isNull() ? QVariant() : QVariant(lastModified));
}

void Project::setDisplayOrder(qint64 displayOrder)
{
    setValue(DisplayOrderKey, displayOrder);
}

void Project::setProjectDate(const QDateTime& projectDate)
{
    setValue(ProjectDateKey, projectDate.isNull() ? QVariant() : QVariant(projectDate));
}

void Project::setProjectType(qint64 projectType)
{
    setValue(ProjectTypeKey, projectType);
}

void Project::setLinkedPath(const QString& linkedPath)
{
    setValue(LinkedPathKey, linkedPath.isNull() ? QVariant() : QVariant(linkedPath));
}
