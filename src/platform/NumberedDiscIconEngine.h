#pragma once

#include <QColor>
#include <QIconEngine>

// A filled disc with a number cut out of it, the glyph of the numbered symbols ("1.circle.fill" …) that no icon
// theme carries. The disc takes the ink of the scheme in force when it is drawn, so a dark window shows it light.
class NumberedDiscIconEngine : public QIconEngine {
public:
    explicit NumberedDiscIconEngine(int number);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;

    // The disc's colour: dark grey on a light window, light grey on a dark one, as the theme's own glyphs.
    static QColor ink(bool dark);

private:
    int m_number;
};
