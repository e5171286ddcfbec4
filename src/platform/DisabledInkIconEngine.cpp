#include "DisabledInkIconEngine.h"

#include "ColorScheme.h"

#include <QPainter>
#include <QPixmap>
#include <utility>

DisabledInkIconEngine::DisabledInkIconEngine(QIcon icon) : m_icon(std::move(icon))
{
}

void DisabledInkIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
}

QPixmap DisabledInkIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    if (mode != QIcon::Disabled)
        return m_icon.pixmap(size, 1.0, mode, state);
    // The glyph's own shape, its edges' softness kept, in one flat colour.
    QPixmap glyph = m_icon.pixmap(size, 1.0, QIcon::Normal, state);
    QPainter painter(&glyph);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(glyph.rect(), ColorScheme::disabledColor());
    return glyph;
}

QSize DisabledInkIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return m_icon.actualSize(size, mode, state);
}

QList<QSize> DisabledInkIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return m_icon.availableSizes(mode, state);
}

QString DisabledInkIconEngine::iconName()
{
    return m_icon.name();
}

QIconEngine* DisabledInkIconEngine::clone() const
{
    return new DisabledInkIconEngine(m_icon);
}
