#include "InkRenderer.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

// Ink below this lightness counts as near-black.
constexpr float DarkInkLightness = 0.25f;
// The lightness near-black ink takes in the dark scheme: that of light text on a dark background.
constexpr float LightenedInkLightness = 0.87f;
// Pressure changes smaller than one step share a width, so a stroke is drawn as a few lines, not one per segment.
constexpr int PressureSteps = 12;
// Below this drawn width in device pixels a stroke is drawn as a single hairline.
constexpr qreal HairlineWidth = 1.2;
// Below this drawn width in device pixels round joins look no different from bevelled ones, which cost far less.
constexpr qreal RoundJoinWidth = 3.0;
constexpr qreal MarkerOpacity = 0.5;

QPen inkPen(QColor color, qreal width, qreal deviceWidth)
{
    const bool round = deviceWidth >= RoundJoinWidth;
    return QPen(color, width, Qt::SolidLine, round ? Qt::RoundCap : Qt::SquareCap,
                round ? Qt::RoundJoin : Qt::BevelJoin);
}

float meanPressure(const std::vector<InkPoint>& points)
{
    double sum = 0.0;
    for (const InkPoint& point : points)
        sum += point.pressure;
    return float(sum / double(points.size()));
}

qreal steppedPressure(float pressure)
{
    return std::round(pressure * PressureSteps) / PressureSteps;
}

// Points closer than this many device pixels to the last one drawn add nothing visible and are passed over.
constexpr qreal MinDeviceStep = 0.75;

void paintPolyline(QPainter& painter, const std::vector<InkPoint>& points, size_t from, size_t to, qreal deviceScale)
{
    const qreal minStep = MinDeviceStep / deviceScale;
    const qreal minStep2 = minStep * minStep;
    QPolygonF line;
    line.reserve(qsizetype(to - from));
    line.append(points[from].position());
    for (size_t i = from + 1; i < to; ++i) {
        const QPointF at = points[i].position();
        const QPointF delta = at - line.back();
        // The last point is always kept, so the line ends where the stroke does.
        if (QPointF::dotProduct(delta, delta) >= minStep2 || i + 1 == to)
            line.append(at);
    }
    if (line.size() == 1)
        painter.drawPoint(line.front());
    else
        painter.drawPolyline(line);
}

// Runs of segments whose pressure rounds to the same step are drawn as one line of that width.
void paintPressureRuns(QPainter& painter, const InkStroke& stroke, QColor color, qreal deviceScale)
{
    const auto& points = stroke.points();
    size_t start = 0;
    qreal runPressure = steppedPressure(points.front().pressure);
    for (size_t i = 1; i <= points.size(); ++i) {
        const bool end = i == points.size();
        const qreal pressure = end ? runPressure : steppedPressure(points[i].pressure);
        if (!end && pressure == runPressure)
            continue;
        const qreal width = InkStroke::widthAt(stroke.width(), float(runPressure));
        painter.setPen(inkPen(color, width, width * deviceScale));
        // The run ends at the point where the next begins, so the line has no gaps.
        paintPolyline(painter, points, start, std::min(i + 1, points.size()), deviceScale);
        start = i;
        runPressure = pressure;
    }
}

} // namespace

QColor InkRenderer::displayColor(QColor stored, bool dark)
{
    if (!dark || stored.lightnessF() >= DarkInkLightness)
        return stored;
    const float lightness = LightenedInkLightness - float(stored.lightnessF()) * 0.5f;
    QColor shown = QColor::fromHslF(stored.hslHueF(), stored.hslSaturationF(), lightness);
    shown.setAlphaF(stored.alphaF());
    return shown;
}

void InkRenderer::paintStroke(QPainter& painter, const InkStroke& stroke, qreal deviceScale, bool dark)
{
    if (stroke.isEmpty())
        return;
    QColor color = displayColor(stroke.color(), dark);
    if (stroke.kind() == InkKind::Marker)
        color.setAlphaF(color.alphaF() * MarkerOpacity);
    const qreal deviceWidth = stroke.width() * deviceScale;
    if (deviceWidth < HairlineWidth) {
        // A cosmetic hairline, its weight carried by its opacity: far cheaper at summary scales.
        color.setAlphaF(color.alphaF() * std::clamp(deviceWidth, 0.2, 1.0));
        painter.setPen(inkPen(color, 0.0, 0.0));
        paintPolyline(painter, stroke.points(), 0, stroke.points().size(), deviceScale);
    } else if (stroke.hasUniformPressure() || stroke.kind() == InkKind::Marker || deviceWidth < RoundJoinWidth) {
        // Pressure changes a line this thin by less than a pixel: one line at the mean pressure shows the same.
        const qreal width = InkStroke::widthAt(stroke.width(), meanPressure(stroke.points()));
        painter.setPen(inkPen(color, width, width * deviceScale));
        paintPolyline(painter, stroke.points(), 0, stroke.points().size(), deviceScale);
    } else {
        paintPressureRuns(painter, stroke, color, deviceScale);
    }
}

void InkRenderer::paintStrokePart(QPainter& painter, const InkStroke& stroke, const QRectF& area, qreal deviceScale,
                                  bool dark)
{
    const auto& points = stroke.points();
    if (points.size() < 2 || area.contains(stroke.bounds())) {
        paintStroke(painter, stroke, deviceScale, dark);
        return;
    }
    const qreal reach = stroke.width() / 2.0 + (deviceScale > 0.0 ? 1.0 / deviceScale : 1.0);
    // Grown before the test: a level segment's own rectangle has no height, and would meet nothing.
    const auto meets = [&](size_t i) {
        return QRectF(points[i - 1].position(), points[i].position())
            .normalized()
            .adjusted(-reach, -reach, reach, reach)
            .intersects(area);
    };
    size_t i = 1;
    while (i < points.size()) {
        if (!meets(i)) {
            ++i;
            continue;
        }
        InkStroke piece(stroke.kind(), stroke.color(), stroke.width());
        piece.append(points[i - 1]);
        for (; i < points.size() && meets(i); ++i)
            piece.append(points[i]);
        paintStroke(painter, piece, deviceScale, dark);
    }
}

void InkRenderer::paint(QPainter& painter, const InkDrawing& drawing, const QRectF& area, qreal deviceScale, bool dark)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // A device pixel of slack for antialiasing beyond the exact bounds.
    const qreal slack = deviceScale > 0.0 ? 1.0 / deviceScale : 1.0;
    const QRectF reach = area.adjusted(-slack, -slack, slack, slack);
    for (const InkStroke& stroke : drawing.strokes())
        if (stroke.bounds().intersects(reach))
            paintStroke(painter, stroke, deviceScale, dark);
}

QSize InkRenderer::pixelSize(const QSizeF& size, qreal scale)
{
    // A hair below the next whole pixel counts as that pixel: 400 points at 0.25 are 100 pixels, not 101.
    const auto side = [scale](qreal length) {
        return std::max(1.0, std::ceil(length * scale - 1e-6));
    };
    return QSize(int(std::min<qreal>(side(size.width()), INT_MAX / 2)),
                 int(std::min<qreal>(side(size.height()), INT_MAX / 2)));
}

qreal InkRenderer::cappedScale(const QSizeF& size, qreal scale, qint64 maxPixels)
{
    maxPixels = std::max<qint64>(maxPixels, 1);
    // The exact limits first, each side's root taken apart so that vast sizes cannot overflow the product.
    const qreal bySide = MaxImageSide / std::max(size.width(), size.height());
    const qreal byCount = std::sqrt(qreal(maxPixels)) / std::sqrt(size.width()) / std::sqrt(size.height());
    scale = std::min({scale, bySide, byCount});
    // Then a little lower while rounding each side up to a whole pixel still overshoots.
    for (int attempt = 0; attempt < 64 && scale > 0.0; ++attempt) {
        const QSize pixels = pixelSize(size, scale);
        if (qint64(pixels.width()) * pixels.height() <= maxPixels && pixels.width() <= MaxImageSide &&
            pixels.height() <= MaxImageSide)
            return scale;
        scale *= 0.99;
    }
    return 0.0;
}

QImage InkRenderer::image(const InkDrawing& drawing, const QRectF& rect, qreal scale, const Options& options,
                          qreal* usedScale)
{
    const bool usable = std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
                        std::isfinite(rect.height()) && rect.width() > 0.0 && rect.height() > 0.0 &&
                        std::isfinite(scale) && scale > 0.0;
    if (!usable)
        return QImage();
    scale = cappedScale(rect.size(), scale, options.maxPixels);
    if (scale <= 0.0)
        return QImage();
    if (usedScale)
        *usedScale = scale;
    QImage image(pixelSize(rect.size(), scale), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(options.background);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-rect.topLeft());
    paint(painter, drawing, rect, scale, options.dark);
    return image;
}
