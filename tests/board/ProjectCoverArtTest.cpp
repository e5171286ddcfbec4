#include "board/ProjectCoverArt.h"
#include "core/HexColor.h"

#include <QColor>
#include <QTransform>
#include <gtest/gtest.h>

namespace {

TEST(ProjectCoverArtTest, pinIsDrawnWithoutAnOutlineOverTheCardsStripe)
{
    const QImage cover = ProjectCoverArt::defaultCover();
    ASSERT_EQ(cover.size(), QSize(ProjectCoverArt::Width, ProjectCoverArt::Height));
    // The first card stands at (190, 330) turned by -8 degrees; its pin of radius 11 sits 91 above the card's
    // centre. Two points beyond the pin's edge, on the card's stripe, lies (190, 238): it shows the stripe's own
    // colour, not a ring drawn with the pen of the card's lines.
    const QColor stripe = HexColor::colorWithHexString(QStringLiteral("E8A33D"));
    const QColor beside = cover.pixelColor(190, 238);
    EXPECT_NEAR(beside.red(), stripe.red(), 2);
    EXPECT_NEAR(beside.green(), stripe.green(), 2);
    EXPECT_NEAR(beside.blue(), stripe.blue(), 2);
    // The pin itself is there: its centre is red.
    const QColor pin = cover.pixelColor(177, 240);
    EXPECT_EQ(pin.rgb(), QColor(200, 60, 60).rgb());
}

TEST(ProjectCoverArtTest, stripeKeepsToTheCardsRoundedCorner)
{
    const QImage cover = ProjectCoverArt::defaultCover();
    // The first card's body, 300 x 190 about its centre, turned by -8 degrees at (190, 330), with corners of 14.
    QTransform card;
    card.translate(190, 330);
    card.rotate(-8);
    const auto at = [&](QPointF local) { return cover.pixelColor(card.map(local).toPoint()); };
    // Two points in from the very corner the square stripe would reach, but the rounded card does not.
    const QColor corner = at(QPointF(-148, -93));
    const QColor outside = at(QPointF(-160, -105));
    EXPECT_NEAR(corner.red(), outside.red(), 6);
    EXPECT_NEAR(corner.green(), outside.green(), 6);
    EXPECT_NEAR(corner.blue(), outside.blue(), 6);
    // Further along the top edge the stripe is there.
    EXPECT_EQ(at(QPointF(-100, -85)).rgb(), HexColor::colorWithHexString(QStringLiteral("E8A33D")).rgb());
}

} // namespace
