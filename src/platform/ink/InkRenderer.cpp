#include "InkRenderer.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace {

// Ink below this lightness counts as near-black.
constexpr float DarkInkLightness = 0.25f;
// The lightness near-black ink takes in the dark scheme: that of light text on a dark background.
constexpr float LightenedInkLightness = 0.87f;
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

float meanPressure(std::span<const InkPoint> points)
{
    double sum = 0.0;
    for (const InkPoint& point : points)
        sum += point.pressure;
    return float(sum / double(points.size()));
}

// Points closer than this many device pixels to the last one drawn add nothing visible and are passed over.
constexpr qreal MinDeviceStep = 0.75;

void paintPolyline(QPainter& painter, std::span<const InkPoint> points, size_t from, size_t to, qreal deviceScale)
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

// A point of a pressure-drawn stroke's spine and half the drawn width there.
struct SpinePoint {
    QPointF at;
    qreal half;
};

// The stroke's points less those too close to the last kept one to show, each with its half width.
std::vector<SpinePoint> spine(const InkStroke& stroke, qreal deviceScale)
{
    const std::span<const InkPoint> points = stroke.points();
    const qreal minStep = MinDeviceStep / deviceScale;
    const qreal minStep2 = minStep * minStep;
    std::vector<SpinePoint> kept;
    kept.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const SpinePoint point{points[i].position(), InkStroke::widthAt(stroke.width(), points[i].pressure) / 2.0};
        if (kept.empty()) {
            kept.push_back(point);
            continue;
        }
        const QPointF delta = point.at - kept.back().at;
        if (QPointF::dotProduct(delta, delta) >= minStep2)
            kept.push_back(point);
        else if (i + 1 == points.size() && kept.size() > 1)
            kept.back() = point; // the stroke still ends where the pen lifted
        else if (i + 1 == points.size() && delta != QPointF())
            kept.push_back(point);
    }
    return kept;
}

QPointF unitNormal(QPointF from, QPointF to)
{
    const QPointF delta = to - from;
    const qreal length = std::hypot(delta.x(), delta.y());
    return QPointF(-delta.y() / length, delta.x() / length);
}

// The points strictly inside an arc about centre from the direction `from`, turning by sweep radians, close enough
// to the true circle that no device pixel tells them apart.
void appendArc(QPolygonF& outline, QPointF centre, qreal radius, QPointF from, qreal sweep, qreal deviceScale)
{
    const qreal deviceRadius = radius * deviceScale;
    // The chord of this angle strays a quarter of a device pixel from the circle.
    const qreal step = deviceRadius > 0.25 ? 2.0 * std::acos(1.0 - 0.25 / deviceRadius) : std::numbers::pi;
    const int pieces = int(std::ceil(std::abs(sweep) / step));
    const qreal start = std::atan2(from.y(), from.x());
    for (int piece = 1; piece < pieces; ++piece) {
        const qreal angle = start + sweep * piece / pieces;
        outline.append(centre + radius * QPointF(std::cos(angle), std::sin(angle)));
    }
}

qreal turn(QPointF from, QPointF to)
{
    return std::atan2(from.x() * to.y() - from.y() * to.x(), QPointF::dotProduct(from, to));
}

// The left edge of the spine from its first point to its last, then the round end cap. Where the spine bends to
// the left the edge passes through the spine point, so that the overlapping edges still fill under the winding rule;
// where it bends away the edge goes round the point.
void appendSide(QPolygonF& outline, const std::vector<SpinePoint>& points, qreal deviceScale)
{
    QPointF normal;
    for (size_t k = 0; k + 1 < points.size(); ++k) {
        const QPointF next = unitNormal(points[k].at, points[k + 1].at);
        if (k > 0) {
            const QPointF direction(next.y(), -next.x());
            if (QPointF::dotProduct(direction, normal) > 0.0) {
                outline.append(points[k].at);
            } else {
                // Round the outside, which lies the negative way as at the end. A spine turning exactly back turns
                // by π or by -π as the signs of its zeros fall, and only -π goes round the outside.
                appendArc(outline, points[k].at, points[k].half, normal, -std::abs(turn(normal, next)), deviceScale);
            }
        }
        normal = next;
        outline.append(points[k].at + normal * points[k].half);
        outline.append(points[k + 1].at + normal * points[k + 1].half);
    }
    const SpinePoint& last = points.back();
    appendArc(outline, last.at, last.half, normal, -std::numbers::pi, deviceScale);
}

// A stroke whose width follows the pen's pressure, filled as one outline: its width changes smoothly along it,
// with round joins and ends, at the cost of a single fill.
void paintPressureOutline(QPainter& painter, const InkStroke& stroke, QColor color, qreal deviceScale)
{
    std::vector<SpinePoint> points = spine(stroke, deviceScale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    if (points.size() == 1) {
        painter.drawEllipse(points.front().at, points.front().half, points.front().half);
    } else {
        QPolygonF outline;
        outline.reserve(qsizetype(points.size()) * 6);
        appendSide(outline, points, deviceScale);
        std::reverse(points.begin(), points.end());
        appendSide(outline, points, deviceScale);
        painter.drawPolygon(outline, Qt::WindingFill);
    }
    painter.setBrush(Qt::NoBrush);
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

QImage InkRenderer::displayImage(const QImage& stored, bool dark)
{
    if (!dark || stored.isNull())
        return stored;
    // Unpremultiplied, so that a soft edge's colour is the stroke's own and only its opacity is partial.
    QImage shown = stored.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if (qAlpha(row[x]) != 0)
                row[x] = displayColor(QColor::fromRgba(row[x]), true).rgba();
        }
    }
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
        paintPressureOutline(painter, stroke, color, deviceScale);
    }
}

void InkRenderer::paintStrokePart(QPainter& painter, const InkStroke& stroke, const QRectF& area, qreal deviceScale,
                                  bool dark)
{
    const std::span<const InkPoint> points = stroke.points();
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
    qreal byCount = std::sqrt(qreal(maxPixels)) / std::sqrt(size.width()) / std::sqrt(size.height());
    // A side under one pixel still takes a whole one, so then the longer side alone must fit the count.
    if (std::min(size.width(), size.height()) * byCount < 1.0)
        byCount = qreal(maxPixels) / std::max(size.width(), size.height());
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
