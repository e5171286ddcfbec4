#pragma once

#include <QFont>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

// A run's character format: the family at a size in points, bold and italic as asked.
inline QTextCharFormat charFormat(const QString& family, qreal size, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(size);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    return format;
}

// The format of the character at position (a cursor reports the format of the character before it).
inline QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}
