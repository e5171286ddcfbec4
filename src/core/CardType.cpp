#include "CardType.h"

#include <memory>

QString CardType::entityName()
{
    return QStringLiteral("CardType");
}

FetchRequest CardType::fetchRequest()
{
    return FetchRequest(entityName());
}

void CardType::describe(EntityDescription& entity)
{
    entity.addAttribute(UniqueIdentifierKey, AttributeType::String);
    entity.addAttribute(NameKey, AttributeType::String);
    entity.addAttribute(IconKey, AttributeType::Binary);
    entity.addAttribute(CardHexColorKey, AttributeType::String);
    entity.addIndex({UniqueIdentifierKey});
    entity.setFactory([] { return std::make_unique<CardType>(); });
}

QString CardType::uniqueIdentifier() const
{
    return value(UniqueIdentifierKey).toString();
}

void CardType::setUniqueIdentifier(const QString& uniqueIdentifier)
{
    setValue(UniqueIdentifierKey, uniqueIdentifier.isNull() ? QVariant() : QVariant(uniqueIdentifier));
}
