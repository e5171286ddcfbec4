#pragma once

#include "platform/store/ManagedObjectModel.h"

// A small model of its own, so that the store is tested apart from the application's record types.
inline ManagedObjectModel storeTestModel(int version = 1)
{
    ManagedObjectModel model(version);
    EntityDescription& item = model.addEntity(QStringLiteral("Item"));
    item.addAttribute(QStringLiteral("uniqueIdentifier"), AttributeType::String)
        .addAttribute(QStringLiteral("projectId"), AttributeType::String)
        .addAttribute(QStringLiteral("title"), AttributeType::String)
        .addAttribute(QStringLiteral("displayOrder"), AttributeType::Integer)
        .addAttribute(QStringLiteral("score"), AttributeType::Double)
        .addAttribute(QStringLiteral("lastModified"), AttributeType::Date)
        .addAttribute(QStringLiteral("content"), AttributeType::Binary)
        .addIndex({QStringLiteral("uniqueIdentifier")});
    if (version >= 2)
        item.addAttribute(QStringLiteral("notes"), AttributeType::String);
    EntityDescription& state = model.addEntity(QStringLiteral("State"));
    state.addAttribute(QStringLiteral("cardItemId"), AttributeType::String)
        .addAttribute(QStringLiteral("cursorPosition"), AttributeType::Integer);
    return model;
}
