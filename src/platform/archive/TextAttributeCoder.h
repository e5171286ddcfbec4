#pragma once

#include "platform/archive/ArchiveObject.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>

// Codes the attribute values of an attributed string that have a Qt counterpart: fonts (UIFont, or NSFont when
// reading), colours (UIColor, or NSColor when reading) and paragraph styles.
class TextAttributeCoder {
public:
    // Bold and italic as a font's symbolic traits.
    static constexpr qint64 ItalicTrait = 1 << 0;
    static constexpr qint64 BoldTrait = 1 << 1;
    // Text alignments as the archives number them.
    enum Alignment : qint64 { Left = 0, Center = 1, Right = 2, Justified = 3, Natural = 4 };

    static ArchiveRef encodeFont(const QTextCharFormat& format);
    // The first family a format names, or the default family when it names none.
    static QString familyOf(const QTextCharFormat& format);
    // Sets family, point size, bold and italic on format; false when font is not a font.
    static bool applyFont(const ArchiveObject& font, QTextCharFormat& format);

    static ArchiveRef encodeColor(const QColor& color);
    // An invalid colour when object is not a readable colour.
    static QColor decodeColor(const ArchiveObject& object);

    static ArchiveRef encodeParagraphStyle(const QTextBlockFormat& format);
    // Sets alignment, indents, spacing and tab stops on format; false when style is not a paragraph style.
    static bool applyParagraphStyle(const ArchiveObject& style, QTextBlockFormat& format);
};
