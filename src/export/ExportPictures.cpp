#include "ExportPictures.h"

#include "richtext/CheckboxAttachment.h"
#include "richtext/CheckboxImages.h"
#include "richtext/QJTextAttachment.h"

#include <QFontMetricsF>
#include <QTextDocument>
#include <QTextImageFormat>

RtfWriter::Picture ExportPictures::pictureFor(const QTextImageFormat& format, const QTextDocument& document)
{
    const QJTextAttachment attachment = QJTextAttachment::fromFormat(format, document);
    RtfWriter::Picture picture{attachment.image(), attachment.imageSize()};
    if (format.width() > 0 && format.height() > 0)
        picture.size = QSizeF(format.width(), format.height());
    else if (format.width() > 0 && picture.size.width() > 0)
        picture.size = QSizeF(format.width(), format.width() * picture.size.height() / picture.size.width());
    return picture;
}

RtfWriter::Picture ExportPictures::checkboxPictureFor(const QTextFormat& format, const QTextDocument& document)
{
    const std::unique_ptr<CheckboxAttachment> box = CheckboxAttachment::fromFormat(format, false);
    if (!box)
        return {};
    // The box keeps the image it was made with, as the text showed it; one that names none is drawn light.
    const QString name = format.stringProperty(CheckboxAttachment::ImageNameProperty);
    if (!CheckboxImages::imageNamed(name).isNull())
        box->setImageName(name);
    const QFont font = format.toCharFormat().font().resolve(document.defaultFont());
    const QRectF bounds = box->scaleImageSizeToHeight(float(QFontMetricsF(font).height()));
    return {box->image(), bounds.size()};
}

RtfWriter::PictureLookup ExportPictures::lookupIn(const QTextDocument& document)
{
    return [&document](const QTextImageFormat& format) {
        return pictureFor(format, document);
    };
}
