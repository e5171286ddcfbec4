#include "CardTypeIconEngine.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {

// Glyphs are drawn this many times larger than needed before they are cut and scaled down, so the smallest
// theme sizes still give clean edges.
constexpr int WorkScale = 4;

// The smallest rectangle holding every pixel of image that is not fully transparent.
QRect inkBounds(const QImage& image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

CardTypeIconEngine::CardTypeIconEngine(const QIcon& glyph, const QColor& tileColor, const QColor& glyphColor)
    : m_glyph(glyph), m_tileColor(tileColor), m_glyphColor(glyphColor)
{
}

QImage CardTypeIconEngine::glyphImage(const QIcon& glyph, int side, const QColor& color)
{
    QImage out(side, side, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    if (glyph.isNull() || side <= 0)
        return out;
    const int work = side * WorkScale;
    QImage drawn = glyph.pixmap(QSize(work, work)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRect ink = inkBounds(drawn);
    if (ink.isEmpty())
        return out;
    // Only the outline is kept; the theme's own colours give way to the one asked for.
    QImage shape = drawn.copy(ink);
    {
        QPainter tint(&shape);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shape.rect(), color);
    }
    const QSize fitted = ink.size().scaled(side, side, Qt::KeepAspectRatio);
    const QRect target(QPoint((side - fitted.width()) / 2, (side - fitted.height()) / 2), fitted);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, shape);
    return out;
}

QImage CardTypeIconEngine::tile(int side)
{
    auto found = m_tiles.constFind(side);
    if (found != m_tiles.constEnd())
        return *found;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    const qreal radius = side * CornerShare;
    shape.addRoundedRect(QRectF(0, 0, side, side), radius, radius);
    painter.fillPath(shape, m_tileColor);
    const int glyphSide = int(std::lround(side * GlyphShare));
    const int offset = (side - glyphSide) / 2;
    painter.drawImage(QPoint(offset, offset), glyphImage(m_glyph, glyphSide, m_glyphColor));
    painter.end();
    m_tiles.insert(side, image);
    return image;
}

void CardTypeIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const int side = std::min(rect.width(), rect.height());
    QPixmap drawn = pixmap(QSize(side, side) * ratio, mode, state);
    drawn.setDevicePixelRatio(ratio);
    const QRect square(rect.left() + (rect.width() - side) / 2, rect.top() + (rect.height() - side) / 2, side, side);
    painter->drawPixmap(square, drawn);
}

QPixmap CardTypeIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    const int side = std::min(size.width(), size.height());
    if (side <= 0)
        return {};
    QImage image = tile(side);
    if (mode == QIcon::Disabled) {
        QPainter fade(&image);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        fade.fillRect(image.rect(), QColor(0, 0, 0, 110));
    }
    return QPixmap::fromImage(image);
}

QIconEngine* CardTypeIconEngine::clone() const
{
    return new CardTypeIconEngine(m_glyph, m_tileColor, m_glyphColor);
}

QList<QSize> CardTypeIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64), QSize(128, 128)};
}
