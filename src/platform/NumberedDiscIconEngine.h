#pragma once

#include "DrawnSymbolIconEngine.h"

// A filled disc with a number cut out of it, the glyph of the numbered symbols ("1.circle.fill" …).
class NumberedDiscIconEngine : public DrawnSymbolIconEngine {
public:
    explicit NumberedDiscIconEngine(int number);

    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;

private:
    int m_number;
};
