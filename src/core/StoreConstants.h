#pragma once

#include "platform/ink/InkFormat.h"

#include <QString>
#include <QtGlobal>

// Coded values stored in the records. Numbers are part of the stored data: never renumber them.

namespace ProjectItemTypes {
inline constexpr qint64 Folder = 0;
inline constexpr qint64 Story = 1;
inline constexpr qint64 Reminder = 2;
inline constexpr qint64 Question = 3;
inline constexpr qint64 Idea = 4;
inline constexpr qint64 Person = 5;
inline constexpr qint64 Thing = 6;
inline constexpr qint64 Location = 7;
inline constexpr qint64 Event = 8;
// A filter value only: no record stores it.
inline constexpr qint64 AllCards = 5120;
}  // namespace ProjectItemTypes

namespace ProjectItemFormats {
inline constexpr qint64 Text = 0;
inline constexpr qint64 Sketch = 1;
}  // namespace ProjectItemFormats

// Every card stores Card; a folder stores Card when made on the board or by the card opener and
// Folder when the outline import made it. Nothing reads it: folders are told apart by item type.
namespace ProjectFolderTypes {
inline constexpr qint64 Folder = 0;
inline constexpr qint64 Card = 1;
}  // namespace ProjectFolderTypes

// Board filter codes; the card types 1 to 8 filter by type.
namespace CardFilter {
inline constexpr qint64 AllCards = 5120;
inline constexpr qint64 OpenIssues = 5121;
inline constexpr qint64 WithNotes = 5122;
inline constexpr qint64 Tagged = 5123;
inline constexpr qint64 Last24Hours = 5124;
inline constexpr qint64 Last7Days = 5125;
inline constexpr qint64 Last30Days = 5126;
}  // namespace CardFilter

namespace ItemIds {
// The root folder of every project; no record carries it as its own identifier.
inline const QString Top = QStringLiteral("_top");
// Reserved beside the root; nothing creates or reads a folder with it.
inline const QString Trash = QStringLiteral("_trash");
}  // namespace ItemIds

namespace DocumentMimeTypes {
// Keyed archive of the card's rich text.
inline const QString RichText = QStringLiteral("application/x-vornquil-apple-bin");
inline const QString Rtf = QStringLiteral("application/rtf");
// Pen drawings, in the ink format that owns the name.
inline const QString Drawing = InkFormat::MimeType;
}  // namespace DocumentMimeTypes
