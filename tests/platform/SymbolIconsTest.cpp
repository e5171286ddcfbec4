#include "platform/SymbolIcons.h"
#include "RequiredTools.h"
#include "platform/ColorScheme.h"

#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
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

TEST(SymbolIconsTest, tableNamesExistInTheBreezeThemeWhenItIsInstalled)
{
    if (!RequiredTools::iconThemeInstalled(QStringLiteral("breeze")))
        MISSING_TOOL("breeze-icon-theme is not installed: run scripts/deps");
    SymbolIcons::ensureTheme();
    ASSERT_EQ(QIcon::themeName(), QStringLiteral("breeze"));
    for (const QString& name : SymbolIcons::symbolNames())
        EXPECT_TRUE(QIcon::hasThemeIcon(SymbolIcons::themeName(name))) << name.toStdString();
}

TEST(SymbolIconsTest, darkWindowTakesTheDarkIconsSoTheyStayVisible)
{
    if (!RequiredTools::iconThemeInstalled(QStringLiteral("breeze")) ||
        !RequiredTools::iconThemeInstalled(QStringLiteral("breeze-dark")))
        MISSING_TOOL("breeze-icon-theme is not installed: run scripts/deps");
    SymbolIcons::ensureTheme();
    ASSERT_EQ(QIcon::themeName(), QStringLiteral("breeze"));
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x25, 0x25, 0x24));
    QApplication::setPalette(dark);
    EXPECT_EQ(QIcon::themeName(), QStringLiteral("breeze-dark"));
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
