#include "TintedIconEngine.h"

#include "ColorScheme.h"

#include <QPainter>
#include <QPixmap>
#include <utility>

TintedIconEngine::TintedIconEngine(QIcon icon, QColor tint) : m_icon(std::move(icon)), m_tint(std::move(tint))
{
}

void TintedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap TintedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    const bool disabled = mode == QIcon::Disabled;
    if (!m_tint.isValid() && !disabled)
        return m_icon.pixmap(size, 1.0, mode, state);
    QPixmap glyph = m_icon.pixmap(size, 1.0, QIcon::Normal, state);
    QPainter painter(&glyph);
    if (m_tint.isValid()) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(glyph.rect(), disabled ? ColorScheme::dimmed(m_tint) : m_tint);
    } else {
        // Only the coverage changes: each pixel keeps its colour at the disabled share of its opacity.
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(glyph.rect(), ColorScheme::dimmed(Qt::black));
    }
    return glyph;
}

QSize TintedIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return m_icon.actualSize(size, mode, state);
}

QList<QSize> TintedIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return m_icon.availableSizes(mode, state);
}

QString TintedIconEngine::iconName()
{
    return m_icon.name();
}

QIconEngine* TintedIconEngine::clone() const
{
    return new TintedIconEngine(m_icon, m_tint);
}
