#pragma once

#include "platform/archive/ArchiveObject.h"

#include <QImage>
#include <QTextCharFormat>

#include <optional>

class QTextDocument;

// Codes the text attachments standing on U+FFFC (see platform/text/TextAttachment.h): images as
// "QJTextAttachment" holding a UIImage, checkboxes and other attachments as NSTextAttachment with a file
// wrapper's contents and the contents' type.
class AttachmentCoder {
public:
    // The archived attachment for the format of a U+FFFC; nullptr when the format carries none.
    static ArchiveRef encode(const QTextCharFormat& format, const QTextDocument& document);
    // The format to insert for an archived attachment, adding its image to document as resource number index;
    // nullopt when object is no attachment or its image cannot be read. preread: the image already read from
    // imageBytes(object), so that a caller can read many pictures at once.
    static std::optional<QTextCharFormat> decode(const ArchiveObject& object, QTextDocument& document, int index,
                                                 const QImage* preread = nullptr);
    // The picture bytes an attachment would be shown from; empty when it shows no picture.
    static QByteArray imageBytes(const ArchiveObject& object);
    // Reads picture bytes, refusing pictures larger than MaxImageSide; a null image when unreadable.
    static QImage readImage(const QByteArray& bytes);

    // Images larger than this on either side are refused rather than decoded.
    static constexpr int MaxImageSide = 16384;
};
