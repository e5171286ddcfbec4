#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// One outline open during an import: what its start tag said and how many child outlines began inside it.
class OpmlStackItem {
public:
    QString parentItemId;
    QString itemId;
    qint64 displayOrder = 1;
    // Added to the display order of every child: the receiving folder's existing children come first.
    qint64 childDisplayOrderOffset = 0;
    QString title;
    // The body as plain text.
    QString text;
    QString summary;
    // Base64 texts as read; nullopt when the attribute was absent.
    std::optional<QString> summaryImage;
    qint64 itemType = 1;
    qint64 itemFormat = 0;
    qint64 childCount = 0;
    QString tag;
    QString cardNotes;
    std::optional<QString> content;

    // The display order the next child outline gets.
    qint64 nextChildDisplayOrder() const { return childDisplayOrderOffset + childCount + 1; }
};
