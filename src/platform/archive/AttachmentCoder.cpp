#include "platform/archive/AttachmentCoder.h"

#include "platform/archive/EncodedImageCache.h"

#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace {

const QString ImageKey = QStringLiteral("QJTextAttachment");
const QString ImageDataKey = QStringLiteral("UIImageData");
const QString WrapperKey = QStringLiteral("NSFileWrapper");
const QString WrapperContentsKey = QStringLiteral("NSFileWrapperContents");
const QString FileTypeKey = QStringLiteral("NSFileType");
const QString PngType = QStringLiteral("public.png");
constexpr double CheckboxDescender = -4.0;

QString typeOfImage(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG")) {
        return PngType;
    }
    if (bytes.startsWith("\xFF\xD8")) {
        return QStringLiteral("public.jpeg");
    }
    if (bytes.startsWith("GIF8")) {
        return QStringLiteral("com.compuserve.gif");
    }
    return {};
}

QByteArray pngBytes(const QImage& image)
{
    return EncodedImageCache::png(image);
}

QImage resourceImage(const QTextDocument& document, const QString& name)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage) {
        return resource.value<QImage>();
    }
    if (resource.typeId() == QMetaType::QPixmap) {
        return resource.value<QPixmap>().toImage();
    }
    if (resource.typeId() == QMetaType::QByteArray) {
        return QImage::fromData(resource.toByteArray());
    }
    return {};
}

} // namespace

QImage AttachmentCoder::readImage(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > AttachmentCoder::MaxImageSide ||
        size.height() > AttachmentCoder::MaxImageSide) {
        return {};
    }
    return reader.read();
}

namespace {

ArchiveRef encodeImage(const QTextImageFormat& format, const QTextDocument& document)
{
    QByteArray bytes = format.property(TextAttachment::FileContents).toByteArray();
    if (bytes.isEmpty() || typeOfImage(bytes).isEmpty()) {
        bytes = pngBytes(resourceImage(document, format.name()));
    }
    const ArchiveRef image = ArchiveObject::instance(
        QStringLiteral("UIImage"), {{ImageDataKey, ArchiveObject::data(bytes, QStringLiteral("NSData"))}});
    return ArchiveObject::instance(QString::fromLatin1(TextAttachment::ImageClass), {{ImageKey, image}});
}

ArchiveRef encodeFileAttachment(const QTextCharFormat& format, const QString& className)
{
    ArchiveObject::Fields fields;
    const QByteArray contents = format.property(TextAttachment::FileContents).toByteArray();
    const QString type = format.property(TextAttachment::FileType).toString();
    if (!contents.isEmpty()) {
        fields.insert(WrapperKey, ArchiveObject::instance(
                                      QStringLiteral("NSFileWrapper"),
                                      {{WrapperContentsKey, ArchiveObject::data(contents, QStringLiteral("NSData"))}}));
    }
    if (!type.isEmpty()) {
        fields.insert(FileTypeKey, ArchiveObject::string(type));
    }
    return ArchiveObject::instance(className, fields);
}

std::optional<QTextCharFormat> imageFormat(const QByteArray& bytes, const QString& className, QTextDocument& document,
                                           int index, const QImage* preread)
{
    const QImage image = preread ? *preread : AttachmentCoder::readImage(bytes);
    if (image.isNull()) {
        return std::nullopt;
    }
    const QString name = QStringLiteral("attachment-image-%1").arg(index);
    EncodedImageCache::remember(image, bytes);
    document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setProperty(TextAttachment::ClassName, className);
    format.setProperty(TextAttachment::FileContents, bytes);
    format.setProperty(TextAttachment::FileType, typeOfImage(bytes));
    return format;
}

} // namespace

ArchiveRef AttachmentCoder::encode(const QTextCharFormat& format, const QTextDocument& document)
{
    QString className = format.property(TextAttachment::ClassName).toString();
    if (format.isImageFormat()) {
        if (className.isEmpty() || className == QLatin1String(TextAttachment::ImageClass)) {
            return encodeImage(format.toImageFormat(), document);
        }
        return encodeFileAttachment(format, className);
    }
    if (format.objectType() != TextAttachment::ObjectType) {
        return nullptr;
    }
    return encodeFileAttachment(format,
                                className.isEmpty() ? QString::fromLatin1(TextAttachment::PlainClass) : className);
}

QByteArray AttachmentCoder::imageBytes(const ArchiveObject& object)
{
    if (object.kind() != ArchiveObject::Kind::Instance) {
        return {};
    }
    if (object.className() == QLatin1String(TextAttachment::ImageClass)) {
        ArchiveRef image = object.value(ImageKey);
        ArchiveRef bytes = image && image->isKindOf(QStringLiteral("UIImage")) ? image->value(ImageDataKey) : nullptr;
        return bytes ? bytes->toData() : QByteArray();
    }
    const bool checkbox = object.className() == QLatin1String(TextAttachment::CheckedClass) ||
                          object.className() == QLatin1String(TextAttachment::UncheckedClass);
    if (checkbox || !object.isKindOf(QString::fromLatin1(TextAttachment::PlainClass))) {
        return {};
    }
    ArchiveRef wrapper = object.value(WrapperKey);
    ArchiveRef contents = wrapper ? wrapper->value(WrapperContentsKey) : nullptr;
    const QByteArray bytes = contents ? contents->toData() : QByteArray();
    return typeOfImage(bytes).isEmpty() ? QByteArray() : bytes;
}

std::optional<QTextCharFormat> AttachmentCoder::decode(const ArchiveObject& object, QTextDocument& document, int index,
                                                       const QImage* preread)
{
    if (object.kind() != ArchiveObject::Kind::Instance) {
        return std::nullopt;
    }
    const QString className = object.className();
    if (className == QLatin1String(TextAttachment::ImageClass)) {
        ArchiveRef image = object.value(ImageKey);
        ArchiveRef bytes = image ? image->value(ImageDataKey) : nullptr;
        if (!bytes || !image->isKindOf(QStringLiteral("UIImage"))) {
            return std::nullopt;
        }
        return imageFormat(bytes->toData(), className, document, index, preread);
    }
    if (!object.isKindOf(QString::fromLatin1(TextAttachment::PlainClass))) {
        return std::nullopt;
    }
    ArchiveRef wrapper = object.value(WrapperKey);
    ArchiveRef contentsField = wrapper ? wrapper->value(WrapperContentsKey) : nullptr;
    const QByteArray contents = contentsField ? contentsField->toData() : QByteArray();
    ArchiveRef typeField = object.value(FileTypeKey);
    const QString type = typeField ? typeField->toString() : QString();
    const bool checkbox = className == QLatin1String(TextAttachment::CheckedClass) ||
                          className == QLatin1String(TextAttachment::UncheckedClass);
    if (!checkbox && !typeOfImage(contents).isEmpty()) {
        if (auto format = imageFormat(contents, className, document, index, preread)) {
            return format;
        }
    }
    QTextCharFormat format;
    format.setObjectType(TextAttachment::ObjectType);
    format.setProperty(TextAttachment::ClassName, className);
    if (!contents.isEmpty()) {
        format.setProperty(TextAttachment::FileContents, contents);
    }
    if (!type.isEmpty()) {
        format.setProperty(TextAttachment::FileType, type);
    }
    if (checkbox) {
        format.setProperty(TextAttachment::Descender, CheckboxDescender);
    }
    return format;
}
