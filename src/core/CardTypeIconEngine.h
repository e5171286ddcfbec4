#pragma once

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QIconEngine>

// Draws a card type's icon: the type's glyph in one flat colour, centred on a rounded tile of the type's colour.
// Glyphs from the theme come with their own colours and margins; each is cut to its outline, coloured and
// scaled to the same share of the tile, so every type reads alike at every size.
class CardTypeIconEngine : public QIconEngine {
public:
    // The glyph's longer side as a share of the tile's side.
    static constexpr qreal GlyphShare = 0.62;
    static constexpr qreal CornerShare = 0.22;

    CardTypeIconEngine(const QIcon& glyph, const QColor& tileColor, const QColor& glyphColor);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override { return QStringLiteral("CardTypeIconEngine"); }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;

    // The glyph alone: its outline in color, the longer side exactly side pixels, on a transparent square.
    static QImage glyphImage(const QIcon& glyph, int side, const QColor& color);

private:
    QImage tile(int side);

    QIcon m_glyph;
    QColor m_tileColor;
    QColor m_glyphColor;
    QHash<int, QImage> m_tiles;
};
