#pragma once

#include "core/Fonts.h"
#include "richtext/QJCheckboxAttachment.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/QJUncheckedCheckboxAttachment.h"
#include "richtext/TextRuns.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>
#include <ostream>

// GoogleTest shows texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Documents the export tests write: plain runs, emphasis and pictures, built the way the editors build them.
namespace SampleDocument {

inline QImage picture(QColor color, int width = 40, int height = 20)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::black);
    return image;
}

inline std::unique_ptr<QTextDocument> empty()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(Fonts::getDefaultFontWithSize(TextRuns::BaseFontSize));
    return document;
}

inline QTextCharFormat plain(double size = TextRuns::BaseFontSize)
{
    QTextCharFormat format;
    format.setFont(Fonts::getDefaultFontWithSize(size));
    return format;
}

inline QTextCharFormat bold()
{
    QTextCharFormat format = plain();
    format.setFontWeight(QFont::Bold);
    return format;
}

inline QTextCharFormat italic()
{
    QTextCharFormat format = plain();
    format.setFontItalic(true);
    return format;
}

// Paragraphs separated by "\n", all in one format.
inline std::unique_ptr<QTextDocument> text(const QString& text, const QTextCharFormat& format = plain())
{
    auto document = empty();
    QTextCursor cursor(document.get());
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(lines.at(i), format);
    }
    return document;
}

inline void insertPicture(QTextCursor& cursor, const QImage& image, QSizeF size = {})
{
    QTextImageFormat format = QJTextAttachment(image).format(*cursor.document());
    if (size.isValid()) {
        format.setWidth(size.width());
        format.setHeight(size.height());
    }
    cursor.insertImage(format);
}

// A ticked or an empty checkbox, made in the light or the dark appearance, as the editors insert one.
inline void insertCheckbox(QTextCursor& cursor, bool checked, bool dark = false)
{
    QTextCharFormat format = plain();
    format.merge(checked ? QJCheckboxAttachment({}, {}, dark).format()
                         : QJUncheckedCheckboxAttachment({}, {}, dark).format());
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

} // namespace SampleDocument
