#include "AttachmentNormaliser.h"

#include "CheckboxAttachment.h"
#include "QJTextAttachment.h"
#include "TextRuns.h"
#include "platform/text/TextAttachment.h"

#include <QTextDocument>

namespace {

const QList<int>& attachmentProperties()
{
    static const QList<int> properties = {
        QTextFormat::ObjectType,      QTextFormat::ImageName,
        QTextFormat::ImageWidth,      QTextFormat::ImageHeight,
        QTextFormat::ImageQuality,    TextAttachment::ClassName,
        TextAttachment::FileContents, TextAttachment::FileType,
        TextAttachment::Descender,    CheckboxAttachment::ImageNameProperty,
    };
    return properties;
}

QTextCharFormat merged(QTextCharFormat base, const QTextCharFormat& attachment)
{
    base.merge(attachment);
    return base;
}

} // namespace

bool AttachmentNormaliser::isAttachment(const QTextFormat& format)
{
    return format.isImageFormat() || format.objectType() == TextAttachment::ObjectType;
}

QTextCharFormat AttachmentNormaliser::withoutAttachment(QTextCharFormat format)
{
    for (const int property : attachmentProperties())
        format.clearProperty(property);
    return format;
}

void AttachmentNormaliser::normalise(QTextDocument& document, bool dark, int from, int to)
{
    TextRuns::apply(
        document,
        [&](QTextCharFormat& format) {
            if (!isAttachment(format))
                return false;
            const std::optional<QTextCharFormat> result = normalised(document, format, dark);
            if (!result)
                return false;
            format = *result;
            return true;
        },
        from, to);
}

std::optional<QTextCharFormat> AttachmentNormaliser::normalised(QTextDocument& document, const QTextCharFormat& format,
                                                                bool dark)
{
    if (const std::unique_ptr<CheckboxAttachment> box = CheckboxAttachment::fromFormat(format, dark))
        return merged(withoutAttachment(format), box->format());
    return normalisedImage(document, format);
}

std::optional<QTextCharFormat> AttachmentNormaliser::normalisedImage(QTextDocument& document,
                                                                     const QTextCharFormat& format)
{
    // An image already in the document keeps its resource: only what is not the image is let go.
    if (format.isImageFormat() && !QJTextAttachment::fromFormat(format, document).image().isNull()) {
        QTextImageFormat image;
        image.setName(format.toImageFormat().name());
        image.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
        return merged(withoutAttachment(format), image);
    }
    const QJTextAttachment fromContents = QJTextAttachment::initWithData(
        format.property(TextAttachment::FileContents).toByteArray(), format.stringProperty(TextAttachment::FileType));
    if (fromContents.image().isNull())
        return withoutAttachment(format);
    return merged(withoutAttachment(format), fromContents.format(document));
}
