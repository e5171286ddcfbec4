#include "ProjectItemDocument.h"

#include <memory>

QString ProjectItemDocument::entityName()
{
    return QStringLiteral("ProjectItemDocument");
}

FetchRequest ProjectItemDocument::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectItemDocument::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(ProjectIdKey, AttributeType::String);
    entity.addAttribute(ParentItemIdKey, AttributeType::String);
    entity.addAttribute(ContentKey, AttributeType::Binary);
    entity.addAttribute(MimetypeKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.addIndex({ParentItemIdKey});
    entity.setFactory([] { return std::make_unique<ProjectItemDocument>(); });
}

QString ProjectItemDocument::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

QString ProjectItemDocument::projectId() const
{
    return value(ProjectIdKey).toString();
}

QString ProjectItemDocument::parentItemId() const
{
    return value(ParentItemIdKey).toString();
}

QByteArray ProjectItemDocument::content() const
{
    return value(ContentKey).toByteArray();
}

QString ProjectItemDocument::mimetype() const
{
    return value(MimetypeKey).toString();
}

void ProjectItemDocument::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}

void ProjectItemDocument::setProjectId(const QString& projectId)
{
    setValue(ProjectIdKey, projectId.isNull() ? QVariant() : QVariant(projectId));
}

void ProjectItemDocument::setParentItemId(const QString& parentItemId)
{
    setValue(ParentItemIdKey, parentItemId.isNull() ? QVariant() : QVariant(parentItemId));
}

void ProjectItemDocument::setContent(const QByteArray& content)
{
    setValue(ContentKey, content.isNull() ? QVariant() : QVariant(content));
}

void ProjectItemDocument::setMimetype(const QString& mimetype)
{
    setValue(MimetypeKey, mimetype.isNull() ? QVariant() : QVariant(mimetype));
}
