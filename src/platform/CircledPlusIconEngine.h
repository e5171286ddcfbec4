#pragma once

#include <QIconEngine>

// A ring with a plus inside, the "plus.circle" symbol: the theme's nearest glyph ("list-add") is a bare plus. Drawn
// in the ink of the scheme in force, as the theme's glyphs are, so a dark window shows it light.
class CircledPlusIconEngine : public QIconEngine {
public:
    static inline const QString SymbolName = QStringLiteral("plus.circle");
    // The ring's diameter and the plus's arms as shares of the icon's side.
    static constexpr qreal RingShare = 0.86;
    static constexpr qreal ArmShare = 0.46;

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
};
