#pragma once

#include "DrawnSymbolIconEngine.h"

// A triangle's outline standing on its base with an exclamation mark inside, "exclamationmark.triangle": the
// theme's warning glyphs are coloured or speech bubbles, which lose their mark when drawn in one colour.
class ExclamationTriangleIconEngine : public DrawnSymbolIconEngine {
public:
    static inline const QString SymbolName = QStringLiteral("exclamationmark.triangle");

    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;
};
