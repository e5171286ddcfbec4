// The drawn badges, looked at pixel by pixel where a writer would see a fault: a missing rim, a flat face,
// lettering that spills over the edge or shrinks to a smudge.
#include "stats/BadgeArt.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPair>
#include <QPointF>
#include <QRect>
#include <QtMath>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int Side = 512;
// The badge's proportions: the rim's star reaches 0.48 of the side and dips to 0.9 of that, the face is 0.8 of
// the star and the ring drawn on it 0.86 of the face.
constexpr double Outer = Side * 0.48;
constexpr double Face = Outer * 0.8;
const QPointF Centre(Side / 2.0, Side / 2.0);

QColor at(const QImage& image, double dx, double dy)
{
    return image.pixelColor(int(Centre.x() + dx), int(Centre.y() + dy));
}

bool isWhiteInk(const QColor& color)
{
    return color.alpha() == 255 && color.red() >= 245 && color.green() >= 245 && color.blue() >= 245;
}

const QStringList Badges{QStringLiteral("days-in-row-7.png"), QStringLiteral("short-story-length.png"),
                         QStringLiteral("word-average-500.png"), QStringLiteral("novella-length.png")};

TEST(BadgeArtTest, rimIsOpaqueAndTheFaceIsShadedLighterThanIt)
{
    for (const QString& name : Badges) {
        SCOPED_TRACE(name.toStdString());
        const QImage badge = BadgeArt::image(name, Side).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(badge.size(), QSize(Side, Side));
        // Left of the centre: between the face and the star's inner points, then between the ring and the
        // face's edge, where no lettering reaches.
        const QColor rim = at(badge, -(Face + Outer * 0.9) / 2, 0);
        const QColor face = at(badge, -Face * 0.93, 0);
        EXPECT_EQ(rim.alpha(), 255);
        EXPECT_EQ(face.alpha(), 255);
        EXPECT_GT(face.value(), rim.value());
        // The corners stay clear.
        EXPECT_EQ(badge.pixelColor(0, 0).alpha(), 0);
    }
}

TEST(BadgeArtTest, rimHasNoDarkOutline)
{
    for (const QString& name : Badges) {
        SCOPED_TRACE(name.toStdString());
        const QImage badge = BadgeArt::image(name, Side).convertToFormat(QImage::Format_ARGB32);
        const QColor rim = at(badge, -(Face + Outer * 0.9) / 2, 0);
        // The rim's own shade is the darkest a badge holds: nothing is stroked round its points.
        int darker = 0;
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side; ++x) {
                const QColor pixel = badge.pixelColor(x, y);
                darker += pixel.alpha() == 255 && pixel.value() < rim.value() - 3 ? 1 : 0;
            }
        EXPECT_EQ(darker, 0);
    }
}

TEST(BadgeArtTest, letteringStaysInsideTheRingAtAReadableSize)
{
    const double ring = Face * 0.86;
    for (const QString& name : Badges) {
        SCOPED_TRACE(name.toStdString());
        const QImage badge = BadgeArt::image(name, Side).convertToFormat(QImage::Format_ARGB32);
        int inside = 0;
        int outside = 0;
        int captionTop = Side;
        int captionBottom = -1;
        for (int y = 0; y < Side; ++y) {
            for (int x = 0; x < Side; ++x) {
                if (!isWhiteInk(badge.pixelColor(x, y)))
                    continue;
                const double dx = x + 0.5 - Centre.x();
                const double dy = y + 0.5 - Centre.y();
                ++(std::hypot(dx, dy) < ring ? inside : outside);
                // The caption sits in the band under the figure.
                if (dy > Face * 0.22 && dy < Face * 0.57) {
                    captionTop = std::min(captionTop, y);
                    captionBottom = std::max(captionBottom, y);
                }
            }
        }
        EXPECT_GT(inside, 0);
        EXPECT_EQ(outside, 0);
        ASSERT_GE(captionBottom, captionTop);
        EXPECT_GE(captionBottom - captionTop + 1, int(Side * 0.03));
    }
}

// The lowest and highest rows of box holding any pixel other than the share picture's background.
QPair<int, int> inkRows(const QImage& image, const QRect& box)
{
    const QColor background(0xF1, 0xF1, 0xF1);
    int top = box.bottom() + 1;
    int bottom = box.top() - 1;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (image.pixelColor(x, y) != background) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {top, bottom};
}

// Compared as 8-bit values: a colour worked out by darker() carries finer fractions than a pixel.
int pixelsOf(const QImage& image, const QRect& box, const QColor& color)
{
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += image.pixel(x, y) == color.rgba();
    return count;
}

TEST(BadgeArtTest, sharePictureWritesTheTitleDarkAndTheNameSmallInTheBadgesColour)
{
    const QImage share = BadgeArt::image(QStringLiteral("days-in-row-7-share.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(share.size(), QSize(BadgeArt::ShareWidth, BadgeArt::ShareHeight));
    const QRect line(540, 170, 600, 50);
    const QRect title(540, 230, 620, 110);
    const QRect name(540, 380, 600, 50);
    const QColor badgeColour = share.pixelColor(BadgeArt::ShareWidth / 2, 4);
    EXPECT_GT(pixelsOf(share, title, QColor(0x1C, 0x1C, 0x1E)), 0);
    EXPECT_EQ(pixelsOf(share, title, QColor(0x55, 0x55, 0x5A)), 0);
    EXPECT_GT(pixelsOf(share, name, badgeColour.darker(110)), 0);
    EXPECT_EQ(pixelsOf(share, name, QColor(0x1C, 0x1C, 0x1E)), 0);
    // "Achievement earned" and "Plotvane" reach neither below the line nor above the tallest letter: written in
    // the same small font, their ink stands equally tall.
    const auto [lineTop, lineBottom] = inkRows(share, line);
    const auto [nameTop, nameBottom] = inkRows(share, name);
    ASSERT_LE(lineTop, lineBottom);
    ASSERT_LE(nameTop, nameBottom);
    EXPECT_EQ(nameBottom - nameTop, lineBottom - lineTop);
    // That font is 34 pixels: its tallest letters stand as high in the picture as they measure.
    QFont small;
    small.setPixelSize(34);
    const int measured = QFontMetrics(small).tightBoundingRect(QStringLiteral("Achievement earned")).height();
    EXPECT_NEAR(lineBottom - lineTop + 1, measured, 2);
}

} // namespace
