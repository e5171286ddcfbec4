#include "CheckboxTextObject.h"

#include "CheckboxAttachment.h"
#include "CheckboxImages.h"
#include "platform/text/TextAttachment.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>

namespace {

QImage boxImage(const QTextFormat& format)
{
    return CheckboxImages::imageNamed(format.stringProperty(CheckboxAttachment::ImageNameProperty));
}

} // namespace

CheckboxTextObject::CheckboxTextObject(QObject* parent) : QObject(parent)
{
}

QSizeF CheckboxTextObject::intrinsicSize(QTextDocument*, int, const QTextFormat& format)
{
    const QImage image = boxImage(format);
    if (image.isNull())
        return {0, 0};
    const QSizeF size = image.deviceIndependentSize();
    const qreal lineHeight = QFontMetricsF(format.toCharFormat().font()).height();
    float factor = 1.0f;
    if (size.height() > lineHeight)
        factor = float((lineHeight * 0.9) / size.height());
    return size * factor;
}

void CheckboxTextObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                    const QTextFormat& format)
{
    const QImage image = boxImage(format);
    if (image.isNull())
        return;
    // Inline objects stand on the baseline; the box hangs below it by the descender.
    const double descender = format.hasProperty(TextAttachment::Descender)
                                 ? format.doubleProperty(TextAttachment::Descender)
                                 : CheckboxAttachment::DefaultDescender;
    painter->drawImage(rect.translated(0, -descender), image);
}
