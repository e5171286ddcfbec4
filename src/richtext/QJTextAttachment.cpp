#include "QJTextAttachment.h"

#include "platform/Uuid.h"
#include "platform/text/TextAttachment.h"

#include <QFileInfo>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

namespace {

const QString ResourceScheme = QStringLiteral("attachment");

QImage imageFromResource(const QVariant& resource)
{
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.typeId() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return {};
}

// A name the document does not hold is looked up as a file; a pasted or foreign text must not make us read one
// (a device or a huge file would never end).
bool namesFileOnDisk(const QString& name)
{
    const QUrl url(name);
    if (url.scheme() == QLatin1String("data"))
        return false;
    return QFileInfo::exists(url.isLocalFile() ? url.toLocalFile() : name);
}

} // namespace

QJTextAttachment::QJTextAttachment(const QImage& image) : m_image(image)
{
}

QJTextAttachment QJTextAttachment::initWithData(const QByteArray& contents, const QString& fileType)
{
    // The type only tells how the contents were labelled; what counts is whether they read as an image.
    Q_UNUSED(fileType);
    return QJTextAttachment(QImage::fromData(contents));
}

QSizeF QJTextAttachment::imageSize() const
{
    return m_image.isNull() ? QSizeF(0, 0) : m_image.deviceIndependentSize();
}

QRectF QJTextAttachment::scaleImageSizeToWidth(float width)
{
    const QSizeF size = imageSize();
    float factor = 1.0f;
    // Computed in double and kept in single precision, so that bounds match across readers of the same text.
    if (size.width() > width)
        factor = float((double(width) * 0.9) / size.width());
    m_bounds = QRectF(0, 0, size.width() * factor, size.height() * factor);
    return m_bounds;
}

QTextImageFormat QJTextAttachment::format(QTextDocument& document) const
{
    const QUrl name(ResourceScheme + QLatin1Char(':') + Uuid::uuidString());
    document.addResource(QTextDocument::ImageResource, name, m_image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setProperty(TextAttachment::ClassName, QString::fromLatin1(TextAttachment::ImageClass));
    return format;
}

bool QJTextAttachment::isImageFormat(const QTextFormat& format)
{
    return format.isImageFormat();
}

QJTextAttachment QJTextAttachment::fromFormat(const QTextFormat& format, const QTextDocument& document)
{
    if (!isImageFormat(format))
        return {};
    const QString name = format.toImageFormat().name();
    if (name.isEmpty() || namesFileOnDisk(name))
        return {};
    return QJTextAttachment(imageFromResource(document.resource(QTextDocument::ImageResource, QUrl(name))));
}
