#include "platform/ink/InkRenderer.h"
#include "InkTestDrawings.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Alpha of the image's pixel at a drawing position, for an image of rect at scale.
int alphaAt(const QImage& image, QPointF position, const QRectF& rect, qreal scale)
{
    const QPointF pixel = (position - rect.topLeft()) * scale;
    return qAlpha(image.pixel(int(pixel.x()), int(pixel.y())));
}

QColor colorAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).toRgb();
}

} // namespace

TEST(InkBounds, singlePointTakesInHalfTheWidthOnEverySide)
{
    EXPECT_EQ(inkStroke({{10, 20}}, 4.0f).bounds(), QRectF(8, 18, 4, 4));
}

TEST(InkBounds, lineBoundsAreItsExtentGrownByHalfTheWidth)
{
    EXPECT_EQ(inkStroke({{10, 20}, {110, 60}, {50, 80}}, 6.0f).bounds(), QRectF(7, 17, 106, 66));
}

TEST(InkBounds, drawingBoundsUniteItsStrokesAndEmptyIsNull)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{0, 0}}, 2.0f), inkStroke({{100, 50}}, 10.0f)});
    EXPECT_EQ(drawing.bounds(), QRectF(-1, -1, 106, 56));
    EXPECT_TRUE(InkDrawing().bounds().isNull());
}

TEST(InkRender, imageSizeIsTheRectangleAtTheScale)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{2, 2}, {398, 98}}, 4.0f)});
    EXPECT_EQ(drawing.bounds(), QRectF(0, 0, 400, 100));
    EXPECT_EQ(InkRenderer::image(drawing, drawing.bounds(), 0.25, {}).size(), QSize(100, 25));
    EXPECT_EQ(InkRenderer::image(drawing, drawing.bounds(), 3.0, {}).size(), QSize(1200, 300));
}

TEST(InkRender, inkIsOpaqueAndTheRestTransparent)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{10, 50}, {90, 50}}, 6.0f)});
    const QRectF rect(0, 0, 100, 100);
    const QImage image = InkRenderer::image(drawing, rect, 2.0, {});
    EXPECT_EQ(alphaAt(image, {50, 50}, rect, 2.0), 255);
    EXPECT_EQ(alphaAt(image, {50, 10}, rect, 2.0), 0);
    EXPECT_EQ(alphaAt(image, {2, 2}, rect, 2.0), 0);
}

TEST(InkRender, rectangleAwayFromTheInkIsEmpty)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{500, 500}, {600, 600}}, 6.0f)});
    const QImage image = InkRenderer::image(drawing, QRectF(0, 0, 50, 50), 1.0, {});
    ASSERT_FALSE(image.isNull());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
}

TEST(InkRenderCaps, pixelCapLowersTheScale)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{-1e6, -1e6}, {1e6, 1e6}}, 4.0f)});
    InkRenderer::Options options;
    options.maxPixels = 1000000;
    qreal used = 0.0;
    const QImage image = InkRenderer::image(drawing, drawing.bounds(), 1.0, options, &used);
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(qint64(image.width()) * image.height(), 1000000);
    EXPECT_GT(qint64(image.width()) * image.height(), 900000);
    EXPECT_LT(used, 1.0);
}

TEST(InkRenderCaps, defaultCapHoldsForTheWidestDrawing)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{-1e6, 0}, {1e6, 0}}, 4.0f)});
    const QImage image = InkRenderer::image(drawing, drawing.bounds(), 3.0, {});
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(image.width(), InkRenderer::MaxImageSide);
    EXPECT_LE(qint64(image.width()) * image.height(), InkRenderer::DefaultMaxPixels);
}

TEST(InkRenderCaps, requestExactlyAtTheCapKeepsItsScale)
{
    InkRenderer::Options options;
    options.maxPixels = 100 * 25;
    qreal used = 0.0;
    const QImage image =
        InkRenderer::image(inkDrawing({inkStroke({{2, 2}, {398, 98}})}), QRectF(0, 0, 400, 100), 0.25, options, &used);
    EXPECT_EQ(image.size(), QSize(100, 25));
    EXPECT_EQ(used, 0.25);
}

TEST(InkRenderCaps, invalidRectanglesAndScalesGiveNoImage)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{0, 0}, {10, 10}})});
    const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
    const qreal inf = std::numeric_limits<qreal>::infinity();
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(), 1.0, {}).isNull());
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(0, 0, 10, 10), nan, {}).isNull());
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(0, 0, 10, 10), 0.0, {}).isNull());
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(0, 0, 10, 10), -1.0, {}).isNull());
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(0, 0, inf, 10), 1.0, {}).isNull());
    EXPECT_TRUE(InkRenderer::image(drawing, QRectF(nan, 0, 10, 10), 1.0, {}).isNull());
    // A finite but enormous request is met at a lower scale instead.
    const QImage huge = InkRenderer::image(drawing, QRectF(0, 0, 1e300, 1e300), 1e300, {});
    ASSERT_FALSE(huge.isNull());
    EXPECT_LE(qint64(huge.width()) * huge.height(), InkRenderer::DefaultMaxPixels);
}

TEST(InkDarkScheme, nearBlackInkShowsLightAndKeepsItsStoredColour)
{
    const InkDrawing drawing = inkDrawing({inkStroke({{10, 50}, {90, 50}}, 8.0f, Qt::black)});
    InkRenderer::Options dark;
    dark.dark = true;
    const QImage image = InkRenderer::image(drawing, QRectF(0, 0, 100, 100), 1.0, dark);
    EXPECT_GT(colorAt(image, 50, 50).lightnessF(), 0.7);
    EXPECT_EQ(drawing.strokes()[0].color(), QColor(Qt::black));
    const QImage light = InkRenderer::image(drawing, QRectF(0, 0, 100, 100), 1.0, {});
    EXPECT_LT(colorAt(light, 50, 50).lightnessF(), 0.1);
}

TEST(InkDarkScheme, colouredInkIsUnchanged)
{
    EXPECT_EQ(InkRenderer::displayColor(QColor(0xD7, 0x30, 0x27), true), QColor(0xD7, 0x30, 0x27));
    EXPECT_EQ(InkRenderer::displayColor(Qt::black, false), QColor(Qt::black));
    const QColor shown = InkRenderer::displayColor(QColor(0, 0, 0, 128), true);
    EXPECT_EQ(shown.alpha(), 128);
    EXPECT_GT(shown.lightnessF(), 0.7);
}

TEST(InkRender, pressureThinsThePen)
{
    // Full pressure draws the whole width (12: 6 either side); none draws a quarter of it (3).
    const QRectF rect(0, 0, 100, 100);
    const QImage full = InkRenderer::image(
        inkDrawing({inkStroke({{10, 50}, {90, 50}}, 12.0f, Qt::black, InkKind::Pen, 1.0f)}), rect, 1.0, {});
    const QImage light = InkRenderer::image(
        inkDrawing({inkStroke({{10, 50}, {90, 50}}, 12.0f, Qt::black, InkKind::Pen, 0.0f)}), rect, 1.0, {});
    EXPECT_EQ(qAlpha(full.pixel(50, 45)), 255);
    EXPECT_EQ(qAlpha(light.pixel(50, 45)), 0);
    EXPECT_EQ(qAlpha(light.pixel(50, 50)), 255);
}
