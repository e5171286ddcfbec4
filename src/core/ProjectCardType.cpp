#include "ProjectCardType.h"

#include <memory>

QString ProjectCardType::entityName()
{
    return QStringLiteral("ProjectCardType");
}

FetchRequest ProjectCardType::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectCardType::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(CardTypeKey, AttributeType::String);
    entity.addAttribute(DisplayOrderKey, AttributeType::Integer);
    entity.addAttribute(ProjectTemplateIdKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.setFactory([] { return std::make_unique<ProjectCardType>(); });
}

QString ProjectCardType::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

void ProjectCardType::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}
