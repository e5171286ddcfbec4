#pragma once

#include <QColor>
#include <QIcon>
#include <QIconEngine>

// An icon as another draws it, in one flat colour when given a tint, and dimmed for a disabled control: the
// glyph's own shape, its edges' softness kept, at ColorScheme::DisabledOpacity. So a disabled button looks the
// same on every bar, fainter than its enabled self yet still seen, where the style's own greying would leave
// some schemes' glyphs looking enabled and others nearly invisible on a coloured bar.
class TintedIconEngine : public QIconEngine {
public:
    // Without a valid tint the glyph keeps the colours it was drawn in.
    explicit TintedIconEngine(QIcon icon, QColor tint = QColor());

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    QIconEngine* clone() const override;

private:
    QIcon m_icon;
    QColor m_tint;
};
