#include "core/CardTypeIconEngine.h"
#include "core/CardProps.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// The box around the pixels drawn in (nearly) white.
QRect whiteBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 240 && pixel.red() > 235 && pixel.green() > 235 && pixel.blue() > 235)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int longerSide(const QRect& rect)
{
    return std::max(rect.width(), rect.height());
}

TEST(CardTypeIconEngineTest, glyphIsCutToItsInkScaledToTheSideAndCentred)
{
    // A theme glyph with wide margins: an 8 × 16 frame, two pixels thick, in a 22-pixel square.
    QPixmap source(22, 22);
    source.fill(Qt::transparent);
    QPainter painter(&source);
    painter.fillRect(QRect(2, 3, 8, 16), QColor(0x23, 0x26, 0x29));
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(QRect(4, 5, 4, 12), Qt::transparent);
    painter.end();
    const QImage glyph = CardTypeIconEngine::glyphImage(QIcon(source), 40, Qt::white);
    ASSERT_EQ(glyph.size(), QSize(40, 40));
    const QRect white = whiteBounds(glyph);
    EXPECT_EQ(white.height(), 40) << "the mark's longer side fills the square exactly";
    EXPECT_GE(white.width(), 19);
    EXPECT_LE(white.width(), 20);
    EXPECT_LE(std::abs(white.center().x() - 20), 1);
    EXPECT_EQ(glyph.pixelColor(0, 20).alpha(), 0) << "beside the mark nothing is drawn";
    // Scaled by 2.5, the frame's inside is 10 × 30 pixels around the centre: tinting keeps it clear.
    int filledInside = 0;
    for (int y = 8; y <= 32; ++y)
        for (int x = 17; x <= 23; ++x)
            filledInside += glyph.pixelColor(x, y).alpha() > 0 ? 1 : 0;
    EXPECT_EQ(filledInside, 0) << "the tint filled the glyph's transparent inside";
    EXPECT_EQ(glyph.pixelColor(white.left() + 1, 20), QColor(Qt::white)) << "the frame itself is tinted";
}

TEST(CardTypeIconEngineTest, emptyGlyphGivesAnEmptySquare)
{
    const QImage glyph = CardTypeIconEngine::glyphImage(QIcon(), 24, Qt::white);
    EXPECT_EQ(glyph.size(), QSize(24, 24));
    EXPECT_TRUE(whiteBounds(glyph).isNull());
}

TEST(CardTypeIconEngineTest, everyTypeDrawsAWhiteGlyphOfOneSizeOnItsColour)
{
    const CardProps props;
    constexpr int side = 48;
    const int glyphSide = int(std::lround(side * CardTypeIconEngine::GlyphShare));
    for (const CardProp& prop : props.allProps()) {
        for (const QIcon& icon : {prop.image(), prop.cardImage()}) {
            const QImage drawn = icon.pixmap(side, side).toImage();
            ASSERT_EQ(drawn.size(), QSize(side, side)) << prop.label().toStdString();
            const QRect white = whiteBounds(drawn);
            // The edge pixels of a glyph blend into its tile and may fall short of white by one pixel.
            EXPECT_GE(longerSide(white), glyphSide - 2) << prop.label().toStdString();
            EXPECT_LE(longerSide(white), glyphSide) << prop.label().toStdString();
            EXPECT_LE(std::abs(white.center().x() - side / 2), 2) << prop.label().toStdString();
            EXPECT_LE(std::abs(white.center().y() - side / 2), 2) << prop.label().toStdString();
            // The tile is the type's colour; its rounded corners leave the square's corner clear.
            EXPECT_EQ(drawn.pixelColor(side / 2, 2).rgb(), prop.cardColor().rgb()) << prop.label().toStdString();
            EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0) << prop.label().toStdString();
        }
    }
}

TEST(CardTypeIconEngineTest, glyphSizesMatchAcrossTypesAtEverySize)
{
    const CardProps props;
    for (int side : {20, 30, 80}) {
        int smallest = side, largest = 0;
        for (const CardProp& prop : props.allProps()) {
            const int measured = longerSide(whiteBounds(prop.cardImage().pixmap(side, side).toImage()));
            smallest = std::min(smallest, measured);
            largest = std::max(largest, measured);
        }
        EXPECT_LE(largest - smallest, 2) << "at " << side << " pixels";
        EXPECT_GT(smallest, side / 3) << "at " << side << " pixels";
    }
}

} // namespace
