#include "CheckboxAttachment.h"

#include "CheckboxImages.h"
#include "QJCheckboxAttachment.h"
#include "QJUncheckedCheckboxAttachment.h"
#include "platform/text/TextAttachment.h"

CheckboxAttachment::CheckboxAttachment(const QByteArray& contents, const QString& fileType, const QString& imageName)
    : m_contents(contents), m_fileType(fileType), m_imageName(imageName)
{
}

QImage CheckboxAttachment::image() const
{
    return CheckboxImages::imageNamed(m_imageName);
}

QRectF CheckboxAttachment::scaleImageSizeToHeight(float height)
{
    const QImage box = image();
    const QSizeF size = box.isNull() ? QSizeF(0, 0) : box.deviceIndependentSize();
    float factor = 1.0f;
    // Computed in double and kept in single precision, as for images.
    if (size.height() > height)
        factor = float((double(height) * 0.9) / size.height());
    m_bounds = QRectF(0, m_descender, size.width() * factor, size.height() * factor);
    return m_bounds;
}

QTextCharFormat CheckboxAttachment::format() const
{
    QTextCharFormat format;
    format.setObjectType(TextAttachment::ObjectType);
    format.setProperty(TextAttachment::ClassName, className());
    if (!m_contents.isNull())
        format.setProperty(TextAttachment::FileContents, m_contents);
    if (!m_fileType.isNull())
        format.setProperty(TextAttachment::FileType, m_fileType);
    format.setProperty(TextAttachment::Descender, m_descender);
    format.setProperty(ImageNameProperty, m_imageName);
    return format;
}

bool CheckboxAttachment::isCheckboxFormat(const QTextFormat& format)
{
    if (format.objectType() != TextAttachment::ObjectType)
        return false;
    const QString name = format.stringProperty(TextAttachment::ClassName);
    return name == QLatin1String(TextAttachment::CheckedClass) || name == QLatin1String(TextAttachment::UncheckedClass);
}

std::unique_ptr<CheckboxAttachment> CheckboxAttachment::fromFormat(const QTextFormat& format, bool dark)
{
    if (!isCheckboxFormat(format))
        return nullptr;
    const QByteArray contents = format.property(TextAttachment::FileContents).toByteArray();
    const QString fileType = format.stringProperty(TextAttachment::FileType);
    if (format.stringProperty(TextAttachment::ClassName) == QLatin1String(TextAttachment::CheckedClass))
        return std::make_unique<QJCheckboxAttachment>(contents, fileType, dark);
    return std::make_unique<QJUncheckedCheckboxAttachment>(contents, fileType, dark);
}
