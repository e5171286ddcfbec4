#include "QJUncheckedCheckboxAttachment.h"

#include "CheckboxImages.h"
#include "platform/text/TextAttachment.h"

QJUncheckedCheckboxAttachment::QJUncheckedCheckboxAttachment(const QByteArray& contents, const QString& fileType,
                                                             bool dark)
    : CheckboxAttachment(contents, fileType, CheckboxImages::nameFor(false, dark))
{
}

QString QJUncheckedCheckboxAttachment::className() const
{
    return QString::fromLatin1(TextAttachment::UncheckedClass);
}
