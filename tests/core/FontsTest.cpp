#include "core/Fonts.h"

#include <QFont>
#include <gtest/gtest.h>

TEST(FontsTest, defaultFontIsHelveticaAtTheAskedSize)
{
    const QFont font = Fonts::getDefaultFontWithSize(14);
    EXPECT_EQ(font.family(), QStringLiteral("Helvetica"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 14.0);
}

TEST(FontsTest, traitsAndSizeComeFromTargetFaceFromSource)
{
    QFont target(QStringLiteral("Times"));
    target.setPointSizeF(12);
    target.setBold(true);
    QFont source = Fonts::getDefaultFontWithSize(30);
    source.setItalic(true);

    const QFont up = Fonts::getAdjustedFontWithTargetFont(target, source, 1.25, false);
    EXPECT_EQ(up.family(), QStringLiteral("Helvetica"));
    EXPECT_TRUE(up.bold());
    EXPECT_FALSE(up.italic()) << "the source's slant must not leak into the result";
    EXPECT_DOUBLE_EQ(up.pointSizeF(), 15.0);

    target.setPointSizeF(15);
    EXPECT_DOUBLE_EQ(Fonts::getAdjustedFontWithTargetFont(target, source, 1.25, true).pointSizeF(), 12.0);
}

TEST(FontsTest, factorOneKeepsSizeEitherWay)
{
    QFont target(QStringLiteral("Courier"));
    target.setPointSizeF(13);
    const QFont source = Fonts::getDefaultFontWithSize(9);
    EXPECT_DOUBLE_EQ(Fonts::getAdjustedFontWithTargetFont(target, source, 1, true).pointSizeF(), 13.0);
    EXPECT_DOUBLE_EQ(Fonts::getAdjustedFontWithTargetFont(target, source, 1, false).pointSizeF(), 13.0);
}

TEST(FontsTest, zeroOrNegativeZoomNeverGivesAnInfiniteSize)
{
    QFont target(QStringLiteral("Helvetica"));
    target.setPointSizeF(16);
    const QFont source = Fonts::getDefaultFontWithSize(14);
    EXPECT_DOUBLE_EQ(Fonts::getAdjustedFontWithTargetFont(target, source, 0, true).pointSizeF(), 16.0);
    EXPECT_DOUBLE_EQ(Fonts::getAdjustedFontWithTargetFont(target, source, -2, false).pointSizeF(), 16.0);
}
