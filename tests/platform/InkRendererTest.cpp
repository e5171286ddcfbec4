#include "platform/ink/InkRenderer.h"
#include "InkTestDrawings.h"

#include <QImage>
#include <QPainter>
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

namespace {

// A pen stroke along y = 50 from x = 10 whose pressure is each given value in turn, one point every `step` points.
InkStroke pressureStroke(std::initializer_list<float> pressures, qreal step, float width = 12.0f,
                         QColor color = Qt::black)
{
    InkStroke stroke(InkKind::Pen, color, width);
    float x = 10.0f;
    float time = 0.0f;
    for (float pressure : pressures) {
        stroke.append(InkPoint{x, 50.0f, pressure, time});
        x += float(step);
        time += 0.01f;
    }
    return stroke;
}

QImage drawn(const InkStroke& stroke, qreal scale = 1.0)
{
    return InkRenderer::image(inkDrawing({stroke}), QRectF(0, 0, 100, 100), scale, {});
}

} // namespace

TEST(InkPressureStroke, widthFollowsThePressureAtEachPart)
{
    // Full pressure for the first 40 points (12 wide: 6 either side), none for the last 30 (3 wide).
    const QImage image = drawn(pressureStroke({1, 1, 1, 1, 1, 0, 0, 0, 0}, 10.0));
    EXPECT_EQ(qAlpha(image.pixel(30, 44)), 255);
    EXPECT_EQ(qAlpha(image.pixel(30, 55)), 255);
    EXPECT_EQ(qAlpha(image.pixel(30, 42)), 0);
    EXPECT_EQ(qAlpha(image.pixel(30, 57)), 0);
    EXPECT_EQ(qAlpha(image.pixel(80, 50)), 255);
    EXPECT_EQ(qAlpha(image.pixel(80, 49)), 255);
    EXPECT_EQ(qAlpha(image.pixel(80, 47)), 0);
    EXPECT_EQ(qAlpha(image.pixel(80, 52)), 0);
}

TEST(InkPressureStroke, pressureChangingAtEveryPointLeavesNoGapAndNoDoubledInk)
{
    // Half-transparent ink: a gap would show as less, an overlap of two parts as more.
    const QImage image =
        drawn(pressureStroke({1, 0.5f, 1, 0.5f, 1, 0.5f, 1, 0.5f, 1, 0.5f, 1}, 8.0, 12.0f, QColor(0, 0, 0, 128)));
    for (int x = 12; x < 88; ++x) {
        EXPECT_EQ(qAlpha(image.pixel(x, 50)), 128) << x;
        EXPECT_EQ(qAlpha(image.pixel(x, 47)), 128) << x;
    }
}

TEST(InkPressureStroke, endsAreRound)
{
    // The stroke ends at (90, 50), 6 wide either side: inside the circle is ink, the square's corner is not.
    const QImage image = drawn(pressureStroke({0.5f, 1, 1, 1, 1, 1, 1, 1, 1}, 10.0));
    EXPECT_EQ(qAlpha(image.pixel(93, 53)), 255);
    EXPECT_EQ(qAlpha(image.pixel(93, 46)), 255);
    EXPECT_EQ(qAlpha(image.pixel(95, 55)), 0);
    EXPECT_EQ(qAlpha(image.pixel(95, 44)), 0);
    EXPECT_EQ(qAlpha(image.pixel(97, 50)), 0);
    // The start, at (10, 50) and half pressure (3.75 either side), is round too.
    EXPECT_EQ(qAlpha(image.pixel(7, 50)), 255);
    EXPECT_EQ(qAlpha(image.pixel(6, 46)), 0);
}

TEST(InkPressureStroke, sharpTurnIsJoinedRoundWithoutAHole)
{
    // Out along y = 50 and straight back along y = 56 in ink half transparent: the bend at (90, 50)-(90, 56) is
    // covered once, and the far side of the turn is round.
    InkStroke stroke(InkKind::Pen, QColor(0, 0, 0, 128), 12.0f);
    stroke.append({10, 50, 1.0f, 0.0f});
    stroke.append({50, 50, 0.9f, 0.1f});
    stroke.append({90, 50, 1.0f, 0.2f});
    stroke.append({90, 56, 1.0f, 0.3f});
    stroke.append({50, 56, 1.0f, 0.4f});
    const QImage image = drawn(stroke);
    EXPECT_EQ(qAlpha(image.pixel(88, 53)), 128);
    EXPECT_EQ(qAlpha(image.pixel(60, 53)), 128);
    EXPECT_EQ(qAlpha(image.pixel(94, 53)), 128);
    EXPECT_EQ(qAlpha(image.pixel(95, 44)), 0);
}

TEST(InkPressureStroke, pointsOnOneSpotDrawARoundDot)
{
    InkStroke stroke(InkKind::Pen, Qt::black, 12.0f);
    stroke.append({50, 50, 1.0f, 0.0f});
    stroke.append({50, 50, 0.0f, 0.1f});
    const QImage image = drawn(stroke);
    EXPECT_EQ(qAlpha(image.pixel(50, 45)), 255);
    EXPECT_EQ(qAlpha(image.pixel(45, 50)), 255);
    EXPECT_EQ(qAlpha(image.pixel(55, 55)), 0);
}

TEST(InkPressureStroke, markerIsHalfOpaqueAndThinInkAHairline)
{
    const QImage marker =
        InkRenderer::image(inkDrawing({inkStroke({{10, 50}, {90, 50}}, 12.0f, Qt::black, InkKind::Marker, 1.0f)}),
                           QRectF(0, 0, 100, 100), 1.0, {});
    EXPECT_NEAR(qAlpha(marker.pixel(50, 50)), 128, 1);
    // 2 points wide at a quarter scale is half a pixel: a one-pixel line at half opacity.
    const QImage hairline = drawn(pressureStroke({1, 0.5f, 1, 0.5f, 1, 0.5f, 1, 0.5f, 1}, 10.0, 2.0f), 0.25);
    EXPECT_NEAR(qAlpha(hairline.pixel(10, 12)), 128, 2);
    EXPECT_EQ(qAlpha(hairline.pixel(10, 10)), 0);
    EXPECT_EQ(qAlpha(hairline.pixel(10, 14)), 0);
}

TEST(InkRender, partOfAStrokeCrossingTheAreaDrawsTheSegmentsThatEnterIt)
{
    // Both points lie outside the area; only the segment between them crosses it.
    const InkStroke stroke = inkStroke({{-100, 50}, {300, 50}}, 6.0f);
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    InkRenderer::paintStrokePart(painter, stroke, QRectF(0, 0, 200, 100), 1.0, false);
    painter.end();
    EXPECT_GT(qAlpha(image.pixel(100, 50)), 200);
    EXPECT_GT(qAlpha(image.pixel(2, 50)), 200);
    EXPECT_EQ(qAlpha(image.pixel(100, 20)), 0);
}

TEST(InkRender, evenStrokeFollowsEveryBendOfItsLine)
{
    // An even-pressure stroke is drawn as one polyline: its corner must be kept, not cut from end to end.
    const QImage image = drawn(inkStroke({{10, 10}, {90, 10}, {90, 90}}, 4.0f));
    EXPECT_GT(qAlpha(image.pixel(90, 50)), 200);
    EXPECT_GT(qAlpha(image.pixel(50, 10)), 200);
    EXPECT_EQ(qAlpha(image.pixel(50, 50)), 0);
}
