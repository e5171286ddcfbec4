#include "DisplayLineSpacing.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>

namespace {

// Sets each block's changed format back; blocks the change leaves alone are not touched.
void eachBlock(QTextDocument& text, const std::function<bool(QTextBlockFormat&)>& change)
{
    QTextCursor cursor(&text);
    cursor.beginEditBlock();
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!change(format))
            continue;
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}

void restore(QTextBlockFormat& format, int property, const QVariant& own)
{
    if (own.isValid())
        format.setProperty(property, own);
    else
        format.clearProperty(property);
}

} // namespace

void DisplayLineSpacing::apply(QTextDocument& text, qreal spacing)
{
    eachBlock(text, [spacing](QTextBlockFormat& format) {
        if (format.hasProperty(AppliedProperty))
            return false;
        format.setProperty(AppliedProperty, true);
        if (format.hasProperty(QTextFormat::LineHeight))
            format.setProperty(OwnHeightProperty, format.property(QTextFormat::LineHeight));
        if (format.hasProperty(QTextFormat::LineHeightType))
            format.setProperty(OwnTypeProperty, format.property(QTextFormat::LineHeightType));
        format.setLineHeight(spacing, QTextBlockFormat::LineDistanceHeight);
        return true;
    });
}

void DisplayLineSpacing::strip(QTextDocument& text)
{
    eachBlock(text, [](QTextBlockFormat& format) {
        if (!format.hasProperty(AppliedProperty))
            return false;
        restore(format, QTextFormat::LineHeight, format.property(OwnHeightProperty));
        restore(format, QTextFormat::LineHeightType, format.property(OwnTypeProperty));
        format.clearProperty(OwnHeightProperty);
        format.clearProperty(OwnTypeProperty);
        format.clearProperty(AppliedProperty);
        return true;
    });
}
