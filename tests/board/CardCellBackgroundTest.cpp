#include "board/CardCellBackground.h"
#include "board/CardBackgroundArt.h"
#include "core/CardProps.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRgb Clear = QColor(Qt::transparent).rgba();

// The tile for look painted into a clear canvas, at cell.
QImage painted(CardCellBackground& background, const QRect& cell, const CardCellBackground::Look& look, qreal ratio = 1)
{
    QImage canvas(QSize(400, 300) * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    background.paint(&painter, cell, look);
    painter.end();
    return canvas;
}

// The leftmost and rightmost inked columns along row y, in device pixels.
QPair<int, int> inkAlong(const QImage& image, int y)
{
    int left = -1;
    int right = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == Clear)
            continue;
        left = left < 0 ? x : left;
        right = x;
    }
    return {left, right};
}

TEST(CardCellBackgroundTest, copiedTileCoversExactlyItsCell)
{
    CardCellBackground background;
    const QRect cell(37, 23, 306, 204);
    for (int pass = 0; pass < 2; ++pass) {
        // The second pass copies the tile the first one drew.
        const QImage image = painted(background, cell, {});
        EXPECT_EQ(inkAlong(image, cell.center().y()), qMakePair(cell.left(), cell.right())) << pass;
        EXPECT_EQ(image.pixel(cell.center().x(), cell.top() - 1), Clear);
        // The outline covers the edge's whole pixels in its own grey.
        EXPECT_EQ(image.pixelColor(cell.center().x(), cell.top()), QColor(0xcc, 0xcc, 0xd0)) << pass;
        EXPECT_NE(image.pixel(cell.center().x(), cell.bottom()), Clear);
        EXPECT_EQ(image.pixel(cell.center().x(), cell.bottom() + 1), Clear);
    }
    EXPECT_EQ(background.cachedTiles(), 1);
}

TEST(CardCellBackgroundTest, tileOfOneSizeIsNeverReusedForAnother)
{
    CardCellBackground background;
    painted(background, QRect(0, 0, 306, 204), {});
    const QRect narrower(10, 10, 225, 168);
    const QImage image = painted(background, narrower, {});
    EXPECT_EQ(inkAlong(image, narrower.center().y()), qMakePair(narrower.left(), narrower.right()));
    EXPECT_EQ(image.pixel(narrower.center().x(), narrower.bottom() + 1), Clear);
}

TEST(CardCellBackgroundTest, eachLookKeepsItsOwnTile)
{
    CardCellBackground background;
    const QRect cell(0, 0, 306, 204);
    const QPoint inside(150, 100);
    const QRgb plain = painted(background, cell, {}).pixel(inside);
    const QRgb selected = painted(background, cell, {false, true, false, {}}).pixel(inside);
    const QRgb dark = painted(background, cell, {false, false, true, {}}).pixel(inside);
    const QRgb folder = painted(background, cell, {true, false, false, {}}).pixel(inside);
    EXPECT_NE(plain, selected);
    EXPECT_NE(plain, dark);
    EXPECT_NE(plain, folder);
    EXPECT_NE(selected, dark);
    // Asked again after the others, each look still shows its own colour.
    EXPECT_EQ(painted(background, cell, {}).pixel(inside), plain);
    EXPECT_EQ(painted(background, cell, {false, true, false, {}}).pixel(inside), selected);
    EXPECT_EQ(background.cachedTiles(), 4);
}

TEST(CardCellBackgroundTest, folderTabRunsAlongTheVeryTopEdge)
{
    CardCellBackground background;
    const QRect cell(20, 30, 306, 204);
    const QImage folder = painted(background, cell, {true, false, false, {}});
    // Its top row is wholly the tab's colour, not the outline's blend.
    EXPECT_EQ(folder.pixelColor(cell.left() + 40, cell.top()), QColor(0x9d, 0xb4, 0xd8));
    EXPECT_EQ(folder.pixel(cell.left() + 40, cell.top() - 1), Clear);
}

TEST(CardCellBackgroundTest, ruleIsDrawnWhereAskedAndOnlyThere)
{
    CardCellBackground background;
    const QRect cell(20, 30, 306, 204);
    const QImage bare = painted(background, cell, {});
    const QImage ruled = painted(background, cell, {false, false, false, QLine(10, 43, 295, 43)});
    int top = -1;
    int bottom = -1;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        if (ruled.pixel(cell.center().x(), y) == bare.pixel(cell.center().x(), y))
            continue;
        top = top < 0 ? y : top;
        bottom = y;
    }
    // Anti-aliased, a one-pixel line on a pixel boundary shares the two rows beside it.
    EXPECT_EQ(top, cell.top() + 42);
    EXPECT_EQ(bottom, cell.top() + 43);
    const int y = cell.top() + 43;
    EXPECT_EQ(ruled.pixel(cell.left() + 8, y), bare.pixel(cell.left() + 8, y));
    EXPECT_NE(ruled.pixel(cell.left() + 11, y), bare.pixel(cell.left() + 11, y));
    EXPECT_NE(ruled.pixel(cell.left() + 294, y), bare.pixel(cell.left() + 294, y));
    EXPECT_EQ(ruled.pixel(cell.left() + 297, y), bare.pixel(cell.left() + 297, y));
}

TEST(CardCellBackgroundTest, sharperScreenGetsATileOfItsOwnResolution)
{
    CardCellBackground background;
    const QRect cell(5, 5, 100, 80);
    painted(background, cell, {});
    const QImage sharp = painted(background, cell, {}, 2);
    EXPECT_EQ(background.cachedTiles(), 2);
    // The same tile drawn in place at twice the size: a copy of the plain screen's tile, blown up, would
    // have coarser corners.
    QImage inPlace(sharp.size(), QImage::Format_ARGB32_Premultiplied);
    inPlace.fill(Qt::transparent);
    QPainter painter(&inPlace);
    painter.scale(2, 2);
    background.paint(&painter, cell, {});
    painter.end();
    int differing = 0;
    for (int y = 0; y < sharp.height(); ++y)
        for (int x = 0; x < sharp.width(); ++x)
            differing += sharp.pixel(x, y) != inPlace.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(inkAlong(sharp, 2 * cell.center().y()), qMakePair(2 * cell.left(), 2 * cell.right() + 1));
}

TEST(CardCellBackgroundTest, gridScrolledByWholePixelsStillCopiesTheTile)
{
    CardCellBackground background;
    QImage canvas(400, 300, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.translate(40, 30);
    background.paint(&painter, QRect(0, 0, 100, 80), {});
    background.paint(&painter, QRect(0, 0, 0, 80), {});
    painter.end();
    EXPECT_EQ(background.cachedTiles(), 1);
    EXPECT_EQ(inkAlong(canvas, 70), qMakePair(40, 139));
}

TEST(CardCellBackgroundTest, scaledPainterGetsTheSameTileDrawnInPlace)
{
    CardCellBackground background;
    const QRect cell(5, 5, 100, 80);
    // Seen at half size, the tile drawn in place still spans its scaled cell, not a copy's shrunken pixels.
    QImage canvas(400, 300, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.scale(0.5, 0.5);
    background.paint(&painter, cell, {});
    // The painter is handed back as it came: still scaled, not moved to the cell.
    EXPECT_EQ(painter.transform(), QTransform::fromScale(0.5, 0.5));
    EXPECT_FALSE(painter.testRenderHint(QPainter::Antialiasing));
    painter.end();
    EXPECT_EQ(background.cachedTiles(), 0);
    const QPair<int, int> ink = inkAlong(canvas, 22);
    EXPECT_EQ(ink.first, 2);
    EXPECT_EQ(ink.second, 52);
}

TEST(CardCellBackgroundTest, manyCellSizesKeepTheTilesBounded)
{
    CardCellBackground background;
    // One size past the limit: the tiles start again rather than grow by one.
    for (int width = 100; width <= 100 + CardCellBackground::MaxTiles; ++width)
        painted(background, QRect(0, 0, width, 80), {});
    EXPECT_LE(background.cachedTiles(), CardCellBackground::MaxTiles);
    EXPECT_GT(background.cachedTiles(), 0);
}

// The nearly white pixels of a picture: on the dark look, whose paper is dark, only the emblem's.
QList<bool> whiteOf(const QImage& picture)
{
    QList<bool> white;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            white << (picture.pixelColor(x, y).lightness() > 240);
    return white;
}

TEST(CardBackgroundArtTest, everyTypesBackgroundNameIsItsOwnPictureInEitherScheme)
{
    CardBackgroundArt art;
    QStringList names;
    for (const CardProp& prop : CardProps::defaultProps())
        if (!names.contains(prop.cardBackgroundName()))
            names << prop.cardBackgroundName();
    ASSERT_EQ(names.size(), 9) << "Folder and Story share theirs";
    EXPECT_TRUE(art.picture(QString(), false, 200, 1).isNull());
    EXPECT_TRUE(art.picture(QStringLiteral("project_bg.png"), false, 200, 1).isNull()) << "no card type's";
    QList<QList<bool>> emblems;
    for (const QString& name : names) {
        const QImage light = art.picture(name, false, 200, 2).toImage();
        const QImage dark = art.picture(name, true, 200, 2).toImage();
        ASSERT_EQ(light.size(), QSize(400, 400)) << name.toStdString();
        ASSERT_EQ(dark.size(), QSize(400, 400)) << name.toStdString();
        EXPECT_NE(light, dark) << name.toStdString();
        // Told apart by shape, not only by colour: each type wears its own emblem (all cards wear none).
        const QList<bool> emblem = whiteOf(dark);
        for (const QList<bool>& other : emblems) {
            int differing = 0;
            for (qsizetype i = 0; i < emblem.size(); ++i)
                differing += emblem[i] != other[i];
            EXPECT_GT(differing, 400) << name.toStdString();
        }
        emblems << emblem;
    }
}

} // namespace
