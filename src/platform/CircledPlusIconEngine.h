#pragma once

#include "DrawnSymbolIconEngine.h"

// A ring with a plus inside, the "plus.circle" symbol: the theme's nearest glyph ("list-add") is a bare plus.
class CircledPlusIconEngine : public DrawnSymbolIconEngine {
public:
    static inline const QString SymbolName = QStringLiteral("plus.circle");
    // The ring's diameter and the plus's arms as shares of the glyph's side.
    static constexpr qreal RingShare = 0.86;
    static constexpr qreal ArmShare = 0.46;

    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;
};
