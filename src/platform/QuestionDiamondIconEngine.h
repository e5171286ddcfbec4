#pragma once

#include "DrawnSymbolIconEngine.h"

// A filled diamond (a square stood on its corner) with a question mark cut out of it: "questionmark.diamond.fill",
// the glyph of the Question tag, which the icon theme only offers as an information sign.
class QuestionDiamondIconEngine : public DrawnSymbolIconEngine {
public:
    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;
};
