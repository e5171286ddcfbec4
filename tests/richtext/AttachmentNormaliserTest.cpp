#include "richtext/AttachmentNormaliser.h"
#include "TestImages.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/QJCheckboxAttachment.h"
#include "richtext/QJTextAttachment.h"

#include "TextFormats.h"
#include "platform/text/TextAttachment.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QByteArray pngOf(int width, int height)
{
    return solidPng(width, height, Qt::green);
}

void insertObject(QTextDocument& document, const QTextCharFormat& format)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

} // namespace

TEST(AttachmentNormaliserTest, pastedFileAttachmentBecomesAnImageKeepingOnlyItsPicture)
{
    QTextDocument document;
    QTextCharFormat pasted;
    pasted.setObjectType(TextAttachment::ObjectType);
    pasted.setProperty(TextAttachment::ClassName, QStringLiteral("NSTextAttachment"));
    pasted.setProperty(TextAttachment::FileContents, pngOf(8, 6));
    pasted.setProperty(TextAttachment::FileType, QStringLiteral("public.png"));
    insertObject(document, pasted);

    AttachmentNormaliser::normalise(document, false);
    const QTextCharFormat format = formatAt(document, 0);
    ASSERT_TRUE(format.isImageFormat());
    EXPECT_EQ(format.stringProperty(TextAttachment::ClassName), QStringLiteral("QJTextAttachment"));
    EXPECT_FALSE(format.hasProperty(TextAttachment::FileContents));
    EXPECT_EQ(QJTextAttachment::fromFormat(format, document).image().size(), QSize(8, 6));
}

TEST(AttachmentNormaliserTest, imageOfAnotherClassIsRelabelled)
{
    QTextDocument document;
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::black);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("rtf:picture1")), image);
    QTextImageFormat fromRtf;
    fromRtf.setName(QStringLiteral("rtf:picture1"));
    fromRtf.setProperty(TextAttachment::ClassName, QStringLiteral("NSTextAttachment"));
    insertObject(document, fromRtf);

    AttachmentNormaliser::normalise(document, false);
    const QTextCharFormat format = formatAt(document, 0);
    ASSERT_TRUE(format.isImageFormat());
    EXPECT_EQ(format.stringProperty(TextAttachment::ClassName), QStringLiteral("QJTextAttachment"));
}

TEST(AttachmentNormaliserTest, attachmentWithNothingToShowIsDroppedNotKept)
{
    QTextDocument document;
    QTextCharFormat empty;
    empty.setObjectType(TextAttachment::ObjectType);
    empty.setProperty(TextAttachment::ClassName, QStringLiteral("NSTextAttachment"));
    empty.setProperty(TextAttachment::FileContents, QByteArray("zip bytes"));
    insertObject(document, empty);

    AttachmentNormaliser::normalise(document, false);
    const QTextCharFormat format = formatAt(document, 0);
    EXPECT_FALSE(AttachmentNormaliser::isAttachment(format));
    EXPECT_EQ(document.characterCount(), 2) << "the character stays; only the attachment goes";
}

TEST(AttachmentNormaliserTest, checkboxesAreRemadeForTheCurrentAppearance)
{
    QTextDocument document;
    QJCheckboxAttachment light(QByteArray("box"), QStringLiteral("public.png"), false);
    light.setDescender(3.0);
    insertObject(document, light.format());

    AttachmentNormaliser::normalise(document, true);
    const QTextCharFormat format = formatAt(document, 0);
    EXPECT_EQ(format.stringProperty(TextAttachment::ClassName), QStringLiteral("QJCheckboxAttachment"));
    EXPECT_EQ(format.stringProperty(CheckboxAttachment::ImageNameProperty),
              QStringLiteral("checkbox-checked-dark.png"));
    EXPECT_DOUBLE_EQ(format.doubleProperty(TextAttachment::Descender), -4.0);
    EXPECT_EQ(format.property(TextAttachment::FileContents).toByteArray(), QByteArray("box"));
}
