#include "platform/SymbolIcons.h"
#include "RequiredTools.h"
#include "platform/ColorScheme.h"
#include "platform/TintedIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QSignalSpy>
#include <QtMath>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(SymbolIconsTest, everySymbolAndAnUnknownNameGiveADrawableIcon)
{
    QStringList names = SymbolIcons::symbolNames();
    ASSERT_TRUE(names.contains(QStringLiteral("plus.circle")));
    names.append(QStringLiteral("no.such.symbol"));
    for (const QString& name : names) {
        const QIcon icon = SymbolIcons::icon(name);
        EXPECT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_FALSE(icon.pixmap(22).isNull()) << name.toStdString();
    }
}

TEST(SymbolIconsTest, weDrawExactlyOurOwnGlyphsAndTheBreezeThemeHasEveryOtherName)
{
    QStringList expectedDrawn = {QStringLiteral("questionmark.diamond.fill"),
                                 QStringLiteral("checkmark.seal.fill"),
                                 QStringLiteral("plus.circle"),
                                 QStringLiteral("exclamationmark.triangle"),
                                 QStringLiteral("textformat.size"),
                                 QStringLiteral("chevron.up"),
                                 QStringLiteral("chevron.down"),
                                 QStringLiteral("chevron.compact.up"),
                                 QStringLiteral("chevron.compact.down")};
    for (int number = 1; number <= 10; ++number)
        expectedDrawn.append(QString::number(number) + QStringLiteral(".circle.fill"));
    QStringList drawn;
    for (const QString& name : SymbolIcons::symbolNames()) {
        if (SymbolIcons::isDrawn(name))
            drawn.append(name);
        // What we draw has no theme name to go astray to, and whatever else we show has one.
        EXPECT_EQ(SymbolIcons::themeName(name).isEmpty(), SymbolIcons::isDrawn(name)) << name.toStdString();
    }
    drawn.sort();
    expectedDrawn.sort();
    EXPECT_EQ(drawn, expectedDrawn);
    if (!RequiredTools::iconThemeInstalled(QStringLiteral("breeze")))
        MISSING_TOOL("breeze-icon-theme is not installed: run scripts/deps --test");
    SymbolIcons::ensureTheme();
    ASSERT_EQ(QIcon::themeName(), QStringLiteral("breeze"));
    for (const QString& name : SymbolIcons::symbolNames()) {
        if (!drawn.contains(name)) {
            EXPECT_TRUE(QIcon::hasThemeIcon(SymbolIcons::themeName(name))) << name.toStdString();
        }
    }
}

// Share of the pixels of area that are at least half opaque.
double coveredShare(const QImage& image, const QRect& area)
{
    int covered = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            covered += qAlpha(image.pixel(x, y)) >= 128;
    return double(covered) / (area.width() * area.height());
}

TEST(SymbolIconsTest, numberedDiscsAreFilledWithTheirWholeNumberCutOutInTheSchemesInk)
{
    ASSERT_TRUE(SymbolIcons::isDrawn(QStringLiteral("1.circle.fill")));
    ASSERT_TRUE(SymbolIcons::isDrawn(QStringLiteral("10.circle.fill")));
    EXPECT_FALSE(SymbolIcons::isDrawn(QStringLiteral("11.circle.fill")));
    EXPECT_FALSE(SymbolIcons::isDrawn(QStringLiteral("0.circle.fill")));
    EXPECT_FALSE(SymbolIcons::isDrawn(QStringLiteral("plus")));
    ASSERT_TRUE(SymbolIcons::symbolNames().contains(QStringLiteral("10.circle.fill")));
    const int side = 64;
    const QImage one = SymbolIcons::icon(QStringLiteral("1.circle.fill")).pixmap(side).toImage();
    const QImage ten = SymbolIcons::icon(QStringLiteral("10.circle.fill")).pixmap(side).toImage();
    // The ring of the fallback with the same initial, which a missing glyph would show.
    const QImage ring = SymbolIcons::icon(QStringLiteral("1.no.such.symbol")).pixmap(side).toImage().scaled(side, side);
    ASSERT_EQ(one.size(), QSize(side, side));
    // A band through the middle, clear of the digits: a disc covers it, a ring does not.
    const QRect band(20, 9, 24, 6);
    EXPECT_GT(coveredShare(one, band), 0.9);
    EXPECT_LT(coveredShare(ring.convertToFormat(QImage::Format_ARGB32), band), 0.5);
    // The number is a hole in the middle of the disc, and ten's two digits are not one's one.
    const QRect middle(side / 4, side / 4, side / 2, side / 2);
    EXPECT_LT(coveredShare(one, middle), 0.95);
    EXPECT_NE(one, ten);
    int holesOfTen = 0;
    for (int x = side / 8; x < side * 7 / 8; ++x)
        holesOfTen += qAlpha(ten.pixel(x, side / 2)) < 128;
    EXPECT_GT(holesOfTen, 6) << "both digits are cut out";
    // Painted straight onto a surface as well, and fainter for a disabled control.
    const QIcon disc = SymbolIcons::icon(QStringLiteral("1.circle.fill"));
    QImage painted(side, side, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    {
        QPainter painter(&painted);
        disc.paint(&painter, painted.rect());
    }
    EXPECT_GT(coveredShare(painted, band), 0.9);
    const QImage disabled = disc.pixmap(QSize(side, side), QIcon::Disabled).toImage();
    EXPECT_LT(qAlpha(disabled.pixel(side / 2, side / 8)), 160);
    EXPECT_EQ(qAlpha(one.pixel(side / 2, side / 8)), 255);
    const QColor lightInk = ten.pixelColor(side / 2, side / 8);
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    QApplication::setPalette(dark);
    const QColor darkInk =
        SymbolIcons::icon(QStringLiteral("10.circle.fill")).pixmap(side).toImage().pixelColor(side / 2, side / 8);
    QApplication::setPalette(original);
    EXPECT_LT(lightInk.lightness(), 80);
    EXPECT_GT(darkInk.lightness(), 180) << "a dark window shows the disc light";
}

// Whether the glyph covers the pixel at (x, y), given in fractions of the image's side.
bool coveredAt(const QImage& image, double x, double y)
{
    return qAlpha(image.pixel(int(x * image.width()), int(y * image.height()))) >= 128;
}

// The glyph's mark is cut out at each of holes, and the glyph is whole at each of filled (in fractions of the side).
void expectMarkCutOut(const QImage& image, const QList<QPointF>& holes, const QList<QPointF>& filled)
{
    for (const QPointF& hole : holes)
        EXPECT_FALSE(coveredAt(image, hole.x(), hole.y())) << hole.x() << "," << hole.y();
    for (const QPointF& whole : filled)
        EXPECT_TRUE(coveredAt(image, whole.x(), whole.y())) << whole.x() << "," << whole.y();
}

QImage glyph(const QString& symbol, int side, QIcon::Mode mode = QIcon::Normal)
{
    return SymbolIcons::icon(symbol).pixmap(QSize(side, side), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A glyph of ours at (x, y), a filled place, is dark ink on a light window, light ink on a dark one, and fainter
// for a disabled control.
void expectSchemesInkAt(const QString& symbol, double x, double y)
{
    const int side = 64;
    const QPoint at(int(x * side), int(y * side));
    EXPECT_LT(glyph(symbol, side).pixelColor(at).lightness(), 80) << symbol.toStdString();
    EXPECT_EQ(qAlpha(glyph(symbol, side).pixel(at)), 255) << symbol.toStdString();
    EXPECT_LT(qAlpha(glyph(symbol, side, QIcon::Disabled).pixel(at)), 160) << symbol.toStdString();
    // Its edges are smoothed: some pixels are only partly covered.
    int soft = 0;
    const QImage drawn = glyph(symbol, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            soft += qAlpha(drawn.pixel(x, y)) > 0 && qAlpha(drawn.pixel(x, y)) < 255;
    EXPECT_GT(soft, side / 2) << symbol.toStdString();
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    QApplication::setPalette(dark);
    const QColor darkInk = glyph(symbol, side).pixelColor(at);
    QApplication::setPalette(original);
    EXPECT_GT(darkInk.lightness(), 180) << symbol.toStdString();
}

TEST(SymbolIconsTest, questionIsAFilledDiamondWithAQuestionMarkCutOut)
{
    const QString symbol = QStringLiteral("questionmark.diamond.fill");
    const QImage diamond = glyph(symbol, 64);
    // Filled out to the middle of each edge of the square.
    for (const QPointF& middle : {QPointF(0.08, 0.5), QPointF(0.92, 0.5), QPointF(0.5, 0.08), QPointF(0.5, 0.92)})
        EXPECT_TRUE(coveredAt(diamond, middle.x(), middle.y())) << middle.x() << "," << middle.y();
    // Clear in the corners, and half way to them, where a disc would be filled.
    for (const double near : {0.08, 0.22}) {
        const double far = 1 - near;
        for (const QPointF& corner : {QPointF(near, near), QPointF(far, near), QPointF(near, far), QPointF(far, far)})
            EXPECT_FALSE(coveredAt(diamond, corner.x(), corner.y())) << corner.x() << "," << corner.y();
    }
    // The question mark is a hole: the left of its hook and its dot, where an information sign's disc is whole;
    // beside its stem the diamond is filled.
    expectMarkCutOut(diamond, {{0.39, 0.38}, {0.5, 0.68}}, {{0.35, 0.6}, {0.65, 0.6}});
    expectSchemesInkAt(symbol, 0.2, 0.5);
}

TEST(SymbolIconsTest, doneIsASealWithAScallopedRimAndATickCutOut)
{
    const QString symbol = QStringLiteral("checkmark.seal.fill");
    const QImage seal = glyph(symbol, 64);
    // In fractions of the side from the centre; the glyph's outer edge lies at 0.45.
    const auto coveredOnRing = [&](double radius, double degrees) {
        const double angle = qDegreesToRadians(degrees);
        return coveredAt(seal, 0.5 + radius * std::sin(angle), 0.5 - radius * std::cos(angle));
    };
    int transitions = 0;
    for (int degrees = 0; degrees < 360; ++degrees) {
        // Round: whole all round inside the scallops' feet, nothing beyond their crests.
        EXPECT_TRUE(coveredOnRing(0.34, degrees)) << degrees;
        EXPECT_FALSE(coveredOnRing(0.47, degrees)) << degrees;
        // Scalloped: just inside the crests the rim goes out and in again, once for each scallop.
        transitions += coveredOnRing(0.43, degrees) != coveredOnRing(0.43, degrees + 1);
    }
    EXPECT_EQ(transitions, 2 * 12);
    // The tick is a hole: its corner and both arms' ends; above the corner, where a plain tick leaves nothing, and
    // where an information sign's dot sits, the seal is filled.
    expectMarkCutOut(seal, {{0.45, 0.62}, {0.33, 0.5}, {0.67, 0.38}}, {{0.45, 0.4}, {0.5, 0.3}});
    expectSchemesInkAt(symbol, 0.5, 0.25);
}

TEST(SymbolIconsTest, aThemeSymbolOnADisabledControlIsItsOwnShapeAndInkHalfSeen)
{
    const QIcon undo = SymbolIcons::icon(QStringLiteral("arrow.uturn.left"));
    const int side = 22;
    const QImage normal = glyph(QStringLiteral("arrow.uturn.left"), side);
    QImage painted(side, side, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    {
        QPainter painter(&painted);
        undo.paint(&painter, painted.rect(), Qt::AlignCenter, QIcon::Disabled);
    }
    for (const QImage& shown : {glyph(QStringLiteral("arrow.uturn.left"), side, QIcon::Disabled),
                                painted.convertToFormat(QImage::Format_ARGB32)}) {
        int inked = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int opacity = qAlpha(normal.pixel(x, y));
                EXPECT_EQ(qAlpha(shown.pixel(x, y)) > 0, opacity > 0) << x << "," << y;
                if (opacity == 255) {
                    ++inked;
                    EXPECT_NEAR(qAlpha(shown.pixel(x, y)), 255 * ColorScheme::DisabledOpacity, 2) << x << "," << y;
                    EXPECT_LE(std::abs(shown.pixelColor(x, y).lightness() - normal.pixelColor(x, y).lightness()), 3)
                        << x << "," << y;
                }
            }
        EXPECT_GT(inked, 2);
    }
}

// The rows of image that hold ink, as (first, last); (-1, -1) for none. Columns likewise with columns set.
QPair<int, int> inkSpan(const QImage& image, bool columns = false)
{
    int first = -1;
    int last = -1;
    const int lines = columns ? image.width() : image.height();
    const int across = columns ? image.height() : image.width();
    for (int line = 0; line < lines; ++line)
        for (int at = 0; at < across; ++at)
            if (qAlpha(columns ? image.pixel(line, at) : image.pixel(at, line)) >= 128) {
                first = first < 0 ? line : first;
                last = line;
            }
    return {first, last};
}

TEST(SymbolIconsTest, tallAndCompactChevronsDifferAndPointTheirWay)
{
    const int side = 64;
    const auto height = [](const QImage& image) {
        return inkSpan(image).second - inkSpan(image).first;
    };
    const auto width = [](const QImage& image) {
        return inkSpan(image, true).second - inkSpan(image, true).first;
    };
    for (const bool up : {true, false}) {
        const QImage tall = glyph(up ? QStringLiteral("chevron.up") : QStringLiteral("chevron.down"), side);
        const QImage compact =
            glyph(up ? QStringLiteral("chevron.compact.up") : QStringLiteral("chevron.compact.down"), side);
        EXPECT_GT(height(tall), height(compact) * 3 / 2) << up;
        EXPECT_GT(width(compact), width(tall) + side / 10) << up;
        // Both arms: the ink reaches as far left of the middle as right of it.
        for (const QImage* chevron : {&tall, &compact}) {
            const QPair<int, int> columns = inkSpan(*chevron, true);
            EXPECT_NEAR(side / 2 - columns.first, columns.second + 1 - side / 2, 2) << up;
        }
        // The tip, in the middle column, is the end of the ink the chevron points to.
        for (const QImage* chevron : {&tall, &compact}) {
            const QPair<int, int> rows = inkSpan(*chevron);
            const int tipRow = up ? rows.first : rows.second;
            EXPECT_GE(qAlpha(chevron->pixel(side / 2, tipRow + (up ? 2 : -2))), 128) << up;
            const int endRow = up ? rows.second : rows.first;
            EXPECT_LT(qAlpha(chevron->pixel(side / 2, endRow)), 128) << up;
        }
    }
    expectSchemesInkAt(QStringLiteral("chevron.compact.up"), 0.5, 0.42);
}

TEST(SymbolIconsTest, warningIsATrianglesOutlineWithAnExclamationMarkInside)
{
    const QImage triangle = glyph(QStringLiteral("exclamationmark.triangle"), 64);
    // The outline: the apex, both lower corners, the middle of the base and of either side; inside it, around the
    // mark, nothing.
    for (const QPointF& edge : {QPointF(0.5, 0.13), QPointF(0.12, 0.86), QPointF(0.88, 0.86), QPointF(0.5, 0.86),
                                QPointF(0.3, 0.49), QPointF(0.7, 0.49)})
        EXPECT_TRUE(coveredAt(triangle, edge.x(), edge.y())) << edge.x() << "," << edge.y();
    for (const QPointF& inside : {QPointF(0.38, 0.7), QPointF(0.62, 0.7), QPointF(0.5, 0.3)})
        EXPECT_FALSE(coveredAt(triangle, inside.x(), inside.y())) << inside.x() << "," << inside.y();
    // The mark: a bar above a dot, a gap between them.
    expectMarkCutOut(triangle, {{0.5, 0.65}}, {{0.5, 0.45}, {0.5, 0.56}, {0.5, 0.74}});
    expectSchemesInkAt(QStringLiteral("exclamationmark.triangle"), 0.5, 0.5);
}

TEST(SymbolIconsTest, textSizeIsASmallLetterBesideATallOne)
{
    const int side = 64;
    const QImage letters = glyph(QStringLiteral("textformat.size"), side);
    const QImage left = letters.copy(0, 0, side * 3 / 10, side);
    const QImage right = letters.copy(side * 4 / 10, 0, side * 6 / 10, side);
    const QPair<int, int> small = inkSpan(left);
    const QPair<int, int> tall = inkSpan(right);
    ASSERT_GE(small.first, 0);
    ASSERT_GE(tall.first, 0);
    // Both stand on one line; the right one reaches far higher.
    EXPECT_NEAR(small.second, tall.second, 2);
    EXPECT_GT(small.first - tall.first, side / 5);
    // The tall letter stands on both legs, cut off square at the line.
    EXPECT_TRUE(coveredAt(letters, 0.875, 0.78));
    EXPECT_TRUE(coveredAt(letters, 0.4, 0.78));
    EXPECT_LE(tall.second, 54);
    // The tall letter's crossbar joins its legs below the middle.
    EXPECT_TRUE(coveredAt(letters, 0.64, 0.56));
    EXPECT_FALSE(coveredAt(letters, 0.64, 0.66));
}

TEST(SymbolIconsTest, aTintedSymbolIsItsShapeInTheTintAndHalfSeenWhenDisabled)
{
    const QColor tint(0xff, 0xff, 0xff);
    const QIcon tinted(new TintedIconEngine(SymbolIcons::icon(QStringLiteral("arrow.uturn.left")), tint));
    const int side = 22;
    const QImage normal = glyph(QStringLiteral("arrow.uturn.left"), side);
    const QImage shown = tinted.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage disabled =
        tinted.pixmap(QSize(side, side), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
    int inked = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            EXPECT_EQ(qAlpha(shown.pixel(x, y)), qAlpha(normal.pixel(x, y))) << x << "," << y;
            if (qAlpha(normal.pixel(x, y)) != 255)
                continue;
            ++inked;
            EXPECT_EQ(shown.pixelColor(x, y).rgb(), tint.rgb()) << x << "," << y;
            EXPECT_EQ(disabled.pixelColor(x, y).rgb(), tint.rgb()) << x << "," << y;
            EXPECT_NEAR(qAlpha(disabled.pixel(x, y)), 255 * ColorScheme::DisabledOpacity, 2) << x << "," << y;
        }
    EXPECT_GT(inked, 2);
}

TEST(SymbolIconsTest, darkWindowTakesTheDarkIconsSoTheyStayVisible)
{
    if (!RequiredTools::iconThemeInstalled(QStringLiteral("breeze")) ||
        !RequiredTools::iconThemeInstalled(QStringLiteral("breeze-dark")))
        MISSING_TOOL("breeze-icon-theme is not installed: run scripts/deps --test");
    SymbolIcons::ensureTheme();
    ASSERT_EQ(QIcon::themeName(), QStringLiteral("breeze"));
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    // The lightest ink of a glyph drawn now.
    const auto lightest = [](const QString& symbol) {
        const QImage image = SymbolIcons::icon(symbol).pixmap(22).toImage().convertToFormat(QImage::Format_ARGB32);
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 200)
                    found = std::max(found, image.pixelColor(x, y).lightness());
        return found;
    };
    // The tag glyphs in one flat ink, which the dark theme must draw light (some of its names only lead back to
    // the light theme's files).
    const QStringList tagGlyphs = {QStringLiteral("rays"), QStringLiteral("paintbrush")};
    for (const QString& symbol : tagGlyphs)
        EXPECT_LT(lightest(symbol), 100) << symbol.toStdString();
    QApplication::setPalette(dark);
    EXPECT_EQ(QIcon::themeName(), QStringLiteral("breeze-dark"));
    for (const QString& symbol : tagGlyphs)
        EXPECT_GT(lightest(symbol), 180) << symbol.toStdString();
    QApplication::setPalette(original);
    EXPECT_EQ(QIcon::themeName(), QStringLiteral("breeze"));
}

TEST(ColorSchemeTest, paletteTurningDarkAndBackSignalsEachChangeOnce)
{
    const QPalette original = QApplication::palette();
    ColorScheme* scheme = ColorScheme::instance();
    QSignalSpy spy(scheme, &ColorScheme::changed);
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x23, 0x23, 0x23));
    QApplication::setPalette(dark);
    QApplication::setPalette(dark);
    EXPECT_TRUE(ColorScheme::isDark());
    QApplication::setPalette(original);
    EXPECT_FALSE(ColorScheme::isDark());
    ASSERT_EQ(spy.count(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

} // namespace
