#include "EditorState.h"

#include <memory>

QString EditorState::entityName()
{
    return QStringLiteral("EditorState");
}

FetchRequest EditorState::fetchRequest()
{
    return FetchRequest(entityName());
}

void EditorState::describe(EntityDescription& entity)
{
    entity.addAttribute(CardItemIdKey, AttributeType::String);
    entity.addAttribute(CursorPositionKey, AttributeType::Integer);
    entity.addIndex({CardItemIdKey});
    entity.setFactory([] { return std::make_unique<EditorState>(); });
}

QString EditorState::cardItemId() const
{
    return value(CardItemIdKey).toString();
}

qint64 EditorState::cursorPosition() const
{
    return value(CursorPositionKey).toLongLong();
}

void EditorState::setCardItemId(const QString& cardItemId)
{
    setValue(CardItemIdKey, cardItemId.isNull() ? QVariant() : QVariant(cardItemId));
}

void EditorState::setCursorPosition(qint64 cursorPosition)
{
    setValue(CursorPositionKey, cursorPosition);
}
