#include "ProjectTemplate.h"

#include <memory>

QString ProjectTemplate::entityName()
{
    return QStringLiteral("ProjectTemplate");
}

FetchRequest ProjectTemplate::fetchRequest()
{
    return FetchRequest(entityName());
}

void ProjectTemplate::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(NameKey, AttributeType::String);
    entity.addAttribute(SummaryKey, AttributeType::String);
    entity.addAttribute(AuthorNameKey, AttributeType::String);
    entity.addAttribute(AuthorEmailKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.setFactory([] { return std::make_unique<ProjectTemplate>(); });
}

QString ProjectTemplate::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

void ProjectTemplate::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}
