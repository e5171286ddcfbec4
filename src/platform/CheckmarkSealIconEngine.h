#pragma once

#include "DrawnSymbolIconEngine.h"

// A filled seal (a disc with a scalloped rim) with a tick cut out of it: "checkmark.seal.fill", the glyph of the
// Done tag, which the icon theme only offers as a plain tick.
class CheckmarkSealIconEngine : public DrawnSymbolIconEngine {
public:
    QIconEngine* clone() const override;

    // How many scallops run round the rim.
    static constexpr int Scallops = 12;

protected:
    void drawGlyph(QPainter& painter, const QRectF& square) const override;
};
