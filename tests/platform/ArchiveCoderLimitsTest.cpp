#include "TestImages.h"
#include "platform/archive/AttachmentCoder.h"
#include "platform/archive/TextAttributeCoder.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <cmath>

#include <gtest/gtest.h>

namespace {

QByteArray pngOfSize(int width, int height)
{
    return solidPng(width, height, Qt::black, QImage::Format_Grayscale8);
}

double fontSizeRead(double archived)
{
    const ArchiveRef font = ArchiveObject::instance(
        QStringLiteral("UIFont"), {{QStringLiteral("UIFontName"), ArchiveObject::string("Georgia")},
                                   {QStringLiteral("UIFontPointSize"), ArchiveObject::real(archived)}});
    QTextCharFormat format;
    EXPECT_TRUE(TextAttributeCoder::applyFont(*font, format));
    return format.fontPointSize();
}

QTextBlockFormat paragraphRead(const ArchiveObject::Fields& fields)
{
    const ArchiveRef style = ArchiveObject::instance(QStringLiteral("NSParagraphStyle"), fields);
    QTextBlockFormat format;
    EXPECT_TRUE(TextAttributeCoder::applyParagraphStyle(*style, format));
    return format;
}

ArchiveRef tabStops(int count)
{
    QList<ArchiveRef> stops;
    for (int i = 0; i < count; ++i)
        stops.append(ArchiveObject::instance(QStringLiteral("NSTextTab"),
                                             {{QStringLiteral("NSLocation"), ArchiveObject::real(10.0 * (i + 1))}}));
    return ArchiveObject::array(stops);
}

} // namespace

TEST(ArchiveCoderLimitsTest, picturesExactlyAtTheSideLimitAreReadAndOnePixelMoreAreRefused)
{
    const int side = AttachmentCoder::MaxImageSide;
    EXPECT_EQ(AttachmentCoder::readImage(pngOfSize(side, 1)).size(), QSize(side, 1));
    EXPECT_EQ(AttachmentCoder::readImage(pngOfSize(1, side)).size(), QSize(1, side));
    EXPECT_TRUE(AttachmentCoder::readImage(pngOfSize(side + 1, 1)).isNull());
    EXPECT_TRUE(AttachmentCoder::readImage(pngOfSize(1, side + 1)).isNull());
}

TEST(ArchiveCoderLimitsTest, fontSizesStayBetweenOneAnd1638Points)
{
    EXPECT_EQ(fontSizeRead(1638.0), 1638.0);
    EXPECT_EQ(fontSizeRead(1639.0), 1638.0);
    EXPECT_EQ(fontSizeRead(1.0), 1.0);
    EXPECT_EQ(fontSizeRead(0.5), 1.0);
}

TEST(ArchiveCoderLimitsTest, indentsStopAtTheirCap)
{
    EXPECT_EQ(paragraphRead({{QStringLiteral("NSHeadIndent"), ArchiveObject::real(100000.0)}}).leftMargin(), 100000.0);
    EXPECT_EQ(paragraphRead({{QStringLiteral("NSHeadIndent"), ArchiveObject::real(100001.0)}}).leftMargin(), 100000.0);
}

TEST(ArchiveCoderLimitsTest, paragraphKeepsExactly256TabStops)
{
    const QList<QTextOption::Tab> kept = paragraphRead({{QStringLiteral("NSTabStops"), tabStops(256)}}).tabPositions();
    ASSERT_EQ(kept.size(), 256);
    EXPECT_EQ(kept.last().position, 2560.0);
    const QList<QTextOption::Tab> capped =
        paragraphRead({{QStringLiteral("NSTabStops"), tabStops(257)}}).tabPositions();
    ASSERT_EQ(capped.size(), 256);
    EXPECT_EQ(capped.last().position, 2560.0);
}

TEST(ArchiveCoderLimitsTest, realReadAsAnIntegerKeepsItsWholePartOnlyInsideTheIntegerRange)
{
    EXPECT_EQ(ArchiveObject::real(2.75)->toInteger(7), 2);
    EXPECT_EQ(ArchiveObject::real(-9.1e18)->toInteger(7), qint64(-9.1e18));
    // Casting a real beyond the range is undefined: a hostile archive's 1e300 must read as the fallback.
    EXPECT_EQ(ArchiveObject::real(-9.2e18)->toInteger(7), 7);
    EXPECT_EQ(ArchiveObject::real(9.2e18)->toInteger(7), 7);
    EXPECT_EQ(ArchiveObject::real(1e300)->toInteger(7), 7);
    EXPECT_EQ(ArchiveObject::real(std::nan(""))->toInteger(7), 7);
}

TEST(ArchiveCoderLimitsTest, colourWhoseWhiteLevelIsNoNumberReadsItsOtherComponents)
{
    const ArchiveRef colour =
        ArchiveObject::instance(QStringLiteral("NSColor"), {{QStringLiteral("UIWhite"), ArchiveObject::string("x")},
                                                            {QStringLiteral("NSWhite"), ArchiveObject::data("0.6")}});
    EXPECT_EQ(TextAttributeCoder::decodeColor(*colour), QColor::fromRgbF(0.6f, 0.6f, 0.6f));
}
