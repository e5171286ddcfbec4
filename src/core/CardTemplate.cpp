#include "CardTemplate.h"

#include <memory>

QString CardTemplate::entityName()
{
    return QStringLiteral("CardTemplate");
}

FetchRequest CardTemplate::fetchRequest()
{
    return FetchRequest(entityName());
}

void CardTemplate::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(NameKey, AttributeType::String);
    entity.addAttribute(SummaryKey, AttributeType::String);
    entity.addAttribute(ContentKey, AttributeType::Binary);
    entity.addAttribute(CardTypeKey, AttributeType::String);
    entity.addAttribute(ProjectTemplateIdKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.setFactory([] { return std::make_unique<CardTemplate>(); });
}

QString CardTemplate::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

void CardTemplate::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}
