#include "QJCheckboxAttachment.h"

#include "CheckboxImages.h"
#include "platform/text/TextAttachment.h"

QJCheckboxAttachment::QJCheckboxAttachment(const QByteArray& contents, const QString& fileType, bool dark)
    : CheckboxAttachment(contents, fileType, CheckboxImages::nameFor(true, dark))
{
}

QString QJCheckboxAttachment::className() const
{
    return QString::fromLatin1(TextAttachment::CheckedClass);
}
