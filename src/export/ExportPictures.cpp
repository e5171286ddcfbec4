#include "ExportPictures.h"

#include "richtext/QJTextAttachment.h"

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

RtfWriter::PictureLookup ExportPictures::lookupIn(const QTextDocument& document)
{
    return [&document](const QTextImageFormat& format) {
        return pictureFor(format, document);
    };
}
