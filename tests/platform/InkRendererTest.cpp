#include "platform/ink/InkRenderer.h"
#include "InkTestDrawings.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

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

// A transparent image of size with what paint draws on it.
template <class Paint> QImage paintedImage(QSize size, Paint paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter);
    painter.end();
    return image;
}

constexpr int Ink = 255;
constexpr int Blank = 0;

// A pixel of an image and the alpha it must have there.
struct Alpha {
    int x;
    int y;
    int alpha;
};

void expectAlphas(const QImage& image, std::initializer_list<Alpha> expected)
{
    for (const Alpha& pixel : expected)
        EXPECT_EQ(qAlpha(image.pixel(pixel.x, pixel.y)), pixel.alpha) << "at " << pixel.x << ", " << pixel.y;
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

TEST(InkDarkScheme, storedPictureShowsLightAndKeepsItsSoftEdges)
{
    // A sketch's stored picture: black ink, drawn in its stored colour on nothing, with antialiased edges.
    const InkDrawing drawing = inkDrawing({inkStroke({{10, 20}, {90, 70}}, 6.0f, Qt::black)});
    const QImage rendered = InkRenderer::image(drawing, QRectF(0, 0, 100, 100), 0.5, {});
    ASSERT_FALSE(rendered.isNull());
    // As rendered, and as read back from its PNG.
    for (const QImage& stored : {rendered, rendered.convertToFormat(QImage::Format_ARGB32)}) {
        EXPECT_EQ(InkRenderer::displayImage(stored, false), stored);
        const QImage shown = InkRenderer::displayImage(stored, true);
        ASSERT_EQ(shown.size(), stored.size());
        int soft = 0;
        for (int y = 0; y < stored.height(); ++y) {
            for (int x = 0; x < stored.width(); ++x) {
                const int alpha = qAlpha(stored.pixel(x, y));
                soft += alpha > 0 && alpha < 255;
                // Every pixel keeps its opacity, a soft edge's too, and takes the light ink's colour.
                const QRgb expected = alpha == 0 ? 0 : InkRenderer::displayColor(QColor(0, 0, 0, alpha), true).rgba();
                ASSERT_EQ(shown.pixelColor(x, y).rgba(), expected) << "at " << x << ", " << y << " of alpha " << alpha;
            }
        }
        EXPECT_GT(soft, 20) << "the stroke has antialiased edges";
    }
}

TEST(InkRender, pressureThinsThePen)
{
    // Full pressure draws the whole width (12: 6 either side); none draws a quarter of it (3).
    const QRectF rect(0, 0, 100, 100);
    const QImage full = InkRenderer::image(
        inkDrawing({inkStroke({{10, 50}, {90, 50}}, 12.0f, Qt::black, InkKind::Pen, 1.0f)}), rect, 1.0, {});
    const QImage light = InkRenderer::image(
        inkDrawing({inkStroke({{10, 50}, {90, 50}}, 12.0f, Qt::black, InkKind::Pen, 0.0f)}), rect, 1.0, {});
    expectAlphas(full, {{50, 45, Ink}});
    expectAlphas(light, {{50, 45, Blank}, {50, 50, Ink}});
}

namespace {

// A pen stroke along y = 50 from x = 10 whose pressure is each given value in turn, one point every `step` points.
InkStroke pressureStroke(std::initializer_list<float> pressures, qreal step, float width = 12.0f,
                         QColor color = Qt::black, InkKind kind = InkKind::Pen)
{
    InkStroke stroke(kind, color, width);
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
    expectAlphas(image, {{30, 44, Ink}, {30, 55, Ink}, {30, 42, Blank}, {30, 57, Blank}});
    expectAlphas(image, {{80, 50, Ink}, {80, 49, Ink}, {80, 47, Blank}, {80, 52, Blank}});
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
    expectAlphas(image, {{93, 53, Ink}, {93, 46, Ink}, {95, 55, Blank}, {95, 44, Blank}, {97, 50, Blank}});
    // The start, at (10, 50) and half pressure (3.75 either side), is round too.
    expectAlphas(image, {{7, 50, Ink}, {6, 46, Blank}});
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
    expectAlphas(drawn(stroke), {{88, 53, 128}, {60, 53, 128}, {94, 53, 128}, {95, 44, Blank}});

    // A right-angle corner, turned either way: both arms are ink right across, on the inside of the corner too.
    InkStroke downward(InkKind::Pen, Qt::black, 16.0f);
    downward.append({10, 20, 1.0f, 0.0f});
    downward.append({60, 20, 0.8f, 0.1f});
    downward.append({60, 80, 1.0f, 0.2f});
    expectAlphas(drawn(downward), {{45, 15, Ink}, {45, 24, Ink}, {55, 50, Ink}, {64, 50, Ink}});
    InkStroke upward(InkKind::Pen, Qt::black, 16.0f);
    upward.append({10, 80, 1.0f, 0.0f});
    upward.append({60, 80, 0.8f, 0.1f});
    upward.append({60, 20, 1.0f, 0.2f});
    expectAlphas(drawn(upward), {{45, 75, Ink}, {45, 84, Ink}, {55, 55, Ink}, {64, 55, Ink}});
}

TEST(InkPressureStroke, pointsOnOneSpotDrawARoundDot)
{
    InkStroke stroke(InkKind::Pen, Qt::black, 12.0f);
    stroke.append({50, 50, 1.0f, 0.0f});
    stroke.append({50, 50, 0.0f, 0.1f});
    expectAlphas(drawn(stroke), {{50, 45, Ink}, {45, 50, Ink}, {55, 55, Blank}});
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
    const QImage image = paintedImage(QSize(200, 100), [&](QPainter& painter) {
        InkRenderer::paintStrokePart(painter, stroke, QRectF(0, 0, 200, 100), 1.0, false);
    });
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

TEST(InkPressureStroke, strokeTurningStraightBackIsRoundAtTheTurnWhicheverWayItRuns)
{
    // Out along an axis from 30 before (50, 50) and straight back over the same line: the turn is exactly
    // reversed, and its far side must be a half circle as at an end (6 either side), never cut flat or square.
    const QPointF turn(50, 50);
    for (const QPointF way : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)}) {
        const QPointF start = turn - 30 * way;
        const QPointF back = turn - 20 * way;
        InkStroke stroke(InkKind::Pen, Qt::black, 12.0f);
        stroke.append({float(start.x()), float(start.y()), 0.9f, 0.0f});
        stroke.append({float(turn.x()), float(turn.y()), 1.0f, 0.1f});
        stroke.append({float(back.x()), float(back.y()), 1.0f, 0.2f});
        const QImage image = drawn(stroke);
        // Probes name the pixel holding a point: 3 beyond the turn, 8 beyond it, and the corner a square would have.
        const QPointF across(way.y(), way.x());
        const auto pixel = [&](QPointF at) {
            return QPoint(int(std::floor(at.x())), int(std::floor(at.y())));
        };
        const QPoint tip = pixel(turn + QPointF(0.5, 0.5) + 3 * way);
        const QPoint beyond = pixel(turn + QPointF(0.5, 0.5) + 8 * way);
        const QPoint corner = pixel(turn + 5.5 * way + 5.5 * across);
        const QPoint otherCorner = pixel(turn + 5.5 * way - 5.5 * across);
        SCOPED_TRACE(testing::Message() << "running " << way.x() << ", " << way.y());
        expectAlphas(image, {{tip.x(), tip.y(), Ink},
                             {beyond.x(), beyond.y(), Blank},
                             {corner.x(), corner.y(), Blank},
                             {otherCorner.x(), otherCorner.y(), Blank}});
    }
}

TEST(InkPressureStroke, curveDrawnInStepsFinerThanAPixelKeepsItsBend)
{
    // A quarter circle of radius 40 about (10, 90), from (10, 50) round to (50, 90), with a point every third of a
    // point: points too close to the last one kept to show are passed over, never merged into one straight chord.
    InkStroke stroke(InkKind::Pen, Qt::black, 8.0f);
    constexpr int Steps = 200;
    for (int i = 0; i <= Steps; ++i) {
        const double angle = std::numbers::pi / 2 * i / Steps;
        stroke.append({float(10 + 40 * std::sin(angle)), float(90 - 40 * std::cos(angle)), i % 2 ? 1.0f : 0.9f,
                       float(i) * 0.001f});
    }
    // Halfway round the arc is ink; halfway along the chord, 12 inside the arc, is not.
    expectAlphas(drawn(stroke), {{38, 61, Ink}, {30, 70, Blank}});
}

namespace {

// The ink across column x of the image, in pixels' worth of full alpha.
double columnInk(const QImage& image, int x)
{
    double sum = 0.0;
    for (int y = 0; y < image.height(); ++y)
        sum += qAlpha(image.pixel(x, y)) / 255.0;
    return sum;
}

} // namespace

TEST(InkPressureStroke, pressureShowsFromRoundJoinWidthAndBelowItOneEvenLineIsDrawn)
{
    // Full pressure along x 10–50, none along 50–90. Drawn exactly 3 device pixels wide (12 at a quarter scale)
    // the width follows the pressure: 3 pixels where it is full, 0.75 where there is none.
    const InkStroke stroke = pressureStroke({1, 1, 1, 1, 1, 0, 0, 0, 0}, 10.0);
    const QImage atLimit = drawn(stroke, 0.25);
    EXPECT_NEAR(columnInk(atLimit, 7), 3.0, 0.3);
    EXPECT_NEAR(columnInk(atLimit, 20), 0.75, 0.3);
    // Any thinner, the change would be under a pixel: one line at the mean pressure (8 wide) is drawn instead.
    const QImage below = drawn(stroke, 0.2);
    EXPECT_NEAR(columnInk(below, 6), 1.6, 0.3);
    EXPECT_NEAR(columnInk(below, 16), 1.6, 0.3);
}

TEST(InkRender, strokeExactlyAtTheHairlineWidthIsDrawnAtItsWidth)
{
    // 4 points at 0.3 is exactly 1.2 device pixels: drawn 1.2 wide, not as a one-pixel hairline.
    const QImage image = drawn(inkStroke({{10, 50}, {90, 50}}, 4.0f), 0.3);
    EXPECT_NEAR(columnInk(image, 15), 1.2, 0.08);
    // Any thinner, a hairline of one pixel.
    const QImage thinner = drawn(inkStroke({{10, 50}, {90, 50}}, 4.0f), 0.275);
    EXPECT_NEAR(columnInk(thinner, 14), 1.0, 0.08);
}

TEST(InkRender, unknownDeviceScaleGivesOnePointOfSlackAroundTheArea)
{
    // With no device scale to go by (0), a stroke within a point of the area is painted and one further off is not.
    const InkDrawing drawing =
        inkDrawing({inkStroke({{10, 10}, {10, 40}}, 2.0f), inkStroke({{60, 10}, {60, 40}}, 2.0f)});
    const QImage image = paintedImage(QSize(100, 50), [&](QPainter& painter) {
        InkRenderer::paint(painter, drawing, QRectF(11.5, 0, 40, 50), 0.0, false);
    });
    EXPECT_GT(qAlpha(image.pixel(10, 25)), 0);
    EXPECT_EQ(qAlpha(image.pixel(60, 25)), 0);
}

TEST(InkRender, partOfAStrokeLeavesOutThePointsOfSegmentsAwayFromTheArea)
{
    // Only the last segment, from (90, 60) to (10, 60), enters the strip x < 20: the corners before it, each
    // between two segments that stay away, are not drawn at all, not even as a dot.
    const InkStroke stroke = inkStroke({{60, 10}, {90, 10}, {90, 60}, {10, 60}}, 6.0f);
    const QImage image = paintedImage(QSize(100, 100), [&](QPainter& painter) {
        InkRenderer::paintStrokePart(painter, stroke, QRectF(0, 0, 20, 100), 1.0, false);
    });
    expectAlphas(image, {{15, 60, Ink}, {90, 10, Blank}, {60, 10, Blank}, {90, 35, Blank}});
    // With no device scale to go by (0) the reach is the half width and a point: still only that segment.
    const QImage unscaled = paintedImage(QSize(100, 100), [&](QPainter& painter) {
        InkRenderer::paintStrokePart(painter, stroke, QRectF(0, 0, 20, 100), 0.0, false);
    });
    EXPECT_GT(qAlpha(unscaled.pixel(15, 59)) + qAlpha(unscaled.pixel(15, 60)), 0);
    expectAlphas(unscaled, {{75, 10, Blank}, {90, 35, Blank}});
    // A stroke of a single segment away from the area is not drawn either.
    const QImage away = paintedImage(QSize(100, 100), [&](QPainter& painter) {
        InkRenderer::paintStrokePart(painter, inkStroke({{60, 10}, {90, 10}}, 6.0f), QRectF(0, 0, 20, 100), 1.0, false);
    });
    expectAlphas(away, {{75, 10, Blank}});
    // A dot across the area's edge is drawn whole.
    const QImage dot = paintedImage(QSize(100, 100), [&](QPainter& painter) {
        InkRenderer::paintStrokePart(painter, inkStroke({{20, 50}}, 6.0f), QRectF(0, 0, 20, 100), 1.0, false);
    });
    expectAlphas(dot, {{18, 50, Ink}, {21, 50, Ink}});
}

TEST(InkRender, evenStrokeExactlyAtTheRoundJoinWidthHasRoundEnds)
{
    // 12 points at a quarter scale is exactly 3 device pixels: the end about (22.5, 12.5) is a half circle, so the
    // pixel at its corner is only partly inked where a square end would fill it.
    const QImage image = drawn(inkStroke({{10, 50}, {90, 50}}, 12.0f), 0.25);
    EXPECT_EQ(qAlpha(image.pixel(21, 12)), Ink);
    EXPECT_LT(qAlpha(image.pixel(23, 11)), 160);
}

TEST(InkRenderCaps, sliverUnderOnePixelWideStillGetsTheWholePixelBudget)
{
    // Half a point wide and 400 long at a budget of 100 pixels: the width takes one pixel whatever the scale, so
    // the length alone must fit, at a quarter scale: 1 × 100 pixels.
    EXPECT_EQ(InkRenderer::cappedScale(QSizeF(0.5, 400), 1.0, 100), 0.25);
    InkRenderer::Options options;
    options.maxPixels = 100;
    const QImage image = InkRenderer::image(inkDrawing({inkStroke({{0.25, 2}, {0.25, 398}}, 0.5f)}),
                                            QRectF(0, 0, 0.5, 400), 1.0, options);
    EXPECT_EQ(image.size(), QSize(1, 100));
}

TEST(InkPressureStroke, markerLaysOneEvenBandWhateverThePressure)
{
    // Full pressure along x 10–50 and none along 50–90: a marker is as wide everywhere as its mean pressure makes
    // it (8 of 12) and half opaque, 4 pixels' worth of ink across it at either end.
    const QImage image = drawn(pressureStroke({1, 1, 1, 1, 1, 0, 0, 0, 0}, 10.0, 12.0f, Qt::black, InkKind::Marker));
    EXPECT_NEAR(columnInk(image, 30), 4.0, 0.3);
    EXPECT_NEAR(columnInk(image, 80), 4.0, 0.3);
}

TEST(InkRender, imageOfARectangleAwayFromTheOriginShowsThatPart)
{
    // The stroke along y = 150 from x = 110 to 190 lies in the rectangle from (100, 100): 50 down in its image.
    const InkDrawing drawing = inkDrawing({inkStroke({{110, 150}, {190, 150}}, 6.0f)});
    const QImage image = InkRenderer::image(drawing, QRectF(100, 100, 100, 100), 1.0, {});
    ASSERT_EQ(image.size(), QSize(100, 100));
    expectAlphas(image, {{50, 50, Ink}, {5, 50, Blank}, {50, 20, Blank}});
}
