#include "platform/ColorScheme.h"
#include "TestInk.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

TEST(ColorSchemeTest, aWindowDarkerThanMidGreyIsTheDarkAppearanceAndMidGreyItselfIsNot)
{
    const QPalette desktop = QApplication::palette();
    QPalette palette = desktop;
    palette.setColor(QPalette::Window, QColor(127, 127, 127));
    QApplication::setPalette(palette);
    const bool darker = ColorScheme::isDark();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    QApplication::setPalette(palette);
    const bool mid = ColorScheme::isDark();
    QApplication::setPalette(desktop);
    EXPECT_TRUE(darker);
    EXPECT_FALSE(mid);
}

TEST(ColorSchemeTest, oneWatcherServesTheWholeApplication)
{
    EXPECT_EQ(ColorScheme::instance(), ColorScheme::instance());
}

TEST(ColorSchemeTest, contrastIsCountedAsTheWebCountsIt)
{
    EXPECT_NEAR(ColorScheme::contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ColorScheme::contrastRatio(Qt::white, Qt::black), 21.0, 0.01);
    EXPECT_DOUBLE_EQ(ColorScheme::contrastRatio(QColor(0x5b, 0x5b, 0x5d), QColor(0x5b, 0x5b, 0x5d)), 1.0);
    const QColor grey(0x76, 0x76, 0x76);
    EXPECT_NEAR(ColorScheme::contrastRatio(grey, Qt::white), contrastRatio(grey, Qt::white), 0.01);
}

TEST(ColorSchemeTest, faintInkStandsExactlyAsFarFromItsGroundAsAsked)
{
    for (const auto& [ink, ground] : {std::pair<QColor, QColor>(Qt::black, QColor(0xE7, 0xE7, 0xE7)),
                                      std::pair<QColor, QColor>(Qt::white, QColor(0x23, 0x26, 0x29))}) {
        SCOPED_TRACE(ground.name().toStdString());
        const QColor faint = ColorScheme::inkAtContrast(ink, ground, 3.5);
        EXPECT_GE(contrastRatio(faint, ground), 3.5);
        EXPECT_LT(contrastRatio(faint, ground), 3.6) << "the faintest that reads, not more";
        EXPECT_EQ(faint.alpha(), 255);
    }
    // Ink already fainter than asked stays as it is seen: its transparency laid over the ground.
    const QColor halfBlack(0, 0, 0, 128);
    const QColor seen = ColorScheme::inkAtContrast(halfBlack, Qt::white, 21);
    EXPECT_NEAR(seen.red(), 127, 1);
    EXPECT_EQ(seen.alpha(), 255);
    EXPECT_EQ(ColorScheme::over(halfBlack, Qt::white), seen);
}

} // namespace
