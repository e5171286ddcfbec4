#pragma once

#include "DrawnSymbolIconEngine.h"

// A chevron pointing up or down: "chevron.up" and "chevron.down" stand tall, their "compact" twins are wide and
// flat. The theme draws all four alike, so a menu holding both, as the text-size menu does, would show one arrow
// twice.
class ChevronIconEngine : public DrawnSymbolIconEngine {
public:
    ChevronIconEngine(bool up, bool compact);

    QIconEngine* clone() const override;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;

private:
    bool m_up;
    bool m_compact;
};
