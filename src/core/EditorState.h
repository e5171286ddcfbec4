#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QString>
#include <QtGlobal>

// The remembered cursor of one card.
class EditorState : public ManagedObject {
public:
    static inline const QString CardItemIdKey = QStringLiteral("cardItemId");
    static inline const QString CursorPositionKey = QStringLiteral("cursorPosition");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    QString cardItemId() const;
    qint64 cursorPosition() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setCardItemId(const QString& cardItemId);
    void setCursorPosition(qint64 cursorPosition);
};
