#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QTextImageFormat>
#include <optional>

class QTextDocument;

// An image standing in the text on one U+FFFC. It keeps nothing but its image: stored documents carry the
// image alone, whatever file the image came from.
class QJTextAttachment {
public:
    QJTextAttachment() = default;
    explicit QJTextAttachment(const QImage& image);
    // The attachment for a file's contents; its image is the contents read as an image (null when they are none).
    static QJTextAttachment initWithData(const QByteArray& contents, const QString& fileType);

    const QImage& image() const { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    // Size in points: a null image takes no room.
    QSizeF imageSize() const;
    QRectF bounds() const { return m_bounds; }

    // Bounds for a line fragment width: the image's own size, or 90 % of the width for an image wider than it.
    QRectF scaleImageSizeToWidth(float width);

    // The character format that shows this image in document, its image added as a document resource.
    QTextImageFormat format(QTextDocument& document) const;
    // Whether the format is an image attachment, of this class or any other.
    static bool isImageFormat(const QTextFormat& format);
    // The attachment an image format of document shows; its image is null when the document holds no image
    // under the format's name.
    static QJTextAttachment fromFormat(const QTextFormat& format, const QTextDocument& document);

private:
    QImage m_image;
    QRectF m_bounds;
};
