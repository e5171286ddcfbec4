#pragma once

#include <QColor>
#include <QIconEngine>

class QRectF;

// A glyph that no icon theme carries, drawn by us. It takes the ink of the scheme in force when it is drawn, so a
// dark window shows it light, and is fainter for a disabled control. Each glyph draws its own shape.
class DrawnSymbolIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;

    // Dark grey on a light window, light grey on a dark one, as the theme's own glyphs.
    static QColor ink(bool dark);

protected:
    // Draws the glyph filling square, with the painter's brush in the ink and no pen. A mark drawn with
    // CompositionMode_Clear is a hole, so it shows whatever lies beneath, as the system's filled glyphs do.
    virtual void drawGlyph(QPainter& painter, const QRectF& square) const = 0;
};
