#pragma once

#include "DrawnSymbolIconEngine.h"

// A small capital A beside a large one, "textformat.size": the text-size command, which the theme has no glyph for
// but "bigger" and "smaller" arrows.
class TextSizeIconEngine : public DrawnSymbolIconEngine {
public:
    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;
};
