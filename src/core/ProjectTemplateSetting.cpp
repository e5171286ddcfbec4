#include "ProjectTemplateSetting.h"

#include <memory>

QString ProjectTemplateSetting::entityName()
{
    return QStringLiteral("ProjectTemplateSetting");
}

FetchRequest ProjectTemplateSetting::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectTemplateSetting::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(KeyKey, AttributeType::String);
    entity.addAttribute(ValueKey, AttributeType::String);
    entity.addAttribute(ProjectTemplateIdKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.setFactory([] { return std::make_unique<ProjectTemplateSetting>(); });
}

QString ProjectTemplateSetting::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

void ProjectTemplateSetting::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}
