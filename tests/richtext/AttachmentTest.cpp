#include "platform/text/TextAttachment.h"
#include "TestImages.h"
#include "richtext/CheckboxAttachment.h"
#include "richtext/CheckboxImages.h"
#include "richtext/QJCheckboxAttachment.h"
#include "richtext/QJTextAttachment.h"
#include "richtext/QJUncheckedCheckboxAttachment.h"

#include <QBuffer>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

QImage filled(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

QByteArray png(const QImage& image)
{
    return encodePng(image);
}

} // namespace

TEST(AttachmentTest, wideImageShrinksToNinetyPercentOfTheLine)
{
    QJTextAttachment wide(filled(1000, 200));
    const QRectF bounds = wide.scaleImageSizeToWidth(500);
    EXPECT_NEAR(bounds.width(), 450.0, 1e-3);
    EXPECT_NEAR(bounds.height(), 90.0, 1e-3);
    EXPECT_EQ(bounds.topLeft(), QPointF(0, 0));
    EXPECT_EQ(wide.bounds(), bounds);

    QJTextAttachment narrow(filled(400, 300));
    EXPECT_EQ(narrow.scaleImageSizeToWidth(500), QRectF(0, 0, 400, 300));
}

TEST(AttachmentTest, imageWithoutPictureTakesNoRoom)
{
    QJTextAttachment none = QJTextAttachment::initWithData(QByteArray("not an image"), QStringLiteral("public.data"));
    EXPECT_TRUE(none.image().isNull());
    EXPECT_EQ(none.scaleImageSizeToWidth(500).size(), QSizeF(0, 0));
}

TEST(AttachmentTest, imageFromDataReadsTheContents)
{
    const QJTextAttachment fromPng = QJTextAttachment::initWithData(png(filled(30, 20)), QStringLiteral("public.png"));
    EXPECT_EQ(fromPng.image().size(), QSize(30, 20));
}

TEST(AttachmentTest, imageFormatRoundTripsThroughTheDocument)
{
    QTextDocument document;
    const QTextImageFormat format = QJTextAttachment(filled(12, 7)).format(document);
    EXPECT_EQ(format.stringProperty(TextAttachment::ClassName), QStringLiteral("QJTextAttachment"));
    EXPECT_EQ(QJTextAttachment::fromFormat(format, document).image().size(), QSize(12, 7));
}

TEST(AttachmentTest, tallCheckboxShrinksToNinetyPercentOfTheLineBelowTheBaseline)
{
    QJCheckboxAttachment box;
    EXPECT_DOUBLE_EQ(box.descender(), -4.0);
    const double side = CheckboxImages::Side;
    const QRectF bounds = box.scaleImageSizeToHeight(10);
    EXPECT_DOUBLE_EQ(bounds.y(), -4.0);
    EXPECT_NEAR(bounds.height(), 9.0, 1e-4);
    EXPECT_NEAR(bounds.width(), 9.0, 1e-4);

    const QRectF roomy = box.scaleImageSizeToHeight(40);
    EXPECT_EQ(roomy, QRectF(0, -4.0, side, side));
}

TEST(AttachmentTest, checkboxImageFollowsTheAppearanceAtCreation)
{
    const QJCheckboxAttachment light;
    const QJCheckboxAttachment dark({}, {}, true);
    const QJUncheckedCheckboxAttachment lightEmpty;
    const QJUncheckedCheckboxAttachment darkEmpty({}, {}, true);
    EXPECT_EQ(light.imageName(), QStringLiteral("checkbox-checked.png"));
    EXPECT_EQ(dark.imageName(), QStringLiteral("checkbox-checked-dark.png"));
    EXPECT_EQ(lightEmpty.imageName(), QStringLiteral("checkbox-unchecked.png"));
    EXPECT_EQ(darkEmpty.imageName(), QStringLiteral("checkbox-unchecked-dark.png"));
    EXPECT_FALSE(light.image().isNull());
    EXPECT_NE(light.image(), dark.image());
    EXPECT_NE(light.image(), lightEmpty.image());
}

TEST(AttachmentTest, checkboxFormatKeepsItsKindAndFile)
{
    const QJUncheckedCheckboxAttachment box(QByteArray("file"), QStringLiteral("public.png"));
    const QTextCharFormat format = box.format();
    EXPECT_EQ(format.objectType(), TextAttachment::ObjectType);
    EXPECT_TRUE(CheckboxAttachment::isCheckboxFormat(format));

    const std::unique_ptr<CheckboxAttachment> again = CheckboxAttachment::fromFormat(format, true);
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(again->isChecked());
    EXPECT_EQ(again->className(), QStringLiteral("QJUncheckedCheckboxAttachment"));
    EXPECT_EQ(again->contents(), QByteArray("file"));
    EXPECT_EQ(again->fileType(), QStringLiteral("public.png"));
    EXPECT_EQ(again->imageName(), QStringLiteral("checkbox-unchecked-dark.png"));

    QTextCharFormat plain;
    plain.setObjectType(TextAttachment::ObjectType);
    plain.setProperty(TextAttachment::ClassName, QStringLiteral("NSTextAttachment"));
    EXPECT_EQ(CheckboxAttachment::fromFormat(plain, false), nullptr);
}

TEST(AttachmentBoundsTest, pictureExactlyAsWideAsTheLineKeepsItsSizeAndOnePointNarrowerLineShrinksIt)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QJTextAttachment attachment(picture);
    EXPECT_EQ(attachment.scaleImageSizeToWidth(200.0f).size(), QSizeF(200, 100));
    // 90 % of the line: 199 * 0.9 = 179.1 wide, the height in proportion.
    const QSizeF shrunk = attachment.scaleImageSizeToWidth(199.0f).size();
    EXPECT_NEAR(shrunk.width(), 179.1, 0.001);
    EXPECT_NEAR(shrunk.height(), 89.55, 0.001);
}

TEST(AttachmentBoundsTest, checkboxExactlyAsTallAsTheLineKeepsItsSizeAndOnePointLowerLineShrinksIt)
{
    QJCheckboxAttachment box;
    const QSizeF own = box.image().deviceIndependentSize();
    ASSERT_GT(own.height(), 1.0);
    EXPECT_EQ(box.scaleImageSizeToHeight(float(own.height())).size(), own);
    const QSizeF shrunk = box.scaleImageSizeToHeight(float(own.height() - 1)).size();
    EXPECT_NEAR(shrunk.height(), (own.height() - 1) * 0.9, 0.001);
}
