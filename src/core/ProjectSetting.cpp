#include "ProjectSetting.h"

#include <memory>

QString ProjectSetting::entityName()
{
    return QStringLiteral("ProjectSetting");
}

FetchRequest ProjectSetting::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectSetting::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(ProjectIdKey, AttributeType::String);
    entity.addAttribute(NameKey, AttributeType::String);
    entity.addAttribute(ValueKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.addIndex({ProjectIdKey, NameKey});
    entity.setFactory([] { return std::make_unique<ProjectSetting>(); });
}

QString ProjectSetting::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

QString ProjectSetting::projectId() const
{
    return value(ProjectIdKey).toString();
}

QString ProjectSetting::name() const
{
    return value(NameKey).toString();
}

QString ProjectSetting::value() const
{
    return value(ValueKey).toString();
}

void ProjectSetting::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}

void ProjectSetting::setProjectId(const QString& projectId)
{
    setValue(ProjectIdKey, projectId.isNull() ? QVariant() : QVariant(projectId));
}

void ProjectSetting::setName(const QString& name)
{
    setValue(NameKey, name.isNull() ? QVariant() : QVariant(name));
}

void ProjectSetting::setValue(const QString& value)
{
    setValue(ValueKey, value.isNull() ? QVariant() : QVariant(value));
}
